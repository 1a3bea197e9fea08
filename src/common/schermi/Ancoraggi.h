#pragma once
// A data screen that holds a grid grows with its window: the grid takes the
// extra width and height, the frame around it follows, and what lies below
// it moves down with the bottom edge. The geometry is taken once the form is
// laid out and scaled; that size becomes the smallest the window accepts.
#include <QList>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

class Ancoraggi {
public:
    enum Modo { Largo = 1, Alto = 2, Giu = 4 };
    void Aggiungi(QWidget* w, int modo);
    // Takes the present geometry as the base and lets the window grow.
    void Fissa(QWidget& form);
    void Applica(const QSize& dim) const;

private:
    struct Voce {
        QPointer<QWidget> w;
        int modo;
        QRect base;
    };
    QList<Voce> voci_;
    QSize base_;
};
