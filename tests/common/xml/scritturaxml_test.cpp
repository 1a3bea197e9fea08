// The shared XML line machinery: element lines, cutting, fillers, lists.
#include "common/ScritturaXml.h"

#include "components/core/ErroreRun.h"
#include "contesto/Contesto.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

class ScritturaXmlTest : public ::testing::Test {
protected:
    void SetUp() override { ImpostaContesto(std::make_shared<Contesto>()); }
};

TEST_F(ScritturaXmlTest, ElementLines) {
    struct Caso {
        const char* nome;
        QString valore;
        int obblig;
        int max;
        int min;
        const char* riga;
        const char* mancanti;
        const char* segnalazioni;
    } casi[] = {
        {"escaped and upper case", QStringLiteral("a & b"), 1, 80, 0, "<E>A &amp; B</E>", "", ""},
        {"empty optional", QString(), 0, 0, 0, "", "", ""},
        {"empty mandatory", QString(), 1, 0, 0, "", "\r\nE D", ""},
        {"filler, mixed case", QString(), 3, 60, 0, "<E>Dato Assente</E>", "", ""},
        {"filler of two", QString(), 3, 2, 0, "<E>DA</E>", "", ""},
        {"filler without maximum counts as missing", QString(), 3, 0, 0, "", "\r\nE D", ""},
        {"85 characters cut to 80", QString(85, QLatin1Char('x')), 1, 80, 0, nullptr, "", "\r\nE D troncato"},
        {"exactly 80 characters", QString(80, QLatin1Char('x')), 1, 80, 0, nullptr, "", ""},
        {"line breaks become references", QStringLiteral("abc\r\n12"), 1, 0, 0, "<E>ABC&#xD;&#xA;12</E>", "", ""},
        {"a cut never splits a line-break reference", QStringLiteral("abcd\r\nefg"), 1, 5, 0, "<E>ABCD&#xD;</E>", "",
         "\r\nE D troncato"},
        {"empty date", QStringLiteral("100-01-01"), 1, 0, 0, "", "\r\nE D", ""},
        {"too short", QStringLiteral("123456789"), 1, 16, 11, "<E>123456789</E>", "", "\r\nE D troppo corto"},
        {"accented letter as its code point", QStringLiteral("è"), 1, 0, 0, "<E>&#200;</E>", "", ""},
        {"typographic characters in ASCII", QStringLiteral("l’a – b… €"), 1, 0, 0, "<E>L&apos;A - B... EUR</E>", "", ""},
        {"a tab becomes a blank", QStringLiteral("a\tb"), 1, 0, 0, "<E>A B</E>", "", ""},
        {"characters beyond Latin-1 become underscores", QStringLiteral("łódź 😀"), 1, 0, 0, "<E>_&#211;D_ _</E>", "", ""},
        {"the euro sign counts as three characters for the maximum", QStringLiteral("1234 €"), 1, 6, 0, "<E>1234 E</E>",
         "", "\r\nE D troncato"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        ScritturaXml s;
        s.ImpostaDescrittore([] { return QStringLiteral("D"); });
        const QString r = s.PrepCampoXml(c.valore, QStringLiteral("E"), c.obblig, {}, c.max, c.min, true, false);
        if (c.riga) EXPECT_EQ(QString::fromUtf8(c.riga), r);
        else EXPECT_EQ(QStringLiteral("<E>") + QString(80, QLatin1Char('X')) + QStringLiteral("</E>"), r);
        EXPECT_EQ(QString::fromUtf8(c.mancanti), s.CampiMancanti());
        EXPECT_EQ(QString::fromUtf8(c.segnalazioni), s.Segnalazioni());
    }
}

TEST_F(ScritturaXmlTest, BasicLatinElementsTurnOtherCharactersIntoUnderscores) {
    ScritturaXml s;
    EXPECT_EQ(QStringLiteral("<Numero>N_ 12</Numero>"),
              s.PrepCampoXml(QStringLiteral("n° 12"), QStringLiteral("Numero"), 1, {}, 20, 0, true, false, true));
}

TEST_F(ScritturaXmlTest, LinesIndentationAndCompanyPrefix) {
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    ScritturaXml s;
    s.ApriSu(&b);
    s.ImpostaPrefisso(QStringLiteral("Azienda 7: "));
    s.Apri(QStringLiteral("A"));
    s.ScriviCampo(RegolaXml{"B", "", 1, 0, 0}, QStringLiteral("x"));
    s.ScriviCampo(RegolaXml{"C", "", 1, 0, 0}, QString());
    s.Chiudi(QStringLiteral("A"));
    s.SottraimiTabXml(3);
    EXPECT_EQ(0, s.Livello());
    EXPECT_EQ(QByteArray("<A>\r\n\t<B>X</B>\r\n</A>\r\n"), b.data());
    EXPECT_EQ(QStringLiteral("\r\nAzienda 7: C "), s.CampiMancanti());
}

TEST_F(ScritturaXmlTest, ATagPrefixMarksTheElementsNotTheListEntries) {
    ScritturaXml s;
    s.ImpostaPrefissoTag(QStringLiteral("iv:"));
    EXPECT_EQ(QStringLiteral("<iv:Mese>3</iv:Mese>"), s.PrepCampoXml(QStringLiteral("3"), QStringLiteral("Mese"), 1, {}, 0, 0, true, false));
    s.PrepCampoXml(QString(), QStringLiteral("Trimestre"), 1, QStringLiteral("x"), 0, 0, true, false);
    EXPECT_EQ(QStringLiteral("\r\nTrimestre x"), s.CampiMancanti());
}

TEST_F(ScritturaXmlTest, AWriteWithoutAnOpenDeviceIsARunTimeError) {
    ScritturaXml s;
    EXPECT_THROW(s.ScriviRigaXml(QStringLiteral("<A/>")), ErroreRun);
}

TEST_F(ScritturaXmlTest, AmountsWithPointOrComma) {
    EXPECT_EQ(QStringLiteral("234.50"), ScritturaXml::NumeroPA(234.5, 2, false, true));
    EXPECT_EQ(QStringLiteral("0.00"), ScritturaXml::NumeroPA(0, 2, false, true));
    EXPECT_EQ(QString(), ScritturaXml::NumeroPA(0, 2, true, true));
    EXPECT_EQ(QStringLiteral("-7.13"), ScritturaXml::NumeroPA(-7.126, 2, false, true));
    EXPECT_EQ(QStringLiteral("2,68"), ScritturaXml::NumeroPA(2.675, 2, false, false));
}

}  // namespace
