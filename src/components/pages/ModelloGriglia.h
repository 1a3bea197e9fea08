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
    // of one column or of all (-1), and widens them to their heading and
    // their contents, measured on a sample of the rows (AllargaAlContenuto).
    void ApplicaLarghezze(QTableView& vista, int colonna = -1);
    // The same widths without measuring: those set and those the last
    // measurement found. For a view whose rows were read again after a change
    // of one row, and for a width set between two loads; reads no cell.
    void RiapplicaLarghezze(QTableView& vista, int colonna = -1) const;

    // Orders the rows on one column (nulls first), keeping ties in order.
    void Ordina(int colonna, bool crescente = true);

    // How many cell texts the grid has asked for (data() for display) since
    // the model was made: what a load costs beyond reading the rows.
    qint64 TestiLetti() const { return testiLetti_; }

private:
    int colonnaRichiesta(const QString& nome) const;

    QStringList colonne_;
    QList<bool> date_;
    QList<QList<Valore>> righe_;
    QHash<int, QString> titoli_, formati_;
    QHash<int, int> larghezze_;
    // Pixels each column needed at the last measurement, heading included.
    QHash<int, int> misurate_;
    friend void AllargaAlContenuto(QTableView&, int);
    mutable qint64 testiLetti_ = 0;
};

// Widens the shown columns of a view (one, or all with -1) to their heading
// and their widest cell, measured with the fonts the view uses now: a width
// set before is a floor, never a cut. The cells measured are a sample, so
// that the cost does not grow with the rows: the rows on screen and the first
// and last kRigheCampione; a grid of fewer rows is measured whole. All the
// columns are measured in one pass. A ModelloGriglia keeps what was found
// for RiapplicaLarghezze.
inline constexpr int kRigheCampione = 250;
void AllargaAlContenuto(QTableView& vista, int colonna = -1);
