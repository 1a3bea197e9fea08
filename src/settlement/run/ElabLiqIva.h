#pragma once
// The settlement run over a range of companies of the shared database's
// Aziende: each company's database is opened (or the program's own, for the
// menu's current company), the writer produces that company's file and
// printed form, and the writer's outcome decides whether the run goes on.
#include <QString>
#include <functional>
#include <memory>

class OpzSta;
class stLiqIva;

inline const QString kTitoloLiqIvaXml = QStringLiteral("Estrazione XML Liquidazione Periodica Iva");

// The run form's fields as they stand when the run starts.
struct ParametriLiqIva {
    QString anno;
    QString numero;
    QString aziendaDa;
    QString aziendaA;
    QString nomeFile;
    bool formatoTxt = false;
    int tipoElab = 0;           // 0 file and print, 1 file only, 2 print only
    QString cartellaScelta;     // folder picked with "Cambia", or ""
    QString captionForm;        // title of "Elaborazione terminata"
};

// The printed form is a page of boxes: the delimited-text and fixed-width
// routes would give a line a page and a character a box, so they are not
// allowed for it (the communication's own text file is the fixed-width output).
void EscludiRotteSuFile(OpzSta& opzioni);

class ElabLiqIva {
public:
    ElabLiqIva();
    ~ElabLiqIva();

    // The print options of the form; every run uses them.
    std::shared_ptr<OpzSta> ogOpzSta;
    // Set by a run whose print went to the screen preview.
    bool obAnteprima = false;
    // Checks of the form's options; a run starts only when they pass.
    std::function<bool()> ControllaDati;
    // Makes the writer on first use (tests hand in their own).
    std::function<std::shared_ptr<stLiqIva>()> CreaScrittore;

    // The writer, or nullptr before the first run.
    stLiqIva* Scrittore() const { return scrittore_.get(); }
    stLiqIva& ScrittoreCreato();
    // True while the writer's run is active.
    bool StampaAttiva() const;

    // The run.
    void Esegui(const ParametriLiqIva& par);
    // Empties the writer's company, file and year.
    void AzzeraParStLiqIva();

private:
    struct Giro;
    enum class Preparazione { Pronta, Saltata, Annullata };
    enum class Seguito { Avanti, Fine, Errore };
    bool PreparaCorsa(const ParametriLiqIva& par);
    bool ApriAziende(Giro& g);
    Preparazione PreparaAzienda(Giro& g);
    Seguito StampaAzienda(Giro& g);
    void Concludi(Giro& g);

    std::shared_ptr<stLiqIva> scrittore_;
};
