#include "invoicedata/estrazione/SelezioneDatiFat.h"

#include "components/db/GestRecordset.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

namespace {

// A text literal.
QString testo(const QString& s) { return ggUtil().FormatoSql(s, TipoDato::Testo); }

// True when a flag column is not set to `valore`: Null and "" count as unset.
QString nonVale(const QString& colonna, const char* valore) {
    return QStringLiteral("(%1 IS NULL OR %1 <> '%2')").arg(colonna, QLatin1String(valore));
}

// True when a code column is Null, "" or blank.
QString vuoto(const QString& colonna) { return QStringLiteral("COALESCE(TRIM(%1), '') = ''").arg(colonna); }

// The VAT period of the header row as a month count (year * 12 + month - 1):
// year AnnoIva and month PeriodoIva, each falling back to the document
// date's when empty (Jet's dateserial: a month past December falls in the
// next year). Written in what both engines take alike: dates are ISO text
// on a file and read as ISO text on the server, and no date function of
// either engine is needed.
QString mesePeriodoIva(const QString& t) {
    const QString dataDoc = QStringLiteral("CAST(%1.DataDoc AS VARCHAR(10))").arg(t);
    const auto parte = [&](const char* colonna, int da, int lunghezza) {
        return QStringLiteral("COALESCE(CAST(NULLIF(CAST(%1.%2 AS VARCHAR(10)), '') AS INTEGER),"
                              " CAST(SUBSTR(%3, %4, %5) AS INTEGER))")
            .arg(t, QLatin1String(colonna), dataDoc)
            .arg(da)
            .arg(lunghezza);
    };
    return parte("AnnoIva", 1, 4) + QStringLiteral(" * 12 + ") + parte("PeriodoIva", 6, 2) + QStringLiteral(" - 1");
}

// The month count of a date; with `dopo`, of the first month whose first day
// is not before it. "Null" for an empty bound, as its literal.
QString meseLimite(const QString& data, const QString& letterale, bool dopo) {
    if (letterale == QLatin1String("Null")) return letterale;
    const QDate d = ggUtil().ValoreData(data);
    return QString::number(d.year() * 12 + d.month() - 1 + (dopo && d.day() > 1 ? 1 : 0));
}

}  // namespace

QString TabellePassata::OffsetTesto() const {
    return offset == 0 ? QString() : QStringLiteral(" + ") + QString::number(offset);
}

TabellePassata PassataReale() {
    return {QStringLiteral("MovPnTes"), QStringLiteral("MovPnDett"), QStringLiteral("MovPnIva"), 0};
}

TabellePassata PassataFittizia() {
    return {QStringLiteral("MovPnTesFitt"), QStringLiteral("MovPnDettFitt"), QStringLiteral("MovPnIvaFitt"), 100000};
}

PeriodoDatiFat ImpDateSel(int anno, int numero) {
    if (anno <= 0) return {};
    int primoMese = 0, mesi = 0;
    if (anno == 2019) {
        primoMese = numero;
        mesi = 1;
    } else if (anno < 2019 && (numero == 1 || numero == 2)) {
        primoMese = (numero - 1) * 6 + 1;
        mesi = 6;
    } else {
        primoMese = (numero - 1) * 3 + 1;
        mesi = 3;
    }
    const QDate gennaio(anno, 1, 1);
    const QDate da = gennaio.addMonths(primoMese - 1);
    return {da, da.addMonths(mesi).addDays(-1)};
}

QString LeggiPrefTrasp(GestoreDb& gestDb, const QString& idDb, const QString& anno) {
    const UtilGenerali& u = ggUtil();
    GestRecordset rs;
    const QString k = rs.ApriRecordset(gestDb, idDb, QString(),
                                       QStringLiteral("SELECT Pref FROM LibriIva WHERE Anno = ") +
                                           u.FormatoSql(anno, TipoDato::Intero) + QStringLiteral(" AND TipoReg = ") +
                                           testo(QStringLiteral("V")) +
                                           QStringLiteral(" AND Trasportatori = 'S' ORDER BY Pref"),
                                       false, 4);
    QString pref;
    const long n = rs.ContaRec(k);
    if (n == 1) {
        pref = rs.LeggiCampo(k, QStringLiteral("Pref")).testo();
    } else if (n > 1) {
        for (; !rs.FineRec(k); rs.RecSuccessivo(k)) pref += testo(rs.LeggiCampo(k, QStringLiteral("Pref")).testo()) + QLatin1Char(',');
        pref = QLatin1Char('(') + pref.chopped(1) + QLatin1Char(')');
    }
    rs.ChiudiRecordset(k);
    return pref;
}

