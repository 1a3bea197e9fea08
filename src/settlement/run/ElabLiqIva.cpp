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

void ElabLiqIva::Esegui(const ParametriLiqIva& par) {
    Contesto& c = ctx();
    UtilGenerali& u = ggUtil();
    if (c.giStaAtt == 1) {
        Messaggio(QStringLiteral("Non è possibile lanciare più di una stampa alla volta"), kTitoloLiqIvaXml);
        return;
    }
    if (ControllaDati && !ControllaDati()) return;

    AzzeraParStLiqIva();
    stLiqIva& w = ScrittoreCreato();
    if (!ogOpzSta) ogOpzSta = std::make_shared<OpzSta>();
    EscludiRotteSuFile(*ogOpzSta);
    if (par.tipoElab != 1 && ogOpzSta->ModoEscluso(ogOpzSta->oiStaVid)) {
        Messaggio(QStringLiteral("Il modello di liquidazione non può essere stampato su file.\r\n"
                                 "Scegliere la stampante o il video nelle opzioni di stampa."),
                  kTitoloLiqIvaXml);
        return;
    }
    bool scritto = false;
    // What each company had when the user stopped the print; told in one message.
    RiepilogoInterruzione riepilogo;
    bool fermata = false;
    // Some company's file must not be sent, or could not be written.
    bool conErrori = false;
    // Some company's print was refused before its data were read.
    bool stampaRifiutata = false;

    GestRecordset rs;
    QString chiave;
    try {
        const QString sql = QStringLiteral("SELECT Aziende.* FROM Aziende WHERE Aziende.IdAzienda >= ") +
                            u.FormatoSql(par.aziendaDa, TipoDato::Testo) +
                            QStringLiteral(" AND Aziende.IdAzienda <= ") + u.FormatoSql(par.aziendaA, TipoDato::Testo) +
                            // In the order of the codes on either engine: a file walks the key's
                            // index, the server may give the rows as stored.
                            QStringLiteral(" ORDER BY Aziende.IdAzienda");
        chiave = rs.ApriRecordset(*c.ggGestDb, c.gsIdDbMenu, {}, sql, false, 2);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e, {}, {}, kTitoloLiqIvaXml);
        return;
    }

    const ParametriMoneta parAzienda = ParametriMoneta::Leggi();
    const QString idCorrente = c.ggMenuClient->LeggiValoreSess(QStringLiteral("idazienda")).testo();
    long n = 0;
    QString nomeStampaSalvato;
    // Puts back what a run changes in the program's shared state.
    auto rimetti = [&] {
        w.concludiDocumento();
        if (RottaSuFile(*ogOpzSta) && n > 1) ImpNomeFileStampa(*ogOpzSta, nomeStampaSalvato);
        parAzienda.Rimetti();
    };

    if (!rs.RecVuoto(chiave)) {
        rs.PrimoRec(chiave);
        n = rs.ContaRec(chiave);
        nomeStampaSalvato = NomeFileStampa(*ogOpzSta);
        long i = 0;
        while (!rs.FineRec(chiave)) {
            ++i;
            QString azienda, idAzienda, idDb;
            bool propria = false;
            try {
                azienda = rs.LeggiCampo(chiave, QStringLiteral("Azienda")).testo();
                const QString descrizione = rs.LeggiCampo(chiave, QStringLiteral("Descrizione")).testo();
                idAzienda = rs.LeggiCampo(chiave, QStringLiteral("IdAzienda")).testo();
                QString file = rs.LeggiCampo(chiave, QStringLiteral("File")).testo();
                PreparaNomeDB(file);

                propria = idCorrente.compare(idAzienda, Qt::CaseInsensitive) == 0;
                if (propria) {
                    idDb = c.gsIdDbase;
                } else {
                    const Valore accPwd = rs.LeggiCampo(chiave, QStringLiteral("AccPwd"));
                    const QString pwd =
                        u.EVuoto(accPwd, TipoDato::Testo)
                            ? QString()
                            : c.ggMenuClient->LeggiValoreSess(QStringLiteral("pwddbazie:") + azienda).testo();
                    const QString risposta = CredenzialiDb(*c.ggGestDb, file, pwd, c.gsConnect);
                    // The opening failure has been shown already; the question below
                    // lets the user pass over this company.
                    if (risposta.trimmed().isEmpty() ||
                        risposta.left(4).compare(QLatin1String("Err:"), Qt::CaseInsensitive) == 0)
                        throw ErroreRun(static_cast<long>(u.ValoreNumerico(risposta.mid(4))),
                                        QStringLiteral("nell'apertura del database ") + file);
                    idDb = risposta;
                }
                if (!LeggiDefaultDitta(idDb))
                    throw ErroreRun(NumErrore::ErroreSql, QStringLiteral("nella lettura dei dati della ditta"));

                w.osIdDbase = idDb;
                w.osIdAzienda = idAzienda;
                w.osDescAzie = descrizione;
                w.osNomeFile = par.nomeFile;
                if (n > 1 && !par.nomeFile.contains(kSegnapostoCodFisc, Qt::CaseInsensitive))
                    w.osNomeFile = InserisciIdNelNome(par.nomeFile, idAzienda);
                if (RottaSuFile(*ogOpzSta) && n > 1 &&
                    !nomeStampaSalvato.endsWith(QLatin1Char(':')) &&
                    !nomeStampaSalvato.startsWith(QLatin1String("\\\\")))
                    ImpNomeFileStampa(*ogOpzSta, InserisciIdNelNome(nomeStampaSalvato, idAzienda));
                w.oiAnno = static_cast<int16_t>(u.ValoreNumerico(par.anno));
                w.osTitolo = kTitoloLiqIvaXml;
                w.oiUltimaDitta = i == n ? 1 : 0;
                w.oiNumCom = static_cast<int16_t>(u.ValoreNumerico(par.numero));
                w.obFileXml = !par.formatoTxt;
                w.obEstrFile = par.tipoElab != 2;
                w.obStampa = par.tipoElab != 1;
            } catch (const ErroreRun& e) {
                if (!propria && !idDb.isEmpty()) c.ggGestDb->ChiudiDatabase(idDb);
                const int r = frmMsgCom::msgCom(QStringLiteral("Errore ") + e.descrizione() +
                                                    QStringLiteral(" per l'azienda ") + azienda +
                                                    QStringLiteral(". Proseguo l'elaborazione ?"),
                                                QStringLiteral("&Ok"), QStringLiteral("&Annulla"), std::nullopt,
                                                kTitoloLiqIvaXml, 80, 600, 12, 1);
                conErrori = true;
                riepilogo.Aggiungi({.nome = NomeParte(idAzienda.isEmpty() ? azienda : idAzienda)});
                if (r != 1) {
                    w.ChiudiFile();
                    rs.ChiudiRecordset(chiave);
                    rimetti();
                    return;
                }
                rs.RecSuccessivo(chiave);
                continue;
            }

            try {
                w.ogOpzSta = ogOpzSta;
                if (w.obStampa && ogOpzSta->oiStaVid == OpzSta::Video) obAnteprima = true;
                w.AvviaStampa();
                riepilogo.Aggiungi(ParteScritta(w));
                if (w.obStampato) scritto = true;
                if (w.oiErrore != 0) conErrori = true;
                if (w.obStampaRifiutata) stampaRifiutata = true;
                if (!propria) c.ggGestDb->ChiudiDatabase(idDb);
                if (w.oiErrore < 0) {
                    fermata = true;
                    // The companies the stop kept from their turn are told too.
                    for (rs.RecSuccessivo(chiave); !rs.FineRec(chiave); rs.RecSuccessivo(chiave))
                        riepilogo.Aggiungi({.nome = NomeParte(rs.LeggiCampo(chiave, QStringLiteral("IdAzienda")).testo())});
                    break;
                }
                if (w.oiErrore > 0 &&
                    frmMsgCom::msgCom(QStringLiteral("Proseguire l'elaborazione"), QStringLiteral("&Sì"),
                                      QStringLiteral("&no")) != 1)
                    break;
            } catch (const ErroreRun& e) {
                frmMsgCom::MsgErrfrm(e, {}, {}, kTitoloLiqIvaXml);
                if (!propria) c.ggGestDb->ChiudiDatabase(idDb);
                rs.ChiudiRecordset(chiave);
                w.ChiudiFile();
                rimetti();
                return;
            }
            rs.RecSuccessivo(chiave);
        }
    }
    rs.ChiudiRecordset(chiave);
    // A preview left open for a company that never came ends before the run's messages.
    w.concludiDocumento();

    // A stop says what each company has, and never that the run is done.
    if (fermata)
        Messaggio(riepilogo.Testo(), kTitoloLiqIvaXml);
    // Nothing written by any writer, also when every company was passed over;
    // a print refused before the data were read says so, not that there were none.
    else if (!scritto && stampaRifiutata)
        frmMsgCom::msgCom(par.tipoElab == 2
                              ? QStringLiteral("Stampa non eseguita: non è stato stampato nulla.")
                              : QStringLiteral("Stampa non eseguita: non è stato stampato nulla e nessun file è stato scritto."));
    else if (!scritto)
        frmMsgCom::msgCom(QStringLiteral("Non c'è nessun dato da trasmettere"));
    if (!par.cartellaScelta.trimmed().isEmpty())
        ScriviValIni(QStringLiteral("Base"), QStringLiteral("DirCaDi"), par.cartellaScelta.trimmed());
    // A run that left a file which must not be sent never looks done.
    if (par.tipoElab == 1 && scritto && !fermata)
        Messaggio(conErrori ? QStringLiteral("Elaborazione terminata con errori.")
                            : QStringLiteral("Elaborazione terminata"),
                  par.captionForm);
    rimetti();
}
