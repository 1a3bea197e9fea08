#include "common/schermi/SchermoLinee.h"

#include "common/schermi/BarraComandi.h"

#include "common/FrmMsgCom.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/platform/ServizioDialoghi.h"
#include "common/schermi/CasellaSpunta.h"
#include "common/schermi/TestataAperta.h"
#include "contesto/Contesto.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
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
    {"Nuovo", "(N) Nuovo", false},          {"Salva", "(S) Salva", false},
    {"Cancella", "(C) Cancella", false},    {"Annulla", "(A) Annulla", false},
    {"Duplica", "(D) Duplica", false},      {"VarKey", "(R) Varia campi chiave", true},
    {"Punta", "(P) Puntatore", false},      {"VaiA", "(V) Vai a", true},
    {"Inizio", "(I) Inizio Archivio", false}, {"Posiz", "", false},
    {"Fine", "(F) Fine Archivio", true},    {"Aggiorna", "(G) Aggiorna", false},
    {"Trova", "(T) Trova", false},          {"Chiudi", "(H) Chiudi", false},
    {"Menu", "(M) Menu", true},             {"EsciNoSalva", "(E) Esci Annullando", true},
    {"Taglia", "(X) Taglia", false},        {"Copia", "(O) Copia", false},
    {"Incolla", "(W) Incolla", false},      {"Inserisci", "(F10) Inserisci riga", false},
};

QString Didascalia(const char* suggerimento) { return QString::fromUtf8(suggerimento).section(QLatin1Char(' '), 1); }

}  // namespace

SchermoLinee::SchermoLinee(const QString& nomeForm, const QString& caption) : nomeForm_(nomeForm) {
    setObjectName(nomeForm);
    setAttribute(Qt::WA_DeleteOnClose, false);
    costruisci(caption);
}

SchermoLinee::~SchermoLinee() = default;

void SchermoLinee::costruisci(const QString& caption) {
    setWindowTitle(caption);
    setFixedSize(800, 600);
    tolLinPag_ = new QToolBar(this);
    tolLinPag_->setGeometry(0, 0, 800, 32);
    for (const Bottone& b : kBottoni) {
        QAction* a = tolLinPag_->addAction(Didascalia(b.suggerimento));
        a->setObjectName(QString::fromLatin1(b.chiave));
        a->setToolTip(QString::fromUtf8(b.suggerimento));
        const QString chiave = a->objectName();
        if (chiave == QLatin1String("Posiz")) a->setEnabled(false);
        else connect(a, &QAction::triggered, this, [this, chiave] { ButtonComando(chiave, true); });
        if (b.separatoreDopo) tolLinPag_->addSeparator();
    }
    txtRiga_ = new QLineEdit(QStringLiteral("99999 / 99999"), this);
    txtRiga_->setObjectName(QStringLiteral("txtRiga"));
    txtRiga_->setReadOnly(true);
    txtRiga_->setFocusPolicy(Qt::NoFocus);
    txtRiga_->setGeometry(680, 36, 110, 22);
    picFisso = new QFrame(this);
    picFisso->setGeometry(0, 36, 670, 30);
    PicDett = new QFrame(this);
    PicDett->setGeometry(0, 68, 800, 360);
    dbgRiga = new QTableView(this);
    dbgRiga->setGeometry(4, 432, 792, 140);
    labTipOpe = new QLabel(this);
    labTipOpe->setObjectName(QStringLiteral("TipOpe"));
    labTipOpe->setGeometry(4, 576, 150, 22);
    labMessaggio = new QLabel(this);
    labMessaggio->setObjectName(QStringLiteral("Messaggio"));
    labMessaggio->setGeometry(160, 576, 636, 22);
    timLinPag = new QTimer(this);
    timLinPag->setSingleShot(true);
    timLinPag->setInterval(0);
    connect(timLinPag, &QTimer::timeout, this, [this] { timLinPag_Timer(); });
}

void SchermoLinee::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    ancore_.Applica(size());
}

QLineEdit* SchermoLinee::Box(QWidget* padre, int indice, const QString& etichetta, int x, int y, int larghezza,
                             int xEtichetta) {
    auto* e = new QLineEdit(padre);
    ImpostaElemento(e, QStringLiteral("txt"), indice);
    e->setGeometry(x, y, larghezza, 22);
    e->setToolTip(etichetta);
    if (!etichetta.isEmpty()) {
        auto* l = new QLabel(etichetta, padre);
        l->setGeometry(xEtichetta, y, std::max(40, x - xEtichetta - 6), 22);
        l->setBuddy(e);
    }
    txt[indice] = e;
    return e;
}

