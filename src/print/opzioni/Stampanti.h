#pragma once
// Printer choice of the print set-up: the system default printer, the
// program's current printer, the printer of a report's options, and printer
// names of terminal sessions. The system default printer is only read: a job
// prints on the printer chosen for it, never by making that the default.
#include "components/stampanti/ServizioStampanti.h"

#include <QList>
#include <QString>
#include <optional>

class OpzSta;

// --- Terminal-session printer names ---
// A printer of session n carries the pattern (which holds "%§") with n in
// place of "%§"; the settings store the name with the pattern itself.

// The pattern with every "%§" replaced by the session number.
QString SuffissoSessione(const QString& schema, long sessione);
// The stored name as session `sessione` knows it, and back. Unchanged for
// session 1 or lower, or a blank pattern.
QString NomeStampanteSessione(const QString& nome, const QString& schema, long sessione);
QString NomeStampanteGenerico(const QString& nome, const QString& schema, long sessione);
// True when the name carries the suffix of a session other than `sessione`
// (2 or above). The session number in the name must match exactly: in
// session 21 "_TS21" is this session's, and sessions have no upper bound.
bool StampanteAltraSessione(const QString& nome, long sessione, const QString& schema);

// The same, with the program's pattern and session (ggStampanti()).
QString NomeStampanteSessione(const QString& nome);
QString NomeStampanteGenerico(const QString& nome);
bool StampanteAltraSessione(const QString& nome, long sessione);

// --- System default and current printer ---

// The installed printer that is the system default. Not installed: the name
// goes to nomeNonDisp and nome is emptied. porta is the printer's port.
std::optional<StampanteInstallata> StampanteDefWin(QString& nome, QString& nomeNonDisp, QString& porta);
// Once the program has assigned its current printer, puts it back on the
// system default (filling the outputs as StampanteDefWin); before that does
// nothing. nome comes back empty when the default cannot be assigned.
void ImpostaPrinterDefWin(QString& nome, QString& nomeNonDisp, QString& porta);
// True once the program has assigned its current printer.
bool StampanteCambiata();

// The installed printers that do not belong to another terminal session.
QList<StampanteInstallata> ElencoStampantiWin();
// The port of an installed printer; empty when none has that name.
QString LeggiPortaStampanteWin(const QString& nome);

// A network printer on the NT platform ("OSPlatform" 2, name "\\server\...").
bool StampanteReteNT(const QString& nome);

// Warns that the default printer is not available and empties the key in the
// section of the terminal's settings.
void AzzeraStampanteNonDisp(const QString& chiave, const QString& nome, const QString& sezione);

// Can this printer be printed on? Empty or installed: true. Otherwise false,
// with the printer warning when `avvisa` (nomeInUso: the printer shown as the
// one in use, the current printer when empty). Errors are shown and give false.
bool ImpostaPrinterNome(const QString& nome, bool avvisa, const QString& nomeInUso = {});

// --- Printer of a report's options ---

// Puts a printer into the options; with `ripristina` gives up the printer
// `nome` for the one saved for the report, or the system default. True when
// the options now name a printer.
bool SelStampanteOpz(QString& nome, OpzSta& opz, bool ripristina);
// Makes the options' printer the program's current printer; called at the
// start of every job. An empty name keeps the current printer. False, with
// the printer warning when `avvisa`, when the printer is not installed.
bool ImpostaPrinterOpz(OpzSta& opz, bool avvisa);
