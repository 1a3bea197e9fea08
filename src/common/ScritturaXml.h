#pragma once
// The line machinery shared by the XML writers of the communications: one
// element a line, indented by one tab a level, each line ended by CR LF;
// values cleaned, limited and escaped by PrepCampoXml; the lists of missing
// mandatory values ("Campi obbligatori mancanti ") and of cut, short or
// rejected values ("Segnalazioni di errore ") collected for the end of a run.
//
// Contract:
// - Lines go to a device the caller opens and closes (ApriSu); a write that
//   fails raises ErroreRun, so a writer never reports a short file as done.
// - A value is cut on its own characters (never inside a surrogate pair or a
//   line-break reference), and only then are line breaks turned into
//   references and the text escaped; " troncato" and " troppo corto" are
//   judged on the value's own length.
// - Typographic characters without a Latin-1 equivalent become ASCII (’ ‘ →
//   ', “ ” → ", – — → -, … → ..., € → EUR), so that no C1 control code stands
//   in for them, and any other character beyond Latin-1 becomes "_": the
//   schemas' text types hold nothing else. Both happen before the length is
//   counted, so a written value never exceeds its maximum.
// - Every list entry is CR LF + the company prefix + element + " " + the
//   description (trimmed) + a suffix; the description is the caller's extra
//   text followed by what the describer returns (the record being written).
// - Each file kind keeps its elements in one table of RegolaXml, which the
//   writer reads instead of spelling element names and rules at each call.
#include <QString>
#include <functional>

class QIODevice;

// One element of a file kind: name, source column ("" for a computed value),
// the mandatory code of PrepCampoXml, maximum and minimum length (0: none).
struct RegolaXml {
    const char* elemento;
    const char* colonna;
    int obblig;
    int maxLung;
    int minLung;
};

class ScritturaXml {
public:
    // The device receives the lines; it stays the caller's.
    void ApriSu(QIODevice* uscita);
    void Stacca() { uscita_ = nullptr; }
    bool Aperta() const { return uscita_ != nullptr; }
    // Lines written since ApriSu: the number of the line the next one takes
    // is this plus one (a schema fault's line leads back to what wrote it).
    long RigheScritte() const { return righe_; }

    // Indentation level of the next line.
    int Livello() const { return miLivTab; }
    void ImpostaLivello(int livello) { miLivTab = livello < 0 ? 0 : livello; }
    void AlzaTab() { ++miLivTab; }
    // Lowers the level, never below 0.
    void SottraimiTabXml(int piQuanti);

    // One line at the current level; an empty line is not written. The line
    // must hold Basic Latin only (escaped values do).
    void ScriviRigaXml(const QString& psRiga);
    // A line written as it stands, without indentation (declaration, root).
    void ScriviRigaGrezza(const QByteArray& riga);
    // "<tag>" at the level, then one level in; one level out, then "</tag>".
    void Apri(const QString& tag);
    void Chiudi(const QString& tag);

    // One element line, or "" when there is nothing to write. Codes: 0
    // optional; 3 mandatory with filler ("DA" for a maximum of 2, else the
    // first maximum characters of "Dato Assente"); -2 with pbNumerico a
    // mandatory number; any other non-zero value mandatory. A value that is
    // exactly "100-01-01" (an empty date) counts as empty. With altiComeTrattino
    // characters beyond Basic Latin become "_" (for Basic Latin elements).
    QString PrepCampoXml(const QString& psValore, const QString& psChiave, int piObblig,
                         const QString& psDescAgg, int piMaxLung, int piMinLung, bool pbUcase,
                         bool pbNumerico, bool altiComeTrattino = false);
    // The same from a table row.
    QString PrepCampoXml(const RegolaXml& regola, const QString& valore, const QString& descAgg = {},
                         bool altiComeTrattino = false);
    // PrepCampoXml and ScriviRigaXml in one call.
    void ScriviCampo(const RegolaXml& regola, const QString& valore, const QString& descAgg = {},
                     bool altiComeTrattino = false);

    // A namespace prefix put before every element name of PrepCampoXml
    // ("iv:"); list entries name the element without it.
    void ImpostaPrefissoTag(const QString& prefisso) { prefissoTag_ = prefisso; }
    // Characters beyond Latin-1 kept and written as numeric references,
    // instead of turned into ASCII or "_" (for a schema whose texts take them).
    void ConservaCaratteriEstesi(bool conserva) { conservaEstesi_ = conserva; }

    // The lists. Each entry begins with CR LF and the company prefix.
    void ImpostaPrefisso(const QString& prefisso) { msPrefAzienda = prefisso; }
    const QString& Prefisso() const { return msPrefAzienda; }
    void ImpostaDescrittore(std::function<QString()> descrittore) { descrittore_ = std::move(descrittore); }
    void Mancante(const QString& voce);
    void Segnala(const QString& voce);
    const QString& CampiMancanti() const { return msCampiMancanti; }
    const QString& Segnalazioni() const { return msSegnalazioni; }
    void SvuotaElenchi();
    // "Campi obbligatori mancanti " and then "Segnalazioni di errore " with
    // their lists in the message form, each only when not empty.
    void MostraElenchi() const;

    // Amounts and rates: piDec decimals, rounded half away from zero, no
    // thousands separator, "." or "," as the decimal separator; "" for zero
    // when pbVuotoSeZero.
    static QString NumeroPA(double pvNumero, int piDec, bool pbVuotoSeZero, bool pbSepDecPunto);

private:
    void scriviLinea();
    QIODevice* uscita_ = nullptr;
    QByteArray linea_;  // the line being written, its room kept from line to line

    int miLivTab = 0;
    long righe_ = 0;
    QString msCampiMancanti;
    QString msSegnalazioni;
    QString msPrefAzienda;
    QString prefissoTag_;
    bool conservaEstesi_ = false;
    std::function<QString()> descrittore_;
};

// The typographic characters that have no Latin-1 equivalent, turned into ASCII.
QString TipograficiInAscii(const QString& testo);
