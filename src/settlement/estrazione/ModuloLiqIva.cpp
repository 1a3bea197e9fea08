#include "settlement/estrazione/ModuloLiqIva.h"

#include "common/FrmMsgCom.h"
#include "common/NumeriLetti.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

namespace {

bool uguale(const Valore& v, const char* testo) {
    return v.testo().trimmed().compare(QLatin1String(testo), Qt::CaseInsensitive) == 0;
}

// The numbers of a source row, each through the number check: text that is
// no number stops the extraction (rolled back) with the row and the column,
// never counts as 0 nor stops with a bare conversion error.
class NumeriRiga {
public:
    NumeriRiga(GestRecordset& rs, const QString& chiave, QString soggetto, QString tabella)
        : rs_(rs), chiave_(chiave), soggetto_(std::move(soggetto)), tabella_(std::move(tabella)) {}
    Valore operator()(const char* colonna) const {
        return Controllato(rs_.LeggiCampo(chiave_, QString::fromLatin1(colonna)), soggetto_,
                           tabella_ + QLatin1Char('.') + QLatin1String(colonna));
    }
    static Valore Controllato(const Valore& v, const QString& soggetto, const QString& colonna) {
        if (TestoNonNumerico(v))
            throw ErroreRun(NumErrore::TipoNonCorrispondente, NotaNonNumerico(soggetto, colonna, v),
                            QStringLiteral("EstraiLiqIva"));
        return v;
    }

private:
    GestRecordset& rs_;
    const QString& chiave_;
    QString soggetto_, tabella_;
};

// "periodo 3" or "modulo 2 del comunicato 1": the source row as the user knows it.
NumeriRiga NumeriSorgente(const SorgenteModulo& s, GestRecordset& rs, const QString& k) {
    const auto testo = [&](const char* c) { return rs.LeggiCampo(k, QString::fromLatin1(c)).testo().trimmed(); };
    if (s.multiAttivita)
        return {rs, k, QStringLiteral("modulo ") + testo("Modulo") + QStringLiteral(" del comunicato ") + testo("NumCom"),
                QStringLiteral("IvaDichPeriodRiep")};
    return {rs, k, QStringLiteral("periodo ") + testo("Periodo"), QStringLiteral("IvaDichPeriod")};
}

QString intero(const Valore& v) { return ggUtil().FormatoSql(v, TipoDato::Intero); }
QString importo(const Valore& v) { return ggUtil().FormatoSql(v, TipoDato::Doppio); }
QString testo(const Valore& v) { return ggUtil().FormatoSql(v, TipoDato::Testo); }

// Credit of the previous year used (VP9).
double CreditoAnnoPrecedente(const SorgenteModulo& s, GestRecordset& rs, const QString& k, int modulo,
                             int periodo) {
    UtilGenerali& u = ggUtil();
    const NumeriRiga numero = NumeriSorgente(s, rs, k);
    double apertura = 0;
    if (s.multiAttivita) {
        apertura = u.ValoreNumerico(numero("CreditoAnnoPrec"));
    } else {
        QList<Valore> campi{QStringLiteral("CreditoInizioAnno")};
        if (LeggiIvaRiep(campi, s.anno, s.attivita))
            apertura = u.ValoreNumerico(NumeriRiga::Controllato(
                campi.value(0), QStringLiteral("riepilogo iva dell'anno %1, attività %2").arg(s.anno).arg(s.attivita),
                QStringLiteral("IvaRiep.CreditoInizioAnno")));
    }

    if (uguale(rs.LeggiCampo(k, QStringLiteral("IvaDichPerCamp3")), "S"))
        return u.ValoreNumerico(numero("CreditIvaComp"));
    if (periodo == 1 && modulo == 1)
        return apertura - u.ValoreNumerico(numero("CredF24"));

    // The credit used so far in the year, over the rows before this one,
    // summed here: each of them goes through the number check, which a sum
    // of the database would pass by ("1.000,00" counting as 1).
    const QString tabella = s.multiAttivita ? QStringLiteral("IvaDichPeriodRiep") : QStringLiteral("IvaDichPeriod");
    QString sql = QStringLiteral("SELECT * FROM %1 WHERE Anno = ").arg(tabella) + u.FormatoSql(s.anno, TipoDato::Intero);
    if (s.multiAttivita) {
        const QString numCom = intero(numero("NumCom"));
        sql += QStringLiteral(" AND (NumCom < ") + numCom + QStringLiteral(" OR (NumCom = ") + numCom +
               QStringLiteral(" AND Modulo < ") + u.FormatoSql(modulo, TipoDato::Intero) + QStringLiteral("))");
    } else {
        sql += QStringLiteral(" AND DitAttivita = ") + u.FormatoSql(s.attivita, TipoDato::Testo) +
               QStringLiteral(" AND Periodo < ") + u.FormatoSql(periodo, TipoDato::Intero);
    }
    GestRecordset prima;
    const QString kp = prima.ApriRecordset(*ctx().ggGestDb, ctx().gsIdDbase, QString(), sql, false, 4);
    double credito = 0, credF24 = 0, imp14 = 0;
    bool forzCred = false;
    for (; !prima.FineRec(kp); prima.RecSuccessivo(kp)) {
        const NumeriRiga n = NumeriSorgente(s, prima, kp);
        credito += u.ValoreNumerico(n("CreditIvaComp"));
        credF24 += u.ValoreNumerico(n("CredF24"));
        imp14 += u.ValoreNumerico(n("IvaDichPerImp14"));
        forzCred = forzCred || !uguale(prima.LeggiCampo(kp, QStringLiteral("IvaDichPerCamp3")), "S");
    }
    prima.ChiudiRecordset(kp);
    if (!forzCred) return apertura - credito - credF24 - imp14;
    return -u.ValoreNumerico(numero("CredF24"));
}

}  // namespace

