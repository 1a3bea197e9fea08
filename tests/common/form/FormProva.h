#pragma once
// A small data form for the tests of the common form behaviour: fields in the
// array "txt" with labels, a multi-line note, a grid, a frame, a toolbar per
// block and recording components.
#include "common/form/FormComune.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/platform/Schermo.h"
#include "contesto/Contesto.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTableWidget>
#include <QToolBar>
#include <QWidget>

#include "support/AppTest.h"

// A page, lines or list component that records what it is given.
class ComponenteFinto : public ComponenteDati {
public:
    QHash<QString, Valore> parametri;
    int abilRW = -9;
    int flagOpe = 0;
    QHash<int, QString> tasti;  // key code -> command key
    QString corrente = QStringLiteral("3"), totale = QStringLiteral("10");

    void ImpostaPar(const QString& nome, const Valore& v) override { parametri.insert(nome, v); }
    Valore LeggiPar(const QString& nome) const override { return parametri.value(nome); }
    void ImpostaAbilRW(int a) override { abilRW = a; }
    int AbilRW() const override { return abilRW; }
    QString TastoPremuto(int keyCode) override { return tasti.value(keyCode); }
    int oiFlagOpe() const override { return flagOpe; }
    void RecCorrSuTot(QString& c, QString& t) const override {
        c = corrente;
        t = totale;
    }
};

// Its members read by name are dynamic properties: osKeySec, osParam,
// oiAbilRW, odRisVidVal, osRisVidKey.
class FormProva : public QWidget, public MembriForm {
public:

    QMap<int, QLineEdit*> txt;
    QMap<int, QLabel*> Lab;
    QPlainTextEdit* txtNote;
    QTableWidget* dbgRighe;
    QGroupBox* fraDati;
    QLineEdit* txtInFrame;
    QLineEdit* txtRigaBox;
    QToolBar* tolPag;
    QToolBar* tolLin;
    QToolBar* tolLis;
    ComponenteFinto comPag, linPag, lisPag, comlin;
    bool conPagina = false, conLinee = false, conLista = false;
    QStringList comandi;  // ButtonComando calls
    QString proprio;       // own command key for Alt+E

    explicit FormProva(const QString& caption = QStringLiteral("Prova")) {
        AppTest();
        setObjectName(QStringLiteral("frmProva"));
        setWindowTitle(caption);
        setProperty("osKeySec", QStringLiteral("frmProva"));
        setProperty("osParam", QString());
        setProperty("oiAbilRW", 7);
        setProperty("odRisVidVal", 0.0);
        setProperty("osRisVidKey", QString());
        setGeometry(0, 0, 400, 300);
        for (int i : {10, 20, 30}) {
            auto* l = new QLabel(QStringLiteral("Campo &%1").arg(i), this);
            ImpostaElemento(l, QStringLiteral("Lab"), i);
            l->setGeometry(10, i * 2, 80, 20);
            Lab[i] = l;
            auto* t = new QLineEdit(this);
            ImpostaElemento(t, QStringLiteral("txt"), i);
            t->setGeometry(100, i * 2, 120, 20);
            txt[i] = t;
        }
        txtNote = new QPlainTextEdit(this);
        txtNote->setObjectName(QStringLiteral("txtNote"));
        txtNote->setGeometry(10, 100, 200, 60);
        dbgRighe = new QTableWidget(2, 2, this);
        dbgRighe->setObjectName(QStringLiteral("dbgRighe"));
        dbgRighe->setGeometry(10, 170, 200, 60);
        fraDati = new QGroupBox(QStringLiteral("Dati"), this);
        fraDati->setObjectName(QStringLiteral("fraDati"));
        fraDati->setGeometry(220, 100, 160, 80);
        txtInFrame = new QLineEdit(fraDati);
        txtInFrame->setObjectName(QStringLiteral("txtInFrame"));
        txtInFrame->setGeometry(10, 30, 100, 20);
        txtRigaBox = new QLineEdit(this);
        txtRigaBox->setObjectName(QStringLiteral("txtRiga"));
        txtRigaBox->setGeometry(220, 200, 80, 20);
        txtRigaBox->setFocusPolicy(Qt::NoFocus);
        tolPag = Barra(QStringLiteral("tolComPag"),
                       {"Precedente", "Successivo", "Inizio", "Fine", "Ricerca", "Salva", "Dettaglio", "Nuovo"});
        tolLin = Barra(QStringLiteral("tolLinPag"), {"PageUp", "PageDown", "Precedente", "Successiva", "Inserisci"});
        tolLis = Barra(QStringLiteral("tolComlin"), {"Precedente", "Successiva", "Stampa"});
    }

    QToolBar* Barra(const QString& nome, std::initializer_list<const char*> chiavi) {
        auto* b = new QToolBar(this);
        b->setObjectName(nome);
        b->setGeometry(0, 260, 10, 10);
        b->setVisible(false);
        for (const char* k : chiavi) {
            QAction* a = b->addAction(QString::fromLatin1(k));
            a->setObjectName(QString::fromLatin1(k));
        }
        return b;
    }
    QAction* Bottone(QToolBar* b, const QString& k) {
        for (QAction* a : b->actions())
            if (a->objectName() == k) return a;
        return nullptr;
    }

    ComponenteDati* ogComPag() const override { return conPagina ? const_cast<ComponenteFinto*>(&comPag) : nullptr; }
    ComponenteDati* ogLinPag() const override { return conLinee ? const_cast<ComponenteFinto*>(&linPag) : nullptr; }
    ComponenteDati* ogLisPag() const override { return conLista ? const_cast<ComponenteFinto*>(&lisPag) : nullptr; }
    ComponenteDati* ogComlin() const override { return conLista ? const_cast<ComponenteFinto*>(&comlin) : nullptr; }
    QToolBar* tolComPag() const override { return tolPag; }
    QToolBar* tolLinPag() const override { return tolLin; }
    QToolBar* tolComlin() const override { return tolLis; }
    QLineEdit* txtRiga() const override { return txtRigaBox; }
    void ButtonComando(const QString& psKey) override { comandi << psKey; }
    QString ComandoProprio(int keyCode, int shift) const override {
        return keyCode == 'E' && shift == 4 ? proprio : QString();
    }
};

// A fresh context with a scripted menu, dialogs and a screen of 1024 x 768.
struct ContestoProva {
    std::shared_ptr<Contesto> c = std::make_shared<Contesto>();
    std::shared_ptr<MenuClientFinto> menu = std::make_shared<MenuClientFinto>();
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<SchermoFinto> schermo = std::make_shared<SchermoFinto>();

    ContestoProva() {
        AppTest();
        c->ggMenuClient = menu;
        c->ggDialoghi = dialoghi;
        schermo->dimensioni = QSize(1024, 768);
        schermo->bordo = -1;
        c->ggSchermo = schermo;
        c->gdRisVidGen = -1;  // no scaling unless a test asks for it
        c->gsDescDitta = QStringLiteral("Rossi S.r.l.");
        ImpostaContesto(c);
    }
    ~ContestoProva() { ImpostaContesto(nullptr); }
};

// Shows the form and makes it the active window, so that focus events run.
inline void Attiva(QWidget& f) {
    f.show();
    QApplication::setActiveWindow(&f);
    QApplication::processEvents();
}
