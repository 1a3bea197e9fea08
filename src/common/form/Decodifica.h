#pragma once
// Decoding of code fields through the lookup help: when to decode, when to
// open the lookup list by itself, with which key and columns, and which
// settings of the library to set before and restore after.
#include "components/core/Valore.h"

#include <QString>
#include <optional>

class QWidget;
class QorAiuti;

// The lookup library, created with its callback object on first use.
QorAiuti& Aiuti();

// Decodes a code field. diretto -1 (and an empty field) go straight to the
// library; otherwise DecodCodice, which may open the list. attesa 0 lets
// pending events through before a list opens.
Valore DecodCampo(const QString& tabella, QWidget* casella, QWidget* etichetta,
                  const std::optional<Valore>& tipo = std::nullopt, int intero1 = 0, const QString& testo = {},
                  int intero2 = 0, const std::optional<Valore>& opzionale = std::nullopt,
                  const QString& filtro = {}, int diretto = 0, int attesa = 0);
// Decodes; when the code does not exist and the user's options ask for it,
// opens the list and decodes again after a choice. False (a flag value) when
// the list closed without a choice.
Valore DecodCodice(const QString& tabella, QWidget* casella, QWidget* etichetta, const std::optional<Valore>& tipo,
                   int intero1, const QString& testo, int intero2, const std::optional<Valore>& opzionale,
                   const QString& filtro, int attesa, const QString& codiceSmascherato);
// Prepares and opens the list of a table for the key (negative, or F2 to
// F12); an empty result for any other key.
Valore PrepListaAiuto(const QString& tabella, QWidget* casella, QWidget* etichetta, int keyCode,
                      const std::optional<Valore>& tipo, int& scelta, const QString& colonneAgg = {},
                      int intero = 0, const QString& filtro = {});
// The kind suffix of an account list ("", "0" none, "1", "2", "3").
QString TipoChiaveAiuto(const QString& specifica, const QString& testo, int keyCode);
// Decodes a value into its description (run forms: company id).
Valore DecodValore(const QString& tabella, const QString& colChiave, QWidget* casella, QWidget* etichetta,
                   int flag, int intero1, int intero2, const QString& colDescr,
                   const std::optional<Valore>& opz1 = std::nullopt, const std::optional<Valore>& opz2 = std::nullopt,
                   const QString& filtro = {});
