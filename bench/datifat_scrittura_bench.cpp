// Speed of the invoice-data writer over a generated company of many
// documents, beside a floor measured in the same run: the same rows read by
// the SQLite C API and the same number of bytes written with one buffered
// write. Reports documents and bytes per second and the process's peak memory.
// The definitive run is measured on a file and on the server (the same company
// put there, on the cluster scripts/bench starts), in elapsed time, since the
// server works in its own process.
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"
#include "invoicedata/file/StDatiFat.h"
#include "server/CopiaSuServer.h"
#include "support/DatabasePg.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <cstdio>

namespace {

constexpr int kClienti = 5000;

double piccoMemoriaMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

QByteArray leggi(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A company database with `documenti` client invoices of one line each,
// spread over kClienti accounts.
struct Azienda {
    QTemporaryDir dir;
    QString file = dir.filePath("azienda.db");
    explicit Azienda(int documenti) {
        sqlite3* db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        sqlite3_exec(db, leggi(CartellaSchema() + QStringLiteral("/azienda.sql")).constData(), nullptr, nullptr, nullptr);
        sqlite3_exec(db, "BEGIN; INSERT INTO Stati VALUES ('ITA','Italia','IT','S');", nullptr, nullptr, nullptr);
        for (int i = 1; i <= kClienti; ++i)
            sqlite3_exec(db, QStringLiteral("INSERT INTO PianoConti (Gruppo,Mastro,Conto,Descrizione,RagSoc,StatoGiurid,"
                                            "PartIva,Indirizzo,CAP,Comune,Pr,Stato) VALUES ('04','10','%1','CLIENTE %1',"
                                            "'Cliente %1 S.r.l.','G','%2','Via Roma %1','20100','Milano','MI','ITA')")
                                 .arg(i, 6, 10, QLatin1Char('0'))
                                 .arg(10000000000LL + i)
                                 .toUtf8()
                                 .constData(),
                         nullptr, nullptr, nullptr);
        for (int n = 1; n <= documenti; ++n) {
            const QString conto = QStringLiteral("%1").arg((n % kClienti) + 1, 6, 10, QLatin1Char('0'));
            sqlite3_exec(db, QStringLiteral("INSERT INTO DatiFatTest (AnnoCom,NumCom,AnnoReg,NumReg,NumCanc,Tipo,Stato,"
                                            "NumInv,Progr,GruppoPartita,MastroPartita,ContoPartita,TipoDocumento,DataDoc,"
                                            "NumDoc,DataReg,ImportoTotale,BollaDoganale) VALUES (2017,2,2017,%1,0,'E','N',0,0,"
                                            "'04','10','%2','TD01','2017-03-05','%1/A','2017-03-06',122,'N');"
                                            "INSERT INTO DatiFatDett (AnnoCom,NumCom,AnnoReg,NumReg,NumCanc,Tipo,Stato,NumDet,"
                                            "Aliquota,Natura,ImponibileImporto,Imposta,EsigibilitaIva) VALUES (2017,2,2017,%1,0,"
                                            "'E','N',1,22,'',100,22,'I')")
                                 .arg(n)
                                 .arg(conto)
                                 .toUtf8()
                                 .constData(),
                         nullptr, nullptr, nullptr);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
};

qint64 byteCartella(const QString& cartella) {
    qint64 n = 0;
    for (const QFileInfo& f : QDir(cartella).entryInfoList(QDir::Files)) n += f.size();
    return n;
}

// tipoSta 0: a trial run; 1: a definitive one, which also marks every
// document sent (the marks are taken back, untimed, before each run).
void Scrivi(benchmark::State& state, int tipoSta, bool server = false) {
    const int documenti = static_cast<int>(state.range(0));
    if (server && !DatabasePg::Disponibile()) {
        state.SkipWithError("nessun cluster PostgreSQL (COMIVA_PG_DIR): avviare con scripts/bench");
        return;
    }
    Azienda az(documenti);
    auto contesto = std::make_shared<Contesto>();
    contesto->ggGestDb = std::make_shared<GestoreDb>();
    contesto->ggMenuClient = std::make_shared<MenuClientFinto>();
    contesto->ggDialoghi = std::make_shared<DialoghiScriptati>();
    contesto->gsIdDbase = contesto->ggGestDb->ApriDatabase(az.file);
    std::unique_ptr<DatabasePg> pg;
    if (server) {
        pg = std::make_unique<DatabasePg>();
        GestoreDb& g = *contesto->ggGestDb;
        g.ScriviProprieta("DbSqlPubUID", 12, Valore(QStringLiteral("comiva")));
        g.ScriviProprieta("DbSqlPubPWD", 12, Valore(QStringLiteral("comiva")));
        const QString idServer = g.ApriDatabase(pg->Servizio());
        CopiaSuServer(g, contesto->gsIdDbase, idServer, leggi(CartellaSchema() + QStringLiteral("/azienda.sql")));
        g.ChiudiDatabase(contesto->gsIdDbase);
        contesto->gsIdDbase = idServer;
    }
    ImpostaContesto(contesto);
    const QString cartella = az.dir.filePath("invio");
    QDir().mkpath(cartella);
    stDatiFat st;
    st.osIdDbase = contesto->gsIdDbase;
    st.oiAnno = 2017;
    st.oiNumCom = 2;
    st.oiNumInvio = 1;
    st.osCosaEstr = QStringLiteral("E");
    st.osDirInvio = cartella;
    st.osCodiceFiscaleDitta = st.osPartitaIvaDitta = QStringLiteral("01234567897");
    st.osDittaRagSoc = QStringLiteral("Ditta");
    st.osStatoGiurid = QStringLiteral("G");
    st.obMolteAnag = true;
    st.oiMaxClie = 1000;
    st.oiTipoSta = tipoSta;
    for (auto _ : state) {
        if (tipoSta == 1) {
            state.PauseTiming();
            contesto->ggGestDb->EseguiSql(contesto->gsIdDbase,
                                          QStringLiteral("UPDATE DatiFatTest SET NumInv = 0, Progr = 0, NomeFile = NULL"));
            state.ResumeTiming();
        }
        st.AvviaStampa();
        if (st.oiErrore != 0) state.SkipWithError("il run non è riuscito");
    }
    const qint64 byte = byteCartella(cartella);
    state.counters["doc/s"] = benchmark::Counter(documenti * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["byte/s"] = benchmark::Counter(byte * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["picco_MB"] = piccoMemoriaMb();
    contesto->ggGestDb->ChiudiDatabase(contesto->gsIdDbase);
    ImpostaContesto(nullptr);
}

void Scrittore(benchmark::State& state) { Scrivi(state, 0); }
void ScrittoreDefinitivo(benchmark::State& state) { Scrivi(state, 1); }
void ScrittoreDefinitivoServer(benchmark::State& state) { Scrivi(state, 1, true); }

// The floor: the same query stepped with the C API, every column read as
// text, and as many bytes as the writer wrote put out in one write.
void Pavimento(benchmark::State& state) {
    const int documenti = static_cast<int>(state.range(0));
    Azienda az(documenti);
    stDatiFat st;
    st.oiAnno = 2017;
    st.oiNumCom = 2;
    st.osCosaEstr = QStringLiteral("E");
    const QByteArray sql = st.PrepSql().toUtf8();
    // About the bytes the writer writes per document (measured on its file).
    const qint64 byte = static_cast<qint64>(documenti) * 440;
    const QString uscita = az.dir.filePath("pavimento.xml");
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open(az.file.toUtf8().constData(), &db);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), sql.size(), &s, nullptr);
        const int colonne = sqlite3_column_count(s);
        size_t letti = 0;
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int c = 0; c < colonne; ++c) letti += static_cast<size_t>(sqlite3_column_bytes(s, c)) + (sqlite3_column_text(s, c) ? 1 : 0);
        sqlite3_finalize(s);
        sqlite3_close(db);
        benchmark::DoNotOptimize(letti);
        QByteArray buffer(byte, 'x');
        FILE* f = std::fopen(uscita.toUtf8().constData(), "wb");
        std::fwrite(buffer.constData(), 1, buffer.size(), f);
        std::fclose(f);
    }
    state.counters["doc/s"] = benchmark::Counter(documenti * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["byte/s"] = benchmark::Counter(byte * state.iterations(), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(Pavimento)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Scrittore)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(ScrittoreDefinitivo)->Arg(5800)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(ScrittoreDefinitivoServer)->Arg(5800)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
