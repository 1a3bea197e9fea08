#include "DatabasePg.h"

#include "components/db/ServerPg.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <atomic>
#include <libpq-fe.h>
#include <stdexcept>
#include <unistd.h>

namespace {

QString cartellaCluster() { return qEnvironmentVariable("COMIVA_PG_DIR"); }

// host and port of the cluster, as its own service file gives them.
QString valoreServizio(const QString& chiave) {
    QFile f(cartellaCluster() + QStringLiteral("/pg_service.conf"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    for (const QByteArray& riga : f.readAll().split('\n'))
        if (riga.startsWith(chiave.toUtf8() + '=')) return QString::fromUtf8(riga.mid(chiave.size() + 1)).trimmed();
    return {};
}

// The process's service file, where each database made here is a service.
QString fileServizi() {
    static QTemporaryDir dir;
    static const QString file = [] {
        const QString f = dir.filePath(QStringLiteral("pg_service.conf"));
        qputenv("PGSERVICEFILE", f.toUtf8());
        return f;
    }();
    return file;
}

void esegui(pg_conn* c, const QString& sql) {
    PGresult* r = PQexec(c, sql.toUtf8().constData());
    const ExecStatusType s = PQresultStatus(r);
    const QString errore = QString::fromUtf8(PQerrorMessage(c));
    PQclear(r);
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
        throw std::runtime_error((sql.left(200) + QStringLiteral(": ") + errore).toStdString());
}

pg_conn* connetti(const QString& database, const QString& utente, const QString& password) {
    const QByteArray host = valoreServizio(QStringLiteral("host")).toUtf8();
    const QByteArray porta = valoreServizio(QStringLiteral("port")).toUtf8();
    const QByteArray db = database.toUtf8(), u = utente.toUtf8(), p = password.toUtf8();
    const char* chiavi[] = {"host", "port", "dbname", "user", "password", "client_encoding", nullptr};
    const char* valori[] = {host.constData(), porta.constData(), db.constData(), u.constData(), p.constData(), "UTF8",
                            nullptr};
    pg_conn* c = PQconnectdbParams(chiavi, valori, 0);
    if (PQstatus(c) != CONNECTION_OK) {
        const std::string e = PQerrorMessage(c);
        PQfinish(c);
        throw std::runtime_error("cluster di prova non raggiungibile: " + e);
    }
    PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
    return c;
}

}  // namespace

bool DatabasePg::Disponibile() {
    return !cartellaCluster().isEmpty() && QFile::exists(cartellaCluster() + QStringLiteral("/pg_service.conf"));
}

pg_conn* ConnettiSuperutente(const QString& database) {
    return connetti(database.isEmpty() ? QStringLiteral("postgres") : database, QStringLiteral("postgres"), {});
}

DatabasePg::DatabasePg(const QString& schema) {
    static std::atomic<int> contatore{0};
    servizio_ = QStringLiteral("prova_%1_%2").arg(getpid()).arg(++contatore);
    pg_conn* su = ConnettiSuperutente();
    try {
        esegui(su, QStringLiteral("CREATE DATABASE %1 OWNER comiva").arg(servizio_));
    } catch (...) {
        PQfinish(su);
        throw;
    }
    PQfinish(su);
    {
        QFile f(fileServizi());
        if (!f.open(QIODevice::Append)) throw std::runtime_error("file dei servizi non scrivibile");
        QTextStream(&f) << '[' << servizio_ << "]\nhost=" << valoreServizio(QStringLiteral("host"))
                        << "\nport=" << valoreServizio(QStringLiteral("port")) << "\ndbname=" << servizio_
                        << "\nuser=comiva\n";
    }
    if (!schema.isEmpty()) {
        QFile f(CartellaSchema() + QLatin1Char('/') + schema);
        if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error(("schema mancante: " + schema).toStdString());
        Esegui(QStringLiteral("BEGIN;\n") + ServerPg::SchemaPerServer(QString::fromUtf8(f.readAll())) +
               QStringLiteral("\n;COMMIT;"));
    }
}

DatabasePg::~DatabasePg() {
    try {
        pg_conn* su = ConnettiSuperutente();
        PGresult* r = PQexec(su, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(servizio_).toUtf8().constData());
        PQclear(r);
        PQfinish(su);
    } catch (...) {
        // The cluster goes at the end of the run anyway.
    }
}

void DatabasePg::Esegui(const QString& sql) const {
    pg_conn* c = connetti(servizio_, QStringLiteral("comiva"), QStringLiteral("comiva"));
    try {
        esegui(c, sql);
    } catch (...) {
        PQfinish(c);
        throw;
    }
    PQfinish(c);
}
