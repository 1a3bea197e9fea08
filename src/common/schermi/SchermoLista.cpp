#include "common/schermi/SchermoLista.h"

#include "common/schermi/BarraComandi.h"

#include "common/FrmMsgCom.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/platform/ServizioDialoghi.h"
#include "common/schermi/AnnoPredefinito.h"
#include "common/schermi/TestataAperta.h"
#include "contesto/Contesto.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

namespace {

struct Bottone {
    const char* chiave;
    const char* suggerimento;
    bool separatoreDopo;
};
constexpr Bottone kBottoni[] = {
    {"Ricerca", "(R) Ricerca Dati", false},
    {"AzzSel", "(Z) Azzera Selezioni", false},
    {"Torna", "(O) Torna alla maschera chiamante", false},
    {"Seleziona", "(E) Seleziona il dato cercato", true},
    {"Punta", "(P) Puntatore", false},
    {"VaiA", "(V) Vai a", true},
    {"Inizio", "(I) Inizio Archivio", false},
    {"Posiz", "", false},
    {"Fine", "(F) Fine Archivio", true},
    {"Aggiorna", "(G) Aggiorna", false},
    {"Trova", "(T) Trova", false},
    {"Stampa", "(S) Stampa", true},
    {"Chiudi", "(H) Chiudi", false},
    {"Menu", "(M) Menu", false},
};

QString Didascalia(const char* suggerimento) { return QString::fromUtf8(suggerimento).section(QLatin1Char(' '), 1); }

std::function<DialogoStampaLista*()>& dialogoStampa() {
    static std::function<DialogoStampaLista*()> d;
    return d;
}

// Hands the list print to the program's dialog, made when first needed.
class DialogoDifferito : public DialogoStampaLista {
public:
    void ApriStampaLista(Comlin& lista) override {
        if (dialogoStampa()) dialogoStampa()()->ApriStampaLista(lista);
    }
};

}  // namespace

void SchermoLista::ImpDialogoStampa(std::function<DialogoStampaLista*()> dialogo) { dialogoStampa() = std::move(dialogo); }

SchermoLista::SchermoLista(const QString& nomeForm, const QString& caption) {
    setObjectName(nomeForm);
    costruisci(caption);
}

SchermoLista::~SchermoLista() = default;

void SchermoLista::costruisci(const QString& caption) {
    setWindowTitle(caption);
    resize(800, 560);
    setMinimumSize(400, 300);
    tolComlin_ = new QToolBar(this);
    tolComlin_->setGeometry(0, 0, 800, 32);
    for (const Bottone& b : kBottoni) {
        QAction* a = tolComlin_->addAction(Didascalia(b.suggerimento));
        a->setObjectName(QString::fromLatin1(b.chiave));
        a->setToolTip(QString::fromUtf8(b.suggerimento));
        const QString chiave = a->objectName();
        if (chiave == QLatin1String("Posiz")) a->setEnabled(false);
        else connect(a, &QAction::triggered, this, [this, chiave] { ButtonComando(chiave); });
        if (chiave == QLatin1String("Stampa")) a->setVisible(false);
        if (b.separatoreDopo) tolComlin_->addSeparator();
    }
    txtRiga_ = new QLineEdit(QStringLiteral("99999 / 99999"), this);
    txtRiga_->setObjectName(QStringLiteral("txtRiga"));
    txtRiga_->setReadOnly(true);
    txtRiga_->setFocusPolicy(Qt::NoFocus);
    txtRiga_->setGeometry(680, 36, 110, 22);

    dbgRiga = new QTableView(this);
    dbgRiga->setGeometry(4, 162, 792, 394);
    connect(dbgRiga, &QTableView::clicked, this, [this] { dbgRiga_Click(); });
    connect(dbgRiga, &QTableView::doubleClicked, this, [this] { dbgRiga_Click(); });
    dbgRiga->installEventFilter(this);
    dbgRiga->viewport()->installEventFilter(this);
    dbgRiga->setMouseTracking(true);
    connect(dbgRiga->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) { dbgRiga_HeadClick(c); });
    connect(dbgRiga->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { saltaSelezione_ = true; });

    auto* fraCerca = new QGroupBox(this);
    fraCerca->setObjectName(QStringLiteral("FraCerca"));
    fraCerca->setGeometry(400, 62, 396, 96);
    ComCerca = new QPushButton(QStringLiteral("Cerca in:"), fraCerca);
    ComCerca->setGeometry(6, 8, 80, 24);
    connect(ComCerca, &QPushButton::clicked, this, [this] { ButtonComando(QStringLiteral("Cerca")); });
    CobCerca = new QComboBox(fraCerca);
    CobCerca->setGeometry(92, 8, 140, 24);
    txtCerca = new QLineEdit(fraCerca);
    txtCerca->setObjectName(QStringLiteral("txtCerca"));
    txtCerca->setGeometry(238, 8, 150, 24);
    auto* labCerca = new QLabel(QStringLiteral("Direzione ricerca:"), fraCerca);
    labCerca->setGeometry(6, 38, 384, 22);
    const char* direzioni[] = {"Primo", "Successivo", "Precedente", "Ultimo"};
    for (int i = 0; i < 4; ++i) {
        optDirez[i] = new QRadioButton(QString::fromLatin1(direzioni[i]), fraCerca);
        ImpostaElemento(optDirez[i], QStringLiteral("optDirez"), i);
        constexpr int kX[] = {6, 84, 184, 284}, kLarghezza[] = {76, 98, 98, 76};
        optDirez[i]->setGeometry(kX[i], 64, kLarghezza[i], 24);
    }
    optDirez[0]->setChecked(true);

    timVarie = new QTimer(this);
    timVarie->setSingleShot(true);
    timVarie->setInterval(0);
    connect(timVarie, &QTimer::timeout, this, [this] { timVarie_Timer(); });
}

