#include "components/util/Percorsi.h"
#include "components/util/UtilGenerali.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const UtilGenerali u;

// Points the drive root at a fresh folder for the test and restores it after.
class RadiceProva : public ::testing::Test {
protected:
    void SetUp() override {
        precedente_ = qgetenv(VariabileRadiceUnita);
        ASSERT_TRUE(dir_.isValid());
        qputenv(VariabileRadiceUnita, dir_.path().toUtf8());
    }
    void TearDown() override {
        if (precedente_.isNull()) qunsetenv(VariabileRadiceUnita);
        else qputenv(VariabileRadiceUnita, precedente_);
    }
    QString radice() const { return QDir(dir_.path()).canonicalPath(); }
    void creaFile(const QString& relativo) {
        const QString p = dir_.path() + "/" + relativo;
        QDir().mkpath(QFileInfo(p).path());
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QTemporaryDir dir_;
    QByteArray precedente_;
};
}  // namespace

TEST_F(RadiceProva, WindowsPathsMapUnderTheRoot) {
    const QString r = dir_.path();
    EXPECT_EQ(PercorsoLocale("C:\\Dati\\x.ini"), r + "/c/Dati/x.ini");
    EXPECT_EQ(PercorsoLocale("d:Archivio"), r + "/d/Archivio");
    EXPECT_EQ(PercorsoLocale("\\\\server\\share\\x.txt"), r + "/unc/server/share/x.txt");
    EXPECT_EQ(PercorsoLocale("C:\\Dati\\"), r + "/c/Dati/");
    EXPECT_EQ(PercorsoLocale("sub\\a.txt"), "sub/a.txt");
    EXPECT_EQ(PercorsoLocale("/etc/nessuno/x"), "/etc/nessuno/x");
    EXPECT_EQ(PercorsoLocale("  "), "");
}

TEST_F(RadiceProva, PartsAreFoundWithoutRegardToCase) {
    creaFile("c/Dati/Main.ini");
    EXPECT_EQ(PercorsoLocale("c:\\DATI\\MAIN.INI"), dir_.path() + "/c/Dati/Main.ini");
    EXPECT_EQ(PercorsoLocale("C:\\dati\\Altro\\x.ini"), dir_.path() + "/c/Dati/Altro/x.ini");
    EXPECT_TRUE(u.EsisteFile("C:\\dati\\main.ini"));
    EXPECT_FALSE(u.EsisteFile("C:\\Dati"));  // a folder is not a file
    EXPECT_FALSE(u.EsisteFile("C:\\Dati\\manca.ini"));
    EXPECT_FALSE(u.EsisteFile(""));
}

TEST_F(RadiceProva, WindowsAndTempFolders) {
    creaFile("c/Windows/qor.ini");
    EXPECT_TRUE(u.EsisteFile(u.CartellaWindows() + "\\qor.ini"));
    EXPECT_TRUE(QFileInfo(u.CartellaTemp()).isDir());
}

TEST(Percorsi, ComponiPercorso) {
    struct Caso { const char* file; const char* unita; const char* cartella; const char* atteso; };
    const Caso casi[] = {
        {"", "C:", "Dati", "C:\\Dati"},
        {"", "C:\\", "\\Dati\\", "C:\\Dati\\"},
        {"LiqIvaTest.gif", "C:", "Img", "C:\\Img\\LiqIvaTest.gif"},
        {"LiqIvaTest.gif", "", "", "LiqIvaTest.gif"},
        {"", "", "", ""},
        {"", "\\", "", "\\"},
        {"", "C:", "", "C:"},
        {"", "C:", "D:\\Altro", "D:\\Altro"},
        {"a.gif", "C:", "\\\\srv\\img", "\\\\srv\\img\\a.gif"},
        {"a.gif", "/srv", "img", "/srv/img/a.gif"},
        {" a.gif ", " C: ", " Img ", "C:\\Img\\a.gif"},
    };
    for (const auto& c : casi)
        EXPECT_EQ(u.ComponiPercorso(c.file, c.unita, c.cartella), QString::fromUtf8(c.atteso))
            << c.file << "|" << c.unita << "|" << c.cartella;
}

TEST(Percorsi, SistemaEUnisciPercorso) {
    struct Caso { const char* in; const char* atteso; };
    const Caso casi[] = {
        {"C:\\stunnel\\", "C:\\stunnel"}, {"C:\\Dati\\\\out\\x.pdf", "C:\\Dati\\out"}, {"x.pdf", ""},
        {"C:\\x.pdf", "C:\\"},            {"C:\\", "C:\\"},                            {"", ""},
        {"/nessuno//a/", "/nessuno/a"},   {"/x.pdf", "/"},  {"\\\\srv\\share\\x.pdf", "\\\\srv\\share"},
    };
    for (const auto& c : casi) EXPECT_EQ(u.SistemaPercorso(c.in), QString::fromUtf8(c.atteso)) << c.in;
    const QString temp = QDir::tempPath();
    EXPECT_EQ(u.SistemaPercorso(temp), temp);

    EXPECT_EQ(u.UnisciPercorso("C:\\Dati", "*.*"), "C:\\Dati\\*.*");
    EXPECT_EQ(u.UnisciPercorso("C:\\Dati\\", "*.*"), "C:\\Dati\\*.*");
    EXPECT_EQ(u.UnisciPercorso("/tmp", "*.*"), "/tmp/*.*");
    EXPECT_EQ(u.UnisciPercorso("", "*.*"), "*.*");
}