QString SelTrasp(const QString& prefTrasp, const QString& t, const QString& dataDa, const QString& dataA) {
    const UtilGenerali& u = ggUtil();
    const QString da = u.FormatoSql(dataDa, TipoDato::Data);
    const QString a = u.FormatoSql(dataA, TipoDato::Data);
    const QString registro = prefTrasp.endsWith(QLatin1Char(')'))
                                 ? t + QStringLiteral(".PreDoc IN ") + prefTrasp
                                 : t + QStringLiteral(".PreDoc = ") + testo(prefTrasp);
    // The first day of the VAT period lies in [da, a] when its month lies
    // between the first month starting on or after da and a's month.
    const QString mese = QLatin1Char('(') + mesePeriodoIva(t) + QLatin1Char(')');
    return QStringLiteral(" AND CASE WHEN ") + registro + QStringLiteral(" THEN ") + mese + QStringLiteral(" >= ") +
           meseLimite(dataDa, da, true) + QStringLiteral(" AND ") + mese + QStringLiteral(" <= ") +
           meseLimite(dataA, a, false) + QStringLiteral(" ELSE ") + t + QStringLiteral(".DataDoc >= ") + da +
           QStringLiteral(" AND ") + t + QStringLiteral(".DataDoc <= ") + a + QStringLiteral(" END");
}

QString SqlWhere(const OpzioniDatiFat& o, bool pbNoInvio, const QString& psCosaEstr, const QString& psAlias) {
    const UtilGenerali& u = ggUtil();
    const QString a = u.EVuoto(psAlias) ? QStringLiteral("DatiFatTest") : psAlias;
    QString s = QStringLiteral(" Where ") + a + QStringLiteral(".AnnoCom = ") + u.FormatoSql(o.anno, TipoDato::Intero) +
                QStringLiteral(" And ") + a + QStringLiteral(".NumCom = ") + u.FormatoSql(o.numCom, TipoDato::Intero);
    if (pbNoInvio) s += QStringLiteral(" And ") + a + QStringLiteral(".NumInv = 0");
    s += QStringLiteral(" And ") + a + QStringLiteral(".NumCanc = 0");
    QString tipo = psCosaEstr;
    if (u.EVuoto(tipo)) {
        if (!o.clienti) tipo = QStringLiteral("R");
        else if (!o.fornitori) tipo = QStringLiteral("E");
    }
    if (!tipo.isEmpty()) s += QStringLiteral(" And ") + a + QStringLiteral(".Tipo = ") + testo(tipo);
    return s;
}

