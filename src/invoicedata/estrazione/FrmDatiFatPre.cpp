#include "invoicedata/estrazione/FrmDatiFatPre.h"

#include "common/FrmMsgCom.h"
#include "common/MsgErrori.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kCaption = QStringLiteral("Preparazione dati per comunicazione dati fatture");
constexpr int kContestoHelp = 44095;
// The counters and the window's events, at most this often during a run.
constexpr int kIntervalloAvanzamentoMs = 50;
const QString kFormatoData = QStringLiteral("dd/MM/yyyy");

bool attivo(const Valore& parametro) { return parametro.testo().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0; }

void avviso(const QString& testo) { frmMsgCom::msgCom(testo, QStringLiteral("&Ok")); }

// Plain digits.
bool soloCifre(const QString& testo) {
    for (QChar c : testo)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

}  // namespace

FrmDatiFatPre::FrmDatiFatPre() : FormBase(QStringLiteral("FrmDatiFatPre")) {
    setWindowTitle(kCaption);
    setFixedSize(560, 400);
    setProperty("HelpContextID", kContestoHelp);

    constexpr int kXCampo = 200;
    auto etichetta = [this](QWidget* padre, const QString& testo, int x, int y, int w) {
        auto* l = new QLabel(testo, padre ? padre : this);
        l->setGeometry(x, y, w, 22);
        return l;
    };
    auto campo = [&](int indice, const QString& testo, int x, int y, int w, int max) {
        auto* e = new QLineEdit(this);
        ImpostaElemento(e, QStringLiteral("txt"), indice);
        e->setGeometry(x, y, w, 22);
        e->setMaxLength(max);
        etichetta(nullptr, testo, x == kXCampo ? 20 : x - 40, y, x == kXCampo ? kXCampo - 30 : 35)->setBuddy(e);
        txt[indice] = e;
        return e;
    };
    campo(10, QStringLiteral("Anno:"), kXCampo, 20, 60, 4);
    campo(20, QStringLiteral("Numero Comunicazione:"), kXCampo, 50, 40, 2);
    campo(30, QStringLiteral("Data Da:"), kXCampo, 80, 100, 10);
    campo(40, QStringLiteral("a:"), kXCampo + 150, 80, 100, 10);

    auto* fraCosa = new QGroupBox(QStringLiteral("Cosa Estrarre"), this);
    fraCosa->setGeometry(20, 115, 520, 85);
    cheCosaEstr[0] = new QCheckBox(QStringLiteral("Clienti (fatture di vendita)"), fraCosa);
    cheCosaEstr[1] = new QCheckBox(QStringLiteral("Fornitori (fatture di acquisto)"), fraCosa);
    for (int i = 0; i < 2; ++i) {
        ImpostaElemento(cheCosaEstr[i], QStringLiteral("cheCosaEstr"), i);
        cheCosaEstr[i]->setGeometry(20, 25 + 28 * i, 400, 22);
        cheCosaEstr[i]->setChecked(true);
    }
    cheCliFittizi = new QCheckBox(QStringLiteral("Anche clienti fittizi con causale TD20"), this);
    cheCliFittizi->setObjectName(QStringLiteral("cheCliFittizi"));
    cheCliFittizi->setGeometry(40, 210, 400, 22);
    cheSoloStran = new QCheckBox(QStringLiteral("Solo stranieri"), this);
    cheSoloStran->setObjectName(QStringLiteral("cheSoloStran"));
    cheSoloStran->setGeometry(40, 238, 400, 22);

    PicElab = new QFrame(this);
    PicElab->setObjectName(QStringLiteral("PicElab"));
    PicElab->setFrameShape(QFrame::StyledPanel);
    PicElab->setGeometry(20, 270, 520, 70);
    LabInElab = new QLabel(PicElab);
    LabInElab->setObjectName(QStringLiteral("LabInElab"));
    LabInElab->setGeometry(10, 8, 500, 22);
    etichetta(PicElab, QStringLiteral("Fatti"), 10, 38, 40);
    txtFatti = new QLineEdit(PicElab);
    txtFatti->setObjectName(QStringLiteral("txtFatti"));
    txtFatti->setGeometry(55, 38, 90, 22);
    etichetta(PicElab, QStringLiteral("di"), 155, 38, 25);
    txtDaFare = new QLineEdit(PicElab);
    txtDaFare->setObjectName(QStringLiteral("txtDaFare"));
    txtDaFare->setGeometry(185, 38, 90, 22);
    for (QLineEdit* e : {txtFatti, txtDaFare}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setAlignment(Qt::AlignRight);
    }
    PicElab->hide();

    comOk = new QPushButton(QStringLiteral("&Ok"), this);
    comOk->setObjectName(QStringLiteral("comOk"));
    comOk->setGeometry(200, 355, 100, 30);
    ComInterrompi = new QPushButton(QStringLiteral("&Interrompi"), this);
    ComInterrompi->setObjectName(QStringLiteral("ComInterrompi"));
    ComInterrompi->setGeometry(310, 355, 110, 30);
    ComInterrompi->hide();
    ComAnnulla = new QPushButton(QStringLiteral("&Annulla"), this);
    ComAnnulla->setObjectName(QStringLiteral("ComAnnulla"));
    ComAnnulla->setGeometry(430, 355, 110, 30);
    connect(comOk, &QPushButton::clicked, this, [this] { ComOk_Click(); });
    connect(ComAnnulla, &QPushButton::clicked, this, [this] { Scarica(); });
    connect(ComInterrompi, &QPushButton::clicked, this, [this] { ComInterrompi_Click(); });

    const QList<QWidget*> ordine{txt[10],       txt[20],      txt[30], txt[40], cheCosaEstr[0], cheCosaEstr[1],
                                 cheCliFittizi, cheSoloStran, comOk,   ComInterrompi, ComAnnulla};
    for (int i = 1; i < ordine.size(); ++i) setTabOrder(ordine[i - 1], ordine[i]);
    estrazione.osservatore = this;
}

