#pragma once
// The lookup library's list object for decodings by name (the companies):
// the program's provider gives it the key and the query; it runs the query,
// lets the user pick a row and hands back the row's columns.
#include "components/core/Valore.h"
#include "components/lookup/QorAiutiSql.h"

#include <QPointer>
#include <QWidget>
#include <QString>
#include <QStringList>

class GestoreDb;

class DecodLista {
public:
    virtual ~DecodLista() = default;

    void ImpostaChiave(int keyCode) { tasto_ = keyCode; }
    void ImpostaControllo(QWidget* casella) { controllo_ = casella; }
    void ImpostaSql(const QString& sql) { sql_ = sql; }
    int TastoLista() const { return tasto_; }
    // The text to search: the code box's text.
    QString TestoRicerca() const { return TestoControllo(controllo_); }
    const QString& Sql() const { return sql_; }

    // Runs the query on the database and lets the user pick a row. -2 when
    // the query gives no row; otherwise 0, with the chosen row's key column in
    // codice (empty when the user chose nothing).
    virtual long DecodificaCodice(const QString& nome, GestoreDb& gestDb, const QString& idDb, const QString& sql,
                                  const QString& colChiave, Valore& codice) = 0;
    // A column of the row chosen; empty when none.
    Valore ValoreColonna(const QString& colonna) const;

protected:
    QStringList colonne_;
    QStringList riga_;

private:
    int tasto_ = 0;
    QPointer<QWidget> controllo_;
    QString sql_;
};

// Not found (-2).
constexpr long DecodListaInesistente = -2;

// The list opens on every row of the provider's query before its narrowing
// (every company), with the current row on the first whose key (F2) or
// description (F3) begins with the field's text; its search looks at the key
// and the description. -2 only when there is no row at all.
class DecodListaSql : public DecodLista {
public:
    MostraListaAiuto mostraLista = MostraListaModale;
    long DecodificaCodice(const QString& nome, GestoreDb& gestDb, const QString& idDb, const QString& sql,
                          const QString& colChiave, Valore& codice) override;
};
