#include "settlement/estrazione/EstrazioneLiqIva.h"

#include "common/Dichiarante.h"
#include "common/FrmMsgCom.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/util/UtilGenerali.h"
#include "settlement/estrazione/ModuloLiqIva.h"
#include "contesto/Contesto.h"
#include "contesto/Isolamento.h"

#include <optional>

namespace {

void avviso(const QString& testo) { frmMsgCom::msgCom(testo); }

// Button 1 or 2 of a "&Conferma" / "&Annulla" question.
int domanda(const QString& testo, int predefinito) {
    return frmMsgCom::msgCom(testo, QStringLiteral("&Conferma"), QStringLiteral("&Annulla"), std::nullopt,
                             std::nullopt, 80, 600, 0, predefinito);
}

EsitoEstrazione fermata(int campo = -1) { return {EsitoEstrazione::Fermata, campo}; }

// Lowers the isolation level for the run and restores it on every way out.
struct IsolamentoRun {
    IsolamentoRun() { ImpIsolNonConferm(); }
    ~IsolamentoRun() { ImpIsolConferm(); }
};

// The source rows of the communication, open on `chiave`.
struct Sorgente {
    SorgenteModulo modulo;
    QString chiave;
};

// A later period of the year with no earlier period worked out: VP9 would
// take the whole opening credit of the year. The user decides; true to go on.
bool PeriodiPrecedentiPresenti(GestRecordset& rs, const QString& sql) {
    const QString k = rs.ApriRecordset(*ctx().ggGestDb, ctx().gsIdDbase, QString(), sql, false, 2);
    const bool presenti = !rs.RecVuoto(k);
    rs.ChiudiRecordset(k);
    if (presenti) return true;
    return domanda(QStringLiteral("I periodi precedenti dell'anno non sono stati elaborati: il credito dell'anno "
                                  "precedente (VP9) sarà l'intero credito di inizio anno. Estrarre ugualmente"),
                   2) == 1;
}

// Opens the source; nothing when a message stopped the run.
std::optional<Sorgente> ApriSorgente(GestRecordset& rs, const DatiEstrazione& d, int anno, int numCom) {
    UtilGenerali& u = ggUtil();
    GestoreDb& db = *ctx().ggGestDb;
    const QString idDb = ctx().gsIdDbase;
    const QString sqlAnno = u.FormatoSql(anno, TipoDato::Intero);
    Sorgente s;
    s.modulo.anno = anno;
    s.modulo.numCom = numCom;
    s.modulo.multiAttivita = d.multiAttivita;
    s.modulo.subfornitura = d.subfornitura;
    s.modulo.eventiEccezionali = d.eventiEccezionali;

    if (d.multiAttivita) {
        s.chiave = rs.ApriRecordset(db, idDb, QString(),
                                    QStringLiteral("SELECT * FROM IvaDichPeriodRiep WHERE Anno = ") + sqlAnno +
                                        QStringLiteral(" AND NumCom = ") + u.FormatoSql(numCom, TipoDato::Intero),
                                    false, 2);
        if (rs.RecVuoto(s.chiave)) {
            rs.ChiudiRecordset(s.chiave);
            avviso(QStringLiteral("Non ci sono dati elaborati per la multiattività per il comunicato richiesto "
                                  "nell'anno ") + d.anno);
            return std::nullopt;
        }
        if (numCom > 1 &&
            !PeriodiPrecedentiPresenti(rs, QStringLiteral("SELECT Anno FROM IvaDichPeriodRiep WHERE Anno = ") +
                                               sqlAnno + QStringLiteral(" AND NumCom < ") +
                                               u.FormatoSql(numCom, TipoDato::Intero))) {
            rs.ChiudiRecordset(s.chiave);
            return std::nullopt;
        }
        return s;
    }

    const QString attivita = LeggiAttivitaDef();
    const QString sqlAttivita = u.FormatoSql(attivita, TipoDato::Testo);
    const QString kRiep = rs.ApriRecordset(
        db, idDb, QString(),
        QStringLiteral("SELECT * FROM IvaRiep WHERE Anno = ") + sqlAnno + QStringLiteral(" AND DitAttivita = ") +
            sqlAttivita,
        false, 2);
    if (rs.RecVuoto(kRiep)) {
        rs.ChiudiRecordset(kRiep);
        avviso(QStringLiteral("Mancano i dati iniziali iva per l'anno ") + d.anno);
        return std::nullopt;
    }
    const bool mensile = rs.LeggiCampo(kRiep, QStringLiteral("TipoLiq")).testo().trimmed().compare(
                             QLatin1String("M"), Qt::CaseInsensitive) == 0;
    rs.ChiudiRecordset(kRiep);

    const int primo = mensile ? (numCom - 1) * 3 + 1 : numCom;
    const int ultimo = mensile ? numCom * 3 : numCom;
    const long attesi = mensile ? 3 : 1;
    s.chiave = rs.ApriRecordset(db, idDb, QString(),
                                QStringLiteral("SELECT * FROM IvaDichPeriod WHERE Anno = ") + sqlAnno +
                                    QStringLiteral(" AND DitAttivita = ") + sqlAttivita +
                                    QStringLiteral(" AND Periodo >= ") + u.FormatoSql(primo, TipoDato::Intero) +
                                    QStringLiteral(" AND Periodo <= ") + u.FormatoSql(ultimo, TipoDato::Intero) +
                                    QStringLiteral(" ORDER BY Periodo"),
                                false, 2);
    if (rs.RecVuoto(s.chiave)) {
        rs.ChiudiRecordset(s.chiave);
        avviso(QStringLiteral("Non ci sono dati da estrarre per l'attività ") + attivita +
               QStringLiteral(" nell'anno ") + d.anno);
        return std::nullopt;
    }
    if (rs.ContaRec(s.chiave) < attesi &&
        domanda(QStringLiteral("Non sono stati elaborati tuti i mesi da estrarre: estrarre ugualmente"), 2) != 1) {
        rs.ChiudiRecordset(s.chiave);
        return std::nullopt;
    }
    if (primo > 1 &&
        !PeriodiPrecedentiPresenti(rs, QStringLiteral("SELECT Anno FROM IvaDichPeriod WHERE Anno = ") + sqlAnno +
                                           QStringLiteral(" AND DitAttivita = ") + sqlAttivita +
                                           QStringLiteral(" AND Periodo < ") + u.FormatoSql(primo, TipoDato::Intero))) {
        rs.ChiudiRecordset(s.chiave);
        return std::nullopt;
    }
    s.modulo.attivita = attivita;
    s.modulo.mensile = mensile;
    return s;
}

// Codes are stored without the blanks around them: a file keeps a padded
// code whole, while the server cuts the blanks past the column's width, so
// that the same communication would read differently on the two engines.
void ScriviTestata(GestRecordset& rs, const QString& k, const DatiEstrazione& d, const RecDichiarante& dich,
                   int anno, int numCom) {
    rs.NuovoRec(k);
    rs.ScriviCampo(k, QStringLiteral("Anno"), anno);
    rs.ScriviCampo(k, QStringLiteral("NumCom"), numCom);
    rs.ScriviCampo(k, QStringLiteral("CodiceFiscale"), dich.CodiceFiscale.trimmed());
    rs.ScriviCampo(k, QStringLiteral("PartitaIva"), dich.PartitaIva.trimmed());
    rs.ScriviCampo(k, QStringLiteral("PartitaIvaControllante"), dich.PartitaIvaControllante.trimmed());
    rs.ScriviCampo(k, QStringLiteral("UltimoMese"), static_cast<int>(dich.UltimoMese));
    rs.ScriviCampo(k, QStringLiteral("LiquidazioneGruppo"), dich.LiquidazioneGruppo.trimmed());
    rs.ScriviCampo(k, QStringLiteral("CFDichiarante"), d.cfDichiarante.trimmed());
    rs.ScriviCampo(k, QStringLiteral("CodiceCaricaDichiarante"), d.codiceCarica.trimmed());
    rs.ScriviCampo(k, QStringLiteral("CodiceFiscaleSocieta"), d.cfSocieta.trimmed());
    rs.ScriviCampo(k, QStringLiteral("FirmaDichiarazione"), d.firmaDichiarazione ? "S" : "N");
    rs.ScriviCampo(k, QStringLiteral("CFIntermediario"), d.cfIntermediario.trimmed());
    if (!d.impegno.isEmpty()) rs.ScriviCampo(k, QStringLiteral("ImpegnoPresentazione"), d.impegno.left(1));
    if (!ggUtil().EVuoto(d.dataImpegno, TipoDato::Testo))
        rs.ScriviCampo(k, QStringLiteral("DataImpegno"), ggUtil().ValoreData(d.dataImpegno));
    rs.ScriviCampo(k, QStringLiteral("FirmaIntermediario"), d.firmaIntermediario ? "S" : "N");
    if (d.flagConferma) rs.ScriviCampo(k, QStringLiteral("FlagConferma"), "1");
    rs.AggiornaRec(k);
}

}  // namespace

