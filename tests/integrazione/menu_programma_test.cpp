// The real menu stand-in starts the real program on the demo companies; the
// test plays the user at the menu's input.
#include "support/PercorsiTest.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <csignal>

namespace {

// A process that has ended, reaped or not (a zombie waits for its new parent).
bool ProcessoFinito(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray riga = stat.readAll();
    const qsizetype chiusa = riga.lastIndexOf(')');
    const char stato = chiusa >= 0 && chiusa + 2 < riga.size() ? riga.at(chiusa + 2) : 'X';
    return stato == 'Z' || stato == 'X';
}

QString GeneraDemo(const QTemporaryDir& dir) {
    const QString demo = dir.path() + "/demo";
    if (QProcess::execute(CartellaSorgenti() + QStringLiteral("/tools/genera_demo.sh"),
                          {demo, CartellaBin() + QStringLiteral("/comiva")}) != 0)
        return {};
    return demo;
}

class Menu {
public:
    explicit Menu(const QString& ini) {
        p.setProgram(CartellaBin() + QStringLiteral("/menuqor"));
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
    QString Righe() const { return righe.join("\n"); }
    // The process number of the program it started, 0 when none was seen.
    qint64 PidProgramma() const {
        for (const QString& r : righe)
            if (r.startsWith("programma avviato ")) return r.mid(18).toLongLong();
        return 0;
    }
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
    ASSERT_EQ(QProcess::execute(CartellaSorgenti() + QStringLiteral("/tools/genera_demo.sh"),
                                {demo, CartellaBin() + QStringLiteral("/comiva")}),
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

// The user chooses the same entry twice quickly: the second choice reaches
// the program while it is still starting. It waits for the start-up, brings
// the form forward, and nothing is left hanging on a box nobody sees.
TEST(MenuEProgramma, TheSameEntryChosenTwiceWhileTheProgramStarts) {
    QTemporaryDir dir;
    const QString demo = GeneraDemo(dir);
    ASSERT_FALSE(demo.isEmpty());
    Menu m(demo + "/menu.ini");
    ASSERT_TRUE(m.Attendi("pronto")) << m.Righe().toStdString();
    m.Invia("avvia frmLiqIvaTest");
    ASSERT_TRUE(m.Attendi("RegistraProgramma")) << m.Righe().toStdString();
    m.Invia("attiva frmLiqIvaTest");
    ASSERT_TRUE(m.Attendi("risposta attiva")) << m.Righe().toStdString();
    // Kept until the start-up is over, then it registers the open form.
    m.Invia("preppassaa");
    ASSERT_TRUE(m.Attendi("RegistraForm")) << m.Righe().toStdString();
    const QString tutte = m.Righe();
    EXPECT_TRUE(tutte.contains("frmLiqIvaTest")) << tutte.toStdString();
    EXPECT_FALSE(tutte.contains("MsgBox")) << tutte.toStdString();
    m.Invia("fine");
    ASSERT_TRUE(m.Attendi("risposta fine")) << m.Righe().toStdString();
    EXPECT_EQ(m.righe.last(), "risposta fine: \"\"");
    ASSERT_TRUE(m.Attendi("programma terminato")) << m.Righe().toStdString();
    EXPECT_EQ(m.righe.last(), "programma terminato 0");
}

TEST(MenuEProgramma, AProgramWhoseMenuIsKilledEnds) {
    QTemporaryDir dir;
    const QString demo = GeneraDemo(dir);
    ASSERT_FALSE(demo.isEmpty());
    const struct {
        const char* nome;
        bool formAperta;  // killed once the start-up is over and the form is open
    } casi[] = {
        {"while it starts", false},
        {"with its form open", true},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        Menu m(demo + "/menu.ini");
        ASSERT_TRUE(m.Attendi("pronto")) << m.Righe().toStdString();
        m.Invia("avvia FrmLiqIvaXML");
        ASSERT_TRUE(m.Attendi("RegistraProgramma")) << m.Righe().toStdString();
        // "preppassaa" registers the open forms; during the start-up there is none yet.
        QDeadlineTimer attesa(20000);
        while (c.formAperta && !m.Righe().contains("RegistraForm") && !attesa.hasExpired()) {
            m.Invia("preppassaa");
            ASSERT_TRUE(m.Attendi("risposta preppassaa")) << m.Righe().toStdString();
        }
        ASSERT_EQ(m.Righe().contains("RegistraForm"), c.formAperta) << m.Righe().toStdString();
        const qint64 pid = m.PidProgramma();
        ASSERT_GT(pid, 0) << m.Righe().toStdString();
        ASSERT_FALSE(ProcessoFinito(pid));

        m.p.kill();  // no "fine", no closing of its own: the link just drops
        ASSERT_TRUE(m.p.waitForFinished(5000));
        QDeadlineTimer scadenza(20000);
        while (!ProcessoFinito(pid) && !scadenza.hasExpired()) QThread::msleep(20);
        const bool finito = ProcessoFinito(pid);
        if (!finito) ::kill(static_cast<pid_t>(pid), SIGKILL);
        EXPECT_TRUE(finito) << "the program outlived its menu";
    }
}

TEST(MenuEProgramma, TwoDemosRunSideBySideAndAKeyInUseIsRefused) {
    QTemporaryDir dir;
    const QString demo = GeneraDemo(dir);
    ASSERT_FALSE(demo.isEmpty());
    // Two menus on the demo's own settings: each serves a program of its own.
    Menu a(demo + "/menu.ini"), b(demo + "/menu.ini");
    for (Menu* m : {&a, &b}) {
        ASSERT_TRUE(m->Attendi("pronto")) << m->Righe().toStdString();
        m->Invia("avvia FrmLiqIvaXML");
        ASSERT_TRUE(m->Attendi("RegistraProgramma")) << m->Righe().toStdString();
    }
    for (Menu* m : {&a, &b}) {
        m->Invia("esiste");
        ASSERT_TRUE(m->Attendi("risposta esiste")) << m->Righe().toStdString();
        EXPECT_EQ(m->righe.last(), "risposta esiste: true");
    }

    // A second menu on a key that a live menu serves is refused and leaves
    // the first one's socket alone.
    QFile ini(demo + "/menu.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    QByteArray testo = ini.readAll();
    testo.replace("[Menu]", "[Menu]\nChiave=DOPPIA");
    QFile doppio(demo + "/doppio.ini");
    ASSERT_TRUE(doppio.open(QIODevice::WriteOnly));
    doppio.write(testo);
    doppio.close();
    Menu primo(doppio.fileName());
    ASSERT_TRUE(primo.Attendi("pronto DOPPIA")) << primo.Righe().toStdString();
    Menu secondo(doppio.fileName());
    ASSERT_TRUE(secondo.p.waitForFinished(10000));
    EXPECT_EQ(secondo.p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(secondo.p.readAllStandardError()).contains("già in esecuzione con la chiave \"DOPPIA\""));
    primo.Invia("avvia FrmLiqIvaXML");
    ASSERT_TRUE(primo.Attendi("RegistraProgramma")) << primo.Righe().toStdString();
    primo.Invia("esiste");
    ASSERT_TRUE(primo.Attendi("risposta esiste")) << primo.Righe().toStdString();
    EXPECT_EQ(primo.righe.last(), "risposta esiste: true");

    for (Menu* m : {&a, &b, &primo}) {
        m->Invia("fine");
        ASSERT_TRUE(m->Attendi("programma terminato")) << m->Righe().toStdString();
        EXPECT_EQ(m->righe.last(), "programma terminato 0");
    }
}

}  // namespace
