// The recovery acts on the database file itself, whatever name it is asked
// through, and whoever of the users of a shared folder asks for it.
#include "components/db/GestoreDb.h"
#include "components/db/VerificaDb.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "support/AltroUtente.h"
#include "support/DanniDb.h"
#include "support/Fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using DanniDb::Valori;

QByteArray Contenuto(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Esegui(const QString& file, const char* sql, bool lasciaIlRegistro = false) {
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    // The write-ahead log stays as a program killed after its commit leaves it.
    if (lasciaIlRegistro) sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// A company file whose movement tables span many pages, one of them damaged
// where only a read of the whole file finds it.
void AziendaDanneggiata(const QString& file) {
    FixtureDb::CreaDatabase(file, QStringLiteral("azienda.sql"));
    QByteArray sql = "BEGIN;";
    for (int i = 1; i <= 400; ++i)
        sql += QStringLiteral("INSERT INTO MovPnTes (Anno, NumReg, Causale, Descrizione, DataReg, DataDoc, NumDoc) "
                              "VALUES (2024, %1, 'FV', 'Fattura di vendita numero %1', '2024-01-01', '2024-%2-02', 'N%1');")
                   .arg(i)
                   .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
                   .toUtf8();
    ASSERT_TRUE(Esegui(file, sql + "COMMIT;"));
    DanniDb::DanneggiaRadice(file, "MovPnTes_DataDoc");
}

class RecuperoPercorsiTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialoghi = std::make_shared<DialoghiScriptati>();
        auto c = std::make_shared<Contesto>();
        c->ggDialoghi = dialoghi;
        ImpostaContesto(c);
        umaskPrima = ::umask(022);
        // The other users reach the folders of the test.
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    }
    void TearDown() override {
        ::umask(umaskPrima);
        ImpostaContesto(nullptr);
    }
    // A folder every user of the share may write, as a shared one is.
    QString Cartella(const QString& nome) const {
        const QString c = dir.filePath(nome);
        QDir().mkpath(c);
        ::chmod(QFile::encodeName(c).constData(), 0777);
        return c;
    }
    QStringList FileIn(const QString& cartella) const {
        return QDir(cartella).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QTemporaryDir dir;
    std::shared_ptr<DialoghiScriptati> dialoghi;
    mode_t umaskPrima = 022;
};

// The company file named through a link (a folder of links, a path the
// administrator set): the real file is recovered, the rows its write-ahead
// log holds (a send just marked) with it, and the link stays a link to it.
TEST_F(RecuperoPercorsiTest, ThroughALinkTheRealFileIsRecoveredAndTheLinkStays) {
    struct Caso {
        const char* nome;
        // Makes the name the recovery is asked through; returns it.
        std::function<QString(const QString& reale, const QString& collegamenti)> collega;
    } casi[] = {
        {"collegamento in una cartella di collegamenti",
         [](const QString& reale, const QString& collegamenti) {
             const QString l = collegamenti + "/azienda.db";
             QFile::link(reale, l);
             return l;
         }},
        {"collegamento relativo a un altro collegamento",
         [](const QString& reale, const QString& collegamenti) {
             QFile::link(reale, collegamenti + "/primo.db");
             const QString l = collegamenti + "/azienda.db";
             ::symlink("primo.db", QFile::encodeName(l).constData());
             return l;
         }},
    };
    int n = 0;
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        dialoghi->mostrati.clear();
        const QString dati = Cartella(QStringLiteral("dati%1").arg(n));
        const QString collegamenti = Cartella(QStringLiteral("collegamenti%1").arg(n++));
        const QString reale = dati + "/azienda.db";
        AziendaDanneggiata(reale);
        ASSERT_TRUE(Esegui(reale,
                           "INSERT INTO DatiFatTest (AnnoCom, NumCom, AnnoReg, NumReg, Tipo, Stato, NumInv, Progr, NomeFile) "
                           "VALUES (2024, 1, 2024, 7, 'E', 'N', 3, 1, '00003')",
                           true));
        ASSERT_GT(QFileInfo(reale + "-wal").size(), 0);
        segnaDaVerificare(reale, "pagina danneggiata");
        const QString nome = k.collega(reale, collegamenti);
        const QStringList collegamentiPrima = FileIn(collegamenti);

        ASSERT_EQ(ggUtil().RiparaDb(nome), 0);

        EXPECT_TRUE(QFileInfo(nome).isSymLink());
        EXPECT_EQ(QFileInfo(nome).canonicalFilePath(), reale);
        EXPECT_EQ(FileIn(collegamenti), collegamentiPrima);
        EXPECT_EQ(Valori(reale, "SELECT NumInv || ' ' || NomeFile FROM DatiFatTest"), QStringList{"3 00003"});
        EXPECT_EQ(Valori(reale, "SELECT count(*) FROM MovPnTes"), QStringList{"400"});
        EXPECT_FALSE(daVerificare(reale));
        EXPECT_EQ(FileIn(dati).filter(QRegularExpression("^azienda-danneggiato-[0-9-]+\\.db$")).size(), 1)
            << FileIn(dati).join(", ").toStdString();
        ASSERT_EQ(dialoghi->mostrati.size(), 1);
        EXPECT_TRUE(dialoghi->testi().join("\n").startsWith("Il database " + reale + " è stato recuperato."))
            << dialoghi->testi().join("\n").toStdString();
        // Through the link the recovered file opens without a whole check asked again.
        GestoreDb g;
        const QString id = g.ApriDatabase(nome);
        EXPECT_EQ(g.DatabaseDaId(id)->File(), reale);
    }
}

