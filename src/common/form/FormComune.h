#pragma once
// What every form of the program shares: the set-up around its load
// (InizForm ... FineInizForm), key preview with the common key handling,
// the field colours, and the conventions that let the common routines read
// a form's members by name.
//
// Members read by name are Qt properties of the form (Q_PROPERTY or dynamic):
// "oiAbilRW", "osParam", "osKeySec", "odRisVidVal", "osRisVidKey", "oiNoHelp",
// and "HelpContextID" on any widget. A form lacking one that a routine needs
// raises ErroreRun 438, as a late-bound call to a missing member does.
//
// Control arrays: every element carries the array's name as its objectName
// ("txt", "Lab") and its index in the property "Index".
#include "common/form/MembriForm.h"
#include "components/core/Valore.h"

#include <QList>
#include <QString>
#include <optional>

class QWidget;

// Caption + " - " + text, or + " - " + the company description when no text.
QString TitoloForm(const QString& caption, const std::optional<QString>& testo = std::nullopt);

// Start of every form's load, before it configures its components: colours,
// the loading splash, the caption with the company, key preview, the
// read-only switch "/RO" into oiAbilRW (when honoured), the scale factor
// handed to the components. Raises ErroreRun when a member is missing.
void InizForm(QWidget& form, bool pagina = false, bool linee = false, bool lista = false,
              bool soloLetturaOnorato = false);
// Last step of the load: window state, oiAbilRW to the components, the row
// counter, the splash closed, the form scaled.
void FineInizForm(QWidget& form, bool pagina = false, bool linee = false, bool lista = false);

// Key preview without the rest of the set-up (InizForm turns it on): every key
// of the form's widgets reaches the form's Form_KeyDown / Form_KeyPress first,
// and the focus of its "txt" elements its txt_GotFocus / txt_LostFocus.
void AttivaAnteprimaTasti(QWidget& form, bool pagina = false, bool linee = false, bool lista = false);

