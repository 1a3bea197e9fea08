#include "SchermoVirtuale.h"

#include "AppTest.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>

namespace SchermoVirtuale {
namespace {

struct Stato {
    bool provato = false;
    bool pronto = false;
    QString motivo;
    QProcess* server = nullptr;
    QProcess* gestore = nullptr;
    QWidget* pannello = nullptr;
};

Stato& stato() {
    static Stato s;
    return s;
}

// Children die with the test, even when it crashes.
QProcess* Figlio() {
    auto* p = new QProcess;
    p->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    return p;
}

// Reads the process's output until it holds a whole line, within the time.
QString PrimaRiga(QProcess& p, int ms) {
    QByteArray letto;
    while (!letto.contains('\n') && p.waitForReadyRead(ms)) letto += p.readAllStandardOutput();
    return QString::fromLocal8Bit(letto).trimmed();
}

bool Fallisci(const QString& motivo) {
    stato().motivo = motivo;
    return false;
}

bool AvviaServer() {
    Stato& s = stato();
    // -displayfd: the server takes a free display number and writes it once it listens.
    s.server = Figlio();
    s.server->start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                             QStringLiteral("0"), QStringLiteral("1366x768x24"), QStringLiteral("-nolisten"),
                                             QStringLiteral("tcp")});
    if (!s.server->waitForStarted(5000)) return Fallisci(QStringLiteral("Xvfb non si avvia: ") + s.server->errorString());
    const QString numero = PrimaRiga(*s.server, 10000);
    bool ok = false;
    numero.toInt(&ok);
    if (!ok) return Fallisci(QStringLiteral("Xvfb non indica il display: ") + QString::fromLocal8Bit(s.server->readAllStandardError()));
    qputenv("DISPLAY", (QStringLiteral(":") + numero).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

bool AvviaGestore() {
    Stato& s = stato();
    // The start-up command runs once the manager is in charge of the screen.
    s.gestore = Figlio();
    s.gestore->setProcessChannelMode(QProcess::SeparateChannels);
    s.gestore->start(QStringLiteral("openbox"),
                     {QStringLiteral("--sm-disable"), QStringLiteral("--startup"), QStringLiteral("echo gestore-pronto")});
    if (!s.gestore->waitForStarted(5000)) return Fallisci(QStringLiteral("openbox non si avvia: ") + s.gestore->errorString());
    QByteArray letto;
    while (!letto.contains("gestore-pronto") && s.gestore->waitForReadyRead(10000)) letto += s.gestore->readAllStandardOutput();
    if (!letto.contains("gestore-pronto")) return Fallisci(QStringLiteral("openbox non risponde"));
    return true;
}

// A dock window across the top that reserves its height, as a desktop panel does.
bool AvviaPannello() {
    Stato& s = stato();
    QScreen* schermo = QGuiApplication::primaryScreen();
    s.pannello = new QWidget(nullptr, Qt::FramelessWindowHint);
    s.pannello->setWindowTitle(QStringLiteral("pannello"));
    s.pannello->setGeometry(0, 0, schermo->geometry().width(), kAltezzaPannello);
    const QString id = QString::number(s.pannello->winId());
    const QString strut = QStringLiteral("0,0,%1,0,0,0,0,0,0,%2,0,0").arg(kAltezzaPannello).arg(schermo->geometry().width() - 1);
    const QList<QStringList> proprieta = {
        {QStringLiteral("-f"), QStringLiteral("_NET_WM_WINDOW_TYPE"), QStringLiteral("32a"), QStringLiteral("-set"),
         QStringLiteral("_NET_WM_WINDOW_TYPE"), QStringLiteral("_NET_WM_WINDOW_TYPE_DOCK")},
        {QStringLiteral("-f"), QStringLiteral("_NET_WM_STRUT_PARTIAL"), QStringLiteral("32c"), QStringLiteral("-set"),
         QStringLiteral("_NET_WM_STRUT_PARTIAL"), strut},
        {QStringLiteral("-f"), QStringLiteral("_NET_WM_STRUT"), QStringLiteral("32c"), QStringLiteral("-set"),
         QStringLiteral("_NET_WM_STRUT"), QStringLiteral("0,0,%1,0").arg(kAltezzaPannello)},
    };
    for (QStringList argomenti : proprieta) {
        argomenti.prepend(id);
        argomenti.prepend(QStringLiteral("-id"));
        if (QProcess::execute(QStringLiteral("xprop"), argomenti) != 0) return Fallisci(QStringLiteral("xprop non imposta il pannello"));
    }
    s.pannello->show();
    if (!QTest::qWaitFor([schermo] { return schermo->availableGeometry().top() >= kAltezzaPannello; }, 10000))
        return Fallisci(QStringLiteral("il gestore non riserva lo spazio del pannello"));
    return true;
}

}  // namespace

bool Avvia() {
    Stato& s = stato();
    if (!s.provato) {
        s.provato = true;
        s.pronto = AvviaServer() && AvviaGestore();
        // Without the server the application still comes up, off screen.
        if (!s.pronto) qputenv("QT_QPA_PLATFORM", "offscreen");
        AppTest();
        s.pronto = s.pronto && AvviaPannello();
    }
    return s.pronto;
}

QString Motivo() { return stato().motivo; }

bool Attendi(const std::function<bool()>& condizione, int millisecondi) {
    const QDeadlineTimer scadenza(millisecondi);
    while (!condizione()) {
        if (scadenza.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void AttendiCornice(QWidget& finestra) {
    if (!Attendi([&finestra] { return finestra.windowHandle() && finestra.windowHandle()->isExposed(); }, 5000)) return;
    Attendi([&finestra] { return finestra.frameGeometry() != finestra.geometry(); }, 3000);
}

QRect FinestraConCornice(QWidget& finestra) {
    QProcess p;
    p.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(finestra.winId()),
                                      QStringLiteral("_NET_FRAME_EXTENTS")});
    // "_NET_FRAME_EXTENTS(CARDINAL) = sinistra, destra, sopra, sotto"
    if (p.waitForFinished(5000) && p.exitCode() == 0) {
        const QString riga = QString::fromLocal8Bit(p.readAllStandardOutput()).section(QLatin1Char('='), 1).trimmed();
        const QStringList v = riga.split(QLatin1Char(','));
        if (v.size() == 4) {
            const QRect g = finestra.geometry();
            return g.adjusted(-v[0].trimmed().toInt(), -v[2].trimmed().toInt(), v[1].trimmed().toInt(),
                              v[3].trimmed().toInt());
        }
    }
    return finestra.frameGeometry();
}

}  // namespace SchermoVirtuale
