#include "startup/Composizione.h"

#include "common/schermi/SchermoLista.h"
#include "print/lavoro/ServiziLavoroStampa.h"
#include "print/lista/FrmComlinStampa.h"
#include "invoicedata/estrazione/FrmDatiFatPre.h"
#include "invoicedata/gestione/FrmDatiFatGest.h"
#include "invoicedata/run/FrmDatiFatXml.h"
#include "print/opzioni/OpzioniIni.h"
#include "settlement/estrazione/FrmLiqIvaPre.h"
#include "settlement/gestione/FrmLiqIvaTest.h"
#include "settlement/run/FrmLiqIvaXml.h"
#include "startup/FontPers.h"
#include "startup/Ospite.h"

void InstallaProgramma(Ospite& ospite) {
    InstallaServiziStampanti();
    serviziLavoroStampa().CaricaFontPers = CaricaFontPers;
    ospite.ImpostaFabbrica(QStringLiteral("FrmLiqIvaPre"), [] { return new FrmLiqIvaPre; });
    ospite.ImpostaFabbrica(QStringLiteral("FrmLiqIvaXML"), [] { return new frmLiqIvaXml; });
    ospite.ImpostaFabbrica(QStringLiteral("frmLiqIvaTest"), [] { return new frmLiqIvaTest; });
    SchermoLista::ImpDialogoStampa([]() -> DialogoStampaLista* { return &FrmComlinStampa::Istanza(); });
    ospite.ImpostaFabbrica(QStringLiteral("FrmDatiFatPre"), [] { return new FrmDatiFatPre; });
    ospite.ImpostaFabbrica(QStringLiteral("frmDatiFatGest"), [] { return new frmDatiFatGest; });
    ospite.ImpostaFabbrica(QStringLiteral("frmDatiFatXml"), [] { return new frmDatiFatXml; });
}
