#pragma once
// The tables the lookup help knows: where each lives, its code columns and
// description, the columns of its list. Later screens may register more.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct TabellaAiuto {
    QString nome;               // the name the program uses ("Conto")
    QString tabellaSql;         // the table in the database ("Conti")
    bool condivisa = false;     // in the shared database, else the company's
    QStringList colonneCodice;  // one column, or group, master and account
    QString colonnaDescrizione;
    QStringList colonneLista;   // extra columns shown after code and description
};

// The definition of a table by name (ignoring case); nullopt when unknown.
std::optional<TabellaAiuto> TabellaDiAiuto(const QString& nome);
void RegistraTabellaAiuto(const TabellaAiuto& t);

// The code's parts for the table's code columns: an account "GG-MM-CCCC" or
// "GGMMCCCC" splits in three; any other code stays whole.
QStringList PartiCodice(const TabellaAiuto& t, const QString& codice);
// The code of a row from its code columns (an account as "GG-MM-CCCC").
QString CodiceDaParti(const QStringList& parti);

// The conditions that ignore case whatever the column's type, in words both
// engines take (the server knows no "collate nocase"): both sides in capitals.
// A column equal to a literal (already written as SQL):
QString UgualeSenzaMaiuscole(const QString& colonna, const QString& letterale);
// A LIKE condition on the expression for values beginning with the text,
// without regard to case on either engine: the user's "%", "_" and "\"
// match themselves.
QString CondizioneLikeInizio(const QString& espressione, const QString& testo);