void SchermoLista::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    const int bordo = dbgRiga->x();
    dbgRiga->resize(std::max(0, width() - 2 * bordo), std::max(0, height() - dbgRiga->y() - bordo));
}

QLineEdit* SchermoLista::Campo(int indice, const QString& etichetta, int x, int y, int larghezza, int larghEtichetta) {
    auto* l = new QLabel(etichetta, this);
    l->setGeometry(x, y, larghEtichetta, 22);
    auto* e = new QLineEdit(this);
    ImpostaElemento(e, QStringLiteral("txt"), indice);
    e->setGeometry(x + larghEtichetta + 4, y, larghezza, 22);
    l->setBuddy(e);
    txt[indice] = e;
    return e;
}

QString SchermoLista::AnnoPredefinito() { return QString::number(::AnnoPredefinito(ctx().gtDataLavoro)); }

Comlin& SchermoLista::Lista() {
    if (!ogComlin_) {
        ogComlin_ = std::make_unique<Comlin>();
        adattLista_ = std::make_unique<AdattatoreComponente<Comlin>>(*ogComlin_);
    }
    return *ogComlin_;
}

LisPag& SchermoLista::Pager() {
    if (!ogLisPag_) {
        ogLisPag_ = std::make_unique<LisPag>();
        adattPager_ = std::make_unique<AdattatoreComponente<LisPag>>(*ogLisPag_);
    }
    return *ogLisPag_;
}

// ---- Loading

bool SchermoLista::Form_Load() {
    try {
        Lista();
        Pager();
        DisponiComandi(*tolComlin_, *this);
        InizForm(*this, false, false, true, false);
        indiceCampo_ = -1;
        scaricamento_ = false;
        azioneDifferita_ = 0;
        saltaSelezione_ = false;
        LisPag& p = Pager();
        Comlin& c = Lista();
        p.ImpToolbar(tolComlin_);
        p.ImpComlin(&c);
        for (QAction* a : tolComlin_->actions())
            if (a->objectName() == QLatin1String("Stampa")) a->setVisible(true);
        static DialogoDifferito differito;
        p.LeggiComlin()->ofrmComlinSTampa = &differito;
        p.ImpForm(this);
        DefinisciSelezioni(p);
        c.ImpForm(this);
        c.ImpToolbar(tolComlin_);
        c.ImpContatore(txtRiga_);
        c.ImpGriglia(dbgRiga);
        if (!ctx().ggGestDb) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Database della ditta non aperto"), objectName());
        c.ImpDatabase(ctx().ggGestDb.get(), ctx().gsIdDbase);
        c.ImpCerca(txtCerca, CobCerca, {optDirez[0], optDirez[1], optDirez[2], optDirez[3]});
        p.ImpColErrore(ctx().glColErrore);
        p.ImpColSfondo(ctx().glColNormale);
        saltaSelezione_ = false;
        p.ConcludiIniz();
        if (pagina_) p.ImpPagTestata(pagina_);
        FineInizForm(*this, false, false, true);
        return true;
    } catch (const std::exception& e) {
        if (const auto* r = dynamic_cast<const ErroreRun*>(&e)) frmMsgCom::MsgErrfrm(*r);
        return false;
    }
}

