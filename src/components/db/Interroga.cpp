#include "components/db/Interroga.h"

#include "components/db/AnalisiSql.h"
#include "components/db/GestoreDb.h"
#include "components/db/ServerPg.h"

#include <libpq-fe.h>
#include <optional>
#include <sqlite3.h>

namespace {

Valore valoreSqlite(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL: return Valore::null();
    case SQLITE_INTEGER: return Valore(static_cast<long long>(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT: return Valore(sqlite3_column_double(st, i));
    default:
        return Valore(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                        sqlite3_column_bytes(st, i)));
    }
}

RisultatoSql leggiSqlite(Database& d, const QString& sql, const QString& origine) {
    RisultatoSql r;
    sqlite3_stmt* st = nullptr;
    const QByteArray testo = sql.toUtf8();
    if (sqlite3_prepare_v2(d.Handle(), testo.constData(), static_cast<int>(testo.size()), &st, nullptr) != SQLITE_OK)
        d.Errore(sql, origine);
    const int n = sqlite3_column_count(st);
    for (int c = 0; c < n; ++c) {
        r.colonne << QString::fromUtf8(sqlite3_column_name(st, c));
        const QByteArray tipo = QByteArray(sqlite3_column_decltype(st, c)).toUpper();
        r.date << (tipo.contains("DATE") || tipo.contains("TIME"));
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        QList<Valore> riga;
        riga.reserve(n);
        for (int c = 0; c < n; ++c) riga << valoreSqlite(st, c);
        r.righe << riga;
    }
    // The failure as it stood, before the statement is let go.
    const std::optional<GuastoSqlite> guasto = GuastoSqlite::delPasso(d.Handle(), rc);
    sqlite3_finalize(st);
    if (guasto) d.Errore(*guasto, sql, origine);
    return r;
}

// The server folds the names of a result to lower case: a column whose item
// of the select list ends with its name ("IdAzienda", "t.Conto", "x AS Tot")
// is named as written there, as a file names it. A list with "*" is left alone.
void nomiDaElenco(const QString& sql, QStringList& colonne) {
    const auto voci = vociElencoSelezione(sql, analizzaSql(sql));
    if (voci.size() != static_cast<size_t>(colonne.size())) return;
    for (qsizetype i = 0; i < colonne.size(); ++i) {
        const auto& v = voci[static_cast<size_t>(i)];
        if (!v.empty() && v.back().ident && v.back().testo.compare(colonne[i], Qt::CaseInsensitive) == 0)
            colonne[i] = v.back().testo;
    }
}

RisultatoSql leggiServer(Database& d, const QString& sql, const QString& origine) {
    RisultatoSql r;
    const ServerPg::Risultato righe = ServerPg::EseguiParametri(d.Pg(), sql, {}, origine);
    const int n = righe.Colonne();
    for (int c = 0; c < n; ++c) r.colonne << QString::fromUtf8(PQfname(righe.Dati(), c));
    nomiDaElenco(sql, r.colonne);
    const std::vector<ServerPg::TipoPg> tipi = ServerPg::TipiDi(righe);
    for (ServerPg::TipoPg t : tipi) r.date << (t == ServerPg::TipoPg::Data);
    for (int i = 0; i < righe.Righe(); ++i) {
        QList<Valore> riga;
        riga.reserve(n);
        for (int c = 0; c < n; ++c) riga << ServerPg::ValoreDi(righe, i, c, tipi[static_cast<size_t>(c)], false);
        r.righe << riga;
    }
    return r;
}

}  // namespace

RisultatoSql LeggiTutto(GestoreDb& gestDb, const QString& idDb, const QString& sql, const QString& origine) {
    const auto d = gestDb.DatabaseDaId(idDb);
    return d->SuServer() ? leggiServer(*d, sql, origine) : leggiSqlite(*d, sql, origine);
}

QHash<QString, QString> TipiDichiarati(GestoreDb& gestDb, const QString& idDb, const QString& tabella) {
    QHash<QString, QString> tipi;
    const auto d = gestDb.DatabaseDaId(idDb);
    if (d->SuServer()) {
        const ServerPg::Risultato r = ServerPg::EseguiParametri(
            d->Pg(),
            QStringLiteral("SELECT lower(column_name), data_type FROM information_schema.columns "
                           "WHERE lower(table_name) = lower($1) AND table_schema = ANY (current_schemas(false))"),
            {tabella.toUtf8()}, kOrigineGestRecordset);
        for (int i = 0; i < r.Righe(); ++i)
            tipi.insert(QString::fromUtf8(r.Testo(i, 0)), QString::fromUtf8(r.Testo(i, 1)));
        return tipi;
    }
    QString nome = tabella;
    nome.replace(QLatin1Char('"'), QLatin1String("\"\""));
    const RisultatoSql r =
        leggiSqlite(*d, QStringLiteral("PRAGMA table_info(\"") + nome + QStringLiteral("\")"), kOrigineGestRecordset);
    for (const auto& riga : r.righe) tipi.insert(riga.value(1).testo().toLower(), riga.value(2).testo());
    return tipi;
}
