#include "components/pages/ComPag.h"

#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/pages/CampiTabella.h"
#include "components/pages/ModelloGriglia.h"
#include "components/util/UtilGenerali.h"

#include <QAction>
#include <QLineEdit>
#include <QToolBar>

namespace {

const QString kOrigine = QStringLiteral("ComPag");
const QString kMsgSolaLettura = QStringLiteral("Gestione in sola lettura: modifica non consentita");
const QString kMsgCampoErrato = QStringLiteral("Impossibile salvare: correggere il campo evidenziato in rosso");
const QString kMsgNonTrovato = QStringLiteral("Nessun dato trovato per la chiave indicata");
const QString kMsgVariazione = QStringLiteral("Dati in variazione. Salvare le modifiche?");
const QString kMsgConfermaCanc = QStringLiteral("Confermi la cancellazione dei dati visualizzati?");

// A field over several columns: "|sep|Col1|Col2|...".
bool Composto(const QString& colonna) { return colonna.startsWith(QLatin1Char('|')); }
QString Separatore(const QString& colonna) { return colonna.section(QLatin1Char('|'), 1, 1); }
QStringList Colonne(const QString& colonna) {
    return Composto(colonna) ? colonna.section(QLatin1Char('|'), 2).split(QLatin1Char('|')) : QStringList{colonna};
}

// The display of a field over several columns: its parts joined, nothing when all are empty.
QString EspressioneSelect(const QString& colonna) {
    if (!Composto(colonna)) return colonna;
    const QStringList cc = Colonne(colonna);
    QStringList parti, nulli;
    for (const QString& c : cc) {
        parti << QStringLiteral("COALESCE(") + c + QStringLiteral(", '')");
        nulli << c + QStringLiteral(" IS NULL");
    }
    return QStringLiteral("CASE WHEN ") + nulli.join(QStringLiteral(" AND ")) + QStringLiteral(" THEN NULL ELSE ") +
           parti.join(QStringLiteral(" || '") + Separatore(colonna) + QStringLiteral("' || ")) + QStringLiteral(" END");
}

// The parts of a box's text for each column: on the separator when typed,
// otherwise two characters a part and the rest in the last.
QStringList PartiTesto(const QString& colonna, const QString& testo) {
    const QStringList cc = Colonne(colonna);
    const QString t = testo.trimmed();
    QStringList parti;
    if (t.isEmpty()) {
        for (int i = 0; i < cc.size(); ++i) parti << QString();
        return parti;
    }
    const QString sep = Separatore(colonna);
    if (!sep.isEmpty() && t.contains(sep)) parti = t.split(sep);
    else {
        QString resto = t;
        for (int i = 0; i < cc.size() - 1; ++i) {
            parti << resto.left(2);
            resto = resto.mid(2);
        }
        parti << resto;
    }
    while (parti.size() < cc.size()) parti << QString();
    while (parti.size() > cc.size()) parti[cc.size() - 1] += sep + parti.takeLast();
    for (QString& p : parti) p = p.trimmed();
    return parti;
}

}  // namespace

void ComPag::ImpTabella(const QString& tabella) { tabella_ = tabella; }

void ComPag::AttivaPers(int codice, bool attiva) {
    hooks_.removeAll(codice);
    if (attiva) hooks_ << codice;
}

void ComPag::AggiungiCampo(const QString& colonna, QLineEdit* box, const OpzioniCampoPagina& opz) {
    CampoPagina c;
    c.colonna = colonna;
    c.box = box;
    c.opz = opz;
    if (box && opz.lunghezza > 0) box->setMaxLength(opz.lunghezza);
    campi_ << c;
}

void ComPag::ImpLista(OspitePagina* ospite, GestoreDb* gestDb, const QString& idDb, ListaPagina* lista) {
    ospite_ = ospite;
    gestDb_ = gestDb;
    idDb_ = idDb;
    lista_ = lista;
    const QHash<QString, int> tipi = TipiColonne(*gestDb_, idDb_, tabella_);
    for (CampoPagina& c : campi_) {
        for (const QString& col : Colonne(c.colonna))
            if (!tipi.contains(col.toLower()))
                throw ErroreRun(NumErrore::OggettoInesistente, QStringLiteral("Campo inesistente: ") + col, kOrigine);
        c.tipo = Composto(c.colonna) ? TipoDato::Testo : tipi.value(c.colonna.toLower());
    }
    impostaStato(Vuota);
}

