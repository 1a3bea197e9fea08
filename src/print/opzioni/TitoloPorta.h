#pragma once
// Small routines of the print options: the report title from the program's
// menu entry, the port of a printer chosen by name, and the focus colour of
// the print dialog's text boxes.
#include <QString>

class OpzSta;
class QWidget;

// StampaCaption and StampaDescPrg from the menu entry of the program key and
// the form's key (the caption again when the entry has no description); both
// empty when there is no entry. Failures of the menu reach the caller.
void LeggiTitoloMenuStampa(OpzSta& opz, const QString& chiaveSec);

// The port of the first installed printer of that name (case ignored), with
// bin and paper size back to the printer's own; false, changing nothing,
// when no printer has the name.
bool ImpostaPortaStampanteOpz(OpzSta& opz, const QString& nomeStampante);

// A text box of the print options dialog takes the focus colour.
void ColoriFrmStampa(QWidget* campo);
