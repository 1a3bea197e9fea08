#pragma once
// Run form of the invoice-data communication: year and number, the range of
// companies, the kinds to write, trial, definitive or repeat runs, normal
// communications or cancellations, what to produce, the declarant, the
// output folder ("Cambia") and the print destination. The checks, the run,
// the lock and the cancellation live in plain units beside it; the form
// copies its boxes into them and puts the focus where they say.
#include "common/FormBase.h"
#include "common/form/FormComune.h"
#include "invoicedata/run/ControlliRunDatiFat.h"
#include "invoicedata/run/ElabDatiFat.h"
#include "invoicedata/run/LockDatiFat.h"
#include "print/opzioni/OpzioniIni.h"

#include <QDate>
#include <QMap>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class stDatiFat;

// The communication proposed from the working date: the quarter before it
// from 2020, the month before it from May 2019, the half-year before it
// earlier.
void PropostaComDatiFat(const QDate& data, QString& anno, QString& numero);

class frmDatiFatXml : public FormBase, public MembriForm, public FormStampaVideo {
    Q_OBJECT
    Q_PROPERTY(int oiAbilRW MEMBER oiAbilRW)
    Q_PROPERTY(QString osParam MEMBER osParam)
    Q_PROPERTY(QString osKeySec MEMBER osKeySec)
    Q_PROPERTY(double odRisVidVal MEMBER odRisVidVal)
    Q_PROPERTY(QString osRisVidKey MEMBER osRisVidKey)

public:
    frmDatiFatXml();
    ~frmDatiFatXml() override;

    double odRisVidVal = 1.0;
    QString osRisVidKey;

    QMap<int, QLineEdit*> txt;
    QMap<int, QLabel*> Lab;          // 30/40 company descriptions
    QMap<int, QLabel*> label1;       // labels of the cancellation boxes and of 100
    QRadioButton* optTipoCom[2]{};   // "Normale", "Cancellazione"
    QRadioButton* optTipoElab[3]{};  // file and report, file, report
    QRadioButton* OptTipoSta[3]{};   // "Prova", "Definitiva", "Rielabora"
    QRadioButton* optOrdin[2]{};     // "Come XML", "Per Data"
    // "Formato txt", "Formato XML": hidden with its frame Frame1(1) and never
    // shown; the writer is told the choice, which changes nothing it writes.
    QRadioButton* optTipoFile[2]{};
    QGroupBox* Frame1[2]{};          // "Tipo Elaborazione: ", "Tipo File:"
    // The "..." buttons of the company boxes: hidden, and F2 in the boxes
    // opens no list either.
    QMap<int, QPushButton*> ComHlp;
    QLabel* LabSelPiuAziende = nullptr;  // hidden, stays hidden
    QCheckBox* cheCosaEstr[2]{};     // clients, suppliers
    QCheckBox* CheEstraiAnag = nullptr;
    QCheckBox* CheMolteAnag = nullptr;
    QGroupBox* fraAziende = nullptr;
    QGroupBox* FraDichiarante = nullptr;
    QGroupBox* fraSingola = nullptr;
    QGroupBox* FraOrd = nullptr;
    QPushButton* ComStampa = nullptr;
    QPushButton* cmdStaVid = nullptr;
    QPushButton* comSceStam = nullptr;
    QPushButton* ComChiudi = nullptr;
    QPushButton* ComOpz = nullptr;
    QLabel* LabDirInvio = nullptr;
    QLabel* labStaAttuale = nullptr;

    void PassaA() override;
    bool HaMenuFrm() const override { return true; }
    bool ElaborazioneAttiva() const override;
    void ComStampa_Click() override;
    void VisStaAttuale() override;
    void cmdStaVid_Click();
    void comSceStam_Click();
    void ComOpz_Click();
    void optTipoCom_Click();
    void optTipoElab_Click(int Index);
    void OptTipoSta_Click();
    void AbilDisabCanc(bool pbAbilDisab);
    void ComHlp_Click(int Index);
    void DecodAzienda(int indice, bool verifica);

    const QString& DirInvio() const { return msDirInvio; }
    const QString& DirNuova() const { return msDirNuova; }
    const RecDichiarante& Dichiarante() const { return mrDichiarante; }
    // The last run's outcome, for whoever drives the form.
    std::optional<EsitoElabDatiFat> UltimoEsito() const { return ultimoEsito_; }
    // The writer of the runs, once one has started.
    const stDatiFat* Scrittore() const { return mgStDatiFat.get(); }

    void txt_GotFocus(int Index) override;
    void txt_LostFocus(int Index) override;
    void txt_KeyUp(int Index, int& KeyCode, int Shift) override;

protected:
    bool Form_Load() override;
    bool Form_QueryUnload() override;
    void Form_Unload() override;

private:
    DatiRunDatiFat Dati() const;
    void Segna(int indice, const QString& messaggio);
    void DichiaranteDaAziende();

    QString msDirInvio, msDirNuova, captionIniziale_;
    RecDichiarante mrDichiarante;
    std::shared_ptr<OpzSta> mgOpzSta;
    std::unique_ptr<stDatiFat> mgStDatiFat;
    LockDatiFat lock_{[this] { return msDirInvio; }};
    bool mbStaVideo = false;
    bool inElaborazione_ = false;  // inside a run or a cancellation
    std::optional<EsitoElabDatiFat> ultimoEsito_;
};