// A session open on one name of the file keeps a recovery asked through
// another name out: a second hard name, a link, and the other way round.
TEST_F(RecuperoPercorsiTest, ASessionOnAnyNameOfTheFileKeepsTheRecoveryOut) {
    struct Caso {
        const char* nome;
        bool fisico;            // a second hard name, else a symbolic link
        bool sessioneSulSecondo;  // the session on the second name, the recovery on the first
    } casi[] = {
        {"sessione sul secondo nome fisico", true, true},
        {"sessione sul primo nome, recupero dal secondo nome fisico", true, false},
        {"sessione sul collegamento", false, true},
        {"recupero dal collegamento", false, false},
    };
    int n = 0;
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        const QString cartella = Cartella(QStringLiteral("c%1").arg(n++));
        const QString primo = cartella + "/azienda.db";
        const QString secondo = cartella + "/altro-nome.db";
        AziendaDanneggiata(primo);
        if (k.fisico) ASSERT_EQ(::link(QFile::encodeName(primo).constData(), QFile::encodeName(secondo).constData()), 0);
        else ASSERT_TRUE(QFile::link(primo, secondo));
        GestoreDb sessione;
        const QString id = sessione.ApriDatabase(k.sessioneSulSecondo ? secondo : primo);
        const QStringList prima = FileIn(cartella);
        const QByteArray contenuto = Contenuto(primo);

        EXPECT_EQ(ggUtil().RiparaDb(k.sessioneSulSecondo ? primo : secondo), NumErroreDb::FileInUso);
        EXPECT_EQ(FileIn(cartella), prima);
        EXPECT_EQ(Contenuto(primo), contenuto);
        sessione.EseguiSql(id, "INSERT INTO Monete (Moneta, NumDec) VALUES ('Lira', 0)");
        sessione.ChiudiDatabase(id);
        EXPECT_EQ(Valori(primo, "SELECT Moneta FROM Monete"), QStringList{"Lira"});
    }
}

