#pragma once
// Text routines of the output files: XML escaping of a value, fixed-width
// alignment and fill.
#include "components/core/Valore.h"

#include <QString>

// Turns CR LF into "&#xD;&#xA;" and a lone CR or LF into "&#xD;" or "&#xA;".
// The writers call it before counting a value's length; CodificaTestoXml keeps
// exactly these references.
QString RiferimentiACapo(const QString& testo);

// Escapes a value so that it can stand inside an XML element: "&", "<", ">",
// the double quote and the apostrophe become entities; the line-break
// references made by RiferimentiACapo pass unchanged, any other "&" is escaped;
// a character from code point 127 up becomes "&#<code point>;" (or "_" with
// altiComeTrattino); a control character below 32 becomes "_".
QString CodificaTestoXml(const QString& testo, bool altiComeTrattino = false);

// Fits a value to a width: "D" (any case) aligns right, anything else left;
// the first character of riempimento fills (a blank when it is empty); with
// taglia a longer value keeps its first (left) or last (right) characters.
QString AllineaCampo(const QString& valore, int larghezza, const QString& allineamento,
                     const QString& riempimento, bool taglia);

// The fill that brings the trimmed value up to the width; nothing when the
// value is already as long or longer.
QString Riempitivo(int larghezza, const Valore& valore, const QString& riempimento);
