#pragma once
// Company code lookup: in a company-id field F2 looks the company up by id,
// F3 by description; the id found goes into the field and the description
// into its label. The list object (DecodLista) queries the shared database.
#include "components/core/Valore.h"

#include <QList>
#include <QString>
#include <QVariant>

class QWidget;
class DecodLista;

// The company list object, created on first use.
DecodLista& DecodDitte();

// Elements of a request's parameters; a step may write them back.
using ParametriDecod = QList<QVariant>;

// Key handler of a code field: F2 and F3 look up, other keys do nothing.
Valore DecodCampoTasto(const QString& nome, const QString& colChiave, QWidget* casella, QWidget* etichetta,
                       int keyCode, const QString& colDescr, int& trovato);
// Prepares the list through the provider and runs the lookup; true when a
// company was chosen.
bool DecodCodiceDitta(const QString& nome, const QString& colChiave, QWidget* casella, QWidget* etichetta,
                      int keyCode, const QString& colDescr, int& trovato);
// Calls the provider with a copy of the parameters and copies them back.
Valore DecodConParam(const QString& nome, const QString& passo, ParametriDecod& parametri);
// Routes a request by decoding name ("aziende").
Valore SmistaDecod(const QString& testo, const QString& nome, const QString& passo, ParametriDecod& parametri);
// The provider of "aziende": "imposta" sets key and field, "prepsql" builds the query.
Valore DecodAziende(const QString& nome, const QString& passo, ParametriDecod& parametri);
// The program has nothing to prepare for the library's decodings: true.
Valore PrepDecodClie(const QString& psKeyBase, const QString& psCampo, const Valore& pvValore,
                     const Valore& pvSoloDecod, const Valore& pvSqlNoFiltro);
