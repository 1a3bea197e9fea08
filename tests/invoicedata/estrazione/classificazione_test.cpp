// The classification rules through whole runs on a small
// fixture: one registration per case, the rows written and the notes shown.
#include "invoicedata/estrazione/ClassificazioneDatiFat.h"
#include "invoicedata/estrazione/EstrazioneDatiFat.h"

#include "ContabilitaProva.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"

#include <gtest/gtest.h>

namespace {

using namespace contabilita;

struct DettAtteso {
    double imponibile = 100;
    double imposta = 22;
    const char* natura = "";
    const char* esigibilita = "I";
    double aliquota = 22;
};

struct Caso {
    const char* nome;
    RegProva reg;
    const char* tipo = "E";
    const char* tipoDoc = "TD01";
    double totale = 122;
    const char* conto = "14-01-000001";
    const char* bolla = "N";
    const char* numDoc = "12";
    std::vector<DettAtteso> righe = {DettAtteso{}};
    QStringList note;
    const char* gruppoIvaSplit = "";  // the menu's "CauCon.GruppoIvaSplit"
    bool stranieriEFittizi = false;   // "Solo stranieri" and "Anche clienti fittizi"
};

const QString kReg = QStringLiteral("Il movimento anno 2018 e numero 1");

void Verifica(const Caso& c) {
    FixtureDb fx;
    auto contesto = fx.InstallaContesto();
    auto dialoghi = std::make_shared<DialoghiScriptati>();
    auto menu = std::make_shared<MenuClientFinto>();
    menu->ImpostaValore("CauCon.GruppoIvaSplit", c.gruppoIvaSplit);
    contesto->ggDialoghi = dialoghi;
    contesto->ggMenuClient = menu;
    Anagrafiche(fx);
    Registra(fx, c.reg);

    EstrazioneDatiFat e;
    e.opzioni = {.anno = "2018", .numCom = "1", .dataDa = "01/01/2018", .dataA = "30/06/2018",
                 .cliFittizi = c.stranieriEFittizi, .soloStranieri = c.stranieriEFittizi};
    EXPECT_EQ(e.Esegui().stato, EsitoDatiFat::Completata) << dialoghi->testi().join(" | ").toStdString();
    EXPECT_EQ(dialoghi->testi(),
              QStringList{c.note.isEmpty() ? QStringLiteral("Elaborazione terminata") : c.note.join("\r\n")});

    const auto t = Testate(fx);
    ASSERT_EQ(t.size(), 1);
    EXPECT_EQ(t[0]["Tipo"], Valore(c.tipo));
    EXPECT_EQ(t[0]["TipoDocumento"], Valore(c.tipoDoc));
    EXPECT_EQ(t[0]["ImportoTotale"].numero(), c.totale);
    EXPECT_EQ(t[0]["GruppoPartita"].testo() + "-" + t[0]["MastroPartita"].testo() + "-" + t[0]["ContoPartita"].testo(),
              c.conto);
    EXPECT_EQ(t[0]["BollaDoganale"], Valore(c.bolla));
    EXPECT_EQ(t[0]["NumDoc"], Valore(c.numDoc));
    const bool clienti = QString(c.tipo) == "E";
    EXPECT_EQ(t[0]["DataDoc"], Valore((clienti ? c.reg.dataProt : c.reg.dataDoc).toString(Qt::ISODate)));
    EXPECT_EQ(t[0]["DataReg"], Valore(c.reg.dataReg.toString(Qt::ISODate)));
    EXPECT_EQ(t[0]["NumReg"], Valore(c.reg.numReg));
    for (const char* zero : {"NumCanc", "NumInv", "Progr"}) EXPECT_EQ(t[0][zero], Valore(0)) << zero;
    EXPECT_EQ(t[0]["Stato"], Valore("N"));
    EXPECT_TRUE(t[0]["NomeFile"].eNull());

    const auto d = Dettagli(fx);
    ASSERT_EQ(d.size(), static_cast<qsizetype>(c.righe.size()));
    for (size_t i = 0; i < c.righe.size(); ++i) {
        SCOPED_TRACE("riga " + std::to_string(i + 1));
        const DettAtteso& a = c.righe[i];
        EXPECT_EQ(d[i]["NumDet"], Valore(static_cast<int>(i + 1)));
        EXPECT_EQ(d[i]["Aliquota"].numero(), a.aliquota);
        EXPECT_EQ(d[i]["Natura"], Valore(a.natura));
        EXPECT_EQ(d[i]["ImponibileImporto"].numero(), a.imponibile);
        EXPECT_EQ(d[i]["Imposta"].numero(), a.imposta);
        EXPECT_EQ(d[i]["EsigibilitaIva"], Valore(a.esigibilita));
        EXPECT_TRUE(d[i]["Detraibile"].eNull());
        EXPECT_TRUE(d[i]["Deducibile"].eNull());
        for (const char* k : {"AnnoCom", "NumCom", "AnnoReg", "NumReg", "NumCanc", "Tipo", "Stato"})
            EXPECT_EQ(d[i][k], t[0][k]) << k;
    }
}

// Negative amounts of a credit note as the registers keep them.
RegProva Negativa(RegProva r) {
    r.importo = -122.0;
    r.importoControparte = -122.0;
    r.iva = {{.imponibile = -100.0, .imposta = -22.0}};
    return r;
}

TEST(ClassificazioneDatiFat, TipoDocumentoESegni) {
    const Caso casi[] = {
        {.nome = "fattura emessa in dare", .reg = {}},
        {.nome = "nota di variazione né S né N: nota di debito", .reg = {.causale = "FVX"}, .tipoDoc = "TD05"},
        {.nome = "emessa in avere: nota di credito", .reg = {.dareAvere = "A"}, .tipoDoc = "TD04", .totale = -122,
         .righe = {{.imponibile = -100, .imposta = -22}}},
        {.nome = "negativa in dare: nota di credito, segni girati",
         .reg = Negativa({}), .tipoDoc = "TD04", .totale = 122, .righe = {{.imponibile = 100, .imposta = 22}}},
        {.nome = "nota di credito di causale nota di variazione: totale com'è",
         .reg = Negativa({.causale = "NCV"}), .tipoDoc = "TD04", .totale = -122,
         .righe = {{.imponibile = 100, .imposta = 22}}},
        {.nome = "negativa in avere: nota di debito",
         .reg = {.dareAvere = "A", .importoControparte = -122.0}, .tipoDoc = "TD05"},
        {.nome = "tipo della causale, qualunque lato", .reg = {.causale = "TD4"}, .tipoDoc = "TD04", .totale = -122,
         .righe = {{.imponibile = -100, .imposta = -22}}},
        {.nome = "TD20 della causale come TD01",
         .reg = {.causale = "T20", .controparte = kClienteFittizio}, .conto = "14-01-000009",
         .stranieriEFittizi = true},
        {.nome = "tipo della causale non previsto dal tracciato",
         .reg = {.causale = "T24"}, .tipoDoc = "TD24",
         .note = {kReg + " ha tipo documento TD24 della causale T24, non previsto dal tracciato dei dati fatture"}},
        {.nome = "fattura ricevuta in avere",
         .reg = {.causale = "FA", .numDoc = "345", .preDoc = "B", .controparte = kFornitore, .dareAvere = "A"},
         .tipo = "R", .conto = "24-01-000001", .numDoc = "B/345"},
        {.nome = "acquisto intracomunitario di beni",
         .reg = {.causale = "FAI", .controparte = kFornitoreUe, .dareAvere = "A",
                 .altre = {{kCostiBeni, "D", 600}, {kCostiServizi, "D", 450, 50}}},
         .tipo = "R", .tipoDoc = "TD10", .conto = "24-01-000002", .numDoc = "F12"},
        {.nome = "acquisto intracomunitario di servizi (a parità)",
         .reg = {.causale = "FAI", .controparte = kFornitoreUe, .dareAvere = "A",
                 .altre = {{kCostiBeni, "D", 500}, {kCostiServizi, "D", 500}}},
         .tipo = "R", .tipoDoc = "TD11", .conto = "24-01-000002", .numDoc = "F12"},
        {.nome = "nota di variazione intracomunitaria: per lato e segno",
         .reg = {.causale = "NAI", .controparte = kFornitoreUe, .dareAvere = "D"},
         .tipo = "R", .tipoDoc = "TD04", .conto = "24-01-000002", .numDoc = "F12",
         .righe = {{.imponibile = -100, .imposta = -22}}},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        Verifica(c);
    }
}

TEST(ClassificazioneDatiFat, EsigibilitaENatura) {
    const RigaIvaProva zeroN2{.iva = "N2", .imposta = 0.0};
    const Caso casi[] = {
        {.nome = "scissione dei pagamenti", .reg = {.causale = "FVS"}, .righe = {{.esigibilita = "S"}}},
        {.nome = "scissione senza gruppo iva né valore del menu", .reg = {.causale = "FVT"}},
        {.nome = "scissione senza gruppo iva, valore del menu", .reg = {.causale = "FVT"},
         .righe = {{.esigibilita = "S"}}, .gruppoIvaSplit = "GR"},
        {.nome = "iva per cassa", .reg = {.ivaPerCassa = "s"}, .righe = {{.esigibilita = "D"}}},
        {.nome = "vendita ad esigibilità differita", .reg = {.causale = "FVD"}, .righe = {{.esigibilita = "D"}}},
        {.nome = "acquisto ad esigibilità differita",
         .reg = {.causale = "FAD", .controparte = kFornitore, .dareAvere = "A"},
         .tipo = "R", .conto = "24-01-000001", .numDoc = "F12", .righe = {{.esigibilita = "D"}}},
        {.nome = "reverse charge su scissione: immediata",
         .reg = {.causale = "FVS", .iva = {{.iva = "RC"}}}, .righe = {{.natura = "N6", .esigibilita = "I"}}},
        {.nome = "aliquota zero con natura", .reg = {.importo = 100.0, .importoControparte = 100.0, .iva = {zeroN2}},
         .totale = 100, .righe = {{.imposta = 0, .natura = "N2", .esigibilita = "", .aliquota = 0}}},
        {.nome = "aliquota zero con natura che tiene l'esigibilità",
         .reg = {.causale = "FVS", .importo = 100.0, .importoControparte = 100.0, .iva = {{.iva = "N2F", .imposta = 0.0}}},
         .totale = 100, .righe = {{.imposta = 0, .natura = "N2", .esigibilita = "S", .aliquota = 0}}},
        {.nome = "aliquota zero senza natura",
         .reg = {.importo = 100.0, .importoControparte = 100.0, .iva = {{.iva = "Z0", .imposta = 0.0}}},
         .totale = 100, .righe = {{.imposta = 0, .esigibilita = "", .aliquota = 0}},
         .note = {kReg + " ha codice iva Z0 con aliquota 0 e senza codice Natura"}},
        {.nome = "aliquota 10 con natura vuota",
         .reg = {.importo = 110.0, .importoControparte = 110.0, .iva = {{.iva = "10", .imposta = 10.0}}},
         .totale = 110, .righe = {{.imposta = 10, .aliquota = 10}}},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        Verifica(c);
    }
}

TEST(ClassificazioneDatiFat, BollaDoganaleEImportazioni) {
    const QString bollaSenzaFornitore = kReg + " è Bolla Doganale senza fornitore straniero";
    const QString importazione = kReg + " è importazione extra UE senza fornitore straniero";
    const auto acquisto = [](const char* causale, const QString& controparte, const QString& blackList = {}) {
        return RegProva{.causale = causale, .controparte = controparte, .dareAvere = "A", .contoBlackList = blackList};
    };
    const Caso casi[] = {
        {.nome = "bolla doganale", .reg = acquisto("BD", kDogana), .tipo = "R", .conto = "24-01-000003",
         .bolla = "S", .numDoc = "F12", .note = {bollaSenzaFornitore}},
        {.nome = "bolla doganale col fornitore straniero",
         .reg = acquisto("BD", kDogana, kFornitoreExtraUe), .tipo = "R", .conto = "24-01-000004", .bolla = "S",
         .numDoc = "F12"},
        {.nome = "bolla doganale concatenata a un giroconto", .reg = acquisto("BDG", kDogana), .tipo = "R",
         .conto = "24-01-000003", .bolla = "S", .numDoc = "F12", .note = {bollaSenzaFornitore}},
        {.nome = "paese con codice ISO vuoto: Italia", .reg = acquisto("BD", kClienteIsoVuoto), .tipo = "R",
         .conto = "14-01-000004", .bolla = "S", .numDoc = "F12", .note = {bollaSenzaFornitore}},
        {.nome = "paese con codice ISO nullo: Italia", .reg = acquisto("BD", kClienteIsoNull), .tipo = "R",
         .conto = "14-01-000006", .bolla = "S", .numDoc = "F12", .note = {bollaSenzaFornitore}},
        {.nome = "paese senza riga in Stati: Italia", .reg = acquisto("BD", kClienteSenzaStato), .tipo = "R",
         .conto = "14-01-000005", .bolla = "S", .numDoc = "F12", .note = {bollaSenzaFornitore}},
        {.nome = "importazione dal fornitore straniero", .reg = acquisto("BD", kFornitoreExtraUe), .tipo = "R",
         .conto = "24-01-000004", .numDoc = "F12"},
        {.nome = "importazione concatenata a una causale non giroconto", .reg = acquisto("IMP", kFornitore),
         .tipo = "R", .conto = "24-01-000001", .numDoc = "F12", .note = {importazione}},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        Verifica(c);
    }
}

TEST(ClassificazioneDatiFat, RigheDellaComunicazione) {
    // Posted 100 + 22 and -100 - 22 on the same code, netting to a zero line.
    const std::vector<RigaContoProva> stornate = {{kRicaviBeni, "A", 100, 0, "22", 22},
                                                  {kRicaviBeni, "A", -100, 0, "22", -22}};
    std::vector<RigaContoProva> stornatePiuDieci = stornate;
    stornatePiuDieci.push_back({kRicaviBeni, "A", 50, 0, "10", 5});
    const RigaIvaProva zero{.imponibile = 0.0, .imposta = 0.0};
    const Caso casi[] = {
        {.nome = "conto della riga iva", .reg = {.iva = {{.conto = kClienteUe}}}, .conto = "14-01-000002"},
        {.nome = "il conto della black list prevale",
         .reg = {.contoBlackList = kClienteExtraUe, .iva = {{.conto = kClienteUe}}}, .conto = "14-01-000003"},
        {.nome = "riga iva senza conto", .reg = {.iva = {{.conto = "-"}}}, .conto = "--",
         .note = {"Registrazione anno 2018 numero 1 non ha record iva corretto (vedi manuale in linea)"}},
        {.nome = "protocollo con prefisso", .reg = {.preProt = "A"}, .numDoc = "A/12"},
        {.nome = "prefisso punto", .reg = {.preProt = "."}, .numDoc = "12"},
        {.nome = "riga a zero: coppia ricalcolata",
         .reg = {.importo = 0.0, .importoControparte = 0.0, .iva = {zero}, .altre = stornate}, .totale = 0,
         .righe = {{.imponibile = 100, .imposta = 22}, {.imponibile = -100, .imposta = -22}}},
        {.nome = "riga a zero senza movimenti positivi: una riga",
         .reg = {.importo = 0.0, .importoControparte = 0.0, .iva = {zero}, .altre = {stornate[1]}}, .totale = 0,
         .righe = {{.imponibile = 0, .imposta = 0}}},
        {.nome = "dopo la coppia la numerazione prosegue",
         .reg = {.importo = 55.0, .importoControparte = 55.0,
                 .iva = {zero, {.iva = "10", .imponibile = 50.0, .imposta = 5.0}}, .altre = stornatePiuDieci},
         .totale = 55,
         .righe = {{.imponibile = 100, .imposta = 22}, {.imponibile = -100, .imposta = -22},
                   {.imponibile = 50, .imposta = 5, .aliquota = 10}}},
        {.nome = "tre righe iva",
         .reg = {.importo = 244.0, .importoControparte = 244.0,
                 .iva = {{}, {.iva = "10", .imponibile = 200.0, .imposta = 20.0}, {.iva = "RC", .imponibile = 10.0, .imposta = 2.0}}},
         .totale = 244,
         .righe = {{}, {.imponibile = 200, .imposta = 20, .aliquota = 10}, {.imponibile = 10, .imposta = 2, .natura = "N6"}}},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        Verifica(c);
    }
}

TEST(ClassificazioneDatiFat, TipiDocumentoDelTracciato) {
    for (const char* t : {"TD01", "td04", "TD05", "TD07", "TD08", "TD10", "TD11"}) EXPECT_TRUE(TipoDocumentoPrevisto(t)) << t;
    for (const char* t : {"TD20", "TD24", "TD06", "", "TD1"}) EXPECT_FALSE(TipoDocumentoPrevisto(t)) << t;
}

}  // namespace
