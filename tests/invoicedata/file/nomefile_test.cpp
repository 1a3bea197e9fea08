// Names and progressives of the invoice-data files.
#include "invoicedata/file/FileDatiFat.h"

#include "components/core/ErroreRun.h"

#include <gtest/gtest.h>

namespace {

TEST(NomeFileDatiFat, ProgressivesAndNames) {
    struct Caso {
        const char* nome;
        ArgomentiXmlDatiFat a;
        const char* progressivo;
        const char* percorso;
    } casi[] = {
        {"one file", {.cartella = "C:\\Dati", .codFisc = "01234567897", .annoCom = 2017, .numComun = 2, .codInvio = "E1"},
         "172E1", "C:\\Dati\\IT01234567897_DF_172E1.xml"},
        {"folder ending in a separator, trial",
         {.cartella = "C:\\Dati\\", .codFisc = "01234567897", .annoCom = 2017, .numComun = 2, .codInvio = "E1", .prova = true},
         "172E1", "C:\\Dati\\IT01234567897_DF_172E1_Prova.xml"},
        {"month 12, split, third file",
         {.cartella = "/tmp/x/", .codFisc = "01234567897", .annoCom = 2017, .numComun = 12, .codInvio = "R3",
          .molteFile = true, .contaFile = 2},
         "7CR3C", "/tmp/x/IT01234567897_DF_7CR3C.xml"},
        {"single cancellation", {.cartella = "D", .codFisc = "X", .annoCom = 2017, .numComun = 2, .codInvio = "10"},
         "17210", "D\\ITX_DF_17210.xml"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        EXPECT_EQ(QString::fromLatin1(c.progressivo), ProgressivoDatiFat(c.a));
        EXPECT_EQ(QString::fromLatin1(c.percorso), NomeDatiFat(c.a));
    }
}

TEST(NomeFileDatiFat, NameOnlyAndBase36) {
    const ArgomentiXmlDatiFat a{.codFisc = "01234567897", .annoCom = 2017, .numComun = 10, .codInvio = "1"};
    EXPECT_EQ(QStringLiteral("IT01234567897_DF_17A1"), NomeSoloDatiFat(a));
    EXPECT_EQ(QStringLiteral("0"), CifraBase36(0));
    EXPECT_EQ(QStringLiteral("9"), CifraBase36(9));
    EXPECT_EQ(QStringLiteral("C"), CifraBase36(12));
    EXPECT_EQ(QStringLiteral("Z"), CifraBase36(35));
}

TEST(NomeFileDatiFat, AnEmptyFolderIsRefusedNeverTheRoot) {
    const ArgomentiXmlDatiFat a{.cartella = "  ", .codFisc = "X", .annoCom = 2017, .numComun = 1, .codInvio = "E1"};
    EXPECT_THROW(NomeDatiFat(a), ErroreRun);
}

TEST(NomeFileDatiFat, OfficeCodeAndTaxCodeOfTheDeclarant) {
    EXPECT_EQ(QStringLiteral("1"), CaricaValida(QStringLiteral("01")));
    EXPECT_EQ(QStringLiteral("15"), CaricaValida(QStringLiteral(" 15 ")));
    EXPECT_EQ(QString(), CaricaValida(QStringLiteral("00")));
    EXPECT_EQ(QString(), CaricaValida(QStringLiteral("16")));
    EXPECT_EQ(QString(), CaricaValida(QStringLiteral("1a")));
    EXPECT_TRUE(CodiceFiscaleValido(QStringLiteral("RSSMRA80A01H501U")));
    EXPECT_FALSE(CodiceFiscaleValido(QStringLiteral("-456")));
    EXPECT_FALSE(CodiceFiscaleValido(QStringLiteral("rssmra80a01h501u")));
}

}  // namespace
