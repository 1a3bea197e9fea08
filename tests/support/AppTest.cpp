#include "AppTest.h"

#include <QApplication>
#include <cstdlib>

QApplication& AppTest() {
    static int argc = 1;
    static char nome[] = "test";
    static char* argv[] = {nome, nullptr};
    if (!qApp) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static QApplication* app = new QApplication(argc, argv);
        return *app;
    }
    return *static_cast<QApplication*>(QCoreApplication::instance());
}
