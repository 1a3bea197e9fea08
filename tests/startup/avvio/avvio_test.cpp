#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/db/VerificaDb.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "startup/Avvio.h"
#include "contesto/Contesto.h"
#include "common/FormBase.h"
#include "startup/Composizione.h"
#include "startup/Ospite.h"
#include "support/AppTest.h"
#include "support/DanniDb.h"
#include "support/Fixture.h"
#include "support/GestoreDbContato.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWidget>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void ScriviFile(const QString& percorso, const QString& testo) {
    QFile f(percorso);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(testo.toUtf8());
}

QByteArray Contenuto(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString UnValore(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    QString v;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return v;
}

// A database built from a schema, with rows, whose index page is then
// overwritten: SQLite still opens it and reads the rows, its quick check
// fails.
QString DbDanneggiato(const QString& file, const char* schema, const char* righe, const char* indice) {
    FixtureDb::CreaDatabase(file, schema);
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    sqlite3_exec(db, righe, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (*indice) DanniDb::DanneggiaRadice(file, QString::fromLatin1(indice));
    return file;
}

QString QuickCheck(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    const QString esito = UnValore(db, "PRAGMA quick_check");
    sqlite3_close(db);
    return esito;
}

// Another terminal with a database file open through the layer: a process
// of its own, or a second connection of this very process. It holds the file
// open until told to run one statement, then closes it.
class AltraConnessione {
public:
    AltraConnessione(const QString& file, bool processo) {
        if (!processo) {
            try {
                id_ = gestDb_.ApriDatabase(file);
                aperta_ = true;
            } catch (const ErroreRun&) {
                // aperta_ stays false and the test says so
            }
            return;
        }
        if (::pipe(ordini_) != 0 || ::pipe(risposte_) != 0) return;
        figlio_ = ::fork();
        if (figlio_ == 0) {
            ::close(ordini_[1]);
            ::close(risposte_[0]);
            char esito = 'n';
            try {
                GestoreDb g;
                const QString id = g.ApriDatabase(file);
                (void)!::write(risposte_[1], "p", 1);
                QByteArray sql;
                char c;
                while (::read(ordini_[0], &c, 1) == 1) sql += c;
                g.EseguiSql(id, QString::fromUtf8(sql));
                g.ChiudiDatabase(id);
                esito = 's';
            } catch (...) {
                // told to the parent by the answer 'n'
            }
            (void)!::write(risposte_[1], &esito, 1);
            ::_exit(0);
        }
        ::close(ordini_[0]);
        ::close(risposte_[1]);
        char c = 0;
        aperta_ = figlio_ > 0 && ::read(risposte_[0], &c, 1) == 1 && c == 'p';
    }
    ~AltraConnessione() {
        if (figlio_ <= 0) return;
        ::close(ordini_[1]);
        ::close(risposte_[0]);
        ::waitpid(figlio_, nullptr, 0);
    }
    bool Aperta() const { return aperta_; }
    // Runs the statement on the connection and closes it; true when it went through.
    bool Scrivi(const QString& sql) {
        if (figlio_ <= 0) {
            try {
                gestDb_.EseguiSql(id_, sql);
                gestDb_.ChiudiDatabase(id_);
                return true;
            } catch (const ErroreRun&) {
                return false;
            }
        }
        const QByteArray testo = sql.toUtf8();
        const bool scritto = ::write(ordini_[1], testo.constData(), testo.size()) == testo.size();
        ::close(ordini_[1]);
        char c = 0;
        const bool riuscito = scritto && ::read(risposte_[0], &c, 1) == 1 && c == 's';
        ::close(risposte_[0]);
        ::waitpid(figlio_, nullptr, 0);
        figlio_ = 0;
        return riuscito;
    }

private:
    GestoreDb gestDb_;
    QString id_;
    bool aperta_ = false;
    pid_t figlio_ = 0;
    int ordini_[2] = {-1, -1};
    int risposte_[2] = {-1, -1};
};

class AvvioTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppTest();
        c = fx.InstallaContesto();
        c->ggGestDb.reset();  // the start-up opens the databases itself
        menu = std::make_shared<MenuClientFinto>();
        dialoghi = std::make_shared<DialoghiScriptati>();
        c->ggDialoghi = dialoghi;
        c->ggOspite = std::make_shared<Ospite>();
        static_cast<Ospite*>(c->ggOspite.get())->AlTermine = [this] { finito = true; };
        ini = fx.Cartella() + "/qorwin.ini";
        iniDb = fx.Cartella() + "/qorwindb.ini";
        ScriviFile(ini, "[Parametri Generali]\nOrdIniDBase=" + iniDb + "\n[Menu]\nNomeDB=" + fx.fileCondiviso + "\n");
        ScriviFile(iniDb, "[Base]\nDirImmagini=/img\n");
        menu->fileImpostazioni = ini;
        menu->ImpostaValore("NomeDBAzie", fx.fileAzienda);
        menu->ImpostaValore("DescAzie", "Rossi & Figli S.r.l.");
        menu->terminale = "ABC";
    }
    void TearDown() override { ImpostaContesto(nullptr); }

    bool Avvia(const QString& riga = "/M MENU1 /P PRG SEC1 /F frmDatiFatXml") {
        return InizProgramma(riga, [this] { return menu; });
    }
    void Chiudi() {
        for (int i = 0; i < 3 && static_cast<Ospite*>(c->ggOspite.get())->frmPrincipale()->timChiudi.isActive(); ++i)
            static_cast<Ospite*>(c->ggOspite.get())->timChiudi_Timer();
    }

    FixtureDb fx;
    std::shared_ptr<Contesto> c;
    std::shared_ptr<MenuClientFinto> menu;
    std::shared_ptr<DialoghiScriptati> dialoghi;
    QString ini, iniDb;
    bool finito = false;
};

