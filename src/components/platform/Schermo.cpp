#include "components/platform/Schermo.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QResizeEvent>
#include <QWindow>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>

#include <algorithm>

int Schermo::AreaUtileSchermo() const {
    int bordo = -1;
    long cima = 0;
    const bool nascosta = PosBarraApp(bordo, cima);
    if (!nascosta && bordo == 3) return static_cast<int>(cima) * TwipsPerPixel;
    return AltezzaTwips();
}

QRect Schermo::AreaDisponibile() const {
    const QSize d = DimensioniPixel();
    int bordo = -1;
    long cima = 0;
    const bool nascosta = PosBarraApp(bordo, cima);
    return QRect(0, 0, d.width(), !nascosta && bordo == 3 ? static_cast<int>(cima) : d.height());
}

static QScreen* schermoPrincipale() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen()
                                                                          : nullptr;
}

QSize SchermoQt::DimensioniPixel() const {
    const QScreen* s = schermoPrincipale();
    return s ? s->geometry().size() : QSize();
}

bool SchermoQt::PosBarraApp(int& piBordo, long& plCima) const {
    const QScreen* s = schermoPrincipale();
    piBordo = -1;
    if (!s) return false;
    const QRect tutto = s->geometry();
    const QRect libero = s->availableGeometry();
    if (libero.bottom() < tutto.bottom()) {
        piBordo = 3;
        plCima = libero.bottom() + 1 - tutto.top();
    } else if (libero.top() > tutto.top()) {
        piBordo = 1;
        plCima = 0;
    } else if (libero.left() > tutto.left()) {
        piBordo = 0;
        plCima = 0;
    } else if (libero.right() < tutto.right()) {
        piBordo = 2;
        plCima = 0;
    }
    return false;
}

QRect SchermoQt::AreaDisponibile() const {
    const QScreen* s = schermoPrincipale();
    return s ? s->availableGeometry().translated(-s->geometry().topLeft()) : QRect();
}

namespace {

// The frame as the window system reports it; none until the window is shown
// and the window manager has framed it.
QMargins CorniceRiportata(const QWidget& w) {
    const QRect fuori = w.frameGeometry(), dentro = w.geometry();
    return QMargins(dentro.left() - fuori.left(), dentro.top() - fuori.top(), fuori.right() - dentro.right(),
                    fuori.bottom() - dentro.bottom());
}

// A manager's frame is thicker at the top, where its title bar is. Anything
// else is not yet the manager's frame (or one Qt reckoned in a race with the
// reparenting).
bool Incorniciata(const QMargins& m) { return m.top() > m.left() && m.top() > m.bottom(); }

// Until the manager frames a window: a title bar and borders a little
// thicker than most, or the frame of a window already framed where that is
// thicker (side by side: a manager may frame a window that can be resized
// with a thicker bottom edge than a dialog).
QMargins CorniceStimata(const QWidget& finestra) {
    const int titolo = QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight) : 0;
    constexpr int kBordo = 4;
    QMargins stima(kBordo, std::max(titolo, 24) + kBordo, kBordo, kBordo);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return stima;
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (w == &finestra || !w->isVisible() || w->windowFlags() & Qt::FramelessWindowHint) continue;
        const QMargins m = CorniceRiportata(*w);
        if (!Incorniciata(m)) continue;
        stima = QMargins(std::max(stima.left(), m.left()), std::max(stima.top(), m.top()),
                         std::max(stima.right(), m.right()), std::max(stima.bottom(), m.bottom()));
    }
    return stima;
}

bool SiCentra(const QWidget& w) { return qobject_cast<const QDialog*>(&w) && !w.testAttribute(Qt::WA_Moved); }

bool Ingrandita(const QWidget& w) {
    return w.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized);
}

