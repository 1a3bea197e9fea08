// Selection of registrations: period dates by era, the filter over the communication rows,
// the SQL text of the passes, and which registrations a pass selects.
#include "invoicedata/estrazione/EstrazioneDatiFat.h"
#include "invoicedata/estrazione/SelezioneDatiFat.h"

#include "ContabilitaProva.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"

#include "support/DatabasePg.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace contabilita;

TEST(SelezioneDatiFat, DateDelPeriodoPerEpoca) {
    const struct {
        int anno, numero;
        QDate da, a;
    } casi[] = {
        {2019, 12, {2019, 12, 1}, {2019, 12, 31}},  {2019, 1, {2019, 1, 1}, {2019, 1, 31}},
        {2019, 2, {2019, 2, 1}, {2019, 2, 28}},     {2018, 1, {2018, 1, 1}, {2018, 6, 30}},
        {2018, 2, {2018, 7, 1}, {2018, 12, 31}},    {2018, 3, {2018, 7, 1}, {2018, 9, 30}},
        {2017, 4, {2017, 10, 1}, {2017, 12, 31}},   {2020, 1, {2020, 1, 1}, {2020, 3, 31}},
        {2021, 4, {2021, 10, 1}, {2021, 12, 31}},   {2021, 5, {2022, 1, 1}, {2022, 3, 31}},
        {2019, 13, {2020, 1, 1}, {2020, 1, 31}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(std::to_string(c.anno) + "/" + std::to_string(c.numero));
        const PeriodoDatiFat p = ImpDateSel(c.anno, c.numero);
        EXPECT_EQ(p.da, c.da);
        EXPECT_EQ(p.a, c.a);
    }
    EXPECT_FALSE(ImpDateSel(0, 1).da.isValid());
}

class SqlDatiFat : public ::testing::Test {
protected:
    void SetUp() override { contesto = fx.InstallaContesto(); }
    FixtureDb fx;
    std::shared_ptr<Contesto> contesto;
    OpzioniDatiFat o{.anno = "2018", .numCom = "1", .dataDa = "01/01/2018", .dataA = "30/06/2018"};
};

TEST_F(SqlDatiFat, FiltroDelleRigheDellaComunicazione) {
    const QString base = " Where DatiFatTest.AnnoCom = 2018 And DatiFatTest.NumCom = 1";
    EXPECT_EQ(SqlWhere(o, true, "", ""), base + " And DatiFatTest.NumInv = 0 And DatiFatTest.NumCanc = 0");
    EXPECT_EQ(SqlWhere(o, false, "R", "DFAlias"),
              " Where DFAlias.AnnoCom = 2018 And DFAlias.NumCom = 1 And DFAlias.NumCanc = 0 And DFAlias.Tipo = 'R'");
    o.clienti = false;
    EXPECT_EQ(SqlWhere(o, false, "", ""), base + " And DatiFatTest.NumCanc = 0 And DatiFatTest.Tipo = 'R'");
    o.clienti = true;
    o.fornitori = false;
    EXPECT_EQ(SqlWhere(o, false, "", ""), base + " And DatiFatTest.NumCanc = 0 And DatiFatTest.Tipo = 'E'");
    EXPECT_EQ(SqlWhere(o, false, "R", ""), base + " And DatiFatTest.NumCanc = 0 And DatiFatTest.Tipo = 'R'");
}

TEST_F(SqlDatiFat, DataDiSelezioneDeiRegistriTrasportatori) {
    const QString t = SelTrasp("T", "MovPnTes", "01/01/2018", "31/03/2018");
    EXPECT_TRUE(t.startsWith(" AND CASE WHEN MovPnTes.PreDoc = 'T' THEN ("));
    EXPECT_TRUE(SelTrasp("('A','T')", "MovPnTesFitt", "01/01/2018", "31/03/2018")
                    .startsWith(" AND CASE WHEN MovPnTesFitt.PreDoc IN ('A','T') THEN"));
    EXPECT_TRUE(t.endsWith(" ELSE MovPnTes.DataDoc >= '2018-01-01' AND MovPnTes.DataDoc <= '2018-03-31' END"));
    // The VAT period's months as counts: January to March 2018; a period
    // starting after the 1st leaves its first month out.
    EXPECT_TRUE(t.contains(") >= 24216 AND (") && t.contains(") <= 24218 ELSE")) << t.toStdString();
    EXPECT_TRUE(SelTrasp("T", "MovPnTes", "02/01/2018", "31/03/2018").contains(") >= 24217 AND ("));
    EXPECT_TRUE(SelTrasp("T", "MovPnTes", "", "31/03/2018").contains(") >= Null AND ("));
    for (const char* funzione : {"date(", "printf(", "strftime("}) EXPECT_FALSE(t.contains(funzione)) << funzione;
}

// Every combination of kind, pass, options and haulage registers.
void PerOgniCombinazione(const OpzioniDatiFat& o, const std::function<void(const PassataDatiFat&, const QString&)>& f) {
    for (const char* tipo : {"E", "R"})
        for (bool fittizia : {false, true})
            for (int opzioni = 0; opzioni < 8; ++opzioni)
                for (const char* pref : {"", "T", "('A','T')"}) {
                    OpzioniDatiFat op = o;
                    op.cliFittizi = opzioni & 1;
                    op.soloStranieri = opzioni & 2;
                    const PassataDatiFat p{tipo, fittizia ? PassataFittizia() : PassataReale(), (opzioni & 4) != 0, pref};
                    const QString sql = PrepSql(op, p);
                    SCOPED_TRACE(sql.toStdString());
                    f(p, sql);
                }
}

// Every combination is SQL that SQLite prepares; the fictitious pass
// compares the communication rows with the number plus 100000 in both
// subqueries; Jet's "&" is gone.
TEST_F(SqlDatiFat, OgniCombinazioneSiPrepara) {
    sqlite3* db = fx.gestDb->DatabaseDaId(fx.idAzienda)->Handle();
    PerOgniCombinazione(o, [&](const PassataDatiFat& p, const QString& sql) {
        const bool fittizia = p.tabelle.offset != 0;
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_finalize(st);
        EXPECT_FALSE(sql.contains('&'));
        if (fittizia) {
            EXPECT_TRUE(sql.contains("DFPerPrec.NumReg = MovPnTesFitt.NumReg + 100000"));
            EXPECT_EQ(sql.contains("DFAlias.NumReg = MovPnTesFitt.NumReg + 100000"), p.datiPrec);
        } else {
            EXPECT_FALSE(sql.contains("100000"));
        }
    });
}

// The same texts run on a company database on the server.
TEST(SelezioneDatiFatServer, OgniCombinazioneSiEsegue) {
    SALTA_SENZA_PG();
    FixtureDb fx(Motore::Server);
    auto contesto = fx.InstallaContesto();
    Anagrafiche(fx);
    const OpzioniDatiFat o{.anno = "2018", .numCom = "1", .dataDa = "01/01/2018", .dataA = "30/06/2018"};
    PerOgniCombinazione(o, [&](const PassataDatiFat&, const QString& sql) {
        EXPECT_NO_THROW(LeggiTutto(*fx.gestDb, fx.idAzienda, sql, QStringLiteral("Prova")));
    });
    ImpostaContesto(nullptr);
}

// Whether one registration reaches the communication, case by case.
struct CasoSelezione {
    const char* nome;
    RegProva reg;
    bool estratta = true;
    bool soloStranieri = false;
    bool cliFittizi = false;
};

void VerificaSelezione(const CasoSelezione& c) {
    FixtureDb fx;
    auto contesto = fx.InstallaContesto();
    auto dialoghi = std::make_shared<DialoghiScriptati>();
    contesto->ggDialoghi = dialoghi;
    contesto->ggMenuClient = std::make_shared<MenuClientFinto>();
    Anagrafiche(fx);
    Registra(fx, c.reg);
    EstrazioneDatiFat e;
    e.opzioni = {.anno = "2018", .numCom = "1", .dataDa = "01/01/2018", .dataA = "30/06/2018",
                 .cliFittizi = c.cliFittizi, .soloStranieri = c.soloStranieri};
    EXPECT_EQ(e.Esegui().stato, EsitoDatiFat::Completata) << dialoghi->testi().join(" | ").toStdString();
    EXPECT_EQ(Testate(fx).size(), c.estratta ? 1 : 0);
}

TEST(SelezioneDatiFatRegistrazioni, RilevanzaCausaliECodiciIva) {
    const auto acquisto = [](const char* causale, QDate dataDoc, QDate dataReg) {
        return RegProva{.causale = causale, .dataReg = dataReg, .dataDoc = dataDoc, .controparte = kFornitore,
                        .dareAvere = "A"};
    };
    const CasoSelezione casi[] = {
        {.nome = "registrazione rilevante", .reg = {}},
        {.nome = "registrazione marcata I", .reg = {.operazRilev = "I"}, .estratta = false},
        {.nome = "registrazione marcata i", .reg = {.operazRilev = "i"}, .estratta = false},
        {.nome = "rilevanza vuota", .reg = {.operazRilev = ""}},
        {.nome = "controparte esclusa", .reg = {.controparte = kClienteEscluso}, .estratta = false},
        {.nome = "controparte esclusa, registrazione F", .reg = {.operazRilev = "F", .controparte = kClienteEscluso}},
        {.nome = "codice iva escluso", .reg = {.iva = {{.iva = "ESC"}}}, .estratta = false},
        {.nome = "codice iva con AllegCF vuoto", .reg = {.iva = {{.iva = "10", .imposta = 10.0}}}},
        {.nome = "causale ImportAutRsm", .reg = {.causale = "AUT"}, .estratta = false},
        {.nome = "causale di vendita con i flag nulli", .reg = {.causale = "FVN"}},
        {.nome = "causale con reverse charge", .reg = {.causale = "RCV"}, .estratta = false},
        {.nome = "intra con causale concatenata", .reg = {.causale = "FVC"}, .estratta = false},
        {.nome = "intra con causale concatenata vuota", .reg = {.causale = "FVV"}},
        {.nome = "intra senza causale concatenata", .reg = {.causale = "FVI"}},
        {.nome = "importazione extra UE tra i clienti", .reg = {.causale = "T20", .controparte = kClienteFittizio},
         .estratta = false},
        {.nome = "causale inesistente", .reg = {.causale = "NOPE"}, .estratta = false},
        {.nome = "conto della controparte inesistente", .reg = {.controparte = "99-99-999999"}, .estratta = false},
        {.nome = "codice iva inesistente", .reg = {.iva = {{.iva = "XX"}}}, .estratta = false},
        {.nome = "clienti per data documento: prima", .reg = {.dataReg = {2018, 1, 5}, .dataDoc = {2017, 12, 31}},
         .estratta = false},
        {.nome = "clienti: primo giorno", .reg = {.dataReg = {2017, 12, 30}, .dataDoc = {2018, 1, 1}}},
        {.nome = "clienti: ultimo giorno", .reg = {.dataReg = {2018, 7, 2}, .dataDoc = {2018, 6, 30}}},
        {.nome = "clienti: dopo", .reg = {.dataReg = {2018, 6, 30}, .dataDoc = {2018, 7, 1}}, .estratta = false},
        {.nome = "fornitori per data registrazione", .reg = acquisto("FA", {2017, 12, 20}, {2018, 1, 2})},
        {.nome = "fornitori: dopo", .reg = acquisto("FA", {2018, 6, 20}, {2018, 7, 1}), .estratta = false},
        {.nome = "fornitori: ultimo giorno", .reg = acquisto("FAD", {2018, 6, 20}, {2018, 6, 30})},
    };
    for (const CasoSelezione& c : casi) {
        SCOPED_TRACE(c.nome);
        VerificaSelezione(c);
    }
}

TEST(SelezioneDatiFatRegistrazioni, SoloStranieri) {
    const CasoSelezione casi[] = {
        {.nome = "cliente tedesco", .reg = {.controparte = kClienteUe}, .soloStranieri = true},
        {.nome = "cliente svizzero", .reg = {.controparte = kClienteExtraUe}, .soloStranieri = true},
        {.nome = "cliente italiano", .reg = {}, .estratta = false, .soloStranieri = true},
        {.nome = "codice ISO vuoto", .reg = {.controparte = kClienteIsoVuoto}, .estratta = false, .soloStranieri = true},
        {.nome = "codice ISO nullo", .reg = {.controparte = kClienteIsoNull}, .estratta = false, .soloStranieri = true},
        {.nome = "paese senza riga", .reg = {.controparte = kClienteSenzaStato}, .estratta = false,
         .soloStranieri = true},
        {.nome = "cliente fittizio TD20", .reg = {.causale = "T20", .controparte = kClienteFittizio},
         .soloStranieri = true, .cliFittizi = true},
        {.nome = "cliente italiano su causale TD20", .reg = {.causale = "T20"}, .estratta = false,
         .soloStranieri = true, .cliFittizi = true},
        {.nome = "cliente fittizio su causale ordinaria", .reg = {.controparte = kClienteFittizio}, .estratta = false,
         .soloStranieri = true, .cliFittizi = true},
    };
    for (const CasoSelezione& c : casi) {
        SCOPED_TRACE(c.nome);
        VerificaSelezione(c);
    }
}

// Haulage registers: their documents are dated by the first day of their VAT
// period; one register is an equality, several an IN list.
TEST_F(SqlDatiFat, RegistriDeiTrasportatori) {
    EXPECT_EQ(LeggiPrefTrasp(*fx.gestDb, fx.idAzienda, "2018"), "");
    fx.Esegui(fx.idAzienda, "INSERT INTO LibriIva (Anno, TipoReg, Pref, Trasportatori) VALUES"
                            " (2018, 'V', 'T', 'S'), (2018, 'V', '', 'N'), (2018, 'A', 'Z', 'S'), (2017, 'V', 'Q', 'S')");
    EXPECT_EQ(LeggiPrefTrasp(*fx.gestDb, fx.idAzienda, "2018"), "T");
    fx.Esegui(fx.idAzienda, "INSERT INTO LibriIva (Anno, TipoReg, Pref, Trasportatori) VALUES (2018, 'v', 'A''B', 's')");
    EXPECT_EQ(LeggiPrefTrasp(*fx.gestDb, fx.idAzienda, "2018"), "('A''B','T')");
}

TEST(SelezioneDatiFatRegistrazioni, DocumentiDeiTrasportatoriPerPeriodoIva) {
    struct Caso {
        const char* nome;
        RegProva reg;
        const char* registri;  // haulage prefixes of the year
        OpzioniDatiFat op;
        bool estratta;
    };
    const OpzioniDatiFat primo{.anno = "2018", .numCom = "1", .dataDa = "01/01/2018", .dataA = "30/06/2018"};
    const OpzioniDatiFat secondo{.anno = "2018", .numCom = "2", .dataDa = "01/07/2018", .dataA = "31/12/2018"};
    const OpzioniDatiFat primo22{.anno = "2022", .numCom = "1", .dataDa = "01/01/2022", .dataA = "31/03/2022"};
    const RegProva giugno{.dataDoc = {2018, 6, 20}, .preDoc = "T", .annoIva = 2018, .periodoIva = 7};
    RegProva dicembre = giugno;
    dicembre.anno = 2021;
    dicembre.dataDoc = {2021, 12, 20};
    dicembre.dataReg = {2022, 1, 10};
    dicembre.annoIva = 2022;
    dicembre.periodoIva = 1;
    RegProva senzaPeriodo = giugno;
    senzaPeriodo.annoIva = Valore();
    senzaPeriodo.periodoIva = "";
    RegProva tredicesimo = dicembre;
    tredicesimo.annoIva = 2021;
    tredicesimo.periodoIva = 13;
    const OpzioniDatiFat dopoIlPrimo{.anno = "2018", .numCom = "2", .dataDa = "02/07/2018", .dataA = "31/12/2018"};
    const OpzioniDatiFat finoAlPrimo{.anno = "2018", .numCom = "1", .dataDa = "01/01/2018", .dataA = "01/07/2018"};
    RegProva altroRegistro = giugno;
    altroRegistro.preDoc = "X";
    const Caso casi[] = {
        {"giugno registrato a luglio: non nel primo semestre", giugno, "T", primo, false},
        {"giugno registrato a luglio: nel secondo semestre", giugno, "T", secondo, true},
        {"con due registri", giugno, "A,T", secondo, true},
        {"dicembre nel periodo di gennaio dell'anno dopo", dicembre, "T", primo22, true},
        {"periodo iva vuoto: data del documento", senzaPeriodo, "T", primo, true},
        {"documento di un altro registro: data del documento", altroRegistro, "T", primo, true},
        {"senza registri dei trasportatori", giugno, "", primo, true},
        {"mese 13: gennaio dell'anno dopo", tredicesimo, "T", primo22, true},
        {"periodo iniziato dopo il primo del mese: quel mese resta fuori", giugno, "T", dopoIlPrimo, false},
        {"periodo finito il primo del mese: quel mese vi rientra", giugno, "T", finoAlPrimo, true},
    };
    // The month count is the same arithmetic on both engines.
    for (Motore motore : {Motore::File, Motore::Server}) {
        if (motore == Motore::Server && !DatabasePg::Disponibile()) break;
        for (const Caso& c : casi) {
            SCOPED_TRACE(motore == Motore::File ? "file" : "server");
            SCOPED_TRACE(c.nome);
            FixtureDb fx(motore);
            auto contesto = fx.InstallaContesto();
            contesto->ggDialoghi = std::make_shared<DialoghiScriptati>();
            contesto->ggMenuClient = std::make_shared<MenuClientFinto>();
            Anagrafiche(fx);
            for (const QString& p : QString(c.registri).split(',', Qt::SkipEmptyParts))
                fx.Inserisci(fx.idAzienda, "LibriIva",
                             {{"Anno", c.op.anno.toInt()}, {"TipoReg", "V"}, {"Pref", p}, {"Trasportatori", "S"}});
            RegProva reg = c.reg;
            // A number column on the server holds no "": empty is Null there.
            if (motore == Motore::Server && reg.periodoIva.eVuotoONull()) reg.periodoIva = Valore::null();
            Registra(fx, reg);
            EstrazioneDatiFat e;
            e.opzioni = c.op;
            e.opzioni.fornitori = false;
            EXPECT_EQ(e.Esegui().stato, EsitoDatiFat::Completata);
            EXPECT_EQ(Testate(fx).size(), c.estratta ? 1 : 0);
        }
    }
}

}  // namespace
