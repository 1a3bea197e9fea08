#include "print/lavoro/FrmStampaInCorso.h"

#include "common/DialoghiQt.h"
#include "common/form/Scala.h"
#include "components/platform/Schermo.h"
#include "components/stampa/Stampa.h"
#include "print/lavoro/ServiziLavoroStampa.h"
#include "contesto/Contesto.h"
#include "contesto/ServizioOspite.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace {
QPointer<frmStampaInCorso>& istanza() {
    static QPointer<frmStampaInCorso> f;
    return f;
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
    auto* l = new QVBoxLayout(this);
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
    RisVidForm(*this, 0, fattore);
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