TEST_F(AvvioTest, StartsRegistersOpensBothDatabasesAndTheRequestedForm) {
    ASSERT_TRUE(Avvia()) << dialoghi->testi().join("\n").toStdString();
    EXPECT_TRUE(menu->chiamate.contains("RegistraProgramma|MENU1|PRG|SEC1"));
    EXPECT_EQ(c->gsChiavePrg, "PRG");
    EXPECT_EQ(c->gsParamAgg, "SEC1");
    EXPECT_EQ(c->gsFileIniDb, iniDb);
    EXPECT_FALSE(c->gsIdDbase.isEmpty());
    EXPECT_FALSE(c->gsIdDbMenu.isEmpty());
    EXPECT_EQ(c->gsDescDitta, "Rossi & Figli S.r.l.");
    FormBase* f = static_cast<Ospite*>(c->ggOspite.get())->Form("frmDatiFatXml");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->osKeySec, "SEC1");
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
    EXPECT_EQ(c->giCodiceUscita, 0);
    // The connection splash is gone once the shared database is open.
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_NE(w->objectName(), "frmConn");
}

TEST_F(AvvioTest, WithoutTheMenuTheProgramSaysSoAndEndsWithAnError) {
    menu->menuAssente = true;
    EXPECT_FALSE(Avvia());
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_EQ(dialoghi->mostrati[0].testo,
              "Il menu principale non è in esecuzione\nQuesto programma non può essere eseguito autonomamente");
    Chiudi();
    EXPECT_TRUE(finito);
    EXPECT_EQ(c->giCodiceUscita, 1);
    EXPECT_EQ(static_cast<Ospite*>(c->ggOspite.get())->FormsCaricate().size(), 1);
}

