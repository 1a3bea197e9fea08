#include "startup/Ospite.h"

#include "common/MsgErrori.h"
#include "components/core/ErroreRun.h"
#include "components/menu/MenuClient.h"
#include "components/platform/Schermo.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "common/FormBase.h"
#include "print/lavoro/LavoroStampa.h"

#include <QApplication>
#include <QDialog>
#include <QLocale>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

FormPrincipale::FormPrincipale() {
    setObjectName(QStringLiteral("frmPrincipale"));
    setWindowTitle(QStringLiteral("Form Principale del programma"));
    // The forms' questions keep the keyboard while this says what goes on;
    // above every window, the preview and its print box included, since the
    // manager restacks a window's group whenever something of it comes up.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(32, 20, 32, 20);
    lblChiusura = new QLabel(QStringLiteral("Chiusura in corso"), this);
    QFont f = lblChiusura->font();
    f.setPointSizeF(std::max(14.0, f.pointSizeF()));
    f.setBold(true);
    lblChiusura->setFont(f);
    lblChiusura->setAlignment(Qt::AlignCenter);
    l->addWidget(lblChiusura);
    timChiudi.setSingleShot(true);
    timChiudi.setInterval(1);
    timVarie.setSingleShot(true);
    timVarie.setInterval(1);
}

void FormPrincipale::MostraChiusura(const QRect& areaLavoro) {
    setFixedSize(sizeHint());
    QRect r(QPoint(0, 0), size());
    r.moveCenter(areaLavoro.center());
    move(r.topLeft());
    show();
    // The frame, once there is one, is centred too.
    const QPoint scarto = areaLavoro.center() - frameGeometry().center();
    if (scarto.manhattanLength() > 1) move(pos() + scarto);
    raise();
    lblChiusura->repaint();
}

const QStringList& Ospite::NomiForms() {
    static const QStringList nomi{QStringLiteral("FrmLiqIvaPre"),  QStringLiteral("frmLiqIvaTest"),
                                  QStringLiteral("FrmLiqIvaXML"),  QStringLiteral("FrmDatiFatPre"),
                                  QStringLiteral("frmDatiFatXml"), QStringLiteral("frmDatiFatGest")};
    return nomi;
}

// A form comes forward with the window it waits for in front of it.
static void PortaAvanti(FormBase* form) {
    form->raise();
    QWidget* attiva = form->FinestraAttiva();
    if (attiva != form) {
        if (!attiva->isVisible()) attiva->show();
        attiva->raise();
    }
    attiva->activateWindow();
}

// The form each name opens.
static QString NomeFormDi(const QString& nomeRichiesto) {
    if (nomeRichiesto.compare(QLatin1String("FrmLiqIvaXML"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("frmLiqIvaXml");
    for (const QString& n : Ospite::NomiForms())
        if (n.compare(nomeRichiesto, Qt::CaseInsensitive) == 0) return n;
    return {};
}

Ospite::Ospite() {
    frmPrincipale_ = new FormPrincipale();
    QObject::connect(&frmPrincipale_->timChiudi, &QTimer::timeout, [this] { timChiudi_Timer(); });
    QObject::connect(&frmPrincipale_->timVarie, &QTimer::timeout, [this] { timVarie_Timer(); });
    for (const QString& n : NomiForms()) {
        const QString nome = NomeFormDi(n);
        fabbriche_[n.toLower()] = [nome] { return new FormSegnaposto(nome); };
    }
    ModaleAperta = [] { return QApplication::activeModalWidget() != nullptr; };
    AlTermine = [] { QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection); };
    LasciaPassareMessaggi = [] { QCoreApplication::processEvents(); };
    InterrompiStampa = [] { InterrompiStampaInCorso(); };
    ChiudiModali = [] {
        // From the top one down; each returns from its own loop once this
        // handler has returned.
        QWidget* ultimo = nullptr;
        while (QWidget* m = QApplication::activeModalWidget()) {
            if (m == ultimo) break;
            ultimo = m;
            if (auto* d = qobject_cast<QDialog*>(m)) d->reject();
            else m->close();
        }
    };
}

Ospite::~Ospite() {
    for (auto& f : caricate_)
        if (f) delete f.data();
    delete frmPrincipale_;
}

namespace {

const QString MotivoInChiusura = QStringLiteral("Programma in chiusura: comando non eseguito");

// While the forms are asked to close, a box that one of them shows (a
// question, or why it will not close) is what the user must read: the
// closing window gives way to it, and comes back for the next form.
class CedeAiBox : public QObject {
public:
    explicit CedeAiBox(QWidget& chiusura) : chiusura_(chiusura) { qApp->installEventFilter(this); }
    ~CedeAiBox() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && o->isWidgetType()) {
            auto* w = static_cast<QWidget*>(o);
            if (w != &chiusura_ && w->isWindow() && w->isModal()) chiusura_.hide();
        }
        return false;
    }

private:
    QWidget& chiusura_;
};

}  // namespace