bool SchermoLinee::Rosso(const QWidget* w) const { return w && BackColor(w) == ctx().glColErrore; }
void SchermoLinee::Colora(QWidget* w, long colore) { ImpostaBackColor(w, colore); }

LinPag& SchermoLinee::Linee() {
    if (!ogLinPag_) {
        ogLinPag_ = std::make_unique<LinPag>();
        adattatore_ = std::make_unique<AdattatoreComponente<LinPag>>(*ogLinPag_);
    }
    return *ogLinPag_;
}

void SchermoLinee::Campo(LinPag& linee, const QString& colonna, int indice, const OpzioniCampoLinee& opz) {
    nomiCampo_[indice] = colonna;
    linee.AggiungiCampo(colonna, txt.value(indice), opz);
}

void SchermoLinee::mostraErrore(const std::exception& e) {
    CursoreAttesa(0);
    if (const auto* r = dynamic_cast<const ErroreRun*>(&e)) frmMsgCom::MsgErrfrm(*r);
    else frmMsgCom::MsgErrfrm(ErroreRun(NumErrore::ErroreSql, QString::fromUtf8(e.what()), objectName()));
}

// ---- Loading

bool SchermoLinee::Carica() {
    caricata_ = Form_Load();
    return caricata_;
}

bool SchermoLinee::Form_Load() {
    try {
        Linee();
        DisponiComandi(*tolLinPag_, *this);
        InizForm(*this, false, true, false, true);
        setProperty("HelpContextID", ContestoHelp());
        nomiCampo_.clear();
        valoriIngresso_.clear();
        chiusuraRichiesta_ = 0;
        scaricamento_ = 0;
        flagTasto_ = 0;
        controlloUscita_ = -1;
        richiestaPosiz_ = 0;
        insPosizionato_ = 0;
        passoDifferito_ = 0;
        ovfrmBookmark(QString());
        ImpostaChiave();
        LinPag& l = Linee();
        l.ImpForm(this);
        l.ImpToolbar(tolLinPag_);
        if (!ctx().ggGestDb) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Database della ditta non aperto"), objectName());
        l.ImpDbServer(ctx().ggGestDb.get());
        l.ImpIdDbase(ctx().gsIdDbase);
        l.ImpContatore(txtRiga_);
        l.ImpGriglia(dbgRiga);
        l.ImpTabella(Tabella());
        sqlGriglia_ = PrepSql();
        l.ImpFormatoData(ctx().gsFormatoData);
        DefinisciCampi(l);
        l.ImpPrimoCampoChiave(txt.value(10));
        l.ImpPrimoCampoDati(txt.value(20));
        l.ImpColErrore(ctx().glColErrore);
        l.ImpColSfondo(ctx().glColNormale);
        for (int codice : {16, 4, 10, 13, 7, 17, 8, 6, 19, 3, 20}) l.AttivaPers(codice, true);
        for (QAction* a : tolLinPag_->actions()) {
            const QString k = a->objectName();
            if (k == QLatin1String("EsciNoSalva")) {
                a->setEnabled(false);
                a->setVisible(false);
            } else if (k == QLatin1String("Inserisci") || k == QLatin1String("Copia") || k == QLatin1String("Taglia") ||
                       k == QLatin1String("Incolla")) {
                a->setVisible(false);
            }
        }
        l.ConcludiIniz(sqlGriglia_);
        FineInizForm(*this, false, true, false);
        ancore_.Aggiungi(tolLinPag_, Ancoraggi::Largo);
        ancore_.Aggiungi(PicDett, Ancoraggi::Largo);
        ancore_.Aggiungi(dbgRiga, Ancoraggi::Largo | Ancoraggi::Alto);
        ancore_.Aggiungi(labTipOpe, Ancoraggi::Giu);
        ancore_.Aggiungi(labMessaggio, Ancoraggi::Largo | Ancoraggi::Giu);
        ancore_.Fissa(*this);
        passoDifferito_ = 3;
        timLinPag->start();
        return true;
    } catch (const std::exception& e) {
        mostraErrore(e);
        return false;
    }
}

void SchermoLinee::timLinPag_Timer() {
    timLinPag->stop();
    if (passoDifferito_ != 3 || !ogLinPag_) return;
    try {
        for (QAction* a : tolLinPag_->actions())
            if (a->objectName() == QLatin1String("Duplica")) a->setVisible(false);
        Linee().AttivaLinee();
        PosDoppioClick();
        if (QLineEdit* primo = txt.value(PrimoCampo())) primo->setFocus();
    } catch (const std::exception& e) {
        mostraErrore(e);
    }
    passoDifferito_ = 0;
}

