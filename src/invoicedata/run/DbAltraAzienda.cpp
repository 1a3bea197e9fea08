#include "invoicedata/run/DbAltraAzienda.h"

#include "common/DbAzienda.h"
#include "common/FrmMsgCom.h"
#include "common/NomeDbAzienda.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClient.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

bool ApriAltroDb(QString& idDb, const QString& idAzienda) {
    Contesto& c = ctx();
    const UtilGenerali& u = ggUtil();
    GestRecordset rs;
    QString chiave;
    bool esito = false;
    try {
        chiave = rs.ApriRecordset(*c.ggGestDb, c.gsIdDbMenu, {},
                                  QStringLiteral("SELECT Aziende.* FROM Aziende WHERE Aziende.IdAzienda = ") +
                                      u.FormatoSql(idAzienda, TipoDato::Testo));
        if (!rs.RecVuoto(chiave)) {
            QString file = rs.LeggiCampo(chiave, QStringLiteral("File")).testo();
            PreparaNomeDB(file);
            const QString pwd =
                u.EVuoto(rs.LeggiCampo(chiave, QStringLiteral("AccPwd")), TipoDato::Testo)
                    ? QString()
                    : c.ggMenuClient
                          ->LeggiValoreSess(QStringLiteral("pwddbazie:") +
                                            rs.LeggiCampo(chiave, QStringLiteral("Azienda")).testo())
                          .testo();
            const QString risposta = CredenzialiDb(*c.ggGestDb, file, pwd, c.gsConnect);
            // A login given up ("") or a failed opening ("Err: n", shown by
            // CredenzialiDb) is no database to work on.
            if (!risposta.trimmed().isEmpty() && !risposta.startsWith(QLatin1String("Err:"), Qt::CaseInsensitive)) {
                idDb = risposta;
                esito = true;
            }
        }
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
    if (!chiave.isEmpty()) {
        try {
            rs.ChiudiRecordset(chiave);
        } catch (const ErroreRun&) {
            // Closing a read-only set cannot lose anything; the answer stands.
        }
    }
    return esito;
}
