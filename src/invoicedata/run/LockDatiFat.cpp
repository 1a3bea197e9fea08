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
    bool operator==(const LockTrovato&) const = default;
};

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
                        static_cast<int>(ggUtil().ValoreNumerico(campo("Long3")))};
    }
    rs.ChiudiRecordset(k);
    return r;
}

QString MessaggioLock(const LockTrovato& l) {
    QString m = QStringLiteral("Estrazione XML in corso");
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
long InserisciLock(const QString& idAzienda, const QString& tipo, int anno, int numCom, int numInvio) {
    Contesto& c = ctx();
    c.ggGestDb->EseguiSql(
        c.gsIdDbMenu,
        QStringLiteral("INSERT INTO Appoggio (Codice, Descr1, Descr2, Descr3, Long1, Long2, Long3) SELECT ") +
            Testo(kCodiceLockDatiFat) + QStringLiteral(", ") + Testo(idAzienda) + QStringLiteral(", ") +
            Testo(NomeTerminale()) + QStringLiteral(", ") + Testo(tipo) + QStringLiteral(", ") + Numero(anno) +
            QStringLiteral(", ") + Numero(numCom) + QStringLiteral(", ") + Numero(numInvio) +
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

// "Azzera elab. prec." on a lock row whose run may have committed its send:
// a marked send is never zeroed. True when the lock row went (the check
// starts over), false when nothing was changed (the user was told).
bool SoloLock(const LockTrovato& l, const QString& idDb, const QString& cartella) {
    const QStringList progressivi = l.numInvio > 0 ? ProgressiviDellInvio(l, idDb) : QStringList();
    if (progressivi.isEmpty()) {
        // Nothing marked: the run stopped before its commit, nothing to undo.
        CancellaLockTrovato(l);
        return true;
    }
    const QString invio =
        DescrizioneInvio(l.numInvio, l.anno, l.numCom, l.tipo) + QStringLiteral(" dell'azienda ") + l.idAzienda;
    if (cartella.trimmed().isEmpty()) {
        frmMsgCom::msgCom(invio + QStringLiteral(" è marcato come inviato, ma la cartella dei file non è indicata: "
                                                 "non è stato cambiato nulla."));
        return false;
    }
    RecDichiarante ditta;
    CaricaDichiarante(ditta, idDb, true);
    QStringList file;
    for (const QString& p : progressivi) {
        file << PercorsoLocale(NomeDatiFat(cartella, ditta.CodiceFiscale.trimmed(), p));
        if (QFile::exists(file.last())) continue;
        frmMsgCom::msgCom(invio + QStringLiteral(" è marcato come inviato, ma il file ") + file.last() +
                          QStringLiteral(" non è nella cartella: non è stato cambiato nulla.\r\nRimettere il file "
                                         "nella cartella, o sceglierne un'altra con \"Cambia\", e azzerare di nuovo."));
        return false;
    }
    CancellaLockTrovato(l);
    frmMsgCom::msgCom(invio + QStringLiteral(", file ") + file.join(QStringLiteral(", ")) +
                      QStringLiteral(", è completo e resta valido: è stato tolto solo il blocco dell'elaborazione."));
    return true;
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
            if (!RecuperaInviiSospesi(idDb, l->idAzienda)) return false;
            if (LeggiLock() != l) continue;
            if (!SoloLock(*l, idDb, cartella_ ? cartella_() : QString())) return false;
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
                inseriti = InserisciLock(psIdAzienda, psTipoElab, piAnno, piNumCom, numInvio);
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
            inseriti = InserisciLock(psIdAzienda, psTipo, piAnno, piNumCom, 0);
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
