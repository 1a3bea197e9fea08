#include "support/PercorsiTest.h"

QString CartellaSorgenti() { return QStringLiteral(COMIVA_SOURCE_DIR); }
QString CartellaBin() { return QStringLiteral(COMIVA_BIN_DIR); }
QString CartellaXsd() { return QStringLiteral(COMIVA_XSD_DIR); }
QString CartellaSchema() { return QStringLiteral(COMIVA_SCHEMA_DIR); }
