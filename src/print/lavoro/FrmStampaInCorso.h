#pragma once
// The small window that stands on the screen while a report prints: what is
// printed, the page in progress and the button "Interrompi la stampa".
#include "components/stampa/FormStampaInCorso.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QWidget>

class Stampa;

class frmStampaInCorso : public QWidget, public FormStampaInCorso {
    Q_OBJECT
    Q_PROPERTY(QString osRisVidKey MEMBER osRisVidKey)
    Q_PROPERTY(double odRisVidVal MEMBER odRisVidVal)
    Q_PROPERTY(QString osKeySec MEMBER osKeySec)
public:
    frmStampaInCorso();
    ~frmStampaInCorso() override;
    // The program's one instance, created on first use.
    static frmStampaInCorso* Istanza();

    QString osRisVidKey;
    double odRisVidVal = 0;
    QString osKeySec;
    QPointer<Stampa> ogStampa;

    QLabel* lblStamp = nullptr;
    QLabel* LblPrePag = nullptr;
    QLabel* LblPag = nullptr;
    QPushButton* ComStampa = nullptr;
    QLabel* PicVelt = nullptr;  // the picture; keeps its size when the form is scaled

    // Fills captions and page label ("000") and takes the print object.
    void Prepara(const QString& titolo, Stampa* st);
    // Asks the print to stop; nothing else.
    void ComStampa_Click();
    bool ChiediEmailLogPwd() override;

    void MostraInCorso() override;
    void ScaricaInCorso() override;
    void ImpPaginaInCorso(int pagina) override;

protected:
    void closeEvent(QCloseEvent* e) override;
};
