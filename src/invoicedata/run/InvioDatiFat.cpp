#include "invoicedata/run/InvioDatiFat.h"

#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClient.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

namespace {

QString Testo(const QString& s) { return ggUtil().FormatoSql(s, TipoDato::Testo); }
QString Numero(long n) { return ggUtil().FormatoSql(static_cast<qlonglong>(n), TipoDato::Lungo); }

// The lock row of a run of this company, kind, communication and send number.
QString CondizioneLockInvio(const QString& idAzienda, const QString& tipo, int anno, int numCom, int numInvio) {
    return QStringLiteral(" Where Codice = ") + Testo(kCodiceLockDatiFat) + QStringLiteral(" And Descr1 = ") +
           Testo(idAzienda) + QStringLiteral(" And Descr3 = ") + Testo(tipo) + QStringLiteral(" And Long1 = ") +
           Numero(anno) + QStringLiteral(" And Long2 = ") + Numero(numCom) + QStringLiteral(" And Long3 = ") +
           Numero(numInvio);
}

}  // namespace

void AzzeraInvio(const QString& idDb, int anno, int numCom, int numInvio, const QString& tipo) {
    ctx().ggGestDb->EseguiSql(idDb, QStringLiteral("Update DatiFatTest set NumInv = 0, Progr = 0, NomeFile = Null") +
                                        QStringLiteral(" Where AnnoCom = ") + Numero(anno) +
                                        QStringLiteral(" And NumCom = ") + Numero(numCom) +
                                        QStringLiteral(" And NumInv = ") + Numero(numInvio) +
                                        QStringLiteral(" And Tipo = ") + Testo(tipo) +
                                        QStringLiteral(" And Stato = ") + Testo(QStringLiteral("N")));
}

void CancellaLockInvio(const QString& idAzienda, const QString& tipo, int anno, int numCom, int numInvio) {
    ctx().ggGestDb->EseguiSql(ctx().gsIdDbMenu, QStringLiteral("Delete from Appoggio") +
                                                    CondizioneLockInvio(idAzienda, tipo, anno, numCom, numInvio));
}

QString LockInvioDiAltroTerminale(const QString& idAzienda, const QString& tipo, int anno, int numCom, int numInvio) {
    Contesto& c = ctx();
    GestRecordset rs;
    const QString k = rs.ApriRecordset(*c.ggGestDb, c.gsIdDbMenu, {},
                                       QStringLiteral("Select Descr2 from Appoggio") +
                                           CondizioneLockInvio(idAzienda, tipo, anno, numCom, numInvio));
    QString altro;
    const QString questo = c.ggMenuClient->NomeTerminale();
    for (; !rs.FineRec(k) && altro.isEmpty(); rs.RecSuccessivo(k)) {
        const QString terminale = rs.LeggiCampo(k, QStringLiteral("Descr2")).testo();
        if (terminale.compare(questo, Qt::CaseInsensitive) != 0) altro = terminale;
    }
    rs.ChiudiRecordset(k);
    return altro;
}

QString NomeTipoInvio(const QString& tipo) {
    return tipo.compare(QLatin1String("E"), Qt::CaseInsensitive) == 0 ? QStringLiteral("clienti")
                                                                     : QStringLiteral("fornitori");
}

QString DescrizioneComunicazione(int annoCom, int numCom, const QString& tipo) {
    return QStringLiteral(" della comunicazione %1/%2 (%3)").arg(annoCom).arg(numCom).arg(NomeTipoInvio(tipo));
}

QString DescrizioneInvio(int numInvio, int annoCom, int numCom, const QString& tipo) {
    return QStringLiteral("L'invio %1 dei dati fatture").arg(numInvio) + DescrizioneComunicazione(annoCom, numCom, tipo);
}
