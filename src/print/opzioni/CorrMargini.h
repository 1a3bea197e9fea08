#pragma once
// Corrections of the page margins that the settings keep per printer, in a
// section named after the printer: MrSin, MrDes, MrAlt and MrBas, each a
// difference added to the margin that the job's own settings gave.
#include <QString>
#include <optional>

class Stampa;

// The correction of one margin key for a printer (an empty name means the
// current printer); nothing when the section has no such key. A value that
// is not a number raises ErroreRun.
std::optional<double> CorrezioneMargine(const QString& nomeStampante, const QString& chiave);

// Adds the corrections of the job's printer to the job's margins. Called
// last by the page set-up, after the margins are set; errors reach it, and
// margins already corrected keep their new values.
void CorrMarginiStampante(Stampa& stampa);
