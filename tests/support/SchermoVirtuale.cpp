#include "SchermoVirtuale.h"

#include "AppTest.h"

#include <QApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QDeadlineTimer>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>
#include <csignal>
#include <cstring>
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
    QSize dimensioni;
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
    const QString schermo = QStringLiteral("%1x%2x24").arg(s.dimensioni.width()).arg(s.dimensioni.height());
    // -displayfd: the server takes a free display number and writes it once it listens.
    s.server = Figlio();
    s.server->start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                             QStringLiteral("0"), schermo, QStringLiteral("-nolisten"),
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

bool Avvia(QSize dimensioni) {
    Stato& s = stato();
    if (s.provato && dimensioni != s.dimensioni) {
        s.motivo = QStringLiteral("lo schermo virtuale di questo processo è %1x%2")
                       .arg(s.dimensioni.width()).arg(s.dimensioni.height());
        return false;
    }
    if (!s.provato) {
        s.provato = true;
        s.dimensioni = dimensioni;
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

namespace {

xcb_connection_t* Connessione() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atomo(xcb_connection_t* c, const char* nome) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(nome)), nome), nullptr);
    const xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
    free(r);
    return a;
}

// flags: bits 8..11 say which of x, y, width, height count; gravity
// north-west (the frame's corner); source 2, the user's own request.
void MuoviRidimensiona(QWidget& finestra, uint32_t campi, QRect r) {
    xcb_connection_t* c = Connessione();
    if (!c) return;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = static_cast<xcb_window_t>(finestra.winId());
    e.type = Atomo(c, "_NET_MOVERESIZE_WINDOW");
    e.data.data32[0] = 1u | (campi << 8) | (2u << 12);
    e.data.data32[1] = static_cast<uint32_t>(r.x());
    e.data.data32[2] = static_cast<uint32_t>(r.y());
    e.data.data32[3] = static_cast<uint32_t>(r.width());
    e.data.data32[4] = static_cast<uint32_t>(r.height());
    const xcb_window_t radice = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, radice, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&e));
    xcb_flush(c);
}

}  // namespace

void SpostaComeUtente(QWidget& finestra, QPoint angoloCornice) {
    MuoviRidimensiona(finestra, 1 | 2, QRect(angoloCornice, QSize()));
}

void RidimensionaComeUtente(QWidget& finestra, QSize dentro) {
    MuoviRidimensiona(finestra, 4 | 8, QRect(QPoint(), dentro));
}

void Sincronizza() {
    if (xcb_connection_t* c = Connessione()) free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    QCoreApplication::processEvents();
}

QList<unsigned long> Pila() {
    QList<unsigned long> pila;
    QProcess p;
    p.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    // "_NET_CLIENT_LIST_STACKING(WINDOW): window id # 0x..., 0x..."
    if (!p.waitForFinished(5000) || p.exitCode() != 0) return pila;
    const QString riga = QString::fromLocal8Bit(p.readAllStandardOutput()).section(QLatin1Char('#'), 1).trimmed();
    for (const QString& id : riga.split(QLatin1Char(','), Qt::SkipEmptyParts)) pila << id.trimmed().toULong(nullptr, 16);
    return pila;
}

}  // namespace SchermoVirtuale
