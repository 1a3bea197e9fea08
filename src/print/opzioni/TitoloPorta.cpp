#include "print/opzioni/TitoloPorta.h"

#include "common/form/Tastiera.h"
#include "components/menu/MenuClient.h"
#include "components/stampa/OpzSta.h"
#include "components/stampanti/ServizioStampanti.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

void LeggiTitoloMenuStampa(OpzSta& opz, const QString& chiaveSec) {
    const QString sql = QStringLiteral("SELECT * From MenuDett WHERE Chiave=") +
                        ggUtil().FormatoSql(ctx().gsChiavePrg, TipoDato::Testo) + QStringLiteral(" AND ChiaveSec=") +
                        ggUtil().FormatoSql(chiaveSec, TipoDato::Testo);
    const auto riga = ctx().ggMenuClient->ParamDbMenu(sql, QStringLiteral("Caption,DescPrg"));
    QString caption, descrizione;
    if (riga && !riga->isEmpty()) {
        caption = riga->at(0).testo();
        descrizione = riga->size() > 1 ? riga->at(1).testo() : QString();
        if (ggUtil().EVuoto(descrizione)) descrizione = caption;
    }
    opz.ImpOpzione(QStringLiteral("StampaCaption"), TipoDato::Testo, caption);
    opz.ImpOpzione(QStringLiteral("StampaDescPrg"), TipoDato::Testo, descrizione);
}

bool ImpostaPortaStampanteOpz(OpzSta& opz, const QString& nomeStampante) {
    const auto s = ggStampanti().Cerca(nomeStampante);
    if (!s) return false;
    opz.NomePorta = s->porta;
    opz.ImpOpzione(QStringLiteral("NumCassetto"), TipoDato::Intero, 0);
    opz.ImpOpzione(QStringLiteral("NumTipoCarta"), TipoDato::Intero, 0);
    return true;
}

void ColoriFrmStampa(QWidget* campo) { ColoreFocus(campo); }
