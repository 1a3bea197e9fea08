#include "Fixture.h"
#include "components/db/GestRecordset.h"

#include "components/db/GestoreDb.h"
#include "components/db/ServerPg.h"
#include "contesto/Contesto.h"
#include "DatabasePg.h"

#include <QFile>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <stdexcept>

namespace {

[[noreturn]] void fallito(sqlite3* db, const QString& cosa) {
    throw std::runtime_error((cosa + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db))).toStdString());
}


}  // namespace

FixtureDb::FixtureDb(Motore m) : gestDb(std::make_shared<GestoreDb>()), motore(m) {
    if (!dir_.isValid()) throw std::runtime_error("cartella temporanea non creata");
    if (motore == Motore::Server) {
        for (const char* schema : {"azienda.sql", "condiviso.sql"})
            server_.push_back(std::make_unique<DatabasePg>(QString::fromLatin1(schema)));
        fileAzienda = server_[0]->Servizio();
        fileCondiviso = server_[1]->Servizio();
        gestDb->ScriviProprieta(QStringLiteral("DbSqlPubUID"), 12, Valore(QStringLiteral("comiva")));
        gestDb->ScriviProprieta(QStringLiteral("DbSqlPubPWD"), 12, Valore(QStringLiteral("comiva")));
    } else {
        fileAzienda = dir_.filePath(QStringLiteral("azienda.db"));
        fileCondiviso = dir_.filePath(QStringLiteral("condiviso.db"));
        CreaDatabase(fileAzienda, QStringLiteral("azienda.sql"));
        CreaDatabase(fileCondiviso, QStringLiteral("condiviso.sql"));
    }
    idAzienda = gestDb->ApriDatabase(fileAzienda, 0, false, false);
    idCondiviso = gestDb->ApriDatabase(fileCondiviso, 0, false, false);
}

FixtureDb::~FixtureDb() {
    gestDb->ChiudiDatabase(idAzienda);
    gestDb->ChiudiDatabase(idCondiviso);
}

void FixtureDb::CreaDatabase(const QString& file, const QString& schema) {
    QFile f(CartellaSchema() + QLatin1Char('/') + schema);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error(("schema mancante: " + schema).toStdString());
    const QByteArray sql = f.readAll();
    sqlite3* db = nullptr;
    if (sqlite3_open(file.toUtf8().constData(), &db) != SQLITE_OK) fallito(db, file);
    // One transaction for the whole script: one write to the disk, not one per table.
    if (sqlite3_exec(db, ("BEGIN;" + sql + "\n;COMMIT;").constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        const auto e = std::runtime_error(schema.toStdString() + ": " + sqlite3_errmsg(db));
        sqlite3_close(db);
        throw e;
    }
    // The program's own databases are made with a write-ahead log.
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

QString FixtureDb::AltroDatabase(const QString& nome, const QString& schema) {
    if (motore == Motore::Server) {
        server_.push_back(std::make_unique<DatabasePg>(schema));
        return server_.back()->Servizio();
    }
    const QString file = dir_.filePath(nome);
    CreaDatabase(file, schema);
    return file;
}

std::shared_ptr<Contesto> FixtureDb::InstallaContesto() {
    auto c = std::make_shared<Contesto>();
    c->ggGestDb = gestDb;
    c->gsIdDbase = idAzienda;
    c->gsIdDbMenu = idCondiviso;
    ImpostaContesto(c);
    return c;
}

void FixtureDb::Inserisci(const QString& idDb, const QString& tabella,
                          const std::vector<std::pair<QString, Valore>>& colonne) {
    const auto d = gestDb->DatabaseDaId(idDb);
    QStringList nomi, segnaposto;
    for (const auto& [nome, valore] : colonne) {
        nomi << nome;
        segnaposto << (d->SuServer() ? QStringLiteral("$%1").arg(segnaposto.size() + 1) : QStringLiteral("?"));
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(tabella, nomi.join(QLatin1Char(',')), segnaposto.join(QLatin1Char(',')));
    if (d->SuServer()) {
        std::vector<ServerPg::ParametroPg> valori;
        for (const auto& c : colonne) valori.push_back(ServerPg::Parametro(c.second));
        ServerPg::EseguiParametri(d->Pg(), sql, valori, QStringLiteral("FixtureDb"));
        return;
    }
    sqlite3* db = d->Handle();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) fallito(db, sql);
    for (size_t i = 0; i < colonne.size(); ++i) LegaValore(st, static_cast<int>(i + 1), colonne[i].second);
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) fallito(db, sql);
}

void FixtureDb::Esegui(const QString& idDb, const QString& sql) {
    const auto d = gestDb->DatabaseDaId(idDb);
    if (d->SuServer()) {
        ServerPg::Esegui(d->Pg(), sql, QStringLiteral("FixtureDb"));
        return;
    }
    sqlite3* db = gestDb->DatabaseDaId(idDb)->Handle();
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) fallito(db, sql);
}
