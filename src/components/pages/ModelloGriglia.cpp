#include "components/pages/ModelloGriglia.h"

#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/db/Interroga.h"
#include "components/util/UtilGenerali.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <algorithm>

namespace {

// Nulls first, numbers before texts, texts without regard to case.
bool Minore(const Valore& a, const Valore& b) {
    if (a.eVuotoONull() || b.eVuotoONull()) return a.eVuotoONull() && !b.eVuotoONull();
    if (a.eNumero() && b.eNumero()) return a.numero() < b.numero();
    if (a.eNumero() != b.eNumero()) return a.eNumero();
    return a.testo().compare(b.testo(), Qt::CaseInsensitive) < 0;
}

}  // namespace

void ModelloGriglia::Carica(GestoreDb& gestDb, const QString& idDb, const QString& sql) {
    RisultatoSql r = LeggiTutto(gestDb, idDb, sql, kOrigineGestRecordset);
    beginResetModel();
    if (r.colonne != colonne_) {
        titoli_.clear();
        formati_.clear();
        larghezze_.clear();
        misurate_.clear();
    }
    colonne_ = std::move(r.colonne);
    date_ = std::move(r.date);
    righe_ = std::move(r.righe);
    endResetModel();
}

void ModelloGriglia::Svuota() {
    beginResetModel();
    righe_.clear();
    endResetModel();
}

int ModelloGriglia::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(righe_.size()); }
int ModelloGriglia::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(colonne_.size()); }