void FrmDatiFatPre::PropostaPeriodo(const QDate& dataLavoro, QString& anno, QString& numero) {
    const int a = dataLavoro.year();
    const int m = dataLavoro.month();
    if (a >= 2020) {
        if (m <= 3) {
            anno = QString::number(a - 1);
            numero = a == 2020 ? QStringLiteral("12") : QStringLiteral("4");
        } else {
            anno = QString::number(a);
            numero = QString::number((m - 1) / 3);
        }
    } else if (a == 2019 && m >= 5) {
        anno = QString::number(a);
        numero = QString::number(m - 1);
    } else if (m <= 4) {
        anno = QString::number(a - 1);
        numero = QStringLiteral("2");
    } else {
        anno = QString::number(a);
        numero = m <= 10 ? QStringLiteral("1") : QStringLiteral("2");
    }
}

bool FrmDatiFatPre::Form_Load() {
    oiLoadOk = -1;
    try {
        estrazione.usaFittizio = attivo(LeggiParPers(QStringLiteral("DatiFat"), QStringLiteral("UsaFittizio"), "N"));
        cheSoloStran->setChecked(attivo(LeggiParPers(QStringLiteral("DatiFat"), QStringLiteral("SoloStranieri"), "N")));
        interruzione_ = false;
        InizForm(*this, false, false, false, true);
        QString anno, numero;
        PropostaPeriodo(ctx().gtDataLavoro, anno, numero);
        txt[20]->setText(numero);
        txt[10]->setText(anno);
        ImpDateSel();
        FineInizForm(*this);
    } catch (const ErroreRun& e) {
        MsgErroreMenu(e, kCaption + QLatin1Char('\n'), QString());
        ctx().giChiusura = true;
        return false;
    }
    return true;
}

bool FrmDatiFatPre::Form_QueryUnload() {
    if (!inCorso_) return true;
    avviso(QStringLiteral("Estrazione in corso: interromperla prima di chiudere la maschera"));
    return false;
}

void FrmDatiFatPre::ImpDateSel() {
    const UtilGenerali& u = ggUtil();
    const PeriodoDatiFat p = ::ImpDateSel(static_cast<int>(u.ValoreNumerico(txt[10]->text())),
                                          static_cast<int>(u.ValoreNumerico(txt[20]->text())));
    txt[30]->setText(p.da.toString(kFormatoData));
    txt[40]->setText(p.a.toString(kFormatoData));
}

OpzioniDatiFat FrmDatiFatPre::Opzioni() const {
    OpzioniDatiFat o;
    o.anno = txt[10]->text();
    o.numCom = txt[20]->text();
    o.dataDa = txt[30]->text();
    o.dataA = txt[40]->text();
    o.clienti = cheCosaEstr[0]->isChecked();
    o.fornitori = cheCosaEstr[1]->isChecked();
    o.cliFittizi = cheCliFittizi->isChecked();
    o.soloStranieri = cheSoloStran->isChecked();
    return o;
}

