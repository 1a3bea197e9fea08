#pragma once
// The panel "Parametri per stampe pdf ed email" of the print options dialog:
// the menu's PDF and e-mail parameters (PDF driver, automatic PDF name, log
// file, three recipients, up to three sending configurations) shown in the
// dialog's text boxes 1003 to 1221 and its check and option boxes, written
// back to the menu on "&Ok", stored in or removed from the menu's settings
// files through the command values "ScriviIniComuni" and "LeggiIniComuni".
// In login-request mode (the dialog's oiRichDatiEmail 1000) "&Ok" ends the
// dialog only when login, password, server and a recipient are there, and
// "&Annulla" abandons the request (oiRichDatiEmail 200).
#include <QMap>
#include <QString>
#include <QWidget>

class FrmSceltaStam;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class PannelloPdfEmail : public QWidget {
    Q_OBJECT
public:
    explicit PannelloPdfEmail(FrmSceltaStam& dialogo);

    // Item numbers of the sending configurations' own values.
    static constexpr int maIndConfig[13] = {6, 19, 17, 11, 10, 14, 15, 8, 12, 9, 18, 20, 21};
    static bool IndInVet(int piCheck);

    void Apri();
    void MostraIniPE();
    void AggIniPE();
    QString SalvaCancIniPE() const;
    void MostraEmailToCor(bool pbAggCob);
    void MostraEmailTipoCor(bool pbAggCob);
    bool CtrlTxtValidi();
    void PESelDeselSalOpz(bool pbSelez);
    void ComPEOk_Click();
    void ComPEAnnulla_Click();
    void ComPESalva_Click();
    void ComPECanc_Click();
    void ComPERileggi_Click();
    void ComPeDatiCor_Click();
    void ComCerca_Click(int indice);
    // F2 to F5 in the temporary recipient (and its "..." button, as F2):
    // a customer's address from the account list.
    void txt1520_KeyUp(int keyCode, int shift);
    // A number box left: formatted, or shown in the error colour when it holds no number.
    void NumeroLasciato(int indice);

    int miEmailToCor = 1;
    int miEmailTipoCor = 1;
    bool mbPiuConfig = false;

    QMap<int, QCheckBox*> ChePdfEmailVal;
    QMap<int, QCheckBox*> ChePdfEmailSalva;
    QMap<int, QRadioButton*> OptPETipoInvio;
    QWidget* PicEmailAttiva[3];
    QComboBox* CboEmailToNum;
    QComboBox* CboEmailTipoNum;
    QRadioButton* OptPEDove[2];
    QPushButton* ComPEOk;
    QPushButton* ComPEAnnulla;
    QPushButton* ComPESalva;
    QPushButton* ComPECanc;
    QPushButton* ComPERileggi;
    QPushButton* ComPeDatiCor;
    QPushButton* ComPESel;
    QPushButton* ComPEDesel;
    QPushButton* ComHlp1520;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QLineEdit* txt(int indice) const;
    QLineEdit* nuovoTxt(QWidget* padre, int indice);
    void nascondi();
    FrmSceltaStam& dialogo_;
};