// A file with a second hard name is not recovered: the new file would take
// one name only, and the other would go on naming the damaged original.
// An opening at the moment of the swap finds a file at the name, old or new,
// never none: the recovered file replaces the original in one rename.
TEST_F(RecuperoPercorsiTest, TheNameNeverStandsEmptyDuringTheSwap) {
    const QString cartella = Cartella("scambio");
    const QString file = cartella + "/azienda.db";
    AziendaDanneggiata(file);
    const int coda = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(coda, 0);
    ASSERT_GE(::inotify_add_watch(coda, QFile::encodeName(cartella).constData(), IN_MOVED_FROM | IN_DELETE), 0);
    ASSERT_EQ(ggUtil().RiparaDb(file), 0);
    QStringList via;
    alignas(inotify_event) char buffer[64 * 1024];
    for (ssize_t n; (n = ::read(coda, buffer, sizeof buffer)) > 0;)
        for (char* p = buffer; p < buffer + n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(p);
            if (e->len) via << QString::fromUtf8(e->name);
            p += sizeof(inotify_event) + e->len;
        }
    ::close(coda);
    EXPECT_FALSE(via.contains("azienda.db")) << via.join(", ").toStdString();
    EXPECT_TRUE(Valori(file, "SELECT COUNT(*) FROM MovPnTes").value(0).toInt() > 0);
}

TEST_F(RecuperoPercorsiTest, AFileWithTwoHardNamesIsLeftAsItIs) {
    const QString cartella = Cartella("c");
    const QString primo = cartella + "/azienda.db";
    AziendaDanneggiata(primo);
    ASSERT_EQ(::link(QFile::encodeName(primo).constData(), QFile::encodeName(cartella + "/copia.db").constData()), 0);
    const QByteArray contenuto = Contenuto(primo);
    QString motivo;
    EXPECT_NE(ggUtil().RiparaDb(primo, &motivo), 0);
    // The user is told what to do: only the user can take the second name away.
    EXPECT_TRUE(motivo.contains("2 nomi")) << motivo.toStdString();
    EXPECT_EQ(FileIn(cartella), (QStringList{"azienda.db", "copia.db"}));
    EXPECT_EQ(Contenuto(primo), contenuto);
}

// Users of one shared folder open and close the file in turn; with nobody on
// it, any of them recovers it, whatever an older version left beside it.
TEST_F(RecuperoPercorsiTest, WithNobodyOnTheFileAnyUserRecoversIt) {
    using AltroUtente::Come;
    struct Caso {
        const char* nome;
        std::function<void(const QString& file)> prima;
    } casi[] = {
        // A opens, B opens, A closes while B has it, B closes.
        {"due utenti hanno aperto e chiuso il file",
         [](const QString& file) {
             GestoreDb a, b;
             QString ia, ib;
             {
                 const Come come(AltroUtente::kA);
                 ia = a.ApriDatabase(file);
             }
             {
                 const Come come(AltroUtente::kB);
                 ib = b.ApriDatabase(file);
             }
             {
                 const Come come(AltroUtente::kA);
                 a.ChiudiDatabase(ia);
             }
             const Come come(AltroUtente::kB);
             b.ChiudiDatabase(ib);
         }},
        // The lock file of an older version, read-only and another user's.
        {"file di blocco rimasto da una versione precedente",
         [](const QString& file) {
             const QByteArray uso = QFile::encodeName(file + "-uso");
             QFile f(file + "-uso");
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.close();
             ::chmod(uso.constData(), 0444);
             if (AltroUtente::Root()) ASSERT_EQ(::chown(uso.constData(), AltroUtente::kA, AltroUtente::kA), 0);
         }},
    };
    int n = 0;
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        dialoghi->mostrati.clear();
        const QString cartella = Cartella(QStringLiteral("condivisa%1").arg(n++));
        const QString file = cartella + "/azienda.db";
        FixtureDb::CreaDatabase(file, QStringLiteral("azienda.sql"));
        // A file every user of the folder reads and writes, whose readers make nothing beside it.
        ASSERT_TRUE(Esegui(file, "PRAGMA journal_mode=DELETE"));
        ::chmod(QFile::encodeName(file).constData(), 0666);
        k.prima(file);
        DanniDb::DanneggiaRadice(file, "Monete");
        segnaDaVerificare(file, "pagina danneggiata");

        int esito;
        {
            const Come come(AltroUtente::kB);
            esito = ggUtil().RiparaDb(file);
        }
        EXPECT_EQ(esito, 0) << dialoghi->testi().join("\n").toStdString();
        EXPECT_FALSE(daVerificare(file));
        EXPECT_FALSE(QFile::exists(file + "-uso"));
        EXPECT_EQ(FileIn(cartella).filter(QRegularExpression("^azienda-danneggiato-")).size(), 1)
            << FileIn(cartella).join(", ").toStdString();
    }
}

