#pragma once
// Clicks a toolbar command as the user does: on its button when the toolbar
// shows it, through the overflow menu's action otherwise. A disabled command
// does nothing either way. Clicks a row of a grid on its first visible cell,
// and types over a box's text.
#include <QAction>
#include <QLineEdit>
#include <QTableView>
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

inline void CliccaRigaGriglia(QTableView* griglia, int riga) {
    for (int c = 0; c < griglia->model()->columnCount(); ++c)
        if (!griglia->isColumnHidden(c)) {
            const QRect cella = griglia->visualRect(griglia->model()->index(riga, c));
            QTest::mouseClick(griglia->viewport(), Qt::LeftButton, {}, cella.center());
            return;
        }
}

// Focus on the box, its text selected, the keys typed over it.
inline void DigitaSopra(QLineEdit* box, const QString& testo) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, testo);
}