int FrmDatiFatPre::CampoInErrore() const {
    for (auto it = txt.begin(); it != txt.end(); ++it)
        if (BackColor(it.value()) == ctx().glColErrore) return it.key();
    return -1;
}

void FrmDatiFatPre::ComOk_Click() {
    if (inCorso_) return;
    const int errato = CampoInErrore();
    if (errato >= 0) {
        txt[errato]->setFocus();
        avviso(QStringLiteral("Valore Errato"));
        return;
    }
    estrazione.opzioni = Opzioni();
    const EsitoDatiFat esito = estrazione.Esegui();
    // Step 15: the buttons back, the progress box away.
    inCorso_ = false;
    comOk->setEnabled(true);
    ComAnnulla->setEnabled(true);
    ComInterrompi->hide();
    PicElab->hide();
    if (esito.campoFocus >= 0 && txt.contains(esito.campoFocus)) txt[esito.campoFocus]->setFocus();
}

void FrmDatiFatPre::Inizio() {
    CursoreAttesa(1);
    inCorso_ = true;
    interruzione_ = false;
    comOk->setEnabled(false);
    ComAnnulla->setEnabled(false);
    ComInterrompi->show();
    PicElab->show();
    fatti_ = daFare_ = 0;
    ultimoPassaggio_.invalidate();
}

void FrmDatiFatPre::Fine() {
    MostraConteggi();
    CursoreAttesa(0);
}

void FrmDatiFatPre::Fase(const QString& testo) { LabInElab->setText(testo); }

void FrmDatiFatPre::MostraConteggi() {
    txtFatti->setText(QString::number(fatti_));
    txtDaFare->setText(QString::number(daFare_));
}

void FrmDatiFatPre::Avanzamento(long fatti, long daFare) {
    fatti_ = fatti;
    daFare_ = daFare;
    // Once per row originally; the counters and the pending events are
    // handled at most every few milliseconds, which the user cannot tell
    // apart and which keeps a run of many rows from drawing each one.
    if (fatti != 0 && ultimoPassaggio_.isValid() && ultimoPassaggio_.elapsed() < kIntervalloAvanzamentoMs) return;
    MostraConteggi();
    QCoreApplication::processEvents();
    ultimoPassaggio_.start();
}

bool FrmDatiFatPre::InterruzioneRichiesta() {
    const bool richiesta = interruzione_;
    interruzione_ = false;
    return richiesta;
}

void FrmDatiFatPre::txt_GotFocus(int Index) {
    QLineEdit* campo = txt.value(Index);
    if (!campo) return;
    campo->setProperty("Tag", campo->text());
    SelezTestoAttivo();
    ColoreFocus(campo);
}

void FrmDatiFatPre::txt_LostFocus(int Index) {
    QLineEdit* campo = txt.value(Index);
    if (!campo) return;
    ColorePerdeFocus(campo);
    const bool cambiato = campo->text().compare(campo->property("Tag").toString(), Qt::CaseInsensitive) != 0;
    switch (Index) {
    case 10:
    case 20: {
        const Contesto& c = ctx();
        ImpostaBackColor(campo, c.glColNormale);
        if (!txt[10]->text().trimmed().isEmpty()) {
            // Plain digits are rewritten as the number ("0" as nothing); any
            // other text stays for the user to correct, marked, so that "&Ok"
            // refuses it.
            const QString testo = campo->text().trimmed();
            if (soloCifre(testo)) {
                const long long n = testo.toLongLong();
                campo->setText(n == 0 ? QString() : QString::number(n));
            } else {
                ImpostaBackColor(campo, c.glColErrore);
            }
        }
        if (!cambiato) break;
        const UtilGenerali& u = ggUtil();
        const double anno = u.ValoreNumerico(txt[10]->text());
        const double numero = u.ValoreNumerico(txt[20]->text());
        if (anno <= 0 || numero <= 0) break;
        if (anno <= 2016) {
            ImpostaBackColor(txt[10], c.glColErrore);
            avviso(QStringLiteral("Anno comunicazione non valido"));
        } else if (numero < 1 || numero > 12) {
            ImpostaBackColor(txt[20], c.glColErrore);
            avviso(QStringLiteral("Numero comunicazione non valido"));
        } else {
            ImpDateSel();
        }
        break;
    }
    case 30:
    case 40:
        ControllaCampoData(campo, -4, 1, std::nullopt, nullptr, false);
        break;
    default:
        break;
    }
}
