#pragma once
// The members every form of the program offers to the common routines: its
// components and toolbars, its key and focus handlers (MembriForm), its
// control arrays, its colours and the members read by name.
//
// Members read by name are Qt properties of the form (Q_PROPERTY or dynamic):
// "oiAbilRW", "osParam", "osKeySec", "odRisVidVal", "osRisVidKey", "oiNoHelp",
// and "HelpContextID" on any widget. A form lacking one that a routine needs
// raises ErroreRun 438, as a late-bound call to a missing member does.
//
// Control arrays: every element carries the array's name as its objectName
// ("txt", "Lab") and its index in the property "Index".
#include "components/core/Valore.h"

#include <QList>
#include <QString>

class QWidget;
class QToolBar;
class QLineEdit;
class QColor;
class QObject;

// A page, lines or list component of a data screen, as the common routines
// call it.
class ComponenteDati {
public:
    virtual ~ComponenteDati() = default;
    // Named parameters (ovLeggiPar): "RisVid" (the scale factor) and
    // "RisVidFatta" (true once the form is scaled).
    virtual void ImpostaPar(const QString& nome, const Valore& valore) = 0;
    virtual Valore LeggiPar(const QString& nome) const = 0;
    // 1 read and write, 0 read-only (page and lines components).
    virtual void ImpostaAbilRW(int abilRW) = 0;
    virtual int AbilRW() const = 0;
    // The command key of a key code, empty when the key means nothing.
    virtual QString TastoPremuto(int keyCode) = 0;
    // 0 when the page is idle (page component).
    virtual int oiFlagOpe() const { return 0; }
    // Current row and row count (lines component).
    virtual void RecCorrSuTot(QString& corrente, QString& totale) const {
        corrente.clear();
        totale.clear();
    }
};

// Members of a form beyond its properties: components, toolbars, the command
// method and the form's own handlers that key preview and the fields' focus
// call. A form derives from it next to QWidget; every member is optional.
class MembriForm {
public:
    virtual ~MembriForm() = default;

    virtual ComponenteDati* ogComPag() const { return nullptr; }
    virtual ComponenteDati* ogLinPag() const { return nullptr; }
    virtual ComponenteDati* ogLisPag() const { return nullptr; }
    virtual ComponenteDati* ogComlin() const { return nullptr; }
    // Toolbars: each button is a QAction whose objectName is its Key.
    virtual QToolBar* tolComPag() const { return nullptr; }
    virtual QToolBar* tolLinPag() const { return nullptr; }
    virtual QToolBar* tolComlin() const { return nullptr; }
    // Record counter of the detail screens.
    virtual QLineEdit* txtRiga() const { return nullptr; }
    // Runs the toolbar command of that key.
    virtual void ButtonComando(const QString& psKey) { (void)psKey; }

    // The form's own command key for a key (header screens: "Dettaglio" for
    // Alt+E); empty for none.
    virtual QString ComandoProprio(int keyCode, int shift) const {
        (void)keyCode;
        (void)shift;
        return {};
    }
    // Key preview. The defaults are the common handling: GestTastiForm, then
    // TastiComandi with the blocks given to InizForm; FiltraTasto.
    virtual void Form_KeyDown(int& KeyCode, int Shift);
    virtual void Form_KeyPress(int& KeyAscii);
    // Focus of an element of "txt". Defaults: select its text and take the
    // focus colour; on exit the lost-focus colour.
    virtual void txt_GotFocus(int Index);
    virtual void txt_LostFocus(int Index);
    // Key-up of an element of "txt" or of its hidden mirror "txtAppo"
    // (InviaKeyUp calls them).
    virtual void txt_KeyUp(int Index, int& KeyCode, int Shift) {
        (void)Index;
        (void)KeyCode;
        (void)Shift;
    }
    virtual void txtAppo_KeyUp(int Index, int& KeyCode, int Shift) {
        (void)Index;
        (void)KeyCode;
        (void)Shift;
    }
};

// --- Colours: BackColor as the program stores it (BGR, 0x800000nn system
// colours). The value is kept on the widget as the property "BackColor".

constexpr long ColFacciaBottone = 0x8000000F;  // button face: forms, labels, frames, buttons
constexpr long ColSfondoFinestra = 0x80000005; // window background: edit fields and lists

long BackColor(const QWidget* w);
void ImpostaBackColor(QWidget* w, long colore);
QColor ColoreQt(long colore);

// --- Controls

// The form's controls in collection order: widgets placed on the form or in
// its frames and picture boxes (plain QWidget, QFrame, QGroupBox), without the
// inner parts of composite widgets.
QList<QWidget*> ControlliForm(const QWidget& form);

// --- Control arrays

void ImpostaElemento(QWidget* w, const QString& nome, int indice);
// The element's index, -1 when the widget is not an array element.
int IndiceElemento(const QObject* w);
// The element of the form's array with that index, nullptr when none.
QWidget* Elemento(const QWidget& form, const QString& nome, int indice);

// --- Members read by name

Valore LeggiMembro(const QObject& o, const char* nome);     // raises 438 when missing
void ScriviMembro(QObject& o, const char* nome, const Valore& v);  // raises 438 when missing
bool HaMembro(const QObject& o, const char* nome);

// --- Forms that ran InizForm, in load order (those still alive)

QList<QWidget*> FormsIniziate();
void RegistraFormIniziata(QWidget& form);