TEST_F(AvvioTest, DatabaseFailuresAreReportedAndStopTheStartUp) {
    struct Caso {
        const char* nome;
        std::function<void()> prepara;
        QString attesoInizio;
    };
    const std::vector<Caso> casi = {
        {"file mancante", [&] { menu->ImpostaValore("NomeDBAzie", fx.Cartella() + "/manca.db"); }, "Errore("},
        {"sorgente ODBC", [&] { menu->ImpostaValore("NomeDBAzie", "ContabDSN"); }, "Errore("},
        {"database comune mancante",
         [&] { ScriviFile(ini, "[Parametri Generali]\nOrdIniDBase=" + iniDb + "\n"); },
         "File di inizializzazioni: "},
    };
    for (const auto& caso : casi) {
        SetUp();
        caso.prepara();
        EXPECT_FALSE(Avvia()) << caso.nome;
        ASSERT_FALSE(dialoghi->mostrati.isEmpty()) << caso.nome;
        EXPECT_TRUE(dialoghi->mostrati[0].testo.startsWith(caso.attesoInizio))
            << caso.nome << ": " << dialoghi->mostrati[0].testo.toStdString();
        EXPECT_EQ(static_cast<Ospite*>(c->ggOspite.get())->Form("frmDatiFatXml"), nullptr) << caso.nome;
        EXPECT_EQ(c->giCodiceUscita, 1) << caso.nome;
    }
}

TEST_F(AvvioTest, ADamagedDatabaseFileIsRecoveredOnRequestOrLeftAsItWas) {
    enum class Danno { Indice, Definizione, NonDatabase };
    struct Caso {
        const char* nome;
        bool comune;  // the shared database, not the company's
        Danno danno;
        int risposta;
        bool recuperato;
    };
    const Caso casi[] = {
        {"azienda danneggiata, recupero chiesto", false, Danno::Indice, RispostaMsg::Ok, true},
        {"azienda danneggiata, recupero rifiutato", false, Danno::Indice, RispostaMsg::Annulla, false},
        {"azienda non database, recupero chiesto", false, Danno::NonDatabase, RispostaMsg::Ok, false},
        {"azienda con una definizione illeggibile, recupero chiesto", false, Danno::Definizione, RispostaMsg::Ok, true},
        {"comune danneggiato, recupero chiesto", true, Danno::Indice, RispostaMsg::Ok, true},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        SetUp();
        const QString cartella = fx.Cartella() + "/" + caso.nome;
        ASSERT_TRUE(QDir().mkpath(cartella));
        const QString file = cartella + "/dati.db";
        if (caso.danno == Danno::NonDatabase) ScriviFile(file, "questo non è un database");
        else if (caso.comune)
            DbDanneggiato(file, "condiviso.sql", "INSERT INTO Aziende (IdAzienda, Azienda) VALUES ('7', '07')",
                          "sqlite_autoindex_Aziende_1");
        else if (caso.danno == Danno::Indice)
            DbDanneggiato(file, "azienda.sql", "INSERT INTO Monete (Moneta, NumDec) VALUES ('Euro', 3)",
                          "MovPnTes_DataDoc");
        else {
            // No page overwritten; the definition of a table the start-up never
            // reads is garbled, and the opening meets it reading the schema.
            DbDanneggiato(file, "azienda.sql", "INSERT INTO Monete (Moneta, NumDec) VALUES ('Euro', 3)", "");
            DanniDb::AlteraDefinizione(file, "MovPnIva");
        }
        if (caso.danno == Danno::Indice) {
            ASSERT_NE(QuickCheck(file), "ok");
            // As the work leaves a file on which it met the damage: no opening
            // reads an index page that the start-up does not need.
            segnaDaVerificare(file, "pagina danneggiata");
        }
        const QByteArray prima = Contenuto(file);
        if (caso.comune) ScriviFile(ini, "[Parametri Generali]\nOrdIniDBase=" + iniDb + "\n[Menu]\nNomeDB=" + file + "\n");
        else menu->ImpostaValore("NomeDBAzie", file);
        dialoghi->risposte << caso.risposta;

        EXPECT_EQ(Avvia(), caso.recuperato) << dialoghi->testi().join("\n").toStdString();
        ASSERT_FALSE(dialoghi->mostrati.isEmpty());
        EXPECT_EQ(dialoghi->mostrati[0].testo, "Errore nell'apertura del database " + file + "\nVuoi tentare di recuperarlo");
        EXPECT_EQ(dialoghi->mostrati[0].stile, StileMsg::Domanda | StileMsg::OkAnnulla);
        const QStringList danneggiati = QDir(cartella).entryList({"*danneggiato*"}, QDir::Files);
        if (caso.recuperato) {
            // The damaged original is kept beside the recovered file, as it was.
            ASSERT_EQ(danneggiati.size(), 1) << QDir(cartella).entryList().join(", ").toStdString();
            EXPECT_EQ(Contenuto(cartella + "/" + danneggiati[0]), prima);
            // One box tells what was saved and where the original is.
            ASSERT_EQ(dialoghi->mostrati.size(), 2) << dialoghi->testi().join("\n").toStdString();
            const QString resoconto = dialoghi->mostrati[1].testo;
            EXPECT_TRUE(resoconto.startsWith("Il database " + file + " è stato recuperato.\n")) << resoconto.toStdString();
            EXPECT_TRUE(resoconto.endsWith("\nL'originale danneggiato è stato conservato come " + cartella + "/" +
                                           danneggiati[0]))
                << resoconto.toStdString();
            if (caso.danno == Danno::Definizione)
                EXPECT_TRUE(resoconto.contains("\nMovPnIva: definizione illeggibile, ripristinata da quella del programma; "
                                               "0 righe salvate, 0 perse\n"))
                    << resoconto.toStdString();
            EXPECT_EQ(QuickCheck(file), "ok");
            EXPECT_FALSE(daVerificare(file));  // the recovered file passed its check
            if (caso.comune) EXPECT_FALSE(c->gsIdDbMenu.isEmpty());
            else EXPECT_EQ(c->giDecImpEuro, 3);  // the company's rows came through
        } else {
            // A damaged file keeps its mark, so that the next start asks again.
            EXPECT_EQ(QDir(cartella).entryList(QDir::Files),
                      caso.danno == Danno::Indice ? QStringList({"dati.db", "dati.db-verifica"}) : QStringList{"dati.db"});
            EXPECT_EQ(Contenuto(file), prima);
            EXPECT_EQ(c->giCodiceUscita, 1);
            EXPECT_EQ(static_cast<Ospite*>(c->ggOspite.get())->Form("frmDatiFatXml"), nullptr);
        }
    }
}

