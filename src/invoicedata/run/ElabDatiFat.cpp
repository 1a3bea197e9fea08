#include "invoicedata/run/ElabDatiFat.h"

#include "common/DbAzienda.h"
#include "common/FrmMsgCom.h"
#include "common/RiepilogoInterruzione.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClient.h"
#include "components/stampa/OpzSta.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "invoicedata/file/StDatiFat.h"
#include "invoicedata/run/DichiaranteDatiFat.h"
#include "invoicedata/run/InvioDatiFat.h"
#include "invoicedata/run/LockDatiFat.h"
#include "invoicedata/run/RecuperoDatiFat.h"

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

QString NomeParte(const QString& idAzienda, const QString& tipo) {
    return QStringLiteral("Azienda ") + idAzienda.trimmed() + QLatin1Char(' ') + NomeTipoInvio(tipo);
}

// What the writer's call left of its company and kind.
RiepilogoInterruzione::Parte ParteScritta(const stDatiFat& w, bool definitiva) {
    using Stato = RiepilogoInterruzione::Stato;
    RiepilogoInterruzione::Parte p{.nome = NomeParte(w.osIdAzienda, w.osCosaEstr), .definitiva = definitiva};
    p.stampaInterrotta = w.StampaInterrotta();
    if (w.InvioConfermato()) {
        // Committed, the send stands whatever came after it.
        p.stato = Stato::Completo;
        p.file = w.FileScritti();
        p.invio = w.oiNumInvio;
    } else if (!w.ParteIniziata()) {
        p.stato = w.obStampato || w.oiErrore < 0 ? Stato::NonEseguito : Stato::NessunDato;
    } else if (w.obEstrFile ? !w.FileScritti().isEmpty() : w.oiErrore >= 0) {
        p.stato = Stato::Completo;
        p.file = w.FileScritti();
    } else {
        p.stato = Stato::Incompleto;
        p.file = w.FileIncompleti();
    }
    return p;
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

// The lock goes back after every definitive kind (once its send is named,
// before the report; else when the writer ends). The writer commits its
// marks only with complete files, so a send it did not commit has nothing to
// undo and one it committed stands, whatever failed after (the print): the
// send numbers are never zeroed here, nor is the user asked to.
void ElabDatiFat::Sblocca(const QString& idDb) {
    lock_.SbloccaElab(idDb, 0, w_.osCosaEstr, w_.oiAnno, w_.oiNumCom, w_.oiNumInvio);
}

// A lock that cannot be given back here stays until "Azzera elab. prec.",
// which keeps the committed send: the run goes on to its report.
void ElabDatiFat::SbloccaDopoInvio(const QString& idDb) {
    try {
        Sblocca(idDb);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e, {}, {}, kTitoloDatiFatXml);
    }
}

// What one run keeps from company to company.
struct ElabDatiFat::Giro {
    Giro(const DatiRunDatiFat& dati, const OpzioniElabDatiFat& opzioni) : d(dati), o(opzioni) {}
    const DatiRunDatiFat& d;
    const OpzioniElabDatiFat& o;
    bool definitiva = false, unica = false;
    QString idCorrente;
    ParametriMoneta parCorrente = ParametriMoneta::Leggi();
    GestRecordset rs;
    QString chiave;
    long n = 0, contatore = 0;
    bool preparata = false, scritto = false, fallito = false;
    QString nomeStampaIniziale;
    QString idDb, codice, idAzienda;
    bool propria = false;
    QStringList tipi;
    EsitoElabDatiFat esito = EsitoElabDatiFat::Terminato;
    // The user stopped the print; what each part had is told in one message.
    bool fermata = false;
    RiepilogoInterruzione riepilogo;

    void ChiudiDbAzienda() {
        if (!propria && !idDb.isEmpty()) ctx().ggGestDb->ChiudiDatabase(idDb);
        idDb.clear();
    }
    // What a run changes in shared state goes back by every way out.
    void Rimetti() {
        if (o.opzSta && RottaSuFile(*o.opzSta) && n > 1) ImpNomeStampa(*o.opzSta, nomeStampaIniziale);
        parCorrente.Rimetti();
        if (!chiave.isEmpty()) {
            try {
                rs.ChiudiRecordset(chiave);
            } catch (const ErroreRun&) {
                // A read-only list: closing it cannot lose anything.
            }
        }
        chiave.clear();
    }
};

