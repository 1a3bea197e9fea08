#pragma once
// The services of the rest of the print set-up that a print job and its
// print-in-progress box call: printers, margins, e-mail, shared fonts, the
// preview size dialog and the clock. Each has a plain default so that a job
// runs before (and without) those pieces; the pieces install their own at
// start-up, and tests replace single entries.
#include "components/core/Valore.h"

#include <QDateTime>
#include <QString>
#include <functional>

class OpzSta;
class QWidget;
class Stampa;

struct ServiziLavoroStampa {
    // The program's current printer (name), empty when none.
    std::function<QString()> StampanteCorrente;
    // Makes the printer named in the options the current one; false when it cannot.
    std::function<bool(OpzSta& opzioni, int avviso)> ImpostaPrinterOpz;
    // Per-printer margin corrections.
    std::function<void(Stampa& st)> CorrMarginiStampante;
    // A menu value of the e-mail and PDF settings.
    std::function<Valore(const QString& nome)> LeggiParEmail;
    // Prepares the e-mail of the current print object.
    std::function<void(QString& testo)> PrepInvioEmail;
    // Asks the e-mail login again; true when the user confirmed.
    std::function<bool()> RichiestaLoginEmail;
    // Copies the suite's shared print fonts into the print object ("FFPers-§-" + number).
    std::function<void(Stampa& st)> CaricaFontPers;
    // The preview size dialog handed to every print object.
    std::function<QWidget*()> FormZoom;
    // Now, for the PDF name (tests fix it).
    std::function<QDateTime()> Adesso;
};
ServiziLavoroStampa& serviziLavoroStampa();
// Puts back the defaults (tests).
void RipristinaServiziLavoroStampa();
