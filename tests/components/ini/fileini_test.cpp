#include "components/ini/FileIni.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class FileIniTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString percorso(const QString& nome = QStringLiteral("qorwin.ini")) const { return dir.filePath(nome); }
    QString crea(const QByteArray& dati, const QString& nome = QStringLiteral("qorwin.ini")) const {
        QFile f(percorso(nome));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(dati);
        return f.fileName();
    }
    QByteArray contenuto(const QString& nome = QStringLiteral("qorwin.ini")) const {
        QFile f(percorso(nome));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<assente>");
    }
};

TEST_F(FileIniTest, ReadsAsProfileFiles) {
    struct Caso { const char* nome; QByteArray file; const char* sezione; const char* chiave; std::optional<QString> atteso; };
    const Caso casi[] = {
        {"names ignore case", "[Base]\r\nDirDB=C:\\Dati\r\n", "BASE", "dirdb", QStringLiteral("C:\\Dati")},
        {"first key wins", "[A]\nk=1\nK=2\n", "A", "k", QStringLiteral("1")},
        {"first section wins", "[A]\nk=1\n[a]\nk=2\nj=3\n", "a", "j", std::nullopt},
        {"empty value", "[A]\nk=\n", "A", "k", QString()},
        {"missing key", "[A]\nk=\n", "A", "z", std::nullopt},
        {"missing section", "[A]\nk=1\n", "B", "k", std::nullopt},
        {"blanks trimmed, comma kept", "[LiqIva]\n  SpostaX =  202,18  \n", "LiqIva", "SpostaX", QStringLiteral("202,18")},
        {"value keeps '=', loses its quotes", "[A]\nk=\"a=b\"\n", "A", "k", QStringLiteral("a=b")},
        {"quoted path", "[A]\nk = \"C:\\Programmi\\Dati\\ \"  \n", "A", "k", QStringLiteral("C:\\Programmi\\Dati\\ ")},
        {"single quotes", "[A]\nk='L''Ancora'\n", "A", "k", QStringLiteral("L''Ancora")},
        {"empty quotes", "[A]\nk=\"\"\n", "A", "k", QString()},
        {"quotes that do not match stay", "[A]\nk=\"a'\n", "A", "k", QStringLiteral("\"a'")},
        {"quotes inside stay", "[A]\nk=a \"b\" c\n", "A", "k", QStringLiteral("a \"b\" c")},
        {"a lone quote stays", "[A]\nk=\"\n", "A", "k", QStringLiteral("\"")},
        {"comment is no key", "[A]\n;k=1\n", "A", ";k", std::nullopt},
        {"key before any section", "k=1\n[A]\n", "A", "k", std::nullopt},
        {"section header with blanks", "  [ A ]  \nk=1", "A", "k", QStringLiteral("1")},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[A]\nk=\xC2\xA7\xC3\xA8\n", "A", "k", QStringLiteral("§è")},
        {"Windows-1252", "[A]\nk=\xA7\xE8\x80\n", "A", "k", QStringLiteral("§è€")},
    };
    for (const auto& c : casi) {
        crea(c.file);
        EXPECT_EQ(FileIni(percorso()).leggi(QString::fromUtf8(c.sezione), QString::fromUtf8(c.chiave)), c.atteso)
            << c.nome;
    }
    EXPECT_EQ(FileIni(percorso(QStringLiteral("assente.ini"))).leggi("A", "k"), std::nullopt);
}

