#include "startup/FontPers.h"

#include "common/FrmMsgCom.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/stampa/FontSta.h"
#include "components/stampa/Stampa.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/Isolamento.h"
#include "print/lavoro/LavoroStampa.h"

namespace {
bool acceso(const Valore& v) { return v.testo().trimmed().toUpper() == QLatin1String("S"); }
}  // namespace

void CaricaFontPers(Stampa& st) {
    Contesto& c = ctx();
    if (ggUtil().EVuoto(Valore(c.gsIdDbMenu), TipoDato::Testo) || !c.ggGestDb) return;
    if (!EsisteTabella(QStringLiteral("StaLasFontPers"), c.gsIdDbMenu)) return;
    GestRecordset rs;
    QString k;
    try {
        k = rs.ApriRecordset(*c.ggGestDb, c.gsIdDbMenu, QString(),
                             QStringLiteral("Select * from StaLasFontPers") + QStringLiteral(" Order by Progressivo"),
                             false, 2);
        for (; !rs.RecVuoto(k) && !rs.FineRec(k); rs.RecSuccessivo(k)) {
            FontSta holder;
            FontStd& f = holder.FontCorrente();
            f.Name = rs.LeggiCampo(k, QStringLiteral("Nome")).testo();
            f.Size = ggUtil().ValoreNumerico(rs.LeggiCampo(k, QStringLiteral("Size")));
            f.Bold = acceso(rs.LeggiCampo(k, QStringLiteral("Bold")));
            f.Italic = acceso(rs.LeggiCampo(k, QStringLiteral("Italic")));
            f.Strikethrough = acceso(rs.LeggiCampo(k, QStringLiteral("Strike")));
            f.Underline = acceso(rs.LeggiCampo(k, QStringLiteral("Underline")));
            st.FontAdd(NomeFontPers(static_cast<int>(ggUtil().ValoreNumerico(rs.LeggiCampo(k, QStringLiteral("Progressivo"))))),
                       holder);
        }
        rs.ChiudiRecordset(k);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e, QString(), QString());
        if (!k.isEmpty()) {
            try {
                rs.ChiudiRecordset(k);
            } catch (const ErroreRun&) {
                // The first failure has been shown; a set that cannot close adds nothing.
            }
        }
    }
}
