#pragma once
// A user paging through a run's preview: at every wait the page on screen is
// noted, "next" is pressed until "Stampa Terminata", then "previous" back to
// the first page and "&Esci". Any other preview the run opens is left at
// once, so that a run showing more than one never waits for a real user.
#include "print/anteprima/FrmVStampa.h"

#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>

class AnteprimaScriptata {
public:
    // `aOgniAttesa` runs first at every wait (a test acts while the preview waits).
    explicit AnteprimaScriptata(std::function<void(FrmVStampa&)> aOgniAttesa = {})
        : anteprima_(FrmVStampa::Istanza()) {
        anteprima_->attesaScriptata = [this, aOgniAttesa](FrmVStampa& f) {
            if (aOgniAttesa) aOgniAttesa(f);
            guarda(f);
            if (f.LabMsg->text().isEmpty()) {
                QTest::mouseClick(f.imaMuovi[3], Qt::LeftButton);
                return;
            }
            while (f.labPage->text() != QLatin1String("Pag.001") && f.imaMuovi[2]->isEnabled()) {
                const QString prima = f.labPage->text();
                QTest::mouseClick(f.imaMuovi[2], Qt::LeftButton);
                if (f.labPage->text() == prima) break;
            }
            guarda(f);
            QTest::mouseClick(f.ComEsci, Qt::LeftButton);
        };
        QObject::connect(&altra_, &QTimer::timeout, [this] {
            if (FrmVStampa::EsisteIstanza() && FrmVStampa::Istanza() != anteprima_.data())
                FrmVStampa::Istanza()->ComEsci->click();
        });
        altra_.start(0);
    }
    ~AnteprimaScriptata() {
        altra_.stop();
        if (FrmVStampa::EsisteIstanza()) FrmVStampa::Istanza()->Scarica();
    }

    // "Pag.nnn" and the message line of each page seen.
    QStringList visti;
    int forme() const { return forme_.size(); }
    // Pages seen without a picture.
    int vuote = 0;

private:
    void guarda(FrmVStampa& f) {
        forme_ << &f;
        if (f.LeggiImmaginePagina().isNull()) ++vuote;
        visti << f.labPage->text() + QLatin1Char(' ') + f.LabMsg->text();
    }

    QPointer<FrmVStampa> anteprima_;
    QSet<FrmVStampa*> forme_;
    QTimer altra_;
};

// A user who pages on with "next" and presses "&Esci" at the n-th wait of
// the preview (1: the wait after the first page, while the print waits for
// the user before the page that follows), then leaves it once the print has
// ended.
class AnteprimaFermata {
public:
    explicit AnteprimaFermata(int attesa) {
        FrmVStampa::Istanza()->attesaScriptata = [this, attesa](FrmVStampa& f) {
            ++attese;
            visti << f.labPage->text() + QLatin1Char(' ') + f.LabMsg->text();
            if (!f.LabMsg->text().isEmpty() || attese == attesa)
                QTest::mouseClick(f.ComEsci, Qt::LeftButton);
            else
                QTest::mouseClick(f.imaMuovi[3], Qt::LeftButton);
        };
    }
    ~AnteprimaFermata() {
        if (FrmVStampa::EsisteIstanza()) FrmVStampa::Istanza()->Scarica();
    }

    int attese = 0;
    QStringList visti;
};
