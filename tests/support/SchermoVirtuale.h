#pragma once
// A real desktop for the layout tests: a virtual X screen of 1366 x 768 on a
// display number of its own, a window manager that draws title bars and
// borders, and a 24-pixel panel at the top that the manager keeps free, so
// that QScreen::availableGeometry is smaller than the screen. Started once per
// process, before the QApplication, and ended with the process.
// Avvia() must run before AppTest(): it points the application at the new
// display. When the X server cannot start it answers false and Motivo() says
// why; the caller skips.
#include <QRect>
#include <QString>
#include <functional>

class QWidget;

namespace SchermoVirtuale {

constexpr int kAltezzaPannello = 24;

bool Avvia();
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

}  // namespace SchermoVirtuale
