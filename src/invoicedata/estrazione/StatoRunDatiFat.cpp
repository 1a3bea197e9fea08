#include "invoicedata/estrazione/StatoRunDatiFat.h"

#include "common/NumeriLetti.h"
#include "components/db/GestRecordset.h"
#include "components/util/UtilGenerali.h"

ColonnePassata::ColonnePassata(const TabellePassata& t) {
    const auto tes = [&](const char* c) { return t.tes + QLatin1Char('.') + QLatin1String(c); };
    const auto dett = [&](const char* c) { return t.dett + QLatin1Char('.') + QLatin1String(c); };
    const auto iva = [&](const char* c) { return t.iva + QLatin1Char('.') + QLatin1String(c); };
    tesAnno = tes("Anno");
    tesNumReg = tes("NumReg");
    tesDataReg = tes("DataReg");
    tesDataDoc = tes("DataDoc");
    tesNumDoc = tes("NumDoc");
    tesPreDoc = tes("PreDoc");
    tesDataProt = tes("DataProt");
    tesNumProt = tes("NumProt");
    tesPreProt = tes("PreProt");
    tesImporto = tes("Importo");
    tesIvaPerCassa = tes("IvaPerCassa");
    dettDareAvere = dett("DareAvere");
    dettImporto = dett("Importo");
    dettGruppoBlackList = dett("GruppoBlackList");
    dettMastroBlackList = dett("MastroBlackList");
    dettContoBlackList = dett("ContoBlackList");
    ivaAnno = iva("Anno");
    ivaNumReg = iva("NumReg");
    ivaIva = iva("Iva");
    ivaImponibile = iva("Imponibile");
    ivaImposta = iva("Imposta");
    ivaGruppoPartita = iva("GruppoPartita");
    ivaMastroPartita = iva("MastroPartita");
    ivaContoPartita = iva("ContoPartita");
}

Valore StatoRunDatiFat::Campo(const QString& nome) const { return rs->LeggiCampo(chiave, nome); }

bool StatoRunDatiFat::NumeroLeggibile(const Valore& v, const QString& colonna, const QString& precisazione) {
    if (!TestoNonNumerico(v)) return true;
    Nota(NotaNonNumerico(etichetta, colonna + precisazione, v));
    return false;
}

double StatoRunDatiFat::Numero(const Valore& v, const QString& colonna, const QString& precisazione) {
    if (!NumeroLeggibile(v, colonna, precisazione)) throw NumeroNonLeggibile{};
    return v.numero();
}

bool Uguale(const Valore& v, const char* testo) {
    return v.testo().compare(QLatin1String(testo), Qt::CaseInsensitive) == 0;
}
