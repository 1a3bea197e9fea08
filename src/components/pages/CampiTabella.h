#pragma once
// What the page and lines components share about the columns of their
// table: the type of each column, the text a stored value shows in a bound
// box, the check of a typed text and its SQL literal. Typed numbers are read
// the Italian way ("1.234,56"); dates are typed and shown dd/mm/yyyy and
// stored as ISO text.
#include "components/core/Valore.h"

#include <QHash>
#include <QLineEdit>
#include <QList>
#include <QString>
#include <QStringList>

class GestoreDb;

// The value-type code (TipoDato) of each column, keyed by lower-case name:
// whole numbers Lungo, other numbers Doppio, dates Data, the rest Testo.
QHash<QString, int> TipiColonne(GestoreDb& gestDb, const QString& idDb, const QString& tabella);

// The text a bound box shows for a stored value; the mask ("0", "#,##0.00")
// formats numbers.
QString TestoDaValore(const Valore& valore, int tipo, const QString& maschera = {});

// Empty when the typed text suits the column (blank always does), otherwise
// the message for the user.
QString VerificaTesto(const QString& testo, int tipo);

// The SQL literal of a typed text; blank numbers and dates give Null. Raises
// ErroreRun 13 on a text VerificaTesto refuses.
QString LetteraleSql(const QString& testo, int tipo);

// The SQL literal of a stored or typed value of a key part.
QString LetteraleValore(const Valore& valore, int tipo);

// What the page and lines components do alike over their bound fields (a
// field has its column, its box, its type and opz.parteChiave).
// The key parts as their boxes hold them.
template <class Campo>
QList<Valore> ChiaveDeiBox(const QList<Campo>& campi) {
    QList<Valore> k;
    for (const Campo& c : campi)
        if (c.opz.parteChiave != 0) k << Valore(c.box ? c.box->text().trimmed() : QString());
    return k;
}
// "col = literal AND ..." over the key parts, in their order.
template <class Campo>
QString WhereDellaChiave(const QList<Campo>& campi, const QList<Valore>& chiave) {
    QStringList parti;
    int i = 0;
    for (const Campo& c : campi) {
        if (c.opz.parteChiave == 0) continue;
        parti << c.colonna + QStringLiteral(" = ") + LetteraleValore(chiave.value(i++), c.tipo);
    }
    return parti.join(QStringLiteral(" AND "));
}
// The boxes' texts, to tell later whether the user changed the row.
template <class Campo>
QStringList TestiDeiBox(const QList<Campo>& campi) {
    QStringList t;
    for (const Campo& c : campi) t << (c.box ? c.box->text() : QString());
    return t;
}

// The statement that saves the boxes' row: an INSERT of every column for a
// new row, otherwise an UPDATE of every column where the key was.
template <class Campo>
QString SqlSalvataggio(const QList<Campo>& campi, const QString& tabella, bool nuova, const QString& where) {
    QStringList colonne, valori, assegnazioni;
    for (const Campo& c : campi) {
        const QString lit = LetteraleSql(c.box ? c.box->text() : QString(), c.tipo);
        colonne << c.colonna;
        valori << lit;
        assegnazioni << c.colonna + QStringLiteral(" = ") + lit;
    }
    return nuova ? QStringLiteral("INSERT INTO ") + tabella + QStringLiteral(" (") + colonne.join(QStringLiteral(", ")) +
                       QStringLiteral(") VALUES (") + valori.join(QStringLiteral(", ")) + QLatin1Char(')')
                 : QStringLiteral("UPDATE ") + tabella + QStringLiteral(" SET ") +
                       assegnazioni.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + where;
}

// Messages of the checks.
inline const QString kMsgNumeroNonValido = QStringLiteral("Campo numerico: valore non valido");
inline const QString kMsgDataNonValida = QStringLiteral("Data non valida");

class QWidget;
// The box's background in the program's colour value (BGR, 0x800000nn the
// system colours), kept in its property "BackColor" as the forms keep it.
void ColoraCampo(QWidget* box, long colore);
// The colour value the box shows; -1 when none was ever set.
long ColoreCampo(const QWidget* box);
