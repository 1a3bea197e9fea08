#include "common/form/ScQorUtilPrg.h"

#include "common/form/CercaAzienda.h"
#include "components/lookup/QorAiutiSql.h"
#include "contesto/Contesto.h"
#include "contesto/ServizioOspite.h"

scQorUtilPrg::scQorUtilPrg(FabbricaAiuti fabbrica) {
    ogQorAiuti = fabbrica ? fabbrica() : std::make_shared<QorAiutiSql>();
    ogQorAiuti->GestoreAiuto().Sottoscrivi(this);
}

scQorUtilPrg::~scQorUtilPrg() {
    if (ogQorAiuti && ogQorAiuti->GestoreAiuto().Ricevitore() == this) ogQorAiuti->GestoreAiuto().Sottoscrivi(nullptr);
    ogQorAiuti.reset();
}

void scQorUtilPrg::ClsMainMenuFrm() {
    if (ctx().ggOspite) ctx().ggOspite->RitornaMenu();
}

void scQorUtilPrg::ClsPrepDecod(const QString&, const QString& psKeyBase, const QString& psCampo,
                                const Valore& pvValore, const Valore& pvSoloDecod, const Valore& pvSqlNoFiltro,
                                Valore& pvRitorno) {
    pvRitorno = PrepDecodClie(psKeyBase, psCampo, pvValore, pvSoloDecod, pvSqlNoFiltro);
}

void scQorUtilPrg::LanciaKeyPrim(const QString& psLanciaKeyPrim) { ctx().gsKeyPrgPrim = psLanciaKeyPrim; }

void scQorUtilPrg::LanciaKeySec(const QString& psLanciaKeySec) { ctx().gsKeyPrgSec = psLanciaKeySec; }

void CreaAiuti(scQorUtilPrg::FabbricaAiuti fabbrica) {
    Contesto& c = ctx();
    if (!c.ggScUtilPrg) c.ggScUtilPrg = std::make_shared<scQorUtilPrg>(std::move(fabbrica));
    c.ggAiuti = c.ggScUtilPrg->ogQorAiuti;
    ContestoAiuti ca;
    ca.gestDb = c.ggGestDb.get();
    ca.idDbase = c.gsIdDbase;
    ca.idDbMenu = c.gsIdDbMenu;
    ca.colNormale = c.glColNormale;
    ca.colErrore = c.glColErrore;
    ca.tipoPrg = c.gsTipoPrg;
    ca.formatoData = c.gsFormatoData;
    c.ggAiuti->InizAiuti(ca);
}
