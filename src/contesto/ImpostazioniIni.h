#pragma once
// The program's configuration routines: the suite's settings files (main file
// ctx().gsFileIni, database file ctx().gsFileIniDb), the menu's personal
// parameters and the menu's named values.
#include "components/core/Valore.h"

#include <QString>
#include <cstdint>
#include <optional>

// Reads a key, main file first, then the database file. valore receives the
// value or the default; the result is the count as text, "0" when the key
// gives no value.
QString LeggiValIni(const QString& sezione, const QString& chiave, const QString& predefinito,
                    QString& valore);

// Writes, deletes a key (flagChiave) or deletes a whole section (flagSezione).
// Without `file` the key is written where it already has a value (main file
// first); a key in neither file is created when `crea`, in the database file
// for sceltaFile >= 2 (when there is one), else in the main file. False when
// nothing was written; with `messaggio` the reason is shown.
bool ScriviValIni(const QString& sezione, const QString& chiave, const QString& valore,
                  bool messaggio = false, bool crea = true, int16_t sceltaFile = 0,
                  int16_t flagSezione = 0, int16_t flagChiave = 0,
                  const std::optional<QString>& file = std::nullopt);

// A personal parameter of the menu. When the menu does not know it: the
// fall-back parameter, when both fall-back names are given; then the default.
// The default is required, so the marker never passes for a value;
// rispostaGrezza receives what the menu answered (the marker included).
Valore LeggiParPers(const QString& sezione, const QString& chiave, const Valore& predefinito,
                    Valore* rispostaGrezza = nullptr,
                    const std::optional<QString>& sezioneRiserva = std::nullopt,
                    const std::optional<QString>& chiaveRiserva = std::nullopt);

// The menu's named values; a failure of the menu reaches the caller.
Valore LeggiValMenu(const QString& nome);
void ScriviValMenu(const QString& nome, const Valore& valore);
