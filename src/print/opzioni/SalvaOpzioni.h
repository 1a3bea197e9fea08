#pragma once
// The print options that the options dialog stores as defaults: 25 rows, each
// with its caption, its settings key, the text written and the text shown,
// in the order they are written. The keys and value forms are the ones
// IniOpzSta reads back, so that what is saved comes back the same. Saving or
// deleting never changes the options object.
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class OpzSta;

struct RigaSalvataggio {
    int riga = 0;          // the row of the panel, 0 to 24
    QString didascalia;
    QString chiave;
    QString valore;        // written in save mode
    QString mostrato;      // shown beside the caption; rows 22 and 23 show none
    bool rimuovi = false;  // the key is removed even in save mode (empty value)
};

// The rows for the options. `fattoreVideo` is the preview scale of the
// screen (0: none); `fileDialogo` the file name the dialog's save dialog
// holds, whose folder is shown as the default folder.
QList<RigaSalvataggio> RigheSalvataggio(const OpzSta& opz, double fattoreVideo, const QString& fileDialogo);

// Writes (or, with `cancella`, removes) the keys of the rows in `spuntate`
// in `sezione` of `file`. With `cancella`, `interaSezione` and every row
// ticked, the whole section goes. Returns the keys that could not be written
// or removed, in order; empty when all went.
QStringList ApplicaSalvataggio(const QList<RigaSalvataggio>& righe, const QSet<int>& spuntate, bool cancella,
                               bool interaSezione, const QString& sezione, const QString& file);
