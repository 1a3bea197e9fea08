#pragma once
// General routines of the suite's utility object: emptiness, conversions of
// Italian texts to numbers and dates, rounding, text search and replacement,
// SQL literals, display masks, paths and error texts. No routine keeps state.
#include "components/core/Valore.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

class ErroreRun;

// Value-type codes that callers pass to EVuoto and FormatoSql.
namespace TipoDato {
constexpr int Intero = 2;
constexpr int Lungo = 3;
constexpr int Doppio = 5;
constexpr int Data = 7;
constexpr int Testo = 8;
}  // namespace TipoDato

// Compare modes of the text routines.
namespace Confronto {
constexpr int Esatto = 0;
constexpr int IgnoraMaiuscole = 1;
}  // namespace Confronto

class UtilGenerali {
public:
    // Called before each isolation statement; the result is not read.
    int IsolNonConferm(int, int) { return 0; }
    int IsolConferm(int, int) { return 0; }
    int IsolConferm2(int, int) { return 0; }

    // --- Emptiness and conversions ---

    // Empty, null and blank text are empty for every type; a number (0 too)
    // is never empty; for type Data the empty date 01/01/100 is empty as well.
    bool EVuoto(const Valore& valore, int tipo = TipoDato::Testo) const;
    // The number a value holds; 0 when it is not a number ("-1" gives -1,
    // "1.234,56" gives 1234.56, true gives -1).
    double ValoreNumerico(const Valore& valore) const;
    // The number of a settings text with a decimal comma ("202,18"). A text
    // that is not a number, blank included, raises ErroreRun 13.
    double NumeroDaStringa(const QString& testo) const;
    // An amount typed or read from settings: "1.234,56", "1,5", "1.25", "-2";
    // 0 when the text is not a number.
    double ImportoDaTesto(const QString& testo) const;
    // The whole number before the first "-" of a list item ("3 - Vassoio"), 0
    // when there is none.
    long InteroDaTesto(const QString& testo) const;
    // The date a value holds; DataVuota() when it holds none.
    QDate ValoreData(const Valore& valore) const;
    // The suite's empty date, 1 January of the year 100.
    static QDate DataVuota() { return QDate(100, 1, 1); }
    // Checks a typed date. Blank: 0, text unchanged. A date: its serial number
    // (day 0 = 30/12/1899) and the text rewritten as dd/mm/yyyy. Not a date:
    // -2, with "Data non valida" in the message (and in a box when asked).
    // The empty date itself answers its serial -657434, which callers reject.
    long ControllaDataCtl(QString& testo, int tipo = -2, bool mostraBox = false,
                          QString* messaggio = nullptr) const;

    // --- Numbers ---

    // Rounded half away from zero at 10^precisione (-2: two decimals), on the
    // decimal value the number stands for: 2.675 gives 2.68, 1.005 gives 1.01.
    double Arrotonda(double valore, int precisione = 0) const;
    double Minimo(const QList<double>& valori) const;  // 0 for an empty list
    double Massimo(const QList<double>& valori) const;

    // --- Texts ---

    // Every occurrence of each search text replaced, pair after pair, each
    // pair working on the result of the one before. The text before the start
    // position (1-based) is kept as it is.
    QString SostituisciTesto(const QString& testo, const QList<QPair<QString, QString>>& coppie,
                             int inizio = 1, int confronto = Confronto::Esatto) const;
    QString SostituisciTesto(const QString& testo, const QString& cerca, const QString& sostituto) const;
    QString SostituisciTesto(int inizio, const QString& testo, const QString& cerca,
                             const QString& sostituto, int confronto) const;
    // 1-based position of the last occurrence lying within the first `inizio`
    // characters (-1: the whole text); 0 when there is none.
    int CercaDaDestra(const QString& testo, const QString& cercato, int inizio = -1,
                      int confronto = Confronto::Esatto) const;
    int CercaDaDestra(int inizio, const QString& testo, const QString& cercato, int confronto) const;
    // The text filled with the first character of `riempimento` to exactly
    // `larghezza`: side "S" keeps the text at the left, "D" at the right. A
    // longer text is cut to the width, keeping its first ("S") or last ("D")
    // characters, so that fixed-width lines keep their positions.
    QString Allinea(const QString& testo, int larghezza, const QString& riempimento = QStringLiteral(" "),
                    const QString& lato = QStringLiteral("S")) const;
    // The value of a switch of a command line or launch parameter written as
    // "/M chiave /P prog agg /F form /RO": a switch is "/" and letters, at the
    // start or after a blank, followed by a blank or the end; its value runs to
    // the next switch, trimmed, and may hold blanks. A switch without a value
    // answers itself ("/RO"); an absent switch answers "".
    QString EstraiParametro(const QString& parametri, const QString& nome) const;

