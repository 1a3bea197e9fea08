#pragma once
// Name and first lines of every invoice-data file ("DAT20"), and the table of
// the file's elements with their rules.
//
// Contract:
// - ProgressivoDatiFat and NomeDatiFat compose the send progressive and the
//   name "IT" + tax code + "_DF_" + progressive [+ "_Prova"] + ".xml"; the
//   name-only mode of the run form is NomeSoloDatiFat.
// - ApriXmlDatiFat opens the file under a temporary name beside the final
//   one (final name + kSuffissoIncompleto) and writes the declaration, the
//   root and DatiFatturaHeader; the caller writes the body through `scrittura`
//   and, once the file is complete, calls Completa, which closes it and gives
//   it its final name. A file that is never completed stays under the
//   temporary name, so an earlier complete file of the same name is never
//   replaced by a partial one. Every failure raises ErroreRun.
// - The header holds Basic Latin only; the declarant block is written only
//   with a tax code matching the schema's pattern and an office code 1-15,
//   otherwise it is left out and "Dichiarante non valido" is reported.
#include "common/ScritturaXml.h"

#include <QFile>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

inline const QString kSuffissoIncompleto = QStringLiteral(".incompleto");
inline const QString kNamespaceDatiFat =
    QStringLiteral("http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v2.0");
// The schema's limits: counterparties in one file, documents under one
// counterparty block, VAT summaries in one document; split files "A".."Z".
constexpr int kMaxAnagFile = 1000;
constexpr int kMaxDocAnag = 1000;
constexpr int kMaxRiepDoc = 1000;
constexpr int kMaxFileDivisi = 26;

struct ArgomentiXmlDatiFat {
    QString cartella{};
    QString codFisc{};
    int annoCom = 0;
    int numComun = 0;
    QString codInvio{};   // "E1", "R3", "C1", "10" ...
    QString cfDich{};
    QString carica{};
    bool prova = false;
    bool molteFile = false;
    int contaFile = 0;    // 0-based index within a split send
};

// "0".."9", then "A" for 10 .. "Z" for 35.
QString CifraBase36(int n);
QString ProgressivoDatiFat(const ArgomentiXmlDatiFat& a);
QString PrefissoDatiFat(const QString& codFisc);
// The file name without folder, "_Prova" and ".xml" (the run form's proposal).
QString NomeSoloDatiFat(const ArgomentiXmlDatiFat& a);
// The full path as the settings write it: folder, "\" unless the folder ends
// with one, name. An empty folder raises ErroreRun.
QString NomeDatiFat(const ArgomentiXmlDatiFat& a);
// The same for a file whose progressive is known (a split send's, as its
// registrations keep it).
QString NomeDatiFat(const QString& cartella, const QString& codFisc, const QString& progressivo, bool prova = false);

// Trimmed, upper case, and tested against the schema's patterns.
bool CodiceFiscaleValido(const QString& codice);
// The office code 1-15 without leading zeros, or "" when it is none.
QString CaricaValida(const QString& carica);

// An open invoice-data file.
struct FileXmlDatiFat {
    QString percorso;       // final path, as mapped to this system
    QString provvisorio;    // where it is written until complete
    QString progressivo;
    std::unique_ptr<QFile> file;
    // Where each document begins (lines written before it) and its
    // registration, so that a schema fault's line names the registration.
    std::vector<std::pair<long, QString>> documenti;
    QString Registrazione(int riga) const;
    // Closes the file (a failure raises ErroreRun and leaves it under its
    // temporary name).
    void Chiudi();
    // Gives a closed file its final name, replacing an earlier one.
    void Completa();
};

// The closed file against both published invoice-data schemas: "" when
// both take it, otherwise the first fault, its element, line and value, and
// the registration whose document holds it when there is one.
QString ControllaSchemiDatiFat(const FileXmlDatiFat& f);

// Opens the file and writes the header; `scrittura` is set on the file at
// level 0. Header warnings go to scrittura's lists.
void ApriXmlDatiFat(const ArgomentiXmlDatiFat& a, FileXmlDatiFat& uscita, ScritturaXml& scrittura);

