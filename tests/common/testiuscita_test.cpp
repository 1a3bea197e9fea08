#include "common/TestiUscita.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

// The escaped text must stand inside an element and read back as the value.
QString rilettura(const QString& contenuto) {
    QXmlStreamReader x(QStringLiteral("<v>") + contenuto + QStringLiteral("</v>"));
    x.readNextStartElement();
    const QString t = x.readElementText();
    return x.hasError() ? QStringLiteral("<<errore: %1>>").arg(x.errorString()) : t;
}

struct CasoXml {
    const char* nome;
    QString ingresso;
    QString atteso;
};

TEST(CodificaTestoXml, EscapesAsTheFilesNeed) {
    const QChar e(0x00E8), a(0x00E0), E(0x00C8), c(0x00E7);
    const CasoXml casi[] = {
        {"plain ascii unchanged", "ROSSI SRL via Po 12/A", "ROSSI SRL via Po 12/A"},
        {"empty", "", ""},
        {"apostrophe", "D'AMICO & FIGLI", "D&apos;AMICO &amp; FIGLI"},
        {"brackets and quote", "<\"x\">", "&lt;&quot;x&quot;&gt;"},
        {"accented lower and upper", QStringLiteral("Citt") + a + " " + E, "Citt&#224; &#200;"},
        {"euro is its code point", QString(QChar(0x20AC)) + "5", "&#8364;5"},
        {"code 127 and 159", QString(QChar(0x7F)) + QChar(0x9F), "&#127;&#159;"},
        {"astral character is one reference", QString::fromUcs4(U"\U0001F600"), "&#128512;"},
        {"lone surrogate half", QString(QChar(0xD800)) + "x", "_x"},
        {"tab and bare line breaks", "a\tb\nc\rd", "a_b_c_d"},
        {"line-break references kept", "ABC&#xD;&#xA;12&#xA;", "ABC&#xD;&#xA;12&#xA;"},
        {"ampersand-hash not ours", "R&#D", "R&amp;#D"},
        {"other numeric reference not ours", "&#233;", "&amp;#233;"},
        {"reference cut by a length limit", "AB&#xD;&#x", "AB&#xD;&amp;#x"},
        {"five c-cedillas stay letters", QString(5, c), "&#231;&#231;&#231;&#231;&#231;"},
        {"word ending in a-grave", QStringLiteral("perch") + e, "perch&#232;"},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        const QString r = CodificaTestoXml(k.ingresso);
        EXPECT_EQ(r, k.atteso);
        EXPECT_FALSE(rilettura(r).startsWith(QLatin1String("<<errore")));
    }
}

TEST(CodificaTestoXml, ReadsBackAsTheValueWithLineBreaks) {
    const QString valore = QStringLiteral("Societ\u00E0 D'Arco & C. <\u20AC>\r\nsecondo \"rigo\"\rfine\n");
    const QString r = CodificaTestoXml(RiferimentiACapo(valore));
    EXPECT_EQ(rilettura(r), valore);
    for (QChar ch : r) EXPECT_LT(ch.unicode(), 127);
}

TEST(CodificaTestoXml, HighCharactersAsUnderscoreWithFlag) {
    EXPECT_EQ(CodificaTestoXml(QStringLiteral("Citt\u00E0 \u20AC&#xA;\t"), true), "Citt_ _&#xA;_");
    EXPECT_EQ(CodificaTestoXml(QString::fromUcs4(U"x\U0001F600"), true), "x_");
}

TEST(CodificaTestoXml, LongTextHasNoLengthLimit) {
    const QString lungo = QString(40000, QLatin1Char('a')) + QChar(0x00E0) + QLatin1Char('&');
    const QString r = CodificaTestoXml(lungo);
    EXPECT_EQ(r.size(), 40000 + 6 + 5);
    EXPECT_TRUE(r.endsWith(QLatin1String("a&#224;&amp;")));
    EXPECT_EQ(AllineaCampo(lungo, 40010, "S", " ", true).size(), 40010);
}

TEST(RiferimentiACapo, EachKindOfLineBreak) {
    EXPECT_EQ(RiferimentiACapo("abc\r\n12"), "abc&#xD;&#xA;12");
    EXPECT_EQ(RiferimentiACapo("abc\r\n12").size(), 15);
    EXPECT_EQ(RiferimentiACapo("a\rb\nc\n\r"), "a&#xD;b&#xA;c&#xA;&#xD;");
    EXPECT_EQ(RiferimentiACapo("a\tb"), "a\tb");
}

struct CasoAllinea {
    QString valore;
    int larghezza;
    QString allineamento;
    QString riempimento;
    bool taglia;
    QString atteso;
};

TEST(AllineaCampo, FitsToWidth) {
    const CasoAllinea casi[] = {
        {"1", 2, "D", "0", true, "01"},
        {"123", 2, "D", "0", true, "23"},
        {"", 2, "D", "0", true, "00"},
        {"12", 2, "d", "0", true, "12"},
        {"12345678901", 16, "S", " ", true, "12345678901     "},
        {"RSSMRA80A01H501UXY", 16, "S", " ", true, "RSSMRA80A01H501U"},
        {"RSSMRA80A01H501UXY", 16, "S", " ", false, "RSSMRA80A01H501UXY"},
        {"RSSMRA80A01H501U", 16, "S", " ", true, "RSSMRA80A01H501U"},
        {"ab", 4, "", "xyz", true, "abxx"},
        {"ab", 4, "D", "", true, "  ab"},
        {"ab", -1, "S", " ", true, ""},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.valore.toStdString() + "/" + std::to_string(k.larghezza));
        EXPECT_EQ(AllineaCampo(k.valore, k.larghezza, k.allineamento, k.riempimento, k.taglia), k.atteso);
    }
}

TEST(Riempitivo, FillsUpToWidthOfTrimmedValue) {
    EXPECT_EQ(Riempitivo(1, Valore(QStringLiteral("   ")), " "), " ");
    EXPECT_EQ(Riempitivo(1, Valore(QStringLiteral(" S ")), " "), "");
    EXPECT_EQ(Riempitivo(4, Valore(12), "0"), "00");
    EXPECT_EQ(Riempitivo(3, Valore::null(), "*x"), "***");
    // Longer than the width: no fill rather than a failure.
    EXPECT_EQ(Riempitivo(1, Valore(QStringLiteral("SN")), " "), "");
}

}  // namespace