// Another terminal has the company open while this one starts on the marked,
// damaged file and the user asks for the recovery: the file is not swapped,
// the user is told why, the mark stays for the next start, and the other
// terminal's write lands in the company's file, not in a copy put aside.
TEST_F(AvvioTest, TheRecoveryLeavesAFileOpenOnAnotherTerminalAsItIs) {
    for (const bool processo : {true, false}) {
        SCOPED_TRACE(processo ? "un altro processo" : "un'altra connessione di questo processo");
        SetUp();
        const QString cartella = fx.Cartella() + (processo ? "/processo" : "/connessione");
        ASSERT_TRUE(QDir().mkpath(cartella));
        const QString file = DbDanneggiato(cartella + "/dati.db", "azienda.sql",
                                           "INSERT INTO Monete (Moneta, NumDec) VALUES ('Euro', 3)", "MovPnTes_DataDoc");
        AltraConnessione altra(file, processo);
        ASSERT_TRUE(altra.Aperta());
        segnaDaVerificare(file, "pagina danneggiata");  // the damage the other terminal met
        const QStringList prima = QDir(cartella).entryList(QDir::Files);
        menu->ImpostaValore("NomeDBAzie", file);
        dialoghi->risposte << RispostaMsg::Ok;

        EXPECT_FALSE(Avvia());
        ASSERT_EQ(dialoghi->mostrati.size(), 2) << dialoghi->testi().join("\n").toStdString();
        EXPECT_EQ(dialoghi->mostrati[0].testo, "Errore nell'apertura del database " + file + "\nVuoi tentare di recuperarlo");
        EXPECT_EQ(dialoghi->mostrati[1].testo.toStdString(),
                  ("Errore  3045: il database " + file +
                   " è aperto su un altro terminale: chiudere il programma sugli altri terminali e riprovare.\n"
                   "Il file non è stato modificato.")
                      .toStdString());
        EXPECT_EQ(dialoghi->mostrati[1].stile, StileMsg::Critico);
        EXPECT_EQ(QDir(cartella).entryList(QDir::Files).join(", ").toStdString(), prima.join(", ").toStdString());
        EXPECT_TRUE(daVerificare(file));
        EXPECT_EQ(c->giCodiceUscita, 1);

        ASSERT_TRUE(altra.Scrivi("INSERT INTO Monete (Moneta, NumDec) VALUES ('Lira', 0)"));
        EXPECT_EQ(DanniDb::Valori(file, "SELECT Moneta FROM Monete ORDER BY Moneta"), (QStringList{"Euro", "Lira"}));
        EXPECT_TRUE(QDir(cartella).entryList({"*danneggiato*"}, QDir::Files).isEmpty());
    }
}

