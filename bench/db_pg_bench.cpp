// Speed of the database layer on a PostgreSQL server against libpq on the same
// work: single-row INSERTs (autocommit and one transaction) and the keyed
// read of a joined record set. Both sides reach the same database through the
// same socket. The server works in its own process, so rates are of the
// elapsed time. Needs the cluster scripts/bench starts (COMIVA_PG_DIR).
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/db/ServerPg.h"
#include "db_comune.h"
#include "support/DatabasePg.h"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <memory>

namespace {

using namespace bench;

// A database of its own with the tables, and a raw connection as its owner.
struct Server {
    std::unique_ptr<DatabasePg> db;
    pg_conn* raw = nullptr;
    explicit Server(benchmark::State& state) {
        if (!DatabasePg::Disponibile()) {
            state.SkipWithError("nessun cluster PostgreSQL (COMIVA_PG_DIR): avviare con scripts/bench");
            return;
        }
        db = std::make_unique<DatabasePg>();
        db->Esegui(ServerPg::SchemaPerServer(QString::fromLatin1(kSchema)));
        const QByteArray servizio = db->Servizio().toUtf8();
        const char* chiavi[] = {"service", "password", nullptr};
        const char* valori[] = {servizio.constData(), "comiva", nullptr};
        raw = PQconnectdbParams(chiavi, valori, 0);
    }
    ~Server() { PQfinish(raw); }
    bool pronto() const { return raw && PQstatus(raw) == CONNECTION_OK; }
    // Runs a statement on the raw connection: the rows it changed, -1 on failure.
    long esegui(const QByteArray& sql) const {
        PGresult* r = PQexec(raw, sql.constData());
        const ExecStatusType s = PQresultStatus(r);
        const long n = s == PGRES_COMMAND_OK ? QByteArray(PQcmdTuples(r)).toLong() : -1;
        PQclear(r);
        return n;
    }
    QString apri(GestoreDb& g) const {
        g.ScriviProprieta("DbSqlPubUID", 12, Valore(QStringLiteral("comiva")));
        g.ScriviProprieta("DbSqlPubPWD", 12, Valore(QStringLiteral("comiva")));
        return g.ApriDatabase(db->Servizio());
    }
    void riempi() const {
        esegui("BEGIN");
        for (long c = 0; c < kCausali; ++c) esegui(causale(c).toUtf8());
        for (long i = 0; i < kRigheLettura; ++i) esegui(inserisci(i).toUtf8());
        esegui("COMMIT");
    }
};

void Layer(benchmark::State& state, bool transazione) {
    Server s(state);
    if (!s.pronto()) return;
    GestoreDb g;
    inserimentiLayer(state, g, s.apri(g), transazione);
}

void Raw(benchmark::State& state, bool transazione) {
    Server s(state);
    if (!s.pronto()) return;
    if (transazione) s.esegui("BEGIN");
    long i = 0;
    for (auto _ : state)
        if (s.esegui(inserisci(i++).toUtf8()) != 1) state.SkipWithError("righe inserite diverse da 1");
    if (transazione) s.esegui("COMMIT");
    state.SetItemsProcessed(state.iterations());
}

void BM_Pg_Insert_Autocommit_Layer(benchmark::State& s) { Layer(s, false); }
void BM_Pg_Insert_Autocommit_Raw(benchmark::State& s) { Raw(s, false); }
void BM_Pg_Insert_Transazione_Layer(benchmark::State& s) { Layer(s, true); }
void BM_Pg_Insert_Transazione_Raw(benchmark::State& s) { Raw(s, true); }

void BM_Pg_LetturaJoin_Layer(benchmark::State& state) {
    Server s(state);
    if (!s.pronto()) return;
    s.riempi();
    GestoreDb g;
    letturaJoinLayer(state, g, s.apri(g));
}

void BM_Pg_LetturaJoin_Raw(benchmark::State& state) {
    Server s(state);
    if (!s.pronto()) return;
    s.riempi();
    double somma = 0;
    for (auto _ : state) {
        PGresult* r = PQexec(s.raw, kJoin);
        const int righe = PQntuples(r);
        for (int i = 0; i < righe; ++i) {
            somma += QByteArray(PQgetvalue(r, i, 3)).toDouble();
            benchmark::DoNotOptimize(QString::fromUtf8(PQgetvalue(r, i, 4)));
            benchmark::DoNotOptimize(QString::fromUtf8(PQgetvalue(r, i, 5)));
        }
        PQclear(r);
    }
    benchmark::DoNotOptimize(somma);
    state.SetItemsProcessed(state.iterations() * kRigheLettura);
}

}  // namespace

BENCHMARK(BM_Pg_Insert_Autocommit_Layer)->UseRealTime();
BENCHMARK(BM_Pg_Insert_Autocommit_Raw)->UseRealTime();
BENCHMARK(BM_Pg_Insert_Transazione_Layer)->UseRealTime();
BENCHMARK(BM_Pg_Insert_Transazione_Raw)->UseRealTime();
BENCHMARK(BM_Pg_LetturaJoin_Layer)->UseRealTime();
BENCHMARK(BM_Pg_LetturaJoin_Raw)->UseRealTime();
