#pragma once
// The print options dialog "Scelta della modalità di stampa": the output
// route, the preview options and the page range of one report, written at
// once into the caller's print options. It has one shared instance; a caller
// sets ogOpzSta, asks VisDecodOk and, when that agrees, shows it modally
// (Apri does all of it).
#include "common/form/FormComune.h"

#include <QDialog>
#include <functional>
#include <memory>

class OpzSta;
class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

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

    bool mbCaricamento = false;
};
