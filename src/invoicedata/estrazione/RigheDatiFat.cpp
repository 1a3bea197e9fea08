#include "invoicedata/estrazione/RigheDatiFat.h"

#include "common/FrmMsgCom.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/util/UtilGenerali.h"
#include "invoicedata/estrazione/StatoRunDatiFat.h"
#include "contesto/Contesto.h"

#include <limits>

namespace {

constexpr long kOverflow = 6;

const QString kAliquota = QStringLiteral("Tabiva.Aliquota");
const QString kIva = QStringLiteral("Tabiva.Iva");
const QString kRigaIva = QStringLiteral("Tabiva.RigaIva");

QString sql(const Valore& v, int tipo) { return ggUtil().FormatoSql(v, tipo); }

// value x sign, keeping an empty value empty (it goes in as Null).
Valore conSegno(const Valore& v, int segno) {
    return v.eVuotoONull() ? v : Valore(v.numero() * segno);
}

// Runs the insert; false, after the note, when it did not write exactly one row.
bool inserisci(StatoRunDatiFat& s, const QString& istruzione, const QString& nota) {
    s.gestDb->EseguiSql(s.idDb, istruzione);
    if (s.gestDb->DatabaseDaId(s.idDb)->RecordsAffected() == 1) return true;
    s.Nota(nota);
    return false;
}

// The registration number of the communication rows: with the pass's offset,
// within 32 bits.
long numRegComunicazione(const StatoRunDatiFat& s) {
    const long long n = static_cast<long long>(s.numUlt) + s.tabelle.offset;
    if (n > std::numeric_limits<int32_t>::max() || n < std::numeric_limits<int32_t>::min())
        throw ErroreRun(kOverflow, QStringLiteral("Overflow"));
    return static_cast<long>(n);
}

// The seven key values of the registration's rows, joined by ", "; made
// once for the header and the lines of a registration.
const QString& testoChiave(StatoRunDatiFat& s) {
    auto& k = s.chiaveRighe;
    if (k.annoCom != s.annoCom || k.numCom != s.numCom || k.anno != s.annoUlt || k.num != s.numUlt ||
        k.offset != s.tabelle.offset || k.tipo != s.tipo) {
        k.testo = sql(s.annoCom, TipoDato::Intero) + QStringLiteral(", ") + sql(s.numCom, TipoDato::Intero) +
                  QStringLiteral(", ") + sql(s.annoUlt, TipoDato::Intero) + QStringLiteral(", ") +
                  sql(numRegComunicazione(s), TipoDato::Lungo) + QStringLiteral(", 0, ") +
                  sql(s.tipo, TipoDato::Testo) + QStringLiteral(", 'N'");
        k.annoCom = s.annoCom;
        k.numCom = s.numCom;
        k.anno = s.annoUlt;
        k.num = s.numUlt;
        k.offset = s.tabelle.offset;
        k.tipo = s.tipo;
    }
    return k.testo;
}

// The document number: prefix + "/" + number when the prefix is not empty or ".".
QString numeroDocumento(const QString& prefisso, const QString& numero) {
    const QString p = prefisso.trimmed();
    return p.isEmpty() || p == QLatin1String(".") ? numero : prefisso + QLatin1Char('/') + numero;
}

}  // namespace

bool NumeriLeggibili(StatoRunDatiFat& s) {
    const ColonnePassata& c = s.colonne;
    return s.NumeroLeggibile(s.Campo(c.tesImporto), c.tesImporto) &&
           s.NumeroLeggibile(s.Campo(c.ivaImponibile), c.ivaImponibile) &&
           s.NumeroLeggibile(s.Campo(c.ivaImposta), c.ivaImposta) &&
           s.NumeroLeggibile(s.Campo(kAliquota), kAliquota,
                             QStringLiteral(" (codice Iva ") + s.Campo(kIva).testo() + QLatin1Char(')'));
}