TEST_F(FileIniTest, WritesOnlyWhatChanges) {
    using Op = std::function<bool(FileIni&)>;
    struct Caso { const char* nome; QByteArray prima; Op op; bool ok; QByteArray dopo; };
    const Caso casi[] = {
        {"value replaced in place, rest kept byte for byte",
         "; intestazione\r\n[Base]\r\nDirDB = C:\\Vecchio\r\n\r\n[Altro]\r\n; nota\r\nx=1\r\n",
         [](FileIni& f) { return f.scrivi("BASE", "dirdb", "D:\\Nuovo"); }, true,
         "; intestazione\r\n[Base]\r\nDirDB = D:\\Nuovo\r\n\r\n[Altro]\r\n; nota\r\nx=1\r\n"},
        {"new key at the end of its section, before blank lines",
         "[A]\nx=1\n\n\n[B]\ny=2\n", [](FileIni& f) { return f.scrivi("a", "Nuova", "202,18"); }, true,
         "[A]\nx=1\nNuova=202,18\n\n\n[B]\ny=2\n"},
        {"new section at the end, last line completed",
         "[A]\nx=1", [](FileIni& f) { return f.scrivi("B", "k", "v"); }, true, "[A]\nx=1\n[B]\nk=v\n"},
        {"duplicate key: the first is written",
         "[A]\nk=1\nk=2\n", [](FileIni& f) { return f.scrivi("A", "K", "3"); }, true, "[A]\nk=3\nk=2\n"},
        {"Windows-1252 file stays Windows-1252",
         "[A]\nk=\xA7 vecchio\n", [](FileIni& f) { return f.scrivi("A", "j", "§ è"); }, true,
         "[A]\nk=\xA7 vecchio\nj=\xA7 \xE8\n"},
        {"UTF-8 file stays UTF-8",
         "[A]\nk=\xC3\xA8\n", [](FileIni& f) { return f.scrivi("A", "k", "§"); }, true, "[A]\nk=\xC2\xA7\n"},
        {"key deleted, duplicates too",
         "[A]\nk=1\nj=2\nK=3\n[B]\nk=4\n", [](FileIni& f) { return f.cancellaChiave("a", "k"); }, true,
         "[A]\nj=2\n[B]\nk=4\n"},
        {"section deleted, duplicates too",
         "; c\n[A]\nk=1\n\n[B]\nj=2\n[a]\nm=3\n", [](FileIni& f) { return f.cancellaSezione("A"); }, true,
         "; c\n[B]\nj=2\n"},
        {"nothing to delete",
         "[A]\nk=1\n", [](FileIni& f) { return f.cancellaChiave("A", "z") && f.cancellaSezione("Z"); }, true,
         "[A]\nk=1\n"},
        {"character the Windows-1252 file cannot hold",
         "[A]\nk=\xE8\n", [](FileIni& f) { return f.scrivi("A", "k", QStringLiteral("Ω")); }, false, "[A]\nk=\xE8\n"},
        {"line break in a value would inject a key",
         "[A]\nk=1\n", [](FileIni& f) { return f.scrivi("A", "k", "x\r\n[B]\nj=2"); }, false, "[A]\nk=1\n"},
        {"'=' in a key", "[A]\nk=1\n", [](FileIni& f) { return f.scrivi("A", "a=b", "x"); }, false, "[A]\nk=1\n"},
    };
    for (const auto& c : casi) {
        crea(c.prima);
        FileIni f(percorso());
        EXPECT_EQ(c.op(f), c.ok) << c.nome;
        EXPECT_EQ(contenuto(), c.dopo) << c.nome;
    }
}

TEST_F(FileIniTest, WriteIsReadBackAtOnceAndCreatesTheFile) {
    FileIni f(percorso(QStringLiteral("nuovo.ini")));
    EXPECT_TRUE(f.cancellaChiave("A", "k"));  // absent file: nothing to delete, nothing created
    EXPECT_FALSE(QFile::exists(f.percorso()));
    ASSERT_TRUE(f.scrivi("Base", "DirCaDi", "C:\\CaDi"));
    EXPECT_EQ(contenuto(QStringLiteral("nuovo.ini")), "[Base]\r\nDirCaDi=C:\\CaDi\r\n");
    ASSERT_TRUE(f.scrivi("Base", "DirCaDi", ""));
    EXPECT_EQ(f.leggi("base", "dircadi"), QString());
    ASSERT_TRUE(ScriviIniProfilo("Base", QStringLiteral("DirCaDi"), std::nullopt, f.percorso()));
    EXPECT_EQ(f.leggi("Base", "DirCaDi"), std::nullopt);
    ASSERT_TRUE(ScriviIniProfilo("Base", std::nullopt, QStringLiteral("ignorato"), f.percorso()));
    EXPECT_EQ(contenuto(QStringLiteral("nuovo.ini")), "");

    EXPECT_FALSE(FileIni(dir.filePath("manca/x.ini")).scrivi("A", "k", "v"));
}

TEST_F(FileIniTest, UtilityReads) {
    crea("[A]\nk=valore\nvuota=\nsolo=main\nn=12x\n", "main.ini");
    crea("[A]\nk=comune\nvuota=dal db\ndb=\xA7\xE8\n", "db.ini");
    const QString m = percorso("main.ini"), d = percorso("db.ini");
    struct Caso { const char* chiave; QString db; int conta; QString valore; };
    const Caso casi[] = {
        {"k", d, 6, "valore"},          // both hold it: the main file wins
        {"vuota", d, 6, "dal db"},      // empty in the main file: the database file gives it
        {"db", d, 2, "§è"},             // only in the database file, count in characters
        {"vuota", QString(), 0, ""},    // present but empty: no default
        {"manca", d, 0, "predef"},      // absent from both: the default
    };
    for (const auto& c : casi) {
        QString v = "x";
        EXPECT_EQ(LeggiIni("a", c.chiave, "predef", v, m, c.db), c.conta) << c.chiave;
        EXPECT_EQ(v, c.valore) << c.chiave;
    }

    QString v;
    EXPECT_EQ(LeggiIniFile("A", "solo", "", v, m), 4);
    EXPECT_EQ(LeggiIniFile("A", "vuota", "p", v, m), 0);
    EXPECT_EQ(v, "");
    EXPECT_EQ(LeggiIniFile("A", "manca", "p", v, m), 0);
    EXPECT_EQ(v, "p");

    EXPECT_EQ(LeggiIniIntero("A", "n", 7, m), 12);
    EXPECT_EQ(LeggiIniIntero("A", "k", 7, m), 0);
    EXPECT_EQ(LeggiIniIntero("A", "vuota", 7, m), 7);
    EXPECT_EQ(LeggiIniIntero("A", "manca", 7, m), 7);
}

}  // namespace

