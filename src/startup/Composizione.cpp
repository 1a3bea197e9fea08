#include "startup/Composizione.h"

#include "invoicedata/estrazione/FrmDatiFatPre.h"
#include "print/opzioni/OpzioniIni.h"
#include "settlement/estrazione/FrmLiqIvaPre.h"
#include "settlement/run/FrmLiqIvaXml.h"
#include "startup/Ospite.h"

void InstallaProgramma(Ospite& ospite) {
    InstallaServiziStampanti();
    ospite.ImpostaFabbrica(QStringLiteral("FrmLiqIvaPre"), [] { return new FrmLiqIvaPre; });
    ospite.ImpostaFabbrica(QStringLiteral("FrmLiqIvaXML"), [] { return new frmLiqIvaXml; });
    ospite.ImpostaFabbrica(QStringLiteral("FrmDatiFatPre"), [] { return new FrmDatiFatPre; });
}
