#include "components/db/GestoreDb.h"
#include "components/db/Interroga.h"
#include "components/db/UsoDb.h"
#include "components/db/VerificaDb.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "support/DanniDb.h"
#include "support/Fixture.h"
#include "support/NumeroErrore.h"
#include "support/RegistroLog.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

using DanniDb::Valori;

QByteArray Contenuto(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The tables of a company file as the program makes it.
constexpr int kTabelleAzienda = 24;

// A company file with enough rows that its movement tables span many pages:
// 600 heads, 600 lines and 600 VAT lines, and one currency.
void AziendaConRighe(const QString& file) {
    FixtureDb::CreaDatabase(file, QStringLiteral("azienda.sql"));
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    QByteArray sql = "BEGIN; INSERT INTO Monete (Moneta, NumDec) VALUES ('Euro', 3);";
    for (int i = 1; i <= 600; ++i)
        sql += QStringLiteral("INSERT INTO MovPnTes (Anno, NumReg, Causale, Descrizione, DataReg, DataDoc, NumDoc) "
                              "VALUES (2024, %1, 'FV', 'Fattura di vendita numero %1', '2024-01-01', '2024-%2-02', 'N%1');"
                              "INSERT INTO MovPnDett (Anno, NumReg, RigReg, Importo) VALUES (2024, %1, 1, %1.5);"
                              "INSERT INTO MovPnIva (Anno, NumReg, RigIva, Iva, Imponibile, Imposta) "
                              "VALUES (2024, %1, 1, '22', %1 * 10, %1 * 2.2);")
                   .arg(i)
                   .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
                   .toUtf8();
    ASSERT_EQ(sqlite3_exec(db, sql + "COMMIT;", nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// A company file whose page holding the list of tables, past the file's
// header, is garbage: nothing can be read.
void AziendaSenzaElencoTabelle(const QString& file) {
    AziendaConRighe(file);
    DanniDb::Sovrascrivi(file, 1, 100, DanniDb::DimensionePagina(file) - 100, '\x5a');
}

class RecuperoDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::make_unique<QTemporaryDir>();
        dialoghi = std::make_shared<DialoghiScriptati>();
        auto c = std::make_shared<Contesto>();
        c->ggDialoghi = dialoghi;
        ImpostaContesto(c);
        file = dir->filePath(QStringLiteral("dati.db"));
    }
    void TearDown() override { ImpostaContesto(nullptr); }

    QStringList FileNellaCartella() const { return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden); }

    std::unique_ptr<QTemporaryDir> dir;
    QString file;
    std::shared_ptr<DialoghiScriptati> dialoghi;
};

// What one table of the damaged file should become.
// SenzaLeTestatePerse: without the registrations whose header was lost, left
// out whole (MovPnIva alike).
enum class Sorte { Intera, SenzaUnaPagina, SenzaLeTestatePerse, Ripristinata };

TEST_F(RecuperoDbTest, EveryReadableRowIsSavedAndTheUserToldTableByTable) {
    struct Caso {
        const char* nome;
        std::function<void(const QString&)> danneggia;
        Sorte movPnTes, movPnDett;
    };
    qint64 paginaDati = 0;
    Caso casi[] = {
        {"512 byte sovrascritti in una pagina di dati",
         [&](const QString& f) {
             const QList<qint64> foglie = DanniDb::Pagine(f, "MovPnTes", "leaf");
             ASSERT_GT(foglie.size(), 4);
             paginaDati = foglie[foglie.size() / 2];
             DanniDb::Sovrascrivi(f, paginaDati, 1024, 512, '\x5a');
         },
         Sorte::SenzaUnaPagina, Sorte::SenzaLeTestatePerse},
        {"definizione di una tabella illeggibile", [](const QString& f) { DanniDb::AlteraDefinizione(f, "MovPnDett"); },
         Sorte::Intera, Sorte::Ripristinata},
        {"pagina di un indice danneggiata",
         [](const QString& f) {
             const QList<qint64> radice =
                 DanniDb::Pagine(f, "MovPnTes_DataDoc", "internal") + DanniDb::Pagine(f, "MovPnTes_DataDoc", "leaf");
             ASSERT_FALSE(radice.isEmpty());
             DanniDb::Sovrascrivi(f, radice[0], 0, DanniDb::DimensionePagina(f), '\x5a');
         },
         Sorte::Intera, Sorte::Intera},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        TearDown();
        SetUp();
        AziendaConRighe(file);
        caso.danneggia(file);
        // Cells on the damaged page: the most the repair may lose.
        const qint64 celle =
            paginaDati ? Valori(file, QStringLiteral("SELECT ncell FROM dbstat WHERE pageno = %1").arg(paginaDati))
                             .value(0)
                             .toLongLong()
                       : 0;
        const QByteArray prima = Contenuto(file);

        ASSERT_EQ(ggUtil().RiparaDb(file), 0) << FileNellaCartella().join(", ").toStdString();

        // The original, as it was, kept beside the new file under a name that says so.
        const QStringList tenuti = QDir(dir->path()).entryList({"dati-danneggiato-*.db"}, QDir::Files);
        ASSERT_EQ(tenuti.size(), 1) << FileNellaCartella().join(", ").toStdString();
        const QString originale = dir->filePath(tenuti[0]);
        EXPECT_EQ(Contenuto(originale), prima);
        EXPECT_EQ(Valori(file, "PRAGMA integrity_check"), QStringList{"ok"});
        EXPECT_EQ(Valori(file, "PRAGMA journal_mode"), QStringList{"wal"});
        EXPECT_EQ(Valori(file, "SELECT NumDec FROM Monete"), QStringList{"3"});

        QStringList righeAttese, testate;
        for (const auto& [tabella, sorte] : {std::pair{QStringLiteral("MovPnTes"), caso.movPnTes},
                                             std::pair{QStringLiteral("MovPnDett"), caso.movPnDett}}) {
            SCOPED_TRACE(tabella.toStdString());
            const QStringList numeri = Valori(file, QStringLiteral("SELECT NumReg FROM %1 ORDER BY NumReg").arg(tabella));
            switch (sorte) {
            case Sorte::Intera:
                EXPECT_EQ(numeri.size(), 600);
                break;
            case Sorte::SenzaUnaPagina: {
                // The rows before the damaged page and those after it are all
                // there; what is missing is one run, no longer than the page.
                ASSERT_FALSE(numeri.isEmpty());
                EXPECT_EQ(numeri.first(), "1");
                EXPECT_EQ(numeri.last(), "600");
                qsizetype buchi = 0;
                for (qsizetype i = 1; i < numeri.size(); ++i)
                    if (numeri[i].toInt() != numeri[i - 1].toInt() + 1) ++buchi;
                EXPECT_EQ(buchi, 1);
                EXPECT_GT(numeri.size(), 600 - celle);
                EXPECT_LT(numeri.size(), 600);
                righeAttese << QStringLiteral("%1: %2 righe salvate, %3 perse").arg(tabella).arg(numeri.size()).arg(600 - numeri.size());
                testate = numeri;
                break;
            }
            case Sorte::SenzaLeTestatePerse:
                EXPECT_EQ(numeri, testate);
                for (const QString& t : {tabella, QStringLiteral("MovPnIva")})
                    righeAttese << QStringLiteral("%1: %2 righe salvate, %3 escluse con la loro registrazione, 0 perse")
                                       .arg(t)
                                       .arg(testate.size())
                                       .arg(600 - testate.size());
                break;
            case Sorte::Ripristinata:
                EXPECT_EQ(numeri.size(), 600);
                righeAttese << tabella + ": definizione illeggibile, ripristinata da quella del programma; 600 righe salvate, 0 perse";
                break;
            }
        }
        // The indexes of the saved tables are there again.
        EXPECT_EQ(Valori(file, "SELECT count(*) FROM sqlite_master WHERE name LIKE 'MovPnTes\\_Data%' ESCAPE '\\'"),
                  QStringList{"2"});

        ASSERT_EQ(dialoghi->mostrati.size(), 1) << dialoghi->testi().join("\n").toStdString();
        const QStringList box = dialoghi->mostrati[0].testo.split('\n');
        EXPECT_EQ(box.first(), "Il database " + file + " è stato recuperato.");
        for (const QString& riga : righeAttese) EXPECT_TRUE(box.contains(riga)) << riga.toStdString() << "\n" << box.join('\n').toStdString();
        // Tables that kept every row are told in one line, not one by one.
        for (const char* intera : {"Monete: ", "MovPnTes: ", "MovPnDett: "})
            if (!righeAttese.join('\n').contains(intera))
                EXPECT_FALSE(box.join('\n').contains(intera)) << intera << "\n" << box.join('\n').toStdString();
        const QString altre = righeAttese.isEmpty()
                                  ? QStringLiteral("Le %1 tabelle: tutte le righe salvate").arg(kTabelleAzienda)
                                  : QStringLiteral("Altre %1 tabelle: tutte le righe salvate").arg(kTabelleAzienda - righeAttese.size());
        EXPECT_TRUE(box.contains(altre)) << altre.toStdString() << "\n" << box.join('\n').toStdString();
        EXPECT_EQ(box.last(), "L'originale danneggiato è stato conservato come " + originale);
        const bool intero = caso.movPnTes == Sorte::Intera && caso.movPnDett == Sorte::Intera;
        EXPECT_EQ(dialoghi->mostrati[0].stile, intero ? StileMsg::Informazione : StileMsg::Esclamativo);
        paginaDati = 0;
    }
}

// An index the rows no longer agree with (its stored definition says unique,
// the rows share its key) cannot be made again: the rows are all kept, and
// the index is left out and named.
TEST_F(RecuperoDbTest, AnIndexThatCannotBeMadeAgainCostsNoRow) {
    AziendaConRighe(file);
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    ASSERT_EQ(sqlite3_exec(db,
                           "PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = "
                           "'CREATE UNIQUE INDEX MovPnTes_DataDoc ON MovPnTes (DataDoc)' WHERE name = 'MovPnTes_DataDoc'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    ASSERT_EQ(ggUtil().RiparaDb(file), 0);
    EXPECT_EQ(Valori(file, "SELECT count(*) FROM MovPnTes"), QStringList{"600"});
    EXPECT_EQ(Valori(file, "SELECT name FROM sqlite_master WHERE name LIKE 'MovPnTes\\_Data%' ESCAPE '\\'"),
              QStringList{"MovPnTes_DataReg"});
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    const QStringList box = dialoghi->mostrati[0].testo.split('\n');
    EXPECT_TRUE(box.contains(QStringLiteral("Le %1 tabelle: tutte le righe salvate").arg(kTabelleAzienda)))
        << box.join('\n').toStdString();
    EXPECT_TRUE(box.contains("Indice MovPnTes_DataDoc non ricreato: righe con la stessa chiave")) << box.join('\n').toStdString();
    EXPECT_EQ(dialoghi->mostrati[0].stile, StileMsg::Esclamativo);
}

// Two terminals answer yes at once: the first recovers the file and opens it
// again; the second then finds it in use and changes nothing, so that the
// first goes on writing into the recovered file.
TEST_F(RecuperoDbTest, OfTwoRecoveriesOnlyTheFirstReplacesTheFile) {
    AziendaConRighe(file);
    DanniDb::DanneggiaRadice(file, "MovPnTes_DataDoc");
    ASSERT_EQ(ggUtil().RiparaDb(file), 0);
    GestoreDb primo;
    const QString id = primo.ApriDatabase(file);
    const QStringList dopoIlPrimo = FileNellaCartella();
    const QByteArray recuperato = Contenuto(file);

    EXPECT_EQ(ggUtil().RiparaDb(file), NumErroreDb::FileInUso);
    EXPECT_EQ(FileNellaCartella().join(", ").toStdString(), dopoIlPrimo.join(", ").toStdString());
    EXPECT_EQ(Contenuto(file), recuperato);
    EXPECT_EQ(dialoghi->mostrati.size(), 1) << dialoghi->testi().join("\n").toStdString();  // the first one's report

    primo.EseguiSql(id, "INSERT INTO Monete (Moneta, NumDec) VALUES ('Lira', 0)");
    primo.ChiudiDatabase(id);
    EXPECT_EQ(Valori(file, "SELECT Moneta FROM Monete ORDER BY Moneta"), (QStringList{"Euro", "Lira"}));
}

// The second terminal answers yes only after the first has recovered the
// file and closed the program: the whole file is left as it stands.
TEST_F(RecuperoDbTest, ARecoveryAnsweredAfterAnotherEndedLeavesTheWholeFile) {
    AziendaConRighe(file);
    DanniDb::DanneggiaRadice(file, "MovPnTes_DataDoc");
    ASSERT_EQ(ggUtil().RiparaDb(file), 0);
    const QStringList dopoIlPrimo = FileNellaCartella();
    const QByteArray recuperato = Contenuto(file);
    dialoghi->mostrati.clear();

    EXPECT_EQ(ggUtil().RiparaDb(file), 0);
    EXPECT_EQ(FileNellaCartella().join(", ").toStdString(), dopoIlPrimo.join(", ").toStdString());
    EXPECT_EQ(Contenuto(file), recuperato);
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_EQ(dialoghi->testi().join("\n"),
              "Il database " + file +
                  " risulta già recuperato su un altro terminale ed è integro: non è stato modificato.");
}

// Two terminals answer yes at the same moment: while one holds the right to
// the file, the other's recovery changes nothing, and no opening gets in.
TEST_F(RecuperoDbTest, WhileOneRecoveryHoldsTheFileAnotherChangesNothing) {
    AziendaConRighe(file);
    DanniDb::DanneggiaRadice(file, "MovPnTes_DataDoc");
    const QByteArray prima = Contenuto(file);
    UsoDb::Esito esito;
    UsoDb primo = UsoDb::Esclusivo(file, esito);
    ASSERT_EQ(esito, UsoDb::Esito::Preso);
    const QStringList cartella = FileNellaCartella();

    EXPECT_EQ(ggUtil().RiparaDb(file), NumErroreDb::FileInUso);
    EXPECT_EQ(FileNellaCartella().join(", ").toStdString(), cartella.join(", ").toStdString());
    EXPECT_EQ(Contenuto(file), prima);
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("\n").toStdString();
    GestoreDb g;
    g.ImpostaAttesaBlocco(0);
    const ErroreRun e = erroreDi([&] { g.ApriDatabase(file); });
    EXPECT_EQ(e.numero(), NumErroreDb::DatabaseBloccato);
    EXPECT_EQ(e.descrizione(), "Impossibile aprire il database \"" + file +
                                   "\": è in corso il suo recupero su un altro terminale. Riprovare più tardi.");

    // Once the first lets go, the file is free again.
    primo.Rilascia();
    EXPECT_EQ(ggUtil().RiparaDb(file), 0);
}

// The mark asks for a whole check at the next opening: a recovered file has
// passed one, so the mark goes with the recovery; a recovery that fails leaves it.
TEST_F(RecuperoDbTest, TheMarkGoesWithASuccessfulRecoveryOnly) {
    const std::pair<const char*, std::function<void(const QString&)>> casi[] = {
        {"recupero riuscito",
         [](const QString& f) {
             AziendaConRighe(f);
             DanniDb::DanneggiaRadice(f, "MovPnTes_DataDoc");
         }},
        {"nulla da leggere", AziendaSenzaElencoTabelle},
    };
    for (const auto& [nome, danneggia] : casi) {
        SCOPED_TRACE(nome);
        TearDown();
        SetUp();
        danneggia(file);
        segnaDaVerificare(file, "pagina danneggiata");
        const bool recuperato = ggUtil().RiparaDb(file) == 0;
        EXPECT_EQ(recuperato, std::string(nome) == "recupero riuscito");
        EXPECT_EQ(daVerificare(file), !recuperato);
    }
}

TEST_F(RecuperoDbTest, WhereNothingCanBeReadNothingChanges) {
    const std::pair<const char*, std::function<void(const QString&)>> casi[] = {
        {"non è un database",
         [](const QString& f) {
             QFile q(f);
             ASSERT_TRUE(q.open(QIODevice::WriteOnly));
             q.write("questo non è un database");
         }},
        {"elenco delle tabelle illeggibile", AziendaSenzaElencoTabelle},
    };
    for (const auto& [nome, danneggia] : casi) {
        SCOPED_TRACE(nome);
        TearDown();
        SetUp();
        danneggia(file);
        const QByteArray prima = Contenuto(file);
        EXPECT_NE(ggUtil().RiparaDb(file), 0);
        EXPECT_EQ(FileNellaCartella(), QStringList{"dati.db"});
        EXPECT_EQ(Contenuto(file), prima);
        EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("\n").toStdString();
    }
}

// A table of the program whose stored definition no longer parses is made
// from the program's own definition, and its rows are read from its pages; a
// table the program does not know is left out and named, as it cannot be
// made anew.
TEST_F(RecuperoDbTest, AGarbledDefinitionOfAProgramTableIsRestored) {
    struct Caso {
        const char* nome;
        const char* tabella;
        std::function<void(sqlite3*)> prepara;
        bool ripristinata;
        int altre = kTabelleAzienda - 1;  // tables told in one line
    };
    const Caso casi[] = {
        {"tabella del programma", "MovPnIva", [](sqlite3*) {}, true},
        // The shared database's definitions are the program's too.
        {"tabella del database condiviso", "Aziende",
         [](sqlite3* db) {
             ASSERT_EQ(sqlite3_exec(db,
                                    "CREATE TABLE Aziende (IdAzienda VARCHAR(10) NOT NULL PRIMARY KEY, Azienda VARCHAR(10), "
                                    "Descrizione VARCHAR(60), File VARCHAR(255), AccPwd VARCHAR(50));"
                                    "INSERT INTO Aziende (IdAzienda, Descrizione) SELECT 'A' || NumReg, 'Ditta ' || NumReg "
                                    "FROM MovPnIva;",
                                    nullptr, nullptr, nullptr),
                       SQLITE_OK)
                 << sqlite3_errmsg(db);
         },
         true, kTabelleAzienda},
        {"tabella del programma col nome in minuscolo", "movpniva",
         [](sqlite3* db) {
             ASSERT_EQ(sqlite3_exec(db,
                                    "ALTER TABLE MovPnIva RENAME TO Vecchia;"
                                    "CREATE TABLE movpniva (Anno SMALLINT NOT NULL, NumReg INTEGER NOT NULL, "
                                    "RigIva SMALLINT NOT NULL, Iva VARCHAR(5), Imponibile DOUBLE PRECISION, "
                                    "Imposta DOUBLE PRECISION, GruppoPartita VARCHAR(2), MastroPartita VARCHAR(2), "
                                    "ContoPartita VARCHAR(6), PRIMARY KEY (Anno, NumReg, RigIva));"
                                    "INSERT INTO movpniva SELECT * FROM Vecchia; DROP TABLE Vecchia;",
                                    nullptr, nullptr, nullptr),
                       SQLITE_OK)
                 << sqlite3_errmsg(db);
         },
         true},
        {"tabella estranea al programma", "Appunti",
         [](sqlite3* db) {
             ASSERT_EQ(sqlite3_exec(db,
                                    "CREATE TABLE Appunti (Testo VARCHAR(50));"
                                    "INSERT INTO Appunti SELECT 'Nota ' || NumReg FROM MovPnIva;",
                                    nullptr, nullptr, nullptr),
                       SQLITE_OK)
                 << sqlite3_errmsg(db);
         },
         false, kTabelleAzienda},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        TearDown();
        SetUp();
        AziendaConRighe(file);
        sqlite3* db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        caso.prepara(db);
        sqlite3_close(db);
        DanniDb::AlteraDefinizione(file, caso.tabella);

        ASSERT_EQ(ggUtil().RiparaDb(file), 0) << FileNellaCartella().join(", ").toStdString();

        const QStringList tenuti = QDir(dir->path()).entryList({"dati-danneggiato-*.db"}, QDir::Files);
        ASSERT_EQ(tenuti.size(), 1);
        const QString tabelle = QString::number(caso.altre);
        const QString riga = caso.ripristinata ? QStringLiteral(": definizione illeggibile, ripristinata da quella del "
                                                                "programma; 600 righe salvate, 0 perse")
                                               : QStringLiteral(": definizione illeggibile, tabella non recuperata (600 righe perse)");
        ASSERT_EQ(dialoghi->mostrati.size(), 1);
        EXPECT_EQ(dialoghi->mostrati[0].testo.toStdString(), QStringList({"Il database " + file + " è stato recuperato.",
                                                            "Tabelle con righe perse o sospette, o con la definizione ripristinata:",
                                                            caso.tabella + riga,
                                                            "Altre " + tabelle + " tabelle: tutte le righe salvate",
                                                            "L'originale danneggiato è stato conservato come " +
                                                                dir->filePath(tenuti[0])})
                                                   .join('\n').toStdString());
        EXPECT_EQ(dialoghi->mostrati[0].stile, StileMsg::Esclamativo);
        if (!caso.ripristinata) {
            EXPECT_TRUE(Valori(file, "SELECT name FROM sqlite_master WHERE name = 'Appunti'").isEmpty());
            continue;
        }
        // Afterwards the program reads the table as any other.
        GestoreDb g;
        const QString id = g.ApriDatabase(file);
        if (caso.tabella == QLatin1String("Aziende")) {
            const RisultatoSql a = LeggiTutto(g, id, "SELECT count(*), max(Descrizione) FROM Aziende WHERE IdAzienda LIKE 'A%'", "Prova");
            ASSERT_EQ(a.righe.size(), 1);
            EXPECT_EQ(a.righe[0][0], Valore(600LL));
            EXPECT_EQ(a.righe[0][1], Valore(QStringLiteral("Ditta 99")));
            continue;
        }
        const RisultatoSql r =
            LeggiTutto(g, id, "SELECT count(*), sum(Imponibile), max(Iva) FROM MovPnIva WHERE Anno = 2024", "Prova");
        ASSERT_EQ(r.righe.size(), 1);
        EXPECT_EQ(r.righe[0][0], Valore(600LL));
        EXPECT_EQ(r.righe[0][1].numero(), 1803000.0);
        EXPECT_EQ(r.righe[0][2], Valore(QStringLiteral("22")));
        g.ChiudiDatabase(id);
        EXPECT_EQ(Valori(file, "PRAGMA integrity_check"), QStringList{"ok"});
    }
}

// Garbage written over part of a page can still read as rows: their values
// do not fit their columns (a date that is no date, text that is not UTF-8, a
// number far beyond its column). They are not saved: they are named by their
// key, left out of the new file and left for the user to check in the
// original.
TEST_F(RecuperoDbTest, RowsOfGarbageAreToldAsSuspiciousNotSaved) {
    AziendaConRighe(file);
    const QList<qint64> foglie = DanniDb::Pagine(file, "MovPnTes", "leaf");
    ASSERT_GT(foglie.size(), 4);
    // A sector whose garbage leaves, among the cells it hits, one row with its
    // key and garbage in its other columns, and one with garbage for a key.
    DanniDb::SovrascriviCasuale(file, foglie[foglie.size() / 2], 1536, 512, 1);
    RegistroLog registro("comiva.db");

    ASSERT_EQ(ggUtil().RiparaDb(file), 0) << FileNellaCartella().join(", ").toStdString();

    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    const QString testo = dialoghi->mostrati[0].testo;
    const QStringList box = testo.split('\n');
    const QRegularExpression conti(QStringLiteral("^MovPnTes: (\\d+) righe salvate, (\\d+) sospett[ae], (\\d+) pers[ae]$"));
    QRegularExpressionMatch m;
    for (const QString& riga : box)
        if ((m = conti.match(riga)).hasMatch()) break;
    ASSERT_TRUE(m.hasMatch()) << testo.toStdString();
    const qint64 salvate = m.captured(1).toLongLong(), sospette = m.captured(2).toLongLong(), perse = m.captured(3).toLongLong();
    EXPECT_GT(sospette, 0);
    EXPECT_EQ(salvate + sospette + perse, 600);

    // What the new file holds is what was written, row by row.
    EXPECT_EQ(Valori(file, "SELECT count(*) FROM MovPnTes").value(0).toLongLong(), salvate);
    EXPECT_EQ(Valori(file,
                     "SELECT count(*) FROM MovPnTes WHERE Anno = 2024 AND Causale = 'FV' AND DataReg = '2024-01-01' "
                     "AND Descrizione = 'Fattura di vendita numero ' || NumReg AND NumDoc = 'N' || NumReg "
                     "AND DataDoc = '2024-' || substr('0' || (NumReg % 12 + 1), -2) || '-02' "
                     "AND NumProt IS NULL AND Importo IS NULL AND DataProt IS NULL")
                  .value(0)
                  .toLongLong(),
              salvate);

    // Each suspicious row by its key, in the box and in the log, after a line
    // that says what became of them.
    const qsizetype titolo = box.indexOf(QStringLiteral(
        "Righe sospette (valori non validi per la colonna), non copiate nel nuovo file: da verificare nell'originale conservato"));
    ASSERT_GE(titolo, 0) << testo.toStdString();
    const QRegularExpression chiave(QStringLiteral("^MovPnTes: Anno (.+), NumReg (.+)$"));
    QStringList chiavi;
    for (qsizetype i = titolo + 1; i < box.size() && chiave.match(box[i]).hasMatch(); ++i) chiavi << box[i];
    EXPECT_EQ(chiavi.size(), sospette) << testo.toStdString();
    qsizetype conChiaveIntera = 0;
    for (const QString& c : chiavi) {
        EXPECT_TRUE(registro.Testo().contains(c)) << c.toStdString() << "\n" << registro.Testo().toStdString();
        // A row whose key survived is not in the new file under that key.
        const QRegularExpressionMatch k = chiave.match(c);
        if (k.captured(1) != QLatin1String("2024") || k.captured(2).toInt() < 1) continue;
        ++conChiaveIntera;
        EXPECT_TRUE(Valori(file, "SELECT 1 FROM MovPnTes WHERE Anno = 2024 AND NumReg = " + k.captured(2)).isEmpty())
            << c.toStdString();
    }
    EXPECT_GE(conChiaveIntera, 1) << testo.toStdString();
    EXPECT_EQ(dialoghi->mostrati[0].stile, StileMsg::Esclamativo);
}

// The box names the tables that lost rows, had suspicious ones or were
// restored; the rest are one line.
TEST_F(RecuperoDbTest, TheBoxNamesOnlyTheTablesThatNeedALook) {
    const struct {
        const char* nome;
        std::function<void(const QString&)> danneggia;
        QStringList nominate;
        QString resto;
    } casi[] = {
        {"una pagina persa e una definizione ripristinata",
         [](const QString& f) {
             const QList<qint64> foglie = DanniDb::Pagine(f, "MovPnDett", "leaf");
             ASSERT_GT(foglie.size(), 4);
             DanniDb::Sovrascrivi(f, foglie[foglie.size() / 2], 0, DanniDb::DimensionePagina(f), '\x5a');
             DanniDb::AlteraDefinizione(f, "MovPnIva");
         },
         // MovPnTes for the headers of the registrations whose lines were lost, left out with them.
         {"MovPnTes", "MovPnDett", "MovPnIva"}, QStringLiteral("Altre %1 tabelle: tutte le righe salvate").arg(kTabelleAzienda - 3)},
        {"nessuna riga persa",
         [](const QString& f) {
             const QList<qint64> indice = DanniDb::Pagine(f, "MovPnTes_DataReg", "leaf");
             ASSERT_FALSE(indice.isEmpty());
             DanniDb::Sovrascrivi(f, indice[0], 0, DanniDb::DimensionePagina(f), '\x5a');
         },
         {}, QStringLiteral("Le %1 tabelle: tutte le righe salvate").arg(kTabelleAzienda)},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        TearDown();
        SetUp();
        AziendaConRighe(file);
        caso.danneggia(file);

        ASSERT_EQ(ggUtil().RiparaDb(file), 0) << FileNellaCartella().join(", ").toStdString();

        ASSERT_EQ(dialoghi->mostrati.size(), 1);
        const QStringList box = dialoghi->mostrati[0].testo.split('\n');
        const qsizetype resto = box.indexOf(caso.resto);
        ASSERT_GE(resto, 1) << box.join('\n').toStdString();
        // Between the title and the line of the rest, one line per table named, in the file's order.
        QStringList nominate;
        for (qsizetype i = 1; i < resto; ++i)
            if (box[i] != QLatin1String("Tabelle con righe perse o sospette, o con la definizione ripristinata:"))
                nominate << box[i].section(QLatin1Char(':'), 0, 0);
        EXPECT_EQ(nominate, caso.nominate) << box.join('\n').toStdString();
        EXPECT_EQ(box.contains("Tabelle con righe perse o sospette, o con la definizione ripristinata:"), !caso.nominate.isEmpty());
    }
}

// Where a value stops fitting its column: what the program reads (empty
// dates, blanks in a number, dates with a time, any amount, any text in a
// text column) is saved; what it cannot read is told as suspicious by its
// key and left out.
TEST_F(RecuperoDbTest, ValuesThatDoNotFitTheirColumnMakeTheRowSuspicious) {
    const struct {
        const char* nome;
        const char* colonne;
        const char* valori;
        bool sospetta;
    } casi[] = {
        {"data vuota", "DataReg", "''", false},
        {"data con l'ora", "DataReg", "'2024-03-01 10:30:00'", false},
        {"importo grande", "Importo", "1e14", false},
        {"resto di una somma", "Importo", "1e-17", false},
        {"importo di spazi", "Importo", "' '", false},
        {"testo su due righe", "Descrizione", "'riga uno' || char(13, 10) || 'riga due'", false},
        {"numero negativo", "NumProt", "-5", false},
        {"data inesistente", "DataReg", "'2024-02-30'", true},
        {"data scritta come numero", "DataReg", "20240101", true},
        {"data con altro in coda", "DataReg", "'2018-03yB'", true},
        {"testo non UTF-8", "Descrizione", "CAST(x'323031382d3033bd' AS TEXT)", false},
        {"carattere di controllo", "Descrizione", "'a' || char(1) || 'b'", false},
        {"dati binari", "Descrizione", "x'00ff'", false},
        {"SMALLINT oltre 16 bit", "AnnoIva", "40000", true},
        {"INTEGER oltre 32 bit", "NumProt", "5000000000", true},
        {"INTEGER con decimali", "NumProt", "2.5", false},
        {"importo enorme", "Importo", "1.284e23", false},
        {"importo quasi zero", "Importo", "1e-200", false},
        {"testo in una colonna di numeri", "Importo", "'abc'", true},
    };
    FixtureDb::CreaDatabase(file, QStringLiteral("azienda.sql"));
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    int numReg = 0;
    QStringList attese, salvate;
    for (const auto& caso : casi) {
        ++numReg;
        const QString sql = QStringLiteral("INSERT INTO MovPnTes (Anno, NumReg, %1) VALUES (2024, %2, %3)")
                                .arg(caso.colonne)
                                .arg(numReg)
                                .arg(caso.valori);
        ASSERT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK)
            << caso.nome << ": " << sqlite3_errmsg(db);
        (caso.sospetta ? attese : salvate) << QString::number(numReg);
    }
    sqlite3_close(db);
    // As the work leaves a file it met damage in: its pages are whole here,
    // and an unmarked whole file is taken as recovered already.
    segnaDaVerificare(file, "pagina danneggiata");

    ASSERT_EQ(ggUtil().RiparaDb(file), 0) << FileNellaCartella().join(", ").toStdString();

    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    const QString testo = dialoghi->mostrati[0].testo;
    QStringList nominate;
    const QRegularExpression chiave(QStringLiteral("^MovPnTes: Anno 2024, NumReg (\\d+)$"));
    for (const QString& riga : testo.split('\n'))
        if (const QRegularExpressionMatch m = chiave.match(riga); m.hasMatch()) nominate << m.captured(1);
    numReg = 0;
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        const QString n = QString::number(++numReg);
        EXPECT_EQ(nominate.contains(n), caso.sospetta) << testo.toStdString();
        EXPECT_EQ(Valori(file, "SELECT count(*) FROM MovPnTes WHERE NumReg = " + n), QStringList{caso.sospetta ? "0" : "1"});
    }
    EXPECT_TRUE(testo.contains(QStringLiteral("\nMovPnTes: %1 righe salvate, %2 sospette, 0 perse\n")
                                   .arg(salvate.size())
                                   .arg(attese.size())))
        << testo.toStdString();
}

}  // namespace
