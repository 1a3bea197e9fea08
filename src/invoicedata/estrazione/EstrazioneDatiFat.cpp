#include "invoicedata/estrazione/EstrazioneDatiFat.h"

#include "common/FrmMsgCom.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/util/UtilGenerali.h"
#include "invoicedata/estrazione/ClassificazioneDatiFat.h"
#include "invoicedata/estrazione/RigheDatiFat.h"
#include "contesto/Contesto.h"

#include <optional>

namespace {

const QString kACapo = QStringLiteral("\r\n");

void avviso(const QString& testo) { frmMsgCom::msgCom(testo); }

EsitoDatiFat fermata(int campo = -1) { return {EsitoDatiFat::Fermata, campo}; }

// True when the query gives at least one row.
bool esisteRiga(const QString& sql) {
    GestRecordset rs;
    const QString k = rs.ApriRecordset(*ctx().ggGestDb, ctx().gsIdDbase, QString(), sql + QStringLiteral(" LIMIT 1"),
                                       false, 4);
    const bool esiste = !rs.RecVuoto(k);
    rs.ChiudiRecordset(k);
    return esiste;
}

// Closes the pass record set on every way out of the pass.
struct RecordsetPassata {
    GestRecordset& rs;
    QString chiave;
    ~RecordsetPassata() {
        if (!chiave.isEmpty()) rs.ChiudiRecordset(chiave);
    }
};

}  // namespace

void EstrazioneDatiFat::Inizio() {
    if (osservatore) osservatore->Inizio();
}

void EstrazioneDatiFat::Fine() {
    if (osservatore) osservatore->Fine();
}

int EstrazioneDatiFat::PresDatiDaInv() {
    if (!esisteRiga(QStringLiteral("SELECT AnnoCom FROM DatiFatTest") + SqlWhere(opzioni, true, QString(), QString())))
        return 0;
    const int risposta = frmMsgCom::msgCom(
        QStringLiteral("Ci sono dati estratti in precedenza non inviati: confermi la loro sostituzione con "
                       "l'elaborazione corrente"),
        QStringLiteral("&Ok"), QStringLiteral("&Annulla"));
    return risposta == 1 ? 1 : -1;
}

bool EstrazioneDatiFat::DatiPrecInv() {
    return esisteRiga(QStringLiteral("SELECT AnnoCom FROM DatiFatTest") + SqlWhere(opzioni, false, stato.tipo, QString()));
}

void EstrazioneDatiFat::CancellaPrecedenti() {
    const UtilGenerali& u = ggUtil();
    const QString dove = SqlWhere(opzioni, true, QString(), QString());
    QString righe = QStringLiteral("DELETE FROM DatiFatDett WHERE AnnoCom = ") + u.FormatoSql(opzioni.anno, TipoDato::Intero) +
                    QStringLiteral(" AND NumCom = ") + u.FormatoSql(opzioni.numCom, TipoDato::Intero) +
                    QStringLiteral(" AND NumCanc = 0 AND EXISTS (SELECT AnnoCom FROM DatiFatTest") + dove;
    for (const char* c : {"AnnoCom", "NumCom", "AnnoReg", "NumReg", "NumCanc", "Tipo", "Stato"})
        righe += QStringLiteral(" AND DatiFatDett.%1 = DatiFatTest.%1").arg(QLatin1String(c));
    righe += QLatin1Char(')');
    stato.gestDb->EseguiSql(stato.idDb, righe);
    stato.gestDb->EseguiSql(stato.idDb, QStringLiteral("DELETE FROM DatiFatTest") + dove);
}

