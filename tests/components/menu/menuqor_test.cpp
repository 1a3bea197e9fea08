// The menu stand-in as a real process, with this test playing the program:
// its values, personal parameters and shared-database queries over the link,
// and commands typed on its standard input reaching the program.
#include "components/core/ErroreRun.h"
#include "components/menu/MenuClientLocale.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "support/AppTest.h"
#include <sqlite3.h>

namespace {


void Scrivi(const QString& file, const QByteArray& testo) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(testo);
}

}  // namespace

TEST(MenuQor, ServesTheProgramAndPassesOnTypedCommands) {
    AppTest();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QDir(dir.path()).filePath("comune.db").toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE MenuDett (Chiave TEXT, ChiaveSec TEXT, Caption TEXT, DescPrg TEXT);"
                           "INSERT INTO MenuDett VALUES ('COMIVA','FrmLiqIvaXML','Liquidazione: file',NULL);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const QString chiave = QStringLiteral("qor%1").arg(QCoreApplication::applicationPid());
    Scrivi(QDir(dir.path()).filePath("menu.ini"),
           QStringLiteral("[Menu]\nChiave=%1\nChiavePrg=COMIVA\nFileIni=qorwin.ini\nDbMenu=comune.db\n"
                          "DataLavoro=31/03/2018\nTerminale=T9\n; commento\n[Valori]\nNomeDBAzie=ditta01.db\n"
                          "DescAzie=L'Àncora S.r.l.\n[Personal.Tutti]\nDataMinima=01/01/1900\n")
               .arg(chiave).toUtf8());

    QProcess menu;
    QStringList righe;
    QObject::connect(&menu, &QProcess::readyReadStandardOutput, [&] {
        while (menu.canReadLine()) righe << QString::fromUtf8(menu.readLine()).trimmed();
    });
    menu.start(QCoreApplication::applicationDirPath() + "/../menuqor",
               {"--ini", QDir(dir.path()).filePath("menu.ini"), "--nogui"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return righe.contains("pronto " + chiave); }, 10000))
        << menu.errorString().toStdString() << righe.join('\n').toStdString();

    MenuClientLocale client(10000);
    QStringList comandi;
    client.ImpostaGestoreComandi([&](const QString&, const QString& keySec, const QString& com,
                                     const Valore& param, Valore& rit) {
        comandi << QStringLiteral("%1|%2|%3|%4").arg(com, keySec).arg(param.lista().size()).arg(param.testo());
        if (com == QLatin1String("attiva")) rit = client.LeggiInfoLancio().osParam;
        if (com == QLatin1String("esiste")) rit = true;
    });
    client.RegistraProgramma(chiave, "COMIVA", "FrmLiqIvaXML");

    EXPECT_EQ(client.FileImpostazioni(), QDir(dir.path()).filePath("qorwin.ini"));
    EXPECT_EQ(client.LeggiDataLavoro(), QDate(2018, 3, 31));
    EXPECT_EQ(client.NomeTerminale(), "T9");
    const struct { const char* nome; const char* valore; } valori[] = {
        {"nomedbazie", "ditta01.db"},
        {"DescAzie", "L'Àncora S.r.l."},
        {"Personal.Tutti.§DataMinima", "01/01/1900"},
        {"PERSONAL.tutti.§datAMINIMA", "01/01/1900"},
        {"Personal.Tutti.§Massimizzato", "§ç~$!^"},
        {"Sconosciuto", ""},
    };
    for (const auto& v : valori)
        EXPECT_EQ(client.LeggiValoreSess(QString::fromUtf8(v.nome)).testo(), QString::fromUtf8(v.valore)) << v.nome;
    EXPECT_EQ(client.LeggiValoreSess("MenuProcId").intero(), menu.processId());
    client.ScriviValoreSess("Ditta.Moneta", "Euro");
    EXPECT_EQ(client.LeggiValoreSess("ditta.moneta").testo(), "Euro");

    const QString sql = "SELECT * From MenuDett WHERE Chiave='COMIVA' AND ChiaveSec='%1'";
    const auto riga = client.ParamDbMenu(sql.arg("FrmLiqIvaXML"), "Caption,DescPrg");
    ASSERT_TRUE(riga.has_value());
    EXPECT_EQ(*riga, (ListaValori{"Liquidazione: file", Valore::null()}));
    EXPECT_FALSE(client.ParamDbMenu(sql.arg("Altro"), "Caption,DescPrg").has_value());
    EXPECT_THROW(client.ParamDbMenu("SELECT * From Manca", "Caption"), ErroreRun);

    Valore testo = QStringLiteral("Errore grave\nriga due");
    client.ComandoMenu("MsgBox", "Tutti", testo);
    client.FormChiusa("FrmLiqIvaXML");

    menu.write("esiste\nattiva FrmDatiFatPre\nFEInvio [0,0,0,\"\",0,0,3]\nPassaA frmDatiFatXml\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return comandi.size() == 4 && righe.last().startsWith("risposta PassaA"); },
                                10000))
        << righe.join('\n').toStdString();
    EXPECT_EQ(comandi, (QStringList{"esiste||1|", "attiva|FrmDatiFatPre|1|", "FEInvio||7|0,0,0,,0,0,3",
                                    "PassaA|frmDatiFatXml|1|frmDatiFatXml"}));
    for (const char* attesa : {"MsgBox: \"Errore grave\\nriga due\"", "FormChiusa: \"FrmLiqIvaXML\"",
                               "ScriviValoreSess: [\"Ditta.Moneta\",\"Euro\"]", "risposta esiste: true",
                               "risposta attiva: \"/F FrmDatiFatPre\"", "risposta FEInvio: \"\""})
        EXPECT_TRUE(righe.contains(QString::fromUtf8(attesa))) << attesa << "\n" << righe.join('\n').toStdString();

    menu.write("esci\n");
    ASSERT_TRUE(menu.waitForFinished(10000));
    EXPECT_EQ(menu.exitCode(), 0);
    EXPECT_THROW(client.NomeTerminale(), ErroreRun);
}
