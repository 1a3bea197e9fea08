#pragma once
// Extraction form of the invoice data: proposes the year, the
// communication number and its period from the working date by era, checks
// year and number as they are typed, and on "&Ok" runs the extraction
// (EstrazioneDatiFat), showing its progress and offering "&Interrompi". The
// form cannot be closed while a run is in progress.
#include "common/form/FormComune.h"
#include "invoicedata/estrazione/EstrazioneDatiFat.h"
#include "common/FormBase.h"

#include <QElapsedTimer>
#include <QMap>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class FrmDatiFatPre : public FormBase, public MembriForm, private OsservatoreDatiFat {
    Q_OBJECT
public:
    FrmDatiFatPre();

    // Controls by the names and indexes the program gives them.
    QMap<int, QLineEdit*> txt;         // 10 year, 20 number, 30 and 40 period
    QCheckBox* cheCosaEstr[2]{};       // 0 clients, 1 suppliers
    QCheckBox* cheCliFittizi = nullptr;
    QCheckBox* cheSoloStran = nullptr;
    QPushButton* comOk = nullptr;
    QPushButton* ComAnnulla = nullptr;
    QPushButton* ComInterrompi = nullptr;
    QFrame* PicElab = nullptr;
    QLabel* LabInElab = nullptr;
    QLineEdit* txtFatti = nullptr;
    QLineEdit* txtDaFare = nullptr;

    // The run and its state, as long as the form lives.
    EstrazioneDatiFat estrazione;

    void ComOk_Click();
    void ComInterrompi_Click() { interruzione_ = true; }
    bool InElaborazione() const { return inCorso_; }
    // The extraction's options as the fields hold them.
    OpzioniDatiFat Opzioni() const;
    // Writes the period of the year and number fields into fields 30 and 40.
    void ImpDateSel();

    void txt_GotFocus(int Index) override;
    void txt_LostFocus(int Index) override;

    // Proposed year and number of a working date: the period before it, by
    // the period length of its era.
    static void PropostaPeriodo(const QDate& dataLavoro, QString& anno, QString& numero);

protected:
    bool Form_Load() override;
    bool Form_QueryUnload() override;

private:
    void Inizio() override;
    void Fine() override;
    void Fase(const QString& testo) override;
    void Avanzamento(long fatti, long daFare) override;
    bool InterruzioneRichiesta() override;
    void MostraConteggi();

    // The first edit field that shows the error colour, -1 none.
    int CampoInErrore() const;

    bool inCorso_ = false;
    bool interruzione_ = false;
    long fatti_ = 0;
    long daFare_ = 0;
    QElapsedTimer ultimoPassaggio_;
};