QVariant ModelloGriglia::data(const QModelIndex& indice, int ruolo) const {
    if (!indice.isValid()) return {};
    if (ruolo == Qt::DisplayRole) {
        ++testiLetti_;
        return TestoCella(indice.row(), indice.column());
    }
    if (ruolo == Qt::TextAlignmentRole && Cella(indice.row(), indice.column()).eNumero())
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ModelloGriglia::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const {
    if (orientamento != Qt::Horizontal || ruolo != Qt::DisplayRole) return QAbstractTableModel::headerData(sezione, orientamento, ruolo);
    return Titolo(sezione);
}

int ModelloGriglia::IndiceColonna(const QString& nome) const {
    for (int i = 0; i < colonne_.size(); ++i)
        if (colonne_[i].compare(nome, Qt::CaseInsensitive) == 0) return i;
    // "Table.Column" against a bare column name, and the other way round.
    const QString nudo = nome.section(QLatin1Char('.'), -1);
    for (int i = 0; i < colonne_.size(); ++i)
        if (colonne_[i].section(QLatin1Char('.'), -1).compare(nudo, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int ModelloGriglia::colonnaRichiesta(const QString& nome) const {
    const int i = IndiceColonna(nome);
    if (i < 0) throw ErroreRun(NumErrore::OggettoInesistente, QStringLiteral("Colonna inesistente: ") + nome, QStringLiteral("Griglia"));
    return i;
}

Valore ModelloGriglia::Cella(int riga, int colonna) const {
    if (riga < 0 || riga >= righe_.size() || colonna < 0 || colonna >= colonne_.size()) return {};
    return righe_[riga][colonna];
}

Valore ModelloGriglia::Cella(int riga, const QString& colonna) const { return Cella(riga, IndiceColonna(colonna)); }

QString ModelloGriglia::TestoCella(int riga, int colonna) const {
    Valore v = Cella(riga, colonna);
    if (date_.value(colonna) && v.eTesto()) v = Valore::DaTestoDb(v.testo(), true);
    const QString maschera = formati_.value(colonna);
    if (maschera.isEmpty() || !v.eNumero()) return v.eNumero() ? numeroInTesto(v.numero()) : v.testo();
    return UtilGenerali().FormattaValore(v, maschera);
}

void ModelloGriglia::ImpTitolo(int colonna, const QString& titolo) {
    if (colonna < 0 || colonna >= colonne_.size())
        throw ErroreRun(NumErrore::OggettoInesistente, QStringLiteral("Colonna inesistente: %1").arg(colonna), QStringLiteral("Griglia"));
    titoli_[colonna] = titolo;
    emit headerDataChanged(Qt::Horizontal, colonna, colonna);
}

void ModelloGriglia::ImpLarghezza(const QString& colonna, int twips) { larghezze_[colonnaRichiesta(colonna)] = twips; }

void ModelloGriglia::ImpFormato(const QString& colonna, const QString& maschera) {
    const int i = colonnaRichiesta(colonna);
    formati_[i] = maschera;
    if (!righe_.isEmpty()) emit dataChanged(index(0, i), index(int(righe_.size()) - 1, i));
}

QString ModelloGriglia::Titolo(int colonna) const {
    if (titoli_.contains(colonna)) return titoli_.value(colonna);
    return colonne_.value(colonna).section(QLatin1Char('.'), -1);
}

void ModelloGriglia::ApplicaLarghezze(QTableView& vista, int colonna) {
    for (auto it = larghezze_.begin(); it != larghezze_.end(); ++it)
        if (it.value() > 0 && (colonna < 0 || it.key() == colonna)) vista.setColumnWidth(it.key(), it.value() / 15);
    AllargaAlContenuto(vista, colonna);
}

void ModelloGriglia::RiapplicaLarghezze(QTableView& vista, int colonna) const {
    const int prima = colonna < 0 ? 0 : colonna, ultima = colonna < 0 ? columnCount() - 1 : colonna;
    for (int c = prima; c <= ultima && c < columnCount(); ++c) {
        const int impostata = larghezze_.value(c, 0);
        const int larghezza = std::max(impostata > 0 ? impostata / 15 : vista.columnWidth(c), misurate_.value(c, 0));
        if (larghezza != vista.columnWidth(c)) vista.setColumnWidth(c, larghezza);
    }
}

namespace {

// At most this many rows on screen are measured besides the two ends.
constexpr int kRigheSchermoMassime = 200;

// The rows whose cells decide the widths: every row of a small grid; of a
// large one the first and last kRigheCampione and those on screen, each once
// and in order.
QList<int> RigheCampione(const QTableView& vista, int righe) {
    QList<int> scelte;
    if (righe <= 2 * kRigheCampione + kRigheSchermoMassime) {
        for (int r = 0; r < righe; ++r) scelte << r;
        return scelte;
    }
    for (int r = 0; r < kRigheCampione; ++r) scelte << r;
    const int primaVista = vista.rowAt(0);
    if (primaVista >= 0) {
        int ultimaVista = vista.rowAt(vista.viewport()->height() - 1);
        if (ultimaVista < 0) ultimaVista = righe - 1;
        ultimaVista = std::min({ultimaVista, primaVista + kRigheSchermoMassime - 1, righe - kRigheCampione - 1});
        for (int r = std::max(primaVista, kRigheCampione); r <= ultimaVista; ++r) scelte << r;
    }
    for (int r = righe - kRigheCampione; r < righe; ++r) scelte << r;
    return scelte;
}

}  // namespace

void AllargaAlContenuto(QTableView& vista, int colonna) {
    QAbstractItemModel* m = vista.model();
    if (!m) return;
    const int prima = colonna < 0 ? 0 : colonna, ultima = colonna < 0 ? m->columnCount() - 1 : std::min(colonna, m->columnCount() - 1);
    QList<int> mostrate;
    for (int c = prima; c <= ultima; ++c)
        if (!vista.isColumnHidden(c)) mostrate << c;
    if (mostrate.isEmpty()) return;
    const QHeaderView* testata = vista.horizontalHeader();
    const QFontMetrics metrica(vista.font());
    // The widest text of each column decides; one pass over the sample's rows.
    QList<int> testoLargo(mostrate.size(), -1), rigaLarga(mostrate.size(), -1);
    for (int r : RigheCampione(vista, m->rowCount()))
        for (int i = 0; i < mostrate.size(); ++i) {
            const int l = metrica.horizontalAdvance(m->data(m->index(r, mostrate[i]), Qt::DisplayRole).toString());
            if (l > testoLargo[i]) {
                testoLargo[i] = l;
                rigaLarga[i] = r;
            }
        }
    QStyleOptionViewItem opzione;
    opzione.initFrom(&vista);
    opzione.font = vista.font();
    opzione.fontMetrics = metrica;
    opzione.widget = &vista;
    // The grid line takes one pixel of the cell.
    const int linea = vista.showGrid() ? 1 : 0;
    auto* modello = qobject_cast<ModelloGriglia*>(m);
    for (int i = 0; i < mostrate.size(); ++i) {
        const int c = mostrate[i];
        int serve = testata->isHidden() ? 0 : testata->sectionSizeHint(c);
        // Its delegate adds the cell's margins.
        if (rigaLarga[i] >= 0) {
            const QModelIndex cella = m->index(rigaLarga[i], c);
            serve = std::max(serve, vista.itemDelegateForIndex(cella)->sizeHint(opzione, cella).width() + linea);
        }
        if (modello) modello->misurate_[c] = serve;
        if (vista.columnWidth(c) < serve) vista.setColumnWidth(c, serve);
    }
}

void ModelloGriglia::Ordina(int colonna, bool crescente) {
    if (colonna < 0 || colonna >= colonne_.size()) return;
    beginResetModel();
    std::stable_sort(righe_.begin(), righe_.end(), [&](const QList<Valore>& a, const QList<Valore>& b) {
        return crescente ? Minore(a[colonna], b[colonna]) : Minore(b[colonna], a[colonna]);
    });
    endResetModel();
}
