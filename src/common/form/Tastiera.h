#pragma once
// The keyboard behaviour every form shares: help keys, Ctrl keys offered to
// the menu, find and replace in text boxes, Enter along the tab order,
// navigation and Alt keys as toolbar commands, the keypad point as a comma;
// and the focus colours of the edit fields.
#include "common/form/CodiciTasti.h"

#include <QString>

class QKeyEvent;
class QWidget;

// Common key-down: 1 when the key was taken (KeyCode then 0), else 0.
int GestTastiForm(int& KeyCode, int Shift, QWidget& form);
// Navigation and Alt keys as toolbar commands of the blocks the form declares.
// Raises ErroreRun when a component or toolbar the form declares is missing.
void TastiComandi(int& KeyCode, int Shift, QWidget& form, bool pagina, bool linee, bool lista,
                  const QString& comandoProprio = {});
// The character to use in place of the typed one; 0 drops it.
int FiltraTasto(int KeyAscii);

// The field takes the focus colour (unless it is marked with the error
// colour), and fields of the form left coloured by an earlier focus are put
// right.
void ColoreFocus(QWidget* campo);
void ColorePerdeFocus(QWidget* campo);

// Splits an account code "GG-MM-CCCC" or "GGMMCCCC" into group, master, account.
void DividiCodice(const QString& codice, QString& gruppo, QString& mastro, QString& conto);