bool CreaTestata(StatoRunDatiFat& s) {
    const UtilGenerali& u = ggUtil();
    const ColonnePassata& c = s.colonne;
    Valore gruppo, mastro, conto;
    const Valore contoBlackList = s.Campo(c.dettContoBlackList);
    if (!u.EVuoto(contoBlackList)) {
        gruppo = s.Campo(c.dettGruppoBlackList);
        mastro = s.Campo(c.dettMastroBlackList);
        conto = contoBlackList;
    } else {
        gruppo = s.Campo(c.ivaGruppoPartita);
        mastro = s.Campo(c.ivaMastroPartita);
        conto = s.Campo(c.ivaContoPartita);
        if (u.EVuoto(gruppo) || u.EVuoto(mastro) || u.EVuoto(conto))
            s.Nota(QStringLiteral("Registrazione anno ") + s.Campo(c.tesAnno).testo() + QStringLiteral(" numero ") +
                   s.Campo(c.tesNumReg).testo() + QStringLiteral(" non ha record iva corretto (vedi manuale in linea)"));
    }
    const bool clienti = s.Clienti();
    const QString numDoc = clienti ? numeroDocumento(s.Campo(c.tesPreProt).testo(), s.Campo(c.tesNumProt).testo())
                                   : numeroDocumento(s.Campo(c.tesPreDoc).testo(), s.Campo(c.tesNumDoc).testo());
    const QString istruzione =
        QStringLiteral("INSERT INTO DatiFatTest (AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato, NumInv, Progr,"
                       " GruppoPartita, MastroPartita, ContoPartita, TipoDocumento, DataDoc, NumDoc, DataReg,"
                       " ImportoTotale, NomeFile, BollaDoganale) VALUES (") +
        testoChiave(s) + QStringLiteral(", 0, 0, ") + sql(gruppo.testo(), TipoDato::Testo) + QStringLiteral(", ") +
        sql(mastro.testo(), TipoDato::Testo) + QStringLiteral(", ") + sql(conto.testo(), TipoDato::Testo) +
        QStringLiteral(", ") + sql(s.tipoDoc, TipoDato::Testo) + QStringLiteral(", ") +
        sql(s.Campo(clienti ? c.tesDataProt : c.tesDataDoc), TipoDato::Data) + QStringLiteral(", ") +
        sql(numDoc, TipoDato::Testo) + QStringLiteral(", ") + sql(s.Campo(c.tesDataReg), TipoDato::Data) +
        QStringLiteral(", ") + sql(conSegno(s.Campo(c.tesImporto), s.segnoTest), TipoDato::Doppio) +
        QStringLiteral(", Null, ") + (s.bollaDog ? QStringLiteral("'S'") : QStringLiteral("'N'")) +
        QLatin1Char(')');
    return inserisci(s, istruzione, QStringLiteral("Non è riuscito l'inserimento della testata del ") + s.etichetta);
}

