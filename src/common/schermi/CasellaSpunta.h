#pragma once
// The check box of the data screens: a click ticks or clears it, never greys
// it; grey (no value) is set only by the program, and by the Delete key or
// the right button where the screen allows it.
#include <QCheckBox>

class CasellaSpunta : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }
};
