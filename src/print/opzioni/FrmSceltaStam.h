#pragma once
// The print options dialog "Scelta della modalità di stampa": the output
// route, the printer with its paper bin and size, the preview, file and
// fixed-width options and the page range of one report, written at once into
// the caller's print options; the panel that saves or deletes them as
// defaults in the settings files; the PDF and e-mail parameters of the menu
// and the automatic PDF. It has one shared instance; a caller sets ogOpzSta,
// asks VisDecodOk and, when that agrees, shows it modally (Apri does all of
// it). A cancelled file dialog changes nothing; a key that cannot be saved is
// reported and keeps the save panel open.
#include "common/form/FormComune.h"

#include <QDialog>
#include <QPoint>
#include <functional>
#include <optional>
#include <memory>

class OpzSta;
class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QComboBox;
class QTableWidget;
class frmVStaPar;

class FrmSceltaStam : public QDialog, public MembriForm {
    Q_OBJECT
    Q_PROPERTY(QString osRisVidKey MEMBER osRisVidKey)
    Q_PROPERTY(double odRisVidVal MEMBER odRisVidVal)

public:
    // The shared instance, loaded on first use and again after each closing.
    static FrmSceltaStam& Istanza();
    static bool Caricata();
    // The opening of every caller: the options handed over, filled, shown
    // modally. False when a print is running (after the message).
    static bool Apri(std::shared_ptr<OpzSta> opz);
    // How the dialog is shown modally; tests put their own here.
    static std::function<void(FrmSceltaStam&)>& MostraModale();

    std::shared_ptr<OpzSta> ogOpzSta;  // the caller's options, edited in place
    QString osRisVidKey;
    double odRisVidVal = 1.0;
    int oiRichDatiEmail = 0;

    // Fills the dialog from ogOpzSta; false, after a message, while a print runs.
    bool VisDecodOk();
    // The label of the current destination.
    void VisStaAttuale();
    // Every time the dialog becomes the active window.
    void Form_Activate();
    // "&Chiudi": closes unless a choice is incomplete.
    void ComChiudi_Click();

    // Controls, by the names the program gives them.
    QLabel* labStaAttuale;
    QGroupBox* Fra0;                 // "Stampa su: "
    QRadioButton* OptStampaSu[4];
    QWidget* pagine;                 // holds the four FraOpz frames in one place
    QGroupBox* FraOpz[4];
    QCheckBox* CheForzaVert;
    QCheckBox* ChePdfAutom;
    QCheckBox* CheInviaEmail;
    QCheckBox* CheNumPag;
    QLabel* labFatt;
    QLabel* LabMemVid;
    QPushButton* ComChiudi;
    QLineEdit* txt(int indice) const;

    // --- Printer page, paper bin and size ---
    QTableWidget* GriPri;
    QComboBox* cboCassetti;
    QComboBox* cboTipoCarta;
    QPushButton* ComUsaDef;           // "Stampante predefinita"
    QLabel* labTotStamp;
    void ImpostaCboCassetti();
    void ImpostaCboTipoCarta();
    // Reads the sizes of the chosen printer: true fills cboTipoCarta.
    void GetPaperList(bool pbSettaCbo);
    void GriPri_Click(int riga);
    void GriPorte_Click(int riga);
    void ComUsaDef_Click();

    // --- File, fixed-width and preview pages ---
    QLabel* LabFileName;
    QLabel* LabFileForm;
    QPushButton* ComOpz[4] = {};      // 1 preview "Cambia", 2 file "Cambia", 3 "&Nome File"
    QRadioButton* OptSepCampi[4];
    QRadioButton* OptDelimStr[3];
    QCheckBox* CheNumNoForm;
    QTableWidget* GriPorte;
    QLineEdit* TxtFisMrAlt;
    QLineEdit* TxtFisMrBas;
    QLineEdit* TxtFisColonne;
    QLineEdit* TxtFisRighe;
    QLineEdit* TxtFisCodIniComp;
    QLineEdit* TxtFisCodFinComp;
    QCheckBox* CheFisUtilComp;
    QLabel* LabFileStampaFis;
    void ComOpz_Click(int Index);
    // Major version of the spreadsheet format offered; -1 when none.
    static int VersioneExcel();
    // The preview size dialog while "Cambia" shows it; tests drive it here.
    static std::function<void(frmVStaPar&)>& MostraZoom();

    // --- Saving the options ---
    QWidget* PicSalPar;
    QGroupBox* FraQualeIni;
    QRadioButton* OptIniPers;
    QRadioButton* OptIniStd;
    QRadioButton* OptSalInDef;
    QRadioButton* OptSalInStamp;
    QCheckBox* Che[25];
    QLabel* LabValParam[25];
    QPushButton* ComSalOpz;
    QPushButton* ComCancOpz;
    QPushButton* ComOk;
    QPushButton* ComAnnulla;
    void ComSalOpz_Click();
    void ComCancOpz_Click();
    void ComOk_Click();
    void ComAnnulla_Click();
    void MettiValOpz();
    void SelDeselSalOpz(bool selez);

    // --- Automatic PDF and the PDF and e-mail panel ---
    void ChePdfAutom_Click();
    void CheInviaEmail_Click();
    void ImpostaPdfAutom();
    // The login request of a print: true when the user confirmed new data.
    bool RichDatiEmail();
    class PannelloPdfEmail* PicPdfEmail = nullptr;
    QPushButton* ComParIniPE;
    void ComParIniPE_Click();
    // Ends the dialog from the login request's "&Ok" or "&Annulla", with no closing checks.
    void FineRichiestaEmail(bool confermata);

    // MembriForm
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Form_KeyPress(int& KeyAscii) override;
    void txt_GotFocus(int Index) override;
    void txt_LostFocus(int Index) override;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void done(int r) override;

private:
    FrmSceltaStam();
    void Form_Load();
    void OptStampaSu_Click(int indice);
    void MostraOpzVideo();
    void MostraPagine(QLineEdit* da, QLineEdit* a);
    // The first check that refuses the closing, with its message; true when none.
    bool ControlliChiusura();

    void MostraOpzFile();
    void MostraOpzFissa();
    void ImpostaStampanteSel(bool pbPredefinita);
    void controlloPdfAutom();
    void riempiGriglie();
    // The printer grids' column widths in their font, again after the scaling.
    void larghezzeGriglie();
    // The printer whose bins and sizes are listed.
    QString stampanteScelta() const;
    void numeroDaCombo(QComboBox* c, const char* opzione);
    void costruisciPagine();
    void costruisciSalvataggio();
    void costruisciPdfEmail(class QVBoxLayout* tutto);
    void numeroPdfEmailLasciato(int indice);
    QString msStampantiNoCassetti;
    int modoSalvataggio_ = 0;    // 0 save, -1 delete
    QString fileDialogo_;        // the name the save dialog last held
    QWidget* contenuto_ = nullptr;   // everything but the two panels
    QWidget* pannelloPE_ = nullptr;  // PicPdfEmail as a widget
    class QScrollArea* scorrimentoPE_ = nullptr;  // holds PicPdfEmail
    class QScrollArea* scorrimentoSal_ = nullptr; // holds PicSalPar
    class QScrollArea* righeSalvataggio_ = nullptr;  // the rows of PicSalPar
    // Where the dialog stood before a panel made it grow.
    std::optional<QPoint> posPrimaPannello_;
    // The form that asks becomes the parent, so the dialog opens over it.
    void SopraChiamante();
    class QScrollArea* PannelloScorrevole(QWidget* pannello, class QVBoxLayout* tutto);

public:
    bool mbCaricamento = false;
};
