#include "common/FrmMsgCom.h"

#include "common/MsgErrori.h"
#include "common/form/Aiuto.h"
#include "common/form/Scala.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/platform/Schermo.h"
#include "contesto/Contesto.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>
#include <cmath>

namespace {
constexpr int SpazioBottoni = 400;   // between buttons, and 200 at each side, when they decide the width
constexpr int SopraBottoni = 290;    // between message and buttons, and buttons and bottom in text-box mode
constexpr int SottoBottoni = 150;

int inTwips(int pixel) { return pixel * TwipsPerPixel; }
int inPixel(int twips) { return static_cast<int>(std::lround(twips / double(TwipsPerPixel))); }
QRect inPixel(const QRect& r) { return {inPixel(r.x()), inPixel(r.y()), inPixel(r.width()), inPixel(r.height())}; }
}  // namespace

LayoutMsgCom CalcolaLayoutMsgCom(const MisureMsgCom& m) {
    using namespace DisegnoMsgCom;
    const auto scala = [&](int v) { return static_cast<int>(std::lround(v * m.odRisVidVal)); };
    const int topEtichetta = scala(TopEtichetta);
    const int topTesto = scala(TopTesto);
    const int lb = m.larghezzaBottone.value_or(scala(LarghezzaBottone));
    const int ab = scala(AltezzaBottone);
    const int n = std::clamp(m.numeroBottoni, 1, 3);
    const int B = m.corniceOrizzontale;
    const int V = m.corniceVerticale;

    LayoutMsgCom l;
    l.larghezza = m.larghezzaSchermo * m.piLargForm / 100;
    const int totaleBottoni = n * (lb + SpazioBottoni);
    QSize etichetta = m.misuraTesto(0);
    const int L = etichetta.width() + m.piLatiForm;
    if (totaleBottoni > L) {
        l.larghezza = totaleBottoni + B;
        l.gapFisso = true;
    } else if (L > l.larghezza - B) {
        l.aCapo = true;
        etichetta = QSize(l.larghezza - B, m.misuraTesto(l.larghezza - B).height());
    } else {
        l.larghezza = L + B;
    }
    const int titolo = std::min(m.larghezzaTitolo, m.larghezzaSchermo);
    if (!l.aCapo && l.larghezza < titolo) {
        // The title decides: the buttons share the wider box equally.
        l.larghezza = titolo;
        l.gapFisso = false;
    }
    l.larghezzaClient = l.larghezza - B;

    // A box taller than the free screen could not be shown whole: the text
    // goes into the scrolling box at the full usable height.
    const int altezzaEtichetta = V + topEtichetta + etichetta.height() + SopraBottoni + ab + SottoBottoni;
    l.modoTesto = m.pbSempreTxt || altezzaEtichetta > m.altezzaUtile;

    int topBottoni;
    if (l.modoTesto) {
        l.altezza = m.altezzaUtile;
        l.altezzaClient = l.altezza - V;
        topBottoni = l.altezzaClient - ab - SopraBottoni;
        l.messaggio = QRect(0, topTesto, l.larghezzaClient, topBottoni - topTesto - SopraBottoni);
    } else {
        topBottoni = topEtichetta + etichetta.height() + SopraBottoni;
        l.altezza = V + topBottoni + ab + SottoBottoni;
        l.altezzaClient = l.altezza - V;
        l.messaggio = QRect((l.larghezzaClient - etichetta.width()) / 2, topEtichetta, etichetta.width(),
                            etichetta.height());
    }

    const int gap = l.gapFisso ? SpazioBottoni : (l.larghezzaClient - n * lb) / n;
    int sinistra = gap / 2;
    for (int i = 0; i < n; ++i) {
        l.bottoni << QRect(sinistra, topBottoni, lb, ab);
        sinistra += lb + gap;
    }
    return l;
}

