#include "common/schermi/SchermoTestata.h"

#include "common/schermi/BarraComandi.h"

#include "common/FrmMsgCom.h"
#include "common/MsgErrori.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/pages/CampiTabella.h"
#include "components/util/UtilGenerali.h"
#include "common/schermi/CasellaSpunta.h"
#include "common/schermi/SchermoLinee.h"
#include "common/schermi/SchermoLista.h"
#include "contesto/Contesto.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    {"Ricerca", "(R) Ricerca", false},         {"Salva", "(S) Salva", false},
    {"Cancella", "(C) Cancella", false},       {"Annulla", "(A) Annulla", true},
    {"Duplica", "(D) Duplica", false},         {"VarKey", "(V) Varia campi chiave", false},
    {"Lista", "(L) Lista", false},             {"ListaInd", "(-) Precedente nella lista", false},
    {"ListaAvanti", "(+) Successivo nella lista", true},
    {"Inizio", "(I) Inizio Archivio", false},  {"Precedente", "(P) Precedente", false},
    {"Successivo", "(U) Successivo", false},   {"Fine", "(F) Fine Archivio", true},
    {"Chiudi", "(H) Chiudi", false},           {"Menu", "(M) Menu", true},
    {"Dettaglio", "(E) Gestione dettaglio", false},
};

// Button captions of the toolbar: the tool tip without its key letter.
QString Didascalia(const char* suggerimento) { return QString::fromUtf8(suggerimento).section(QLatin1Char(' '), 1); }

const QString kDatiInVariazione = QStringLiteral("Dati in variazione\nImpossibile entrare nella gestione dettagli");

}  // namespace

SchermoTestata::SchermoTestata(const QString& nomeForm, const QString& caption) : FormBase(nomeForm) {
    costruisci(caption);
}

SchermoTestata::~SchermoTestata() {
    if (lista_) delete lista_.data();
    if (linee_) delete linee_.data();
}

void SchermoTestata::resizeEvent(QResizeEvent* e) {
    FormBase::resizeEvent(e);
    ancore_.Applica(size());
}

void SchermoTestata::costruisci(const QString& caption) {
    setWindowTitle(caption);
    setFixedSize(800, 560);
    tolComPag_ = new QToolBar(this);
    tolComPag_->setGeometry(0, 0, 800, 32);
    for (const Bottone& b : kBottoni) {
        QAction* a = tolComPag_->addAction(Didascalia(b.suggerimento));
        a->setObjectName(QString::fromLatin1(b.chiave));
        a->setToolTip(QString::fromUtf8(b.suggerimento));
        const QString chiave = a->objectName();
        connect(a, &QAction::triggered, this, [this, chiave] { ButtonComando(chiave); });
        if (b.separatoreDopo) tolComPag_->addSeparator();
    }
    lblTipOpe = new QLabel(QStringLiteral("Ricerca"), this);
    lblTipOpe->setGeometry(690, 36, 100, 20);

    picTest = new QFrame(this);
    picTest->setGeometry(0, 36, 684, 40);
    PicDett = new QFrame(this);
    PicDett->setGeometry(0, 78, 800, 450);

    labDescrCampo = new QLabel(this);
    labDescrCampo->setObjectName(QStringLiteral("DescrCampo"));
    labDescrCampo->setGeometry(4, 534, 300, 22);
    labMessaggio = new QLabel(this);
    labMessaggio->setObjectName(QStringLiteral("Messaggio"));
    labMessaggio->setGeometry(310, 534, 486, 22);

    dbgDett = new QTableView(PicDett);
    dbgDett->setGeometry(4, 290, 792, 156);
    dbgDett->setModel(&modelloDett_);
    dbgDett->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgDett->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgDett->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(dbgDett, &QTableView::doubleClicked, this, [this] { dbgDett_DblClick(); });

    auto* lab = new QLabel(QStringLiteral("Inizio/Fine Anno"), picTest);
    lab->setGeometry(560, 0, 110, 17);
    for (int i = 0; i < 2; ++i) {
        ComAnno[i] = new QPushButton(i == 0 ? QStringLiteral("<<") : QStringLiteral(">>"), picTest);
        ImpostaElemento(ComAnno[i], QStringLiteral("ComAnno"), i);
        ComAnno[i]->setGeometry(560 + i * 55, 18, 50, 20);
        connect(ComAnno[i], &QPushButton::clicked, this, [this, i] { ComAnno_Click(i); });
    }
    timComPag = new QTimer(this);
    timComPag->setSingleShot(true);
    timComPag->setInterval(0);
    connect(timComPag, &QTimer::timeout, this, [this] { timComPag_Timer(); });
}

