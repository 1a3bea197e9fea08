#pragma once
// The work both database benchmarks do, on a file and on a server.
#include <QString>

namespace bench {

inline const char* const kSchema =
    "CREATE TABLE Causali (Causale VARCHAR(5) COLLATE NOCASE PRIMARY KEY, Descrizione TEXT, TipoCausale TEXT);"
    "CREATE TABLE Righe (Id INTEGER PRIMARY KEY, Causale VARCHAR(5) COLLATE NOCASE, Descrizione TEXT,"
    " Importo DOUBLE PRECISION);";

inline QString inserisci(long i) {
    return QStringLiteral("INSERT INTO Righe (Id, Causale, Descrizione, Importo) VALUES (%1, 'C%2', 'Riga d''esempio %1', %3)")
        .arg(i)
        .arg(i % 50)
        .arg(i * 1.25);
}

inline QString causale(long c) {
    return QStringLiteral("INSERT INTO Causali VALUES ('C%1', 'Causale %1', 'V')").arg(c);
}

constexpr long kCausali = 50;
constexpr long kRigheLettura = 1000;
inline const char* const kJoin =
    "SELECT Righe.*, Causali.Descrizione, Causali.TipoCausale FROM Righe"
    " INNER JOIN Causali ON Righe.Causale = Causali.Causale ORDER BY Righe.Id";

}  // namespace bench
