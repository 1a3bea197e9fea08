#pragma once
// Run form of the periodic VAT settlement: year, communication number, a
// range of companies, file format and kind of processing, the file name and
// the print destination; "&Elaborazione e Stampa" runs the writer for every
// company of the range.
#include "common/form/FormComune.h"
#include "print/opzioni/OpzioniIni.h"
#include "settlement/run/ElabLiqIva.h"
#include "common/FormBase.h"

#include <QMap>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;

class frmLiqIvaXml : public FormBase, public MembriForm, public FormStampaVideo {
    Q_OBJECT
    Q_PROPERTY(int oiAbilRW MEMBER oiAbilRW)
    Q_PROPERTY(QString osParam MEMBER osParam)
    Q_PROPERTY(QString osKeySec MEMBER osKeySec)
    Q_PROPERTY(double odRisVidVal MEMBER odRisVidVal)
    Q_PROPERTY(QString osRisVidKey MEMBER osRisVidKey)

public:
    frmLiqIvaXml();
    ~frmLiqIvaXml() override;

    double odRisVidVal = 1.0;
    QString osRisVidKey;

    // Controls, by the names and indexes the program gives them.
    QMap<int, QLineEdit*> txt;      // 10 year, 20 number, 30/40 companies, 60 file name
    QMap<int, QLabel*> Lab;         // 30/40 company descriptions, 2 "Nome File:"
    QMap<int, QPushButton*> ComHlp; // 30/40 company lookup
    QRadioButton* optTipoFile[2]{}; // 0 "Formato txt", 1 "Formato XML"
    QRadioButton* optTipoElab[3]{}; // 0 file and print, 1 file only, 2 print only
    QGroupBox* Frame1[2]{};
    QPushButton* ComStampa = nullptr;
    QPushButton* cmdStaVid = nullptr;
    QPushButton* comSceStam = nullptr;
    QPushButton* ComChiudi = nullptr;
    QPushButton* ComOpz = nullptr;  // "Cambia"
    QLabel* labStaAttuale = nullptr;
    QLabel* LabSelPiuAziende = nullptr;
    QLabel* LabSelData = nullptr;

    // The run: print options, writer and preview flag live as long as the form.
    ElabLiqIva elab;

    void PassaA() override;
    bool HaMenuFrm() const override { return true; }
    bool ElaborazioneAttiva() const override { return inElaborazione_; }

    void ComStampa_Click() override;
    void VisStaAttuale() override;
    void cmdStaVid_Click();
    void comSceStam_Click();
    void ComOpz_Click();
    void optTipoFile_Click();
    void PrepNomeFile();
    bool ControllaDatiLiq();
    void DecodAzienda(int indice, bool verifica);

    // The folder in which names are proposed, and the one picked with "Cambia".
    const QString& CartellaUscita() const { return cartellaUscita_; }
    const QString& CartellaScelta() const { return cartellaScelta_; }

    void txt_GotFocus(int Index) override;
    void txt_LostFocus(int Index) override;
    void txt_KeyUp(int Index, int& KeyCode, int Shift) override;

protected:
    // The key-up of the company-id boxes reaches txt_KeyUp (the lookups).
    bool eventFilter(QObject* o, QEvent* e) override;
    bool Form_Load() override;
    bool Form_QueryUnload() override;
    void Form_Unload() override;

private:
    ParametriLiqIva Parametri() const;
    void AggiornaSelPiuAziende();
    void Fuoco(int indice);

    QString captionIniziale_;
    QString cartellaUscita_;
    QString cartellaScelta_;
    bool inElaborazione_ = false;  // inside a run
};
