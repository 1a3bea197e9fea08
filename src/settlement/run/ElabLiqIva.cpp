#include "settlement/run/ElabLiqIva.h"

#include "common/FrmMsgCom.h"
#include "common/RiepilogoInterruzione.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClient.h"
#include "components/stampa/OpzSta.h"
#include "components/util/UtilGenerali.h"
#include "settlement/run/NomiFileLiqIva.h"
#include "settlement/run/StLiqIva.h"
#include "common/DbAzienda.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"

namespace {

// The print target that a run over several companies changes per company:
// the fixed-width target for route 3, the file for any other route.
QString NomeFileStampa(const OpzSta& o) { return o.oiStaVid == OpzSta::LarghezzaFissa ? o.FisFileName : o.FileName; }

void ImpNomeFileStampa(OpzSta& o, const QString& nome) {
    if (o.oiStaVid == OpzSta::LarghezzaFissa)
        o.FisFileName = nome;
    else if (o.oiStaVid == OpzSta::File)
        o.FileName = nome;
}

bool RottaSuFile(const OpzSta& o) { return o.oiStaVid == OpzSta::File || o.oiStaVid == OpzSta::LarghezzaFissa; }

QString NomeParte(const QString& idAzienda) { return QStringLiteral("Azienda ") + idAzienda; }

// What the writer's call left of its company.
RiepilogoInterruzione::Parte ParteScritta(const stLiqIva& w) {
    using Stato = RiepilogoInterruzione::Stato;
    RiepilogoInterruzione::Parte p{.nome = NomeParte(w.osIdAzienda)};
    const QString file = w.FileLasciato();
    if (!file.isEmpty()) p.file = QStringList{file};
    if (!w.obStampato)
        p.stato = Stato::NessunDato;
    else if (!w.ParteIniziata())
        p.stato = Stato::NonEseguito;
    else if (w.obEstrFile ? w.FileCompleto() : w.oiErrore >= 0)
        p.stato = Stato::Completo;
    else
        p.stato = Stato::Incompleto;
    return p;
}

int Messaggio(const QString& testo, const std::optional<QString>& titolo = std::nullopt) {
    return frmMsgCom::msgCom(testo, QStringLiteral("&Ok"), std::nullopt, std::nullopt, titolo);
}

}  // namespace

void EscludiRotteSuFile(OpzSta& opzioni) {
    opzioni.ModoEscluso(OpzSta::File, true);
    opzioni.ModoEscluso(OpzSta::LarghezzaFissa, true);
}

ElabLiqIva::ElabLiqIva() = default;
ElabLiqIva::~ElabLiqIva() = default;

stLiqIva& ElabLiqIva::ScrittoreCreato() {
    if (!scrittore_) scrittore_ = CreaScrittore ? CreaScrittore() : std::make_shared<stLiqIva>();
    return *scrittore_;
}

bool ElabLiqIva::StampaAttiva() const { return scrittore_ && scrittore_->obStaAtt; }

void ElabLiqIva::AzzeraParStLiqIva() {
    stLiqIva& w = ScrittoreCreato();
    w.osIdDbase.clear();
    w.osIdAzienda.clear();
    w.osNomeFile.clear();
    w.oiAnno = 0;
}

// What one run keeps from company to company.
struct ElabLiqIva::Giro {
    Giro(const ParametriLiqIva& parametri, stLiqIva& scrittore, OpzSta& opzioni)
        : par(parametri), w(scrittore), opz(opzioni) {}
    const ParametriLiqIva& par;
    stLiqIva& w;
    OpzSta& opz;
    GestRecordset rs;
    QString chiave;
    // The currency parameters of the menu's company, put back at the end.
    ParametriMoneta parAzienda;
    QString idCorrente;
    bool conAziende = false;
    long n = 0, i = 0;
    QString nomeStampaSalvato;
    // The company of the current row.
    QString azienda, idAzienda, idDb;
    bool propria = false;
    bool scritto = false;
    // What each company had when the user stopped the print; told in one message.
    RiepilogoInterruzione riepilogo;
    bool fermata = false;
    // Some company's file must not be sent, or could not be written.
    bool conErrori = false;
    // Some company's print was refused before its data were read.
    bool stampaRifiutata = false;

    // Puts back what a run changes in the program's shared state.
    void Rimetti() {
        w.concludiDocumento();
        if (RottaSuFile(opz) && n > 1) ImpNomeFileStampa(opz, nomeStampaSalvato);
        parAzienda.Rimetti();
    }
};