void ComPag::ImpImmagini(const QString&, QToolBar* barra) {
    barra_ = barra;
    aggiornaBarra();
}

void ComPag::ImpostaAbilRW(int abilRW) {
    abilRW_ = abilRW;
    impostaStato(stato_);
}

QString ComPag::TastoPremuto(int keyCode) const {
    switch (keyCode) {
    case 'R': return QStringLiteral("Ricerca");
    case 'S': return QStringLiteral("Salva");
    case 'C': return QStringLiteral("Cancella");
    case 'A': return QStringLiteral("Annulla");
    case 'D': return QStringLiteral("Duplica");
    case 'V': return QStringLiteral("VarKey");
    case 'L': return QStringLiteral("Lista");
    case 'I': return QStringLiteral("Inizio");
    case 'P': return QStringLiteral("Precedente");
    case 'U': return QStringLiteral("Successivo");
    case 'F': return QStringLiteral("Fine");
    case 'H': return QStringLiteral("Chiudi");
    case 'M': return QStringLiteral("Menu");
    case 109: case 189: return QStringLiteral("ListaInd");
    case 107: case 187: return QStringLiteral("ListaAvanti");
    default: return {};
    }
}

// ---- Hooks, state, toolbar

bool ComPag::hook(bool prima, int codice, QList<Valore> array) {
    if (!ospite_ || !hooks_.contains(codice)) return true;
    int rit = 0;
    const int r = prima ? ospite_->PersPagPri(codice, rit, array) : ospite_->PersPagDop(codice, rit, array);
    return !(prima && r == 1);
}

void ComPag::impostaStato(int stato) {
    const bool cambiato = stato != stato_;
    stato_ = stato;
    const bool scrivibile = abilRW_ != 0;
    for (CampoPagina& c : campi_) {
        if (!c.box) continue;
        const bool chiave = c.opz.parteChiave != 0;
        const bool chiaveAperta = stato_ == Vuota || (stato_ == VariaChiave && scrivibile);
        c.box->setReadOnly(chiave ? !chiaveAperta : (stato_ == Vuota || !scrivibile));
    }
    aggiornaBarra();
    if (cambiato) hook(false, OperPag::CambioStato, {Valore(stato_)});
}

void ComPag::aggiornaBarra() {
    if (!barra_) return;
    const bool rw = abilRW_ != 0;
    for (QAction* a : barra_->actions()) {
        const QString k = a->objectName();
        if (k == QLatin1String("Salva")) a->setEnabled(rw && stato_ != Vuota);
        else if (k == QLatin1String("Cancella")) a->setEnabled(rw && stato_ == Mostrata);
        else if (k == QLatin1String("Annulla")) a->setEnabled(stato_ != Vuota);
        else if (k == QLatin1String("VarKey")) a->setEnabled(rw && stato_ == Mostrata);
    }
}

void ComPag::avviso(const QString& testo) {
    if (!ospite_) return;
    ospite_->MostraMessaggio(testo);
    RichiestaMsgCom r;
    r.messaggio = testo;
    ospite_->Domanda(r);
}

bool ComPag::rosso(const QLineEdit* box) const { return box && ColoreCampo(box) == colErrore_; }

// ---- Fields

CampoPagina& ComPag::CampoDiControllo(QLineEdit* box) {
    for (CampoPagina& c : campi_)
        if (c.box == box) return c;
    throw ErroreRun(NumErrore::OggettoInesistente, QStringLiteral("Il campo non appartiene alla pagina"), kOrigine);
}

