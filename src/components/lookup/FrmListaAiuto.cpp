#include "components/lookup/FrmListaAiuto.h"

#include <QHeaderView>
#include <algorithm>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

FrmListaAiuto::FrmListaAiuto(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmListaAiuto"));
    setWindowTitle(QStringLiteral("Aiuto"));
    auto* l = new QVBoxLayout(this);
    auto* lab = new QLabel(QStringLiteral("Cerca:"), this);
    txtRicerca = new QLineEdit(this);
    txtRicerca->setObjectName(QStringLiteral("txtRicerca"));
    lab->setBuddy(txtRicerca);
    dbgLista = new QTableWidget(this);
    dbgLista->setObjectName(QStringLiteral("dbgLista"));
    dbgLista->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgLista->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgLista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbgLista->verticalHeader()->hide();
    dbgLista->horizontalHeader()->setStretchLastSection(true);
    l->addWidget(lab);
    l->addWidget(txtRicerca);
    l->addWidget(dbgLista);
    resize(560, 420);
    txtRicerca->installEventFilter(this);
    dbgLista->installEventFilter(this);
    connect(txtRicerca, &QLineEdit::textChanged, this, &FrmListaAiuto::Filtra);
    connect(dbgLista, &QTableWidget::cellDoubleClicked, this, [this](int, int) { Scegli(); });
}

void FrmListaAiuto::Carica(const QString& titolo, const QStringList& intestazioni, const QList<QStringList>& righe,
                           int colonnaRicerca, const QString& testo) {
    Carica(titolo, intestazioni, righe, QList<int>{colonnaRicerca}, testo);
}

void FrmListaAiuto::Carica(const QString& titolo, const QStringList& intestazioni, const QList<QStringList>& righe,
                           const QList<int>& colonneRicerca, const QString& testo) {
    setWindowTitle(titolo);
    righe_ = righe;
    colonne_ = colonneRicerca;
    scelta_ = -1;
    dbgLista->clear();
    dbgLista->setColumnCount(static_cast<int>(intestazioni.size()));
    dbgLista->setHorizontalHeaderLabels(intestazioni);
    dbgLista->setRowCount(static_cast<int>(righe.size()));
    for (int r = 0; r < righe.size(); ++r)
        for (int c = 0; c < intestazioni.size(); ++c) {
            auto* item = new QTableWidgetItem(righe[r].value(c));
            item->setData(Qt::UserRole, r);
            dbgLista->setItem(r, c, item);
        }
    txtRicerca->blockSignals(true);
    txtRicerca->setText(testo);
    txtRicerca->blockSignals(false);
    Filtra();
    Adatta();
    txtRicerca->setFocus();
}

void FrmListaAiuto::Adatta() {
    dbgLista->resizeColumnsToContents();
    int larghezza = dbgLista->verticalScrollBar()->sizeHint().width() + 2 * dbgLista->frameWidth();
    for (int c = 0; c < dbgLista->columnCount(); ++c) larghezza += dbgLista->columnWidth(c);
    const QMargins m = layout()->contentsMargins();
    larghezza += m.left() + m.right();
    const QScreen* s = screen();
    const int massima = s ? s->availableGeometry().width() * 9 / 10 : larghezza;
    resize(std::clamp(larghezza, 560, std::max(560, massima)), height());
}

void FrmListaAiuto::ImpostaRigaCorrente(int riga) {
    if (riga >= 0 && riga < dbgLista->rowCount() && !dbgLista->isRowHidden(riga)) dbgLista->setCurrentCell(riga, 0);
}

void FrmListaAiuto::Filtra() {
    const QString t = txtRicerca->text().trimmed();
    int prima = -1;
    for (int r = 0; r < dbgLista->rowCount(); ++r) {
        bool vede = t.isEmpty();
        for (int c : colonne_) vede = vede || righe_[r].value(c).trimmed().startsWith(t, Qt::CaseInsensitive);
        dbgLista->setRowHidden(r, !vede);
        if (vede && prima < 0) prima = r;
    }
    if (prima >= 0) dbgLista->setCurrentCell(prima, 0);
    else dbgLista->setCurrentCell(-1, -1);
}

QList<int> FrmListaAiuto::RigheVisibili() const {
    QList<int> v;
    for (int r = 0; r < dbgLista->rowCount(); ++r)
        if (!dbgLista->isRowHidden(r)) v << r;
    return v;
}

int FrmListaAiuto::RigaCorrente() const {
    const int r = dbgLista->currentRow();
    return (r >= 0 && !dbgLista->isRowHidden(r)) ? r : -1;
}

void FrmListaAiuto::Scegli() {
    scelta_ = RigaCorrente();
    colonnaScelta_ = std::max(0, dbgLista->currentColumn());
    if (scelta_ >= 0) accept();
}

bool FrmListaAiuto::eventFilter(QObject* o, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(o, e);
    auto* ke = static_cast<QKeyEvent*>(e);
    switch (ke->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Scegli();
        return true;
    case Qt::Key_Escape:
        scelta_ = -1;
        reject();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (o == dbgLista) return false;
        const QList<int> v = RigheVisibili();
        if (v.isEmpty()) return true;
        int pos = static_cast<int>(v.indexOf(RigaCorrente()));
        const int passo = (ke->key() == Qt::Key_PageUp || ke->key() == Qt::Key_PageDown) ? 10 : 1;
        pos += (ke->key() == Qt::Key_Up || ke->key() == Qt::Key_PageUp) ? -passo : passo;
        pos = std::clamp(pos, 0, static_cast<int>(v.size()) - 1);
        dbgLista->setCurrentCell(v[pos], 0);
        return true;
    }
    default: return QDialog::eventFilter(o, e);
    }
}
