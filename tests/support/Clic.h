#pragma once
// Clicks a toolbar command as the user does: on its button when the toolbar
// shows it, through the overflow menu's action otherwise. A disabled command
// does nothing either way.
#include <QAction>
#include <QTest>
#include <QToolBar>

inline QAction* AzioneBarra(QToolBar* barra, const QString& chiave) {
    for (QAction* a : barra->actions())
        if (a->objectName() == chiave) return a;
    return nullptr;
}

inline void CliccaComando(QToolBar* barra, const QString& chiave) {
    QAction* a = AzioneBarra(barra, chiave);
    if (!a) return;
    QWidget* bottone = barra->widgetForAction(a);
    if (bottone && bottone->isVisible()) QTest::mouseClick(bottone, Qt::LeftButton);
    else if (a->isEnabled() && a->isVisible()) a->trigger();
}
