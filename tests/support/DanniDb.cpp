#include "DanniDb.h"

#include <QFile>
#include <random>
#include <sqlite3.h>
#include <stdexcept>

namespace DanniDb {

QStringList Valori(const QString& file, const QString& sql) {
    sqlite3* db = nullptr;
    QStringList v;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            v << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return v;
}

qint64 DimensionePagina(const QString& file) {
    return Valori(file, QStringLiteral("PRAGMA page_size")).value(0).toLongLong();
}

QList<qint64> Pagine(const QString& file, const QString& nome, const QString& tipo) {
    QList<qint64> pagine;
    for (const QString& p : Valori(file, QStringLiteral("SELECT pageno FROM dbstat WHERE name = '%1' AND pagetype = '%2' "
                                                        "ORDER BY pageno")
                                             .arg(nome, tipo)))
        pagine << p.toLongLong();
    return pagine;
}

void Sovrascrivi(const QString& file, qint64 pagina, qint64 da, qint64 quanti, char byte) {
    const qint64 dimensione = DimensionePagina(file);
    QFile f(file);
    if (pagina < 1 || !f.open(QIODevice::ReadWrite) || !f.seek((pagina - 1) * dimensione + da) ||
        f.write(QByteArray(quanti, byte)) != quanti)
        throw std::runtime_error("pagina non sovrascritta");
}

void SovrascriviCasuale(const QString& file, qint64 pagina, qint64 da, qint64 quanti, unsigned seme) {
    // mt19937's sequence is fixed by the standard, unlike the distributions'.
    std::mt19937 generatore(seme);
    QByteArray byte(quanti, '\0');
    for (char& b : byte) b = static_cast<char>(generatore() & 0xff);
    const qint64 dimensione = DimensionePagina(file);
    QFile f(file);
    if (pagina < 1 || !f.open(QIODevice::ReadWrite) || !f.seek((pagina - 1) * dimensione + da) || f.write(byte) != quanti)
        throw std::runtime_error("pagina non sovrascritta");
}

void DanneggiaRadice(const QString& file, const QString& oggetto) {
    const qint64 pagina =
        Valori(file, QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = '%1'").arg(oggetto)).value(0).toLongLong();
    Sovrascrivi(file, pagina, 0, DimensionePagina(file), '\x5a');
}

void AlteraDefinizione(const QString& file, const QString& tabella) {
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite)) throw std::runtime_error("file non aperto");
    QByteArray dati = f.readAll();
    const QByteArray inizio = "CREATE TABLE " + tabella.toUtf8() + " (";
    const qsizetype dove = dati.indexOf(inizio);
    if (dove < 0 || dati.indexOf(inizio, dove + 1) >= 0) throw std::runtime_error("definizione non trovata una volta sola");
    const QByteArray guasto = "#@!%&#@!%&#@";
    dati.replace(dove + inizio.size(), guasto.size(), guasto);
    f.seek(0);
    f.write(dati);
}

}  // namespace DanniDb
