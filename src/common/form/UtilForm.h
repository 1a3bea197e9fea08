#pragma once
// Small routines every form shares: the active field's text, the tab order,
// date fields, loaded forms, the hourglass, option groups, amounts, the
// screen's automatic factor.
#include "components/core/Valore.h"

#include <QString>
#include <optional>

class QWidget;
class QAbstractButton;

// The form whose control has the focus (the active window, else the last
// loaded form that is visible), and its active control.
QWidget* FormAttiva();
QWidget* ControlloAttivo(QWidget* form = nullptr);

// Selects the whole text of the active control.
void SelezTestoAttivo();

// Moves the focus along the tab order of the active form; with a direction
// (the shift state) 1 goes backwards. True when the focus moved.
bool SpostaFuocoTab(int step, std::optional<int> direzione = std::nullopt, QWidget* form = nullptr);

// Failure codes of the date check.
constexpr long DataNonValida = -657434;
constexpr long DataErrata = -2;

// Checks the date typed in a field against the smallest accepted date.
// modo: 0 nothing, 1 colour, 2 focus, 3 both. Returns the date's serial
// number or a failure code.
long ControllaCampoData(QWidget* campo, int tipoData, int modo, std::optional<long> colNormale = std::nullopt,
                        QString* messaggio = nullptr, bool mostraBox = false);

bool FormCaricata(const QString& nome);
int IndiceForm(const QString& nome, const std::optional<QString>& caption = std::nullopt);

// Hourglass pointer on (non-zero) and off.
void CursoreAttesa(int attiva);
// The hourglass while it lives, for work the user waits on (opening a
// database, a look-up); it leaves alone an hourglass already shown, so that
// it may sit inside a longer wait, and does nothing without a screen.
class CursoreOccupato {
public:
    CursoreOccupato();
    ~CursoreOccupato();
    CursoreOccupato(const CursoreOccupato&) = delete;
    CursoreOccupato& operator=(const CursoreOccupato&) = delete;

private:
    bool messo_ = false;
};
// While it lives the program waits for the user (a box, the preview): a busy
// pointer gives way to the normal arrow, and comes back when it ends.
class AttesaUtente {
public:
    AttesaUtente();
    ~AttesaUtente();
    AttesaUtente(const AttesaUtente&) = delete;
    AttesaUtente& operator=(const AttesaUtente&) = delete;

private:
    bool freccia_ = false;
};
// Hides the loaded forms whose oiNoHelp is above 0 (before a lookup list).
void NascondiFormAperte();
// Leaves no button of the group selected.
void AzzeraOpzione(QAbstractButton* bottone);

// Focuses txt(index) (or txtAppo(index) with the mirror flag) and runs the
// form's key-up handler txt_KeyUp / txtAppo_KeyUp with that key.
Valore InviaKeyUp(QWidget& form, int indice, int& keyCode, int& appo);

// -1, 0 or 1 after rounding both at the precision; a Null second value
// gives 0 when the first is empty, else 1.
int ConfrontaVal(const Valore& primo, const Valore& secondo, int precisione = -8);
int BoolDaFlag(int flag);

// The automatic scale factor of the screen (smaller of width/800 and
// height/600, two decimals); the size in pixels in the outputs.
double RisoluzioneSchermo(int& larghezza, int& altezza);
double FattoreSchermo(int larghezza, int altezza);