void SchermoLista::impOggBase(ComPag* pagina) {
    pagina_ = pagina;
    if (ogLisPag_) ogLisPag_->ImpPagTestata(pagina);
}

void SchermoLista::MostraLista() {
    if (!caricata_) {
        caricata_ = Form_Load();
        if (!caricata_) return;
        ButtonComando(QStringLiteral("Ricerca"));
    }
    show();
    raise();
    activateWindow();
}

// ---- Commands

void SchermoLista::ButtonComando(const QString& psKey) {
    if (!ogComlin_ || !ogLisPag_) return;
    QWidget* attivo = focusWidget();
    controlloComando_ = attivo ? attivo->objectName() : QString();
    indiceCampo_ = -1;
    if (controlloComando_ == QLatin1String("txt")) {
        indiceCampo_ = IndiceElemento(attivo);
        txt_LostFocus(indiceCampo_);
    }
    if (psKey.compare(QLatin1String("Stampa"), Qt::CaseInsensitive) == 0) {
        if (Lista().Modello().rowCount() == 0) return;  // an empty list is never printed
        try {
            Lista().LanciaComando(psKey);
        } catch (const std::exception& e) {
            if (const auto* r = dynamic_cast<const ErroreRun*>(&e)) frmMsgCom::MsgErrfrm(*r);
            else frmMsgCom::MsgErrfrm(ErroreRun(NumErrore::ErroreSql, QString::fromUtf8(e.what()), objectName()));
            return;
        }
    } else {
        try {
            Lista().LanciaComando(psKey);
        } catch (const std::exception& e) {
            // A command of the list failed; the pager still gets the key, as
            // the list would have gone on. The user sees why.
            if (const auto* r = dynamic_cast<const ErroreRun*>(&e)) frmMsgCom::MsgErrfrm(*r);
        }
    }
    if (!ogLisPag_) return;  // closed by the command
    try {
        Pager().LanciaComando(psKey);
        if (psKey.compare(QLatin1String("AzzSel"), Qt::CaseInsensitive) == 0) AzzAltro();
    } catch (const std::exception& e) {
        if (const auto* r = dynamic_cast<const ErroreRun*>(&e)) frmMsgCom::MsgErrfrm(*r);
    }
    if (!scaricamento_) {
        azioneDifferita_ = 2;
        timVarie->start();
    }
}

void SchermoLista::timVarie_Timer() {
    timVarie->stop();
    if (azioneDifferita_ == 1) {
        if (!saltaSelezione_) ButtonComando(QStringLiteral("Seleziona"));
        saltaSelezione_ = false;
    } else if (azioneDifferita_ == 2 && indiceCampo_ >= 0) {
        QWidget* attivo = focusWidget();
        if (attivo && attivo->objectName() == controlloComando_ && controlloComando_ == QLatin1String("txt") &&
            IndiceElemento(attivo) == indiceCampo_)
            txt_GotFocus(indiceCampo_);
        controlloComando_.clear();
        indiceCampo_ = -1;
    }
    azioneDifferita_ = 0;
}

void SchermoLista::dbgRiga_Click() {
    azioneDifferita_ = 1;
    timVarie->start();
}

