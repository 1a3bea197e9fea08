// The real menu stand-in starts the real program on the demo companies; the
// test plays the user at the menu's input.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Menu {
public:
    explicit Menu(const QString& ini) {
        p.setProgram(QStringLiteral(COMIVA_BIN_DIR "/menuqor"));
        p.setArguments({"--ini", ini, "--nogui"});
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start();
    }
    ~Menu() {
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished(5000);
        }
    }
    void Invia(const QString& riga) { p.write((riga + "\n").toUtf8()); }
    // Waits for a line starting with the text; the lines read are kept.
    bool Attendi(const QString& inizio, int ms = 20000) {
        QElapsedTimer t;
        t.start();
        for (;;) {
            while (p.canReadLine()) {
                const QString r = QString::fromUtf8(p.readLine()).trimmed();
                righe << r;
                if (r.startsWith(inizio)) return true;
            }
            if (t.elapsed() > ms || !p.waitForReadyRead(ms - static_cast<int>(t.elapsed()))) return false;
        }
    }
    QProcess p;
    QStringList righe;
};

TEST(MenuEProgramma, TheMenuStartsTheProgramOpensAFormAndFineEndsIt) {
    QTemporaryDir dir;
    const QString demo = dir.path() + "/demo";
    ASSERT_EQ(QProcess::execute(QStringLiteral(COMIVA_SOURCE_DIR "/tools/genera_demo.sh"),
                                {demo, QStringLiteral(COMIVA_BIN_DIR "/comiva")}),
              0);
    Menu m(demo + "/menu.ini");
    ASSERT_TRUE(m.Attendi("pronto")) << m.righe.join("\n").toStdString();
    m.Invia("avvia FrmLiqIvaXML");
    ASSERT_TRUE(m.Attendi("RegistraProgramma")) << m.righe.join("\n").toStdString();
    m.Invia("esiste");
    ASSERT_TRUE(m.Attendi("risposta esiste")) << m.righe.join("\n").toStdString();
    EXPECT_EQ(m.righe.last(), "risposta esiste: true");
    m.Invia("passaa frmDatiFatGest");
    m.Invia("preppassaa");
    ASSERT_TRUE(m.Attendi("risposta preppassaa")) << m.righe.join("\n").toStdString();
    const QString tutte = m.righe.join("\n");
    EXPECT_TRUE(tutte.contains("RegistraForm") && tutte.contains("frmLiqIvaXml")) << tutte.toStdString();
    EXPECT_TRUE(tutte.contains("frmDatiFatGest")) << tutte.toStdString();
    m.Invia("fine");
    ASSERT_TRUE(m.Attendi("risposta fine")) << m.righe.join("\n").toStdString();
    EXPECT_EQ(m.righe.last(), "risposta fine: \"\"");
    ASSERT_TRUE(m.Attendi("programma terminato")) << m.righe.join("\n").toStdString();
    EXPECT_EQ(m.righe.last(), "programma terminato 0");
}

}  // namespace