QLineEdit* SchermoTestata::Campo(QWidget* padre, int indice, const QString& etichetta, int x, int y, int larghezza,
                                 int xEtichetta) {
    auto* e = new QLineEdit(padre);
    ImpostaElemento(e, QStringLiteral("txt"), indice);
    e->setGeometry(x, y, larghezza, 22);
    e->setToolTip(etichetta);
    if (!etichetta.isEmpty()) {
        auto* l = new QLabel(etichetta, padre);
        const int xl = xEtichetta >= 0 ? xEtichetta : 8;
        l->setGeometry(xl, y, std::max(40, x - xl - 6), 22);
        l->setBuddy(e);
    }
    connect(e, &QLineEdit::textEdited, this, [this] {
        if (ogComPag_) ogComPag_->CampoVariato();
    });
    txt[indice] = e;
    return e;
}

CasellaSpunta* SchermoTestata::Spunta(QWidget* padre, int indice, const QString& testo, int x, int y, int larghezza) {
    auto* c = new CasellaSpunta(testo, padre);
    ImpostaElemento(c, QStringLiteral("Check"), indice);
    c->setGeometry(x, y, larghezza, 22);
    c->setContextMenuPolicy(Qt::PreventContextMenu);
    c->installEventFilter(this);
    Check[indice] = c;
    return c;
}

bool SchermoTestata::Rosso(const QWidget* w) const { return w && BackColor(w) == ctx().glColErrore; }
void SchermoTestata::Colora(QWidget* w, long colore) { ImpostaBackColor(w, colore); }

SchermoLista* SchermoTestata::ListaForm() const { return lista_; }

QWidget* SchermoTestata::FinestraAttiva() {
    if (linee_ && linee_->Caricata()) return linee_;
    return this;
}
SchermoLinee* SchermoTestata::LineeAperte() const { return linee_; }

ComPag& SchermoTestata::Pagina() {
    if (!ogComPag_) {
        ogComPag_ = std::make_unique<ComPag>();
        adattatore_ = std::make_unique<AdattatoreComponente<ComPag>>(*ogComPag_);
    }
    return *ogComPag_;
}

void SchermoTestata::mostraErrore(const std::exception& e) {
    CursoreAttesa(0);
    if (const auto* r = dynamic_cast<const ErroreRun*>(&e)) frmMsgCom::MsgErrfrm(*r);
    else frmMsgCom::MsgErrfrm(ErroreRun(NumErrore::ErroreSql, QString::fromUtf8(e.what()), objectName()));
}

// ---- Loading

