#pragma once
// The one application of a benchmark process that shows forms, made on first
// use, off screen unless the caller chose a platform.
#include <QApplication>

#include <cstdlib>

namespace bench {

inline QApplication& App() {
    static int argc = 1;
    static char nome[] = "bench";
    static char* argv[] = {nome, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace bench
