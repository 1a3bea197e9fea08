#pragma once
// Damage as a disk gives it: the first page of one table or index of a
// database file overwritten. SQLite still opens the file and reads the rest;
// the page fails only when a read reaches it.
#include <QFile>
#include <QString>
#include <sqlite3.h>

inline void DanneggiaRadice(const QString& file, const QString& oggetto) {
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    sqlite3_stmt* st = nullptr;
    qint64 pagina = 0, dimensione = 0;
    sqlite3_prepare_v2(db, "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_master WHERE name = ?1",
                       -1, &st, nullptr);
    const QByteArray nome = oggetto.toUtf8();
    sqlite3_bind_text(st, 1, nome.constData(), nome.size(), SQLITE_STATIC);
    if (sqlite3_step(st) == SQLITE_ROW) {
        pagina = sqlite3_column_int64(st, 0);
        dimensione = sqlite3_column_int64(st, 1);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    QFile f(file);
    if (pagina > 1 && f.open(QIODevice::ReadWrite) && f.seek((pagina - 1) * dimensione))
        f.write(QByteArray(dimensione, '\x5a'));
}