SqlModulo ComponiSqlModulo(SorgenteModulo& s, GestRecordset& rs, const QString& k) {
    UtilGenerali& u = ggUtil();
    auto campo = [&](const char* nome) { return rs.LeggiCampo(k, QString::fromLatin1(nome)); };
    const NumeriRiga numero = NumeriSorgente(s, rs, k);

    SqlModulo m;
    QString mese, trimestre;
    bool trimestrale;
    if (s.multiAttivita) {
        m.modulo = static_cast<int>(u.ValoreNumerico(numero("Modulo")));
        const int nMese = static_cast<int>(u.ValoreNumerico(numero("Mese")));
        m.periodo = nMese != 0 ? nMese : static_cast<int>(u.ValoreNumerico(numero("Trimestre")));
        mese = intero(numero("Mese"));
        trimestre = intero(numero("Trimestre"));
        trimestrale = nMese == 0;
    } else {
        m.modulo = ++s.contatoreModuli;
        m.periodo = static_cast<int>(u.ValoreNumerico(numero("Periodo")));
        trimestrale = !s.mensile;
        if (s.mensile) {
            mese = intero(numero("Periodo"));
            trimestre = QStringLiteral("Null");
        } else {
            mese = QStringLiteral("Null");
            trimestre = m.periodo == 4 && uguale(campo("IvaDichPerCamp2"), "S") ? QStringLiteral("5")
                                                                                   : intero(numero("Periodo"));
        }
    }

    const double vp9 = CreditoAnnoPrecedente(s, rs, k, m.modulo, m.periodo);

    // The fourth quarter carries the yearly figures: no interest, and with the
    // yearly return ("S") nothing to pay or to credit here. A monthly April
    // is an ordinary period.
    const bool quarto = trimestrale && u.ValoreNumerico(numero("Periodo")) == 4;
    const bool annuale = quarto && uguale(campo("IvaDichPerCamp2"), "S");
    const double interessiRiga = u.ValoreNumerico(numero("Interessi"));
    QString daVersare = importo(numero("IvaDovutaPer"));
    if (annuale) daVersare = QStringLiteral("0");
    else if (quarto && u.Arrotonda(interessiRiga, -8) != 0)
        daVersare = importo(u.Arrotonda(u.ValoreNumerico(numero("IvaDovutaPer")) - interessiRiga, -2));
    const QString interessi = quarto ? QStringLiteral("0") : importo(numero("Interessi"));
    const QString aCredito = annuale ? QStringLiteral("0") : importo(numero("IvaCreditoPer"));

    const Valore metodo = campo("IvaDichPerCamp7");
    const QStringList valori{
        u.FormatoSql(s.anno, TipoDato::Intero),
        u.FormatoSql(s.numCom, TipoDato::Intero),
        u.FormatoSql(m.modulo, TipoDato::Intero),
        mese,
        trimestre,
        s.subfornitura ? QStringLiteral("'S'") : QStringLiteral("'N'"),
        testo(s.eventiEccezionali),
        importo(numero("OpAttive")),
        importo(numero("OpPass")),
        importo(numero("IvaDebPeriodo")),
        importo(numero("IvaCredPeriodo")),
        importo(numero("DebRisultPeriodo")),
        importo(numero("CredRisultPeriodo")),
        importo(numero("IvaNonVersMin")),
        importo(numero("CreditoPrec")),
        importo(vp9),
        importo(numero("IvaDichPerImp13")),
        importo(numero("CredSpecDetr")),
        interessi,
        daVersare,
        aCredito,
        importo(numero("AccontoVers")),
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
