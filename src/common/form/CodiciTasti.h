#pragma once
// Key codes and shift states as the forms' key handlers receive them (the
// platform's virtual-key numbers), and their reading from a Qt key event.
class QKeyEvent;

namespace Tasto {
constexpr int Invio = 13, Esc = 27, PagSu = 33, PagGiu = 34, Fine = 35, Inizio = 36, Su = 38, Giu = 40;
constexpr int F = 70, S = 83, Barra = 92, PuntoTastierino = 110;
constexpr int F1 = 112, F2 = 113, F3 = 114, F4 = 115, F5 = 116, F10 = 121, F12 = 123;
}  // namespace Tasto
namespace Maiusc {
constexpr int Shift = 1, Ctrl = 2, Alt = 4;
}

// The key code and shift state of a Qt key event (0 for keys the program
// does not number).
int CodiceTasto(const QKeyEvent& e);
int StatoMaiusc(const QKeyEvent& e);
