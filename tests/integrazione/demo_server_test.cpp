// The demo on a server with one switch: the generator puts the shared
// database and the companies on a cluster of the demo's own, the settings
// name them by their data-source names, and their rows are the files'.
#include "components/db/GestoreDb.h"
#include "components/db/Interroga.h"
#include "support/DatabasePg.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString primo(GestoreDb& g, const QString& id, const QString& sql) {
    const RisultatoSql r = LeggiTutto(g, id, sql, "Prova");
    QStringList v;
    for (const auto& riga : r.righe) v << riga.value(0).testo();
    return v.join(',');
}

QString script(const QString& nome, const QStringList& argomenti, const QProcessEnvironment& amb) {
    QProcess p;
    p.setProcessEnvironment(amb);
    p.start(CartellaSorgenti() + QStringLiteral("/tools/") + nome, argomenti);
    if (!p.waitForFinished(120000)) return QStringLiteral("non termina");
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError());
}

class DemoServer : public ::testing::Test {
protected:
    void TearDown() override {
        if (!demo.isEmpty()) script("demo_server.sh", {"ferma", demo}, QProcessEnvironment::systemEnvironment());
        if (servizi.isNull()) qunsetenv("PGSERVICEFILE");
        else qputenv("PGSERVICEFILE", servizi);
    }
    QTemporaryDir dir;
    QString demo;
    QByteArray servizi = qgetenv("PGSERVICEFILE");
};

TEST_F(DemoServer, AziendeSulServerConUnSoloInterruttore) {
    // The run's cluster stands for PostgreSQL being installed.
    SALTA_SENZA_PG();
    demo = dir.path() + QStringLiteral("/demo.server");
    QProcessEnvironment amb = QProcessEnvironment::systemEnvironment();
    amb.insert("COMIVA_DEMO_SERVER", "1");
    amb.insert("QT_QPA_PLATFORM", "offscreen");
    ASSERT_EQ(script("genera_demo.sh", {demo, CartellaBin() + QStringLiteral("/comiva")}, amb), "");

    QFile ini(demo + "/qorwin.ini"), menu(demo + "/menu.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly) && menu.open(QIODevice::ReadOnly));
    const QByteArray testoIni = ini.readAll(), testoMenu = menu.readAll();
    EXPECT_TRUE(testoIni.contains("NomeDB=comiva_comune\n") && testoIni.contains("DriveDB=\n")) << testoIni.constData();
    EXPECT_TRUE(testoMenu.contains("NomeDBAzie=comiva_ditta01\n") && testoMenu.contains("SqlLogin=comiva\n"));

    qputenv("PGSERVICEFILE", (demo + "/pg_service.conf").toUtf8());
    GestoreDb g;
    g.ScriviProprieta("DbSqlPubUID", 12, Valore(QStringLiteral("comiva")));
    g.ScriviProprieta("DbSqlPubPWD", 12, Valore(QStringLiteral("comiva")));
    const QString comune = g.ApriDatabase("comiva_comune");
    EXPECT_EQ(primo(g, comune, "SELECT File FROM Aziende ORDER BY IdAzienda"), "comiva_ditta01,comiva_ditta02");
    for (const char* ditta : {"ditta01", "ditta02"}) {
        SCOPED_TRACE(ditta);
        const QString server = g.ApriDatabase(QStringLiteral("comiva_") + ditta);
        const QString file = g.ApriDatabase(demo + "/" + ditta + ".db");
        for (const char* sql : {"SELECT count(*) FROM MovPnTes", "SELECT count(*) FROM LiqIvaDett",
                                "SELECT RagSoc FROM Ditta"})
            EXPECT_EQ(primo(g, server, sql), primo(g, file, sql)) << sql;
        EXPECT_NE(primo(g, server, "SELECT count(*) FROM LiqIvaTest"), "0");
    }

    // Stopped, the demo's server comes back as scripts/demo starts it again.
    ASSERT_EQ(script("demo_server.sh", {"ferma", demo}, amb), "");
    ASSERT_EQ(script("genera_demo.sh", {demo, CartellaBin() + QStringLiteral("/comiva")}, amb), "");
    ASSERT_EQ(script("demo_server.sh", {"avvia", demo}, amb), "");
    const QString ditta = g.ApriDatabase("comiva_ditta01");
    EXPECT_EQ(primo(g, ditta, "SELECT RagSoc FROM Ditta"), primo(g, g.ApriDatabase(demo + "/ditta01.db"), "SELECT RagSoc FROM Ditta"));
}

}  // namespace
