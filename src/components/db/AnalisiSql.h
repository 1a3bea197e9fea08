#pragma once
// Reading of a query's text, only as far as a record set needs it: the tables
// of the outer FROM with their aliases, where that FROM begins, and whether
// each result row is one row of those tables (no DISTINCT, grouping,
// aggregate or compound select). Pure: no database is involved. Literals are
// one token "'", numbers "0"; identifiers lose their quotes ("", [], ``).
#include <QString>
#include <vector>

struct TokenSql {
    bool ident = false;
    QString testo;  // identifiers without their quotes
    int pos = 0;
};

struct IstanzaTabella {
    QString tabella;
    QString alias;  // the table's own name when it has no alias
};

struct AnalisiSql {
    bool semplice = false;  // each result row is one row of each table
    int posFrom = -1;       // where the outer FROM begins
    std::vector<IstanzaTabella> istanze;
};

std::vector<TokenSql> tokenizzaSql(const QString& s);
AnalisiSql analizzaSql(const QString& sql);
// The items of the outer select list, token by token: past SELECT, split at
// the commas outside brackets, up to the outer FROM (the whole text without one).
std::vector<std::vector<TokenSql>> vociElencoSelezione(const QString& sql, const AnalisiSql& a);
