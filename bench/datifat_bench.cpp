// Speed of the invoice-data extraction over one year of a large company
// written by the demo generator (tools/contabilita), against a floor measured
// in the same process: the same rows of the same selection read, and the same
// rows inserted in one transaction, through the SQLite C API with prepared
// statements. Each run starts from empty communication tables; peak memory is
// the resident high-water mark of the run alone.
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contabilita/ContabilitaDemo.h"
#include "invoicedata/estrazione/EstrazioneDatiFat.h"
#include "invoicedata/estrazione/SelezioneDatiFat.h"
#include "contesto/Contesto.h"
#include "support/PercorsiTest.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

constexpr long kRegistrazioni = 100000;
constexpr double kRigheIva = 3.0;
constexpr long kFittizie = 2000;

// The large company, made once per process.
struct Azienda {
    QTemporaryDir dir;
    QString file = dir.filePath("grande.db");
    ConteggiContabilita conteggi;
    Azienda() {
        QFile schema(CartellaSchema() + QStringLiteral("/azienda.sql"));
        if (!schema.open(QIODevice::ReadOnly)) throw std::runtime_error("schema/azienda.sql mancante");
        sqlite3* db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
        if (sqlite3_exec(db, ("BEGIN;" + schema.readAll() + "\n;COMMIT;").constData(), nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        conteggi = GeneraContabilita(db, {.anno = 2018, .registrazioni = kRegistrazioni, .righeIvaMedie = kRigheIva,
                                          .fittizie = kFittizie, .seme = 42});
        sqlite3_exec(db, "ANALYZE", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
};

Azienda& Grande() {
    static Azienda a;
    return a;
}

// The whole year as one communication, both kinds, both passes.
OpzioniDatiFat Anno() {
    return {.anno = "2018", .numCom = "1", .dataDa = "01/01/2018", .dataA = "31/12/2018"};
}

// Peak resident memory since the last reset, in MiB.
void AzzeraPicco() {
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
}
double PiccoMiB() {
    std::ifstream f("/proc/self/status");
    std::string riga;
    while (std::getline(f, riga))
        if (riga.rfind("VmHWM:", 0) == 0) return std::stod(riga.substr(6)) / 1024.0;
    return 0;
}

void Svuota(sqlite3* db) { sqlite3_exec(db, "DELETE FROM DatiFatDett; DELETE FROM DatiFatTest;", nullptr, nullptr, nullptr); }

long Conta(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    const long n = sqlite3_step(st) == SQLITE_ROW ? static_cast<long>(sqlite3_column_int64(st, 0)) : -1;
    sqlite3_finalize(st);
    return n;
}

void Riporta(benchmark::State& state, sqlite3* db, double picco) {
    const long testate = Conta(db, "SELECT COUNT(*) FROM DatiFatTest");
    const long righe = Conta(db, "SELECT COUNT(*) FROM DatiFatDett");
    state.counters["registrazioni/s"] = benchmark::Counter(static_cast<double>(testate) * state.iterations(),
                                                           benchmark::Counter::kIsRate);
    state.counters["testate"] = static_cast<double>(testate);
    state.counters["righe"] = static_cast<double>(righe);
    state.counters["righe_clienti"] = static_cast<double>(Conta(db, "SELECT COUNT(*) FROM DatiFatDett WHERE Tipo = 'E'"));
    state.counters["picco_MiB"] = picco;
    state.counters["registrazioni_azienda"] = static_cast<double>(Grande().conteggi.registrazioni);
    state.counters["righe_iva_azienda"] = static_cast<double>(Grande().conteggi.righeIva);
}

void BM_EstrazioneDatiFat(benchmark::State& state) {
    Azienda& a = Grande();
    auto c = std::make_shared<Contesto>();
    ImpostaContesto(c);
    c->ggGestDb = std::make_shared<GestoreDb>();
    c->gsIdDbase = c->ggGestDb->ApriDatabase(a.file);
    c->ggDialoghi = std::make_shared<DialoghiScriptati>();
    c->ggMenuClient = std::make_shared<MenuClientFinto>();
    sqlite3* db = c->ggGestDb->DatabaseDaId(c->gsIdDbase)->Handle();
    double picco = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Svuota(db);
        AzzeraPicco();
        state.ResumeTiming();
        EstrazioneDatiFat e;
        e.opzioni = Anno();
        e.usaFittizio = true;
        if (e.Esegui().stato != EsitoDatiFat::Completata) state.SkipWithError("estrazione non completata");
        picco = std::max(picco, PiccoMiB());
    }
    Riporta(state, db, picco);
    ImpostaContesto(nullptr);
}

// The floor: the selection's rows read column by column, one header per
// registration and one line per VAT line inserted with prepared statements.
void BM_PavimentoDatiFat(benchmark::State& state) {
    Azienda& a = Grande();
    auto c = std::make_shared<Contesto>();  // FormatoSql of the SQL text needs the utility object only
    ImpostaContesto(c);
    sqlite3* db = nullptr;
    sqlite3_open(a.file.toUtf8().constData(), &db);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
    sqlite3_stmt* testata = nullptr;
    sqlite3_stmt* dettaglio = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO DatiFatTest (AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato, NumInv, Progr,"
                       " GruppoPartita, MastroPartita, ContoPartita, TipoDocumento, DataDoc, NumDoc, DataReg,"
                       " ImportoTotale, NomeFile, BollaDoganale) VALUES (2018, 1, ?1, ?2, 0, ?3, 'N', 0, 0, ?4, ?5, ?6,"
                       " ?7, ?8, ?9, ?10, ?11, NULL, 'N')",
                       -1, &testata, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO DatiFatDett (AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato, NumDet,"
                       " Aliquota, Natura, ImponibileImporto, Imposta, EsigibilitaIva) VALUES (2018, 1, ?1, ?2, 0, ?3,"
                       " 'N', ?4, ?5, ?6, ?7, ?8, 'I')",
                       -1, &dettaglio, nullptr);
    const OpzioniDatiFat o = Anno();
    // The haulage registers of the year, as the extraction reads them.
    QString prefTrasp;
    {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT Pref FROM LibriIva WHERE Anno = 2018 AND TipoReg = 'V' AND Trasportatori = 'S'",
                           -1, &st, nullptr);
        if (sqlite3_step(st) == SQLITE_ROW) prefTrasp = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    double picco = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Svuota(db);
        AzzeraPicco();
        state.ResumeTiming();
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (const char* tipo : {"E", "R"})
            for (const TabellePassata& t : {PassataReale(), PassataFittizia()}) {
                const QByteArray sql = PrepSql(o, {tipo, t, false, prefTrasp}).toUtf8();
                sqlite3_stmt* st = nullptr;
                if (sqlite3_prepare_v2(db, sql.constData(), sql.size(), &st, nullptr) != SQLITE_OK) {
                    state.SkipWithError(sqlite3_errmsg(db));
                    break;
                }
                // Columns by position, found once per pass.
                const auto indice = [&](const char* tabella, const char* colonna) {
                    for (int i = 0; i < sqlite3_column_count(st); ++i) {
                        const char* tab = sqlite3_column_table_name(st, i);
                        const char* ori = sqlite3_column_origin_name(st, i);
                        if (tab && ori && !strcasecmp(ori, colonna) && !strcasecmp(tab, tabella)) return i;
                    }
                    return -1;
                };
                const QByteArray tes = t.tes.toUtf8(), dett = t.dett.toUtf8(), iva = t.iva.toUtf8();
                const int cAnno = indice(tes, "Anno"), cNum = indice(tes, "NumReg"), cDataDoc = indice(tes, "DataDoc"),
                          cNumDoc = indice(tes, "NumDoc"), cDataReg = indice(tes, "DataReg"),
                          cImporto = indice(tes, "Importo"), cTipoCaus = indice("Causali", "TipoCausale"),
                          cDareAvere = indice(dett, "DareAvere"), cImpDett = indice(dett, "Importo"),
                          cG = indice(iva, "GruppoPartita"), cM = indice(iva, "MastroPartita"),
                          cC = indice(iva, "ContoPartita"), cImponibile = indice(iva, "Imponibile"),
                          cImposta = indice(iva, "Imposta"), cAliquota = indice("Tabiva", "Aliquota"),
                          cNatura = indice("Tabiva", "FENatura"), cEsiste = sqlite3_column_count(st) - 1;
                long long annoUlt = 0, numUlt = 0;
                int numDet = 0;
                while (sqlite3_step(st) == SQLITE_ROW) {
                    const long long anno = sqlite3_column_int64(st, cAnno);
                    const long long num = sqlite3_column_int64(st, cNum);
                    if (anno != annoUlt || num != numUlt) {
                        annoUlt = anno;
                        numUlt = num;
                        numDet = 0;
                        if (sqlite3_column_type(st, cEsiste) != SQLITE_NULL) continue;
                        benchmark::DoNotOptimize(sqlite3_column_text(st, cTipoCaus));
                        benchmark::DoNotOptimize(sqlite3_column_text(st, cDareAvere));
                        benchmark::DoNotOptimize(sqlite3_column_double(st, cImpDett));
                        sqlite3_bind_int64(testata, 1, anno);
                        sqlite3_bind_int64(testata, 2, num + t.offset);
                        sqlite3_bind_text(testata, 3, tipo, -1, SQLITE_STATIC);
                        const int conti[3] = {cG, cM, cC};
                        for (int k = 0; k < 3; ++k) sqlite3_bind_value(testata, 4 + k, sqlite3_column_value(st, conti[k]));
                        sqlite3_bind_text(testata, 7, "TD01", -1, SQLITE_STATIC);
                        sqlite3_bind_value(testata, 8, sqlite3_column_value(st, cDataDoc));
                        sqlite3_bind_value(testata, 9, sqlite3_column_value(st, cNumDoc));
                        sqlite3_bind_value(testata, 10, sqlite3_column_value(st, cDataReg));
                        sqlite3_bind_double(testata, 11, sqlite3_column_double(st, cImporto));
                        if (sqlite3_step(testata) != SQLITE_DONE || sqlite3_changes(db) != 1)
                            state.SkipWithError("testata non inserita");
                        sqlite3_reset(testata);
                    }
                    sqlite3_bind_int64(dettaglio, 1, anno);
                    sqlite3_bind_int64(dettaglio, 2, num + t.offset);
                    sqlite3_bind_text(dettaglio, 3, tipo, -1, SQLITE_STATIC);
                    sqlite3_bind_int(dettaglio, 4, ++numDet);
                    sqlite3_bind_double(dettaglio, 5, sqlite3_column_double(st, cAliquota));
                    sqlite3_bind_value(dettaglio, 6, sqlite3_column_value(st, cNatura));
                    sqlite3_bind_double(dettaglio, 7, sqlite3_column_double(st, cImponibile));
                    sqlite3_bind_double(dettaglio, 8, sqlite3_column_double(st, cImposta));
                    if (sqlite3_step(dettaglio) != SQLITE_DONE || sqlite3_changes(db) != 1)
                        state.SkipWithError("dettaglio non inserito");
                    sqlite3_reset(dettaglio);
                }
                sqlite3_finalize(st);
            }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        picco = std::max(picco, PiccoMiB());
    }
    Riporta(state, db, picco);
    sqlite3_finalize(testata);
    sqlite3_finalize(dettaglio);
    sqlite3_close(db);
    ImpostaContesto(nullptr);
}

}  // namespace

BENCHMARK(BM_PavimentoDatiFat)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_EstrazioneDatiFat)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