// The run, as its steps: the companies of the range, each prepared (its
// database, anything a stopped run left put right, its identity), then its
// kinds run through the writer; at the end one message.
EsitoElabDatiFat ElabDatiFat::Esegui(const DatiRunDatiFat& d, const OpzioniElabDatiFat& o) {
    Giro g{d, o};
    g.definitiva = d.tipoSta == TipoSta::Definitiva;
    g.unica = Uguali(d.daAzienda, d.aAzienda);
    g.idCorrente = ctx().ggMenuClient->LeggiValoreSess(QStringLiteral("idazienda")).testo();
    if (d.clienti) g.tipi << QStringLiteral("E");
    if (d.fornitori) g.tipi << QStringLiteral("R");
    w_.osIdDbase.clear();
    w_.osIdAzienda.clear();
    w_.osNomeFile.clear();
    w_.oiAnno = 0;
    w_.obStopAlChiamante = true;
    // A preview left open for a call that never came ends with the run, however it ends.
    struct FineAnteprima {
        stDatiFat& w;
        ~FineAnteprima() { w.concludiDocumento(); }
    } fineAnteprima{w_};

    if (!ApriAziende(g)) {
        g.Rimetti();
        return EsitoElabDatiFat::Errore;
    }
    while (g.n > 0 && !g.rs.FineRec(g.chiave) && g.esito == EsitoElabDatiFat::Terminato) {
        ++g.contatore;
        if (!PreparaAzienda(g)) {
            if (g.esito != EsitoElabDatiFat::Terminato) {
                g.Rimetti();
                return g.esito;
            }
            for (const QString& tipo : std::as_const(g.tipi))
                g.riepilogo.Aggiungi({.nome = NomeParte(g.idAzienda, tipo), .definitiva = g.definitiva});
            g.rs.RecSuccessivo(g.chiave);
            continue;
        }
        g.preparata = true;
        if (!EseguiTipi(g)) {
            g.Rimetti();
            return EsitoElabDatiFat::Errore;
        }
        if (g.esito != EsitoElabDatiFat::Terminato) break;
        g.rs.RecSuccessivo(g.chiave);
    }
    if (g.fermata) {
        // The companies the stop kept from their turn are told too.
        try {
            for (g.rs.RecSuccessivo(g.chiave); !g.rs.FineRec(g.chiave); g.rs.RecSuccessivo(g.chiave))
                for (const QString& tipo : std::as_const(g.tipi))
                    g.riepilogo.Aggiungi({.nome = NomeParte(g.rs.LeggiCampo(g.chiave, QStringLiteral("IdAzienda")).testo(), tipo),
                                          .definitiva = g.definitiva});
        } catch (const ErroreRun&) {
            // The list was read once already; the account names those it reached.
        }
    }
    g.ChiudiDbAzienda();
    g.Rimetti();
    w_.concludiDocumento();
    return Concludi(g);
}

bool ElabDatiFat::ApriAziende(Giro& g) {
    const UtilGenerali& u = ggUtil();
    try {
        g.chiave = g.rs.ApriRecordset(*ctx().ggGestDb, ctx().gsIdDbMenu, {},
                                      QStringLiteral("SELECT Aziende.* FROM Aziende WHERE Aziende.IdAzienda >= ") +
                                          u.FormatoSql(g.d.daAzienda.trimmed(), TipoDato::Testo) +
                                          QStringLiteral(" AND Aziende.IdAzienda <= ") +
                                          u.FormatoSql(g.d.aAzienda.trimmed(), TipoDato::Testo) +
                                          QStringLiteral(" ORDER BY Aziende.IdAzienda"));
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e, {}, {}, kTitoloDatiFatXml);
        return false;
    }
    if (!g.rs.RecVuoto(g.chiave)) {
        g.rs.PrimoRec(g.chiave);
        g.n = g.rs.ContaRec(g.chiave);
        if (g.o.opzSta) g.nomeStampaIniziale = NomeStampa(*g.o.opzSta);
    }
    return true;
}

