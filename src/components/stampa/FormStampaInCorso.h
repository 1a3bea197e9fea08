#pragma once
// What the print object asks of the print-in-progress box that the program
// hands it as ofrmStampaInCorso.
class FormStampaInCorso {
public:
    virtual ~FormStampaInCorso() = default;
    virtual void MostraInCorso() = 0;             // shown, not modal
    virtual void ScaricaInCorso() = 0;            // closed when the print has ended
    virtual void ImpPaginaInCorso(int pagina) = 0;  // the page label, three digits
    // The e-mail login was refused: true when the user gave new data.
    virtual bool ChiediEmailLogPwd() = 0;
};
