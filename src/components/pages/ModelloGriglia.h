#pragma once
// The rows of one query as a read-only Qt table model, for the grids of the
// data screens. The rows are read at once (Carica); each column can carry a
// caption, a width in twips and a display mask ("#,##0.00" style, shown the
// Italian way); dates show as dd/mm/yyyy. Columns are found by name without regard to case, by the
// bare name or by "Table.Column".
#include "components/core/Valore.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class GestoreDb;
#include <QTableView>

class ModelloGriglia : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Replaces the rows with those of the query; raises ErroreRun when the
    // query fails, leaving the rows as they were.
    void Carica(GestoreDb& gestDb, const QString& idDb, const QString& sql);
    void Svuota();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& indice, int ruolo) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento, int ruolo) const override;

    const QStringList& Colonne() const { return colonne_; }
    // -1 when the query has no such column.
    int IndiceColonna(const QString& nome) const;
    Valore Cella(int riga, int colonna) const;
    Valore Cella(int riga, const QString& colonna) const;
    // The text the grid shows for the cell.
    QString TestoCella(int riga, int colonna) const;

    // Presentation; unknown columns raise ErroreRun 3265.
    void ImpTitolo(int colonna, const QString& titolo);
    void ImpLarghezza(const QString& colonna, int twips);
    void ImpFormato(const QString& colonna, const QString& maschera);
    QString Titolo(int colonna) const;
    int Larghezza(int colonna) const { return larghezze_.value(colonna, 0); }
    QString Formato(int colonna) const { return formati_.value(colonna); }
    // Applies the widths to a view showing this model (twips / 15 = pixels),
    // of one column or of all (-1); a column never shows less than its
    // heading and its widest cell.
    void ApplicaLarghezze(QTableView& vista, int colonna = -1) const;

    // Orders the rows on one column (nulls first), keeping ties in order.
    void Ordina(int colonna, bool crescente = true);

private:
    int colonnaRichiesta(const QString& nome) const;

    QStringList colonne_;
    QList<bool> date_;
    QList<QList<Valore>> righe_;
    QHash<int, QString> titoli_, formati_;
    QHash<int, int> larghezze_;
};

// Widens the shown columns of a view (one, or all with -1) to their heading
// and their widest cell, measured with the fonts the view uses now: a width
// set before is a floor, never a cut.
void AllargaAlContenuto(QTableView& vista, int colonna = -1);
