#include "components/ini/FileIni.h"
#include "settlement/run/NomiFileLiqIva.h"
#include "contesto/Contesto.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A fresh context whose main settings file holds the given [section] key=value.
class NomiTest : public ::testing::Test {
protected:
    void SetUp() override {
        c = std::make_shared<Contesto>();
        c->gsFileIni = dir.filePath(QStringLiteral("qorwin.ini"));
        ImpostaContesto(c);
    }
    void Ini(const QString& sezione, const QString& chiave, const QString& valore) {
        ASSERT_TRUE(FileIni(c->gsFileIni).scrivi(sezione, chiave, valore));
    }
    QTemporaryDir dir;
    std::shared_ptr<Contesto> c;
};

TEST_F(NomiTest, CartellaEProposta) {
    Ini(QStringLiteral("Base"), QStringLiteral("DriveDB"), QStringLiteral("C:"));
    Ini(QStringLiteral("Base"), QStringLiteral("DirDB"), QStringLiteral("\\DATI\\"));
    EXPECT_EQ(CartellaUscitaLiqIva(), QStringLiteral("C:\\DATI\\"));
    EXPECT_EQ(NomeFileProposto(CartellaUscitaLiqIva(), QStringLiteral("2024"), QStringLiteral("4"), false),
              QStringLiteral("C:\\DATI\\IT§CodFisc§_LI_20244.xml"));
    // DirCaDi wins and is used as written.
    Ini(QStringLiteral("Base"), QStringLiteral("DirCaDi"), QStringLiteral("D:\\Invii"));
    EXPECT_EQ(CartellaUscitaLiqIva(), QStringLiteral("D:\\Invii"));
    EXPECT_EQ(NomeFileProposto(CartellaUscitaLiqIva(), QStringLiteral(" 2025 "), QStringLiteral("1"), true),
              QStringLiteral("D:\\Invii\\IT§CodFisc§_LI_20251.txt"));
}

TEST_F(NomiTest, SenzaCartellaNonScriveNellaRadice) {
    const QString cartella = CartellaUscitaLiqIva();
    EXPECT_EQ(cartella, QDir::homePath());
    EXPECT_EQ(NomeFileProposto(cartella, QStringLiteral("2024"), QStringLiteral("4"), false),
              QDir::homePath() + QStringLiteral("/IT§CodFisc§_LI_20244.xml"));
}

TEST(NomiFile, CartellaDelPercorsoScelto) {
    EXPECT_EQ(CartellaDelPercorso(QStringLiteral("C:\\out\\liq.xml")), QStringLiteral("C:\\out\\"));
    // The folder is not cut at an earlier occurrence of the file's name.
    EXPECT_EQ(CartellaDelPercorso(QStringLiteral("/tmp/liq.xml/x/liq.xml")), QStringLiteral("/tmp/liq.xml/x/"));
    EXPECT_EQ(CartellaDelPercorso(QStringLiteral("liq.xml")), QString());
}

TEST(NomiFile, IdNelNomeDelFileSoltanto) {
    struct Caso { const char* nome; const char* atteso; };
    for (const Caso& k : {Caso{"C:\\liq\\liq.xml", "C:\\liq\\liq001.xml"}, Caso{"C:\\out\\liq.xls", "C:\\out\\liq001.xls"},
                          Caso{"C:\\dati.2024\\liq", "C:\\dati.2024\\liq001"},
                          Caso{"/home/u/v1.0/comunicazione", "/home/u/v1.0/comunicazione001"},
                          Caso{"a.b.xml", "a.b001.xml"}})
        EXPECT_EQ(InserisciIdNelNome(QString::fromUtf8(k.nome), QStringLiteral("001")), QString::fromUtf8(k.atteso));
}

TEST_F(NomiTest, PreparaNomeDB) {
    struct Caso { const char* drive; const char* dir; const char* nome; const char* atteso; };
    const Caso casi[] = {
        {"E", "DATI\\", "a.mdb", "E:DATI\\a.mdb"},
        {"\\\\srv\\share", "\\DATI", "a.mdb", "\\\\srv\\share\\DATI\\a.mdb"},
        {"E", "DATI\\", "C:\\X\\a.mdb", "C:\\X\\a.mdb"},
        {"E", "DATI\\", "\\\\srv\\x\\a.mdb", "\\\\srv\\x\\a.mdb"},
        {"E", "DATI\\", "/var/dati/a.db", "/var/dati/a.db"},
        {"C:", "\\DATI\\", "a.mdb", "C:\\DATI\\a.mdb"},
        {"C:\\", "\\DATI", "a.mdb", "C:\\DATI\\a.mdb"},
        {"", "", "a.mdb", "\\a.mdb"},
        // Data-source names are left as they are.
        {"E", "DATI\\", "comiva_az1", "comiva_az1"},
        {"E", "DATI\\", "liq.dsn", "liq.dsn"},
        {"E", "DATI\\", "ODBC;DSN=liq;UID=u;PWD=p", "ODBC;DSN=liq;UID=u;PWD=p"},
    };
    for (const Caso& k : casi) {
        Ini(QStringLiteral("Connessioni"), QStringLiteral("DriveDB"), QString::fromUtf8(k.drive));
        Ini(QStringLiteral("Base"), QStringLiteral("DirDB"), QString::fromUtf8(k.dir));
        QString nome = QString::fromUtf8(k.nome);
        PreparaNomeDB(nome);
        EXPECT_EQ(nome, QString::fromUtf8(k.atteso)) << k.drive << " " << k.dir << " " << k.nome;
    }
}

}  // namespace