    // --- SQL literals and display masks ---

    // SQL literal for SQLite and PostgreSQL: Intero/Lungo whole digits, Doppio
    // digits with "." decimals, Data 'yyyy-mm-dd', Testo quoted with quotes
    // doubled. Null, empty or blank values of numbers and dates give Null; a
    // text that is not a number or a date raises ErroreRun 13.
    QString FormatoSql(const Valore& valore, int tipo) const;
    // With soloMaschera the display mask of amounts: base "#,##0" and the
    // decimals written with the fill ("0" fixed decimals, anything else
    // decimals shown only when not zero), e.g. "#,##0.00". Otherwise the
    // value formatted with that mask (a VAT rate 22 with 2, "0", "^": "22").
    QString CreaMaschera(const Valore& valore, int decimali, bool soloMaschera = true,
                         const QString& base = QStringLiteral("#,##0"),
                         const QString& riempimento = QStringLiteral("0")) const;
    // The value in an amount mask the Italian way ("#,##0.00": "1.234,56");
    // with the mask "conto" an account code in its display form GG-MM-CCCCCC.
    // Empty and null give "".
    QString FormattaValore(const Valore& valore, const QString& maschera) const;
    // The account code without its display mask (kind "Conto"): the "-" taken
    // away. Other kinds: the text trimmed.
    QString TogliMaschera(const QString& testo, const QString& tipo = QStringLiteral("Conto")) const;

    // --- Paths and files (Windows-style paths are mapped by PercorsoLocale) ---

    // Drive, folder and file joined with one separator between each; "" when
    // all three are empty. A folder that already carries a drive or a "\\"
    // network prefix is not put under the drive.
    QString ComponiPercorso(const QString& file, const QString& unita, const QString& cartella) const;
    QString CartellaWindows() const;
    QString CartellaTemp() const;
    bool EsisteFile(const QString& percorso) const;
    // The folder of a path: a trailing separator removed, otherwise the part
    // before the last separator when the path does not name a folder; doubled
    // separators collapsed. "" when there is no folder in it.
    QString SistemaPercorso(const QString& percorso) const;
    QString UnisciPercorso(const QString& cartella, const QString& nome) const;

    // --- Errors and system values ---

    long NumeroErrore(long numero) const { return numero; }
    long NumeroErrore(const ErroreRun& errore) const;
    QString TestoErrore(long numero) const;
    QString SepDecimali() const { return QStringLiteral(","); }
    // Recovers a damaged database file in place (RecuperoDb.h): 0 when it was
    // recovered, and then one box tells, table by table, the rows saved and
    // lost and where the original was kept; not 0 when nothing was changed,
    // and then `motivo`, when given, says why.
    int RiparaDb(const QString& fileDatabase, QString* motivo = nullptr) const;
};

// A value that a number column holds as text which reads as no number: read
// as a number it would silently count as 0. Blank text is an empty value, and
// "100,50" or " 1.234,5 " are numbers.
bool TestoNonNumerico(const Valore& valore);

// The program's utility objects (the general one and the one of the isolation
// routines), created on first use.
UtilGenerali& ggUtil();
UtilGenerali& ggIsolamento();