QString PrepSql(const OpzioniDatiFat& o, const PassataDatiFat& p) {
    const UtilGenerali& u = ggUtil();
    const QString& t = p.tabelle.tes;
    const QString& d = p.tabelle.dett;
    const QString& i = p.tabelle.iva;
    const QString offset = p.tabelle.OffsetTesto();
    const bool clienti = p.tipo.compare(QLatin1String("E"), Qt::CaseInsensitive) == 0;
    const QString da = u.FormatoSql(o.dataDa, TipoDato::Data);
    const QString a = u.FormatoSql(o.dataA, TipoDato::Data);

    QString s = QStringLiteral("SELECT ") + t + QStringLiteral(".*, ") + i + QStringLiteral(".*, ") + d +
                QStringLiteral(".DareAvere, ") + d + QStringLiteral(".Importo, ") + d + QStringLiteral(".GruppoBlackList, ") + d +
                QStringLiteral(".MastroBlackList, ") + d + QStringLiteral(".ContoBlackList");
    s += QStringLiteral(", Causali.*, Causali_1.TipoCausale, Tabiva.*, PianoConti.Gruppo, PianoConti.Mastro,"
                        " PianoConti.Conto, PianoConti.CliForFittizio, Stati.Iso");
    s += QStringLiteral(", (SELECT CAST(AnnoCom AS VARCHAR(4)) || '/' || CAST(NumCom AS VARCHAR(2))"
                        " FROM DatiFatTest AS DFPerPrec WHERE DFPerPrec.AnnoReg = ") +
         t + QStringLiteral(".Anno AND DFPerPrec.NumReg = ") + t + QStringLiteral(".NumReg") + offset +
         QStringLiteral(" AND DFPerPrec.NumCanc = 0) AS EsistePerPrec");
    s += QStringLiteral(" FROM ") + t + QStringLiteral(" INNER JOIN ") + d + QStringLiteral(" ON ") + t +
         QStringLiteral(".Anno = ") + d + QStringLiteral(".Anno AND ") + t + QStringLiteral(".NumReg = ") + d +
         QStringLiteral(".NumReg");
    s += QStringLiteral(" INNER JOIN ") + i + QStringLiteral(" ON ") + t + QStringLiteral(".Anno = ") + i +
         QStringLiteral(".Anno AND ") + t + QStringLiteral(".NumReg = ") + i + QStringLiteral(".NumReg");
    s += QStringLiteral(" INNER JOIN Tabiva ON ") + i + QStringLiteral(".Iva = Tabiva.Iva");
    s += QStringLiteral(" INNER JOIN PianoConti ON ") + d + QStringLiteral(".GruppoPartita = PianoConti.Gruppo AND ") + d +
         QStringLiteral(".MastroPartita = PianoConti.Mastro AND ") + d + QStringLiteral(".ContoPartita = PianoConti.Conto");
    s += QStringLiteral(" LEFT JOIN Stati ON PianoConti.Stato = Stati.Stato");
    s += QStringLiteral(" INNER JOIN Causali ON ") + t + QStringLiteral(".Causale = Causali.Causale");
    s += QStringLiteral(" LEFT JOIN Causali AS Causali_1 ON Causali.CausConcatenata = Causali_1.Causale");
    s += QStringLiteral(" WHERE ") + d + QStringLiteral(".RigReg = 1");

    if (clienti) {
        s += QStringLiteral(" AND Causali.TipoCausale IN ('V','VS') AND ") + nonVale(QStringLiteral("Causali.ImportAutRsm"), "S") +
             QStringLiteral(" AND Causali.RevCharge = 'N' AND (") + nonVale(QStringLiteral("Causali.ImportNoCee"), "S");
        if (o.cliFittizi) s += QStringLiteral(" OR (PianoConti.CliForFittizio = 'S' AND Causali.FATipoDoc = 'TD20'))");
        else s += QStringLiteral(")");
        s += QStringLiteral(" AND (") + nonVale(QStringLiteral("Causali.IntraCee"), "S") + QStringLiteral(" OR ") +
             vuoto(QStringLiteral("Causali.CausConcatenata")) + QStringLiteral(")");
    } else {
        s += QStringLiteral(" AND Causali.TipoCausale IN ('A','AS')");
    }

    s += QStringLiteral(" AND (") + t + QStringLiteral(".OperazRilev IS NULL OR ") + t + QStringLiteral(".OperazRilev <> ") +
         testo(QStringLiteral("I")) + QStringLiteral(") AND (") + t + QStringLiteral(".OperazRilev = ") +
         testo(QStringLiteral("F")) + QStringLiteral(" OR PianoConti.OperazRilev IS NULL OR PianoConti.OperazRilev <> ") +
         testo(QStringLiteral("E")) + QStringLiteral(")");
    s += QStringLiteral(" AND ") + nonVale(QStringLiteral("Tabiva.AllegCF"), "N");

    if (clienti && p.prefTrasp.isEmpty())
        s += QStringLiteral(" AND ") + t + QStringLiteral(".DataDoc >= ") + da + QStringLiteral(" AND ") + t +
             QStringLiteral(".DataDoc <= ") + a;
    else if (clienti)
        s += SelTrasp(p.prefTrasp, t, o.dataDa, o.dataA);
    else
        s += QStringLiteral(" AND ") + t + QStringLiteral(".DataReg >= ") + da + QStringLiteral(" AND ") + t +
             QStringLiteral(".DataReg <= ") + a;

    if (p.datiPrec)
        s += QStringLiteral(" AND NOT EXISTS (SELECT AnnoCom FROM DatiFatTest AS DFAlias") +
             SqlWhere(o, false, p.tipo, QStringLiteral("DFAlias")) + QStringLiteral(" AND DFAlias.AnnoReg = ") + t +
             QStringLiteral(".Anno AND DFAlias.NumReg = ") + t + QStringLiteral(".NumReg") + offset + QStringLiteral(")");

    if (o.soloStranieri) {
        s += QStringLiteral(" AND (NOT (Stati.Iso = 'IT' OR ") + vuoto(QStringLiteral("Stati.Iso")) + QStringLiteral(")");
        if (o.cliFittizi) s += QStringLiteral(" OR (PianoConti.CliForFittizio = 'S' AND Causali.FATipoDoc = 'TD20'))");
        else s += QStringLiteral(")");
    }
    s += QStringLiteral(" ORDER BY ") + t + QStringLiteral(".Anno, ") + t + QStringLiteral(".NumReg, ") + i +
         QStringLiteral(".RigIva");
    return s;
}