TEST_F(FileIniTest, TwoProcessesWritingOneFileKeepEveryKey) {
    crea("; impostazioni condivise\r\n[Comune]\r\nPrima=1\r\n");
    constexpr int kChiavi = 150;
    // Both writers wait on the pipe, so that they start together.
    int via[2];
    ASSERT_EQ(::pipe(via), 0);
    pid_t figli[2];
    for (int n = 0; n < 2; ++n) {
        figli[n] = ::fork();
        ASSERT_GE(figli[n], 0);
        if (figli[n] == 0) {
            ::close(via[1]);
            char c;
            (void)!::read(via[0], &c, 1);
            FileIni f(percorso());
            int falliti = 0;
            for (int i = 0; i < kChiavi; ++i)
                if (!f.scrivi(n == 0 ? "Comune" : "Terminale", QStringLiteral("Chiave%1").arg(i),
                              QStringLiteral("processo %1").arg(n)))
                    ++falliti;
            ::_exit(falliti == 0 ? 0 : 1);
        }
    }
    ::close(via[0]);
    ::close(via[1]);
    for (pid_t figlio : figli) {
        int stato = 0;
        ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
        EXPECT_TRUE(WIFEXITED(stato) && WEXITSTATUS(stato) == 0) << "a write failed";
    }
    FileIni f(percorso());
    int mancanti = 0;
    for (int i = 0; i < kChiavi; ++i) {
        if (f.leggi("Comune", QStringLiteral("Chiave%1").arg(i)) != QStringLiteral("processo 0")) ++mancanti;
        if (f.leggi("Terminale", QStringLiteral("Chiave%1").arg(i)) != QStringLiteral("processo 1")) ++mancanti;
    }
    EXPECT_EQ(mancanti, 0);
    EXPECT_EQ(f.leggi("Comune", "Prima"), QStringLiteral("1"));
    EXPECT_TRUE(contenuto().startsWith("; impostazioni condivise\r\n[Comune]\r\nPrima=1\r\n"));
    EXPECT_FALSE(QFile::exists(percorso() + ".lock"));  // the turn is given back
}

TEST_F(FileIniTest, ALockLeftByAProcessThatDiedDoesNotBlockWrites) {
    crea("[A]\r\nk=1\r\n");
    const pid_t figlio = ::fork();
    ASSERT_GE(figlio, 0);
    if (figlio == 0) {
        QLockFile blocco(percorso() + ".lock");
        blocco.tryLock(0);
        ::_exit(0);  // ends holding it: the lock file stays behind
    }
    int stato = 0;
    ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
    ASSERT_TRUE(QFile::exists(percorso() + ".lock"));
    EXPECT_TRUE(FileIni(percorso()).scrivi("A", "k", "2"));
    EXPECT_EQ(contenuto(), "[A]\r\nk=2\r\n");
}

TEST_F(FileIniTest, AWritableFileInAReadOnlyFolderIsWrittenInPlace) {
    if (::geteuid() == 0) GTEST_SKIP() << "the super-user writes in any folder";
    const QString cartella = dir.filePath("solalettura");
    ASSERT_TRUE(QDir().mkdir(cartella));
    const QString file = cartella + "/qorwin.ini";
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Base]\r\nDirDB=C:\\Dati\r\n");
    }
    ASSERT_TRUE(QFile::setPermissions(cartella, QFile::ReadOwner | QFile::ExeOwner));
    FileIni f(file);
    const bool scritto = f.scrivi("Base", "DirImmagini", "C:\\Immagini");
    const bool cancellato = f.cancellaChiave("Base", "DirDB");
    const auto letto = f.leggi("Base", "DirImmagini");
    const bool altri = QDir(cartella).entryList(QDir::Files).size() == 1;  // no lock or temporary file left
    QFile::setPermissions(cartella, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(scritto);
    EXPECT_TRUE(cancellato);
    EXPECT_EQ(letto, QStringLiteral("C:\\Immagini"));
    EXPECT_TRUE(altri);
    QFile g(file);
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    EXPECT_EQ(g.readAll(), "[Base]\r\nDirImmagini=C:\\Immagini\r\n");
}
