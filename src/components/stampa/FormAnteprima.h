#pragma once
// What the print object asks of the on-screen preview that the program hands
// it as ofrmVStampa: show itself for a print, take each finished page, wait
// for the user between pages, and go when the print has ended. The form may
// close on its own (the user leaves), so the print object holds it through
// RifAnteprima, which empties when the form is gone.
#include <QImage>
#include <QObject>
#include <QPointer>

class Stampa;

class FormAnteprima {
public:
    virtual ~FormAnteprima() = default;

    // The form as an object, to know when it is gone.
    virtual QObject* OggettoAnteprima() = 0;
    // Shown for this print: page files, first page, waiting state.
    virtual void MostraAnteprima(Stampa* st) = 0;
    // A finished page: its picture, whether it is the last, and whether pages
    // are kept (the form lights its arrows from the print object's page state).
    virtual void PaginaPronta(const QImage& pagina, bool ultima, bool memPag) = 0;
    // The print has ended and no page follows: after a stop the pages drawn
    // so far stay to be seen, and no page is asked for any more.
    virtual void FineAnteprima(bool interrotta) = 0;
    // Waits until the user asks for a page not produced yet or leaves.
    virtual void Continua() = 0;
    // True while the user has not left the preview.
    virtual bool AnteprimaAttiva() const = 0;
    // True when a test answers for the user (Continua returns after one step).
    virtual bool AttesaScriptata() const = 0;
    // Unloads the form; false when refused.
    virtual bool Scarica() = 0;
};

class RifAnteprima {
public:
    RifAnteprima& operator=(FormAnteprima* f) {
        form_ = f;
        vita_ = f ? f->OggettoAnteprima() : nullptr;
        return *this;
    }
    FormAnteprima* get() const { return vita_ ? form_ : nullptr; }
    FormAnteprima* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    FormAnteprima* form_ = nullptr;
    QPointer<QObject> vita_;
};