// Started from the menu on the run form, the program opens the company's
// file and the shared one once each, with the busy pointer on.
TEST_F(AvvioTest, TheRunFormOpensEachDatabaseOnceUnderTheBusyPointer) {
    auto contato = std::make_shared<GestoreDbContato>();
    c->ggGestDb = contato;
    InstallaProgramma(*static_cast<Ospite*>(c->ggOspite.get()));
    ASSERT_TRUE(Avvia()) << dialoghi->testi().join("\n").toStdString();
    QWidget* f = static_cast<Ospite*>(c->ggOspite.get())->Form("frmDatiFatXml");
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(contato->Aperture(fx.fileAzienda), 1);
    EXPECT_EQ(contato->Aperture(fx.fileCondiviso), 1);
    EXPECT_EQ(contato->aperture.size(), 2);
    EXPECT_EQ(contato->SenzaCursore().toStdString(), "");
}

// No opening reads the whole file: a page of an index that the start-up does
// not read, damaged, goes unnoticed until the work reads it. The work then
// fails with 3343, and the next start offers to recover the file.
TEST_F(AvvioTest, DamageMetByTheWorkIsOfferedForRecoveryAtTheNextStart) {
    const QString cartella = fx.Cartella() + "/danno";
    ASSERT_TRUE(QDir().mkpath(cartella));
    const QString file = DbDanneggiato(cartella + "/dati.db", "azienda.sql",
                                       "INSERT INTO Monete (Moneta, NumDec) VALUES ('Euro', 3);"
                                       "INSERT INTO MovPnTes (Anno, NumReg, DataDoc) VALUES (2018, 1, '2018-03-05')",
                                       "MovPnTes_DataDoc");
    menu->ImpostaValore("NomeDBAzie", file);
    ASSERT_TRUE(Avvia()) << dialoghi->testi().join("\n").toStdString();
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("\n").toStdString();
    EXPECT_EQ(c->giDecImpEuro, 3);

    GestRecordset rs;
    try {
        rs.ApriRecordset(*c->ggGestDb, c->gsIdDbase, {}, "SELECT * FROM MovPnTes WHERE DataDoc >= '2018-01-01'");
        ADD_FAILURE() << "la pagina danneggiata è stata letta senza errore";
    } catch (const ErroreRun& e) {
        EXPECT_EQ(e.numero(), 3343) << e.descrizione().toStdString();
    }
    EXPECT_TRUE(daVerificare(file));

    struct Caso {
        const char* nome;
        int risposta;
        bool recuperato;
    };
    for (const Caso& caso : {Caso{"recupero rifiutato", RispostaMsg::Annulla, false},
                             Caso{"recupero chiesto", RispostaMsg::Ok, true}}) {
        SCOPED_TRACE(caso.nome);
        SetUp();  // the program closed and started again
        menu->ImpostaValore("NomeDBAzie", file);
        dialoghi->risposte << caso.risposta;
        EXPECT_EQ(Avvia(), caso.recuperato) << dialoghi->testi().join("\n").toStdString();
        ASSERT_FALSE(dialoghi->mostrati.isEmpty());
        EXPECT_EQ(dialoghi->mostrati[0].testo, "Errore nell'apertura del database " + file + "\nVuoi tentare di recuperarlo");
        EXPECT_EQ(QDir(cartella).entryList({"*danneggiato*"}, QDir::Files).size(), caso.recuperato ? 1 : 0);
        EXPECT_EQ(daVerificare(file), !caso.recuperato);
    }
    EXPECT_EQ(QuickCheck(file), "ok");
    EXPECT_EQ(c->giDecImpEuro, 3);
}

