// Speed of the database layer against the SQLite C API on the same work:
// single-row INSERTs (autocommit and one transaction) and the keyed read of a
// joined record set. Both sides open their file with the same settings.
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "db_comune.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

using namespace bench;

// A database file with the tables, and a raw connection set up as the layer sets up its own.
struct File {
    QTemporaryDir dir;
    QString percorso = dir.filePath("bench.db");
    sqlite3* raw = nullptr;
    File() {
        sqlite3_open(percorso.toUtf8().constData(), &raw);
        sqlite3_busy_timeout(raw, 5000);
        sqlite3_exec(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
        sqlite3_exec(raw, kSchema, nullptr, nullptr, nullptr);
    }
    ~File() { sqlite3_close(raw); }
};

void Layer(benchmark::State& state, bool transazione) {
    File f;
    GestoreDb g;
    inserimentiLayer(state, g, g.ApriDatabase(f.percorso), transazione);
}

void Raw(benchmark::State& state, bool transazione) {
    File f;
    if (transazione) sqlite3_exec(f.raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    long i = 0;
    for (auto _ : state) {
        const QByteArray sql = inserisci(i++).toUtf8();
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(f.raw, sql.constData(), sql.size(), &st, nullptr);
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE || sqlite3_changes(f.raw) != 1) state.SkipWithError("righe inserite diverse da 1");
    }
    if (transazione) sqlite3_exec(f.raw, "COMMIT", nullptr, nullptr, nullptr);
    state.SetItemsProcessed(state.iterations());
}

void BM_Insert_Autocommit_Layer(benchmark::State& s) { Layer(s, false); }
void BM_Insert_Autocommit_Raw(benchmark::State& s) { Raw(s, false); }
void BM_Insert_Transazione_Layer(benchmark::State& s) { Layer(s, true); }
void BM_Insert_Transazione_Raw(benchmark::State& s) { Raw(s, true); }

void riempi(File& f) {
    sqlite3_exec(f.raw, "BEGIN", nullptr, nullptr, nullptr);
    for (long c = 0; c < kCausali; ++c) sqlite3_exec(f.raw, causale(c).toUtf8().constData(), nullptr, nullptr, nullptr);
    for (long i = 0; i < kRigheLettura; ++i)
        sqlite3_exec(f.raw, inserisci(i).toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(f.raw, "COMMIT", nullptr, nullptr, nullptr);
}

void BM_LetturaJoin_Layer(benchmark::State& state) {
    File f;
    riempi(f);
    GestoreDb g;
    letturaJoinLayer(state, g, g.ApriDatabase(f.percorso));
}

void BM_LetturaJoin_Raw(benchmark::State& state) {
    File f;
    riempi(f);
    double somma = 0;
    for (auto _ : state) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(f.raw, kJoin, -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            somma += sqlite3_column_double(st, 3);
            benchmark::DoNotOptimize(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 4))));
            benchmark::DoNotOptimize(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 5))));
        }
        sqlite3_finalize(st);
    }
    benchmark::DoNotOptimize(somma);
    state.SetItemsProcessed(state.iterations() * kRigheLettura);
}

}  // namespace

BENCHMARK(BM_Insert_Autocommit_Layer);
BENCHMARK(BM_Insert_Autocommit_Raw);
BENCHMARK(BM_Insert_Transazione_Layer);
BENCHMARK(BM_Insert_Transazione_Raw);
BENCHMARK(BM_LetturaJoin_Layer);
BENCHMARK(BM_LetturaJoin_Raw);
