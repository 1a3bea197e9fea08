#include "invoicedata/run/CancDatiFat.h"

#include "common/FrmMsgCom.h"
#include "common/ScritturaXml.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "components/menu/MenuClient.h"
#include "invoicedata/file/FileDatiFat.h"
#include "invoicedata/file/RinomineDatiFat.h"
#include "invoicedata/run/LockDatiFat.h"
#include "invoicedata/run/RecuperoDatiFat.h"

namespace {

constexpr long kErroreSchema = 3316;

QString Testo(const QString& s) { return ggUtil().FormatoSql(s, TipoDato::Testo); }
QString Num(long n) { return ggUtil().FormatoSql(static_cast<qlonglong>(n), TipoDato::Lungo); }
long ValoreDi(const QString& s) { return static_cast<long>(ggUtil().ValoreNumerico(Valore(s.trimmed()))); }
bool Vuoto(const QString& s) { return ggUtil().EVuoto(Valore(s), TipoDato::Testo); }

void Messaggio(const QString& testo) { frmMsgCom::msgCom(testo); }
bool Conferma(const QString& testo) {
    return frmMsgCom::msgCom(testo, QStringLiteral("&Ok"), QStringLiteral("&Annulla"), std::nullopt, std::nullopt, 80,
                             600, 0, 2) == 1;
}

// The first value of a one-row query, as text.
Valore Primo(const QString& sql, const QString& colonna) {
    GestRecordset rs;
    const QString k = rs.ApriRecordset(*ctx().ggGestDb, ctx().gsIdDbase, {}, sql);
    const Valore v = rs.RecVuoto(k) ? Valore() : rs.LeggiCampo(k, colonna);
    rs.ChiudiRecordset(k);
    return v;
}

// Writes a whole cancellation file under its temporary name and checks it
// against both schemas; a file they refuse raises, keeping that name.
FileXmlDatiFat ScriviFile(const ArgomentiXmlDatiFat& a, const QString& idFile, long posizione) {
    FileXmlDatiFat f;
    ScritturaXml s;
    ApriXmlDatiFat(a, f, s);
    s.ImpostaLivello(1);
    s.Apri(QStringLiteral("ANN"));
    s.ScriviRigaXml(QStringLiteral("<IdFile>") + idFile + QStringLiteral("</IdFile>"));
    if (posizione > 0) s.ScriviRigaXml(QStringLiteral("<Posizione>") + QString::number(posizione) + QStringLiteral("</Posizione>"));
    s.Chiudi(QStringLiteral("ANN"));
    s.ImpostaLivello(0);
    s.ScriviRigaXml(QStringLiteral("</ns2:DatiFattura>"));
    s.Stacca();
    f.Chiudi();
    const QString errore = ControllaSchemiDatiFat(f);
    if (!errore.isEmpty())
        throw ErroreRun(kErroreSchema,
                        errore + QStringLiteral(": non deve essere inviato e resta con l'estensione \"") +
                            kSuffissoIncompleto + QStringLiteral("\". Nessuna registrazione è stata marcata."),
                        QStringLiteral("CancXml"));
    return f;
}

// The marks of a cancellation and the record of its rename commit together;
// the file takes its final name after, and the record goes. A file written
// again marks nothing, so it needs no record.
void ConfermaEDaiNome(GestoreDb& db, const QString& idDb, const FileXmlDatiFat& f, RinominaDatiFat r, bool marca) {
    r.provvisorio = f.provvisorio;
    r.definitivo = f.percorso;
    if (marca) RegistraRinomine(idDb, {r});
    db.ConfermaTransazione(idDb);
    if (!DaiNomeDefinitivo(r))
        throw ErroreRun(53, QStringLiteral("File %1 non trovato").arg(r.provvisorio), QStringLiteral("CancXml"));
    if (marca) CancellaRinomine(idDb, {r});
}

ArgomentiXmlDatiFat Argomenti(const DatiRunDatiFat& d, const OpzioniCancDatiFat& o, const QString& codInvio) {
    ArgomentiXmlDatiFat a;
    a.cartella = o.dirInvio;
    a.codFisc = o.codFiscDitta.trimmed();
    a.annoCom = static_cast<int>(ValoreDi(d.anno));
    a.numComun = static_cast<int>(ValoreDi(d.numero));
    a.codInvio = codInvio;
    a.cfDich = d.cfDichiarante;
    a.carica = d.caricaDichiarante;
    return a;
}

bool CancSingola(const DatiRunDatiFat& d, const OpzioniCancDatiFat& o, bool rielabora) {
    GestoreDb& db = *ctx().ggGestDb;
    const QString idDb = ctx().gsIdDbase;
    const QString comunicazione =
        QStringLiteral(" Where AnnoCom = ") + Num(ValoreDi(d.anno)) + QStringLiteral(" And NumCom = ") +
        Num(ValoreDi(d.numero));
    const QString registrazione = comunicazione + QStringLiteral(" And AnnoReg = ") + Num(ValoreDi(d.annoReg)) +
                                  QStringLiteral(" And NumReg = ") + Num(ValoreDi(d.numReg));
    // One row of the registration, the same every time: a row in the state
    // the operation works on (still sent for a cancellation, cancelled singly
    // to write one again) first, then the latest cancelled, clients before
    // suppliers.
    GestRecordset rs;
    const QString k = rs.ApriRecordset(
        db, idDb, {},
        QStringLiteral("Select * from DatiFatTest") + registrazione + QStringLiteral(" Order by CASE WHEN Stato = ") +
            Testo(rielabora ? QStringLiteral("E") : QStringLiteral("N")) +
            QStringLiteral(" THEN 0 ELSE 1 END, NumCanc DESC, Tipo"));
    if (rs.RecVuoto(k)) {
        rs.ChiudiRecordset(k);
        Messaggio(QStringLiteral("La registrazione non esiste fra quelle preparate per la comunicazione indicata"));
        return false;
    }
    const long numInv = static_cast<long>(ggUtil().ValoreNumerico(rs.LeggiCampo(k, QStringLiteral("NumInv"))));
    const long progr = static_cast<long>(ggUtil().ValoreNumerico(rs.LeggiCampo(k, QStringLiteral("Progr"))));
    const long numCancRiga = static_cast<long>(ggUtil().ValoreNumerico(rs.LeggiCampo(k, QStringLiteral("NumCanc"))));
    const QString stato = rs.LeggiCampo(k, QStringLiteral("Stato")).testo().toUpper();
    const QString tipo = rs.LeggiCampo(k, QStringLiteral("Tipo")).testo();
    rs.ChiudiRecordset(k);
    if (numInv == 0) {
        Messaggio(QStringLiteral("La registrazione non è ancora stata spedita"));
        return false;
    }
    if (stato == QLatin1String("C")) {
        Messaggio(QStringLiteral("La registrazione è stata cancellata con l'intero file"));
        return false;
    }
    if (rielabora && stato == QLatin1String("N")) {
        Messaggio(QStringLiteral("La registrazione non è ancora stata cancellata"));
        return false;
    }
    if (!rielabora && stato == QLatin1String("E")) {
        Messaggio(QStringLiteral("La registrazione risulta già cancellata"));
        return false;
    }
    // A registration kept both as a client's and a supplier's row is
    // withdrawn one row at a time: the question says which.
    QString domanda = QStringLiteral("Confermi cancellazione della singola registrazione");
    const long altre = static_cast<long>(ggUtil().ValoreNumerico(
        Primo(QStringLiteral("Select count(*) as tot from DatiFatTest") + registrazione +
                  QStringLiteral(" And Tipo <> ") + Testo(tipo),
              QStringLiteral("tot"))));
    if (altre > 0)
        domanda += tipo.compare(QLatin1String("E"), Qt::CaseInsensitive) == 0 ? QStringLiteral(" (cliente)")
                                                                             : QStringLiteral(" (fornitore)");
    if (!Conferma(domanda)) return false;

    CreaTabellaRinomine(idDb);
    db.IniziaTransazione(idDb);
    try {
        // Writing a cancellation again keeps its own number, hence its name.
        long numCanc = numCancRiga;
        if (!rielabora) {
            const long ultimo = static_cast<long>(ggUtil().ValoreNumerico(
                Primo(QStringLiteral("Select Max(NumCanc) as Ultimo from DatiFatTest") + comunicazione +
                          QStringLiteral(" And Stato = ") + Testo(QStringLiteral("E")),
                      QStringLiteral("Ultimo"))));
            numCanc = ultimo == 0 ? 10 : ultimo + 1;
        }
        if (numCanc > kMaxNumCanc) {
            db.AnnullaTransazione(idDb);
            Messaggio(QStringLiteral("Il numero di cancellazione ") + QString::number(numCanc) +
                      QStringLiteral(" supera il massimo di ") + QString::number(kMaxNumCanc) +
                      QStringLiteral(" che il nome del file può contenere: cancellazione non eseguita"));
            return false;
        }
        const FileXmlDatiFat f = ScriviFile(Argomenti(d, o, QStringLiteral("%1").arg(numCanc, 2, 10, QLatin1Char('0'))),
                                            d.identificativo.trimmed(), progr);
        if (!rielabora) {
            const QString chiave = registrazione + QStringLiteral(" And NumCanc = 0 And Tipo = ") + Testo(tipo) +
                                   QStringLiteral(" And Stato = ") + Testo(QStringLiteral("N"));
            for (const char* tabella : {"DatiFatDett", "DatiFatTest"})
                db.EseguiSql(idDb, QStringLiteral("Update ") + QLatin1String(tabella) + QStringLiteral(" set Stato = ") +
                                       Testo(QStringLiteral("E")) + QStringLiteral(", NumCanc = ") + Num(numCanc) +
                                       chiave);
        }
        ConfermaEDaiNome(db, idDb, f,
                         {.operazione = OperazioneRinomina::CancSingola,
                          .annoCom = static_cast<int>(ValoreDi(d.anno)),
                          .numCom = static_cast<int>(ValoreDi(d.numero)),
                          .tipo = tipo,
                          .numero = static_cast<int>(numCanc),
                          .annoReg = static_cast<int>(ValoreDi(d.annoReg)),
                          .numReg = ValoreDi(d.numReg)},
                         !rielabora);
    } catch (...) {
        db.AnnullaTransazione(idDb);
        throw;
    }
    return true;
}

bool CancInvio(const DatiRunDatiFat& d, const OpzioniCancDatiFat& o, bool rielabora) {
    // One identifier names one sent file, and a file holds one kind.
    if (d.clienti == d.fornitori) {
        Messaggio(QStringLiteral("Per cancellare un intero invio indicare un solo tipo, clienti o fornitori: "
                                 "ogni file inviato ha il suo identificativo"));
        return false;
    }
    GestoreDb& db = *ctx().ggGestDb;
    const QString idDb = ctx().gsIdDbase;
    const QString tipo = d.clienti ? QStringLiteral("E") : QStringLiteral("R");
    const long n = ValoreDi(d.invioCanc);
    const QString baseFile = d.baseFile.trimmed();
    // A send written as one file has no file mark. The mark's column compares
    // case-sensitively on either engine, the user's text never does.
    const QString nomeFile = baseFile.isEmpty()
                                 ? QStringLiteral(" And (NomeFile IS NULL OR NomeFile = '')")
                                 : QStringLiteral(" And UPPER(NomeFile) = ") + Testo(baseFile.toUpper());
    const QString invio = QStringLiteral(" Where AnnoCom = ") + Num(ValoreDi(d.anno)) + QStringLiteral(" And NumCom = ") +
                          Num(ValoreDi(d.numero)) + QStringLiteral(" And NumInv = ") + Num(n) + nomeFile +
                          QStringLiteral(" And Tipo = ") + Testo(tipo);
    const long tot = static_cast<long>(ggUtil().ValoreNumerico(
        Primo(QStringLiteral("Select count(*) as tot from DatiFatTest") + invio + QStringLiteral(" And Stato = ") +
                  Testo(rielabora ? QStringLiteral("C") : QStringLiteral("N")),
              QStringLiteral("tot"))));
    if (tot == 0) {
        Messaggio(QStringLiteral("Non esiste nessun dato fattura con questo numero invio da cancellare"));
        return false;
    }
    QString domanda = QStringLiteral("Confermi cancellazione");
    if (baseFile.isEmpty())
        domanda += d.clienti ? QStringLiteral(" del solo file clienti") : QStringLiteral(" del solo file fornitori");
    if (!Conferma(domanda)) return false;

    ArgomentiXmlDatiFat a = Argomenti(d, o, (d.clienti ? QStringLiteral("C") : QStringLiteral("F")) + QString::number(n));
    if (!baseFile.isEmpty()) {
        a.molteFile = true;
        a.contaFile = baseFile.back().toUpper().unicode() - QLatin1Char('A').unicode();
    }
    CreaTabellaRinomine(idDb);
    db.IniziaTransazione(idDb);
    try {
        const FileXmlDatiFat f = ScriviFile(a, d.identificativo.trimmed(), 0);
        if (!rielabora) {
            db.EseguiSql(idDb, QStringLiteral("Update DatiFatTest set Stato = ") + Testo(QStringLiteral("C")) +
                                   QStringLiteral(", NumCanc = ") + Num(n) + invio + QStringLiteral(" And Stato = ") +
                                   Testo(QStringLiteral("N")));
            db.EseguiSql(
                idDb,
                QStringLiteral("Update DatiFatDett set Stato = ") + Testo(QStringLiteral("C")) +
                    QStringLiteral(", NumCanc = ") + Num(n) + QStringLiteral(" Where AnnoCom = ") +
                    Num(ValoreDi(d.anno)) + QStringLiteral(" And NumCom = ") + Num(ValoreDi(d.numero)) +
                    QStringLiteral(" And NumCanc = 0 And Tipo = ") + Testo(tipo) +
                    QStringLiteral(" And exists(Select AnnoCom from DatiFatTest"
                                   " Where DatiFatTest.AnnoCom = DatiFatDett.AnnoCom"
                                   " AND DatiFatTest.NumCom = DatiFatDett.NumCom"
                                   " AND DatiFatTest.AnnoReg = DatiFatDett.AnnoReg"
                                   " AND DatiFatTest.NumReg = DatiFatDett.NumReg"
                                   " AND DatiFatTest.Tipo = DatiFatDett.Tipo AND DatiFatTest.NumCanc = ") +
                    Num(n) + QStringLiteral(" AND DatiFatTest.Stato = ") + Testo(QStringLiteral("C")) +
                    QStringLiteral(")"));
        }
        ConfermaEDaiNome(db, idDb, f,
                         {.operazione = OperazioneRinomina::CancInvio,
                          .annoCom = static_cast<int>(ValoreDi(d.anno)),
                          .numCom = static_cast<int>(ValoreDi(d.numero)),
                          .tipo = tipo,
                          .numero = static_cast<int>(n),
                          .nomeFile = baseFile},
                         !rielabora);
    } catch (...) {
        db.AnnullaTransazione(idDb);
        throw;
    }
    return true;
}

}  // namespace

