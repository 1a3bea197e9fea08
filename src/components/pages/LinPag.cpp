#include "components/pages/LinPag.h"

#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/pages/CampiTabella.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

namespace {

const QString kOrigine = QStringLiteral("LinPag");
const QString kMsgSolaLettura = QStringLiteral("Gestione in sola lettura: modifica non consentita");
const QString kMsgCampoErrato = QStringLiteral("Impossibile salvare: correggere il campo evidenziato in rosso");
const QString kMsgVariazione = QStringLiteral("Dati della riga in variazione. Salvare le modifiche?");
const QString kMsgConfermaCanc = QStringLiteral("Confermi la cancellazione della riga?");
const QString kMsgAnnulla = QStringLiteral("Annullare le modifiche della riga?");
const QString kMsgSegnalibroPerso = QStringLiteral("La riga memorizzata non esiste più");
const QString kMsgNonTrovato = QStringLiteral("Nessuna riga contiene il testo cercato");
const QString kDomandaTrova = QStringLiteral("Testo da cercare nelle righe:");
const QLatin1Char kSepSegnalibro('\t');
constexpr int kRighePagina = 10;

}  // namespace

void LinPag::ImpGriglia(QTableView* griglia) {
    griglia_ = griglia;
    if (!griglia_) return;
    griglia_->setModel(&modello_);
    griglia_->setSelectionBehavior(QAbstractItemView::SelectRows);
    griglia_->setSelectionMode(QAbstractItemView::SingleSelection);
    griglia_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QObject::connect(griglia_->selectionModel(), &QItemSelectionModel::currentRowChanged, griglia_,
                     [this](const QModelIndex& attuale, const QModelIndex&) {
                         if (inSpostamento_ || !attuale.isValid() || (attuale.row() == riga_ && stato_ != Nuova)) return;
                         // A click on another row leaves the current one as a command would;
                         // refused, the user stays on the line as typed and only the grid goes back.
                         if (lasciaPer(attuale.row())) return;
                         selezionaInGriglia(riga_);
                         // The click selects the row it hit after this returns: the selection is
                         // put back after it (the current row, already back, stays untouched).
                         QTimer::singleShot(0, griglia_, [g = griglia_.data(), r = riga_] {
                             if (r < 0 || r >= g->model()->rowCount()) g->clearSelection();
                             else
                                 g->selectionModel()->select(g->model()->index(r, 0),
                                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                         });
                     });
}

void LinPag::AggiungiCampo(const QString& colonna, QLineEdit* box, const OpzioniCampoLinee& opz) {
    CampoLinee c;
    c.colonna = colonna;
    c.box = box;
    c.opz = opz;
    campi_ << c;
}

void LinPag::AttivaPers(int codice, bool attiva) {
    hooks_.removeAll(codice);
    if (attiva) hooks_ << codice;
}

void LinPag::ConcludiIniz(const QString& sqlGriglia) {
    if (!gestDb_) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Linee non collegate al database"), kOrigine);
    sqlGriglia_ = sqlGriglia;
    const QHash<QString, int> tipi = TipiColonne(*gestDb_, idDb_, tabella_);
    for (CampoLinee& c : campi_) {
        if (!tipi.contains(c.colonna.toLower()))
            throw ErroreRun(NumErrore::OggettoInesistente, QStringLiteral("Campo inesistente: ") + c.colonna, kOrigine);
        c.tipo = tipi.value(c.colonna.toLower());
    }
    leggiGriglia({});
}

void LinPag::AttivaLinee() { impostaStato(stato_); }

void LinPag::ImpostaAbilRW(int abilRW) {
    abilRW_ = abilRW;
    impostaStato(stato_);
}

QString LinPag::TastoPremuto(int keyCode) const {
    switch (keyCode) {
    case 'N': return QStringLiteral("Nuovo");
    case 'S': return QStringLiteral("Salva");
    case 'C': return QStringLiteral("Cancella");
    case 'A': return QStringLiteral("Annulla");
    case 'D': return QStringLiteral("Duplica");
    case 'R': return QStringLiteral("VarKey");
    case 'P': return QStringLiteral("Punta");
    case 'V': return QStringLiteral("VaiA");
    case 'I': return QStringLiteral("Inizio");
    case 'F': return QStringLiteral("Fine");
    case 'G': return QStringLiteral("Aggiorna");
    case 'T': return QStringLiteral("Trova");
    case 'H': return QStringLiteral("Chiudi");
    case 'M': return QStringLiteral("Menu");
    case 'E': return QStringLiteral("EsciNoSalva");
    default: return {};
    }
}

void LinPag::RecCorrSuTot(QString& corrente, QString& totale) const {
    corrente = QString::number(stato_ == Nuova ? modello_.rowCount() + 1 : riga_ + 1);
    totale = QString::number(modello_.rowCount() + (stato_ == Nuova ? 1 : 0));
}

// ---- Hooks, state

bool LinPag::hook(bool prima, int codice, Valore* rit, QList<Valore> array) {
    if (!ospite_ || !hooks_.contains(codice)) return true;
    Valore r;
    const int esito = prima ? ospite_->PersLPaPri(codice, r, array) : ospite_->PersLPaDop(codice, r, array);
    if (rit) *rit = r;
    return !(prima && esito == 1);
}

void LinPag::impostaStato(int stato) {
    // Measured against the state the screen last heard of, so that a state
    // set before the row is shown still reaches the screen's labels.
    const bool cambiato = stato != statoAnnunciato_;
    stato_ = stato;
    const bool modificabile = abilRW_ != 0 && (stato_ == Nuova || riga_ >= 0);
    for (CampoLinee& c : campi_)
        if (c.box && c.opz.daTestata == 0) c.box->setReadOnly(!modificabile);
    if (barra_) {
        for (QAction* a : barra_->actions()) {
            const QString k = a->objectName();
            if (k == QLatin1String("Nuovo")) a->setEnabled(abilRW_ != 0);
            else if (k == QLatin1String("Salva")) a->setEnabled(modificabile);
            else if (k == QLatin1String("Cancella")) a->setEnabled(abilRW_ != 0 && stato_ == Scorrimento && riga_ >= 0);
            else if (k == QLatin1String("VarKey"))
                a->setEnabled(abilRW_ != 0 && stato_ == Scorrimento && riga_ >= 0 && chiaveDigitabile() != nullptr);
        }
    }
    aggiornaContatore();
    if (cambiato) {
        statoAnnunciato_ = stato_;
        hook(false, OperLin::CambioStato, nullptr, {Valore(stato_)});
    }
}

CampoLinee* LinPag::chiaveDigitabile() {
    // The line's own key parts; a hidden box cannot be typed in.
    for (CampoLinee& c : campi_)
        if (c.opz.parteChiave != 0 && c.opz.daTestata == 0 && c.box && !c.box->isHidden()) return &c;
    return nullptr;
}

void LinPag::selezionaInGriglia(int riga) {
    if (!griglia_) return;
    inSpostamento_ = true;
    if (riga >= 0) {
        griglia_->selectRow(riga);
        griglia_->setCurrentIndex(modello_.index(riga, 0));
    } else {
        griglia_->clearSelection();
    }
    inSpostamento_ = false;
}

void LinPag::aggiornaContatore() {
    if (!contatore_) return;
    QString a, b;
    RecCorrSuTot(a, b);
    contatore_->setText(a + QStringLiteral(" / ") + b);
}

void LinPag::avviso(const QString& testo) {
    if (!ospite_) return;
    ospite_->MostraMessaggio(testo);
    RichiestaMsgCom r;
    r.messaggio = testo;
    ospite_->Domanda(r);
}

// ---- Fields

CampoLinee* LinPag::campo(const QString& colonna) {
    for (CampoLinee& c : campi_)
        if (c.colonna.compare(colonna, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

const CampoLinee* LinPag::campo(const QString& colonna) const { return const_cast<LinPag*>(this)->campo(colonna); }

// The lines screens have no description line, and their message line still
// holds what the box just left said (a value refused): entering the next box
// must not wipe it.
void LinPag::LeggiDescrCampo(const QString&) const {}

QString LinPag::LeggiValoreCampo(const QString& colonna) const {
    const CampoLinee* c = campo(colonna);
    return c && c->box ? c->box->text() : QString();
}

bool LinPag::ControllaCampo(const QString& colonna, const QString& testo) {
    CampoLinee* c = campo(colonna);
    if (!c || !c->box) return true;
    const QString errore = VerificaTesto(testo, c->tipo);
    if (!errore.isEmpty()) {
        ColoraCampo(c->box, colErrore_);
        if (ospite_) ospite_->MostraMessaggio(errore);
        return false;
    }
    if (ColoreCampo(c->box) == colErrore_) ColoraCampo(c->box, colSfondo_);
    return true;
}

void LinPag::istantanea() { istantanea_ = TestiDeiBox(campi_); }

bool LinPag::inVariazione() const {
    // A new row nobody typed in holds nothing to lose.
    if (stato_ == Nuova) return !NuovaIntatta();
    if (riga_ < 0) return false;
    for (int i = 0; i < campi_.size() && i < istantanea_.size(); ++i)
        if (campi_[i].box && campi_[i].box->text() != istantanea_[i]) return true;
    return false;
}

int LinPag::LeggiStatoChiusura() const { return inVariazione() ? 1 : 0; }

bool LinPag::NuovaIntatta() const {
    if (stato_ != Nuova) return false;
    for (int i = 0; i < campi_.size() && i < istantanea_.size(); ++i)
        if (campi_[i].box && campi_[i].box->text() != istantanea_[i]) return false;
    return true;
}

void LinPag::svuotaBox() {
    for (CampoLinee& c : campi_) {
        if (!c.box || c.opz.daTestata != 0) continue;
        c.box->clear();
        if (ColoreCampo(c.box) == colErrore_) ColoraCampo(c.box, colSfondo_);
    }
}

void LinPag::mostraRiga(int riga) {
    riga_ = riga;
    chiaveCorrente_.clear();
    for (CampoLinee& c : campi_) {
        const Valore v = modello_.Cella(riga, c.colonna);
        if (c.box && c.opz.daTestata == 0) {
            c.box->setText(riga < 0 ? QString() : TestoDaValore(v, c.tipo, c.opz.maschera));
            if (ColoreCampo(c.box) == colErrore_) ColoraCampo(c.box, colSfondo_);
        }
        if (c.opz.parteChiave != 0) chiaveCorrente_ << (c.opz.daTestata != 0 && c.box ? Valore(c.box->text()) : v);
    }
    if (riga >= 0) selezionaInGriglia(riga);
    istantanea();
    impostaStato(Scorrimento);
    hook(false, OperLin::Mostrata);
}

bool LinPag::VaiARiga(int riga) {
    if (riga < 0 || riga >= modello_.rowCount()) return false;
    mostraRiga(riga);
    return true;
}

void LinPag::leggiGriglia(const QList<Valore>& chiave, bool misura) {
    modello_.Carica(*gestDb_, idDb_, sqlGriglia_);
    if (ospite_) ospite_->PersColonne();
    if (griglia_) {
        if (misura) modello_.ApplicaLarghezze(*griglia_);
        else modello_.RiapplicaLarghezze(*griglia_);
    }
    int trovata = modello_.rowCount() > 0 ? 0 : -1;
    if (!chiave.isEmpty())
        for (int r = 0; r < modello_.rowCount(); ++r) {
            int i = 0;
            bool uguale = true;
            for (const CampoLinee& c : campi_)
                if (c.opz.parteChiave != 0) {
                    const Valore a = modello_.Cella(r, c.colonna), b = chiave.value(i++);
                    uguale = uguale && a.testo().compare(b.testo(), Qt::CaseInsensitive) == 0;
                }
            if (uguale) {
                trovata = r;
                break;
            }
        }
    mostraRiga(trovata);
}

void LinPag::RinfrescaDati() {
    if (!gestDb_ || sqlGriglia_.isEmpty()) return;
    leggiGriglia(chiaveCorrente_);
}

void LinPag::ImpColonna(const QString& colonna, int larghezza, const QString& formato) {
    modello_.ImpLarghezza(colonna, larghezza);
    if (!formato.isEmpty()) modello_.ImpFormato(colonna, formato);
}

// ---- Commands

void LinPag::LanciaComando(const QString& chiave, QString& risultato) {
    risultato.clear();
    if (!gestDb_) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Linee non collegate al database"), kOrigine);
    const QString k = chiave.toLower();
    bool ok = true;
    if (k == QLatin1String("nuovo")) ok = nuovo();
    else if (k == QLatin1String("salva")) ok = salva();
    else if (k == QLatin1String("cancella")) ok = cancella();
    else if (k == QLatin1String("annulla")) ok = annulla();
    else if (k == QLatin1String("aggiorna")) {
        if ((ok = lasciaRiga())) RinfrescaDati();
    } else if (k == QLatin1String("inizio") || k == QLatin1String("fine") || k == QLatin1String("precedente") ||
               k == QLatin1String("successiva") || k == QLatin1String("pageup") || k == QLatin1String("pagedown")) {
        const int n = modello_.rowCount();
        int dest = riga_;
        if (k == QLatin1String("inizio")) dest = 0;
        else if (k == QLatin1String("fine")) dest = n - 1;
        else if (k == QLatin1String("precedente")) dest = riga_ - 1;
        else if (k == QLatin1String("successiva")) dest = riga_ + 1;
        else if (k == QLatin1String("pageup")) dest = std::max(0, riga_ - kRighePagina);
        else dest = std::min(n - 1, riga_ + kRighePagina);
        ok = dest >= 0 && dest < n && (dest != riga_ || stato_ == Nuova) && lasciaPer(dest);
    } else if (k == QLatin1String("punta")) {
        ok = punta();
    } else if (k == QLatin1String("vaia")) {
        ok = vaiA();
    } else if (k == QLatin1String("trova")) {
        ok = trova();
    } else if (k == QLatin1String("varkey")) {
        ok = variaChiave();
    } else if (k == QLatin1String("chiudi")) {
        if (ospite_) ospite_->ChiudiFrm();
    } else if (k == QLatin1String("menu")) {
        if (ospite_) ospite_->MenuFrm();
    }
    if (!ok) risultato = QStringLiteral("-1");
}

bool LinPag::lasciaRiga() {
    if (!inVariazione() || !ospite_) return true;
    RichiestaMsgCom r;
    r.messaggio = kMsgVariazione;
    r.bottoni = {QStringLiteral("&Sì"), QStringLiteral("&No"), QStringLiteral("&Annulla")};
    r.bottonePredefinito = 3;
    switch (ospite_->Domanda(r)) {
    case 1: return salva();
    case 2:
        mostraRiga(riga_);
        return true;
    default: return false;
    }
}

bool LinPag::lasciaPer(int riga) {
    // Saving the line left reads the rows anew: the row is found again by its key.
    const QString chiave = segnalibroRiga(riga);
    if (!lasciaRiga()) return false;
    const int trovata = rigaDelSegnalibro(chiave);
    return VaiARiga(trovata >= 0 ? trovata : std::min(riga, int(modello_.rowCount()) - 1));
}

bool LinPag::PuoChiudere() {
    if (!inVariazione() || !ospite_) return true;
    RichiestaMsgCom r;
    r.messaggio = kMsgVariazione;
    r.bottoni = {QStringLiteral("&Sì"), QStringLiteral("&No"), QStringLiteral("&Annulla")};
    r.bottonePredefinito = 3;
    switch (ospite_->Domanda(r)) {
    case 1: return salva();
    case 2: return true;
    default: return false;
    }
}

bool LinPag::nuovo() {
    if (abilRW_ == 0) {
        avviso(kMsgSolaLettura);
        return false;
    }
    // A new line typed in is a line to save or drop as any other.
    if (!lasciaRiga()) return false;
    if (!hook(true, OperLin::NuovaRiga)) return false;
    svuotaBox();
    for (CampoLinee& c : campi_)
        if (c.box && c.opz.daTestata == 0) c.box->setText(c.opz.predefinito);
    chiaveCorrente_.clear();
    istantanea();
    impostaStato(Nuova);
    hook(false, OperLin::NuovaRiga);
    if (primoChiave_) primoChiave_->setFocus();
    return true;
}

QList<Valore> LinPag::chiaveBox() const { return ChiaveDeiBox(campi_); }

QString LinPag::whereChiave(const QList<Valore>& chiave) const { return WhereDellaChiave(campi_, chiave); }

bool LinPag::salva() {
    if (stato_ != Nuova && riga_ < 0) return false;
    if (abilRW_ == 0) {
        avviso(kMsgSolaLettura);
        return false;
    }
    // A new row whose line number was left blank follows the highest one.
    for (CampoLinee& c : campi_)
        if (stato_ == Nuova && c.opz.numeroRiga && c.box && c.box->text().trimmed().isEmpty()) {
            double massimo = 0;
            for (int r = 0; r < modello_.rowCount(); ++r) massimo = std::max(massimo, modello_.Cella(r, c.colonna).numero());
            const long long numero = static_cast<long long>(massimo) + 1;
            // Past the range the next number is refused; the line stays as typed.
            if (c.opz.massimo > 0 && numero > c.opz.massimo) {
                avviso(QStringLiteral("Impossibile numerare la nuova riga: il campo %1 non può superare %2")
                           .arg(c.colonna)
                           .arg(c.opz.massimo));
                return false;
            }
            c.box->setText(QString::number(numero));
        }
    for (CampoLinee& c : campi_) {
        if (!c.box) continue;
        if (ColoreCampo(c.box) == colErrore_ || !ControllaCampo(c.colonna, c.box->text())) {
            c.box->setFocus();
            avviso(kMsgCampoErrato);
            return false;
        }
        if (c.opz.parteChiave != 0 && c.box->text().trimmed().isEmpty()) {
            c.box->setFocus();
            avviso(QStringLiteral("Campo chiave obbligatorio: ") + c.colonna);
            return false;
        }
    }
    Valore rit;
    if (!hook(true, OperLin::Salva, &rit)) {
        if (CampoLinee* c = campo(rit.testo()); c && c->box) c->box->setFocus();
        return false;
    }
    const QString sql = SqlSalvataggio(campi_, tabella_, stato_ == Nuova, whereChiave(chiaveCorrente_));
    gestDb_->EseguiSql(idDb_, sql);
    if (gestDb_->DatabaseDaId(idDb_)->RecordsAffected() != 1)
        throw ErroreRun(NumErrore::ErroreSql, QStringLiteral("Salvataggio non riuscito: la riga non esiste più"), kOrigine);
    stato_ = Scorrimento;
    leggiGriglia(chiaveBox(), false);
    return true;
}

bool LinPag::cancella() {
    if (stato_ != Scorrimento || riga_ < 0) return false;
    if (abilRW_ == 0) {
        avviso(kMsgSolaLettura);
        return false;
    }
    if (ospite_) {
        RichiestaMsgCom r;
        r.messaggio = kMsgConfermaCanc;
        r.bottoni = {QStringLiteral("&Sì"), QStringLiteral("&No")};
        r.bottonePredefinito = 2;
        if (ospite_->Domanda(r) != 1) return false;
    }
    if (!hook(true, OperLin::Cancella)) return false;
    gestDb_->EseguiSql(idDb_, QStringLiteral("DELETE FROM ") + tabella_ + QStringLiteral(" WHERE ") + whereChiave(chiaveCorrente_));
    const int riga = riga_;
    leggiGriglia({}, false);
    VaiARiga(std::min(riga, modello_.rowCount() - 1));
    hook(false, OperLin::Cancella);
    return true;
}

bool LinPag::annulla() {
    if (stato_ != Nuova && !inVariazione()) return true;
    if (inVariazione() && ospite_ && LeggiParLinee(QStringLiteral("MsgAnn")).testo().compare(QLatin1String("N"), Qt::CaseInsensitive) != 0) {
        RichiestaMsgCom r;
        r.messaggio = kMsgAnnulla;
        r.bottoni = {QStringLiteral("&Sì"), QStringLiteral("&No")};
        r.bottonePredefinito = 2;
        if (ospite_->Domanda(r) != 1) return false;
    }
    stato_ = Scorrimento;
    mostraRiga(riga_ >= modello_.rowCount() ? modello_.rowCount() - 1 : riga_);
    hook(false, OperLin::Annulla);
    return true;
}

// ---- Bookmark, find, key change

QString LinPag::segnalibroRiga(int riga) const {
    QStringList parti;
    for (const CampoLinee& c : campi_)
        if (c.opz.parteChiave != 0 && c.opz.daTestata == 0) parti << modello_.Cella(riga, c.colonna).testo();
    return parti.join(kSepSegnalibro);
}

bool LinPag::punta() {
    if (!ospite_ || stato_ != Scorrimento || riga_ < 0) return false;
    // The line's own key: the place survives a re-reading of the rows.
    ospite_->ovfrmBookmark(segnalibroRiga(riga_));
    return true;
}

bool LinPag::vaiA() {
    if (!ospite_) return false;
    const QString segnalibro = ospite_->ovfrmBookmark();
    if (segnalibro.isEmpty()) return false;
    const int r = rigaDelSegnalibro(segnalibro);
    if (r < 0) {
        avviso(kMsgSegnalibroPerso);
        return false;
    }
    if (r == riga_ && stato_ == Scorrimento) return true;
    return lasciaPer(r);
}

int LinPag::rigaDelSegnalibro(const QString& segnalibro) const {
    for (int r = 0; r < modello_.rowCount(); ++r)
        if (segnalibroRiga(r).compare(segnalibro, Qt::CaseInsensitive) == 0) return r;
    return -1;
}

bool LinPag::trova() {
    if (!ospite_ || modello_.rowCount() == 0) return false;
    const std::optional<QString> testo = ospite_->ChiediTesto(kDomandaTrova);
    if (!testo || testo->trimmed().isEmpty()) return false;
    const QString cercato = testo->trimmed();
    // From the row after the current one, round to it.
    const int n = modello_.rowCount();
    for (int passo = 1; passo <= n; ++passo) {
        const int r = ((riga_ < 0 ? -1 : riga_) + passo) % n;
        for (int col = 0; col < modello_.columnCount(); ++col)
            if (modello_.TestoCella(r, col).contains(cercato, Qt::CaseInsensitive))
                return (r == riga_ && stato_ == Scorrimento) || lasciaPer(r);
    }
    avviso(kMsgNonTrovato);
    return false;
}

bool LinPag::variaChiave() {
    // The line's key is typed over in its key boxes and goes with "Salva".
    if (stato_ != Scorrimento || riga_ < 0) return false;
    if (abilRW_ == 0) {
        avviso(kMsgSolaLettura);
        return false;
    }
    CampoLinee* c = chiaveDigitabile();
    if (!c) return false;
    c->box->setFocus();
    c->box->selectAll();
    if (ospite_) ospite_->MostraMessaggio(QStringLiteral("Variare i campi chiave e salvare"));
    return true;
}
