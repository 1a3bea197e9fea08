#include "settlement/estrazione/ModuloLiqIva.h"

#include "common/FrmMsgCom.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

namespace {

bool uguale(const Valore& v, const char* testo) {
    return v.testo().trimmed().compare(QLatin1String(testo), Qt::CaseInsensitive) == 0;
}

QString intero(const Valore& v) { return ggUtil().FormatoSql(v, TipoDato::Intero); }
QString importo(const Valore& v) { return ggUtil().FormatoSql(v, TipoDato::Doppio); }
QString testo(const Valore& v) { return ggUtil().FormatoSql(v, TipoDato::Testo); }

// Credit of the previous year used (VP9).
double CreditoAnnoPrecedente(const SorgenteModulo& s, GestRecordset& rs, const QString& k, int modulo,
                             int periodo) {
    UtilGenerali& u = ggUtil();
    double apertura = 0;
    if (s.multiAttivita) {
        apertura = u.ValoreNumerico(rs.LeggiCampo(k, QStringLiteral("CreditoAnnoPrec")));
    } else {
        QList<Valore> campi{QStringLiteral("CreditoInizioAnno")};
        if (LeggiIvaRiep(campi, s.anno, s.attivita)) apertura = u.ValoreNumerico(campi.value(0));
    }

    if (uguale(rs.LeggiCampo(k, QStringLiteral("IvaDichPerCamp3")), "S"))
        return u.ValoreNumerico(rs.LeggiCampo(k, QStringLiteral("CreditIvaComp")));
    if (periodo == 1 && modulo == 1)
        return apertura - u.ValoreNumerico(rs.LeggiCampo(k, QStringLiteral("CredF24")));

    // The credit used so far in the year, over the rows before this one.
    const QString tabella = s.multiAttivita ? QStringLiteral("IvaDichPeriodRiep") : QStringLiteral("IvaDichPeriod");
    QString sql = QStringLiteral("SELECT SUM(%1.CreditIvaComp) AS Credit"
                                 ",SUM(%1.CredF24) AS CredF24"
                                 ",SUM(%1.IvaDichPerImp14) AS IvaDichPerImp14"
                                 ",SUM(CASE WHEN IvaDichPerCamp3 IS NULL OR UPPER(IvaDichPerCamp3) <> 'S'"
                                 " THEN 1 ELSE 0 END) AS ForzCred"
                                 " FROM %1 WHERE Anno = ")
                      .arg(tabella) +
                  u.FormatoSql(s.anno, TipoDato::Intero);
    if (s.multiAttivita) {
        const QString numCom = intero(rs.LeggiCampo(k, QStringLiteral("NumCom")));
        sql += QStringLiteral(" AND (NumCom < ") + numCom + QStringLiteral(" OR (NumCom = ") + numCom +
               QStringLiteral(" AND Modulo < ") + u.FormatoSql(modulo, TipoDato::Intero) + QStringLiteral("))");
    } else {
        sql += QStringLiteral(" AND DitAttivita = ") + u.FormatoSql(s.attivita, TipoDato::Testo) +
               QStringLiteral(" AND Periodo < ") + u.FormatoSql(periodo, TipoDato::Intero);
    }
    GestRecordset somme;
    const QString ks = somme.ApriRecordset(*ctx().ggGestDb, ctx().gsIdDbase, QString(), sql, false, 2);
    // With no earlier row every sum is null: all of them count as 0.
    const double credito = u.ValoreNumerico(somme.LeggiCampo(ks, QStringLiteral("Credit")));
    const double credF24 = u.ValoreNumerico(somme.LeggiCampo(ks, QStringLiteral("CredF24")));
    const double imp14 = u.ValoreNumerico(somme.LeggiCampo(ks, QStringLiteral("IvaDichPerImp14")));
    const double forzCred = u.ValoreNumerico(somme.LeggiCampo(ks, QStringLiteral("ForzCred")));
    somme.ChiudiRecordset(ks);
    if (forzCred == 0) return apertura - credito - credF24 - imp14;
    return -u.ValoreNumerico(rs.LeggiCampo(k, QStringLiteral("CredF24")));
}

}  // namespace

