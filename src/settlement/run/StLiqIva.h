#pragma once
// The settlement writer: one company's communication (LiqIvaTest joined with
// its LiqIvaDett modules) written as the XML or fixed-width file and printed
// as the official form, in one pass over the rows.
#include "components/stampa/Stampa.h"
#include "settlement/file/FileLiqIva.h"
#include "settlement/stampa/ModelloLiqIva.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class OpzSta;

class stLiqIva : public ChiamanteStampa {
public:
    stLiqIva();
    ~stLiqIva() override;

    // Set by the run form
    QString osIdDbase;       // company database id
    QString osIdAzienda;
    QString osDescAzie;
    QString osNomeFile;      // "§CodFisc§" is replaced here by the run
    int16_t oiAnno = 0;
    int16_t oiNumCom = 0;
    int16_t oiOrdin = 0;
    bool obStampa = false;   // print the form
    bool obEstrFile = false; // write the file
    bool obFileXml = false;  // XML, else fixed-width text
    int16_t oiUltimaDitta = 0;
    QString osTitolo;
    std::shared_ptr<OpzSta> ogOpzSta;

    // Outcome: below 0 the range stops, above 0 errors were reported.
    int16_t oiErrore = 0;
    bool obStaAtt = false;   // true while AvviaStampa runs
    bool obStampato = false; // the last run found at least one row
    bool obStampaRifiutata = false; // the last run's print was refused before its data

    // The program's print-in-progress flag, which the print object clears
    // through the owner when the print has ended.
    int oiStaAtt() const override;
    void oiStaAtt(int valore) override;

    // Called on each run's print object once it is set up, before the
    // document starts (tests give it their own drawing device).
    std::function<void(Stampa&)> PreparaStampa;

    virtual void AvviaStampa();
    // Ends the preview that a company's run left open for a later company
    // (the range ended before its last company); the preview then waits for
    // the user to leave it. Nothing when no preview is open.
    void concludiDocumento();
    // Closes the output file; false after a failure (already shown).
    bool ChiudiFile();

    // What the last run left, for the account of a stopped range: whether
    // its data were read and its file or its first page begun, whether its
    // file took its final name, and the file on disk ("" when none).
    bool ParteIniziata() const;
    bool FileCompleto() const;
    QString FileLasciato() const;

private:
    void iniziaRun();
    void eseguiRun();
    bool preparaStampa();
    bool apriDati();
    bool avviaDocumento();
    void apriFileRun(const LettoreRiga& riga);
    bool scriviModuli(const LettoreRiga& riga, const LettoreCampo& campo);
    void chiudiFileRun();
    void concludiStampa();
    void avvisaFileDaNonTrasmettere();
    void rilasciaRun();
    bool annullata() const;
    bool fermataUtente();

    struct Stato;
    std::unique_ptr<Stato> s_;
};