// The company of the current row: its database, what a stopped run left,
// its currency and identity, the writer's properties. False when it is
// skipped (the user said go on) or the run stops (g.esito says so).
bool ElabDatiFat::PreparaAzienda(Giro& g) {
    Contesto& c = ctx();
    const UtilGenerali& u = ggUtil();
    const DatiRunDatiFat& d = g.d;
    const OpzioniElabDatiFat& o = g.o;
    try {
        g.codice = g.rs.LeggiCampo(g.chiave, QStringLiteral("Azienda")).testo();
        const QString descrizione = g.rs.LeggiCampo(g.chiave, QStringLiteral("Descrizione")).testo();
        g.idAzienda = g.rs.LeggiCampo(g.chiave, QStringLiteral("IdAzienda")).testo();
        g.propria = Uguali(g.idAzienda, g.idCorrente);
        if (g.propria) {
            g.idDb = c.gsIdDbase;
        } else {
            // A database that does not open is told once, by the question
            // whether to go on, with the reason the database layer gives.
            g.idDb = ApriDbAziendaDelGiro(g.rs, g.chiave, g.codice);
        }
        if (!LeggiDefaultDitta(g.idDb))
            throw ErroreRun(NumErrore::ErroreSql, QStringLiteral("nella lettura dei dati della ditta"));
        // A send left between its commit and its final names is put
        // right before anything else of this company.
        if (!RecuperaInviiSospesi(g.idDb, g.idAzienda))
            throw ErroreRun(NumErrore::ErroreSql, QStringLiteral("nel completamento di un invio rimasto a metà"));
        w_.osIdDbase = g.idDb;
        w_.osIdAzienda = g.idAzienda;
        w_.osDescAzie = descrizione;
        w_.osNomeFile = o.nomeFile;
        if (o.opzSta && RottaSuFile(*o.opzSta) && g.n > 1 && !g.nomeStampaIniziale.endsWith(QLatin1Char(':')) &&
            !g.nomeStampaIniziale.startsWith(QLatin1String("\\\\")))
            ImpNomeStampa(*o.opzSta, NomeStampaAzienda(g.nomeStampaIniziale, g.idAzienda));

        // The identity written is always the company's own: the form's
        // record only for the current company.
        RecDichiarante rec = o.dichiarante;
        if (!g.propria || !g.unica) {
            rec = {};
            if (!CaricaDichiarante(rec, g.idDb, true))
                throw ErroreRun(NumErrore::ErroreSql, QStringLiteral("nella lettura del dichiarante"));
        }
        Identita(w_, rec);
        if (g.unica) {
            w_.osCfDichiarante = d.cfDichiarante.trimmed();
            w_.osCodiceCaricaDichiarante = d.caricaDichiarante.trimmed();
        } else {
            w_.osCfDichiarante = u.EVuoto(Valore(rec.CFDichiarante), TipoDato::Testo) ? rec.CodiceFiscaleSocieta.trimmed()
                                                                                     : rec.CFDichiarante.trimmed();
            w_.osCodiceCaricaDichiarante = rec.CodiceCaricaDichiarante.trimmed();
        }
        w_.obUnicaAzie = g.unica;
        w_.oiAnno = Intero(d.anno);
        w_.osTitolo = kTitoloDatiFatXml;
        w_.oiNumCom = Intero(d.numero);
        w_.obFileXml = o.fileXml;
        w_.obEstrFile = d.tipoElab != TipoElab::Stampa;
        w_.obStampa = d.tipoElab != TipoElab::File;
        w_.oiOrdin = o.ordin;
        w_.obMolteAnag = d.molteAnag;
        w_.oiMaxClie = Intero(d.maxAnagrafiche);
        return true;
    } catch (const ErroreRun& e) {
        g.ChiudiDbAzienda();
        const int r = frmMsgCom::msgCom(QStringLiteral("Errore ") + e.descrizione() + QStringLiteral(" per l'azienda ") +
                                            g.codice + QStringLiteral(". Proseguo l'elaborazione ?"),
                                        QStringLiteral("&Ok"), QStringLiteral("&Annulla"), std::nullopt,
                                        kTitoloDatiFatXml, 80, 600, 12, 1);
        if (r == 2) g.esito = EsitoElabDatiFat::Interrotto;
        return false;
    }
}

