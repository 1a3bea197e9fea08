#pragma once
// A real desktop for the layout tests: a virtual X screen (1366 x 768 unless
// asked otherwise) on a display number of its own, a window manager that
// draws title bars and borders, and a 24-pixel panel at the top that the
// manager keeps free, so that QScreen::availableGeometry is smaller than the
// screen. Started once per process, before the QApplication, and ended with
// the process: a process has one screen size, so a test that asks for
// another size than the one running answers false (ctest runs each test in a
// process of its own).
// Avvia() must run before AppTest(): it points the application at the new
// display. When the X server cannot start it answers false and Motivo() says
// why; the caller skips.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

class QWidget;

namespace SchermoVirtuale {

constexpr int kAltezzaPannello = 24;

bool Avvia(QSize dimensioni = QSize(1366, 768));
QString Motivo();

// Handles the events until the condition holds, at most for the time given;
// true when it holds. Unlike QTest::qWaitFor it deletes no object left to
// deleteLater, so the windows a test walks stay in place meanwhile.
bool Attendi(const std::function<bool()>& condizione, int millisecondi);
// Waits, on the events and never longer than a few seconds, until the window
// is shown with its frame and the window manager has placed it.
void AttendiCornice(QWidget& finestra);
// The window with its frame as the window manager states it
// (_NET_FRAME_EXTENTS); Qt's own frame geometry, else. Qt reckons the frame
// from the window tree, and a race with the manager's reparenting can leave
// that reckoning wrong.
QRect FinestraConCornice(QWidget& finestra);

// What a user does through the window manager, sent as a pager would send it
// (_NET_MOVERESIZE_WINDOW, source 2): the frame's top left corner to the
// point given; the window's inside to the size given.
void SpostaComeUtente(QWidget& finestra, QPoint angoloCornice);
void RidimensionaComeUtente(QWidget& finestra, QSize dentro);
// Waits until the X server has handled every request sent so far, then
// handles the events that came of them.
void Sincronizza();
// The program's windows from the bottom of the stack to the top, as the
// manager states them (_NET_CLIENT_LIST_STACKING).
QList<unsigned long> Pila();

}  // namespace SchermoVirtuale
