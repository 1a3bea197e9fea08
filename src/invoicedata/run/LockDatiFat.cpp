#include "invoicedata/run/LockDatiFat.h"

#include "common/Dichiarante.h"
#include "common/FrmMsgCom.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClient.h"
#include "components/util/Percorsi.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "invoicedata/file/FileDatiFat.h"
#include "invoicedata/run/DbAltraAzienda.h"
#include "invoicedata/run/RecuperoDatiFat.h"

#include <QDir>
#include <QFile>
#include <QList>

namespace {

QString Testo(const QString& s) { return ggUtil().FormatoSql(s, TipoDato::Testo); }
QString Numero(long n) { return ggUtil().FormatoSql(static_cast<qlonglong>(n), TipoDato::Lungo); }

QString NomeTerminale() { return ctx().ggMenuClient->NomeTerminale(); }
QString AziendaCorrente() { return ctx().ggMenuClient->LeggiValoreSess(QStringLiteral("idazienda")).testo(); }

bool Uguali(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The databases a call opened itself, closed once by every way out; the
// caller's and the current company's are never among them.
class DbAperti {
public:
    ~DbAperti() {
        for (const QString& id : ids_) {
            try {
                ctx().ggGestDb->ChiudiDatabase(id);
            } catch (const ErroreRun&) {
                // Nothing was written through this id that a close could lose.
            }
        }
    }
    void Aggiungi(const QString& id) {
        if (!ids_.contains(id)) ids_.append(id);
    }

private:
    QList<QString> ids_;
};

void NonDisponibile(const QString& idAzienda) {
    frmMsgCom::msgCom(QStringLiteral("L'azienda con id ") + idAzienda + QStringLiteral("Non è più disponibile"));
}

// The database of a company for this call: the current one, the caller's,
// or one opened here; "" when it no longer opens (already said).
QString DbDellAzienda(const QString& idAzienda, const QString& idDbChiamante, const QString& idAziendaChiamante,
                      DbAperti& aperti) {
    if (Uguali(idAzienda, AziendaCorrente())) return ctx().gsIdDbase;
    if (!idDbChiamante.isEmpty() && Uguali(idAzienda, idAziendaChiamante)) return idDbChiamante;
    QString id;
    if (!ApriAltroDb(id, idAzienda)) {
        NonDisponibile(idAzienda);
        return {};
    }
    aperti.Aggiungi(id);
    return id;
}

struct LockTrovato {
    QString idAzienda, terminale, tipo;
    int anno = 0, numCom = 0, numInvio = 0;
    // The folder of the run's files as its terminal wrote it, and for a
    // cancellation what it withdraws (CancBloccata); all empty in a row of
    // an older version.
    QString cartella{}, canc{}, oggetto{};
    bool operator==(const LockTrovato&) const = default;
};

// A cancellation holds the lock without a send number; a definitive send
// always has one.
bool Annullamento(const LockTrovato& l) { return l.numInvio == 0 || !l.canc.isEmpty(); }

std::optional<LockTrovato> LeggiLock() {
    Contesto& c = ctx();
    GestRecordset rs;
    const QString k = rs.ApriRecordset(*c.ggGestDb, c.gsIdDbMenu, {},
                                       QStringLiteral("Select * from Appoggio Where Codice = ") +
                                           Testo(kCodiceLockDatiFat));
    std::optional<LockTrovato> r;
    if (!rs.RecVuoto(k)) {
        auto campo = [&](const char* nome) { return rs.LeggiCampo(k, QLatin1String(nome)); };
        r = LockTrovato{campo("Descr1").testo(),
                        campo("Descr2").testo(),
                        campo("Descr3").testo(),
                        static_cast<int>(ggUtil().ValoreNumerico(campo("Long1"))),
                        static_cast<int>(ggUtil().ValoreNumerico(campo("Long2"))),
                        static_cast<int>(ggUtil().ValoreNumerico(campo("Long3"))),
                        campo("Memo1").testo(),
                        campo("Descr4").testo(),
                        campo("Descr5").testo()};
    }
    rs.ChiudiRecordset(k);
    return r;
}

QString MessaggioLock(const LockTrovato& l) {
    QString m = Annullamento(l) ? QStringLiteral("Annullamento in corso") : QStringLiteral("Estrazione XML in corso");
    if (!Uguali(l.terminale, NomeTerminale())) m += QStringLiteral(" sul terminale ") + l.terminale;
    m += QStringLiteral(" per l'azienda ") + l.idAzienda + QStringLiteral("\r\n") + QStringLiteral(" Per l'anno ") +
         QStringLiteral("%1").arg(l.anno, 4, 10, QLatin1Char('0')) + QStringLiteral(", comunicato ") +
         QString::number(l.numCom) +
         (Uguali(l.tipo, QStringLiteral("E")) ? QStringLiteral(", Fatture emesse a clienti")
                                              : QStringLiteral(", Fatture emesse a fornitori"));
    return m;
}

// The insert lost the race: the row read after it names the run holding the lock.
void LockNonRiuscito() {
    QString testo = QStringLiteral("Non è riuscito il lock dell'elaborazione");
    try {
        if (const std::optional<LockTrovato> l = LeggiLock()) testo += QStringLiteral(":\r\n") + MessaggioLock(*l);
    } catch (const ErroreRun&) {
        // The refusal is told all the same, without the holder.
    }
    frmMsgCom::msgCom(testo);
}

// The lock row exactly as found: a row taken meanwhile by another run is
// not deleted in its place.
void CancellaLockTrovato(const LockTrovato& l) {
    ctx().ggGestDb->EseguiSql(
        ctx().gsIdDbMenu,
        QStringLiteral("Delete from Appoggio Where Codice = ") + Testo(kCodiceLockDatiFat) +
            QStringLiteral(" And Descr1 = ") + Testo(l.idAzienda) + QStringLiteral(" And Descr2 = ") +
            Testo(l.terminale) + QStringLiteral(" And Descr3 = ") + Testo(l.tipo) + QStringLiteral(" And Long1 = ") +
            Numero(l.anno) + QStringLiteral(" And Long2 = ") + Numero(l.numCom) + QStringLiteral(" And Long3 = ") +
            Numero(l.numInvio));
}

// The lock row, inserted only while no lock row exists; the rows inserted.
// Its free columns keep the folder and what a cancellation withdraws.
long InserisciLock(const QString& idAzienda, const QString& tipo, int anno, int numCom, int numInvio,
                   const QString& cartella, const QString& canc = {}, const QString& oggetto = {}) {
    Contesto& c = ctx();
    c.ggGestDb->EseguiSql(
        c.gsIdDbMenu,
        QStringLiteral("INSERT INTO Appoggio (Codice, Descr1, Descr2, Descr3, Long1, Long2, Long3, Memo1, Descr4, "
                       "Descr5) SELECT ") +
            Testo(kCodiceLockDatiFat) + QStringLiteral(", ") + Testo(idAzienda) + QStringLiteral(", ") +
            Testo(NomeTerminale()) + QStringLiteral(", ") + Testo(tipo) + QStringLiteral(", ") + Numero(anno) +
            QStringLiteral(", ") + Numero(numCom) + QStringLiteral(", ") + Numero(numInvio) + QStringLiteral(", ") +
            Testo(cartella) + QStringLiteral(", ") + Testo(canc) + QStringLiteral(", ") + Testo(oggetto) +
            QStringLiteral(" WHERE NOT EXISTS (Select 1 from Appoggio Where Codice = ") + Testo(kCodiceLockDatiFat) +
            QStringLiteral(")"));
    return c.ggGestDb->DatabaseDaId(c.gsIdDbMenu)->RecordsAffected();
}


// The progressives of the files of a send as its registrations keep them
// (a split send), else the one file's; empty when no registration is marked
// with the send.
QStringList ProgressiviDellInvio(const LockTrovato& l, const QString& idDb) {
    GestRecordset rs;
    const QString k = rs.ApriRecordset(
        *ctx().ggGestDb, idDb, {},
        QStringLiteral("Select Distinct NomeFile from DatiFatTest Where AnnoCom = ") + Numero(l.anno) +
            QStringLiteral(" And NumCom = ") + Numero(l.numCom) + QStringLiteral(" And Tipo = ") + Testo(l.tipo) +
            QStringLiteral(" And NumInv = ") + Numero(l.numInvio) + QStringLiteral(" Order By NomeFile"));
    QStringList progressivi;
    bool marcato = false;
    for (; !rs.FineRec(k); rs.RecSuccessivo(k)) {
        marcato = true;
        const QString p = rs.LeggiCampo(k, QStringLiteral("NomeFile")).testo().trimmed();
        if (!p.isEmpty()) progressivi << p;
    }
    rs.ChiudiRecordset(k);
    if (marcato && progressivi.isEmpty())
        progressivi << ProgressivoDatiFat({.annoCom = l.anno,
                                           .numComun = l.numCom,
                                           .codInvio = l.tipo.toUpper() + QString::number(l.numInvio)});
    return progressivi;
}

// Where the final files of a run left behind are looked for: the folder its
// row names, as its terminal wrote it, then this form's. A row without a
// folder (an older version's) or naming this form's folder looks in this
// form's only; the sender is named whenever its row says where it wrote.
struct CartelleLock {
    QString mittente, propria;
    QString origine;  // " (terminale T, cartella F)" or ""
};

QString CartellaLocale(const QString& cartella) { return QDir::cleanPath(PercorsoLocale(cartella.trimmed())); }

CartelleLock CartelleDelLock(const LockTrovato& l, const QString& propria) {
    CartelleLock c{{}, propria.trimmed().isEmpty() ? QString() : propria, {}};
    if (l.cartella.trimmed().isEmpty()) return c;
    const bool stessa = !c.propria.isEmpty() && CartellaLocale(l.cartella) == CartellaLocale(c.propria);
    if (!stessa) c.mittente = l.cartella;
    if (!stessa || !Uguali(l.terminale, NomeTerminale()))
        c.origine = QStringLiteral(" (terminale ") + l.terminale + QStringLiteral(", cartella ") + l.cartella +
                    QStringLiteral(")");
    return c;
}

// The local path of a final file, in the first folder that holds it; "" when
// none does.
QString TrovaFile(const CartelleLock& c, const QString& codFisc, const QString& progressivo) {
    for (const QString& cartella : {c.mittente, c.propria}) {
        if (cartella.isEmpty()) continue;
        const QString f = PercorsoLocale(NomeDatiFat(cartella, codFisc, progressivo));
        if (QFile::exists(f)) return f;
    }
    return {};
}

// ", ma il file ... non è ...: non è stato cambiato nulla." and what to do.
QString FileMancante(const CartelleLock& c, const QString& codFisc, const QString& progressivo) {
    QString dove;
    if (c.mittente.isEmpty())
        dove = PercorsoLocale(NomeDatiFat(c.propria, codFisc, progressivo)) + QStringLiteral(" non è nella cartella");
    else
        dove = PrefissoDatiFat(codFisc) + progressivo + QStringLiteral(".xml") +
               (c.propria.isEmpty() ? QStringLiteral(" non è in quella cartella")
                                    : QStringLiteral(" non è né in quella cartella né in ") + c.propria);
    return QStringLiteral(", ma il file ") + dove +
           QStringLiteral(": non è stato cambiato nulla.\r\nRimettere il file nella cartella, o sceglierne un'altra "
                          "con \"Cambia\", e azzerare di nuovo.");
}

QString CodFiscDitta(const QString& idDb) {
    RecDichiarante ditta;
    CaricaDichiarante(ditta, idDb, true);
    return ditta.CodiceFiscale.trimmed();
}

// "Azzera elab. prec." on a lock row whose run may have committed its send:
// a marked send is never zeroed. True when the lock row went (the check
// starts over), false when nothing was changed (the user was told).
bool SoloLockInvio(const LockTrovato& l, const QString& idDb, const QString& propria) {
    const QStringList progressivi = ProgressiviDellInvio(l, idDb);
    if (progressivi.isEmpty()) {
        // Nothing marked: the run stopped before its commit, nothing to undo.
        CancellaLockTrovato(l);
        return true;
    }
    const CartelleLock cartelle = CartelleDelLock(l, propria);
    const QString invio = DescrizioneInvio(l.numInvio, l.anno, l.numCom, l.tipo) +
                          QStringLiteral(" dell'azienda ") + l.idAzienda + cartelle.origine;
    if (cartelle.mittente.isEmpty() && cartelle.propria.isEmpty()) {
        frmMsgCom::msgCom(invio + QStringLiteral(" è marcato come inviato, ma la cartella dei file non è indicata: "
                                                 "non è stato cambiato nulla."));
        return false;
    }
    const QString codFisc = CodFiscDitta(idDb);
    QStringList file;
    for (const QString& p : progressivi) {
        file << TrovaFile(cartelle, codFisc, p);
        if (!file.last().isEmpty()) continue;
        frmMsgCom::msgCom(invio + QStringLiteral(" è marcato come inviato") + FileMancante(cartelle, codFisc, p));
        return false;
    }
    CancellaLockTrovato(l);
    frmMsgCom::msgCom(invio + QStringLiteral(", file ") + file.join(QStringLiteral(", ")) +
                      QStringLiteral(", è completo e resta valido: è stato tolto solo il blocco dell'elaborazione."));
    return true;
}

// What a cancellation's row withdraws, as the company's rows stand now: its
// description, whether its marks are in place, and its file's progressive.
struct StatoCanc {
    QString descrizione;
    bool marcata = false;
    QString progressivo;
};

StatoCanc StatoCancellazione(const LockTrovato& l, const QString& idDb) {
    StatoCanc s;
    const QString comunicazione = QStringLiteral(" from DatiFatTest Where AnnoCom = ") + Numero(l.anno) +
                                  QStringLiteral(" And NumCom = ") + Numero(l.numCom);
    GestRecordset rs;
    if (l.canc.compare(QLatin1String("E"), Qt::CaseInsensitive) == 0) {
        const int annoReg = l.oggetto.section(QLatin1Char('/'), 0, 0).toInt();
        const long numReg = l.oggetto.section(QLatin1Char('/'), 1, 1).toLong();
        // The row the cancellation chose: the normal one before the
        // cancelled ones, clients before suppliers.
        const QString k = rs.ApriRecordset(
            *ctx().ggGestDb, idDb, {},
            QStringLiteral("Select Stato, NumCanc, Tipo") + comunicazione + QStringLiteral(" And AnnoReg = ") +
                Numero(annoReg) + QStringLiteral(" And NumReg = ") + Numero(numReg) +
                QStringLiteral(" Order by CASE WHEN Stato = 'N' THEN 0 ELSE 1 END, NumCanc DESC, Tipo"));
        QString tipo = l.tipo;
        if (!rs.RecVuoto(k)) {
            tipo = rs.LeggiCampo(k, QStringLiteral("Tipo")).testo();
            s.marcata = rs.LeggiCampo(k, QStringLiteral("Stato")).testo().toUpper() == QLatin1String("E");
            const int numCanc =
                static_cast<int>(ggUtil().ValoreNumerico(rs.LeggiCampo(k, QStringLiteral("NumCanc"))));
            s.progressivo = ProgressivoDatiFat({.annoCom = l.anno,
                                                .numComun = l.numCom,
                                                .codInvio = QStringLiteral("%1").arg(numCanc, 2, 10, QLatin1Char('0'))});
        }
        rs.ChiudiRecordset(k);
        s.descrizione = QStringLiteral("La cancellazione della registrazione %1/%2").arg(annoReg).arg(numReg) +
                        DescrizioneComunicazione(l.anno, l.numCom, tipo);
        return s;
    }
    const int numInvio = l.oggetto.section(QLatin1Char('/'), 0, 0).toInt();
    const QString nomeFile = l.oggetto.section(QLatin1Char('/'), 1).trimmed().toUpper();
    const QString k = rs.ApriRecordset(
        *ctx().ggGestDb, idDb, {},
        QStringLiteral("Select Sum(CASE WHEN Stato = 'N' THEN 1 ELSE 0 END) as Normali, Sum(CASE WHEN Stato = 'C' "
                       "And NumCanc = ") +
            Numero(numInvio) + QStringLiteral(" THEN 1 ELSE 0 END) as Cancellate") + comunicazione +
            QStringLiteral(" And NumInv = ") + Numero(numInvio) + QStringLiteral(" And Tipo = ") + Testo(l.tipo) +
            (nomeFile.isEmpty() ? QStringLiteral(" And (NomeFile IS NULL OR NomeFile = '')")
                                : QStringLiteral(" And UPPER(NomeFile) = ") + Testo(nomeFile)));
    const auto conta = [&](const char* c) {
        return static_cast<long>(ggUtil().ValoreNumerico(rs.LeggiCampo(k, QLatin1String(c))));
    };
    s.marcata = conta("Normali") == 0 && conta("Cancellate") > 0;
    rs.ChiudiRecordset(k);
    ArgomentiXmlDatiFat a{.annoCom = l.anno,
                          .numComun = l.numCom,
                          .codInvio = (Uguali(l.tipo, QStringLiteral("E")) ? QStringLiteral("C") : QStringLiteral("F")) +
                                      QString::number(numInvio)};
    if (!nomeFile.isEmpty()) {
        a.molteFile = true;
        a.contaFile = nomeFile.back().unicode() - QLatin1Char('A').unicode();
    }
    s.progressivo = ProgressivoDatiFat(a);
    s.descrizione = QStringLiteral("La cancellazione dell'invio %1").arg(numInvio) +
                    DescrizioneComunicazione(l.anno, l.numCom, l.tipo);
    return s;
}

// "Azzera elab. prec." on a cancellation's lock row: its marks and its file
// are kept either way, and the user is told whether it had completed. A
// row of an older version does not say what it withdrew: it just goes.
bool SoloLockCanc(const LockTrovato& l, const QString& idDb, const QString& propria) {
    if (!Uguali(l.canc, QStringLiteral("E")) && !Uguali(l.canc, QStringLiteral("C"))) {
        CancellaLockTrovato(l);
        return true;
    }
    const StatoCanc s = StatoCancellazione(l, idDb);
    const CartelleLock cartelle = CartelleDelLock(l, propria);
    const QString canc = s.descrizione + QStringLiteral(" dell'azienda ") + l.idAzienda + cartelle.origine;
    if (!s.marcata) {
        // Its marks commit with its file's record: none, so it never got there.
        CancellaLockTrovato(l);
        frmMsgCom::msgCom(canc + QStringLiteral(" non era stata completata: nessuna registrazione è stata marcata come "
                                                "cancellata e il suo file non va inviato. È stato tolto il blocco "
                                                "dell'elaborazione."));
        return true;
    }
    if (cartelle.mittente.isEmpty() && cartelle.propria.isEmpty()) {
        frmMsgCom::msgCom(canc + QStringLiteral(" è marcata come eseguita, ma la cartella dei file non è indicata: "
                                                "non è stato cambiato nulla."));
        return false;
    }
    const QString codFisc = CodFiscDitta(idDb);
    const QString file = TrovaFile(cartelle, codFisc, s.progressivo);
    if (file.isEmpty()) {
        frmMsgCom::msgCom(canc + QStringLiteral(" è marcata come eseguita") + FileMancante(cartelle, codFisc, s.progressivo));
        return false;
    }
    CancellaLockTrovato(l);
    frmMsgCom::msgCom(canc + QStringLiteral(", file ") + file +
                      QStringLiteral(", è completa e resta valida: le registrazioni restano marcate come cancellate ed "
                                     "è stato tolto solo il blocco dell'elaborazione."));
    return true;
}

bool SoloLock(const LockTrovato& l, const QString& idDb, const QString& cartella) {
    return Annullamento(l) ? SoloLockCanc(l, idDb, cartella) : SoloLockInvio(l, idDb, cartella);
}

}  // namespace

bool LockDatiFat::LockElab(const QString& psIdDbase, bool pbSoloVer, const QString& psTipoElab, int piAnno,
                           int piNumCom, int& piNumInvio, const QString& psIdAzienda) {
    Contesto& c = ctx();
    DbAperti aperti;
    try {
        for (;;) {
            const std::optional<LockTrovato> l = LeggiLock();
            if (!l) break;
            const int r = frmMsgCom::msgCom(MessaggioLock(*l), QStringLiteral("Azzera &elab. prec."),
                                            QStringLiteral("&Riprova"), QStringLiteral("&Annulla"), std::nullopt, 80,
                                            600, 0, 3);
            // A box closed from its frame gives up like "&Annulla": looking
            // again without end would leave the user no way out.
            if (r == 3 || r == 0) return false;
            if (r != 1) continue;
            // Another terminal's run may still be going: undoing it takes its
            // send numbers from under it, so the user confirms knowing that.
            if (!Uguali(l->terminale, NomeTerminale()) &&
                frmMsgCom::msgCom(QStringLiteral("L'elaborazione è del terminale ") + l->terminale +
                                      QStringLiteral(" e potrebbe essere ancora in corso: azzerarla comunque ?"),
                                  QStringLiteral("&Ok"), QStringLiteral("&annulla"), std::nullopt, std::nullopt, 80,
                                  600, 0, 2) != 1)
                continue;
            const QString idDb = DbDellAzienda(l->idAzienda, psIdDbase, psIdAzienda, aperti);
            if (idDb.isEmpty()) return false;
            // A send stopped between its commit and its final names is
            // completed or undone first, its lock row with it.
            if (!RecuperaInviiSospesi(idDb, l->idAzienda, true)) return false;
            if (LeggiLock() != l) continue;
            if (!SoloLock(*l, idDb, cartella())) return false;
        }
        if (pbSoloVer) return true;

        const QString idDb = DbDellAzienda(psIdAzienda, psIdDbase, psIdAzienda, aperti);
        if (idDb.isEmpty()) return false;

        // The number and the lock row in one write transaction of the shared
        // database: an insert that finds a lock row inserts nothing.
        c.ggGestDb->IniziaTransazione(c.gsIdDbMenu);
        int numInvio = 0;
        long inseriti = 0;
        try {
            GestRecordset rs;
            const QString k = rs.ApriRecordset(
                *c.ggGestDb, idDb, {},
                QStringLiteral("Select max(NumInv) as UltNum from DatiFatTest Where AnnoCom = ") + Numero(piAnno) +
                    QStringLiteral(" And NumCom = ") + Numero(piNumCom) + QStringLiteral(" And Tipo = ") +
                    Testo(psTipoElab));
            numInvio = static_cast<int>(ggUtil().ValoreNumerico(rs.LeggiCampo(k, QStringLiteral("UltNum")))) + 1;
            rs.ChiudiRecordset(k);
            if (numInvio <= kMaxNumInvio) {
                inseriti = InserisciLock(psIdAzienda, psTipoElab, piAnno, piNumCom, numInvio,
                                         cartella());
            }
            c.ggGestDb->ConfermaTransazione(c.gsIdDbMenu);
        } catch (...) {
            c.ggGestDb->AnnullaTransazione(c.gsIdDbMenu);
            throw;
        }
        if (numInvio > kMaxNumInvio) {
            frmMsgCom::msgCom(QStringLiteral("Il numero di invio ") + QString::number(numInvio) +
                              QStringLiteral(" supera il massimo di ") + QString::number(kMaxNumInvio) +
                              QStringLiteral(" che il nome del file può contenere: elaborazione definitiva non eseguita"));
            return false;
        }
        if (inseriti != 1) {
            LockNonRiuscito();
            return false;
        }
        piNumInvio = numInvio;
        tenuto_ = RigaLock{psIdAzienda, NomeTerminale(), psTipoElab, piAnno, piNumCom, numInvio};
        return true;
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
        return false;
    }
}

void LockDatiFat::SbloccaElab(const QString& psIdDbase, int piErrore, const QString& psTipoElab, int piAnno,
                              int piNumCom, int piNumInvio) {
    bool azzera = piErrore > 0;
    if (piErrore < 0)
        azzera = frmMsgCom::msgCom(
                     QStringLiteral("Stampa interrotta: azzerare numero di invio dalle registrazioni elaborate"),
                     QStringLiteral("&Ok"), QStringLiteral("&annulla"), std::nullopt, std::nullopt, 80, 600, 0, 1) == 1;
    const std::optional<RigaLock> riga = tenuto_;
    tenuto_.reset();
    try {
        if (azzera) AzzeraInvio(psIdDbase, piAnno, piNumCom, piNumInvio, psTipoElab);
    } catch (...) {
        if (riga) CancellaRiga(*riga);
        throw;
    }
    if (riga) CancellaRiga(*riga);
}

void LockDatiFat::CancellaRiga(const RigaLock& r) {
    CancellaLockTrovato(LockTrovato{r.idAzienda, r.terminale, r.tipo, r.anno, r.numCom, r.numInvio});
}

bool LockDatiFat::LockCanc(const QString& psIdDbase, const QString& psTipo, int piAnno, int piNumCom,
                           const QString& psIdAzienda, const CancBloccata& canc) {
    int nessuno = 0;
    if (!LockElab(psIdDbase, true, psTipo, piAnno, piNumCom, nessuno, psIdAzienda)) return false;
    Contesto& c = ctx();
    long inseriti = 0;
    try {
        c.ggGestDb->IniziaTransazione(c.gsIdDbMenu);
        try {
            const bool singola = canc.operazione == OperazioneRinomina::CancSingola;
            inseriti = InserisciLock(
                psIdAzienda, psTipo, piAnno, piNumCom, 0, cartella(),
                singola ? QStringLiteral("E") : QStringLiteral("C"),
                singola ? QStringLiteral("%1/%2").arg(canc.annoReg).arg(canc.numReg)
                        : QStringLiteral("%1/%2").arg(canc.numInvio).arg(canc.nomeFile.trimmed().toUpper()));
            c.ggGestDb->ConfermaTransazione(c.gsIdDbMenu);
        } catch (...) {
            c.ggGestDb->AnnullaTransazione(c.gsIdDbMenu);
            throw;
        }
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
        return false;
    }
    if (inseriti != 1) {
        LockNonRiuscito();
        return false;
    }
    tenuto_ = RigaLock{psIdAzienda, NomeTerminale(), psTipo, piAnno, piNumCom, 0};
    return true;
}
