#pragma once
// Checks a file written for transmission against the tax authority's published
// schema of its kind, the last gate before the file takes its final name. The
// schemas travel inside the program (resources), so the check needs neither the
// network nor files beside the executable.

#include <QString>

namespace comiva {

enum class SchemaTrasmissione {
    DatiFattura20,  // invoice data, version 2.0
    DatiFattura21,  // invoice data, version 2.1
    Ivp2017,        // periodic settlement, 2017 layout
    Ivp2018,        // periodic settlement, 2018 layout
};

struct EsitoSchema {
    bool valido = false;
    // The first fault found: the element it lies in, its line and its value,
    // so that the message can point the user at what to correct.
    QString elemento;
    int riga = 0;
    QString valore;
    QString dettaglio;  // the validator's own words, for the log only

    // One Italian line naming the element, the line and the value.
    QString descrizione() const;
};

// Name of the schema for messages ("DatiFattura 2.1", "IVP 2018").
QString NomeSchema(SchemaTrasmissione schema);

// Validates the file; never throws. A file that cannot be read or parsed is
// not valid, with the reason in `dettaglio` and `descrizione()`.
EsitoSchema ValidaSchema(const QString& file, SchemaTrasmissione schema);

}  // namespace comiva