// The run, as its steps: the checks before anything is read, the companies
// of the range, each prepared (its database, currency and the writer's
// properties) and then written and printed; at the end the run's messages.
void ElabLiqIva::Esegui(const ParametriLiqIva& par) {
    if (!PreparaCorsa(par)) return;
    Giro g(par, *scrittore_, *ogOpzSta);
    if (!ApriAziende(g)) return;
    while (g.conAziende && !g.rs.FineRec(g.chiave)) {
        ++g.i;
        const Preparazione p = PreparaAzienda(g);
        if (p == Preparazione::Annullata) {
            g.w.ChiudiFile();
            g.rs.ChiudiRecordset(g.chiave);
            g.Rimetti();
            return;
        }
        if (p == Preparazione::Pronta) {
            const Seguito s = StampaAzienda(g);
            if (s == Seguito::Errore) {
                g.rs.ChiudiRecordset(g.chiave);
                g.w.ChiudiFile();
                g.Rimetti();
                return;
            }
            if (s == Seguito::Fine) break;
        }
        g.rs.RecSuccessivo(g.chiave);
    }
    Concludi(g);
}

// What is checked and reset before the company list is read. False when the
// run must not start (the reason has been told).
bool ElabLiqIva::PreparaCorsa(const ParametriLiqIva& par) {
    if (ctx().giStaAtt == 1) {
        Messaggio(QStringLiteral("Non è possibile lanciare più di una stampa alla volta"), kTitoloLiqIvaXml);
        return false;
    }
    if (ControllaDati && !ControllaDati()) return false;

    AzzeraParStLiqIva();
    if (!ogOpzSta) ogOpzSta = std::make_shared<OpzSta>();
    EscludiRotteSuFile(*ogOpzSta);
    if (par.tipoElab != 1 && ogOpzSta->ModoEscluso(ogOpzSta->oiStaVid)) {
        Messaggio(QStringLiteral("Il modello di liquidazione non può essere stampato su file.\r\n"
                                 "Scegliere la stampante o il video nelle opzioni di stampa."),
                  kTitoloLiqIvaXml);
        return false;
    }
    return true;
}

// The companies of the range, in the order of their codes; the print name
// saved before any company changes it. False after the error box.
bool ElabLiqIva::ApriAziende(Giro& g) {
    Contesto& c = ctx();
    const UtilGenerali& u = ggUtil();
    try {
        const QString sql = QStringLiteral("SELECT Aziende.* FROM Aziende WHERE Aziende.IdAzienda >= ") +
                            u.FormatoSql(g.par.aziendaDa, TipoDato::Testo) +
                            QStringLiteral(" AND Aziende.IdAzienda <= ") + u.FormatoSql(g.par.aziendaA, TipoDato::Testo) +
                            // In the order of the codes on either engine: a file walks the key's
                            // index, the server may give the rows as stored.
                            QStringLiteral(" ORDER BY Aziende.IdAzienda");
        g.chiave = g.rs.ApriRecordset(*c.ggGestDb, c.gsIdDbMenu, {}, sql, false, 2);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e, {}, {}, kTitoloLiqIvaXml);
        return false;
    }

    g.parAzienda = ParametriMoneta::Leggi();
    g.idCorrente = c.ggMenuClient->LeggiValoreSess(QStringLiteral("idazienda")).testo();
    if (!g.rs.RecVuoto(g.chiave)) {
        g.conAziende = true;
        g.rs.PrimoRec(g.chiave);
        g.n = g.rs.ContaRec(g.chiave);
        g.nomeStampaSalvato = NomeFileStampa(g.opz);
    }
    return true;
}

// The company of the current row: its database (the program's own for the
// menu's company), its currency, the writer's properties and the print name
// of this company. A failure asks whether to go on with the next company.
ElabLiqIva::Preparazione ElabLiqIva::PreparaAzienda(Giro& g) {
    Contesto& c = ctx();
    const UtilGenerali& u = ggUtil();
    const ParametriLiqIva& par = g.par;
    stLiqIva& w = g.w;
    g.azienda.clear();
    g.idAzienda.clear();
    g.idDb.clear();
    g.propria = false;
    try {
        g.azienda = g.rs.LeggiCampo(g.chiave, QStringLiteral("Azienda")).testo();
        const QString descrizione = g.rs.LeggiCampo(g.chiave, QStringLiteral("Descrizione")).testo();
        g.idAzienda = g.rs.LeggiCampo(g.chiave, QStringLiteral("IdAzienda")).testo();

        g.propria = g.idCorrente.compare(g.idAzienda, Qt::CaseInsensitive) == 0;
        if (g.propria) {
            g.idDb = c.gsIdDbase;
        } else {
            // A database that does not open is told once, by the question
            // whether to go on, with the reason the database layer gives.
            g.idDb = ApriDbAziendaDelGiro(g.rs, g.chiave, g.azienda);
        }
        if (!LeggiDefaultDitta(g.idDb))
            throw ErroreRun(NumErrore::ErroreSql, QStringLiteral("nella lettura dei dati della ditta"));

        w.osIdDbase = g.idDb;
        w.osIdAzienda = g.idAzienda;
        w.osDescAzie = descrizione;
        w.osNomeFile = par.nomeFile;
        if (g.n > 1 && !par.nomeFile.contains(kSegnapostoCodFisc, Qt::CaseInsensitive))
            w.osNomeFile = InserisciIdNelNome(par.nomeFile, g.idAzienda);
        if (RottaSuFile(g.opz) && g.n > 1 && !g.nomeStampaSalvato.endsWith(QLatin1Char(':')) &&
            !g.nomeStampaSalvato.startsWith(QLatin1String("\\\\")))
            ImpNomeFileStampa(g.opz, InserisciIdNelNome(g.nomeStampaSalvato, g.idAzienda));
        w.oiAnno = static_cast<int16_t>(u.ValoreNumerico(par.anno));
        w.osTitolo = kTitoloLiqIvaXml;
        w.oiUltimaDitta = g.i == g.n ? 1 : 0;
        w.oiNumCom = static_cast<int16_t>(u.ValoreNumerico(par.numero));
        w.obFileXml = !par.formatoTxt;
        w.obEstrFile = par.tipoElab != 2;
        w.obStampa = par.tipoElab != 1;
        return Preparazione::Pronta;
    } catch (const ErroreRun& e) {
        if (!g.propria && !g.idDb.isEmpty()) c.ggGestDb->ChiudiDatabase(g.idDb);
        const int r = frmMsgCom::msgCom(QStringLiteral("Errore ") + e.descrizione() +
                                            QStringLiteral(" per l'azienda ") + g.azienda +
                                            QStringLiteral(". Proseguo l'elaborazione ?"),
                                        QStringLiteral("&Ok"), QStringLiteral("&Annulla"), std::nullopt,
                                        kTitoloLiqIvaXml, 80, 600, 12, 1);
        g.conErrori = true;
        g.riepilogo.Aggiungi({.nome = NomeParte(g.idAzienda.isEmpty() ? g.azienda : g.idAzienda)});
        return r != 1 ? Preparazione::Annullata : Preparazione::Saltata;
    }
}