CampoPagina* ComPag::Campo(const QString& colonna) {
    for (CampoPagina& c : campi_)
        if (c.colonna.compare(colonna, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

QStringList ComPag::ColonneChiave() const {
    QStringList k;
    for (const CampoPagina& c : campi_)
        if (c.opz.parteChiave != 0) k << c.colonna;
    return k;
}

void ComPag::LeggiDescrCampo(const CampoPagina& campo) {
    // On an empty page the key boxes also say how to ask for a new row.
    const bool suggerimento = stato_ == Vuota && campo.opz.parteChiave != 0 && !avvisoChiave_.isEmpty();
    if (ospite_) ospite_->MostraDescrizione(campo.opz.descrizione + (suggerimento ? avvisoChiave_ : QString()));
}

bool ComPag::ControllaCampo(CampoPagina& campo) {
    if (!campo.box) return true;
    const QString errore = VerificaTesto(campo.box->text(), campo.tipo);
    if (!errore.isEmpty()) {
        ColoraCampo(campo.box, colErrore_);
        if (ospite_) ospite_->MostraMessaggio(errore);
        return false;
    }
    if (rosso(campo.box)) {
        ColoraCampo(campo.box, colSfondo_);
    }
    return true;
}

void ComPag::istantanea() {
    istantanea_ = TestiDeiBox(campi_);
    // The page holds something else now: a message about what it held ("no
    // row for that key", a refused value) no longer applies.
    if (ospite_) ospite_->MostraMessaggio(QString());
}

bool ComPag::InVariazione(QString& testo) const {
    testo.clear();
    if (stato_ == Vuota) return false;
    if (stato_ == Nuova) {
        testo = QStringLiteral("Nuovo record");
        return true;
    }
    // While the key is being changed its boxes count as well.
    const bool ancheChiave = stato_ == VariaChiave;
    for (int i = 0; i < campi_.size() && i < istantanea_.size(); ++i)
        if (campi_[i].box && (ancheChiave || campi_[i].opz.parteChiave == 0) && campi_[i].box->text() != istantanea_[i]) {
            testo = campi_[i].colonna;
            return true;
        }
    return false;
}

// ---- Commands

void ComPag::LanciaComando(const QString& chiave, QString& risultato) {
    risultato.clear();
    if (!gestDb_) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Pagina non collegata al database"), kOrigine);
    const QString k = chiave.toLower();
    bool ok = true;
    if (k == QLatin1String("ricerca")) ok = ricerca();
    else if (k == QLatin1String("salva")) ok = salva();
    else if (k == QLatin1String("cancella")) ok = cancella();
    else if (k == QLatin1String("annulla")) ok = annulla();
    else if (k == QLatin1String("varkey")) ok = variaChiave();
    else if (k == QLatin1String("inizio") || k == QLatin1String("fine") || k == QLatin1String("precedente") ||
             k == QLatin1String("successivo"))
        ok = sposta(k);
    else if (k == QLatin1String("lista")) {
        if (lista_ && lasciaRiga()) {
            lista_->impOggBase(this);
            lista_->MostraLista();
        }
    } else if (k == QLatin1String("listaavanti") || k == QLatin1String("listaind")) {
        if (!lista_ || !lista_->ListaAperta()) {
            if (ospite_) ospite_->MostraMessaggio(QStringLiteral("Nessuna lista aperta"));
            ok = false;
        } else if (lasciaRiga()) {
            ok = k == QLatin1String("listaavanti") ? lista_->ListaAvanti() : lista_->ListaIndietro();
        }
    } else if (k == QLatin1String("chiudi")) {
        if (ospite_) ospite_->ChiudiFrm();
    } else if (k == QLatin1String("menu")) {
        if (ospite_) ospite_->MenuFrm();
    }
    if (!ok) risultato = QStringLiteral("-1");
}

bool ComPag::lasciaRiga() {
    QString testo;
    if (!InVariazione(testo) || !ospite_) return true;
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

bool ComPag::PuoChiudere() { return lasciaRiga(); }

void ComPag::svuota(bool ancheChiave) {
    for (CampoPagina& c : campi_) {
        if (!c.box || (!ancheChiave && c.opz.parteChiave != 0)) continue;
        c.box->clear();
        if (rosso(c.box)) {
            ColoraCampo(c.box, colSfondo_);
        }
    }
}

QList<Valore> ComPag::chiaveBox() const { return ChiaveDeiBox(campi_); }

QString ComPag::whereChiave(const QList<Valore>& chiave) const { return WhereDellaChiave(campi_, chiave); }

QString ComPag::whereCorrente() const { return whereChiave(chiaveCorrente_); }

bool ComPag::mostraRiga(const QString& where) {
    ModelloGriglia riga;
    QStringList colonne;
    for (const CampoPagina& c : campi_) colonne << EspressioneSelect(c.colonna);
    riga.Carica(*gestDb_, idDb_,
                QStringLiteral("SELECT ") + colonne.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + tabella_ +
                    QStringLiteral(" WHERE ") + where);
    if (riga.rowCount() == 0) return false;
    chiaveCorrente_.clear();
    for (int i = 0; i < campi_.size(); ++i) {
        CampoPagina& c = campi_[i];
        const Valore v = riga.Cella(0, i);
        if (c.box) {
            c.box->setText(TestoDaValore(v, c.tipo, c.opz.maschera));
            if (rosso(c.box)) {
                ColoraCampo(c.box, colSfondo_);
            }
        }
        if (c.opz.parteChiave != 0) chiaveCorrente_ << v;
    }
    istantanea();
    impostaStato(Mostrata);
    hook(false, OperPag::Mostrato);
    return true;
}

bool ComPag::MostraChiave(const QList<Valore>& chiave) {
    if (!gestDb_) return false;
    return mostraRiga(whereChiave(chiave));
}

bool ComPag::ricerca() {
    if (!lasciaRiga() || !hook(true, OperPag::Ricerca)) return false;
    // "Ricerca" on a row shown opens a new search: the page empties and the
    // key boxes take the typing.
    if (stato_ != Vuota) {
        bool stessaChiave = stato_ == Nuova;
        const QList<Valore> box = chiaveBox();
        if (stato_ == Mostrata || stato_ == VariaChiave) {
            stessaChiave = box.size() == chiaveCorrente_.size();
            for (int i = 0; stessaChiave && i < box.size(); ++i)
                stessaChiave = box[i].testo() == TestoDaValore(chiaveCorrente_[i], TipoDato::Testo);
        }
        if (stessaChiave && opzioneTestata_ == 4 && stato_ == Mostrata) {
            const bool ok = mostraRiga(whereChiave(box));
            if (!ok) avviso(kMsgNonTrovato);
            hook(false, OperPag::Ricerca);
            return ok;
        }
        if (stessaChiave) {
            svuota(false);
            chiaveCorrente_.clear();
            istantanea();
            impostaStato(Vuota);
            if (primoChiave_) primoChiave_->setFocus();
            hook(false, OperPag::Ricerca);
            return true;
        }
    }
    // A key box holding what its column cannot take is refused before the SQL.
    for (CampoPagina& c : campi_)
        if (c.opz.parteChiave != 0 && c.box && !ControllaCampo(c)) {
            c.box->setFocus();
            return false;
        }
    const QList<Valore> chiave = chiaveBox();
    const CampoPagina* numero = contatore();
    const QString testoNumero = numero && numero->box ? numero->box->text().trimmed() : QString();
    bool ok = false;
    if (testoNumero == QLatin1String("0"))
        ok = nuovoRecord();
    else {
        // A key typed in part: the first row matching the parts typed.
        QStringList digitate;
        for (const CampoPagina& c : campi_)
            if (c.opz.parteChiave != 0 && c.box && !c.box->text().trimmed().isEmpty())
                digitate << c.colonna + QStringLiteral(" = ") + LetteraleSql(c.box->text().trimmed(), c.tipo);
        if (digitate.size() < chiave.size()) {
            ok = sposta(QStringLiteral("inizio"), digitate);
            if (!ok && !digitate.isEmpty()) avviso(kMsgNonTrovato);
            return ok;
        }
        ok = mostraRiga(whereChiave(chiave));
        if (!ok) avviso(kMsgNonTrovato);
    }
    hook(false, OperPag::Ricerca);
    return ok;
}

CampoPagina* ComPag::contatore() {
    CampoPagina* ultimo = nullptr;
    for (CampoPagina& c : campi_) {
        if (c.opz.parteChiave == 0 || !c.box) continue;
        if (c.opz.contatore) return &c;
        ultimo = &c;
    }
    return ultimo;
}

bool ComPag::nuovoRecord() {
    if (abilRW_ == 0) {
        avviso(kMsgSolaLettura);
        return false;
    }
    CampoPagina* numero = contatore();
    // Key parts left blank take their proposed value; the counter is numbered
    // after the highest row sharing the key parts before it.
    for (CampoPagina& c : campi_)
        if (c.opz.parteChiave != 0 && c.box && &c != numero && c.box->text().trimmed().isEmpty() && !c.opz.proposto.eVuoto())
            c.box->setText(TestoDaValore(c.opz.proposto, c.tipo));
    QStringList fissi;
    bool primaDelContatore = true;
    for (CampoPagina& c : campi_) {
        if (c.opz.parteChiave == 0 || !c.box) continue;
        if (&c == numero) {
            primaDelContatore = false;
            continue;
        }
        if (c.box->text().trimmed().isEmpty()) {
            avviso(QStringLiteral("Impostare il campo ") + c.opz.descrizione);
            c.box->setFocus();
            return false;
        }
        if (primaDelContatore) fissi << c.colonna + QStringLiteral(" = ") + LetteraleSql(c.box->text(), c.tipo);
    }
    QString testoNumero;
    if (numero) {
        ModelloGriglia massimo;
        massimo.Carica(*gestDb_, idDb_,
                       QStringLiteral("SELECT MAX(") + numero->colonna + QStringLiteral(") FROM ") + tabella_ +
                           (fissi.isEmpty() ? QString() : QStringLiteral(" WHERE ") + fissi.join(QStringLiteral(" AND "))));
        const long long n = static_cast<long long>(massimo.Cella(0, 0).numero()) + 1;
        // Past its range the number would be stored and refused later by the
        // file run: no new row then.
        if (numero->opz.massimo > 0 && n > numero->opz.massimo) {
            avviso(QStringLiteral("Impossibile inserire un nuovo record: il campo %1 non può superare %2")
                       .arg(numero->opz.descrizione.isEmpty() ? numero->colonna : numero->opz.descrizione)
                       .arg(numero->opz.massimo));
            numero->box->setFocus();
            return false;
        }
        testoNumero = QString::number(n);
    }
    svuota(false);
    if (numero) numero->box->setText(testoNumero);
    for (CampoPagina& c : campi_)
        if (c.opz.parteChiave == 0 && c.box) c.box->setText(TestoDaValore(c.opz.proposto, c.tipo, c.opz.maschera));
    chiaveCorrente_.clear();
    istantanea();
    impostaStato(Nuova);
    hook(false, OperPag::NuovoRec);
    if (primoDati_) primoDati_->setFocus();
    return true;
}

bool ComPag::variaChiave() {
    if (stato_ != Mostrata || chiaveCorrente_.isEmpty()) return false;
    if (abilRW_ == 0) {
        avviso(kMsgSolaLettura);
        return false;
    }
    impostaStato(VariaChiave);
    if (primoChiave_) {
        primoChiave_->setFocus();
        primoChiave_->selectAll();
    }
    return true;
}

bool ComPag::salva() {
    if (stato_ == Vuota) return false;
    if (abilRW_ == 0) {
        avviso(kMsgSolaLettura);
        return false;
    }
    for (CampoPagina& c : campi_) {
        if (!c.box) continue;
        if (rosso(c.box) || !ControllaCampo(c)) {
            c.box->setFocus();
            avviso(kMsgCampoErrato + (c.opz.descrizione.isEmpty() ? QString() : QStringLiteral(": ") + c.opz.descrizione));
            return false;
        }
    }
    if (!hook(true, OperPag::Salva)) return false;
    // A field over several columns saves each of its parts: the shared
    // statement builder knows one column a field.
    QStringList colonne, valori, assegnazioni;
    for (const CampoPagina& c : campi_) {
        const QString testo = c.box ? c.box->text() : QString();
        const QStringList cc = Colonne(c.colonna);
        const QStringList parti = Composto(c.colonna) ? PartiTesto(c.colonna, testo) : QStringList{testo};
        for (int i = 0; i < cc.size(); ++i) {
            const QString lit = LetteraleSql(parti[i], c.tipo);
            colonne << cc[i];
            valori << lit;
            assegnazioni << cc[i] + QStringLiteral(" = ") + lit;
        }
    }
    const QString sql = stato_ == Nuova
                            ? QStringLiteral("INSERT INTO ") + tabella_ + QStringLiteral(" (") + colonne.join(QStringLiteral(", ")) +
                                  QStringLiteral(") VALUES (") + valori.join(QStringLiteral(", ")) + QLatin1Char(')')
                            : QStringLiteral("UPDATE ") + tabella_ + QStringLiteral(" SET ") +
                                  assegnazioni.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + whereCorrente();
    const QList<Valore> nuova = chiaveBox();
    bool chiaveVariata = false;
    if (stato_ == VariaChiave)
        for (int i = 0; i < nuova.size() && i < chiaveCorrente_.size(); ++i)
            chiaveVariata = chiaveVariata || nuova[i].testo() != TestoDaValore(chiaveCorrente_[i], TipoDato::Testo);
    // A new key takes the detail rows along: both or neither.
    if (chiaveVariata) gestDb_->IniziaTransazione(idDb_);
    try {
        gestDb_->EseguiSql(idDb_, sql);
        if (gestDb_->DatabaseDaId(idDb_)->RecordsAffected() != 1)
            throw ErroreRun(NumErrore::ErroreSql, QStringLiteral("Salvataggio non riuscito: il record non esiste più"), kOrigine);
        if (chiaveVariata) {
            if (ospite_) ospite_->VariaChiaveDettagli(chiaveCorrente_, nuova);
            gestDb_->ConfermaTransazione(idDb_);
        }
    } catch (...) {
        if (chiaveVariata) {
            try {
                gestDb_->AnnullaTransazione(idDb_);
            } catch (const ErroreRun&) {
                // The first failure is the one to report; nothing was committed.
            }
        }
        throw;
    }
    chiaveCorrente_ = nuova;
    istantanea();
    impostaStato(Mostrata);
    hook(false, OperPag::Salva);
    if (ospite_) ospite_->MostraMessaggio(QString());
    return true;
}

bool ComPag::cancella() {
    if (stato_ != Mostrata) return false;
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
    // The screen's detail rows and the header go together or not at all.
    gestDb_->IniziaTransazione(idDb_);
    try {
        if (!hook(true, OperPag::Cancella)) {
            gestDb_->AnnullaTransazione(idDb_);
            return false;
        }
        gestDb_->EseguiSql(idDb_, QStringLiteral("DELETE FROM ") + tabella_ + QStringLiteral(" WHERE ") + whereCorrente());
        if (gestDb_->DatabaseDaId(idDb_)->RecordsAffected() != 1)
            throw ErroreRun(NumErrore::ErroreSql, QStringLiteral("Cancellazione non riuscita: il record non esiste più"), kOrigine);
        gestDb_->ConfermaTransazione(idDb_);
    } catch (...) {
        try {
            gestDb_->AnnullaTransazione(idDb_);
        } catch (const ErroreRun&) {
            // The first failure is the one to report; a failed rollback leaves
            // nothing half-done since the transaction never committed.
        }
        throw;
    }
    hook(false, OperPag::Cancella);
    svuota(false);
    chiaveCorrente_.clear();
    istantanea();
    impostaStato(Vuota);
    if (primoChiave_) primoChiave_->setFocus();
    return true;
}

bool ComPag::annulla() {
    if (!hook(true, OperPag::Annulla)) return false;
    if ((stato_ == Mostrata || stato_ == VariaChiave) && !chiaveCorrente_.isEmpty()) {
        mostraRiga(whereCorrente());
    } else {
        svuota(false);
        chiaveCorrente_.clear();
        istantanea();
        impostaStato(Vuota);
    }
    hook(false, OperPag::Annulla);
    if (primoChiave_ && stato_ == Vuota) primoChiave_->setFocus();
    return true;
}

bool ComPag::sposta(const QString& k, const QStringList& condizioniChiave) {
    if (!lasciaRiga() || !hook(true, OperPag::Spostamento)) return false;
    const QStringList chiavi = ColonneChiave();
    QStringList condizioni = condizioniChiave;
    for (const CampoPagina& c : campi_)
        if (c.opz.parteChiave != 0 && c.oiKeyFisso == 2 && c.box)
            condizioni << c.colonna + QStringLiteral(" = ") + LetteraleSql(c.box->text(), c.tipo);
    bool avanti = k == QLatin1String("inizio") || k == QLatin1String("successivo");
    const bool relativo = (k == QLatin1String("successivo") || k == QLatin1String("precedente")) && !chiaveCorrente_.isEmpty();
    if (relativo) {
        QStringList valori;
        int i = 0;
        for (const CampoPagina& c : campi_)
            if (c.opz.parteChiave != 0) {
                const Valore v = chiaveCorrente_.value(i++);
                valori << LetteraleValore(v, c.tipo);
            }
        condizioni << QStringLiteral("(") + chiavi.join(QStringLiteral(", ")) + (avanti ? QStringLiteral(") > (") : QStringLiteral(") < (")) +
                          valori.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    QStringList ordine;
    for (const QString& c : chiavi) ordine << c + (avanti ? QString() : QStringLiteral(" DESC"));
    ModelloGriglia trovata;
    trovata.Carica(*gestDb_, idDb_,
                   QStringLiteral("SELECT ") + chiavi.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + tabella_ +
                       (condizioni.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condizioni.join(QStringLiteral(" AND "))) +
                       QStringLiteral(" ORDER BY ") + ordine.join(QStringLiteral(", ")) + QStringLiteral(" LIMIT 1"));
    if (trovata.rowCount() == 0) {
        if (ospite_) ospite_->MostraMessaggio(avanti ? QStringLiteral("Fine archivio") : QStringLiteral("Inizio archivio"));
        return false;
    }
    QList<Valore> chiave;
    for (int i = 0; i < chiavi.size(); ++i) chiave << trovata.Cella(0, i);
    return mostraRiga(whereChiave(chiave));
}