bool SchermoTestata::Form_Load() {
    setProperty("HelpContextID", ContestoHelp());
    captionCaricamento_ = windowTitle();
    oiLoadOk = -1;
    try {
        Pagina();
        DisponiComandi(*tolComPag_, *this);
        InizForm(*this, true, false, false, true);
        chiusuraRichiesta_ = 0;
        indiceComando_ = -1;
        olPosDett = -1;
        oiInDett = -1;
        scaricamento_ = 0;
        ComPag& p = Pagina();
        p.ImpTabella(Tabella());
        ImpostazionePropria(p);
        for (int codice : {16, 5, 7, 9, 4, 25, 12, 8, 1, 27, 3}) p.AttivaPers(codice, true);
        DefinisciCampi(p);
        p.ImpPrimoCampoChiave(txt.value(20));
        p.ImpPrimoCampoDati(txt.value(PrimoCampoDati()));
        p.ImpColErrore(ctx().glColErrore);
        p.ImpColSfondo(ctx().glColNormale);
        SchermoLista* lista = CreaLista();
        lista->osKeySec = osKeySec;
        lista->osParam = osParam;
        lista->testata = this;
        lista_ = lista;
        if (!ctx().ggGestDb) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Database della ditta non aperto"), objectName());
        p.ImpLista(this, ctx().ggGestDb.get(), ctx().gsIdDbase, lista);
        p.ImpImmagini(ctx().gsTipoPrg, tolComPag_);
        FineInizForm(*this, true, false, false);
        ancore_.Aggiungi(tolComPag_, Ancoraggi::Largo);
        ancore_.Aggiungi(PicDett, Ancoraggi::Largo | Ancoraggi::Alto);
        ancore_.Aggiungi(dbgDett, Ancoraggi::Largo | Ancoraggi::Alto);
        ancore_.Aggiungi(labDescrCampo, Ancoraggi::Giu);
        ancore_.Aggiungi(labMessaggio, Ancoraggi::Largo | Ancoraggi::Giu);
        ancore_.Fissa(*this);
        for (QAction* a : tolComPag_->actions())
            if (a->objectName() == QLatin1String("Duplica")) a->setVisible(false);
        abilitaDettaglio(p.LeggiStato());
        grigliaVuota();
        if (txt.value(20)) txt[20]->setFocus();
        oiLoadOk = 1;
        return true;
    } catch (const std::exception& e) {
        if (const auto* r = dynamic_cast<const ErroreRun*>(&e)) MsgErroreMenu(*r, captionCaricamento_ + QLatin1Char('\n'), QString());
        else MsgErroreMenu(ErroreRun(NumErrore::ErroreSql, QString::fromUtf8(e.what())), captionCaricamento_ + QLatin1Char('\n'), QString());
        ctx().giChiusura = true;
        oiLoadOk = -1;
        return false;
    }
}

// ---- Commands

void SchermoTestata::ButtonComando(const QString& psKey) {
    try {
        comando(psKey);
    } catch (const std::exception& e) {
        indiceComando_ = -1;
        controlloComando_.clear();
        mostraErrore(e);
    }
}

void SchermoTestata::comando(const QString& psKey) {
    QWidget* attivo = focusWidget();
    controlloComando_ = attivo ? attivo->objectName() : QString();
    if (controlloComando_ == QLatin1String("txt")) {
        const int indice = IndiceElemento(attivo);
        txt_LostFocus(indice);
        indiceComando_ = indice;
    } else {
        indiceComando_ = -1;
    }
    ComPag& p = Pagina();
    const int s1 = p.LeggiStato();
    QString risultato;
    p.LanciaComando(psKey, risultato);
    if (!ogComPag_) return;  // the screen closed meanwhile
    const int s2 = p.LeggiStato();
    lblTipOpe->setText(s2 == ComPag::Vuota ? QStringLiteral("Ricerca") : s2 == ComPag::Nuova ? QStringLiteral("Inserimento")
                                                                                              : QStringLiteral("Variazione"));
    if (psKey.compare(QLatin1String("Dettaglio"), Qt::CaseInsensitive) == 0 || (s1 == ComPag::Nuova && s2 == ComPag::Mostrata)) {
        GestDettaglio();
    } else {
        CursoreAttesa(0);
        if (scaricamento_ == 0) timComPag->start();
    }
}

