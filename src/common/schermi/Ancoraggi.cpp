#include "common/schermi/Ancoraggi.h"

#include <QWidget>

#include <algorithm>

void Ancoraggi::Aggiungi(QWidget* w, int modo) {
    if (w) voci_.append({w, modo, QRect()});
}

void Ancoraggi::Fissa(QWidget& form) {
    for (Voce& v : voci_)
        if (v.w) v.base = v.w->geometry();
    base_ = form.size();
    form.setMinimumSize(base_);
    form.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void Ancoraggi::Applica(const QSize& dim) const {
    if (!base_.isValid()) return;
    const int dx = std::max(0, dim.width() - base_.width());
    const int dy = std::max(0, dim.height() - base_.height());
    for (const Voce& v : voci_) {
        if (!v.w) continue;
        QRect r = v.base;
        if (v.modo & Largo) r.setWidth(r.width() + dx);
        if (v.modo & Alto) r.setHeight(r.height() + dy);
        if (v.modo & Giu) r.moveTop(r.top() + dy);
        v.w->setGeometry(r);
    }
}