void SchermoLista::dbgRiga_HeadClick(int ColIndex) {
    saltaSelezione_ = true;
    int esito = 1;
    try {
        esito = Lista().Ordina(ColIndex);
    } catch (const ErroreRun&) {
        esito = 1;
    }
    if (esito == 1 && ctx().ggDialoghi)
        ctx().ggDialoghi->msgBox(QStringLiteral("Impossibile ordinare su questo campo"), StileMsg::SoloOk, ctx().gsTitoloApp);
}

bool SchermoLista::eventFilter(QObject* o, QEvent* e) {
    if (o == dbgRiga && e->type() == QEvent::KeyPress) {
        tastoPremuto_ = true;
        const int tasto = static_cast<QKeyEvent*>(e)->key();
        if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter) dbgRiga_Click();
    } else if (o == dbgRiga->viewport() && e->type() == QEvent::MouseMove) {
        dbgRiga_MouseMove(static_cast<QMouseEvent*>(e)->position().toPoint().y());
    }
    return QWidget::eventFilter(o, e);
}

void SchermoLista::dbgRiga_MouseMove(int y) {
    if (!ctx().gbLisSpostaCurs || !ogComlin_) return;
    if (tastoPremuto_) {
        tastoPremuto_ = false;
        return;
    }
    const int riga = dbgRiga->rowAt(y);
    if (riga >= 0 && riga != Lista().RigaCorrente()) Lista().VaiARiga(riga);
}

void SchermoLista::txt_LostFocus(int Index) {
    if (QLineEdit* box = txt.value(Index)) {
        ColorePerdeFocus(box);
        FormattaSelezione(Index);
    }
}

// ---- Call-backs

bool SchermoLista::VerSelez() { return !Pager().SelezioneNonValida(); }

void SchermoLista::SettaRecordset(const QString& psSql) {
    sql_ = psSql;
    Lista().ImpostaRecordset(psSql);
    QString a, b;
    Lista().LeggiContatore(a, b);
    txtRiga_->setText(a + QStringLiteral(" / ") + b);
}

void SchermoLista::ovfrmBookmark(const QString& segnalibro) {
    segnalibro_ = segnalibro;
    for (QAction* a : tolComlin_->actions())
        if (a->objectName() == QLatin1String("VaiA")) a->setEnabled(!segnalibro.isEmpty());
}

int SchermoLista::Domanda(const RichiestaMsgCom& r) {
    return frmMsgCom::msgCom(r.messaggio, r.bottoni.value(0, QStringLiteral("&Ok")),
                             r.bottoni.size() > 1 ? std::optional<QString>(r.bottoni[1]) : std::nullopt,
                             r.bottoni.size() > 2 ? std::optional<QString>(r.bottoni[2]) : std::nullopt);
}

void SchermoLista::oiStaAtt(int valore) { ctx().giStaAtt = valore; }
int SchermoLista::oiStaAtt() const { return ctx().giStaAtt; }

bool SchermoLista::ListaAvanti() { return ogLisPag_ && Pager().PaginaAvanti(); }
bool SchermoLista::ListaIndietro() { return ogLisPag_ && Pager().PaginaIndietro(); }

void SchermoLista::TornaTestata() {
    hide();
    if (testata) {
        QWidget* w = testata->FinestraTestata();
        w->show();
        w->raise();
        w->activateWindow();
    }
}

void SchermoLista::MenuFrm() {
    if (testata) testata->MenuTestata();
}

void SchermoLista::ChiudiFrm() { close(); }

void SchermoLista::closeEvent(QCloseEvent* e) {
    Form_Unload();
    e->accept();
}

void SchermoLista::Form_Unload() {
    scaricamento_ = true;
    timVarie->stop();
    if (ogLisPag_ && ogLisPag_->LeggiPagTestata()) ogLisPag_->LeggiPagTestata()->ChiusaLista(0);
    caricata_ = false;
    // The components may be on the call stack of the command that closed the
    // list: they go once the event loop is back.
    auto* lista = ogComlin_.release();
    auto* pager = ogLisPag_.release();
    auto* a1 = adattLista_.release();
    auto* a2 = adattPager_.release();
    QTimer::singleShot(0, [lista, pager, a1, a2] {
        delete a1;
        delete a2;
        delete pager;
        delete lista;
    });
    hide();
}
