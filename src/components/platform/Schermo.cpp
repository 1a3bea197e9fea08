#include "components/platform/Schermo.h"

#include <QGuiApplication>
#include <QScreen>

int Schermo::AreaUtileSchermo() const {
    int bordo = -1;
    long cima = 0;
    const bool nascosta = PosBarraApp(bordo, cima);
    if (!nascosta && bordo == 3) return static_cast<int>(cima) * TwipsPerPixel;
    return AltezzaTwips();
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