void SchermoLinee::PosDoppioClick() {
    if (!testata || testata->PosDettaglio() < 0) return;
    LinPag& l = Linee();
    const int n = l.Modello().rowCount();
    l.VaiARiga(n - 1 >= testata->PosDettaglio() ? int(testata->PosDettaglio()) : n - 1);
}

void SchermoLinee::ImpAbilRW(int valore) {
    abilRW_ = valore;
    if (!ogLinPag_) return;
    ogLinPag_->ImpostaAbilRW(valore);
    QString a, b;
    ogLinPag_->RecCorrSuTot(a, b);
    txtRiga_->setText(a + QStringLiteral(" / ") + b);
}

// ---- Commands

QVariant SchermoLinee::ButtonComando(const QString& psKey, bool) {
    try {
        return comando(psKey);
    } catch (const std::exception& e) {
        richiestaPosiz_ = 0;
        mostraErrore(e);
        return QString::fromUtf8(e.what());
    }
}

QString SchermoLinee::comando(const QString& psKey) {
    if (!ogLinPag_) return {};
    LinPag& l = Linee();
    QString chiave = psKey;
    if (chiave == QLatin1String("Salva") && l.LeggiStato() == LinPag::Nuova) chiave = QStringLiteral("Inserisci");
    richiestaPosiz_ = 0;
    QString risultato;
    QWidget* attivo = focusWidget();
    controlloAttivo_ = attivo ? attivo->objectName() : QString();
    if (controlloAttivo_ == QLatin1String("txt")) txt_LostFocus(IndiceElemento(attivo));
    if (chiave == QLatin1String("EsciNoSalva")) {
        controlloUscita_ = 0;
        chiave = QStringLiteral("Chiudi");
    }
    if (chiave == QLatin1String("Inserisci")) {
        const int stato = l.LeggiStato();
        if (stato == LinPag::Scorrimento) {
            const QString t = l.VerificaPrimaInserire();
            if (t != QLatin1String("-1") && t != QLatin1String("-2") && !t.isEmpty()) {
                const QString t2 = l.ConfermaPrimaInserire(t);
                if (!t2.isEmpty()) return t2;
            } else {
                l.PreparaInserimento();
            }
            insPosizionato_ = -1;
            richiestaPosiz_ = -1;
        } else if (stato == LinPag::Nuova) {
            richiestaPosiz_ = insPosizionato_;
            l.LanciaComando(QStringLiteral("Salva"), risultato);
            if (!risultato.isEmpty()) return risultato;
            CompletaInserisci(chiave);
        } else {
            insPosizionato_ = -1;
            richiestaPosiz_ = -1;
        }
        CompletaInserisci(chiave);
    }
    if (!ogLinPag_) return risultato;
    l.LanciaComando(chiave, risultato);
    insPosizionato_ = richiestaPosiz_;
    return risultato;
}

void SchermoLinee::CompletaInserisci(QString& psKey) {
    if (richiestaPosiz_ != 0 && ogLinPag_) {
        LinPag& l = Linee();
        const int riga = l.RigaCorrente();
        l.ImpPosInserimento(riga >= 0 ? riga + 1 : -1);
        l.ImpRigaInserimento(riga);
        l.ImpModoInserimento(1);
    }
    psKey = QStringLiteral("Nuovo");
}

void SchermoLinee::AnnullaIns() {
    if (!RigaVuota() || !ogLinPag_) return;
    LinPag& l = Linee();
    const Valore prima = l.LeggiParLinee(QStringLiteral("MsgAnn"));
    l.ImpParLinee(QStringLiteral("MsgAnn"), Valore(QStringLiteral("N")));
    ButtonComando(QStringLiteral("Annulla"), true);
    if (ogLinPag_) l.ImpParLinee(QStringLiteral("MsgAnn"), prima);
}

void SchermoLinee::DatRefresh() {
    try {
        Linee().RinfrescaDati();
    } catch (const std::exception& e) {
        mostraErrore(e);
    }
}

void SchermoLinee::MenuFrm() {
    if (testata) testata->MenuTestata();
}

void SchermoLinee::ChiudiFrm() {
    chiusuraRichiesta_ = 1;
    Scarica();
    chiusuraRichiesta_ = 0;
}

// ---- Hooks

