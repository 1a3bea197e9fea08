#include "print/anteprima/frmVStaPar.h"

#include <QCheckBox>
#include <QPointer>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

const QString frmVStaPar::RigaProva1 = QStringLiteral("Testo di Prova. Grandezza dei Caratteri in stampa, ");
const QString frmVStaPar::RigaProva2 = QStringLiteral("usando come Font base Arial di grandezza 10 ");

namespace {

// The sample text at the chosen size.
class Prova : public QWidget {
public:
    explicit Prova(QWidget* padre) : QWidget(padre) { setMinimumSize(420, 90); }
    double punti = 10;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        QFont f(QStringLiteral("Arial"));
        f.setPointSizeF(punti);
        p.setFont(f);
        const int h = p.fontMetrics().height();
        p.drawText(2, h, frmVStaPar::RigaProva1);
        p.drawText(2, 2 * h, frmVStaPar::RigaProva2);
    }
};

}  // namespace

frmVStaPar::frmVStaPar() {
    setWindowTitle(QStringLiteral("Grandezza visualizzazione stampe"));
    setModal(true);
    VsbProp = new QScrollBar(Qt::Vertical, this);
    VsbProp->setObjectName(QStringLiteral("VsbProp"));
    VsbProp->setRange(50, 180);
    VsbProp->setSingleStep(5);
    VsbProp->setPageStep(25);
    VsbProp->setValue(50);
    LabProp = new QLabel(QStringLiteral("100"), this);
    LabProp->setObjectName(QStringLiteral("LabProp"));
    LabProp->installEventFilter(this);
    PicProva = new Prova(this);
    PicProva->setObjectName(QStringLiteral("PicProva"));
    CheMemVid = new QCheckBox(QStringLiteral("Memorizza pagine"), this);
    CheMemVid->setObjectName(QStringLiteral("CheMemVid"));
    CmdOk = new QPushButton(QStringLiteral("OK"), this);
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    auto* g = new QGridLayout(this);
    g->addWidget(VsbProp, 0, 0, 3, 1);
    g->addWidget(LabProp, 0, 1);
    g->addWidget(PicProva, 1, 1);
    g->addWidget(CheMemVid, 2, 1);
    g->addWidget(CmdOk, 3, 1);
    // Both the released value and every step of a drag redraw the sample.
    connect(VsbProp, &QScrollBar::valueChanged, this, [this] { vsbProp_change(); });
    connect(VsbProp, &QScrollBar::sliderMoved, this, [this] { vsbProp_change(); });
    connect(CmdOk, &QPushButton::clicked, this, &frmVStaPar::CmdOk_Click);
    vsbProp_change();
}

frmVStaPar* frmVStaPar::Istanza() {
    static QPointer<frmVStaPar> f;
    if (!f) f = new frmVStaPar();
    return f;
}

void frmVStaPar::vsbProp_change() {
    const int v = VsbProp->value();
    LabProp->setText(QString::number(v));
    dimensione_ = static_cast<float>(v) / 100.0f * 10.0f;
    static_cast<Prova*>(PicProva)->punti = dimensione_;
    PicProva->update();
}

void frmVStaPar::CmdOk_Click() {
    confermato_ = true;
    accept();
}

void frmVStaPar::LabProp_DblClick() {
    VsbProp->setValue(67);
    vsbProp_change();
    CheMemVid->setChecked(true);
}

void frmVStaPar::showEvent(QShowEvent* e) {
    confermato_ = false;
    vsbProp_change();
    QDialog::showEvent(e);
}

bool frmVStaPar::eventFilter(QObject* o, QEvent* e) {
    if (o == LabProp && e->type() == QEvent::MouseButtonDblClick) LabProp_DblClick();
    return QDialog::eventFilter(o, e);
}
