#pragma once
// The periodic VAT settlement file of one communication: the query over
// LiqIvaTest/LiqIvaDett, the XML file of the IVP schema (IVP17 before 2018,
// IVP18 from 2018) and the fixed-width text line of a module, with the lists
// of missing and rejected values collected on the way.
//
// The writer run drives it row by row, so that it can print each module in
// the same pass:
//   FileLiqIva f(xml);                 // one object per file
//   msg = FileLiqIva::ControllaModuli(rs, key);   // refuse before writing
//   f.ApriFile(path);
//   if (xml) f.ScriviTestata(row1);
//   for each row: f.ScriviRecDett(row);
//   if (xml) f.ScriRecCoda();
//   f.ChiudiFile();  f.MostraElenchi();  errors += f.Errori();
//   if (xml && no errors) f.VerificaSchema();   // the last gate, an error when it fails
//   if (complete and no errors) f.Consegna();   // else it stays incomplete
//
// A file of ApriFile is written under NomeIncompleto(path) and takes its
// final name only through Consegna, so an earlier complete file is never
// replaced by a partial one, and a partial one is never deleted.
//
// The published schemas hold over the older writing rules: amounts carry a
// decimal comma, codes are trimmed and tested against the schema's patterns
// and never cut, values outside the schema's enumerations are listed and left
// out. Errors of the run (Errori: the file must not be sent), each listed with
// its module: a negative amount of an unsigned field, an amount too long for
// its field or stored as text that is no number, a missing or invalid
// taxpayer code or VAT number, a module without a period or with both month
// and quarter, and on the text line a value longer than its width or with a
// character the line cannot hold.
#include "common/ScritturaXml.h"
#include "components/core/Valore.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class GestRecordset;
class GestoreDb;
class QIODevice;

// A column of the current row by name, keeping the database Null.
using LettoreRiga = std::function<Valore(const QString& colonna)>;
// The current row of a record set opened on the settlement query.
LettoreRiga RigaDaRecordset(const GestRecordset& rs, const QString& chiave);

class FileLiqIva {
public:
    explicit FileLiqIva(bool xml);
    ~FileLiqIva();
    FileLiqIva(const FileLiqIva&) = delete;
    FileLiqIva& operator=(const FileLiqIva&) = delete;

    // The query: one row per module, the header's columns repeated, in module order.
    static QString PrepSql(int anno, int numCom);

    // A communication the schema cannot carry (more than five modules, or a
    // module number outside 1-5) is refused before anything is written: the
    // message to show, or "" when the modules are fine.
    static QString ControllaModuli(const QList<Valore>& moduli);
    // The same over the rows of an open settlement query; leaves it on its first row.
    static QString ControllaModuli(GestRecordset& rs, const QString& chiave);

    // Output. ApriFile creates the file under its incomplete name (emptying
    // one left there before); a failure raises ErroreRun. ApriSu writes to a
    // device the caller keeps open.
    void ApriFile(const QString& percorso);
    // Closes the file and gives it its final name, replacing an earlier file
    // of that name; the final path. Raises ErroreRun when it cannot.
    QString Consegna();
    // Where the file of ApriFile lies now: its incomplete name until Consegna.
    const QString& PercorsoAttuale() const { return msPercorsoAttuale; }
    // The name a file has until it is complete.
    static QString NomeIncompleto(const QString& percorso);
    void ApriSu(QIODevice* uscita);
    // Closes the file opened by ApriFile (a device of ApriSu stays open, the
    // caller's); closing twice does nothing. Raises ErroreRun when the data
    // cannot be written out.
    void ChiudiFile();

    // XML only: declaration, header and front page from the first row.
    void ScriviTestata(const LettoreRiga& riga);
    // One module: its XML block, or its fixed-width text line.
    void ScriviRecDett(const LettoreRiga& riga);
    // XML only: the closing tags, after the last module.
    void ScriRecCoda();