int SchermoLinee::PersLPaPri(int piOper, Valore& pvRit, QList<Valore>&) {
    try {
        if (piOper == OperLin::NuovaRiga) valoriIngresso_.clear();
        return HookPrimaSchermo(piOper, pvRit);
    } catch (const std::exception& e) {
        mostraErrore(e);
        pvRit = Valore(QString::fromUtf8(e.what()));
        return 1;
    }
}

int SchermoLinee::PersLPaDop(int piOper, Valore&, QList<Valore>& pvArray) {
    try {
        switch (piOper) {
        case OperLin::Annulla:
            if (QLineEdit* b = txt.value(10)) Colora(b, ctx().glColNormale);
            break;
        case OperLin::CambioStato:
            if (pvArray.value(0).intero() != LinPag::Nuova) {
                insPosizionato_ = 0;
                Linee().ImpModoInserimento(0);
                Linee().ImpPosInserimento(-1);
                Linee().ImpRigaInserimento(-1);
            }
            labTipOpe->setText(pvArray.value(0).intero() == LinPag::Nuova ? QStringLiteral("Inserimento") : QStringLiteral("Variazione"));
            break;
        case OperLin::NuovaRiga:
            AggNonText();
            ricordaIngresso();
            break;
        case OperLin::Mostrata:
            AggNonText();
            ricordaIngresso();
            break;
        default:
            break;
        }
    } catch (const std::exception& e) {
        mostraErrore(e);
    }
    return 0;
}

void SchermoLinee::ricordaIngresso() {
    // A row just shown (loaded, new, cancelled, saved, moved to) is what the
    // box holding the cursor was entered with: a value kept from before would
    // make leaving it run the box's rules on a line nobody changed (and count
    // it as changed), and none at all would hide what is typed next.
    valoriIngresso_.clear();
    QWidget* attivo = focusWidget();
    if (!attivo || attivo->objectName() != QLatin1String("txt")) return;
    const int indice = IndiceElemento(attivo);
    if (QLineEdit* box = txt.value(indice); box == attivo) valoriIngresso_[indice] = box->text();
}

int SchermoLinee::Domanda(const RichiestaMsgCom& r) {
    return frmMsgCom::msgCom(r.messaggio, r.bottoni.value(0, QStringLiteral("&Ok")),
                             r.bottoni.size() > 1 ? std::optional<QString>(r.bottoni[1]) : std::nullopt,
                             r.bottoni.size() > 2 ? std::optional<QString>(r.bottoni[2]) : std::nullopt, std::nullopt,
                             r.larghezzaPerc, r.margine, 0, r.bottonePredefinito);
}

void SchermoLinee::MostraMessaggio(const QString& testo) { labMessaggio->setText(testo); }

void SchermoLinee::ovfrmBookmark(const QString& segnalibro) {
    segnalibro_ = segnalibro;
    for (QAction* a : tolLinPag_->actions())
        if (a->objectName() == QLatin1String("VaiA")) a->setEnabled(!segnalibro_.isEmpty());
}

std::optional<QString> SchermoLinee::ChiediTesto(const QString& domanda) {
    if (!ctx().ggDialoghi) return std::nullopt;
    return ctx().ggDialoghi->inputBox(domanda, windowTitle(), QString());
}

// ---- Keys and boxes

void SchermoLinee::Form_KeyDown(int& KeyCode, int Shift) {
    if (!ogLinPag_) return;
    try {
        LinPag& l = Linee();
        if (KeyCode == Tasto::Esc && Shift == 0 && l.LeggiStato() == LinPag::Nuova) {
            // Only an untouched new line goes silently; the component asks
            // before dropping what was typed.
            if (flagTasto_ != 1) {
                if (RigaVuota()) AnnullaIns();
                else ButtonComando(QStringLiteral("Annulla"), true);
            }
            flagTasto_ = 0;
        }
        if (GestTastiForm(KeyCode, Shift, *this) > 0) return;
        QString scelto;
        if (ogLinPag_ && KeyCode == Tasto::F10 && Shift == 0 && l.LeggiStato() == LinPag::Nuova && RigaVuota()) {
            flagTasto_ = 1;
            AnnullaIns();
            KeyCode = 72;
            scelto = QStringLiteral("Chiudi");
        } else if (Shift == Maiusc::Alt && KeyCode == 'E') {
            scelto = QStringLiteral("EsciNoSalva");
        }
        QWidget* attivo = focusWidget();
        const bool combo = !attivo || attivo->objectName().compare(QLatin1String("cob"), Qt::CaseInsensitive) == 0;
        const bool navigazione = KeyCode == Tasto::PagSu || KeyCode == Tasto::PagGiu || KeyCode == Tasto::Su || KeyCode == Tasto::Giu;
        if (combo && navigazione) return;
        if (!scelto.isEmpty()) {
            QAction* bottone = nullptr;
            for (QAction* a : tolLinPag_->actions())
                if (a->objectName() == scelto) bottone = a;
            // "Chiudi" after F10 on an empty new line closes whatever the toolbar shows.
            if (scelto == QLatin1String("Chiudi") || (bottone && bottone->isVisible() && bottone->isEnabled()))
                ButtonComando(scelto, true);
            return;
        }
        if (ogLinPag_) TastiComandi(KeyCode, Shift, *this, false, true, false);
    } catch (const std::exception& e) {
        mostraErrore(e);
    }
}