EsitoEstrazione EstraiLiqIva(const DatiEstrazione& d, const RecDichiarante& dich) {
    UtilGenerali& u = ggUtil();
    const int anno = static_cast<int>(u.ValoreNumerico(d.anno));
    const int numCom = static_cast<int>(u.ValoreNumerico(d.numCom));
    if (anno == 0) {
        avviso(QStringLiteral("Anno di estrazione obbligatorio"));
        return fermata(10);
    }
    if (numCom <= 0) {
        avviso(QStringLiteral("Numero comunicazione obbligatorio"));
        return fermata(20);
    }
    if (!u.EVuoto(d.cfIntermediario, TipoDato::Testo)) {
        if (d.impegno.isEmpty()) {
            avviso(QStringLiteral("Impostare Impegno alla presentazione"));
            return fermata(130);
        }
        if (u.EVuoto(d.dataImpegno, TipoDato::Testo)) {
            avviso(QStringLiteral("Data impegno obbligatoria in presenza di incaricato"));
            return fermata(140);
        }
    }
    // A commitment date that is not a date would be stored as the empty date.
    if (!u.EVuoto(d.dataImpegno, TipoDato::Testo) && u.EVuoto(u.ValoreData(d.dataImpegno), TipoDato::Data)) {
        avviso(QStringLiteral("Data Errata o Campo Errato"));
        return fermata(140);
    }

    GestoreDb& db = *ctx().ggGestDb;
    const QString idDb = ctx().gsIdDbase;
    GestRecordset rs;
    bool inTransazione = false;
    try {
        std::optional<Sorgente> sorgente = ApriSorgente(rs, d, anno, numCom);
        if (!sorgente) return fermata();

        IsolamentoRun isolamento;
        const QString sqlChiave = QStringLiteral(" WHERE LiqIvaTest.Anno = ") + u.FormatoSql(anno, TipoDato::Intero) +
                                  QStringLiteral(" AND LiqIvaTest.NumCom = ") + u.FormatoSql(numCom, TipoDato::Intero);
        const QString kTest = rs.ApriRecordset(db, idDb, QString(),
                                               QStringLiteral("SELECT * FROM LiqIvaTest") + sqlChiave, false, 4);
        const bool precedente = !rs.RecVuoto(kTest);
        if (precedente && domanda(QStringLiteral("Confermi cancellazione di estrazione precedente"), 1) != 1)
            return fermata();

        // The earlier communication goes only together with the new one being
        // complete: delete and inserts commit or roll back as one.
        db.IniziaTransazione(idDb);
        inTransazione = true;
        if (precedente) {
            db.EseguiSql(idDb, QStringLiteral("DELETE FROM LiqIvaDett WHERE LiqIvaDett.Anno = ") +
                                   u.FormatoSql(anno, TipoDato::Intero) + QStringLiteral(" AND LiqIvaDett.NumCom = ") +
                                   u.FormatoSql(numCom, TipoDato::Intero));
            for (; !rs.FineRec(kTest); rs.RecSuccessivo(kTest)) rs.CancellaRec(kTest);
        }
        ScriviTestata(rs, kTest, d, dich, anno, numCom);

        for (; !rs.FineRec(sorgente->chiave); rs.RecSuccessivo(sorgente->chiave)) {
            const SqlModulo m = ComponiSqlModulo(sorgente->modulo, rs, sorgente->chiave);
            db.EseguiSql(idDb, m.sql);
            if (!EseguiSqlContr(db, idDb,
                                QStringLiteral("Dettaglio del periodo ") + QString::number(m.periodo) +
                                    QStringLiteral(" non inserito nei dettagli") + QStringLiteral("\r\n") + m.sql,
                                1)) {
                db.AnnullaTransazione(idDb);
                avviso(kMsgEstrazioneFallita);
                return {EsitoEstrazione::Fallita, -1};
            }
        }
        db.ConfermaTransazione(idDb);
        inTransazione = false;
    } catch (const ErroreRun& e) {
        if (inTransazione) {
            try {
                db.AnnullaTransazione(idDb);
            } catch (const ErroreRun&) {
                // The connection rolls back on its own when the statement failed.
            }
        }
        frmMsgCom::MsgErrfrm(e, QString(), QStringLiteral("\r\n") + kMsgEstrazioneFallita);
        return {EsitoEstrazione::Fallita, -1};
    }
    avviso(QStringLiteral("Elaborazione terminata"));
    return {EsitoEstrazione::Completata, -1};
}

QString LeggiAttivitaDef() {
    GestRecordset rs;
    try {
        const QString k = rs.ApriRecordset(*ctx().ggGestDb, ctx().gsIdDbase, QString(),
                                           QStringLiteral("SELECT * FROM DitAttivita ORDER BY DitAttivita.DitAttivita"),
                                           false, 2);
        const QString attivita =
            rs.RecVuoto(k) ? QStringLiteral(".") : rs.LeggiCampo(k, QStringLiteral("DitAttivita.DitAttivita")).testo();
        rs.ChiudiRecordset(k);
        return attivita;
    } catch (const ErroreRun& e) {
        avviso(QStringLiteral("Errore durante la ricerca dell'attività di default: errore ") +
               QString::number(e.numero()));
        return QStringLiteral(".");
    }
}

bool EseguiSqlContr(GestoreDb& gestDb, const QString& idDb, const QString& messaggio, long atteso) {
    if (gestDb.DatabaseDaId(idDb)->RecordsAffected() >= atteso) return true;
    avviso(messaggio);
    return false;
}