// The elements of the file, with their source column, mandatory code and lengths.
namespace ElementiDatiFat {
// Own identity
inline constexpr RegolaXml kIdPaeseDitta{"IdPaese", "", 0, 0, 0};
inline constexpr RegolaXml kIdCodiceDitta{"IdCodice", "", 0, 0, 0};
inline constexpr RegolaXml kCodiceFiscaleDitta{"CodiceFiscale", "", 0, 0, 0};
inline constexpr RegolaXml kDenominazioneDitta{"Denominazione", "", 1, 80, 0};
inline constexpr RegolaXml kNomeDitta{"Nome", "", 1, 60, 0};
inline constexpr RegolaXml kCognomeDitta{"Cognome", "", 1, 60, 0};
// Counterparty
inline constexpr RegolaXml kIdPaese{"IdPaese", "Stati.ISO", 1, 0, 0};
inline constexpr RegolaXml kIdCodice{"IdCodice", "PianoConti.PartIva", 1, 28, 0};
inline constexpr RegolaXml kCodiceFiscale{"CodiceFiscale", "PianoConti.CodFisc", 0, 16, 11};
inline constexpr RegolaXml kCodiceFiscaleObbl{"CodiceFiscale", "PianoConti.CodFisc", 1, 16, 11};
inline constexpr RegolaXml kDenominazione{"Denominazione", "PianoConti.RagSoc", 3, 80, 0};
inline constexpr RegolaXml kNome{"Nome", "PianoConti.Nome", 3, 60, 0};
inline constexpr RegolaXml kCognome{"Cognome", "PianoConti.Cognome", 3, 60, 0};
inline constexpr RegolaXml kDenominazioneFissa{"Denominazione", "", 1, 80, 0};
inline constexpr RegolaXml kIndirizzoFisso{"Indirizzo", "", 1, 60, 0};
inline constexpr RegolaXml kComuneFisso{"Comune", "", 1, 60, 0};
inline constexpr RegolaXml kNazioneFissa{"Nazione", "", 1, 0, 0};
inline constexpr RegolaXml kIndirizzo{"Indirizzo", "PianoConti.Indirizzo", 3, 60, 0};
inline constexpr RegolaXml kCap{"CAP", "PianoConti.CAP", 0, 5, 5};
inline constexpr RegolaXml kComune{"Comune", "PianoConti.Comune", 3, 60, 0};
inline constexpr RegolaXml kProvincia{"Provincia", "PianoConti.Pr", 0, 2, 2};
inline constexpr RegolaXml kNazione{"Nazione", "Stati.ISO", 1, 2, 2};
inline constexpr RegolaXml kIndirizzoStab{"Indirizzo", "PianoConti.FAStabOrgIndir", 1, 60, 0};
inline constexpr RegolaXml kCapStab{"CAP", "PianoConti.FAStabOrgCap", 1, 5, 5};
inline constexpr RegolaXml kComuneStab{"Comune", "PianoConti.FAStabOrgComune", 1, 60, 0};
inline constexpr RegolaXml kProvinciaStab{"Provincia", "PianoConti.FAStabOrgPr", 0, 2, 2};
inline constexpr RegolaXml kNazioneStab{"Nazione", "StatiStab.ISO", 1, 2, 2};
inline constexpr RegolaXml kIdPaeseRapp{"IdPaese", "StatiRapp.ISO", 1, 0, 0};
inline constexpr RegolaXml kIdCodiceRapp{"IdCodice", "PianoConti.FARappFiscCodIdFisc", 1, 28, 0};
inline constexpr RegolaXml kDenominazioneRapp{"Denominazione", "PianoConti.FARappFiscRagSoc", 3, 80, 0};
inline constexpr RegolaXml kNomeRapp{"Nome", "", 3, 60, 0};
inline constexpr RegolaXml kCognomeRapp{"Cognome", "", 3, 60, 0};
// Document
inline constexpr RegolaXml kTipoDocumento{"TipoDocumento", "DatiFatTest.TipoDocumento", 1, 4, 4};
inline constexpr RegolaXml kData{"Data", "DatiFatTest.DataDoc", 1, 0, 0};
inline constexpr RegolaXml kNumero{"Numero", "DatiFatTest.NumDoc", 1, 20, 0};
inline constexpr RegolaXml kDataRegistrazione{"DataRegistrazione", "DatiFatTest.DataReg", 1, 0, 0};
// VAT summary
inline constexpr RegolaXml kImponibileImporto{"ImponibileImporto", "DatiFatDett.ImponibileImporto", -1, 15, 4};
inline constexpr RegolaXml kImposta{"Imposta", "DatiFatDett.Imposta", -1, 15, 4};
inline constexpr RegolaXml kAliquota{"Aliquota", "DatiFatDett.Aliquota", -1, 6, 4};
inline constexpr RegolaXml kNatura{"Natura", "DatiFatDett.Natura", 0, 2, 0};
inline constexpr RegolaXml kDetraibile{"Detraibile", "DatiFatDett.Detraibile", -1, 6, 4};
inline constexpr RegolaXml kDeducibile{"Deducibile", "DatiFatDett.Deducibile", 0, 2, 0};
inline constexpr RegolaXml kEsigibilitaIva{"EsigibilitaIVA", "DatiFatDett.EsigibilitaIVA", 0, 1, 0};
}  // namespace ElementiDatiFat