EsitoDatiFat EstrazioneDatiFat::Esegui() {
    const UtilGenerali& u = ggUtil();
    const int anno = static_cast<int>(u.ValoreNumerico(opzioni.anno));
    const int numero = static_cast<int>(u.ValoreNumerico(opzioni.numCom));
    if (anno == 0) {
        avviso(QStringLiteral("Anno di estrazione obbligatorio"));
        return fermata(10);
    }
    if (numero <= 0) {
        avviso(QStringLiteral("Numero comunicazione obbligatorio"));
        return fermata(20);
    }
    if ((anno == 2019 && numero > 12) || (anno != 2019 && numero > 4)) {
        avviso(QStringLiteral("Numero comunicazione troppo alto"));
        return fermata(20);
    }
    if (!opzioni.clienti && !opzioni.fornitori) {
        avviso(QStringLiteral("Selezionare cosa estrarre"));
        return fermata();
    }
    if (opzioni.cliFittizi && !opzioni.soloStranieri) {
        avviso(QStringLiteral("Estrazione clienti fittizi valida solo per estrazioni per stranieri (esterometro)"));
        return fermata();
    }

    stato = StatoRunDatiFat{};
    stato.gestDb = ctx().ggGestDb.get();
    stato.idDb = ctx().gsIdDbase;
    stato.annoCom = anno;
    stato.numCom = numero;
    GestoreDb& db = *stato.gestDb;
    bool inTransazione = false;
    const auto annulla = [&] {
        if (!inTransazione) return;
        inTransazione = false;
        try {
            db.AnnullaTransazione(stato.idDb);
        } catch (const ErroreRun&) {
            // A failed statement may already have ended the transaction; what
            // is left uncommitted goes when the connection rolls back.
        }
    };
    const auto interrotta = [&](EsitoDatiFat::Stato esito, const QString& primaRiga) {
        annulla();
        Fine();
        frmMsgCom::msgCom(primaRiga + kACapo + kMsgNessunaModifica + stato.messaggi);
        return EsitoDatiFat{esito, -1};
    };

    try {
        const int precedenti = PresDatiDaInv();
        if (precedenti == -1) return fermata();

        Inizio();
        prefTrasp = LeggiPrefTrasp(db, stato.idDb, opzioni.anno);
        db.IniziaTransazione(stato.idDb);
        inTransazione = true;
        if (precedenti == 1) {
            if (osservatore) osservatore->Fase(QStringLiteral("Cancellazione dati precedenti"));
            CancellaPrecedenti();
        }

        stato.messaggi.clear();
        GestRecordset rs;
        for (const char* tipo : {"E", "R"}) {
            stato.tipo = QLatin1String(tipo);
            const bool clienti = stato.Clienti();
            if (osservatore)
                osservatore->Fase(clienti ? QStringLiteral("In elaborazione Clienti (fatture di vendita)")
                                          : QStringLiteral("In elaborazione Fornitori (fatture di acquisto)"));
            if (!(clienti ? opzioni.clienti : opzioni.fornitori)) continue;
            const bool datiPrec = DatiPrecInv();
            for (int passata = 1; passata <= (usaFittizio ? 2 : 1); ++passata) {
                switch (Passata(rs, passata == 1 ? PassataReale() : PassataFittizia(), datiPrec)) {
                case FinePassata::Finita: break;
                case FinePassata::Fallita: return interrotta(EsitoDatiFat::Fallita, kMsgElabInterrotta);
                case FinePassata::Interrotta: return interrotta(EsitoDatiFat::Interrotta, kMsgInterrottaUtente);
                }
            }
        }
        db.ConfermaTransazione(stato.idDb);
        inTransazione = false;
        db.AggiornaStatistiche(stato.idDb, {QStringLiteral("DatiFatTest"), QStringLiteral("DatiFatDett")});
    } catch (const ErroreRun& e) {
        annulla();
        Fine();
        frmMsgCom::MsgErrfrm(e, QString(), kACapo + QStringLiteral("In elab.: ") + stato.etichetta);
        frmMsgCom::msgCom(kMsgElabInterrotta + kACapo + kMsgNessunaModifica + stato.messaggi);
        return {EsitoDatiFat::Fallita, -1};
    }
    Fine();
    frmMsgCom::msgCom(stato.messaggi.isEmpty() ? QStringLiteral("Elaborazione terminata") : stato.messaggi.mid(2));
    return {EsitoDatiFat::Completata, -1};
}

EstrazioneDatiFat::FinePassata EstrazioneDatiFat::Passata(GestRecordset& rs, const TabellePassata& tabelle,
                                                          bool datiPrec) {
    stato.tabelle = tabelle;
    stato.colonne = ColonnePassata(tabelle);
    const PassataDatiFat passata{stato.tipo, tabelle, datiPrec, prefTrasp};
    RecordsetPassata aperto{rs, {}};
    aperto.chiave = rs.ApriRecordset(*stato.gestDb, stato.idDb, QString(), PrepSql(opzioni, passata), false, 4);
    stato.rs = &rs;
    stato.chiave = aperto.chiave;
    const QString& k = aperto.chiave;
    const long daFare = rs.ContaRec(k);
    if (osservatore) osservatore->Avanzamento(0, daFare);
    long fatti = 0;
    stato.annoUlt = 0;
    stato.numUlt = 0;
    bool salta = false;
    const QString esistePerPrec = QStringLiteral("EsistePerPrec");
    for (; !rs.FineRec(k); rs.RecSuccessivo(k)) {
        if (osservatore && osservatore->InterruzioneRichiesta() &&
            frmMsgCom::msgCom(QStringLiteral("Confermi interruzione estrazione dati"), QStringLiteral("&Sì"),
                              QStringLiteral("&No"), std::nullopt, std::nullopt, 80, 600, 0, 2) == 1)
            return FinePassata::Interrotta;
        ++fatti;
        if (osservatore) osservatore->Avanzamento(fatti, daFare);
        if (!RecValido()) continue;

        try {
            const Valore anno = stato.Campo(stato.colonne.tesAnno);
            const Valore numero = stato.Campo(stato.colonne.tesNumReg);
            const auto etichetta = [&] {
                return QStringLiteral("movimento anno ") + anno.testo() + QStringLiteral(" e numero ") + numero.testo();
            };
            if (TestoNonNumerico(anno) || TestoNonNumerico(numero)) {
                stato.etichetta = etichetta();
                stato.Numero(anno, stato.colonne.tesAnno);
                stato.Numero(numero, stato.colonne.tesNumReg);
            }
            if (anno.intero() != stato.annoUlt || numero.intero() != stato.numUlt) {
                stato.annoUlt = static_cast<int>(anno.intero());
                stato.numUlt = static_cast<long>(numero.intero());
                stato.etichetta = etichetta();
                const Valore esiste = stato.Campo(esistePerPrec);
                salta = !ggUtil().EVuoto(esiste);
                if (salta) {
                    stato.Nota(QStringLiteral("Il ") + stato.etichetta +
                               QStringLiteral(" già estratto nella comunicazione ") + esiste.testo());
                } else {
                    stato.contaRighe = 0;
                    stato.tipoDoc = ElabTD(stato, stato.bollaDog, stato.esigIva);
                    if (!CreaTestata(stato)) return FinePassata::Fallita;
                }
            }
            if (salta) continue;
            if (!NumeriLeggibili(stato)) return FinePassata::Fallita;
            stato.natura = ElabNatura(stato, stato.esigIvaRiga);
            ++stato.contaRighe;
            if (!CreaDett(stato)) return FinePassata::Fallita;
        } catch (const NumeroNonLeggibile&) {
            // Its note names the registration and the column.
            return FinePassata::Fallita;
        }
    }
    return FinePassata::Finita;
}
