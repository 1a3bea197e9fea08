#pragma once
// Database files to be checked whole at their next opening: those on which
// the work met a damaged page or a disk failure. Opening never reads a whole
// file (a company's may be a gigabyte); SQLite tells damage when a read meets
// it, and from then on the file carries a mark until a whole check passes.
// The mark is a small file beside the database ("<file>-verifica"), so that
// it outlives the program and every process that opens the file sees it; the
// next opening checks the file and, when the check fails, raises 3343, which
// the start-up answers with the offer to recover the file.
#include <QString>

// The mark's file for a database file.
QString fileSegnoVerifica(const QString& file);
// Marks the file, saying why; never raises (a folder that cannot be written
// leaves the file unmarked, and the failure goes to the log).
void segnaDaVerificare(const QString& file, const QString& motivo);
bool daVerificare(const QString& file);
// The whole check passed: the mark goes.
void verificato(const QString& file);
// Marks the file when the engine's result code (extended codes understood)
// tells damage or a disk failure; any other code changes nothing.
void notaErroreMotore(const QString& file, int codiceEsteso, const QString& messaggio);
