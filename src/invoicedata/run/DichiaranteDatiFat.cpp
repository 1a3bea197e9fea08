#include "invoicedata/run/DichiaranteDatiFat.h"

#include "common/FrmMsgCom.h"
#include "common/TestiUscita.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "invoicedata/run/DbAltraAzienda.h"

namespace {

bool Vuoto(const QString& s) { return ggUtil().EVuoto(Valore(s), TipoDato::Testo); }

// The declarant of an open database; nothing when no row or no signer.
void Dichiarante(const QString& idDb, QString& cf, QString& carica) {
    GestRecordset rs;
    const QString k = rs.ApriRecordset(*ctx().ggGestDb, idDb, {},
                                       QStringLiteral("SELECT IvaDichPeriodGen.* FROM IvaDichPeriodGen"));
    if (!rs.RecVuoto(k)) {
        const QString firma = rs.LeggiCampo(k, QStringLiteral("IvaDichPeriodGen.CodFiscFirmaDich")).testo();
        if (!Vuoto(firma)) {
            cf = AllineaCampo(firma, 16, QStringLiteral("S"), QStringLiteral(" "), true).toUpper();
            carica = AllineaCampo(rs.LeggiCampo(k, QStringLiteral("IvaDichPeriodGen.Carica")).testo(), 2,
                                  QStringLiteral("D"), QStringLiteral("0"), true);
        }
    }
    rs.ChiudiRecordset(k);
}

}  // namespace

void LeggiDichiarante(const QString& idDb, const QString& idAzienda, QString& cfDichiarante,
                      QString& codiceCarica) {
    cfDichiarante.clear();
    codiceCarica.clear();
    // The look-up runs as the user leaves a box: the pointer says why the
    // form does not answer meanwhile.
    const CursoreOccupato occupato;
    QString id = idDb;
    bool aperto = false;
    if (Vuoto(id)) {
        if (!ApriAltroDb(id, idAzienda)) return;
        aperto = true;
    }
    try {
        Dichiarante(id, cfDichiarante, codiceCarica);
    } catch (const ErroreRun& e) {
        cfDichiarante.clear();
        codiceCarica.clear();
        frmMsgCom::MsgErrfrm(e);
    }
    if (aperto) ctx().ggGestDb->ChiudiDatabase(id);
}
