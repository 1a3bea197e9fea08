#pragma once
// What the forms and the print layer ask of the host (the program's top, which
// loads the six forms and talks to the menu): the forms loaded, the bookkeeping
// of a form's load and unload, the return to the menu and a request to close.
// The host installs itself in the context (ggOspite) at start-up; below the
// top nothing knows the host's class.
#include <QList>

class QWidget;
class FormBase;

class ServizioOspite {
public:
    virtual ~ServizioOspite() = default;

    // Top-level forms loaded, in load order, the hidden main form first.
    virtual QList<QWidget*> FormsCaricate() const = 0;
    virtual void RegistraCaricata(FormBase* f) = 0;
    virtual void RimuoviCaricata(FormBase* f) = 0;
    // A loaded form has unloaded: control goes back to whoever opened it.
    virtual void FormScaricata(FormBase* form, bool flag) = 0;
    virtual void RitornaMenu() = 0;
    // The program is asked to close when no form is left (flag 0).
    virtual void ChiudiRichiesto(int flag) = 0;
};
