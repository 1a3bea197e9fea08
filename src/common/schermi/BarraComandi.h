#pragma once
// The commands of a data screen in sight. A screen's toolbar is the list of
// commands its components read and switch; when the form is too narrow for
// it, the same actions are shown in as many rows of toolbars as the width
// needs, the toolbar itself is hidden, and everything below it moves down by
// the rows added, the form growing with it. Called on the design geometry,
// before the form is scaled.
class QToolBar;
class QWidget;

// Returns the height added (0 when the toolbar fits as it is).
int DisponiComandi(QToolBar& barra, QWidget& form);
