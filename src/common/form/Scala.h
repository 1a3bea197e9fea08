#pragma once
// Screen-resolution scaling: forms are drawn for an 800 x 600 screen with
// absolute geometry; at load each form and its controls are multiplied by one
// factor, taken from the settings [Risoluzione Video], the form's own key or
// the screen size. The arithmetic is in pure functions; RisVidForm and
// RidimControlli apply it to a form.
#include <QList>
#include <QMargins>
#include <QRect>
#include <QString>
#include <optional>

class QWidget;

// One exclusion: control name, index (-1 every element) and flags that keep
// a group unscaled: 1 position, 2 size, 4 font and the kind's extras.
struct EsclusioneScala {
    QString nome;
    int indice = -1;
    int flag = 0;
};
using ListaEsclusioni = QList<EsclusioneScala>;

namespace FlagScala {
constexpr int Posizione = 1, Dimensione = 2, Carattere = 4;
}

// What the sources of the factor give (steps before fitting).
struct SceltaFattore {
    double fattore = 1;          // the factor variable after the choice
    bool nessunaScala = false;   // the form keeps its designed size
    bool adattaAltezza = false;  // automatic factor: fit in height and width
    bool adattaLarghezza = false;
};

// argomento: the caller's factor (-2 settings). gen, base: "Generale" and
// "PersBase". valoreChiave: the form's own key read from the settings, nullopt
// when the form has no key (-2 when the key is missing). fattoreSchermo: the
// automatic factor.
SceltaFattore SceltaFattoreForm(double argomento, double gen, double base, std::optional<double> valoreChiave,
                                double fattoreSchermo);

// The screen as the fitting sees it, in twips (the taskbar's top in pixels).
struct MisureSchermoScala {
    int larghezzaTwips = 0;
    int altezzaTwips = 0;
    bool barraNascosta = false;
    int bordoBarra = -1;  // 3 bottom
    long cimaBarraPixel = 0;
    int twipsPerPixelY = 15;
    QRect areaTwips;        // what the panels leave free; empty: the whole screen
    QMargins corniceTwips;  // the window's title bar and borders around the form
};

// The factor reduced so that the form (left, top, width, height in twips)
// stays on the screen, above a bottom taskbar and inside the work area, with
// its frame. A panel on an edge fits the form along that edge whatever the
// factor's source, as a bottom taskbar does.
double AdattaFattore(double fattore, bool adattaAltezza, bool adattaLarghezza, const QRect& formTwips,
                     const MisureSchermoScala& schermo);

// Flags of the first exclusion matching a control (name ignoring case, index
// -1 or equal), 0 when none.
int FlagEsclusione(const ListaEsclusioni& escl, const QString& nome, int indice);

// A rectangle scaled unless its flags keep position or size.
QRect RettScalato(const QRect& r, double fattore, int flag);
// A font size scaled.
double DimCarattereScalata(double dimensione, double fattore);

// Decides the form's factor, fits it to the screen, records it in the form's
// odRisVidVal and, unless mantieniDim is non-zero, scales the form. fattore:
// -2 takes it from the settings; it receives the factor applied. Returns the
// factor applied, or 1 when nothing is scaled. Failures are ignored.
double RisVidForm(QWidget& form, int mantieniDim, double& fattore, const ListaEsclusioni& escl = {});
// Multiplies the form's size and font and every control's position, size and
// font by the factor (nothing unless the factor is above 0 and not 1).
void RidimControlli(QWidget& form, double fattore, const ListaEsclusioni& escl = {});
