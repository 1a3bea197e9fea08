#include "invoicedata/estrazione/ClassificazioneDatiFat.h"

#include "common/IdentitaParti.h"
#include "common/form/UtilForm.h"
#include "components/db/GestRecordset.h"
#include "components/menu/MenuClient.h"
#include "components/util/UtilGenerali.h"
#include "invoicedata/estrazione/StatoRunDatiFat.h"
#include "contesto/Contesto.h"

namespace {

const QString kSplitPay = QStringLiteral("Causali.SplitPay");
const QString kIvaGruppo = QStringLiteral("Causali.IvaGruppo");
const QString kTipoCausale = QStringLiteral("Causali.TipoCausale");
const QString kTipoCausaleConc = QStringLiteral("Causali_1.TipoCausale");
const QString kCausale = QStringLiteral("Causali.Causale");
const QString kCausConcatenata = QStringLiteral("Causali.CausConcatenata");
const QString kFATipoDoc = QStringLiteral("Causali.FATipoDoc");
const QString kNotaVar = QStringLiteral("Causali.NotaVar");
const QString kImportNoCee = QStringLiteral("Causali.ImportNoCee");
const QString kIntraCee = QStringLiteral("Causali.IntraCee");
const QString kIso = QStringLiteral("Stati.Iso");
const QString kCliForFittizio = QStringLiteral("PianoConti.CliForFittizio");
const QString kAliquota = QStringLiteral("Tabiva.Aliquota");
const QString kFENatura = QStringLiteral("Tabiva.FENatura");
const QString kFEForzaSplit = QStringLiteral("Tabiva.FEForzaSplit");
const QString kIva = QStringLiteral("Tabiva.Iva");

bool vuoto(const Valore& v) { return ggUtil().EVuoto(v, TipoDato::Testo); }
bool uguale(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

// The menu's group-VAT mark of split payments, asked once per run.
const QString& gruppoIvaSplit(StatoRunDatiFat& s) {
    if (!s.gruppoIvaSplit) {
        const auto& menu = ctx().ggMenuClient;
        s.gruppoIvaSplit = menu ? menu->LeggiValoreSess(QStringLiteral("CauCon.GruppoIvaSplit")).testo() : QString();
    }
    return *s.gruppoIvaSplit;
}

// The counterparty's country is Italy: "IT" or no code.
bool italiano(const StatoRunDatiFat& s) { return uguale(IsoPaese(s.Campo(kIso).testo()), "IT"); }

// "TD10" when the other lines of the registration post more on goods
// accounts than on services accounts (after the non-deductible VAT), "TD11"
// otherwise.
QString beniOServizi(StatoRunDatiFat& s) {
    const UtilGenerali& u = ggUtil();
    const QString& d = s.tabelle.dett;
    GestRecordset rs;
    const QString k = rs.ApriRecordset(
        *s.gestDb, s.idDb, QString(),
        QStringLiteral("SELECT %1.RigReg, %1.Importo, %1.ImpostaIndetr, PianoConti.BeneServizio FROM %1"
                       " INNER JOIN PianoConti ON %1.GruppoPartita = PianoConti.Gruppo"
                       " AND %1.MastroPartita = PianoConti.Mastro AND %1.ContoPartita = PianoConti.Conto"
                       " WHERE %1.Anno = ")
                .arg(d) +
            u.FormatoSql(s.annoUlt, TipoDato::Intero) + QStringLiteral(" AND %1.NumReg = ").arg(d) +
            u.FormatoSql(s.numUlt, TipoDato::Lungo) + QStringLiteral(" AND %1.RigReg <> 1").arg(d),
        false, 4);
    const QString importo = d + QStringLiteral(".Importo");
    const QString indetraibile = d + QStringLiteral(".ImpostaIndetr");
    const QString beneServizio = QStringLiteral("PianoConti.BeneServizio");
    const QString rigReg = d + QStringLiteral(".RigReg");
    double beni = 0, servizi = 0;
    for (; !rs.FineRec(k); rs.RecSuccessivo(k)) {
        const QString riga = QStringLiteral(" (riga ") + rs.LeggiCampo(k, rigReg).testo() + QLatin1Char(')');
        const double netto = s.Numero(rs.LeggiCampo(k, importo), importo, riga) -
                             s.Numero(rs.LeggiCampo(k, indetraibile), indetraibile, riga);
        if (uguale(rs.LeggiCampo(k, beneServizio).testo(), "S")) servizi += netto;
        else beni += netto;
    }
    rs.ChiudiRecordset(k);
    return ConfrontaVal(beni, servizi, -8) > 0 ? QStringLiteral("TD10") : QStringLiteral("TD11");
}

}  // namespace

bool TipoDocumentoPrevisto(const QString& tipo) {
    static const QStringList previsti = {QStringLiteral("TD01"), QStringLiteral("TD04"), QStringLiteral("TD05"),
                                         QStringLiteral("TD07"), QStringLiteral("TD08"), QStringLiteral("TD10"),
                                         QStringLiteral("TD11")};
    return previsti.contains(tipo.trimmed(), Qt::CaseInsensitive);
}

QString ElabTD(StatoRunDatiFat& s, bool& pbBollaDog, QString& psEsigIva) {
    // 1. Collectability.
    pbBollaDog = false;
    const QString tipoCausale = s.Campo(kTipoCausale).testo();
    const bool split = uguale(s.Campo(kSplitPay).testo(), "S") &&
                       (!vuoto(s.Campo(kIvaGruppo)) || !vuoto(gruppoIvaSplit(s)));
    if (split)
        psEsigIva = QStringLiteral("S");
    else if (uguale(s.Campo(s.colonne.tesIvaPerCassa).testo(), "S") || uguale(tipoCausale, "VS") ||
             uguale(tipoCausale, "AS"))
        psEsigIva = QStringLiteral("D");
    else
        psEsigIva = QStringLiteral("I");

    // 2. Customs bill: an import from outside the EU through an Italian
    // counterparty (the customs), alone or chained to a journal causal.
    const QString notaVar = s.Campo(kNotaVar).testo();
    if (!s.Clienti() && uguale(s.Campo(kImportNoCee).testo(), "S") && italiano(s) &&
        (vuoto(s.Campo(kCausConcatenata)) || uguale(s.Campo(kTipoCausaleConc).testo(), "G"))) {
        pbBollaDog = true;
        if (vuoto(s.Campo(s.colonne.dettContoBlackList)))
            s.Nota(QStringLiteral("Il ") + s.etichetta + QStringLiteral(" è Bolla Doganale senza fornitore straniero"));
    }

    // 3. Document type.
    QString tipo;
    const Valore tipoCausaleFA = s.Campo(kFATipoDoc);
    const bool daCausale = !vuoto(tipoCausaleFA);
    if (daCausale)
        tipo = tipoCausaleFA.testo();
    else if (!s.Clienti() && uguale(s.Campo(kIntraCee).testo(), "S") && !uguale(notaVar, "S"))
        tipo = beniOServizi(s);
    else
        tipo = ElabTdDaSegno(s, s.Clienti() ? QStringLiteral("D") : QStringLiteral("A"));

    // 4. Self-invoices of fictitious clients go as invoices.
    if (uguale(tipo, "TD20")) tipo = QStringLiteral("TD01");
    if (daCausale && !TipoDocumentoPrevisto(tipo))
        s.Nota(QStringLiteral("Il ") + s.etichetta + QStringLiteral(" ha tipo documento ") + tipo +
               QStringLiteral(" della causale ") + s.Campo(kCausale).testo() +
               QStringLiteral(", non previsto dal tracciato dei dati fatture"));

    // 5. Signs.
    const bool notaCredito = uguale(tipo, "TD04");
    s.segnoTest = notaCredito && !uguale(notaVar, "S") ? -1 : 1;
    s.segnoRiga = notaCredito ? -1 : 1;
    return tipo;
}

QString ElabTdDaSegno(StatoRunDatiFat& s, const QString& psDareAvere) {
    const double importo = s.Numero(s.Campo(s.colonne.dettImporto), s.colonne.dettImporto);
    const bool latoSolito = s.Campo(s.colonne.dettDareAvere).testo().compare(psDareAvere, Qt::CaseInsensitive) == 0;
    const bool negativo = ConfrontaVal(importo, 0, -8) == -1;
    if (latoSolito && uguale(s.Campo(kNotaVar).testo(), "N") && !negativo) return QStringLiteral("TD01");
    if (!negativo) return latoSolito ? QStringLiteral("TD05") : QStringLiteral("TD04");
    return latoSolito ? QStringLiteral("TD04") : QStringLiteral("TD05");
}

QString ElabNatura(StatoRunDatiFat& s, QString& psEsigIvaRiga) {
    // 1. Line collectability: none on a zero rate, unless the code keeps it.
    const bool aliquotaZero = ConfrontaVal(s.Campo(kAliquota), 0, -8) == 0;
    psEsigIvaRiga = aliquotaZero && !uguale(s.Campo(kFEForzaSplit).testo(), "S") ? QString() : s.esigIva;

    // 2. Nature.
    QString natura;
    const Valore feNatura = s.Campo(kFENatura);
    if (!vuoto(feNatura)) {
        natura = feNatura.testo();
    } else if (aliquotaZero) {
        s.Nota(QStringLiteral("Il ") + s.etichetta + QStringLiteral(" ha codice iva ") + s.Campo(kIva).testo() +
               QStringLiteral(" con aliquota 0 e senza codice Natura"));
    } else if (uguale(s.Campo(kImportNoCee).testo(), "S")) {
        const bool autofatturaFittizio =
            uguale(s.Campo(kCliForFittizio).testo(), "S") && uguale(s.Campo(kFATipoDoc).testo(), "TD20");
        if (!s.bollaDog && italiano(s) && vuoto(s.Campo(s.colonne.dettContoBlackList)) && !autofatturaFittizio)
            s.Nota(QStringLiteral("Il ") + s.etichetta +
                   QStringLiteral(" è importazione extra UE senza fornitore straniero"));
    }

    // 3. Reverse charge is never split payment.
    if (uguale(natura, "N6") && uguale(psEsigIvaRiga, "S")) psEsigIvaRiga = QStringLiteral("I");
    return natura;
}
