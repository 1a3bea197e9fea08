#include "common/schermi/BarraComandi.h"

#include <QAction>
#include <QToolBar>
#include <QWidget>

int DisponiComandi(QToolBar& barra, QWidget& form) {
    const int larghezza = form.width();
    if (barra.isHidden()) return 0;
    if (barra.sizeHint().width() <= larghezza) {
        barra.resize(larghezza, barra.height());
        return 0;
    }
    QList<QToolBar*> righe;
    auto nuovaRiga = [&] {
        auto* r = new QToolBar(&form);
        r->setObjectName(barra.objectName() + QStringLiteral("Riga%1").arg(righe.size() + 1));
        r->setGeometry(0, barra.y() + righe.size() * barra.height(), larghezza, barra.height());
        righe << r;
        return r;
    };
    QToolBar* riga = nuovaRiga();
    for (QAction* a : barra.actions()) {
        if (a->isSeparator()) {
            if (!riga->actions().isEmpty()) riga->addSeparator();
            continue;
        }
        riga->addAction(a);
        // A command hidden now may show later: every command counts.
        const bool visibile = a->isVisible();
        a->setVisible(true);
        const bool entra = riga->sizeHint().width() <= larghezza;
        a->setVisible(visibile);
        if (!entra && riga->actions().size() > 1) {
            riga->removeAction(a);
            const QList<QAction*> resto = riga->actions();
            if (!resto.isEmpty() && resto.last()->isSeparator()) riga->removeAction(resto.last());
            riga = nuovaRiga();
            riga->addAction(a);
        }
    }
    barra.hide();
    const int aggiunta = (righe.size() - 1) * barra.height();
    if (aggiunta == 0) return 0;
    for (QObject* o : form.children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow() || w == &barra || righe.contains(w)) continue;
        if (w->y() >= barra.y() + barra.height()) w->move(w->x(), w->y() + aggiunta);
    }
    const QSize dim(form.width(), form.height() + aggiunta);
    if (form.minimumSize() == form.maximumSize()) form.setFixedSize(dim);
    else form.resize(dim);
    return aggiunta;
}
