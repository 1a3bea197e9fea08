#pragma once
// The work both database benchmarks do, on a file and on a server.
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"

#include <QString>
#include <benchmark/benchmark.h>

namespace bench {

inline const char* const kSchema =
    "CREATE TABLE Causali (Causale VARCHAR(5) COLLATE NOCASE PRIMARY KEY, Descrizione TEXT, TipoCausale TEXT);"
    "CREATE TABLE Righe (Id INTEGER PRIMARY KEY, Causale VARCHAR(5) COLLATE NOCASE, Descrizione TEXT,"
    " Importo DOUBLE PRECISION);";

inline QString inserisci(long i) {
    return QStringLiteral("INSERT INTO Righe (Id, Causale, Descrizione, Importo) VALUES (%1, 'C%2', 'Riga d''esempio %1', %3)")
        .arg(i)
        .arg(i % 50)
        .arg(i * 1.25);
}

inline QString causale(long c) {
    return QStringLiteral("INSERT INTO Causali VALUES ('C%1', 'Causale %1', 'V')").arg(c);
}

constexpr long kCausali = 50;
constexpr long kRigheLettura = 1000;
inline const char* const kJoin =
    "SELECT Righe.*, Causali.Descrizione, Causali.TipoCausale FROM Righe"
    " INNER JOIN Causali ON Righe.Causale = Causali.Causale ORDER BY Righe.Id";

// Single-row inserts through the layer, each checked by its rows affected.
inline void inserimentiLayer(benchmark::State& state, GestoreDb& g, const QString& id, bool transazione) {
    if (transazione) g.IniziaTransazione(id);
    long i = 0;
    for (auto _ : state) {
        g.EseguiSql(id, inserisci(i++));
        if (g.DatabaseDaId(id)->RecordsAffected() != 1) state.SkipWithError("righe inserite diverse da 1");
    }
    if (transazione) g.ConfermaTransazione(id);
    state.SetItemsProcessed(state.iterations());
}

// The joined query read through a keyed record set, three columns by name a row.
inline void letturaJoinLayer(benchmark::State& state, GestoreDb& g, const QString& id) {
    GestRecordset rs;
    double somma = 0;
    try {
        for (auto _ : state) {
            const QString k = rs.ApriRecordset(g, id, "", kJoin, false, 4);
            for (; !rs.FineRec(k); rs.RecSuccessivo(k)) {
                somma += rs.LeggiCampo(k, "Righe.Importo").numero();
                benchmark::DoNotOptimize(rs.LeggiCampo(k, "Causali.Descrizione").testo());
                benchmark::DoNotOptimize(rs.LeggiCampo(k, "TipoCausale").testo());
            }
            rs.ChiudiRecordset(k);
        }
    } catch (const ErroreRun& e) {
        state.SkipWithError(e.descrizione().toStdString().c_str());
    }
    benchmark::DoNotOptimize(somma);
    state.SetItemsProcessed(state.iterations() * kRigheLettura);
}

}  // namespace bench
