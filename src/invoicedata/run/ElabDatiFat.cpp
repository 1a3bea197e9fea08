#include "invoicedata/run/ElabDatiFat.h"

#include "common/DbAzienda.h"
#include "common/FrmMsgCom.h"
#include "common/NomeDbAzienda.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClient.h"
#include "components/stampa/OpzSta.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "invoicedata/file/StDatiFat.h"
#include "invoicedata/run/DichiaranteDatiFat.h"
#include "invoicedata/run/LockDatiFat.h"

namespace {

bool Uguali(const QString& a, const QString& b) { return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0; }
int Intero(const QString& s) { return static_cast<int>(ggUtil().ValoreNumerico(Valore(s.trimmed()))); }

// Route 2 (file) and 3 (fixed width) print to a name of their own.
bool RottaSuFile(const OpzSta& o) { return o.oiStaVid == 2 || o.oiStaVid == 3; }
QString NomeStampa(const OpzSta& o) { return o.oiStaVid == 3 ? o.FisFileName : o.FileName; }
void ImpNomeStampa(OpzSta& o, const QString& n) { (o.oiStaVid == 3 ? o.FisFileName : o.FileName) = n; }

// The company's id before the extension of the report's name, so that each
// company of a range prints to a file of its own.
QString NomeStampaAzienda(const QString& nome, const QString& id) {
    const int punto = nome.lastIndexOf(QLatin1Char('.'));
    const int sep = std::max(nome.lastIndexOf(QLatin1Char('/')), nome.lastIndexOf(QLatin1Char('\\')));
    if (punto < 0 || punto < sep) return nome + id;
    return nome.left(punto) + id + nome.mid(punto);
}

void Identita(stDatiFat& w, const RecDichiarante& r) {
    w.osCodiceFiscaleDitta = r.CodiceFiscale.trimmed();
    w.osPartitaIvaDitta = r.PartitaIva.trimmed();
    w.osDittaRagSoc = r.RagSoc;
    w.osStatoGiurid = r.StatoGiurid;
    w.osCognome = r.Cognome;
    w.osNome = r.Nome;
}

}  // namespace