bool CancXml(const DatiRunDatiFat& d, const OpzioniCancDatiFat& o) {
    const bool rielabora = d.tipoSta == TipoSta::Rielabora;
    // No definitive run may number or mark the company's rows meanwhile.
    Contesto& c = ctx();
    const QString idAzienda = c.ggMenuClient->LeggiValoreSess(QStringLiteral("idazienda")).testo();
    const QString tipo = d.clienti ? QStringLiteral("E") : QStringLiteral("R");
    const int anno = static_cast<int>(ValoreDi(d.anno)), numCom = static_cast<int>(ValoreDi(d.numero));
    // What a run stopped after its commit left is put right first.
    if (!RecuperaInviiSospesi(c.gsIdDbase, idAzienda)) return false;
    LockDatiFat lock([&o] { return o.dirInvio; });
    // The lock row says what is withdrawn, so that a reset of it can tell
    // whether the cancellation had completed.
    const CancBloccata canc =
        Vuoto(d.annoReg) ? CancBloccata{.operazione = OperazioneRinomina::CancInvio,
                                        .numInvio = static_cast<int>(ValoreDi(d.invioCanc)),
                                        .nomeFile = d.baseFile.trimmed()}
                         : CancBloccata{.operazione = OperazioneRinomina::CancSingola,
                                        .annoReg = static_cast<int>(ValoreDi(d.annoReg)),
                                        .numReg = ValoreDi(d.numReg)};
    if (!lock.LockCanc(c.gsIdDbase, tipo, anno, numCom, idAzienda, canc)) return false;
    bool esito = false;
    try {
        esito = Vuoto(d.annoReg) ? CancInvio(d, o, rielabora) : CancSingola(d, o, rielabora);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
    try {
        lock.SbloccaElab(c.gsIdDbase, 0, tipo, anno, numCom, 0);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
    return esito;
}
