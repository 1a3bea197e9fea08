#include "common/Dichiarante.h"

#include "support/Fixture.h"
#include "components/db/GestoreDb.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"

#include <QMap>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Colonne = QMap<QString, Valore>;

std::vector<std::pair<QString, Valore>> righe(const Colonne& c) {
    std::vector<std::pair<QString, Valore>> v;
    for (auto it = c.begin(); it != c.end(); ++it) v.emplace_back(it.key(), it.value());
    return v;
}

Colonne unisci(Colonne base, const Colonne& modifiche) {
    for (auto it = modifiche.begin(); it != modifiche.end(); ++it) base[it.key()] = it.value();
    return base;
}

const Colonne kDitta = {{"CodFisc", "01234567897"}, {"PartIva", "01234567897"},
                        {"RagSoc", "  D'Angelo & Figli S.r.l. "}, {"Nome", ""}, {"StatoGiurid", "G"}};
const Colonne kDichGen = {{"CodFiscDichiarante", ""}, {"PartIvaDich", ""}, {"DichGruppo", "N"},
                          {"CodFiscFirmaDich", "rssmra80a01h501u"}, {"Carica", "1"}, {"FirmaDich", "S"},
                          {"RagSocDich", ""}, {"IvaDichGenCampo1", "X"}, {"IvaDichGenCampo3", ""},
                          {"IvaDichGenCampo4", ""}, {"IvaDichGenData1", Valore::null()}};
const Colonne kStudio = {{"CodFiscIntermediario", " bncgli75d45f205b "}, {"TabStuCampo3", "S"},
                         {"TabStuData1", QDate(2024, 3, 15)}, {"FirmaInRicPres", "S"}};

RecDichiarante recordAtteso() {
    RecDichiarante r;
    r.CodiceFiscale = "01234567897     ";
    r.PartitaIva = "01234567897";
    r.LiquidazioneGruppo = "N";
    r.CFDichiarante = "RSSMRA80A01H501U";
    r.CodiceCaricaDichiarante = "01";
    r.FirmaDichiarazione = "S";
    r.CFIntermediario = "BNCGLI75D45F205B";
    r.ImpegnoPresentazione = "1";
    r.DataImpegno = QDate(2024, 3, 15);
    r.FirmaIntermediario = "S";
    r.FlagConferma = "0";
    r.IvaDichGenCampo1 = "X";
    r.StatoGiurid = "G";
    r.RagSoc = "D'Angelo & Figli S.r.l.";
    return r;
}

// A record left over from another company.
RecDichiarante recordSporco() {
    RecDichiarante r = recordAtteso();
    r.CodiceFiscale = "ALTRA DITTA";
    r.UltimoMese = 12;
    r.Cognome = "VECCHIO";
    return r;
}

class CaricaDichiaranteTest : public ::testing::Test {
protected:
    void SetUp() override {
        contesto = fx.InstallaContesto();
        contesto->ggDialoghi = dialoghi;
    }
    void Riempi(const Colonne& ditta, const Colonne& gen, const std::optional<Colonne>& studio) {
        fx.Inserisci(fx.idAzienda, "Ditta", righe(unisci(kDitta, ditta)));
        fx.Inserisci(fx.idAzienda, "IvaDichPeriodGen", righe(unisci(kDichGen, gen)));
        if (studio) fx.Inserisci(fx.idCondiviso, "TabStudio", righe(unisci(kStudio, *studio)));
    }

    FixtureDb fx;
    std::shared_ptr<Contesto> contesto;
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
};

struct Caso {
    const char* nome;
    Colonne ditta, gen;
    std::optional<Colonne> studio;
    std::function<void(RecDichiarante&)> differenze;
    QStringList messaggi;
};

