#include "invoicedata/run/DichiaranteDatiFat.h"

#include "common/FrmMsgCom.h"
#include "common/IdentitaParti.h"
#include "common/TestiUscita.h"
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

bool LeggiIdentitaDatiFat(const QString& idDb, RecDichiarante& rec) {
    rec = RecDichiarante{};
    try {
        GestRecordset rs;
        const QString k = rs.ApriRecordset(*ctx().ggGestDb, idDb, {}, QStringLiteral("Select * from Ditta"));
        if (rs.RecVuoto(k)) {
            rs.ChiudiRecordset(k);
            throw ErroreRun(NumErrore::NessunRecordCorrente, QStringLiteral("Mancano i dati della ditta"));
        }
        auto campo = [&](const char* c) { return rs.LeggiCampo(k, QLatin1String(c)).testo(); };
        rec.CodiceFiscale = campo("CodFisc").trimmed().toUpper();
        if (rec.CodiceFiscale.isEmpty()) rec.CodiceFiscale = campo("PartIva").trimmed();
        rec.PartitaIva = campo("PartIva").trimmed();
        rec.StatoGiurid = campo("StatoGiurid");
        if (rec.StatoGiurid.compare(QLatin1String("G"), Qt::CaseInsensitive) == 0)
            rec.RagSoc = campo("RagSoc").trimmed();
        else
            DividiCognomeNome(campo("Nome").trimmed().isEmpty() ? campo("RagSoc") : campo("Nome"), rec.Cognome,
                              rec.Nome, false, true);
        rs.ChiudiRecordset(k);
        QString cf, carica;
        Dichiarante(idDb, cf, carica);
        (cf.trimmed().size() > 11 ? rec.CFDichiarante : rec.CodiceFiscaleSocieta) = cf;
        rec.CodiceCaricaDichiarante = carica;
        return true;
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
        return false;
    }
}