    // XML only, once the file of ApriFile is closed and before Consegna: the
    // file checked against the published schema of its year (IVP17 before
    // 2018, IVP18 from 2018). False when the schema rejects it: an error of
    // the run, described by ErroreSchema (the module it lies in, where it lies
    // in one, the element, its line and value).
    bool VerificaSchema();
    const QString& ErroreSchema() const { return msErroreSchema; }
    // Name of the schema of the file's year ("IVP 2018").
    QString NomeSchemaFile() const;

    // Missing mandatory values and error reports of this file, each entry
    // preceded by CR LF.
    const QString& CampiMancanti() const { return xml_.CampiMancanti(); }
    const QString& Segnalazioni() const { return xml_.Segnalazioni(); }
    // Values that could not be written as they are: errors of the run; the
    // file must not be sent.
    int Errori() const { return miErrori; }
    // Shows "Campi obbligatori mancanti " and then "Segnalazioni di errore "
    // with their lists in the message form, each only when not empty.
    void MostraElenchi() const;

    // --- Element writing ---

    // One element line "<iv:chiave>text</iv:chiave>", or "" for an empty
    // value (listed in the missing-fields list when piObblig is not 0).
    // Upper case when pbUcase; tabs become blanks, line breaks references;
    // escaped through CodificaTestoXml. A value longer than piMaxLung (0: no
    // limit) is cut there, never inside a character; one shorter than
    // piMinLung is written and reported.
    QString PrepCampoXml(const QString& psValore, const QString& psChiave, int piObblig,
                         const QString& psDescAgg, int piMaxLung, int piMinLung, bool pbUcase,
                         bool pbNumerico);

    // --- Field texts ---

    // Two decimals (or piDec), a decimal comma whatever the locale, no
    // thousands separator, a leading "-" when negative; "" for zero when
    // pbVuotoSeZero.
    static QString NumeroPA(double pvNumero, int piDec, bool pbVuotoSeZero);
    // 16 blanks for zero, otherwise NumeroPA right-aligned in 16 positions.
    // A text longer than 16 characters is returned whole: the caller treats
    // it as an error.
    static QString FormattaImporto(double pdVal);
    // " " for "N", otherwise "1".
    static QString BiancoSeN(const QString& psVal);
    // "1" for "S", otherwise "0".
    static QString ValFirma(const QString& psVal);

private:
    void ScriviRigaXml(const QString& psRiga);
    void SottraimiTabXml(int piQuanti);
    void ScriviImporto(const LettoreRiga& riga, const QString& colonna, const QString& elemento,
                       bool conSegno);
    void ScriviCodice(const QString& valore, const QString& elemento, int obblig, bool (*valido)(const QString&));
    bool ScriviEnumerato(const Valore& valore, const QString& elemento, const QList<int>& ammessi);
    void ControllaPeriodo(bool mese, bool trimestre);
    double Importo(const LettoreRiga& riga, const QString& colonna);
    void Errore(const QString& voce, bool delModulo = true);
    QString AdattaRiga(const QString& nome, const QString& valore, int larghezza, bool giudica, bool delModulo);
    void ControllaCodiciRiga(const LettoreRiga& riga);
    void ScriviModuloXml(const LettoreRiga& riga);
    void ScriviRigaTesto(const LettoreRiga& riga);
    void Segnala(const QString& voce);
    void Scrivi(const QByteArray& byte);

    bool mbXml;
    std::unique_ptr<QIODevice> mgFile;
    QIODevice* mgUscita = nullptr;
    ScritturaXml xml_;  // lines, indentation, element values and the two lists
    int miAnno = 0;
    bool mbGruppo = false;
    int miErrori = 0;
    int miModulo = 0;  // module of the line being written, 0 for the header
    QList<int> moduliScritti_;  // the module number of each block, in file order
    QString msErroreSchema;
    bool mbTestataControllata = false;
    QString msPercorsoFinale;
    QString msPercorsoAttuale;
};