TEST_F(AvvioTest, ChoosingTheDatabaseSettingsFile) {
    ScriviFile(ini, "[Parametri Generali]\nNumIni=3\nOrdIniDBase=" + iniDb + "\n[Lista File Ini]\nOrdIniDBase1=/uno.ini\n"
                    "OrdIniDBase3=/tre.ini\n[Menu]\nNomeDB=" + fx.fileCondiviso + "\n");
    struct Caso { QString risposta; QString atteso; };
    for (const Caso& k : {Caso{"3", "/tre.ini"}, Caso{"2", iniDb}, Caso{"0", iniDb}, Caso{"7", iniDb}}) {
        SetUp();
        ScriviFile(ini, "[Parametri Generali]\nNumIni=3\nOrdIniDBase=" + iniDb + "\n[Lista File Ini]\nOrdIniDBase1=/uno.ini\n"
                        "OrdIniDBase3=/tre.ini\n[Menu]\nNomeDB=" + fx.fileCondiviso + "\n");
        dialoghi->risposteTesto << std::optional<QString>(k.risposta);
        ASSERT_TRUE(Avvia());
        EXPECT_EQ(c->gsFileIniDb, k.atteso) << k.risposta.toStdString();
        ASSERT_EQ(dialoghi->mostrati[0].tipo, "inputBox");
        EXPECT_EQ(dialoghi->mostrati[0].titolo, "Scelta dell'INI");
        EXPECT_EQ(dialoghi->mostrati[0].testo,
                  "Numero di ini scelto\n(da 0 a 3)\n 1 -> /uno.ini\n 2 -> \n 3 -> /tre.ini");
    }
}

TEST_F(AvvioTest, MissingSettingsFileIsReported) {
    menu->fileImpostazioni.clear();
    qputenv("COMIVA_RADICE_UNITA", fx.Cartella().toUtf8());
    EXPECT_FALSE(Avvia("/M MENU1 /P PRG /F frmDatiFatXml /I /non/esiste.ini"));
    qunsetenv("COMIVA_RADICE_UNITA");
    ASSERT_FALSE(dialoghi->mostrati.isEmpty());
    EXPECT_EQ(dialoghi->mostrati[0].testo, "File ini non trovato\nSistemare e rieseguire");
}

TEST_F(AvvioTest, SwitchIFindsTheSettingsFileWhenTheMenuGivesNone) {
    menu->fileImpostazioni.clear();
    ASSERT_TRUE(Avvia("/M MENU1 /P PRG /F frmDatiFatXml /I " + ini));
    EXPECT_EQ(c->gsFileIni, ini);
    EXPECT_EQ(c->gsParamAgg, "");
}

