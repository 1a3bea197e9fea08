#pragma once
// The numbers and origins of the errors the database layer raises, apart
// from the units that raise them: the server's connection and the database
// server both use them, and neither includes the other for that.
#include <QString>

// Numbers of the engine's errors that the layer raises besides NumErrore's.
namespace NumErroreDb {
constexpr long FileDbNonTrovato = 3024;   // database file missing
constexpr long FormatoNonSupportato = 3170;  // operation not available on this kind of database
constexpr long ConnessioneServerFallita = 3151;  // data source undefined or its server unreachable
constexpr long DatabaseChiuso = 3420;     // id unknown or already closed
constexpr long CampoNonAggiornabile = 3027;  // column or query that cannot be written
constexpr long SolaLettura = 3027;         // read-only database, file or folder
constexpr long ValoriDuplicati = 3022;     // duplicate key or index value
constexpr long DiscoPieno = 3026;          // no space left on the disk
constexpr long ErroreDisco = 3043;         // disk or network failure
constexpr long FileNonApribile = 3051;     // file or folder not accessible
constexpr long RecordCorrelatoMancante = 3201;  // foreign key
constexpr long CampoObbligatorio = 3314;   // NOT NULL column left empty
constexpr long DatabaseBloccato = 3260;    // locked or busy beyond the wait
constexpr long RegolaConvalida = 3317;     // CHECK and other constraints
constexpr long OperazioneNonAmmessa = 3251;  // not possible on this kind of record set
constexpr long TabellaInesistente = 3078;  // a table the statement names is not in the database
constexpr long CampoInesistente = 3265;    // a column the statement names is not in its table
constexpr long FileInUso = 3045;           // the file is open elsewhere and cannot be had alone
}  // namespace NumErroreDb

// The text of a table or column the database lacks: a database of an older
// structure than the program's, which the user can have brought up to date.
// `nome` as the statement or the engine names it ("PianoConti.CliForFittizio").
inline QString TestoStrutturaNonAggiornata(bool tabella, const QString& nome) {
    const QString oggetto = tabella ? QStringLiteral("La tabella ") : QStringLiteral("Il campo ");
    return oggetto + (nome.isEmpty() ? QString() : nome + QLatin1Char(' ')) +
           QStringLiteral("non esiste nel database: la struttura del database dell'azienda non è aggiornata alla "
                          "versione del programma.");
}

// Origin of the errors the layer raises.
inline const QString kOrigineGestoreDb = QStringLiteral("GestoreDb");
inline const QString kOrigineGestRecordset = QStringLiteral("GestRecordset");
