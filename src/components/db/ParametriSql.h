#pragma once
// The program writes its inserts as text, every value a literal
// ("INSERT INTO T (A, B) VALUES (2018, 'E', 12.5, Null)"). Compiling such a
// statement costs SQLite far more than running it, and a run writes hundreds
// of thousands of them that differ only in their literals. This unit turns
// an INSERT ... VALUES of literals into a pattern with numbered parameters
// and the values to bind, so that the database server compiles each pattern
// once. Binding gives what the literal gives: whole numbers are bound as
// such, texts as texts, and a decimal literal goes through SQLite's own
// conversion (CAST(? AS REAL) of its text), so the stored values are those
// of the literal statement to the last bit. Anything else (expressions,
// comments, several rows, a number beyond 64 bits) is not turned into a
// pattern: the caller runs the text as it is.
#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

struct ParametroSql {
    enum class Tipo { Intero, Reale, Testo };
    Tipo tipo = Tipo::Intero;
    qint64 intero = 0;
    QByteArray testo;  // UTF-8: a text, or the digits of a decimal
};

struct InserimentoParametrico {
    QByteArray modello;  // the statement with ?1 .. ?n, UTF-8
    std::vector<ParametroSql> parametri;
};

// The pattern of "INSERT INTO name [(columns)] VALUES (literals)" followed
// at most by ";" and blanks; nothing for any other statement.
std::optional<InserimentoParametrico> ParametrizzaInserimento(const QString& sql);
