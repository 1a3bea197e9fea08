#include "components/db/GestoreDb.h"
#include "components/db/UsoDb.h"
#include "components/db/VerificaDb.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "support/DanniDb.h"
#include "support/Fixture.h"
#include "support/NumeroErrore.h"

#include <QDir>
#include <QFile>
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

// A company file with enough rows that its two movement tables span many
// pages: 600 heads and 600 lines, and one currency.
void AziendaConRighe(const QString& file) {
    FixtureDb::CreaDatabase(file, QStringLiteral("azienda.sql"));
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    QByteArray sql = "BEGIN; INSERT INTO Monete (Moneta, NumDec) VALUES ('Euro', 3);";
    for (int i = 1; i <= 600; ++i)
        sql += QStringLiteral("INSERT INTO MovPnTes (Anno, NumReg, Causale, Descrizione, DataReg, DataDoc, NumDoc) "
                              "VALUES (2024, %1, 'FV', 'Fattura di vendita numero %1', '2024-01-01', '2024-%2-02', 'N%1');"
                              "INSERT INTO MovPnDett (Anno, NumReg, RigReg, Importo) VALUES (2024, %1, 1, %1.5);")
                   .arg(i)
                   .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
                   .toUtf8();
    ASSERT_EQ(sqlite3_exec(db, sql + "COMMIT;", nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
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
enum class Sorte { Intera, SenzaUnaPagina, Assente };

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
         Sorte::SenzaUnaPagina, Sorte::Intera},
        {"definizione di una tabella illeggibile", [](const QString& f) { DanniDb::AlteraDefinizione(f, "MovPnDett"); },
         Sorte::Intera, Sorte::Assente},
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

        QStringList righeAttese;
        for (const auto& [tabella, sorte] : {std::pair{QStringLiteral("MovPnTes"), caso.movPnTes},
                                             std::pair{QStringLiteral("MovPnDett"), caso.movPnDett}}) {
            SCOPED_TRACE(tabella.toStdString());
            const QStringList numeri = Valori(file, QStringLiteral("SELECT NumReg FROM %1 ORDER BY NumReg").arg(tabella));
            switch (sorte) {
            case Sorte::Intera:
                EXPECT_EQ(numeri.size(), 600);
                righeAttese << tabella + ": 600 righe salvate, 0 perse";
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
                break;
            }
            case Sorte::Assente:
                EXPECT_TRUE(Valori(file, QStringLiteral("SELECT name FROM sqlite_master WHERE name = '%1'").arg(tabella))
                                .isEmpty());
                righeAttese << tabella + ": definizione illeggibile, tabella non recuperata (600 righe perse)";
                break;
            }
        }
        // The indexes of the saved tables are there again.
        if (caso.movPnTes != Sorte::Assente)
            EXPECT_EQ(Valori(file, "SELECT count(*) FROM sqlite_master WHERE name LIKE 'MovPnTes\\_Data%' ESCAPE '\\'"),
                      QStringList{"2"});

        ASSERT_EQ(dialoghi->mostrati.size(), 1) << dialoghi->testi().join("\n").toStdString();
        const QStringList box = dialoghi->mostrati[0].testo.split('\n');
        EXPECT_EQ(box.first(), "Il database " + file + " è stato recuperato.");
        for (const QString& riga : righeAttese) EXPECT_TRUE(box.contains(riga)) << riga.toStdString() << "\n" << box.join('\n').toStdString();
        EXPECT_TRUE(box.contains("Monete: 1 riga salvata, 0 perse")) << box.join('\n').toStdString();
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
    EXPECT_TRUE(box.contains("MovPnTes: 600 righe salvate, 0 perse")) << box.join('\n').toStdString();
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
        {"nulla da leggere", [](const QString& f) {
             AziendaConRighe(f);
             DanniDb::Sovrascrivi(f, 1, 100, DanniDb::DimensionePagina(f) - 100, '\x5a');
         }},
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
        // The page that holds the list of tables, past the file's header.
        {"elenco delle tabelle illeggibile", [](const QString& f) {
             AziendaConRighe(f);
             DanniDb::Sovrascrivi(f, 1, 100, DanniDb::DimensionePagina(f) - 100, '\x5a');
         }},
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

}  // namespace
