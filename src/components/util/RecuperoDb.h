#pragma once
// Recovery of a damaged SQLite database file. What SQLite can still read of
// it (its schema, each table's rows up to the first damaged page) goes into a
// new file, read from a copy so that the original is never written; the
// indexes are built anew from the rows. The new file must pass an integrity
// check and hold at least one table; only then is the damaged original kept
// beside it as "<name>-danneggiato-<yyyyMMdd-hhmmss>" (its write-ahead log or
// journal beside it under the same name) and the new file put in its place,
// with the original's journal mode. On any failure nothing is changed and the
// reason goes to the log (category comiva.db).
//
// The file must not be in use: a connection still open on it would go on
// writing to the damaged original.
#include <QString>

// 0 when the file was recovered and replaced; not 0 otherwise.
int recuperaDatabase(const QString& file);
