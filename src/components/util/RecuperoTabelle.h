#pragma once
// The table copy of the recovery (RecuperoDb.h): how a table whose stored
// definition no longer parses is made again, which values the program cannot
// read (the rows holding one are suspicious), and which rows of different
// tables make one registration or communication, kept or left out together.
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <sqlite3.h>

namespace RecuperoTabelle {

// A connection of the recovery's own, closed with its owner.
using Connessione = std::unique_ptr<sqlite3, decltype(&sqlite3_close_v2)>;
// A name quoted for a statement.
QString nomeSql(const QString& nome);

// What a column's declared type lets the program read from it.
enum class Genere { Libero, Testo, Data, Intero16, Intero32, Decimale };

Genere genereDi(const QString& dichiarato);

// Whether the program reads the value as a value of its column: a text column
// reads anything; a number column a number, or text that reads as a number the
// Italian way ("12,50", "-1.000,00") or blank, an integer column only within
// its bits; a date column a date of years 1 to 9999, as ISO text, as the
// program's other date forms, or as a day number. A blob is read only as text.
bool leggibile(sqlite3_value* valore, Genere genere);

// The definition a table of the damaged file is made with when its stored one
// does not parse.
struct Ripristino {
    enum class Fonte {
        Nessuna,    // the table cannot be made: left out, kept in the original
        Testo,      // from the columns still readable in the stored text
        Programma,  // from the program's definition: nothing could be read
    };
    Fonte fonte = Fonte::Nessuna;
    QString sql;        // the CREATE TABLE of the new file
    QString lettura;    // the one the damaged file is read with: `sql`, with spare
                        // columns after the last when its rows may hold values past it
    int colonne = 0;    // the columns of `sql`
    bool conforme = false;  // every row must fit `sql`, or the whole table is left out
};

// `conservata` is the stored text; `programma` the program's definition of a
// table of that name, empty when it has none.
Ripristino ripristina(const QString& tabella, const QString& conservata, const QString& programma);

// Tables whose rows belong together by the first columns of their keys: a
// registration's header and its lines, a communication's header and its lines.
struct Gruppo {
    QStringList tabelle;  // the header first
    QStringList chiave;   // the columns that name one registration or communication
};
const QList<Gruppo>& gruppi();
// The group a table is in (names matched without regard to case), or null.
const Gruppo* gruppoDi(const QString& tabella);

}  // namespace RecuperoTabelle
