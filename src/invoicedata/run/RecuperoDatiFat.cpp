#include "invoicedata/run/RecuperoDatiFat.h"

#include "common/FrmMsgCom.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "invoicedata/file/RinomineDatiFat.h"
#include "invoicedata/run/InvioDatiFat.h"

#include <QFile>
#include <QStringList>
#include <cstdio>

namespace {

QString testo(const QString& s) { return ggUtil().FormatoSql(s, TipoDato::Testo); }

bool stessoInvio(const RinominaDatiFat& a, const RinominaDatiFat& b) {
    return a.operazione == b.operazione && a.annoCom == b.annoCom && a.numCom == b.numCom && a.tipo == b.tipo &&
           a.numero == b.numero && a.annoReg == b.annoReg && a.numReg == b.numReg;
}

QString descrizione(const RinominaDatiFat& r) {
    const QString com = DescrizioneComunicazione(r.annoCom, r.numCom, r.tipo);
    switch (r.operazione) {
    case OperazioneRinomina::CancSingola:
        return QStringLiteral("La cancellazione %1 della registrazione %2/%3").arg(r.numero).arg(r.annoReg).arg(r.numReg) +
               com;
    case OperazioneRinomina::CancInvio:
        return QStringLiteral("La cancellazione dell'invio %1").arg(r.numero) + com;
    case OperazioneRinomina::Invio:
        break;
    }
    return DescrizioneInvio(r.numero, r.annoCom, r.numCom, r.tipo);
}

// The marks of a send or cancellation whose file is gone, undone.
void annullaMarche(const QString& idDb, const RinominaDatiFat& r) {
    GestoreDb& db = *ctx().ggGestDb;
    const QString com = QStringLiteral(" WHERE AnnoCom = %1 AND NumCom = %2 AND Tipo = ").arg(r.annoCom).arg(r.numCom) +
                        testo(r.tipo);
    switch (r.operazione) {
    case OperazioneRinomina::Invio:
        AzzeraInvio(idDb, r.annoCom, r.numCom, r.numero, r.tipo);
        return;
    case OperazioneRinomina::CancSingola:
        for (const char* tabella : {"DatiFatDett", "DatiFatTest"})
            db.EseguiSql(idDb, QStringLiteral("UPDATE ") + QLatin1String(tabella) +
                                   QStringLiteral(" SET Stato = 'N', NumCanc = 0") + com +
                                   QStringLiteral(" AND AnnoReg = %1 AND NumReg = %2 AND Stato = 'E' AND NumCanc = %3")
                                       .arg(r.annoReg)
                                       .arg(r.numReg)
                                       .arg(r.numero));
        return;
    case OperazioneRinomina::CancInvio:
        db.EseguiSql(idDb, QStringLiteral("UPDATE DatiFatTest SET Stato = 'N', NumCanc = 0") + com +
                               QStringLiteral(" AND Stato = 'C' AND NumCanc = %1 AND ").arg(r.numero) +
                               (r.nomeFile.isEmpty() ? QStringLiteral("(NomeFile IS NULL OR NomeFile = '')")
                                                     : QStringLiteral("NomeFile = ") + testo(r.nomeFile)));
        db.EseguiSql(idDb, QStringLiteral("UPDATE DatiFatDett SET Stato = 'N', NumCanc = 0") + com +
                               QStringLiteral(" AND Stato = 'C' AND NumCanc = %1 AND EXISTS (SELECT AnnoCom FROM "
                                              "DatiFatTest WHERE DatiFatTest.AnnoCom = DatiFatDett.AnnoCom AND "
                                              "DatiFatTest.NumCom = DatiFatDett.NumCom AND DatiFatTest.AnnoReg = "
                                              "DatiFatDett.AnnoReg AND DatiFatTest.NumReg = DatiFatDett.NumReg AND "
                                              "DatiFatTest.Tipo = DatiFatDett.Tipo AND DatiFatTest.Stato = 'N' AND "
                                              "DatiFatTest.NumCanc = 0)")
                                   .arg(r.numero));
        return;
    }
}

// One send or cancellation: completed when every file is there, else undone.
QString sistema(const QString& idDb, const QString& idAzienda, const std::vector<RinominaDatiFat>& invio) {
    bool integro = true;
    for (const RinominaDatiFat& r : invio)
        integro = integro && (QFile::exists(r.provvisorio) || QFile::exists(r.definitivo));
    QString esito = descrizione(invio.front());
    if (integro) {
        QStringList nomi;
        for (const RinominaDatiFat& r : invio) {
            DaiNomeDefinitivo(r);
            nomi << r.definitivo;
        }
        esito += QStringLiteral(": marcature salvate, file senza nome definitivo. Completato: ") +
                 nomi.join(QStringLiteral(", ")) + QStringLiteral(".");
    } else {
        annullaMarche(idDb, invio.front());
        for (const RinominaDatiFat& r : invio) {
            // No final-named file may stay without its marks.
            if (QFile::exists(r.definitivo) && !QFile::exists(r.provvisorio) &&
                std::rename(QFile::encodeName(r.definitivo).constData(), QFile::encodeName(r.provvisorio).constData()) != 0)
                throw ErroreRun(75, QStringLiteral("Impossibile riportare il file %1 al nome %2").arg(r.definitivo, r.provvisorio),
                                QStringLiteral("RecuperaInviiSospesi"));
        }
        esito += QStringLiteral(": marcature salvate, ma un file non esiste più. Annullato: le registrazioni tornano "
                                "allo stato precedente.");
    }
    CancellaRinomine(idDb, invio);
    CancellaLockInvio(idAzienda, invio.front().tipo, invio.front().annoCom, invio.front().numCom,
                      invio.front().operazione == OperazioneRinomina::Invio ? invio.front().numero : 0);
    return esito;
}

}  // namespace

bool RecuperaInviiSospesi(const QString& idDb, const QString& idAzienda, bool ancheDiAltriTerminali) {
    GestoreDb& db = *ctx().ggGestDb;
    QStringList detti;
    try {
        if (LeggiRinomine(idDb).empty()) return true;
        db.IniziaTransazione(idDb);
        try {
            // Read again under the write lock: another terminal may have put them right meanwhile.
            const std::vector<RinominaDatiFat> righe = LeggiRinomine(idDb);
            for (size_t i = 0; i < righe.size();) {
                size_t j = i + 1;
                while (j < righe.size() && stessoInvio(righe[i], righe[j])) ++j;
                const RinominaDatiFat& r = righe[i];
                if (!ancheDiAltriTerminali &&
                    !LockInvioDiAltroTerminale(idAzienda, r.tipo, r.annoCom, r.numCom,
                                               r.operazione == OperazioneRinomina::Invio ? r.numero : 0)
                         .isEmpty()) {
                    i = j;
                    continue;
                }
                detti << sistema(idDb, idAzienda, std::vector<RinominaDatiFat>(righe.begin() + i, righe.begin() + j));
                i = j;
            }
            db.ConfermaTransazione(idDb);
        } catch (...) {
            try {
                db.AnnullaTransazione(idDb);
            } catch (const ErroreRun&) {
                // The first error is the one to tell.
            }
            throw;
        }
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e, QStringLiteral("Un invio dei dati fatture rimasto a metà non è stato sistemato: "
                                               "l'elaborazione non prosegue.\r\n"));
        return false;
    }
    if (!detti.isEmpty()) frmMsgCom::msgCom(detti.join(QStringLiteral("\r\n")));
    return true;
}
