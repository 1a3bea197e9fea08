#include "common/IdentitaParti.h"

#include <gtest/gtest.h>

namespace {

TEST(IdentitaParti, CountryAndCodes) {
    EXPECT_EQ(IsoPaese(""), "IT");
    EXPECT_EQ(IsoPaese("  "), "IT");
    EXPECT_EQ(IsoPaese("it"), "it");
    EXPECT_EQ(IsoPaese("SM"), "SM");

    EXPECT_TRUE(CodFiscNumerico("80012345678"));
    EXPECT_TRUE(CodFiscNumerico("97123450581"));
    EXPECT_FALSE(CodFiscNumerico(" 97123450581"));
    EXPECT_FALSE(CodFiscNumerico("01234567897"));
    EXPECT_FALSE(CodFiscNumerico(""));

    EXPECT_EQ(PartIvaCompleta("NL8536", "-12B01"), "NL853612B01");
    EXPECT_EQ(PartIvaCompleta("12345678903", "-05"), "1234567890305");
    EXPECT_EQ(PartIvaCompleta("12345678903", "RSSMRA80A01H501U"), "12345678903");
    EXPECT_EQ(PartIvaCompleta("", "-ATU1234567"), "ATU1234567");
}

struct CasoPartIva {
    const char* nome;
    QString partIva, codFisc, paese;
    bool haPartIva;
    QString codFiscDaUsare;
};

TEST(IdentitaParti, GenuineVatNumberAndTaxCodeToReport) {
    const CasoPartIva casi[] = {
        {"nothing recorded", "", "", "", false, ""},
        {"Italian company", "01234567897", "01234567897", "", true, "01234567897"},
        {"Italian person with a VAT number", "12345678903", "RSSMRA80A01H501U", "IT", true, "RSSMRA80A01H501U"},
        {"Italian association: numeric code in the VAT field", "97123450581", "", "", false, "97123450581"},
        {"numeric code, Italy in lower case", "80012345678", "", "it", false, "80012345678"},
        {"San Marino number beginning with 9", "92345", "", "SM", true, "92345"},
        {"Vatican", "00399070011", "", "VA", true, ""},
        {"German company", "DE123456789", "", "DE", true, ""},
        {"Swiss company, long number continued", "CHE123456", "-789MWST", "CH", true, "-789MWST"},
        {"continuation alone", "", "-12B01", "NL", true, "-12B01"},
        {"private person, tax code only", "", "BNCGLI75D45F205B", "", false, "BNCGLI75D45F205B"},
        {"blank VAT number", "   ", "", "", false, ""},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        EXPECT_EQ(HaPartIva(k.partIva, k.codFisc, k.paese), k.haPartIva);
        EXPECT_EQ(CodFiscDaUsare(k.codFisc, k.partIva), k.codFiscDaUsare);
    }
}

struct CasoNome {
    const char* nome;
    QString ragSoc, ragSoc2, descrizione, statoGiurid, partIva, codFisc;
    bool daPartIva;
    QString ragSocFile, cognome, nomeProprio;
};

TEST(DividiNominativo, CompanyOrPerson) {
    const CasoNome casi[] = {
        {"legal status G", "D'ANGELO & C.", "S.N.C.", "", "G", "01234567897", "", false,
         "D'ANGELO & C. S.N.C.", "", ""},
        {"legal status g", "  Bar Sport ", "", "", "g", "", "", false, "Bar Sport", "", ""},
        {"person, two lines kept as they are", "DE LUCA ", "MARIA CHIARA", "", "F", "", "", false, "",
         "DE LUCA ", "MARIA CHIARA"},
        {"person, one line split at the blank", "ROSSI MARIO", "", "", "", "", "", false, "", "ROSSI",
         "MARIO"},
        {"person named by the description", "", "", "VERDI ANTONIETTA", "F", "", "", false, "", "VERDI",
         "ANTONIETTA"},
        {"person with underscore", "DE LUCA_MARIA", "CHIARA", "", "", "", "", false, "", "DE LUCA",
         "MARIA CHIARA"},
        {"person with hyphen", QStringLiteral("NICOL\u00D2 - PIER PAOLO"), "", "", "", "", "", false, "",
         QStringLiteral("NICOL\u00D2"), "PIER PAOLO"},
        {"by codes: no VAT number, personal tax code", "ROSSI MARIO", "", "", "G", "",
         "RSSMRA80A01H501U", true, "", "ROSSI", "MARIO"},
        {"by codes: ordinary VAT number", "ROSSI MARIO", "", "", "", "12345678903", "", true,
         "ROSSI MARIO", "", ""},
        {"by codes: ordinary VAT number, underscore", "ROSSI_MARIO", "", "", "G", "12345678903", "", true,
         "", "ROSSI", "MARIO"},
        {"by codes: no VAT number, numeric tax code", "PARROCCHIA SAN PIO", "", "", "", "", "97123450581",
         true, "PARROCCHIA SAN PIO", "", ""},
        {"by codes: numeric code in VAT field, underscore", "CIRCOLO_ARCI", "", "", "", "80012345678", "",
         true, "CIRCOLO_ARCI", "", ""},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        QString rs = "old", co = "old", no = "old";
        DividiNominativo(k.ragSoc, k.ragSoc2, k.descrizione, k.statoGiurid, k.partIva, k.codFisc, rs, co, no,
                         k.daPartIva);
        EXPECT_EQ(rs, k.ragSocFile);
        EXPECT_EQ(co, k.cognome);
        EXPECT_EQ(no, k.nomeProprio);
    }
}

struct CasoDividi {
    QString testo;
    bool tutto, alBlank;
    QString cognome, nome;
};

TEST(DividiCognomeNome, FirstRuleThatApplies) {
    const CasoDividi casi[] = {
        {"ROSSI MARIO", true, true, "ROSSI MARIO", ""},
        {"DITTA_ROSSI_MARIO", false, true, "ROSSI", "MARIO"},
        {"X _ DE LUCA _ MARIA _ CHIARA", false, true, "DE LUCA", "MARIA _ CHIARA"},
        {" D'ALESSIO _ ANNA ", false, true, "D'ALESSIO", "ANNA"},
        {"DELL'ACQUA - GIAN MARIA", false, true, "DELL'ACQUA", "GIAN MARIA"},
        {"ROSSI  MARIO", false, true, "ROSSI", "MARIO"},
        {" ROSSI MARIO", false, true, "ROSSI", "MARIO"},
        {"ROSSI MARIO", false, false, "ROSSI MARIO", ""},
        {"ROSSI", false, true, "ROSSI", ""},
        {"", false, true, "", ""},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.testo.toStdString());
        QString co = "old", no = "old";
        DividiCognomeNome(k.testo, co, no, k.tutto, k.alBlank);
        EXPECT_EQ(co, k.cognome);
        EXPECT_EQ(no, k.nome);
    }
}

}  // namespace
