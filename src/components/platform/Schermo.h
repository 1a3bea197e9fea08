#pragma once
// Screen metrics: size in pixels and twips, the taskbar's position and the
// height it leaves free, the work area that the desktop's panels leave free.
// SchermoQt reads the primary screen; SchermoFinto is the test double with
// settable values. Below them, the frame the window system puts around a
// window and the guard that keeps a window, frame included, inside the work
// area when it is shown or grows.
#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

// The unit of the forms' geometry: a fixed 15 twips to a pixel.
constexpr int TwipsPerPixel = 15;

class Schermo {
public:
    virtual ~Schermo() = default;

    // The whole screen, in pixels.
    virtual QSize DimensioniPixel() const = 0;
    // Taskbar: returns true when it hides itself. piBordo gets its edge
    // (0 left, 1 top, 2 right, 3 bottom) or -1 when its position cannot be
    // read, in which case plCima is left as it was; plCima gets the top of
    // the bar in pixels.
    virtual bool PosBarraApp(int& piBordo, long& plCima) const = 0;

    int LarghezzaTwips() const { return DimensioniPixel().width() * TwipsPerPixel; }
    int AltezzaTwips() const { return DimensioniPixel().height() * TwipsPerPixel; }
    // Usable height in twips: up to the top of a bottom taskbar that stays
    // on screen, else the whole screen height.
    int AreaUtileSchermo() const;
    // The work area in pixels, in the screen's own coordinates: what panels on
    // any edge leave free. By default the screen above a bottom taskbar.
    virtual QRect AreaDisponibile() const;
};

// The primary screen through QScreen. Linux has no taskbar record: a strip
// that the desktop keeps out of the available geometry counts as the bar,
// the bottom edge first, since only a bottom bar shortens the usable height.
// No strip at all reads as a bar whose position cannot be read.
class SchermoQt : public Schermo {
public:
    QSize DimensioniPixel() const override;
    bool PosBarraApp(int& piBordo, long& plCima) const override;
    QRect AreaDisponibile() const override;
};

class SchermoFinto : public Schermo {
public:
    QSize dimensioni{1280, 1024};
    bool nascostaAuto = false;
    int bordo = 3;      // -1: position not readable
    long cima = 984;
    QRect area;  // the work area; empty: as the taskbar leaves it

    QSize DimensioniPixel() const override { return dimensioni; }
    bool PosBarraApp(int& piBordo, long& plCima) const override {
        piBordo = bordo;
        if (bordo >= 0) plCima = cima;
        return nascostaAuto;
    }
    QRect AreaDisponibile() const override { return area.isEmpty() ? Schermo::AreaDisponibile() : area; }
};

// The frame around a window (title bar and borders) as the window system
// reports it once the window is framed; before that (and where the platform
// draws no title bars) the frame of a window already framed, else a title
// bar and borders all round.
QMargins CorniceFinestra(const QWidget& finestra);
// Moves the window so that, frame included, it lies inside the work area of
// its screen (QWidget::screen(), in global coordinates); when it is larger,
// its top left corner stays inside.
void RientraNelloSchermo(QWidget& finestra);
// Fits the window inside the work area when the program shows it or makes it
// grow, and again once the window manager has framed it. What the user does
// through the manager (move, resize, maximise, restore) is left alone, and so
// is a window the user left partly outside when the program makes it grow.
void TieniNelloSchermo(QWidget& finestra);
// Keeps a box in front of another window (transient for it) and centred on it.
void davantiA(QWidget& finestra, const QWidget& altra);
