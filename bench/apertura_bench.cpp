// Opening a company database as the program opens it, on two companies ten
// times apart in size, and the program started from the menu on the
// invoice-data run form with the larger one. For comparison: the whole-file
// checks, the quick one that every opening used to run and the one that an
// opening runs now only on a file on which the work met damage.
// The companies are a year of bookkeeping written by the demo generator
// (tools/contabilita) into a folder of the temporary directory, once: the
// larger takes minutes to write, so later runs find it there.
#include "components/db/GestoreDb.h"
#include "components/db/VerificaDb.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contabilita/ContabilitaDemo.h"
#include "common/FormBase.h"
#include "contesto/Contesto.h"
#include "startup/Avvio.h"
#include "startup/Composizione.h"
#include "startup/Ospite.h"
#include "support/PercorsiTest.h"
#include "applicazione.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>

namespace {

constexpr int kPiccola = 50;   // MB
constexpr int kGrande = 500;   // MB
constexpr long kRegistrazioniCampione = 2000;

QString Cartella() {
    const QString d = QDir::tempPath() + QStringLiteral("/comiva-bench-apertura");
    QDir().mkpath(d);
    return d;
}

void Esegui(sqlite3* db, const QByteArray& sql) {
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

// A new database file made from a script of schema/, open.
sqlite3* DaSchema(const QString& file, const char* script) {
    QFile::remove(file);
    QFile schema(CartellaSchema() + QStringLiteral("/") + QLatin1String(script));
    if (!schema.open(QIODevice::ReadOnly)) throw std::runtime_error(std::string("schema mancante: ") + script);
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    Esegui(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    Esegui(db, "BEGIN;" + schema.readAll() + "\n;COMMIT;");
    return db;
}

// A company made from the schema with `registrazioni` registrations of one
// year; its size in bytes.
qint64 Scrivi(const QString& file, long registrazioni) {
    sqlite3* db = DaSchema(file, "azienda.sql");
    Esegui(db, "INSERT INTO Monete (Moneta, NumDec) VALUES ('Euro', 2)");
    Esegui(db, "INSERT INTO Ditta (CodFisc, PartIva, RagSoc, StatoGiurid, Moneta) "
               "VALUES ('01234567897', '01234567897', 'GRANDE SRL', 'G', 'Euro')");
    GeneraContabilita(db, {.anno = 2018, .registrazioni = registrazioni, .righeIvaMedie = 3.0,
                           .fittizie = registrazioni / 50, .seme = 7});
    sqlite3_close(db);
    return QFileInfo(file).size();
}

// The company of about `mb` megabytes, written on first use: a small sample
// tells the size of a registration.
QString Azienda(int mb) {
    const QString file = Cartella() + QStringLiteral("/azienda-%1MB.db").arg(mb);
    const QString pronto = file + QStringLiteral(".pronto");
    if (QFile::exists(pronto) && QFile::exists(file)) return file;
    const qint64 campione = Scrivi(Cartella() + QStringLiteral("/campione.db"), kRegistrazioniCampione);
    QFile::remove(Cartella() + QStringLiteral("/campione.db"));
    const double perRegistrazione = static_cast<double>(campione) / kRegistrazioniCampione;
    Scrivi(file, static_cast<long>(mb * 1e6 / perRegistrazione));
    QFile(pronto).open(QIODevice::WriteOnly);
    return file;
}

void Dimensione(benchmark::State& state, const QString& file) {
    state.counters["MB"] = static_cast<double>(QFileInfo(file).size()) / 1e6;
}

// The opening of the program: schema, settings, no whole-file read.
void BM_Apertura(benchmark::State& state) {
    const QString file = Azienda(static_cast<int>(state.range(0)));
    togliSegnoVerifica(file);
    GestoreDb g;
    for (auto _ : state) g.ChiudiDatabase(g.ApriDatabase(file));
    Dimensione(state, file);
}
BENCHMARK(BM_Apertura)->Arg(kPiccola)->Arg(kGrande)->Unit(benchmark::kMillisecond);

// The opening of a file on which the work met damage: checked whole first.
void BM_AperturaDaVerificare(benchmark::State& state) {
    const QString file = Azienda(static_cast<int>(state.range(0)));
    GestoreDb g;
    for (auto _ : state) {
        segnaDaVerificare(file, QStringLiteral("misura"));
        g.ChiudiDatabase(g.ApriDatabase(file));
    }
    togliSegnoVerifica(file);
    Dimensione(state, file);
}
BENCHMARK(BM_AperturaDaVerificare)->Arg(kPiccola)->Arg(kGrande)->Iterations(3)->Unit(benchmark::kMillisecond);

// What every opening used to add: the quick check of the whole file.
void BM_QuickCheck(benchmark::State& state) {
    const QString file = Azienda(static_cast<int>(state.range(0)));
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) Esegui(db, "PRAGMA quick_check(1)");
    sqlite3_close(db);
    Dimensione(state, file);
}
BENCHMARK(BM_QuickCheck)->Arg(kPiccola)->Arg(kGrande)->Iterations(3)->Unit(benchmark::kMillisecond);

void ScriviIni(const QString& file, const QString& testo) {
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("file ini non scritto");
    f.write(testo.toUtf8());
}

// The shared database and the settings that name the larger company, as
// the menu gives them to the program it starts.
struct Mondo {
    QString azienda = Azienda(kGrande);
    QString condiviso = Cartella() + QStringLiteral("/comune.db");
    QString ini = Cartella() + QStringLiteral("/qorwin.ini");
    QString iniDb = Cartella() + QStringLiteral("/qorwindb.ini");
    Mondo() {
        sqlite3* db = DaSchema(condiviso, "condiviso.sql");
        Esegui(db, "INSERT INTO Aziende (IdAzienda, Azienda, Descrizione, File) VALUES ('1', '01', 'Grande', '" +
                       azienda.toUtf8() + "')");
        sqlite3_close(db);
        ScriviIni(ini, "[Parametri Generali]\nOrdIniDBase=" + iniDb + "\n[Menu]\nNomeDB=" + condiviso + "\n");
        ScriviIni(iniDb, "[Base]\nDirDatiFat=" + Cartella() + "\n");
    }
};

// The menu's command that starts the program on the run form, to the form
// on screen: both databases opened, the company's parameters, the form's
// load (its declarant, the lock of the shared database).
void BM_FormDatiFatGrande(benchmark::State& state) {
    bench::App();
    static Mondo m;
    for (auto _ : state) {
        auto c = std::make_shared<Contesto>();
        ImpostaContesto(c);
        auto dialoghi = std::make_shared<DialoghiScriptati>();
        c->ggDialoghi = dialoghi;
        auto ospite = std::make_shared<Ospite>();
        c->ggOspite = ospite;
        ospite->AlTermine = [] {};
        InstallaProgramma(*ospite);
        auto menu = std::make_shared<MenuClientFinto>();
        menu->fileImpostazioni = m.ini;
        menu->ImpostaValore(QStringLiteral("NomeDBAzie"), m.azienda);
        menu->ImpostaValore(QStringLiteral("idazienda"), QStringLiteral("1"));
        menu->ImpostaValore(QStringLiteral("DescAzie"), QStringLiteral("Grande"));
        menu->dataLavoro = QDate(2019, 3, 1);
        const bool avviato = InizProgramma(QStringLiteral("/M MENU1 /P PRG SEC1 /F frmDatiFatXml"), [menu] { return menu; });
        QWidget* form = ospite->Form(QStringLiteral("frmDatiFatXml"));
        if (!avviato || !form || !form->isVisible()) {
            state.SkipWithError("la form non è sullo schermo");
            break;
        }
        state.PauseTiming();
        delete form;
        ospite->RilasciaOggetti();
        ImpostaContesto(nullptr);
        state.ResumeTiming();
    }
    Dimensione(state, m.azienda);
}
BENCHMARK(BM_FormDatiFatGrande)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
