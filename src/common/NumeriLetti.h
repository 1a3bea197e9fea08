#pragma once
// How the extractions tell a number column that holds text which reads as no
// number (TestoNonNumerico): read as a number it would count as 0, so the run
// stops and names where the value is, in the same words on both roads.
#include "components/core/Valore.h"

#include <QString>

// "Il " + soggetto (the registration or row) + " ha nella colonna " + colonna
// + " il valore "<text>", che non è un numero".
QString NotaNonNumerico(const QString& soggetto, const QString& colonna, const Valore& valore);
