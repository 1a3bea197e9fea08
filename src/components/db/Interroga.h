#pragma once
// Every row of a query read at once, as values, on a database file or on a
// server: for the lists and grids that show a query's result and write
// nothing back through it (the record sets do that).
#include "components/core/Valore.h"

#include <QHash>
#include <QList>
#include <QStringList>

class GestoreDb;

struct RisultatoSql {
    QStringList colonne;  // as the engine names them
    QList<QList<Valore>> righe;
    QList<bool> date;     // a column of dates (declared DATE or TIME), read as text
};

// Numbers as numbers, Null as Null, anything else (dates too) as the text the
// engine gives. Failures are the layer's numbered errors, raised with the
// origin given.
RisultatoSql LeggiTutto(GestoreDb& gestDb, const QString& idDb, const QString& sql, const QString& origine);

// The declared type of each column of a table, by lower-case column name;
// empty when there is no such table.
QHash<QString, QString> TipiDichiarati(GestoreDb& gestDb, const QString& idDb, const QString& tabella);