void SchermoLinee::txt_GotFocus(int Index) {
    QLineEdit* box = txt.value(Index);
    if (!box || !ogLinPag_) return;
    if (!Escluso(Index)) Linee().LeggiDescrCampo(NomeCampo(Index));
    valoriIngresso_[Index] = box->text();
    SelezTestoAttivo();
    ColoreFocus(box);
}

void SchermoLinee::txt_LostFocus(int Index) {
    QLineEdit* box = txt.value(Index);
    if (!box || scaricamento_ == -1 || !ogLinPag_) return;
    try {
        ColorePerdeFocus(box);
        labMessaggio->clear();
        if (!Escluso(Index)) Linee().ControllaCampo(NomeCampo(Index), Linee().LeggiValoreCampo(NomeCampo(Index)));
        const bool variato = box->text().compare(valoriIngresso_.value(Index, box->text()), Qt::CaseInsensitive) != 0;
        if (Rosso(box)) {
            if (variato && labMessaggio->text().isEmpty()) labMessaggio->setText(QStringLiteral("Campo numerico: valore non valido"));
            return;
        }
        RegoleCampo(Index, variato);
        valoriIngresso_[Index] = box->text();
    } catch (const std::exception& e) {
        mostraErrore(e);
    }
}

// ---- Closing

void SchermoLinee::closeEvent(QCloseEvent* e) {
    if (chiuso_ || Form_Unload()) e->accept();
    else e->ignore();
}

bool SchermoLinee::Scarica() {
    if (chiuso_) return true;
    if (!Form_Unload()) return false;
    hide();
    return true;
}

bool SchermoLinee::Form_Unload() {
    if (chiuso_) return true;
    if (!caricata_ || !ogLinPag_) {
        chiuso_ = true;
        return true;
    }
    QString nome;
    QWidget* attivo = focusWidget();
    try {
        if (chiusuraRichiesta_ == 0) {
            nome = attivo ? attivo->objectName() : QString();
            if (nome == QLatin1String("txt")) txt_LostFocus(IndiceElemento(attivo));
        }
        LinPag& l = Linee();
        bool annulla = !l.PuoChiudere();
        if (!annulla) {
            int s = l.LeggiStatoChiusura();
            if (s == 1 && controlloUscita_ != 0) {
                annulla = !ControllaDati();
            } else {
                controlloUscita_ = -1;
                s = l.LeggiStatoChiusura();
                if (s == 1)
                    annulla = ctx().ggDialoghi &&
                              ctx().ggDialoghi->msgBox(QStringLiteral("Confermi Uscita SENZA SALVATAGGIO dei Dettagli"),
                                                       StileMsg::OkAnnulla | StileMsg::Domanda | StileMsg::SecondoPredefinito,
                                                       ctx().gsTitoloApp) != RispostaMsg::Ok;
            }
        }
        if (annulla) {
            if (nome == QLatin1String("txt")) txt_GotFocus(IndiceElemento(attivo));
            chiusuraRichiesta_ = 0;
            return false;
        }
        timLinPag->stop();
        // The lines component may be closing the screen from inside one of its
        // commands: it goes once that command has returned.
        QTimer::singleShot(0, [p = ogLinPag_.release(), a = adattatore_.release()] {
            delete a;
            delete p;
        });
        scaricamento_ = -1;
        chiuso_ = true;
        caricata_ = false;
        if (testata) testata->DopoGestDettaglio();
        chiusuraRichiesta_ = 0;
        deleteLater();
        return true;
    } catch (const std::exception& e) {
        mostraErrore(e);
        chiusuraRichiesta_ = 0;
        return false;
    }
}
