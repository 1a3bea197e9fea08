#include "print/lavoro/FrmStampaInCorso.h"

#include "common/DialoghiQt.h"
#include "common/form/Scala.h"
#include "components/platform/Schermo.h"
#include "components/stampa/Stampa.h"
#include "print/lavoro/ServiziLavoroStampa.h"
#include "contesto/Contesto.h"
#include "contesto/ServizioOspite.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {
QPointer<frmStampaInCorso>& istanza() {
    static QPointer<frmStampaInCorso> f;
    return f;
}

// The box's picture, drawn here so that it travels with the form: a printer
// with a sheet coming out of it.
QPixmap immagineStampante() {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 70), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(18, 4, 28, 22));  // the sheet waiting at the back
    p.setBrush(QColor(120, 130, 145));
    p.drawRoundedRect(QRectF(4, 22, 56, 24), 4, 4);  // the body
    p.setBrush(QColor(80, 88, 100));
    p.drawRect(QRectF(14, 40, 36, 4));  // the slot
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16, 42, 32, 18));  // the printed sheet
    p.setPen(QPen(QColor(70, 110, 170), 1.5));
    for (int y = 47; y <= 56; y += 4) p.drawLine(QPointF(20, y), QPointF(y == 55 ? 34 : 44, y));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 180, 75));
    p.drawEllipse(QPointF(52, 30), 2.5, 2.5);  // the light: printing
    return pm;
}
}  // namespace

frmStampaInCorso* frmStampaInCorso::Istanza() {
    if (!istanza()) istanza() = new frmStampaInCorso;
    return istanza();
}

frmStampaInCorso::frmStampaInCorso() {
    setWindowTitle(QStringLiteral("Stampa ordini in corso"));
    setWindowFlag(Qt::Tool);
    lblStamp = new QLabel(QStringLiteral("Stampa ordine in corso."), this);
    LblPrePag = new QLabel(QStringLiteral("In stampa la pagina:"), this);
    LblPag = new QLabel(QStringLiteral("000"), this);
    ComStampa = new QPushButton(QStringLiteral("Interrompi la stampa"), this);
    PicVelt = new QLabel(this);
    PicVelt->setObjectName(QStringLiteral("PicVelt"));
    const QPixmap immagine = immagineStampante();
    PicVelt->setPixmap(immagine);
    PicVelt->setFixedSize(immagine.deviceIndependentSize().toSize());
    auto* accanto = new QHBoxLayout(this);
    accanto->addWidget(PicVelt, 0, Qt::AlignTop);
    auto* l = new QVBoxLayout;
    accanto->addLayout(l, 1);
    l->addWidget(lblStamp);
    auto* riga = new QHBoxLayout;
    riga->addWidget(LblPrePag);
    riga->addWidget(LblPag);
    riga->addStretch();
    l->addLayout(riga);
    l->addWidget(ComStampa);
    connect(ComStampa, &QPushButton::clicked, this, [this] { ComStampa_Click(); });
    osRisVidKey = QStringLiteral("StaVid");
    double fattore = -2;  // from the settings, key StaVid
    RisVidForm(*this, 0, fattore, {{QStringLiteral("PicVelt"), -1, FlagScala::Dimensione}});
}

frmStampaInCorso::~frmStampaInCorso() = default;

void frmStampaInCorso::Prepara(const QString& titolo, Stampa* st) {
    setWindowTitle(titolo);
    lblStamp->setText(titolo);
    LblPrePag->setVisible(true);
    LblPag->setVisible(true);
    LblPag->setText(QStringLiteral("000"));
    ogStampa = st;
}

void frmStampaInCorso::ComStampa_Click() {
    // Only the stop request: ending the print is the print object's business.
    if (ogStampa) ogStampa->ImpInterruzione(1);
}

bool frmStampaInCorso::ChiediEmailLogPwd() {
    auto& f = serviziLavoroStampa().RichiestaLoginEmail;
    return f ? f() : false;
}

void frmStampaInCorso::MostraInCorso() {
    // Over the window that started the print; a preview that opens later
    // takes the box in front of itself.
    if (QWidget* chiede = finestraCheChiede(); chiede && chiede != this) davantiA(*this, *chiede);
    show();
}

void frmStampaInCorso::ScaricaInCorso() {
    // A box that was never shown (a refused job) has nothing to unload.
    if (isVisible())
        close();
    else
        ogStampa = nullptr;
}

void frmStampaInCorso::ImpPaginaInCorso(int pagina) {
    LblPag->setText(QStringLiteral("%1").arg(pagina, 3, 10, QLatin1Char('0')));
}

void frmStampaInCorso::closeEvent(QCloseEvent* e) {
    ogStampa = nullptr;
    e->accept();
    if (ctx().ggOspite) ctx().ggOspite->ChiudiRichiesto(0);
}
