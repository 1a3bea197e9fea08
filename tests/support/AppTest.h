#pragma once
// One QApplication for the widget tests (offscreen platform), made on first use.
// The tree's and the build's folders come with it, for the tests that read them.
#include "support/PercorsiTest.h"

class QApplication;
QApplication& AppTest();