SqlModulo ComponiSqlModulo(SorgenteModulo& s, GestRecordset& rs, const QString& k) {
    UtilGenerali& u = ggUtil();
    auto campo = [&](const char* nome) { return rs.LeggiCampo(k, QString::fromLatin1(nome)); };

    SqlModulo m;
    QString mese, trimestre;
    bool trimestrale;
    if (s.multiAttivita) {
        m.modulo = static_cast<int>(u.ValoreNumerico(campo("Modulo")));
        const int nMese = static_cast<int>(u.ValoreNumerico(campo("Mese")));
        m.periodo = nMese != 0 ? nMese : static_cast<int>(u.ValoreNumerico(campo("Trimestre")));
        mese = intero(campo("Mese"));
        trimestre = intero(campo("Trimestre"));
        trimestrale = nMese == 0;
    } else {
        m.modulo = ++s.contatoreModuli;
        m.periodo = static_cast<int>(u.ValoreNumerico(campo("Periodo")));
        trimestrale = !s.mensile;
        if (s.mensile) {
            mese = intero(campo("Periodo"));
            trimestre = QStringLiteral("Null");
        } else {
            mese = QStringLiteral("Null");
            trimestre = m.periodo == 4 && uguale(campo("IvaDichPerCamp2"), "S") ? QStringLiteral("5")
                                                                                   : intero(campo("Periodo"));
        }
    }

    const double vp9 = CreditoAnnoPrecedente(s, rs, k, m.modulo, m.periodo);

    // The fourth quarter carries the yearly figures: no interest, and with the
    // yearly return ("S") nothing to pay or to credit here. A monthly April
    // is an ordinary period.
    const bool quarto = trimestrale && u.ValoreNumerico(campo("Periodo")) == 4;
    const bool annuale = quarto && uguale(campo("IvaDichPerCamp2"), "S");
    const double interessiRiga = u.ValoreNumerico(campo("Interessi"));
    QString daVersare = importo(campo("IvaDovutaPer"));
    if (annuale) daVersare = QStringLiteral("0");
    else if (quarto && u.Arrotonda(interessiRiga, -8) != 0)
        daVersare = importo(u.Arrotonda(u.ValoreNumerico(campo("IvaDovutaPer")) - interessiRiga, -2));
    const QString interessi = quarto ? QStringLiteral("0") : importo(campo("Interessi"));
    const QString aCredito = annuale ? QStringLiteral("0") : importo(campo("IvaCreditoPer"));

    const Valore metodo = campo("IvaDichPerCamp7");
    const QStringList valori{
        u.FormatoSql(s.anno, TipoDato::Intero),
        u.FormatoSql(s.numCom, TipoDato::Intero),
        u.FormatoSql(m.modulo, TipoDato::Intero),
        mese,
        trimestre,
        s.subfornitura ? QStringLiteral("'S'") : QStringLiteral("'N'"),
        testo(s.eventiEccezionali),
        importo(campo("OpAttive")),
        importo(campo("OpPass")),
        importo(campo("IvaDebPeriodo")),
        importo(campo("IvaCredPeriodo")),
        importo(campo("DebRisultPeriodo")),
        importo(campo("CredRisultPeriodo")),
        importo(campo("IvaNonVersMin")),
        importo(campo("CreditoPrec")),
        importo(vp9),
        importo(campo("IvaDichPerImp13")),
        importo(campo("CredSpecDetr")),
        interessi,
        daVersare,
        aCredito,
        importo(campo("AccontoVers")),
        uguale(campo("IvaDichPerCamp6"), "S") ? QStringLiteral("'S'") : QStringLiteral("'N'"),
        u.EVuoto(metodo, TipoDato::Testo) ? QStringLiteral("Null") : testo(metodo),
    };
    m.sql = QStringLiteral(
                "INSERT INTO LiqIvaDett (Anno, NumCom, Modulo, Mese, Trimestre, Subfornitura, EventiEccezionali"
                ", TotaleOperazioniAttive, TotaleOperazioniPassive, IvaEsigibile, IvaDetratta, IvaDovuta"
                ", IvaCredito, DebitoPrecedente, CreditoPeriodoPrecedente, CreditoAnnoPrecedente"
                ", VersamentiAutoUe, CreditiImposta, InteressiDovuti, ImportoDaVersare, ImportoACredito"
                ", Acconto, OpStraordinarie, MetodoAcconto) VALUES (") +
            valori.join(QStringLiteral(", ")) + QLatin1Char(')');
    return m;
}

bool LeggiIvaRiep(QList<Valore>& campi, int anno, const QString& attivita) {
    if (attivita.isEmpty() || anno == 0) return false;
    GestRecordset rs;
    QString k;
    try {
        const QString sql = QStringLiteral("SELECT * FROM IvaRiep WHERE Anno = ") +
                            ggUtil().FormatoSql(anno, TipoDato::Intero) + QStringLiteral(" AND DitAttivita = ") +
                            ggUtil().FormatoSql(attivita, TipoDato::Testo);
        k = rs.ApriRecordset(*ctx().ggGestDb, ctx().gsIdDbase, QString(), sql, false, 2);
        const bool trovato = !rs.RecVuoto(k);
        if (trovato) LeggiCampiRec(campi, rs, k);
        else AzzeraCampi(campi);
        rs.ChiudiRecordset(k);
        return trovato;
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
        throw;
    }
}

void LeggiCampiRec(QList<Valore>& campi, GestRecordset& rs, const QString& chiave) {
    for (Valore& c : campi) c = rs.LeggiCampo(chiave, c.testo());
}

void AzzeraCampi(QList<Valore>& campi) {
    for (Valore& c : campi) c = QString();
}
