#pragma once
// The printed settlement communication: the official form's scanned pictures,
// one front page and one page per module, with the communication's values
// printed into their boxes. The writer of the settlement run owns one
// ModelloLiqIva for its life, loads the sheet geometry before the document
// starts and calls the page routines on its print object.
//
// All positions are millimetres on the sheet, x to the right of the left
// edge, y down from the top edge. The field positions live in one table
// (VociModello) that both the page routines and the stand-in picture tool
// read, so the boxes drawn and the values printed cannot drift apart.
#include "components/core/Valore.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <functional>

class Stampa;
class GestRecordset;

// A column of the current row by its table-qualified name
// ("LiqIvaTest.CodiceFiscale").
using LettoreCampo = std::function<Valore(const QString& nome)>;

// Page indexes of the form.
namespace PaginaLiqIva {
constexpr int Intestazione = 0;  // front page: taxpayer, declarant, intermediary
constexpr int Modulo = 1;        // one page per module: VP1 to VP14
}  // namespace PaginaLiqIva

// How a field stands on the form.
enum class FormaVoce {
    Caselle,  // one character per box from x, boxes 4.9 mm apart
    Importo,  // an amount right-aligned in the 30 mm box ending at x
    Testo,    // one text in the box from x to destra, left-aligned
};

// One field of a page. y and x are before the shifts of [LiqIva].
struct VoceModello {
    int riga;            // line of the page, from 1
    float y;
    float x;             // Caselle, Testo: left edge; Importo: right edge
    float destra;        // Testo: right edge
    FormaVoce forma;
    int caselle;         // boxes on the form (Caselle); 0 for the other forms
    QString etichetta;   // label on the stand-in picture
    // What is printed from the row: text for Caselle and Testo (empty: nothing),
    // a number for Importo (zero: nothing).
    std::function<Valore(const LettoreCampo&)> valore;
};

// The fields of a page, in printing order (the order of the official lines).
const QList<VoceModello>& VociModello(int pagina);

class ModelloLiqIva {
public:
    // Sheet geometry of the two pictures and the shifts added to every field,
    // loaded by IniParamImmagine.
    float mnInizioLarghezzaFoglio1 = 0, mnLarghezzaFoglio1 = 0;
    float mnInizioAltezzaFoglio1 = 0, mnAltezzaFoglio1 = 0;
    float mnInizioLarghezzaFoglio2 = 0, mnLarghezzaFoglio2 = 0;
    float mnInizioAltezzaFoglio2 = 0, mnAltezzaFoglio2 = 0;
    float mnSpostaX = 0, mnSpostaY = 0;

    // Full path of the page's background picture from [LiqIva] (drive, folder,
    // ImgTest/ImgDett), and as a side effect that page's geometry and, for the
    // front page, the shifts. A key that cannot be converted takes its default;
    // when mostraAvvisi (the print object's LeggiAvvisiIni) the "Errore file
    // ini" box is shown once. "" when no picture name is configured (a
    // missing picture for the caller); "\" when the name is "\" (the page is
    // printed without a picture).
    QString IniParamImmagine(int pagina, bool mostraAvvisi);

    // Where the page's picture is drawn: left, top, width and height.
    QRectF RettangoloFoglio(int pagina) const;

    // The fields of the front page and of one module page, from the current
    // row, in the font slot "TestaAzienda". The picture is drawn by the caller.
    void StaIntest(Stampa& stampa, const LettoreCampo& campo) const;
    void StaModulo(Stampa& stampa, const LettoreCampo& campo) const;

    // The text one character per box, from the box at x (before the shift).
    void StaCampoSpazi(Stampa& stampa, const QString& psTesto, float lnPosIniX) const;
    // The amount with two decimals, a blank in place of the decimal comma,
    // right-aligned in the 30 mm box ending at x; nothing when it is zero.
    void StaImporto(Stampa& stampa, double pdVal, float lnPosIniX) const;
    // The text with three blanks after each character.
    static QString TestoSpaziato(const QString& psTesto);

    // The amount as the form prints it: "1234 50", "-3 00".
    static QString TestoImporto(double valore);

    // Reader of the current row of a keyed record set; the record set must
    // outlive the reader.
    static LettoreCampo DaRecordset(const GestRecordset& gestRs, const QString& chiave);
};