void SchermoTestata::timComPag_Timer() {
    timComPag->stop();
    if (indiceComando_ >= 0) {
        QWidget* attivo = focusWidget();
        if (attivo && attivo->objectName() == controlloComando_ && controlloComando_ == QLatin1String("txt") &&
            QApplication::activeWindow() == this && IndiceElemento(attivo) == indiceComando_)
            txt_GotFocus(indiceComando_);
    }
    controlloComando_.clear();
    indiceComando_ = -1;
}

QString SchermoTestata::ComandoProprio(int keyCode, int shift) const {
    return shift == Maiusc::Alt && keyCode == 'E' ? QStringLiteral("Dettaglio") : QString();
}

void SchermoTestata::Form_KeyPress(int& KeyAscii) { KeyAscii = FiltraTasto(KeyAscii); }

// ---- Hooks

int SchermoTestata::PersPagPri(int piOper, int& pvRit, QList<Valore>&) {
    if (piOper != OperPag::Cancella) return 0;
    try {
        CancellaDettagli();
        return 0;
    } catch (const std::exception& e) {
        // The page undoes the whole delete when the details cannot go.
        mostraErrore(e);
        pvRit = 1;
        return 1;
    }
}

int SchermoTestata::PersPagDop(int piOper, int&, QList<Valore>& pvArray) {
    try {
        switch (piOper) {
        case OperPag::CambioStato: {
            const int s = static_cast<int>(pvArray.value(0).intero());
            abilitaDettaglio(s);
            if (s == ComPag::Vuota) grigliaVuota();
            // The controls behind the mirrors follow the read-only switch.
            const bool scrivibile = Pagina().AbilRW() != 0;
            for (CasellaSpunta* c : Check) c->setEnabled(scrivibile);
            for (QComboBox* c : cob) c->setEnabled(scrivibile);
            break;
        }
        case OperPag::Mostrato:
            AggNonText();
            if (Pagina().LeggiStato() == ComPag::Mostrata) MostraDett();
            break;
        case OperPag::NuovoRec:
            AggNonText();
            grigliaVuota();
            break;
        default:
            break;
        }
    } catch (const std::exception& e) {
        mostraErrore(e);
    }
    return 0;
}

void SchermoTestata::abilitaDettaglio(int s) {
    for (QAction* a : tolComPag_->actions())
        if (a->objectName() == QLatin1String("Dettaglio")) a->setEnabled(s == 1 || s == 2 || s == 7);
}

void SchermoTestata::VariaChiaveDettagli(const QList<Valore>& vecchia, const QList<Valore>& nuova) {
    // The detail table names its header's key parts as the header does.
    ComPag& p = Pagina();
    const QStringList colonne = p.ColonneChiave();
    QStringList valori, condizioni;
    for (int i = 0; i < colonne.size(); ++i) {
        const CampoPagina* c = p.Campo(colonne[i]);
        const int tipo = c ? c->tipo : TipoDato::Testo;
        valori << colonne[i] + QStringLiteral(" = ") + LetteraleValore(nuova.value(i), tipo);
        condizioni << colonne[i] + QStringLiteral(" = ") + LetteraleValore(vecchia.value(i), tipo);
    }
    ctx().ggGestDb->EseguiSql(ctx().gsIdDbase, QStringLiteral("UPDATE ") + TabellaDett() + QStringLiteral(" SET ") +
                                                   valori.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") +
                                                   condizioni.join(QStringLiteral(" AND ")));
}

int SchermoTestata::Domanda(const RichiestaMsgCom& r) {
    return frmMsgCom::msgCom(r.messaggio, r.bottoni.value(0, QStringLiteral("&Ok")),
                             r.bottoni.size() > 1 ? std::optional<QString>(r.bottoni[1]) : std::nullopt,
                             r.bottoni.size() > 2 ? std::optional<QString>(r.bottoni[2]) : std::nullopt, std::nullopt,
                             r.larghezzaPerc, r.margine, 0, r.bottonePredefinito);
}

