#include "components/ini/FileIni.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

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
        {"value keeps '=' and quotes", "[A]\nk=\"a=b\"\n", "A", "k", QStringLiteral("\"a=b\"")},
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