EsitoElabDatiFat ElabDatiFat::Esegui(const DatiRunDatiFat& d, const OpzioniElabDatiFat& o) {
    Contesto& c = ctx();
    const UtilGenerali& u = ggUtil();
    const bool definitiva = d.tipoSta == TipoSta::Definitiva;
    const bool unica = Uguali(d.daAzienda, d.aAzienda);
    const QString idCorrente = c.ggMenuClient->LeggiValoreSess(QStringLiteral("idazienda")).testo();
    const ParametriMoneta parCorrente = ParametriMoneta::Leggi();

    w_.osIdDbase.clear();
    w_.osIdAzienda.clear();
    w_.osNomeFile.clear();
    w_.oiAnno = 0;

    GestRecordset rs;
    QString chiave;
    long n = 0, contatore = 0;
    bool preparata = false, scritto = false, fallito = false;
    QString nomeStampaIniziale;
    QString idDb, codice;
    bool propria = false;
    EsitoElabDatiFat esito = EsitoElabDatiFat::Terminato;

    auto chiudiDbAzienda = [&] {
        if (!propria && !idDb.isEmpty()) c.ggGestDb->ChiudiDatabase(idDb);
        idDb.clear();
    };
    // What a run changes in shared state goes back by every way out.
    auto rimetti = [&] {
        if (o.opzSta && RottaSuFile(*o.opzSta) && n > 1) ImpNomeStampa(*o.opzSta, nomeStampaIniziale);
        parCorrente.Rimetti();
        if (!chiave.isEmpty()) {
            try {
                rs.ChiudiRecordset(chiave);
            } catch (const ErroreRun&) {
                // A read-only list: closing it cannot lose anything.
            }
        }
    };

    try {
        chiave = rs.ApriRecordset(*c.ggGestDb, c.gsIdDbMenu, {},
                                  QStringLiteral("SELECT Aziende.* FROM Aziende WHERE Aziende.IdAzienda >= ") +
                                      u.FormatoSql(d.daAzienda.trimmed(), TipoDato::Testo) +
                                      QStringLiteral(" AND Aziende.IdAzienda <= ") +
                                      u.FormatoSql(d.aAzienda.trimmed(), TipoDato::Testo) +
                                      QStringLiteral(" ORDER BY Aziende.IdAzienda"));
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e, {}, {}, kTitoloDatiFatXml);
        rimetti();
        return EsitoElabDatiFat::Errore;
    }
    if (!rs.RecVuoto(chiave)) {
        rs.PrimoRec(chiave);
        n = rs.ContaRec(chiave);
        if (o.opzSta) nomeStampaIniziale = NomeStampa(*o.opzSta);
    }
    QStringList tipi;
    if (d.clienti) tipi << QStringLiteral("E");
    if (d.fornitori) tipi << QStringLiteral("R");

    while (n > 0 && !rs.FineRec(chiave) && esito == EsitoElabDatiFat::Terminato) {
        ++contatore;
        QString idAzienda;
        try {
            codice = rs.LeggiCampo(chiave, QStringLiteral("Azienda")).testo();
            const QString descrizione = rs.LeggiCampo(chiave, QStringLiteral("Descrizione")).testo();
            idAzienda = rs.LeggiCampo(chiave, QStringLiteral("IdAzienda")).testo();
            QString file = rs.LeggiCampo(chiave, QStringLiteral("File")).testo();
            PreparaNomeDB(file);
            propria = Uguali(idAzienda, idCorrente);
            if (propria) {
                idDb = c.gsIdDbase;
            } else {
                const QString pwd =
                    u.EVuoto(rs.LeggiCampo(chiave, QStringLiteral("AccPwd")), TipoDato::Testo)
                        ? QString()
                        : c.ggMenuClient->LeggiValoreSess(QStringLiteral("pwddbazie:") + codice).testo();
                const QString risposta = CredenzialiDb(*c.ggGestDb, file, pwd, c.gsConnect);
                if (risposta.trimmed().isEmpty() || risposta.startsWith(QLatin1String("Err:"), Qt::CaseInsensitive))
                    throw ErroreRun(static_cast<long>(u.ValoreNumerico(risposta.mid(4))),
                                    QStringLiteral("nell'apertura del database ") + file);
                idDb = risposta;
            }
            if (!LeggiDefaultDitta(idDb))
                throw ErroreRun(NumErrore::ErroreSql, QStringLiteral("nella lettura dei dati della ditta"));
            w_.osIdDbase = idDb;
            w_.osIdAzienda = idAzienda;
            w_.osDescAzie = descrizione;
            w_.osNomeFile = o.nomeFile;
            if (o.opzSta && RottaSuFile(*o.opzSta) && n > 1 && !nomeStampaIniziale.endsWith(QLatin1Char(':')) &&
                !nomeStampaIniziale.startsWith(QLatin1String("\\\\")))
                ImpNomeStampa(*o.opzSta, NomeStampaAzienda(nomeStampaIniziale, idAzienda));

            // The identity written is always the company's own: the form's
            // record only for the current company.
            RecDichiarante rec = o.dichiarante;
            if (!propria || !unica) {
                rec = {};
                if (!LeggiIdentitaDatiFat(idDb, rec))
                    throw ErroreRun(NumErrore::ErroreSql, QStringLiteral("nella lettura del dichiarante"));
            }
            Identita(w_, rec);
            if (unica) {
                w_.osCfDichiarante = d.cfDichiarante.trimmed();
                w_.osCodiceCaricaDichiarante = d.caricaDichiarante.trimmed();
            } else {
                w_.osCfDichiarante = u.EVuoto(Valore(rec.CFDichiarante), TipoDato::Testo)
                                         ? rec.CodiceFiscaleSocieta.trimmed()
                                         : rec.CFDichiarante.trimmed();
                w_.osCodiceCaricaDichiarante = rec.CodiceCaricaDichiarante.trimmed();
            }
            w_.obUnicaAzie = unica;
            w_.oiAnno = Intero(d.anno);
            w_.osTitolo = kTitoloDatiFatXml;
            w_.oiNumCom = Intero(d.numero);
            w_.obFileXml = o.fileXml;
            w_.obEstrFile = d.tipoElab != TipoElab::Stampa;
            w_.obStampa = d.tipoElab != TipoElab::File;
            w_.oiOrdin = o.ordin;
            w_.obMolteAnag = d.molteAnag;
            w_.oiMaxClie = Intero(d.maxAnagrafiche);
        } catch (const ErroreRun& e) {
            chiudiDbAzienda();
            const int r = frmMsgCom::msgCom(QStringLiteral("Errore ") + e.descrizione() +
                                                QStringLiteral(" per l'azienda ") + codice +
                                                QStringLiteral(". Proseguo l'elaborazione ?"),
                                            QStringLiteral("&Ok"), QStringLiteral("&Annulla"), std::nullopt,
                                            kTitoloDatiFatXml, 80, 600, 12, 1);
            if (r == 2) {
                rimetti();
                return EsitoElabDatiFat::Interrotto;
            }
            rs.RecSuccessivo(chiave);
            continue;
        }

        preparata = true;
        try {
            w_.ogOpzSta = o.opzSta;
            if (w_.obStampa && o.opzSta && o.opzSta->oiStaVid == 1) staVideo_ = true;
            w_.oiTipoSta = static_cast<int>(d.tipoSta);
            w_.oiIdentif = d.tipoSta == TipoSta::Rielabora ? Intero(d.numInvio) : 0;
            w_.osDirInvio = o.dirInvio;
            for (int i = 0; i < tipi.size() && esito == EsitoElabDatiFat::Terminato; ++i) {
                w_.osCosaEstr = tipi[i];
                int numInvio = 0;
                if (!lock_.LockElab(idDb, !definitiva, w_.osCosaEstr, w_.oiAnno, w_.oiNumCom, numInvio, idAzienda)) {
                    esito = EsitoElabDatiFat::Interrotto;
                    break;
                }
                w_.oiNumInvio = numInvio;
                w_.oiUltimaDitta = contatore == n && i == tipi.size() - 1 ? 1 : 0;
                w_.obEstraiAnag = o.estraiAnag;
                try {
                    w_.AvviaStampa();
                } catch (...) {
                    // The kind's send is undone as a failed one before the
                    // error is told: no lock and no half-marked send stay.
                    if (definitiva) lock_.SbloccaElab(idDb, 1, w_.osCosaEstr, w_.oiAnno, w_.oiNumCom, numInvio);
                    throw;
                }
                if (definitiva)
                    lock_.SbloccaElab(idDb, w_.oiErrore, w_.osCosaEstr, w_.oiAnno, w_.oiNumCom, w_.oiNumInvio);
                // Only completed files count: a kind that read rows and then
                // failed, or refused to split its file, wrote none.
                if (w_.obEstrFile && !w_.FileScritti().isEmpty()) scritto = true;
                if (w_.oiErrore > 0) fallito = true;
                if (w_.oiErrore < 0) {
                    esito = EsitoElabDatiFat::Interrotto;
                } else if (w_.oiErrore > 0 &&
                           frmMsgCom::msgCom(QStringLiteral("Proseguire l'elaborazione"), QStringLiteral("&Sì"),
                                             QStringLiteral("&no"), std::nullopt, std::nullopt, 80, 600, 0, 1) == 2) {
                    esito = EsitoElabDatiFat::Interrotto;
                }
            }
            chiudiDbAzienda();
        } catch (const ErroreRun& e) {
            frmMsgCom::MsgErrfrm(e, {}, {}, kTitoloDatiFatXml);
            chiudiDbAzienda();
            rimetti();
            return EsitoElabDatiFat::Errore;
        }
        if (esito != EsitoElabDatiFat::Terminato) break;
        rs.RecSuccessivo(chiave);
    }
    chiudiDbAzienda();
    rimetti();
    chiave.clear();

    if (!preparata) {
        frmMsgCom::msgCom(QStringLiteral("Non c'è nessun dato da trasmettere"));
        return EsitoElabDatiFat::NessunDato;
    }
    if (esito != EsitoElabDatiFat::Terminato) return esito;
    if (d.tipoElab != TipoElab::Stampa && !scritto) {
        // The failures were told as they came: neither "no data" nor "done".
        if (fallito) return EsitoElabDatiFat::Errore;
        frmMsgCom::msgCom(QStringLiteral("Nessuna azienda dell'intervallo ha dati da trasmettere: nessun file scritto"),
                          QStringLiteral("&Ok"), std::nullopt, std::nullopt, kTitoloDatiFatXml);
        return EsitoElabDatiFat::NessunDato;
    }
    if (d.tipoElab == TipoElab::File)
        frmMsgCom::msgCom(QStringLiteral("Elaborazione terminata"), QStringLiteral("&Ok"), std::nullopt, std::nullopt,
                          o.titolo.isEmpty() ? kTitoloDatiFatXml : o.titolo);
    return EsitoElabDatiFat::Terminato;
}