void Ospite::MostraChiusura() {
    const std::shared_ptr<Schermo> schermo = ctx().ggSchermo;
    frmPrincipale_->MostraChiusura(schermo ? schermo->AreaDisponibile() : SchermoQt().AreaDisponibile());
}

void Ospite::ImpostaFabbrica(const QString& nome, FabbricaForm f) { fabbriche_[nome.toLower()] = std::move(f); }

QList<QWidget*> Ospite::FormsCaricate() const {
    QList<QWidget*> l;
    if (frmPrincipale_) l << frmPrincipale_;
    for (const auto& f : caricate_)
        if (f) l << f.data();
    return l;
}

int Ospite::IndiceForm(const QString& nome) const {
    const QList<QWidget*> l = FormsCaricate();
    for (int i = 0; i < l.size(); ++i)
        if (l[i]->objectName().compare(nome, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

FormBase* Ospite::Form(const QString& nome) const {
    for (const auto& f : caricate_)
        if (f && f->NomeForm().compare(nome, Qt::CaseInsensitive) == 0) return f.data();
    return nullptr;
}

void Ospite::RegistraCaricata(FormBase* f) {
    if (!caricate_.contains(f)) caricate_.append(f);
}

void Ospite::RimuoviCaricata(FormBase* f) { caricate_.removeAll(f); }

bool Ospite::NessunaFormAperta() const {
    for (const auto& f : caricate_)
        if (f) return false;
    return true;
}

// ---- Dispatch ----

void Ospite::ApriFormRichiesta(const QString& nomeRichiesto, int modo, const QString& chiave,
                               const QString& keyLancia, const QString& keySecLancia, const QString& paramLancia) {
    const QString nome = nomeRichiesto.trimmed();
    const QString nomeForm = nome.isEmpty() ? QString() : NomeFormDi(nome);
    if (nomeForm.isEmpty()) {
        MsgAvvisoProg(QStringLiteral("La form richiesta e' inesistente"), StileMsg::SoloOk, -1);
        return;
    }
    FormBase* form = Form(nomeForm);
    if (!form) form = fabbriche_.at(nomeForm.toLower())();
    AttivaForm(form, nomeForm, modo, chiave, keyLancia, keySecLancia, paramLancia);
}

bool Ospite::AttivaForm(FormBase*& form, const QString& nome, int modo, const QString& chiave,
                        const QString& keyLancia, const QString& keySecLancia, const QString& paramLancia) {
    MenuClient* menu = ctx().ggMenuClient.get();
    auto consegna = [&](const QString& osParam) {
        form->osKeySec = chiave;
        form->osKeyLancia = keyLancia;
        form->osKeySecLancia = keySecLancia;
        form->osParamLancia = paramLancia;
        form->osParam = osParam;
    };
    bool inCaricamento = false;
    try {
        if (IndiceForm(nome) > 0) {
            if (!form->isVisible()) form->show();
            PortaAvanti(form);
            // Hand-over only when a launcher asked for the form.
            if (!keyLancia.trimmed().isEmpty()) consegna(menu ? menu->LeggiInfoLancio().osParam : QString());
            return true;
        }
        const InfoLancio info = menu ? menu->LeggiInfoLancio() : InfoLancio{};
        int stato = info.osTipoForm;
        double d = 0;
        if (leggiNumeroItaliano(ctx().gsStatoFinestra, d)) stato = static_cast<int>(d);
        consegna(info.osParam);
        inCaricamento = true;
        form->Carica();
        if (form->oiLoadOk == -1) {
            form->Scarica();
            form = nullptr;
            SegnaUscitaConErrore();
            ChiudiRichiesto(-1);
            return false;
        }
        if (modo == 0) stato = -1;
        if (stato == 2) form->showMaximized();
        else if (stato == 1) form->showMinimized();
        else form->show();
        form->raise();
        form->activateWindow();
        return true;
    } catch (const ErroreRun& e) {
        if (e.numero() != NumErrore::ImpossibileMostrare && e.numero() != NumErrore::OggettoNonImpostato) {
            MsgErroreMenu(e);
            // A form that failed while loading is not left loaded and unseen,
            // which would keep the program waiting for it to close.
            if (inCaricamento && form) {
                form->Scarica();
                form = nullptr;
                SegnaUscitaConErrore();
            }
            ChiudiRichiesto(0);
        }
        return false;
    }
}

void Ospite::SegnaUscitaConErrore() {
    // The program ends because the form could not open: the caller of the
    // process must not read that as success.
    if (NessunaFormAperta()) ctx().giCodiceUscita = 1;
}

void Ospite::timVarie_Timer() {
    frmPrincipale_->timVarie.stop();
    if (frmPrincipale_->oiFlagVarie == 1 && IndiceForm(frmPrincipale_->osNomeForm) > 0) {
        if (FormBase* f = Form(frmPrincipale_->osNomeForm)) f->FinestraAttiva()->activateWindow();
        return;
    }
    frmPrincipale_->oiFlagVarie = 0;
}

// ---- Menu commands ----

QString Ospite::TestoAvvisoFE(const QString& com, const QList<Valore>& el) {
    auto elem = [&](int i) { return i < el.size() ? el[i] : Valore(); };
    const bool esito0 = elem(2).numero() == 0;
    const QString err = QStringLiteral("Err: ") + elem(2).testo() + QStringLiteral(" - ") + elem(3).testo();
    if (com.compare(QLatin1String("FEInvio"), Qt::CaseInsensitive) == 0) {
        if (!esito0) return QStringLiteral("Errore nell'invio delle fatture\n") + err;
        QString t = QStringLiteral("Inviate ") +
                    QLocale(QLocale::Italian).toString(static_cast<qlonglong>(elem(6).numero())).trimmed() +
                    QStringLiteral(" fatture");
        if (!elem(3).eVuotoONull()) t += QStringLiteral("\nFatture non inviate per errori") + elem(3).testo();
        return t;
    }
    if (!esito0) return QStringLiteral("Errore nella richiesta di fatture in attesa\n") + err;
    if (elem(3).numero() > 0) return QStringLiteral("Ci sono ") + elem(3).testo() + QStringLiteral(" fatture in attesa");
    return {};
}

void Ospite::EseguiComandoMenu(const QString& idMenu, const QString& keySec, const QString& com, const Valore& param,
                               Valore& rit) {
    rit = QString();
    const QString c = com.toLower();
    MenuClient* menu = ctx().ggMenuClient.get();
    auto launcher = [&](const QString& nome, int modo, const QString& chiave) {
        const InfoLancio info = menu ? menu->LeggiInfoLancio() : InfoLancio{};
        ApriFormRichiesta(nome, modo, chiave, info.osChiLancia, info.osKeySecLancia, info.osParamLancia);
    };
    const bool apreOMostra = c == QLatin1String("attiva") || c == QLatin1String("passaa") ||
                             c == QLatin1String("ritornoa") || c == QLatin1String("preppassaa") ||
                             c == QLatin1String("feinvio") || c == QLatin1String("feattesa");
    if (c == QLatin1String("fine") && avvioInCorso_) {
        // Closing now would release what the start-up is still using: it
        // closes as soon as the start-up returns.
        fineDopoAvvio_ = true;
    } else if (apreOMostra && avvioInCorso_) {
        // A form loaded now would read databases not open yet.
        dopoAvvio_.append({idMenu, keySec, com, param, menu ? menu->RimandaRisposta() : nullptr});
    } else if (c == QLatin1String("fine")) {
        ctx().giChiusura = true;
        ChiudiProg();
        ctx().giChiusura = false;
        if (!terminato_)
            rit = ctx().gsMotivoNoChiudi.isEmpty() ? QStringLiteral("No Chiudi") : ctx().gsMotivoNoChiudi;
    } else if (c == QLatin1String("esiste")) {
        rit = true;
    } else if (c == QLatin1String("ritornoa")) {
        const QString nome = param.testo().trimmed();
        if (nome.isEmpty() || !FormCaricata(nome)) {
            if (QWidget* w = QApplication::activeWindow()) w->activateWindow();
        } else {
            ApriFormRichiesta(nome, 0, {}, {}, {}, {});
        }
    } else if (c == QLatin1String("attiva")) {
        if (menu) menu->AttivaProgramma(keySec);
        const InfoLancio info = menu ? menu->LeggiInfoLancio() : InfoLancio{};
        const QString nome = ggUtil().EstraiParametro(info.osParam, QStringLiteral("F")).trimmed();
        ApriFormRichiesta(nome, -1, keySec, info.osChiLancia, info.osKeySecLancia, info.osParamLancia);
    } else if (c == QLatin1String("preppassaa")) {
        for (const auto& f : QList<QPointer<FormBase>>(caricate_)) {
            try {
                if (f) f->PassaA();
            } catch (const ErroreRun&) {
            }
        }
    } else if (c == QLatin1String("passaa")) {
        launcher(param.testo(), 0, keySec);
    } else if (c == QLatin1String("keyprgprim")) {
        rit = ctx().gsKeyPrgPrim;
    } else if (c == QLatin1String("keyprgsec")) {
        rit = ctx().gsKeyPrgSec;
    } else if (c == QLatin1String("paramprgclie")) {
        rit = QStringLiteral("$Default$");
    } else if (c == QLatin1String("feinvio") || c == QLatin1String("feattesa")) {
        const QString t = TestoAvvisoFE(com, param.lista());
        if (!t.isEmpty()) {
            RichiestaMsgCom r;
            r.messaggio = t;
            ctx().ggDialoghi->msgCom(r);
        }
    }
}

void Ospite::MsgAvvisoProg(const QString& testo, int codice, int chiudi) {
    try {
        ctx().ggDialoghi->msgBox(testo, codice, ctx().gsTitoloApp);
        if (chiudi == -1) ChiudiRichiesto(0);
    } catch (const ErroreRun& e) {
        // The menu shows "Errore(" + text + "): " + number.
        MsgErroreMenu(Valore(static_cast<long long>(e.numero())), Valore(testo));
        ChiudiRichiesto(0);
    }
}

// ---- Returning to the menu and closing ----

void Ospite::TornaAlMenu() {
    try {
        if (!ctx().ggMenuClient) throw ErroreRun(91, QStringLiteral("Menu assente"));
        ctx().ggMenuClient->MostraMenu(QStringLiteral("Tutti"));
    } catch (const ErroreRun&) {
        ctx().ggDialoghi->msgBox(QStringLiteral("Il menu non è più disponibile"), StileMsg::SoloOk, ctx().gsTitoloApp);
    }
}

void Ospite::LanciaChiamante(const QString& key, const QString& keySec, const QString& param) {
    if (ctx().ggMenuClient) ctx().ggMenuClient->RitornaAChiamante(key, keySec, param);
}

void Ospite::FormScaricata(FormBase* form, bool flag) {
    // With the menu gone there is nobody to hand control back to, and a box
    // saying so could wait for a user who never sees it.
    if (flag && !ctx().giChiusura && !menuPerso_) {
        if (form->osKeyLancia.trimmed().isEmpty()) RitornaMenu();
        else LanciaChiamante(form->osKeyLancia, form->osKeySecLancia, form->osParamLancia);
    }
    ctx().giChiusura = false;
    ChiudiRichiesto(0);
    if (menuPerso_) return;
    try {
        if (!form->osKeySec.trimmed().isEmpty() && ctx().ggMenuClient) ctx().ggMenuClient->FormChiusa(form->osKeySec);
    } catch (const ErroreRun&) {
    }
}

void Ospite::RichiestaChiusura(int flag) {
    if (terminato_) return;
    if (flag == -1) {
        int modo = 1;
        TentaChiusura(modo);
        return;
    }
    frmPrincipale_->oiChiudi = 1;
    frmPrincipale_->oiTmpAttesa = 100;
    frmPrincipale_->timChiudi.stop();
    frmPrincipale_->timChiudi.setInterval(1);
    frmPrincipale_->timChiudi.start();
}

void Ospite::ChiudiDaTimer() {
    frmPrincipale_->oiChiudi = 0;
    frmPrincipale_->timChiudi.setInterval(1);
    frmPrincipale_->timChiudi.start();
}

bool Ospite::ElaborazioneInCorso() const {
    if (ctx().giStaAtt != 0) return true;
    for (const auto& f : caricate_)
        if (f && f->ElaborazioneAttiva()) return true;
    return false;
}

// Without the menu nobody answers a run's pages and questions: the run is
// stopped as "Interrompi" would, and the closing waits for it to return,
// asking no form to close meanwhile (each would refuse, with a box).
bool Ospite::AttendiFineElaborazione() {
    if (!menuPerso_ || !ElaborazioneInCorso()) return false;
    if (InterrompiStampa) InterrompiStampa();
    return true;
}

void Ospite::CollegamentoPerso() {
    if (terminato_) return;
    menuPerso_ = true;
    // Without the menu the program closes: nothing it asked for still runs.
    RifiutaDopoAvvio(MotivoInChiusura);
    ChiudiModaliSenzaMenu();
    if (AttendiFineElaborazione()) {
        ChiudiDaTimer();
        return;
    }
    // During the start-up the closing timer only dismisses the boxes that
    // come up; FineAvvio comes back here.
    if (!avvioInCorso_) {
        ctx().giChiusura = true;
        const bool chiuso = ChiudiProg();
        ctx().giChiusura = false;
        if (chiuso) return;
    }
    ChiudiDaTimer();
}

void Ospite::ChiudiModaliSenzaMenu() {
    if (menuPerso_ && ModaleAperta && ModaleAperta() && ChiudiModali) ChiudiModali();
}

void Ospite::FineAvvio(bool riuscito) {
    avvioInCorso_ = false;
    // A failed start-up has said why and closes: what the menu asked for
    // meanwhile is not done, and neither is it when the program closes anyway.
    if (!riuscito) RifiutaDopoAvvio(QStringLiteral("Avvio del programma non riuscito: comando non eseguito"));
    else if (menuPerso_ || fineDopoAvvio_ || terminato_)
        RifiutaDopoAvvio(MotivoInChiusura);
    if ((!menuPerso_ && !fineDopoAvvio_) || terminato_) {
        EseguiDopoAvvio();
        return;
    }
    try {
        if (menuPerso_) {
            CollegamentoPerso();
        } else {
            ctx().giChiusura = true;
            const bool chiuso = ChiudiProg();
            ctx().giChiusura = false;
            if (!chiuso) ChiudiDaTimer();
        }
    } catch (const ErroreRun&) {
        // A form that failed to unload stays on screen for the user to close;
        // the closing timer ends the program after it.
        ChiudiDaTimer();
    }
}

void Ospite::EseguiDopoAvvio() {
    while (!dopoAvvio_.isEmpty() && !terminato_) {
        const ComandoInAttesa k = dopoAvvio_.takeFirst();
        Valore rit;
        try {
            try {
                EseguiComandoMenu(k.idMenu, k.keySec, k.com, k.param, rit);
            } catch (const std::exception& e) {
                if (dynamic_cast<const ErroreRun*>(&e)) throw;
                throw ErroreRun(NumErrore::ErroreSql, QString::fromLocal8Bit(e.what()), QStringLiteral("Ospite"));
            }
            if (k.risposta) k.risposta(rit, 0, {});
        } catch (const ErroreRun& e) {
            // The menu hears of it as of any failed command; where it had
            // its answer already, the user hears of it here.
            if (k.risposta) k.risposta({}, e.numero() != 0 ? e.numero() : NumErrore::ErroreSql, e.descrizione());
            else MsgErroreMenu(e);
        }
    }
}

void Ospite::RifiutaDopoAvvio(const QString& motivo) {
    const QList<ComandoInAttesa> rifiutati = std::exchange(dopoAvvio_, {});
    for (const ComandoInAttesa& k : rifiutati)
        if (k.risposta) k.risposta({}, 5, motivo);
}

bool Ospite::TentaChiusura(int& modo) {
    bool fatto = true;
    if (modo != 0 && !NessunaFormAperta()) {
        fatto = false;
    } else {
        // No form keeps the program: it closes, and nothing the menu asked
        // for during the start-up may open one now.
        RifiutaDopoAvvio(MotivoInChiusura);
        // A modal box is only passing: try again on the next tick.
        if (!ChiudiProg() && ctx().gsMotivoNoChiudi == QLatin1String("Maschera Modal")) fatto = false;
    }
    modo = 0;
    return fatto;
}

void Ospite::timChiudi_Timer() {
    if (terminato_) return;
    frmPrincipale_->timChiudi.stop();
    // Without the menu, a box that came up since is answered by nobody.
    ChiudiModaliSenzaMenu();
    if (menuPerso_ && (avvioInCorso_ || AttendiFineElaborazione())) {
        frmPrincipale_->timChiudi.setInterval(frmPrincipale_->oiTmpAttesa);
        frmPrincipale_->timChiudi.start();
        return;
    }
    const int salvato = frmPrincipale_->oiChiudi;
    if (!TentaChiusura(frmPrincipale_->oiChiudi)) {
        frmPrincipale_->oiChiudi = salvato;
        frmPrincipale_->timChiudi.setInterval(frmPrincipale_->oiTmpAttesa);
        frmPrincipale_->timChiudi.start();
    }
}

bool Ospite::ChiudiProgramma() {
    if (terminato_) return true;
    ctx().gsMotivoNoChiudi.clear();
    if (LasciaPassareMessaggi) LasciaPassareMessaggi();
    if (ModaleAperta && ModaleAperta()) {
        ctx().gsMotivoNoChiudi = QStringLiteral("Maschera Modal");
        return false;
    }
    // From here the program is closing: what the menu asked for during the
    // start-up and is still waiting is not done.
    RifiutaDopoAvvio(MotivoInChiusura);
    MostraChiusura();
    if (!ScaricaForms(frmPrincipale_->windowTitle())) {
        // The program runs on: no window may say it is closing.
        frmPrincipale_->hide();
        return false;
    }
    RilasciaOggetti();
    frmPrincipale_->hide();
    frmPrincipale_->timChiudi.stop();
    frmPrincipale_->timVarie.stop();
    terminato_ = true;
    if (AlTermine) AlTermine();
    return true;
}

bool Ospite::ScaricaForms(const QString&) {
    const CedeAiBox cede(*frmPrincipale_);
    // From the last loaded backwards; the main form stays for last. The
    // first form that refuses says why itself, once, and the closing stops.
    while (!caricate_.isEmpty()) {
        QPointer<FormBase> f = caricate_.last();
        if (!f) {
            caricate_.removeLast();
            continue;
        }
        if (!frmPrincipale_->isVisible()) MostraChiusura();
        if (!f->Scarica()) {
            f->show();
            PortaAvanti(f);
            return false;
        }
        caricate_.removeAll(f.data());
    }
    return true;
}

void Ospite::RilasciaOggetti() {
    Contesto& c = ctx();
    // The lookup objects hold the databases' ids: release them first.
    c.ggScUtilPrg.reset();
    c.ggAiuti.reset();
    c.ggDecodDitte.reset();
    c.ggGestDb.reset();
    if (c.ggMenuClient) {
        try {
            c.ggMenuClient->ChiudiCollegamento();
        } catch (const ErroreRun&) {
        }
        c.ggMenuClient->ImpostaGestoreComandi(nullptr);
        c.ggMenuClient->ImpostaGestorePerdita(nullptr);
    }
}

Ospite* OspiteCorrente() { return dynamic_cast<Ospite*>(ctx().ggOspite.get()); }