TEST_F(CaricaDichiaranteTest, FillsEveryFieldFromTheCompanyRecords) {
    const Caso casi[] = {
        {"legal person with signer and intermediary", {}, {}, Colonne{}, [](RecDichiarante&) {}, {}},
        {"no tax code anywhere",
         {{"CodFisc", "  "}, {"PartIva", Valore::null()}},
         {},
         Colonne{},
         [](RecDichiarante& r) {
             r.CodiceFiscale = QString(16, ' ');
             r.PartitaIva = QString(11, ' ');
         },
         {"Manca codice fiscale contribuente"}},
        {"VAT number of the company only",
         {{"CodFisc", ""}},
         {},
         Colonne{},
         [](RecDichiarante&) {},
         {}},
        {"declaration codes come first, upper case",
         {},
         {{"CodFiscDichiarante", "dmclcu62t10l736j"}, {"PartIvaDich", "12345678903"}},
         Colonne{},
         [](RecDichiarante& r) {
             r.CodiceFiscale = "DMCLCU62T10L736J";
             r.PartitaIva = "12345678903";
         },
         {}},
        {"signing company of eleven characters, longer office code",
         {},
         {{"CodFiscFirmaDich", "12345678903"}, {"Carica", "123"}},
         Colonne{},
         [](RecDichiarante& r) {
             r.CFDichiarante = "";
             r.CodiceFiscaleSocieta = "12345678903     ";
             r.CodiceCaricaDichiarante = "23";
         },
         {}},
        {"codes stored with leading blanks keep their last character",
         {{"CodFisc", ""}, {"PartIva", "  01234567897"}},
         {{"CodFiscFirmaDich", "  12345678903"}},
         Colonne{},
         [](RecDichiarante& r) {
             r.CFDichiarante = "";
             r.CodiceFiscaleSocieta = "12345678903     ";
         },
         {}},
        {"a code too long for its field is kept whole for the file's checks",
         {},
         {{"CodFiscDichiarante", "rssmra80a01h501ux"}, {"PartIvaDich", "123456789012"}},
         Colonne{},
         [](RecDichiarante& r) {
             r.CodiceFiscale = "RSSMRA80A01H501UX";
             r.PartitaIva = "123456789012";
         },
         {}},
        {"signer without office code",
         {},
         {{"Carica", Valore::null()}},
         Colonne{},
         [](RecDichiarante& r) { r.CodiceCaricaDichiarante = "00"; },
         {}},
        {"no signer",
         {},
         {{"CodFiscFirmaDich", " "}},
         Colonne{},
         [](RecDichiarante& r) {
             r.CFDichiarante = "";
             r.CodiceCaricaDichiarante = "";
         },
         {}},
        {"legal status in lower case, declaration name kept as stored",
         {{"StatoGiurid", "g"}},
         {{"RagSocDich", "Societ\u00E0 Agricola L'Ulivo "}},
         Colonne{},
         [](RecDichiarante& r) {
             r.StatoGiurid = "g";
             r.RagSoc = "Societ\u00E0 Agricola L'Ulivo ";
         },
         {}},
        {"natural person named by the company record",
         {{"StatoGiurid", "F"}, {"Nome", " D'Amico Anna Maria "}},
         {{"RagSocDich", "   "}},
         Colonne{},
         [](RecDichiarante& r) {
             r.StatoGiurid = "F";
             r.RagSoc = "";
             r.Cognome = "D'Amico";
             r.Nome = "Anna Maria";
         },
         {}},
        {"no accounting firm",
         {},
         {{"IvaDichGenCampo3", "S"}, {"IvaDichGenData1", QDate(2024, 5, 2)}},
         std::nullopt,
         [](RecDichiarante& r) {
             r.CFIntermediario = "";
             r.ImpegnoPresentazione = "";
             r.DataImpegno = kDataNulla;
             r.FirmaIntermediario = "";
         },
         {}},
        {"commitment and date of the declaration",
         {},
         {{"IvaDichGenCampo4", "s"}, {"IvaDichGenData1", QDate(2024, 5, 2)}},
         Colonne{{"FirmaInRicPres", "N"}},
         [](RecDichiarante& r) {
             r.ImpegnoPresentazione = "2";
             r.DataImpegno = QDate(2024, 5, 2);
             r.FirmaIntermediario = "N";
         },
         {}},
        {"commitment 1 from the declaration, firm's date, empty date kept empty",
         {},
         {{"IvaDichGenCampo3", "S"}, {"IvaDichGenCampo4", "S"}, {"IvaDichGenData1", QDate(100, 1, 1)}},
         Colonne{{"TabStuCampo3", "N"}, {"FirmaInRicPres", "SI"}},
         [](RecDichiarante& r) { r.FirmaIntermediario = "SI"; },
         {}},
        {"no commitment flags, no dates, no signature",
         {},
         {},
         Colonne{{"TabStuCampo3", ""}, {"TabStuData1", Valore::null()}, {"FirmaInRicPres", " "}},
         [](RecDichiarante& r) {
             r.ImpegnoPresentazione = "2";
             r.DataImpegno = kDataNulla;
             r.FirmaIntermediario = "";
         },
         {}},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        fx.Esegui(fx.idAzienda, "DELETE FROM Ditta; DELETE FROM IvaDichPeriodGen");
        fx.Esegui(fx.idCondiviso, "DELETE FROM TabStudio");
        dialoghi->mostrati.clear();
        Riempi(k.ditta, k.gen, k.studio);

        RecDichiarante atteso = recordAtteso();
        k.differenze(atteso);
        RecDichiarante r = recordSporco();
        EXPECT_TRUE(CaricaDichiarante(r, ""));
        EXPECT_EQ(r, atteso) << r.CodiceFiscale.toStdString() << "|" << r.CFDichiarante.toStdString() << "|"
                             << r.CodiceFiscaleSocieta.toStdString() << "|" << r.RagSoc.toStdString() << "|"
                             << r.Cognome.toStdString() << "|" << r.Nome.toStdString() << "|"
                             << r.ImpegnoPresentazione.toStdString() << "|"
                             << r.DataImpegno.toString(Qt::ISODate).toStdString() << "|"
                             << r.FirmaIntermediario.toStdString();
        EXPECT_EQ(dialoghi->testi(), k.messaggi);
    }
}