bool CreaDett(StatoRunDatiFat& s) {
    const ColonnePassata& c = s.colonne;
    const QString inizio =
        QStringLiteral("INSERT INTO DatiFatDett (AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato, NumDet,"
                       " Aliquota, Natura, ImponibileImporto, Imposta, EsigibilitaIva) VALUES (") +
        testoChiave(s);
    const QString aliquota = sql(s.Campo(kAliquota), TipoDato::Doppio);
    const QString coda = QStringLiteral(", ") + sql(s.esigIvaRiga, TipoDato::Testo) + QLatin1Char(')');
    const auto riga = [&](const Valore& imponibile, const Valore& imposta) {
        if (s.contaRighe > std::numeric_limits<int16_t>::max()) throw ErroreRun(kOverflow, QStringLiteral("Overflow"));
        return inizio + QStringLiteral(", ") + sql(s.contaRighe, TipoDato::Intero) + QStringLiteral(", ") + aliquota +
               QStringLiteral(", ") + sql(s.natura, TipoDato::Testo) + QStringLiteral(", ") +
               sql(imponibile, TipoDato::Doppio) + QStringLiteral(", ") + sql(imposta, TipoDato::Doppio) + coda;
    };
    // The code, not the VAT amount, names the line in the notes.
    const auto nota = [&](const char* cosa) {
        return QStringLiteral("Non è riuscito l'inserimento ") + QLatin1String(cosa) + QStringLiteral(" del ") +
               s.etichetta + QStringLiteral(" codice Iva ") + s.Campo(kIva).testo() + QStringLiteral(" (riga ") +
               s.Campo(kRigaIva).testo() + QLatin1Char(')');
    };

    const Valore imponibile = s.Campo(c.ivaImponibile);
    const Valore imposta = s.Campo(c.ivaImposta);
    if (ConfrontaVal(imponibile, 0, -8) == 0 && ConfrontaVal(imposta, 0, -8) == 0) {
        // A line that nets to nothing: what was posted on its code, then the
        // same with the sign turned.
        double totImponib = 0, totImposta = 0;
        if (!CalcTotIva(s, totImponib, totImposta)) {
            s.Nota(QStringLiteral("Non è riuscito il ricalcolo dei totali del ") + s.etichetta +
                   QStringLiteral(" codice Iva ") + s.Campo(kIva).testo());
            return false;
        }
        if (!inserisci(s, riga(totImponib, totImposta), nota("della dettaglio"))) return false;
        if (ConfrontaVal(totImponib, 0, -8) != 0 || ConfrontaVal(totImposta, 0, -8) != 0) {
            ++s.contaRighe;
            if (!inserisci(s, riga(-totImponib, -totImposta), nota("della dettaglio"))) return false;
        }
        return true;
    }
    return inserisci(s, riga(conSegno(imponibile, s.segnoRiga), conSegno(imposta, s.segnoRiga)), nota("del dettaglio"));
}

bool CalcTotIva(StatoRunDatiFat& s, double& pdTotImponib, double& pdTotImpoSta) {
    pdTotImponib = 0;
    pdTotImpoSta = 0;
    try {
        const ColonnePassata& c = s.colonne;
        GestRecordset rs;
        // The non-negative postings are chosen here, not in the query: a
        // database file compares any text above every number, "-5,00" too.
        const QString k = rs.ApriRecordset(
            *s.gestDb, s.idDb, QString(),
            QStringLiteral("SELECT * FROM ") + s.tabelle.dett + QStringLiteral(" WHERE Anno = ") +
                sql(s.Campo(c.ivaAnno), TipoDato::Intero) + QStringLiteral(" AND NumReg = ") +
                sql(s.Campo(c.ivaNumReg), TipoDato::Lungo) + QStringLiteral(" AND Iva = ") +
                sql(s.Campo(c.ivaIva).testo(), TipoDato::Testo) +
                QStringLiteral(" AND Importo IS NOT NULL AND Imposta IS NOT NULL"),
            false, 4);
        const QString importo = s.tabelle.dett + QStringLiteral(".Importo");
        const QString impostaRiga = s.tabelle.dett + QStringLiteral(".Imposta");
        for (; !rs.FineRec(k); rs.RecSuccessivo(k)) {
            const QString riga = QStringLiteral(" (riga ") + rs.LeggiCampo(k, QStringLiteral("RigReg")).testo() +
                                 QLatin1Char(')');
            const double imponibile = s.Numero(rs.LeggiCampo(k, QStringLiteral("Importo")), importo, riga);
            const double imposta = s.Numero(rs.LeggiCampo(k, QStringLiteral("Imposta")), impostaRiga, riga);
            if (imponibile < 0 || imposta < 0) continue;
            pdTotImponib += imponibile;
            pdTotImpoSta += imposta;
        }
        rs.ChiudiRecordset(k);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e, QString(), QString());
        return false;
    }
    return true;
}
