#include "components/platform/Schermo.h"

#include <QApplication>
#include <QEvent>
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

// The largest frame with a title bar reported so far. On the heap: GCC 12
// put a zero-initialised static QMargins written here in read-only memory.
QMargins& corniceVista() {
    static auto* vista = new QMargins();
    return *vista;
}

// The frame as the window system reports it; none until the window is shown
// and the window manager has framed it.
QMargins CorniceRiportata(const QWidget& w) {
    const QRect fuori = w.frameGeometry(), dentro = w.geometry();
    return QMargins(dentro.left() - fuori.left(), dentro.top() - fuori.top(), fuori.right() - dentro.right(),
                    fuori.bottom() - dentro.bottom());
}

class GuardiaSchermo : public QObject {
public:
    explicit GuardiaSchermo(QWidget* finestra) : QObject(finestra), finestra_(finestra) {
        // The window manager frames a shown window a little later and tells
        // no event of it: look again for a while after each change.
        attesa_.setInterval(50);
        connect(&attesa_, &QTimer::timeout, this, [this] {
            if (++giri_ > 40 || !finestra_->isVisible()) attesa_.stop();
            else controlla();
        });
    }
    bool eventFilter(QObject*, QEvent* e) override {
        // Every move, the window manager's placements included (they may come after ours).
        if (e->type() == QEvent::Show || e->type() == QEvent::Resize || e->type() == QEvent::Move) controlla();
        return false;
    }

private:
    void controlla() {
        if (!finestra_->isVisible() || dentro_) return;
        dentro_ = true;
        RientraNelloSchermo(*finestra_);
        // The frame and the manager's own placement may come after the event
        // that brought us here, the frame known or not: watch a while more.
        if (!attesa_.isActive()) {
            giri_ = 0;
            attesa_.start();
        }
        dentro_ = false;
    }

    QWidget* finestra_;
    QTimer attesa_;
    int giri_ = 0;
    bool dentro_ = false;
};

}  // namespace

QMargins CorniceFinestra(const QWidget& finestra) {
    const QMargins riportata = CorniceRiportata(finestra);
    const auto maggiore = [](const QMargins& a, const QMargins& b) {
        return QMargins(std::max(a.left(), b.left()), std::max(a.top(), b.top()), std::max(a.right(), b.right()),
                        std::max(a.bottom(), b.bottom()));
    };
    // A frame with a title bar is thicker at the top than at the sides.
    if (riportata.top() > riportata.left()) {
        corniceVista() = maggiore(corniceVista(), riportata);
        return riportata;
    }
    // A report without a title bar at the top is not yet the manager's frame
    // (or one Qt reckoned in a race with the reparenting): the frame seen on
    // other windows stands for it.
    QMargins stima = corniceVista().isNull() ? riportata : corniceVista();
    const int titolo = QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight) : 0;
    stima.setTop(std::max(stima.top(), titolo));
    return stima;
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

void TieniNelloSchermo(QWidget& finestra) {
    const QString nome = QStringLiteral("GuardiaSchermo");
    if (finestra.findChild<QObject*>(nome, Qt::FindDirectChildrenOnly)) return;
    auto* guardia = new GuardiaSchermo(&finestra);
    guardia->setObjectName(nome);
    finestra.installEventFilter(guardia);
}
