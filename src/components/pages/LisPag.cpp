#include "components/pages/LisPag.h"

#include "components/pages/CampiTabella.h"
#include "components/pages/ComPag.h"
#include "components/pages/Comlin.h"
#include "components/util/UtilGenerali.h"

#include <QLineEdit>

namespace {
const QString kMsgIntervallo = QStringLiteral("Valore iniziale maggiore del valore finale");
}  // namespace

void LisPag::AggiungiSelezione(const QString& nome, QLineEdit* box, const QString& operatore, int tipo,
                               const QString& suffisso) {
    LisCampo c;
    c.nome = nome;
    c.box = box;
    c.operatore = operatore;
    c.tipo = tipo;
    c.suffisso = suffisso;
    campi_ << c;
}

void LisPag::ImpValoreSelezione(const QString& chiave, const QString& valore) {
    for (LisCampo& c : campi_)
        if (c.Chiave().compare(chiave, Qt::CaseInsensitive) == 0) c.predefinito = valore;
}

void LisPag::ConcludiIniz() {
    for (LisCampo& c : campi_)
        if (c.box) {
            c.box->setText(c.predefinito);
            ColoraCampo(c.box, colSfondo_);
        }
}

QString LisPag::TastoPremuto(int keyCode) const {
    switch (keyCode) {
    case 'R': return QStringLiteral("Ricerca");
    case 'Z': return QStringLiteral("AzzSel");
    case 'O': return QStringLiteral("Torna");
    case 'E': return QStringLiteral("Seleziona");
    case 'P': return QStringLiteral("Punta");
    case 'V': return QStringLiteral("VaiA");
    case 'I': return QStringLiteral("Inizio");
    case 'F': return QStringLiteral("Fine");
    case 'G': return QStringLiteral("Aggiorna");
    case 'T': return QStringLiteral("Trova");
    case 'S': return QStringLiteral("Stampa");
    case 'H': return QStringLiteral("Chiudi");
    case 'M': return QStringLiteral("Menu");
    default: return {};
    }
}

bool LisPag::SelezioneNonValida() {
    bool nonValida = false;
    for (LisCampo& c : campi_) {
        if (!c.box) continue;
        const bool numero = c.tipo == 3 || c.tipo == 4;
        const QString errore = numero ? VerificaTesto(c.box->text(), TipoDato::Lungo) : QString();
        ColoraCampo(c.box, errore.isEmpty() ? colSfondo_ : colErrore_);
        if (!errore.isEmpty() && !nonValida) {
            nonValida = true;
            c.box->setFocus();
            if (ospite_) {
                RichiestaMsgCom m;
                m.messaggio = errore;
                ospite_->Domanda(m);
            }
        }
    }
    // A range whose start lies beyond its end selects nothing: say so.
    for (const LisCampo& da : campi_) {
        if (nonValida || da.suffisso == QLatin1String("A") || !da.box || (da.tipo != 3 && da.tipo != 4)) continue;
        for (const LisCampo& a : campi_)
            if (a.suffisso == QLatin1String("A") && a.nome.compare(da.nome, Qt::CaseInsensitive) == 0 && a.box &&
                !da.box->text().trimmed().isEmpty() && !a.box->text().trimmed().isEmpty()) {
                UtilGenerali u;
                if (u.ValoreNumerico(Valore(da.box->text().trimmed())) > u.ValoreNumerico(Valore(a.box->text().trimmed()))) {
                    nonValida = true;
                    ColoraCampo(da.box, colErrore_);
                    ColoraCampo(a.box, colErrore_);
                    da.box->setFocus();
                    if (ospite_) {
                        RichiestaMsgCom m;
                        m.messaggio = kMsgIntervallo;
                        ospite_->Domanda(m);
                    }
                }
            }
    }
    return nonValida;
}

QString LisPag::Filtro() {
    QStringList condizioni;
    for (LisCampo& c : campi_) {
        if (!c.box) continue;
        const QString testo = c.box->text().trimmed();
        if (c.operatore.compare(QLatin1String("pers"), Qt::CaseInsensitive) == 0) {
            if (!ospite_) continue;
            QList<Valore> param{Valore(QString()), Valore(testo)};
            const QString cond = ospite_->PersListaVarie(1, c, param);
            if (!cond.isEmpty()) condizioni << param.value(0).testo() + cond;
            continue;
        }
        if (testo.isEmpty()) continue;
        const int tipo = (c.tipo == 3 || c.tipo == 4) ? TipoDato::Lungo : TipoDato::Testo;
        condizioni << c.nome + QLatin1Char(' ') + c.operatore + QLatin1Char(' ') + LetteraleSql(testo, tipo);
    }
    return condizioni.join(QStringLiteral(" And "));
}

bool LisPag::ricerca() {
    if (!ospite_ || !comlin_) return false;
    if (!ospite_->VerSelez()) return false;
    ospite_->SettaRecordset(ospite_->PrepSql(Filtro()));
    return true;
}

QList<Valore> LisPag::ChiaveCorrente() const {
    QList<Valore> k;
    if (!comlin_ || comlin_->RigaCorrente() < 0) return k;
    const QStringList colonne = pagina_ ? pagina_->ColonneChiave() : QStringList();
    for (const QString& c : colonne) k << comlin_->Modello().Cella(comlin_->RigaCorrente(), c);
    return k;
}

bool LisPag::mostraSullaPagina(int riga) {
    if (!comlin_ || !pagina_ || !comlin_->VaiARiga(riga)) return false;
    return pagina_->MostraChiave(ChiaveCorrente());
}

bool LisPag::PaginaAvanti() { return comlin_ && mostraSullaPagina(comlin_->RigaCorrente() + 1); }
bool LisPag::PaginaIndietro() { return comlin_ && mostraSullaPagina(comlin_->RigaCorrente() - 1); }

void LisPag::LanciaComando(const QString& chiave) {
    const QString k = chiave.toLower();
    if (k == QLatin1String("ricerca")) {
        ricerca();
    } else if (k == QLatin1String("azzsel")) {
        ConcludiIniz();
    } else if (k == QLatin1String("seleziona")) {
        // Unsaved work on the page is asked about before another row replaces it.
        if (comlin_ && pagina_ && comlin_->RigaCorrente() >= 0 && pagina_->ConfermaUscitaRiga() &&
            pagina_->MostraChiave(ChiaveCorrente()) && ospite_)
            ospite_->TornaTestata();
    } else if (k == QLatin1String("torna")) {
        if (ospite_) ospite_->TornaTestata();
    }
}