TEST_F(CaricaDichiaranteTest, AnotherCompanyKeepsTheSharedAccountingFirm) {
    Riempi({}, {}, Colonne{});
    const QString file = fx.Cartella() + "/altra.db";
    FixtureDb::CreaDatabase(file, "azienda.sql");
    const QString altra = fx.gestDb->ApriDatabase(file);
    fx.Inserisci(altra, "Ditta", righe(unisci(kDitta, {{"CodFisc", "VRDNTN90E60Z404Y"}, {"PartIva", ""},
                                                      {"StatoGiurid", ""}, {"Nome", "VERDI_ANTONIETTA"}})));
    fx.Inserisci(altra, "IvaDichPeriodGen", righe(unisci(kDichGen, {{"CodFiscFirmaDich", ""}})));

    RecDichiarante r;
    ASSERT_TRUE(CaricaDichiarante(r, altra));
    EXPECT_EQ(r.CodiceFiscale, "VRDNTN90E60Z404Y");
    EXPECT_EQ(r.PartitaIva, QString(11, ' '));
    EXPECT_EQ(r.Cognome, "VERDI");
    EXPECT_EQ(r.Nome, "ANTONIETTA");
    EXPECT_EQ(r.RagSoc, "");
    EXPECT_EQ(r.CFDichiarante, "");
    EXPECT_EQ(r.CFIntermediario, "BNCGLI75D45F205B");
    fx.gestDb->ChiudiDatabase(altra);
}

TEST_F(CaricaDichiaranteTest, FailureLeavesTheRecordClearedAndIsReported) {
    struct Guasto {
        const char* nome;
        const char* tabella;  // row left out
        const char* sql;      // run on the company database before the call
        const char* messaggio;
    };
    const Guasto guasti[] = {
        {"no company row", "Ditta", "", "Mancano i dati della ditta"},
        {"no declaration row", "IvaDichPeriodGen", "", "Mancano i dati generali della dichiarazione IVA periodica"},
        {"declaration table missing", "", "DROP TABLE IvaDichPeriodGen", "Errore("},
    };
    for (const auto& g : guasti) {
        SCOPED_TRACE(g.nome);
        FixtureDb f;
        auto c = f.InstallaContesto();
        auto d = std::make_shared<DialoghiScriptati>();
        c->ggDialoghi = d;
        if (QString(g.tabella) != "Ditta") f.Inserisci(f.idAzienda, "Ditta", righe(kDitta));
        if (QString(g.tabella) != "IvaDichPeriodGen" && QString(g.sql).isEmpty())
            f.Inserisci(f.idAzienda, "IvaDichPeriodGen", righe(kDichGen));
        f.Inserisci(f.idCondiviso, "TabStudio", righe(kStudio));
        if (*g.sql) f.Esegui(f.idAzienda, g.sql);

        RecDichiarante r = recordSporco();
        EXPECT_FALSE(CaricaDichiarante(r, ""));
        EXPECT_EQ(r, RecDichiarante{});
        ASSERT_EQ(d->mostrati.size(), 1);
        EXPECT_TRUE(d->mostrati[0].testo.contains(QString::fromUtf8(g.messaggio))) << d->mostrati[0].testo.toStdString();
        EXPECT_EQ(d->mostrati[0].bottoni, QStringList{"&Ok"});
    }
}

// The invoice-data road reads the same identity, and takes a company that
// has no declaration row: its own codes and name, and no declarant.
TEST_F(CaricaDichiaranteTest, DeclarationRowOptionalForTheInvoiceDataRoad) {
    fx.Inserisci(fx.idAzienda, "Ditta", righe(kDitta));
    fx.Inserisci(fx.idCondiviso, "TabStudio", righe(kStudio));
    RecDichiarante r = recordSporco();
    ASSERT_TRUE(CaricaDichiarante(r, "", true));
    EXPECT_EQ(r.CodiceFiscale.trimmed(), "01234567897");
    EXPECT_EQ(r.PartitaIva, "01234567897");
    EXPECT_EQ(r.RagSoc, "D'Angelo & Figli S.r.l.");
    EXPECT_EQ(r.CFDichiarante, "");
    EXPECT_EQ(r.CodiceFiscaleSocieta, "");
    EXPECT_EQ(r.CodiceCaricaDichiarante, "");
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());

    // With a declaration row its codes come first, as for the settlement.
    fx.Inserisci(fx.idAzienda, "IvaDichPeriodGen", righe(unisci(kDichGen, {{"CodFiscDichiarante", "vrdntn90e60z404y"}})));
    ASSERT_TRUE(CaricaDichiarante(r, "", true));
    EXPECT_EQ(r.CodiceFiscale, "VRDNTN90E60Z404Y");
    EXPECT_EQ(r.CFDichiarante, "RSSMRA80A01H501U");
}

}  // namespace
