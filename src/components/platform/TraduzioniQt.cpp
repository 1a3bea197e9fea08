#include "components/platform/TraduzioniQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool CaricaTraduzioniQt(QCoreApplication& app) {
    // The users are Italian whatever the machine's language.
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    auto* traduttore = new QTranslator(&app);
    // "qt" loads qtbase and the other modules' files that it lists.
    if (!traduttore->load(italiano, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traduttore;
        return false;
    }
    return QCoreApplication::installTranslator(traduttore);
}