void SchermoTestata::MostraMessaggio(const QString& testo) {
    labMessaggio->setText(testo);
    boxMessaggio_ = testo.isEmpty() ? -1 : boxInUscita_;
}
void SchermoTestata::MostraDescrizione(const QString& testo) { labDescrCampo->setText(testo); }

// ---- Detail grid

void SchermoTestata::legaGriglia(const QString& sql) {
    modelloDett_.Carica(*ctx().ggGestDb, ctx().gsIdDbase, sql);
}

// The empty grid still shows its heading whole, in the font in use.
void SchermoTestata::grigliaVuota() {
    legaGriglia(QueryDettVuota());
    AllargaAlContenuto(*dbgDett);
}

void SchermoTestata::MostraDett() {
    legaGriglia(QueryDett());
    try {
        FormatColDett();
    } catch (const ErroreRun&) {
        // A column the query lacks keeps its default look; the others are set.
    }
    modelloDett_.ApplicaLarghezze(*dbgDett);
}

void SchermoTestata::dbgDett_DblClick() {
    try {
        // The row under the pointer, not the count of rows.
        const QModelIndex corrente = dbgDett->currentIndex();
        if (corrente.isValid() && corrente.row() < modelloDett_.rowCount()) olPosDett = corrente.row();
        ButtonComando(QStringLiteral("Dettaglio"));
    } catch (const std::exception& e) {
        mostraErrore(e);
    }
}

bool SchermoTestata::InVar() {
    ComPag& p = Pagina();
    if (p.LeggiStato() != ComPag::Mostrata) return true;
    QString testo;
    return p.InVariazione(testo) && !testo.isEmpty();
}

void SchermoTestata::GestDettaglio() {
    if (InVar()) {
        const int s = Pagina().LeggiStato();
        if (s == ComPag::Vuota) return;
        ButtonComando(QStringLiteral("Salva"));
        if (s == ComPag::Nuova) return;  // the save itself opened the lines
        if (InVar()) {
            frmMsgCom::msgCom(kDatiInVariazione, QStringLiteral("&Ok"));
            return;
        }
    }
    SchermoLinee* linee = CreaLinee();
    linee->osKeySec = osKeySec;
    linee->osParam = osParam;
    linee->testata = this;
    linee_ = linee;
    oiInDett = 1;
    if (!linee->Carica()) {
        oiInDett = -1;
        delete linee;
        return;
    }
    setEnabled(false);
    linee->show();
}

void SchermoTestata::DopoGestDettaglio() {
    try {
        setEnabled(true);
        show();
        olPosDett = -1;
        if (Pagina().LeggiStato() == ComPag::Mostrata) MostraDett();
        CursoreAttesa(0);
        if (scaricamento_ == 0) timComPag->start();
    } catch (const std::exception& e) {
        mostraErrore(e);
    }
    oiInDett = -1;
    linee_ = nullptr;
}

void SchermoTestata::AggNonText() {
    const int prima = indiceComando_;
    if (indiceComando_ < 1) indiceComando_ = 1;
    aggiornaControlli_ = true;
    AggNonTextSchermo();
    aggiornaControlli_ = false;
    indiceComando_ = prima < 1 ? -1 : prima;
}

// ---- Boxes

void SchermoTestata::txt_GotFocus(int Index) {
    QLineEdit* box = txt.value(Index);
    if (!box) return;
    if (Index == 10 && box->text() == QLatin1String("0")) box->clear();
    labDescrCampo->setText(box->toolTip());
    try {
        Pagina().LeggiDescrCampo(Pagina().CampoDiControllo(box));
    } catch (const ErroreRun&) {
        // A box that is no page field has no description to show.
    }
    SelezTestoAttivo();
    ColoreFocus(box);
}