TEST_F(AvvioTest, CompanyParameters) {
    ASSERT_TRUE(Avvia());
    fx.Inserisci(c->gsIdDbase, "Monete", {{"Moneta", "L."}, {"NumDec", 0}});
    fx.Inserisci(c->gsIdDbase, "Monete", {{"Moneta", "Euro"}, {"NumDec", 2}});
    struct Caso { QString moneta; int dec; };
    for (const Caso& k : {Caso{"l.", 0}, Caso{"Euro", 2}, Caso{"USD", 2}}) {
        menu->ImpostaValore("Ditta.Moneta", k.moneta);
        CaricaParAzienda();
        EXPECT_EQ(c->giDecImp, k.dec) << k.moneta.toStdString();
    }
    struct CasoMax { QString lista; QString atteso; };
    for (const CasoMax& k : {CasoMax{"Tutti", "2"}, CasoMax{"XYZ,ABC", "2"}, CasoMax{"AB,ABCD", ""}, CasoMax{"", ""}}) {
        menu->ImpostaParPers("Tutti", "Massimizzato", k.lista);
        CaricaParAzienda();
        EXPECT_EQ(c->gsStatoFinestra, k.atteso) << k.lista.toStdString();
    }
    menu->ImpostaValore("ColBackGotFocus", "");
    CaricaParAzienda();
    EXPECT_EQ(c->glColGotFocus, 0xFFFF80);
    menu->ImpostaValore("ColBackGotFocus", "0");
    CaricaParAzienda();
    EXPECT_EQ(c->glColGotFocus, 0);
}

TEST_F(AvvioTest, AnotherCompanysDefaultsAreAllOrNothing) {
    ASSERT_TRUE(Avvia());
    fx.Inserisci(c->gsIdDbase, "Ditta", {{"Moneta", "L."}, {"CodLira", "L."}, {"CodEuro", "Euro"}});
    fx.Inserisci(c->gsIdDbase, "Monete", {{"Moneta", "L."}, {"NumDec", 0}});
    ASSERT_TRUE(LeggiDefaultDitta(c->gsIdDbase));
    EXPECT_EQ(c->giDecImp, 0);
    EXPECT_EQ(c->giDecImpEuro, 2);
    // A database without the company's tables: nothing changes, the caller hears of it.
    fx.Esegui(c->gsIdDbMenu, "SELECT 1");
    EXPECT_FALSE(LeggiDefaultDitta(c->gsIdDbMenu));
    EXPECT_EQ(c->gsMoneta, "L.");
    EXPECT_EQ(c->giDecImp, 0);
    EXPECT_TRUE(dialoghi->testi().last().startsWith("Errore in lettura dati default dittaErrore("));
}

TEST_F(AvvioTest, StoredTexts) {
    ASSERT_TRUE(Avvia());
    fx.Inserisci(c->gsIdDbMenu, "Appoggio", {{"Codice", "EMAIL1"}, {"Descr2", "Oggetto"}, {"Memo2", "Testo lungo"}});
    QString memo = "x", descr = "x";
    EXPECT_TRUE(LeggiScriviAppoggio("email1", 2, memo, descr));
    EXPECT_EQ(descr, "Oggetto");
    EXPECT_EQ(memo, "Testo lungo");
    EXPECT_FALSE(LeggiScriviAppoggio("EMAIL1", 6, memo, descr));
    EXPECT_EQ(memo, "");
    EXPECT_FALSE(LeggiScriviAppoggio("ALTRO", 1, memo, descr));
}

}  // namespace

