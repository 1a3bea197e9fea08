#pragma once
// Qt's own texts in Italian: the buttons of the standard boxes ("Annulla"),
// the file dialogs and the context menus of the fields. Installed once at
// start-up by the program and by the menu stand-in, before any window shows.
class QCoreApplication;

// Loads Qt's Italian translations (the system's, from Qt's translations
// folder) into the application; false when they are not installed, and the
// dialogs then stay in English.
bool CaricaTraduzioniQt(QCoreApplication& app);