// The prepared company through the writer, then its database closed; the
// writer's outcome says whether the run goes on. A failure here ends the run
// after the error box.
ElabLiqIva::Seguito ElabLiqIva::StampaAzienda(Giro& g) {
    stLiqIva& w = g.w;
    try {
        w.ogOpzSta = ogOpzSta;
        if (w.obStampa && g.opz.oiStaVid == OpzSta::Video) obAnteprima = true;
        w.AvviaStampa();
        g.riepilogo.Aggiungi(ParteScritta(w));
        if (w.obStampato) g.scritto = true;
        if (w.oiErrore != 0) g.conErrori = true;
        if (w.obStampaRifiutata) g.stampaRifiutata = true;
        if (!g.propria) ctx().ggGestDb->ChiudiDatabase(g.idDb);
        if (w.oiErrore < 0) {
            g.fermata = true;
            // The companies the stop kept from their turn are told too.
            for (g.rs.RecSuccessivo(g.chiave); !g.rs.FineRec(g.chiave); g.rs.RecSuccessivo(g.chiave))
                g.riepilogo.Aggiungi({.nome = NomeParte(g.rs.LeggiCampo(g.chiave, QStringLiteral("IdAzienda")).testo())});
            return Seguito::Fine;
        }
        if (w.oiErrore > 0 &&
            frmMsgCom::msgCom(QStringLiteral("Proseguire l'elaborazione"), QStringLiteral("&Sì"),
                              QStringLiteral("&no")) != 1)
            return Seguito::Fine;
        return Seguito::Avanti;
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e, {}, {}, kTitoloLiqIvaXml);
        if (!g.propria) ctx().ggGestDb->ChiudiDatabase(g.idDb);
        return Seguito::Errore;
    }
}

// The end of a run that went through its list: one message for the outcome,
// the folder picked with "Cambia" kept, the shared state put back.
void ElabLiqIva::Concludi(Giro& g) {
    const ParametriLiqIva& par = g.par;
    g.rs.ChiudiRecordset(g.chiave);
    // A preview left open for a company that never came ends before the run's messages.
    g.w.concludiDocumento();

    // A stop says what each company has, and never that the run is done.
    if (g.fermata)
        Messaggio(g.riepilogo.Testo(), kTitoloLiqIvaXml);
    // Nothing written by any writer, also when every company was passed over;
    // a print refused before the data were read says so, not that there were none.
    else if (!g.scritto && g.stampaRifiutata)
        frmMsgCom::msgCom(par.tipoElab == 2
                              ? QStringLiteral("Stampa non eseguita: non è stato stampato nulla.")
                              : QStringLiteral("Stampa non eseguita: non è stato stampato nulla e nessun file è stato scritto."));
    else if (!g.scritto)
        frmMsgCom::msgCom(QStringLiteral("Non c'è nessun dato da trasmettere"));
    if (!par.cartellaScelta.trimmed().isEmpty())
        ScriviValIni(QStringLiteral("Base"), QStringLiteral("DirCaDi"), par.cartellaScelta.trimmed());
    // A run that left a file which must not be sent never looks done.
    if (par.tipoElab == 1 && g.scritto && !g.fermata)
        Messaggio(g.conErrori ? QStringLiteral("Elaborazione terminata con errori.")
                              : QStringLiteral("Elaborazione terminata"),
                  par.captionForm);
    g.Rimetti();
}