// A user who may read and write the company file but not make files in its
// folder still holds the file while the session lasts: another user's
// recovery is refused until it ends.
TEST_F(RecuperoPercorsiTest, ASessionInAFolderItCannotWriteKeepsTheRecoveryOut) {
    const QString cartella = Cartella("sola-lettura");
    const QString file = cartella + "/azienda.db";
    AziendaDanneggiata(file);
    ASSERT_TRUE(Esegui(file, "PRAGMA journal_mode=DELETE"));
    ::chmod(QFile::encodeName(file).constData(), 0666);
    const QByteArray c = QFile::encodeName(cartella);
    ::chmod(c.constData(), 0555);
    GestoreDb sessione;
    QString id;
    {
        // As root the folder's mode binds only another user's identity.
        const AltroUtente::Come come(AltroUtente::kC);
        id = sessione.ApriDatabase(file);
    }
    // The other user may write the folder.
    ::chmod(c.constData(), 0777);
    const QStringList prima = FileIn(cartella);
    const QByteArray contenuto = Contenuto(file);

    EXPECT_EQ(ggUtil().RiparaDb(file), NumErroreDb::FileInUso);
    EXPECT_EQ(FileIn(cartella), prima);
    EXPECT_EQ(Contenuto(file), contenuto);

    sessione.ChiudiDatabase(id);
    EXPECT_EQ(ggUtil().RiparaDb(file), 0);
}

// A mark that says nothing, or that the user opening the file cannot read,
// is a mark: the whole check runs, and when it passes the mark goes.
TEST_F(RecuperoPercorsiTest, AnEmptyOrUnreadableMarkGoesWhenTheCheckPasses) {
    struct Caso {
        const char* nome;
        QByteArray testo;
        mode_t modo;
    } casi[] = {
        {"segno vuoto", QByteArray(), 0644},
        {"segno illeggibile", "2024-01-01T10:00:00.000 processo 7 pagina danneggiata\n", 0000},
    };
    int n = 0;
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        const QString cartella = Cartella(QStringLiteral("m%1").arg(n++));
        const QString file = cartella + "/azienda.db";
        FixtureDb::CreaDatabase(file, QStringLiteral("azienda.sql"));
        ::chmod(QFile::encodeName(file).constData(), 0666);
        QFile segno(fileSegnoVerifica(file));
        ASSERT_TRUE(segno.open(QIODevice::WriteOnly));
        segno.write(k.testo);
        segno.close();
        ::chmod(QFile::encodeName(segno.fileName()).constData(), k.modo);
        {
            // As root a mode binds only another user's identity.
            const AltroUtente::Come come(AltroUtente::kC);
            GestoreDb g;
            g.ChiudiDatabase(g.ApriDatabase(file));
        }
        EXPECT_FALSE(daVerificare(file)) << FileIn(cartella).join(", ").toStdString();
    }
}

// A damaged file with a mark that says nothing still fails its check.
TEST_F(RecuperoPercorsiTest, AnEmptyMarkOnADamagedFileStillStopsTheOpening) {
    const QString file = Cartella("d") + "/azienda.db";
    AziendaDanneggiata(file);
    QFile segno(fileSegnoVerifica(file));
    ASSERT_TRUE(segno.open(QIODevice::WriteOnly));
    segno.close();
    GestoreDb g;
    try {
        g.ApriDatabase(file);
        ADD_FAILURE() << "aperto";
    } catch (const ErroreRun& e) {
        EXPECT_EQ(e.numero(), NumErrore::FileNonDatabase);
        EXPECT_EQ(e.descrizione(), "Impossibile aprire il database \"" + file + "\": il file è danneggiato.");
    }
    EXPECT_TRUE(daVerificare(file));
}

}  // namespace