namespace {

// A menu whose user chooses the same entry again while the program is still
// starting: the second "attiva" comes in when the program asks for the
// company database's name, before that database is open.
class MenuImpaziente : public MenuClientFinto {
public:
    QString keySec;
    Valore risposta;
    bool inviato = false;
    Valore LeggiValoreSess(const QString& nome) override {
        if (!inviato && nome.compare(QLatin1String("NomeDBAzie"), Qt::CaseInsensitive) == 0) {
            inviato = true;
            risposta = InviaComando(QStringLiteral("attiva"), {}, keySec);
        }
        return MenuClientFinto::LeggiValoreSess(nome);
    }
};

// A form whose load reads the company database, as every real one does; it
// counts its loads.
class FormCheLeggeLaDitta : public FormBase {
public:
    explicit FormCheLeggeLaDitta(int& caricamenti) : FormBase(QStringLiteral("frmLiqIvaTest")), caricamenti_(caricamenti) {}

protected:
    bool Form_Load() override {
        ++caricamenti_;
        if (!ctx().ggGestDb) throw ErroreRun(91, QStringLiteral("Gestore database non impostato"), "FormCheLeggeLaDitta");
        GestRecordset rs;
        rs.ApriRecordset(*ctx().ggGestDb, ctx().gsIdDbase, {}, QStringLiteral("SELECT COUNT(*) FROM Ditta"));
        return true;
    }

private:
    int& caricamenti_;
};

TEST_F(AvvioTest, ASecondMenuCommandDuringTheStartUpWaitsForTheDatabases) {
    const struct Caso {
        const char* nome;
        bool dbPresente;
    } casi[] = {
        {.nome = "start-up completes", .dbPresente = true},
        {.nome = "start-up fails", .dbPresente = false},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        SetUp();
        auto impaziente = std::make_shared<MenuImpaziente>();
        static_cast<MenuClientFinto&>(*impaziente) = *menu;
        impaziente->info.osParam = "/F frmLiqIvaTest";
        impaziente->keySec = "frmLiqIvaTest";
        if (!k.dbPresente) impaziente->ImpostaValore("NomeDBAzie", fx.Cartella() + "/manca.db");
        menu = impaziente;
        Ospite& ospite = *static_cast<Ospite*>(c->ggOspite.get());
        int caricamenti = 0;
        ospite.ImpostaFabbrica("frmLiqIvaTest", [&caricamenti] { return new FormCheLeggeLaDitta(caricamenti); });

        EXPECT_EQ(Avvia("/M MENU1 /P PRG frmLiqIvaTest /F frmLiqIvaTest"), k.dbPresente)
            << dialoghi->testi().join("\n").toStdString();
        ASSERT_TRUE(impaziente->inviato);
        EXPECT_EQ(impaziente->risposta.testo(), "") << "the menu has its answer at once";
        const QString visti = (dialoghi->testi() + impaziente->messaggiMenu).join("\n");
        // No form loaded on a database not open yet, and none said so.
        for (const char* segno : {"3420", "Nessun database aperto", "CaricaDichiarante", "Gestore database non impostato"})
            EXPECT_FALSE(visti.contains(segno)) << visti.toStdString();
        EXPECT_TRUE(impaziente->messaggiMenu.isEmpty()) << visti.toStdString();
        if (k.dbPresente) {
            EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << visti.toStdString();
            FormBase* f = ospite.Form("frmLiqIvaTest");
            ASSERT_NE(f, nullptr);
            EXPECT_TRUE(f->isVisible());
            EXPECT_EQ(f->oiLoadOk, 1);
            EXPECT_EQ(caricamenti, 1) << "loaded once, brought forward the second time";
            EXPECT_TRUE(impaziente->chiamate.contains("AttivaProgramma|frmLiqIvaTest"))
                << impaziente->chiamate.join("\n").toStdString();
        } else {
            EXPECT_EQ(ospite.Form("frmLiqIvaTest"), nullptr);
            ASSERT_EQ(dialoghi->mostrati.size(), 1) << "only the start-up's own report: " << visti.toStdString();
            EXPECT_TRUE(dialoghi->mostrati[0].testo.startsWith("Errore(")) << visti.toStdString();
            EXPECT_EQ(caricamenti, 0);
            Chiudi();
            EXPECT_TRUE(finito);
        }
        ospite.ChiudiProgramma();
    }
}

}  // namespace
