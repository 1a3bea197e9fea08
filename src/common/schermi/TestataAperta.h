#pragma once
// What a lines or list screen asks of the header screen that opened it: the
// window to bring back, the detail row chosen there, the return to the menu,
// and the notice that the detail screen has closed.
class QWidget;

class TestataAperta {
public:
    virtual ~TestataAperta() = default;
    virtual QWidget* FinestraTestata() = 0;
    // The detail row chosen by a double click on the header's grid, -1 none.
    virtual long PosDettaglio() const = 0;
    virtual void MenuTestata() = 0;
    virtual void DopoGestDettaglio() = 0;
};