frmMsgCom::frmMsgCom(const Schermo& schermo, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      schermo_(schermo) {
    setWindowTitle(QStringLiteral("Richiesta Comando"));
    setModal(true);
    labMessaggio_ = new QLabel(this);
    labMessaggio_->setTextFormat(Qt::PlainText);
    labMessaggio_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    txtMessaggio_ = new QTextEdit(this);
    txtMessaggio_->setReadOnly(true);
    txtMessaggio_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtMessaggio_->hide();
    // Scaled at load like every form, by the message box's own factor.
    double fattore = ctx().gdRisVidMsg;
    RisVidForm(*this, 0, fattore);
}

QSize frmMsgCom::misuraTesto(int larghezzaTwips) const {
    const QFontMetrics fm(labMessaggio_->font());
    const QString testo = labMessaggio_->text();
    const int flag = Qt::AlignHCenter | Qt::AlignTop | (larghezzaTwips > 0 ? Qt::TextWordWrap : 0);
    const int larghezza = larghezzaTwips > 0 ? inPixel(larghezzaTwips) : 1 << 20;
    const QSize px = fm.boundingRect(QRect(0, 0, larghezza, 1 << 20), flag, testo).size();
    return {inTwips(px.width()), inTwips(px.height())};
}

void frmMsgCom::Prepara(const RichiestaMsgCom& r, std::optional<int> pvWidthCom) {
    setWindowTitle(r.titolo.isEmpty() ? ctx().gsTitoloApp : r.titolo);

    const QStringList didascalie = r.bottoni.isEmpty() ? QStringList{QStringLiteral("&Ok")} : r.bottoni.mid(0, 3);
    for (const QString& d : didascalie) {
        auto* b = new QPushButton(d, this);
        const int numero = comEsegui_.size() + 1;
        connect(b, &QPushButton::clicked, this, [this, numero] {
            txtComRit_ = numero;
            accept();
        });
        comEsegui_ << b;
    }
    const int n = comEsegui_.size();
    // Enter presses button 1 and Esc button 2, except with three buttons.
    if (n < 3) comEsegui_[0]->setDefault(true);
    bottoneAnnulla_ = n == 2 ? comEsegui_[1] : nullptr;

    if (r.dimensioneFont > 0) {
        QFont f = labMessaggio_->font();
        f.setPointSize(r.dimensioneFont);
        labMessaggio_->setFont(f);
        txtMessaggio_->setFont(f);
    }
    labMessaggio_->setWordWrap(false);
    labMessaggio_->setText(r.messaggio);

    // The frame as the style draws it; the window manager's may differ a little.
    const int bordo = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    MisureMsgCom m;
    m.larghezzaSchermo = schermo_.LarghezzaTwips();
    m.altezzaUtile = schermo_.AreaUtileSchermo();
    m.corniceOrizzontale = inTwips(2 * bordo);
    m.corniceVerticale = inTwips(style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * bordo);
    m.odRisVidVal = odRisVidVal;
    m.larghezzaBottone = pvWidthCom;
    m.numeroBottoni = n;
    m.piLargForm = r.larghezzaPerc;
    m.piLatiForm = r.margine;
    m.pbSempreTxt = r.sempreTesto;
    // The window manager writes the title, bold as a rule, in the title bar
    // beside the icon and three buttons, each about as wide as the bar is high.
    QFont titolo = QApplication::font();
    titolo.setBold(true);
    const QMargins cornice = CorniceFinestra(*this);
    m.larghezzaTitolo = inTwips(QFontMetrics(titolo).horizontalAdvance(windowTitle()) + 4 * cornice.top() +
                                cornice.left() + cornice.right());
    m.misuraTesto = [this](int larghezza) { return misuraTesto(larghezza); };
    layout_ = CalcolaLayoutMsgCom(m);

    setFixedSize(inPixel(layout_.larghezzaClient), inPixel(layout_.altezzaClient));
    if (layout_.modoTesto) {
        labMessaggio_->hide();
        txtMessaggio_->setPlainText(r.messaggio);
        QTextCursor c(txtMessaggio_->document());
        c.select(QTextCursor::Document);
        QTextBlockFormat centrato;
        centrato.setAlignment(Qt::AlignHCenter);
        c.mergeBlockFormat(centrato);
        txtMessaggio_->setGeometry(inPixel(layout_.messaggio));
        txtMessaggio_->show();
    } else {
        labMessaggio_->setWordWrap(layout_.aCapo);
        labMessaggio_->setGeometry(inPixel(layout_.messaggio));
    }
    for (int i = 0; i < n; ++i) comEsegui_[i]->setGeometry(inPixel(layout_.bottoni[i]));

    // The chosen button first in the tab order, so that it has the focus;
    // out of range, the design order (button 1 first) stays.
    const int primo = r.bottonePredefinito >= 1 && r.bottonePredefinito <= n ? r.bottonePredefinito - 1 : 0;
    for (int i = 1; i < n; ++i) setTabOrder(comEsegui_[(primo + i - 1) % n], comEsegui_[(primo + i) % n]);
    comEsegui_[primo]->setFocus();
}

int frmMsgCom::Esegui() {
    // A busy pointer would hide that the box waits for the user.
    AttesaUtente attesa;
    txtComRit_ = 0;
    exec();
    return txtComRit_;
}

void frmMsgCom::keyPressEvent(QKeyEvent* e) {
    int codice = CodiceTasto(*e);
    if (TastoHelp(codice, StatoMaiusc(*e), *this)) return;
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        if (bottoneAnnulla_) bottoneAnnulla_->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

int frmMsgCom::msgCom(const QString& psLabel, const QString& psCom1, const std::optional<QString>& pvCom2,
                      const std::optional<QString>& pvCom3, const std::optional<QString>& pvTitolo,
                      int piLargForm, int piLatiForm, int pvFontSize, int piComDefault, bool pbSempreTxt) {
    RichiestaMsgCom r;
    r.messaggio = psLabel;
    r.bottoni = {psCom1};
    if (pvCom2) {
        r.bottoni << *pvCom2;
        if (pvCom3) r.bottoni << *pvCom3;
    }
    r.titolo = pvTitolo.value_or(ctx().gsTitoloApp);
    r.larghezzaPerc = piLargForm;
    r.margine = piLatiForm;
    r.dimensioneFont = pvFontSize;
    r.bottonePredefinito = piComDefault;
    r.sempreTesto = pbSempreTxt;
    return Dialoghi().msgCom(r);
}

int frmMsgCom::MsgErrfrm(const ErroreRun& errore, const QString& psMsgAggPri, const QString& psMsgAggDop,
                         const std::optional<QString>& pvTitolo) {
    return msgCom(TestoErrore(&errore, std::nullopt, std::nullopt, psMsgAggPri, psMsgAggDop), QStringLiteral("&Ok"),
                  std::nullopt, std::nullopt, pvTitolo);
}

int frmMsgCom::MsgErrfrm(const Valore& pvError, const Valore& pverr, const QString& psMsgAggPri,
                         const QString& psMsgAggDop, const std::optional<QString>& pvTitolo) {
    return msgCom(TestoErrore(nullptr, pvError, pverr, psMsgAggPri, psMsgAggDop), QStringLiteral("&Ok"),
                  std::nullopt, std::nullopt, pvTitolo);
}
