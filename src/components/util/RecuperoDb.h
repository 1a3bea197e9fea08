#pragma once
// Recovery of a damaged SQLite database file. Every row SQLite can still read
// of it goes into a new file, read from a copy so that the original is never
// written: past a damaged page a table is read on from the next readable rows;
// a table whose stored definition does not parse is made again from the
// columns still readable in that text, or from the program's own definition
// (built into the library) when none is, and its rows read from its pages;
// when that cannot be done faithfully it is left out and named;
// and the indexes, views and triggers are made after the data, each on its
// own, so that one that fails (rows that now share a unique key) is left out
// and named without undoing the copy. A row holding a value the program
// cannot read (garbage read as a row) is not copied: it is told by its key as
// suspicious, for the user to check in the kept original, and the rest of
// its registration with it (RecuperoTabelle.h), as is the rest of one that
// lost rows to an unreadable page, where an index still tells which.
// Only when the new file passes an integrity
// check and something was read is the damaged original kept beside it as
// "<name>-danneggiato-<yyyyMMdd-hhmmss>" (its write-ahead log or journal
// beside it under the same name) and the new file put in its place, with the
// original's journal mode. When nothing can be read, or anything else fails,
// nothing is changed and the reason goes to the log (category comiva.db).
//
// The recovery acts on the file itself, links resolved: a link stays a link
// to the recovered file. A file with a second hard name is left as it is.
// The recovery has the file to itself (UsoDb.h) from before it copies it
// until the new file stands in its place: a connection still open on it
// would go on writing into the original put aside. When a connection of this
// or another process has it open, or another recovery holds it, nothing is
// done. A recovered file has passed a whole check, so its mark goes
// (VerificaDb.h).
#include <QList>
#include <QString>
#include <QStringList>

// What became of one table of the damaged file.
struct TabellaRecuperata {
    QString nome;
    qint64 salvate = 0;
    qint64 perse = 0;          // rows the file held that were neither saved nor found suspicious
    bool perseContate = true;  // false: the file no longer says how many it held
    bool definizioneLeggibile = true;
    bool definizioneRipristinata = false;  // made anew: from the columns still readable in the stored text,
    bool definizioneDalTesto = false;      // when this is true, else (at least in part) from the program's
    qint64 sospette = 0;                   // rows read holding a value the program cannot read: not copied
    QStringList chiaviSospette;            // their keys, "Anno 2024, NumReg 7" (or "rowid 7")
    qint64 escluse = 0;                    // rows not copied with a suspicious or lost row of their registration
    QStringList chiaviEscluse;
    // Not copied at all, kept whole in the original (`perse` says how many
    // rows it holds): its rows do not fit the only definition it could be
    // given, or another table of its registrations could not be copied.
    bool messaDaParte = false;
    QString motivoDaParte;

    // Whether the box names the table rather than counting it among the whole ones.
    bool daSegnalare() const;
};

struct EsitoRecupero {
    QList<TabellaRecuperata> tabelle;  // in the order the file lists them
    QStringList nonRicreati;           // indexes, views and triggers left out, with the reason
    QString file;                      // the file recovered: its real path, links resolved
    QString originale;                 // where the damaged original was kept
    bool giaIntegro = false;           // another terminal had recovered it already: nothing done
    QString motivo;                    // why nothing was done, when the recovery failed

    bool conPerdite() const;
    // The text that tells the user what was saved: the tables that lost rows,
    // had suspicious ones or were restored, one by one; the rest in one line.
    QString resoconto(const QString& file) const;
};

// 0 when the file was recovered and replaced, or found whole already
// (`esito`, when given, says which and how); NumErroreDb::FileInUso (ErroriDb.h) when it is open elsewhere and
// nothing was done; another number otherwise.
int recuperaDatabase(const QString& file, EsitoRecupero* esito = nullptr);