void SchermoTestata::txt_LostFocus(int Index) {
    if (Index == indiceComando_ || !txt.contains(Index)) return;
    // What this box said when last left goes: its rules say it again while
    // the value is still wrong.
    if (boxMessaggio_ == Index) MostraMessaggio(QString());
    boxInUscita_ = Index;
    try {
        ColorePerdeFocus(txt[Index]);
        if (!RegolaCampo(Index)) regolaComune(Index);
        RegoleDopoCampo(Index);
    } catch (const std::exception& e) {
        mostraErrore(e);
    }
    boxInUscita_ = -1;
}

void SchermoTestata::regolaComune(int Index) {
    try {
        Pagina().ControllaCampo(Pagina().CampoDiControllo(txt[Index]));
    } catch (const ErroreRun&) {
        // A box that is no page field has no check of the page.
    }
}

void SchermoTestata::ComAnno_Click(int Index) {
    try {
        QLineEdit* anno = txt.value(20);
        if (!anno || anno->text().trimmed().isEmpty() || Rosso(anno)) {
            if (anno) anno->setFocus();
            return;
        }
        CampoPagina* campo = Pagina().Campo(QStringLiteral("Anno"));
        if (campo) campo->oiKeyFisso = 2;
        ButtonComando(Index == 0 ? QStringLiteral("Inizio") : QStringLiteral("Fine"));
        if (ogComPag_ && (campo = Pagina().Campo(QStringLiteral("Anno")))) campo->oiKeyFisso = 0;
    } catch (const std::exception& e) {
        mostraErrore(e);
    }
}

void SchermoTestata::Check_KeyUp(int Index, int KeyCode) {
    if (KeyCode == 46 && Pagina().LeggiStato() == 0 && Check.contains(Index)) {
        Check[Index]->setCheckState(Qt::PartiallyChecked);
        if (txt.contains(Index)) txt[Index]->clear();
    }
}

void SchermoTestata::Check_MouseDown(int Index, int Button) {
    if (Button == 2) Check_KeyUp(Index, 46);
}

// ---- Closing

void SchermoTestata::ChiudiFrm() {
    chiusuraRichiesta_ = 1;
    Scarica();
    chiusuraRichiesta_ = 0;
}

bool SchermoTestata::Form_QueryUnload() {
    if (oiLoadOk != 1) return true;
    try {
        QWidget* attivo = focusWidget();
        const QString nome = attivo ? attivo->objectName() : QString();
        if (chiusuraRichiesta_ == 0) {
            if (nome == QLatin1String("txt")) txt_LostFocus(IndiceElemento(attivo));
            else indiceComando_ = -1;
        }
        // The lines screen goes first, with its own question: a refusal there
        // keeps both screens.
        if (linee_ && linee_->Caricata() && !linee_->Scarica()) {
            linee_->raise();
            linee_->activateWindow();
            return false;
        }
        const bool puo = Pagina().PuoChiudere();
        if (!puo && nome == QLatin1String("txt") && attivo) txt_GotFocus(IndiceElemento(attivo));
        return puo;
    } catch (const std::exception& e) {
        mostraErrore(e);
        chiusuraRichiesta_ = 0;
        return false;
    }
}

void SchermoTestata::Form_Unload() {
    scaricamento_ = -1;
    timComPag->stop();
    if (linee_) {
        linee_->testata = nullptr;
        linee_->deleteLater();
    }
    if (lista_) lista_->deleteLater();
    // The page may be closing the screen from inside one of its commands: it
    // goes once that command has returned.
    QTimer::singleShot(0, [p = ogComPag_.release(), a = adattatore_.release()] {
        delete a;
        delete p;
    });
}

bool SchermoTestata::eventFilter(QObject* o, QEvent* e) {
    const int indice = IndiceElemento(o);
    if (o->objectName() == QLatin1String("Check") && Check.value(indice) == o) {
        if (e->type() == QEvent::KeyRelease) Check_KeyUp(indice, CodiceTasto(*static_cast<QKeyEvent*>(e)));
        else if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton)
            Check_MouseDown(indice, 2);
    }
    return FormBase::eventFilter(o, e);
}
