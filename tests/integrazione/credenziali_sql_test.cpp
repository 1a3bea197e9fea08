// A refused SQL login corrected from the real menu stand-in: the program's
// start-up runs here, linked to the menu as the program would be; the menu
// asks its user for the login on its input, where the test has typed the
// answers (a wrong password, then the right one).
#include "components/menu/MenuClientLocale.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"
#include "startup/Avvio.h"
#include "startup/Ospite.h"
#include "support/AppTest.h"
#include "support/DatabasePg.h"
#include "support/Fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void Scrivi(const QString& file, const QString& testo) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(testo.toUtf8());
}

TEST(CredenzialiSql, AWrongPasswordIsTypedAgainAtTheMenuAndTheRetryUsesIt) {
    AppTest();
    SALTA_SENZA_PG();
    FixtureDb fx(Motore::Server);
    QTemporaryDir dir;
    const QString ini = dir.filePath("qorwin.ini"), iniDb = dir.filePath("qorwindb.ini");
    Scrivi(ini, "[Parametri Generali]\nOrdIniDBase=" + iniDb + "\n[Menu]\nNomeDB=" + fx.fileCondiviso + "\n");
    Scrivi(iniDb, "[Base]\nDirImmagini=/img\n");
    const QString chiave = QStringLiteral("sql%1").arg(QCoreApplication::applicationPid());
    // No SQL login kept by the menu: the program asks for one at once.
    Scrivi(dir.filePath("menu.ini"), "[Menu]\nChiave=" + chiave + "\nChiavePrg=COMIVA\nFileIni=" + ini +
                                         "\n[Valori]\nNomeDBAzie=" + fx.fileAzienda + "\n");

    QProcess menu;
    menu.start(CartellaBin() + QStringLiteral("/menuqor"), {"--ini", dir.filePath("menu.ini"), "--nogui"});
    QStringList righe;
    auto leggi = [&] {
        while (menu.canReadLine()) righe << QString::fromUtf8(menu.readLine()).trimmed();
        return righe.contains("pronto " + chiave);
    };
    ASSERT_TRUE(QTest::qWaitFor(leggi, 20000)) << righe.join('\n').toStdString();
    menu.write("credenziali comiva sbagliata\ncredenziali comiva comiva\n");

    auto c = std::make_shared<Contesto>();
    ImpostaContesto(c);
    auto dialoghi = std::make_shared<DialoghiScriptati>();
    dialoghi->risposte << 1;  // "&Riprovare"
    c->ggDialoghi = dialoghi;
    c->ggOspite = std::make_shared<Ospite>();
    static_cast<Ospite*>(c->ggOspite.get())->AlTermine = [] {};

    const bool avviato = InizProgramma("/M " + chiave + " /P COMIVA frmDatiFatXml /F frmDatiFatXml",
                                       [] { return std::make_shared<MenuClientLocale>(); });
    EXPECT_TRUE(avviato) << dialoghi->testi().join('\n').toStdString();
    ASSERT_EQ(dialoghi->mostrati.size(), 1) << dialoghi->testi().join('\n').toStdString();
    EXPECT_EQ(dialoghi->mostrati[0].testo, "Utente o password non validi per SQL");
    EXPECT_EQ(dialoghi->mostrati[0].bottoni, (QStringList{"&Riprovare", "&Annulla"}));
    EXPECT_FALSE(c->gsIdDbase.isEmpty() || c->gsIdDbase.startsWith("Err"));
    EXPECT_FALSE(c->gsIdDbMenu.isEmpty() || c->gsIdDbMenu.startsWith("Err"));

    c->ggMenuClient.reset();
    menu.write("esci\n");
    EXPECT_TRUE(menu.waitForFinished(20000));
    leggi();
    EXPECT_EQ(righe.count("ChiediPwdSql"), 2) << righe.join('\n').toStdString();
    EXPECT_EQ(righe.count("credenziali SQL: \"comiva\""), 2) << righe.join('\n').toStdString();
    c->ggOspite.reset();
    ImpostaContesto(nullptr);
}

}  // namespace