// Fits a window when the program shows it or makes it grow, never when the
// user (through the window manager) moves or resizes it: those events come
// from the window system (spontaneous), the program's own do not.
class GuardiaSchermo : public QObject {
public:
    explicit GuardiaSchermo(QWidget* finestra) : QObject(finestra), finestra_(finestra) {
        // The manager frames a shown window a little later and tells no
        // event of it: look again until the frame is known.
        attesa_.setInterval(50);
        connect(&attesa_, &QTimer::timeout, this, [this] { controlla(); });
    }
    bool eventFilter(QObject*, QEvent* e) override {
        switch (e->type()) {
        // A dialog not yet placed centres itself on its parent while shown:
        // fitted after that.
        case QEvent::Show:
            utente_ = false;
            if (!SiCentra(*finestra_)) segui();
            break;
        case QEvent::ShowToParent:
            if (SiCentra(*finestra_)) segui();
            break;
        case QEvent::Resize:
            if (!e->spontaneous()) {
                ricorda();
                if (cresciuta(*static_cast<const QResizeEvent*>(e))) segui();
            } else if (!eco([](const QRect& a, const QRect& b) { return a.size() == b.size(); })) {
                daFuori();
            }
            break;
        case QEvent::Move:
            if (!e->spontaneous()) ricorda();
            else if (!eco([](const QRect& a, const QRect& b) { return a.topLeft() == b.topLeft(); })) daFuori();
            break;
        case QEvent::Hide: attesa_.stop(); break;
        case QEvent::WindowStateChange:
            if (Ingrandita(*finestra_)) attesa_.stop();
            break;
        default: break;
        }
        return false;
    }

private:
    void segui() {
        adatta();
        giri_ = 0;
        attesa_.start();
    }
    void adatta() {
        if (!finestra_->isVisible() || Ingrandita(*finestra_)) return;
        usata_ = CorniceFinestra(*finestra_);
        RientraNelloSchermo(*finestra_);
    }
    // Once the manager's frame is known the watch ends, fitting again only
    // when that frame is not the one the fit assumed; a move seen after that
    // is the user's.
    void controlla() {
        if (!finestra_->isVisible() || Ingrandita(*finestra_)) {
            attesa_.stop();
            return;
        }
        const QMargins riportata = CorniceRiportata(*finestra_);
        if (Incorniciata(riportata)) {
            attesa_.stop();
            // Out of the area with the frame the fit assumed: the user put it there.
            const QScreen* schermo = finestra_->screen();
            const QRect g = finestra_->geometry();
            if (schermo && riportata != usata_ && schermo->availableGeometry().contains(g.marginsAdded(usata_)))
                adatta();
        } else if (++giri_ > 40) {
            attesa_.stop();
        }
    }
    // The manager answers each of the program's own moves and resizes later,
    // maybe after the next one: an answer is no one else's doing.
    void ricorda() {
        fatte_.append(finestra_->geometry());
        if (fatte_.size() > 16) fatte_.removeFirst();
    }
    template <class Uguale>
    bool eco(Uguale uguale) const {
        const QRect g = finestra_->geometry();
        return std::any_of(fatte_.cbegin(), fatte_.cend(), [&](const QRect& f) { return uguale(f, g); });
    }
    // From the window system: the manager framing the window while watched,
    // the user's own move or resize after that.
    void daFuori() {
        if (attesa_.isActive()) controlla();
        else utente_ = true;
    }
    // Grown by the program; a window the user moved or resized stays where
    // the user put it.
    bool cresciuta(const QResizeEvent& r) const {
        if (utente_ || !finestra_->isVisible() || !r.oldSize().isValid()) return false;
        return r.size().width() > r.oldSize().width() || r.size().height() > r.oldSize().height();
    }

    QWidget* finestra_;
    QTimer attesa_;
    QMargins usata_;
    int giri_ = 0;
    bool utente_ = false;
    QList<QRect> fatte_;
};

}  // namespace

QMargins CorniceFinestra(const QWidget& finestra) {
    const QMargins riportata = CorniceRiportata(finestra);
    return Incorniciata(riportata) ? riportata : CorniceStimata(finestra);
}

void RientraNelloSchermo(QWidget& finestra) {
    const QScreen* schermo = finestra.screen();
    if (!finestra.isWindow() || !schermo) return;
    const QRect area = schermo->availableGeometry();
    const QRect fuori = finestra.geometry().marginsAdded(CorniceFinestra(finestra));
    // Back inside on the far edge first, so that the near edge wins when the window is larger.
    auto rientro = [](int inizio, int fine, int areaInizio, int areaFine) {
        int d = fine > areaFine ? areaFine - fine : 0;
        if (inizio + d < areaInizio) d = areaInizio - inizio;
        return d;
    };
    const QPoint spostamento(rientro(fuori.left(), fuori.right(), area.left(), area.right()),
                             rientro(fuori.top(), fuori.bottom(), area.top(), area.bottom()));
    if (!spostamento.isNull()) finestra.move(finestra.pos() + spostamento);
}

void davantiA(QWidget& finestra, const QWidget& altra) {
    QWidget* sotto = altra.window();
    if (!finestra.isWindow() || sotto == &finestra) return;
    finestra.winId();
    sotto->winId();
    QWindow* propria = finestra.windowHandle();
    QWindow* dietro = sotto->windowHandle();
    if (!propria || !dietro) return;
    // The manager reads whose transient a window is when it is mapped.
    const bool visibile = finestra.isVisible();
    const bool nuova = propria->transientParent() != dietro;
    if (nuova && visibile) finestra.hide();
    propria->setTransientParent(dietro);
    const QRect suo = sotto->frameGeometry();
    finestra.move(suo.center() - QPoint(finestra.width() / 2, finestra.height() / 2));
    if (visibile) {
        finestra.show();
        finestra.raise();
    }
}

void TieniNelloSchermo(QWidget& finestra) {
    const QString nome = QStringLiteral("GuardiaSchermo");
    if (finestra.findChild<QObject*>(nome, Qt::FindDirectChildrenOnly)) return;
    auto* guardia = new GuardiaSchermo(&finestra);
    guardia->setObjectName(nome);
    finestra.installEventFilter(guardia);
}
