#pragma once
// Damage done to a database file the way a disk or a crash does it, for the
// tests of the repair: bytes overwritten in one page (a pattern or garbage), a table's stored
// definition garbled. The file must not be open meanwhile.
#include <QList>
#include <QString>
#include <QStringList>

namespace DanniDb {

// The first column of a query's rows, as text; empty when it fails.
QStringList Valori(const QString& file, const QString& sql);
qint64 DimensionePagina(const QString& file);
// Pages of a table or index of the given kind ("leaf", "internal"), in file order.
QList<qint64> Pagine(const QString& file, const QString& nome, const QString& tipo);
// Writes `byte` over `quanti` bytes of page `pagina` (from 1), `da` bytes into it.
void Sovrascrivi(const QString& file, qint64 pagina, qint64 da, qint64 quanti, char byte);
// The same with bytes of no pattern, as a failing sector leaves them; the same
// `seme` gives the same bytes on every machine.
void SovrascriviCasuale(const QString& file, qint64 pagina, qint64 da, qint64 quanti, unsigned seme);
// Overwrites the first page of a table or index: SQLite still opens the file
// and reads the rest; the page fails only when a read reaches it.
void DanneggiaRadice(const QString& file, const QString& oggetto);
// Garbles the column list of a table's stored definition, so that it no longer parses.
void AlteraDefinizione(const QString& file, const QString& tabella);

}  // namespace DanniDb
