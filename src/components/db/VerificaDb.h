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

#include <QByteArray>

// The mark's file for a database file. Callers name the file by its real
// path (links resolved), so that every name of the file sees one mark.
QString fileSegnoVerifica(const QString& file);
// Marks the file, saying why; never raises (a folder that cannot be written
// leaves the file unmarked, and the failure goes to the log). Each mark
// written is unlike any other (time to the millisecond, process), and it
// appears whole or not at all.
void segnaDaVerificare(const QString& file, const QString& motivo);
bool daVerificare(const QString& file);
// The mark as it stands (its file and what it says, also when it says
// nothing or cannot be read); null when the file is not marked. Read before
// a whole check begins, and handed to `verificato` when it has passed.
QByteArray segnoVerifica(const QString& file);
// The whole check that began when the mark held `letto` passed: the mark
// goes, unless it was written again meanwhile (damage met during the check,
// by this or another process), which keeps it for the next opening.
void verificato(const QString& file, const QByteArray& letto);
// The file was made anew and checked whole (a recovery that holds it alone):
// the mark goes whatever it holds.
void togliSegnoVerifica(const QString& file);
// Marks the file when the engine's result code (extended codes understood)
// tells damage or a disk failure; any other code changes nothing.
void notaErroreMotore(const QString& file, int codiceEsteso, const QString& messaggio);
