#pragma once
// The paper bin and paper size lists of the print options dialog, as pure
// functions over what a printer driver answers. Item 0 is always "Nessuna
// impostazione - Default"; every other item reads "<number> - <name>", so
// that the stored number is read back from the item's own text. Numbers and
// names are paired up to the shorter list: a driver that answers lists of
// different lengths never reads past either.
#include <QList>
#include <QString>
#include <QStringList>

inline const QString VoceNessunaImpostazione = QStringLiteral("Nessuna impostazione - Default");

// A driver's name: the text up to its first NUL, cut to the field width
// (24 characters for bins, 64 for paper sizes).
QString NomeDriver(const QString& grezzo, int larghezza);

// Bin items: number right-aligned in 6 characters, " - ", name.
QStringList VociCassetti(const QList<int>& numeri, const QStringList& nomi);
// Size items: number, " - ", name, and " (ATTUALE)" for the current size.
QStringList VociFormati(const QList<int>& numeri, const QStringList& nomi, int corrente);

// The number an item stands for: 0 for item 0 or an item without "-",
// otherwise the whole number before its first "-".
int NumeroDaVoce(const QString& voce);
// The index of the last item standing for `numero` among `voci` (item 0
// counted at index 0); 0 when none does.
int IndiceVoce(const QStringList& voci, int numero);
