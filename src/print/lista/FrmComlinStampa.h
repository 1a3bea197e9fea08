#pragma once
// The print dialog of the list screens "Stampa dati della lista": visible or
// all columns, portrait or landscape, the font, and the printer (the system
// default, or one chosen in the print options dialog, which never offers the
// fixed-width route from here). "&STAMPA" starts the list component's print
// with the dialog's print options, and refuses while another print runs. The
// printer chosen serves this print only: the system default printer is never
// changed. The list component opens it through DialogoStampaLista.
#include "components/pages/Comlin.h"
#include "components/stampa/FontSta.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

class OpzSta;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class FrmComlinStampa : public QDialog, public DialogoStampaLista {
    Q_OBJECT
public:
    FrmComlinStampa();
    // The program's one instance, created on first use.
    static FrmComlinStampa& Istanza();
    // How the dialog is shown for a list; tests put their own here.
    static std::function<void(FrmComlinStampa&)>& Mostra();
    // The font dialog: the font chosen, or none when cancelled.
    static std::function<std::optional<FontStd>(const FontStd& iniziale)>& SceltaFont();

    Comlin* ogComlin = nullptr;
    std::shared_ptr<OpzSta> Opzioni();
    FontSta& FontStampa() { return font_; }
    void VisStaAttuale();

    void ApriStampaLista(Comlin& lista) override;
    void CmdStampa_Click();
    void ComUsaDef_Click();
    void comSceStam_Click();
    void CmdSceFont_Click();

    QPushButton* ComUsaDef;
    QPushButton* comSceStam;
    QGroupBox* FraTipSta;
    QRadioButton* OptTipsta[2];
    QGroupBox* fraOrientamento;
    QRadioButton* OptOrientamento[2];
    QPushButton* CmdStampa;
    QPushButton* CmdEsci;
    QPushButton* CmdSceFont;
    QLabel* labStaAttuale;

private:
    void stampa();
    FontSta font_;
    std::shared_ptr<OpzSta> opz_;
};
