#pragma once
// One QApplication for the widget tests (offscreen platform), made on first use.
class QApplication;
QApplication& AppTest();