// Each ticked kind of the prepared company: lock, writer, release, and the
// writer's outcome. False after the error box of a run-time error.
bool ElabDatiFat::EseguiTipi(Giro& g) {
    try {
        w_.ogOpzSta = g.o.opzSta;
        if (w_.obStampa && g.o.opzSta && g.o.opzSta->oiStaVid == 1) staVideo_ = true;
        w_.oiTipoSta = static_cast<int>(g.d.tipoSta);
        w_.oiIdentif = g.d.tipoSta == TipoSta::Rielabora ? Intero(g.d.numInvio) : 0;
        w_.osDirInvio = g.o.dirInvio;
        for (int i = 0; i < g.tipi.size() && g.esito == EsitoElabDatiFat::Terminato; ++i) {
            w_.osCosaEstr = g.tipi[i];
            int numInvio = 0;
            if (!lock_.LockElab(g.idDb, !g.definitiva, w_.osCosaEstr, w_.oiAnno, w_.oiNumCom, numInvio, g.idAzienda)) {
                g.esito = EsitoElabDatiFat::Interrotto;
                break;
            }
            w_.oiNumInvio = numInvio;
            w_.oiUltimaDitta = g.contatore == g.n && i == g.tipi.size() - 1 ? 1 : 0;
            w_.obEstraiAnag = g.o.estraiAnag;
            // The send committed and named needs the lock no more: it goes
            // before the report, which may wait on the preview for long.
            if (g.definitiva) w_.InvioConcluso = [&] { SbloccaDopoInvio(g.idDb); };
            struct Sgancia {
                stDatiFat& w;
                ~Sgancia() { w.InvioConcluso = nullptr; }
            } sgancia{w_};
            try {
                w_.AvviaStampa();
            } catch (...) {
                if (g.definitiva) Sblocca(g.idDb);
                throw;
            }
            if (g.definitiva) Sblocca(g.idDb);
            g.riepilogo.Aggiungi(ParteScritta(w_, g.definitiva));
            // Only completed files count: a kind that read rows and then
            // failed, or refused to split its file, wrote none.
            if (w_.obEstrFile && !w_.FileScritti().isEmpty()) g.scritto = true;
            if (w_.oiErrore > 0) g.fallito = true;
            if (w_.oiErrore < 0) {
                g.esito = EsitoElabDatiFat::Interrotto;
                g.fermata = true;
                for (int j = i + 1; j < g.tipi.size(); ++j)
                    g.riepilogo.Aggiungi({.nome = NomeParte(g.idAzienda, g.tipi[j]), .definitiva = g.definitiva});
            } else if (w_.oiErrore > 0 &&
                       frmMsgCom::msgCom(QStringLiteral("Proseguire l'elaborazione"), QStringLiteral("&Sì"),
                                         QStringLiteral("&no"), std::nullopt, std::nullopt, 80, 600, 0, 1) == 2) {
                g.esito = EsitoElabDatiFat::Interrotto;
            }
        }
        g.ChiudiDbAzienda();
        return true;
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e, {}, {}, kTitoloDatiFatXml);
        g.ChiudiDbAzienda();
        return false;
    }
}

// The one message of the end: never "done" for a run whose files failed.
EsitoElabDatiFat ElabDatiFat::Concludi(Giro& g) {
    if (!g.preparata) {
        frmMsgCom::msgCom(QStringLiteral("Non c'è nessun dato da trasmettere"));
        return EsitoElabDatiFat::NessunDato;
    }
    if (g.fermata) {
        // A stop says what each part has, and never that the run is done.
        frmMsgCom::msgCom(g.riepilogo.Testo(), QStringLiteral("&Ok"), std::nullopt, std::nullopt, kTitoloDatiFatXml);
        return EsitoElabDatiFat::Interrotto;
    }
    if (g.esito != EsitoElabDatiFat::Terminato) return g.esito;
    if (g.d.tipoElab != TipoElab::Stampa && !g.scritto) {
        // The failures were told as they came: neither "no data" nor "done".
        if (g.fallito) return EsitoElabDatiFat::Errore;
        frmMsgCom::msgCom(QStringLiteral("Nessuna azienda dell'intervallo ha dati da trasmettere: nessun file scritto"),
                          QStringLiteral("&Ok"), std::nullopt, std::nullopt, kTitoloDatiFatXml);
        return EsitoElabDatiFat::NessunDato;
    }
    if (g.fallito) return EsitoElabDatiFat::Errore;
    if (g.d.tipoElab == TipoElab::File)
        frmMsgCom::msgCom(QStringLiteral("Elaborazione terminata"), QStringLiteral("&Ok"), std::nullopt, std::nullopt,
                          g.o.titolo.isEmpty() ? kTitoloDatiFatXml : g.o.titolo);
    return EsitoElabDatiFat::Terminato;
}
