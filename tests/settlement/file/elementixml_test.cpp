// Element lines, amount texts and the module check of the settlement file.
#include "settlement/file/FileLiqIva.h"

#include <QLocale>
#include <clocale>
#include <gtest/gtest.h>

namespace {

struct CasoCampo {
    const char* nome;
    QString valore;
    QString chiave;
    int obblig, maxLung, minLung;
    QString atteso;
    QString mancanti;
    QString segnalazioni;
};

TEST(PrepCampoXml, PreparesOneElementLine) {
    const CasoCampo casi[] = {
        {"upper case, tab to blank", "ab\tcd", "X", 0, 0, 0, "<iv:X>AB CD</iv:X>", "", ""},
        {"line break kept as references", "a\r\nb\rc\nd", "X", 0, 0, 0, "<iv:X>A&#xD;&#xA;B&#xD;C&#xA;D</iv:X>", "", ""},
        {"entities", "d'amico & <c>", "X", 0, 0, 0, "<iv:X>D&apos;AMICO &amp; &lt;C&gt;</iv:X>", "", ""},
        {"accented letter as its code point", QStringLiteral("citt\u00E0"), "X", 0, 0, 0, "<iv:X>CITT&#192;</iv:X>", "", ""},
        {"euro sign as its code point", QStringLiteral("\u20AC5"), "X", 0, 0, 0, "<iv:X>&#8364;5</iv:X>", "", ""},
        {"empty optional: no line", "", "X", 0, 0, 0, "", "", ""},
        {"blank optional: no line", "   ", "X", 0, 0, 0, "", "", ""},
        {"empty mandatory: listed, no line", "", "X", -1, 0, 0, "", "\r\nX ", ""},
        {"empty date form counts as empty", "100-01-01", "X", -1, 0, 0, "", "\r\nX ", ""},
        {"cut at the maximum and reported", "ABCDEFGHIJKLMNOPQ", "X", 0, 16, 0, "<iv:X>ABCDEFGHIJKLMNOP</iv:X>", "",
         "\r\nX  troncato"},
        // The maximum counts the value's own characters, as the schema does, so
        // a cut never falls inside a line-break reference.
        {"cut after a line break, its references whole", "AB\r\nCD", "X", 0, 4, 0, "<iv:X>AB&#xD;&#xA;</iv:X>", "",
         "\r\nX  troncato"},
        {"references do not count against the maximum", "AB\r\nCD", "X", 0, 8, 0, "<iv:X>AB&#xD;&#xA;CD</iv:X>", "",
         ""},
        {"cut never splits a surrogate pair", QString::fromUcs4(U"A\U0001F600B"), "X", 0, 2, 0, "<iv:X>A</iv:X>", "",
         "\r\nX  troncato"},
        {"too short: written and reported", "12345678901", "X", 0, 16, 16, "<iv:X>12345678901</iv:X>", "",
         "\r\nX  troppo corto"},
        {"no element name: the escaped text alone", "a<b", "", 0, 0, 0, "A&lt;B", "", ""},
    };
    for (const auto& c : casi) {
        FileLiqIva f(true);
        EXPECT_EQ(f.PrepCampoXml(c.valore, c.chiave, c.obblig, {}, c.maxLung, c.minLung, true, false), c.atteso) << c.nome;
        EXPECT_EQ(f.CampiMancanti(), c.mancanti) << c.nome;
        EXPECT_EQ(f.Segnalazioni(), c.segnalazioni) << c.nome;
    }
}

TEST(ImportiTesto, CommaDecimalsWhateverTheLocale) {
    // A machine set up with the decimal point must not change the files.
    const QLocale prima;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    std::setlocale(LC_ALL, "C");

    struct Caso {
        double valore;
        QString numero, campo;
    };
    const Caso casi[] = {
        {1234.5, "1234,50", "         1234,50"},
        {-15, "-15,00", "          -15,00"},
        {2.675, "2,68", "            2,68"},
        {-0.001, "0,00", "            0,00"},  // not zero, but no "-0,00"
        {1234567.891, "1234567,89", "      1234567,89"},
        {9999999999999.99, "9999999999999,99", "9999999999999,99"},
        {-12345678901234.0, "-12345678901234,00", "-12345678901234,00"},  // too long: returned whole
        {0, "0,00", "                "},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(FileLiqIva::NumeroPA(c.valore, 2, false), c.numero) << c.valore;
        EXPECT_EQ(FileLiqIva::FormattaImporto(c.valore), c.campo) << c.valore;
    }
    EXPECT_EQ(FileLiqIva::NumeroPA(0, 2, true), "");
    EXPECT_EQ(FileLiqIva::NumeroPA(1e-9, 2, true), "");
    QLocale::setDefault(prima);
}

TEST(ImportiTesto, FlagsOfTheTextLine) {
    EXPECT_EQ(FileLiqIva::BiancoSeN("N"), " ");
    EXPECT_EQ(FileLiqIva::BiancoSeN("n"), " ");
    EXPECT_EQ(FileLiqIva::BiancoSeN("S"), "1");
    EXPECT_EQ(FileLiqIva::BiancoSeN(""), "1");
    EXPECT_EQ(FileLiqIva::ValFirma("S"), "1");
    EXPECT_EQ(FileLiqIva::ValFirma("s"), "1");
    EXPECT_EQ(FileLiqIva::ValFirma("N"), "0");
    EXPECT_EQ(FileLiqIva::ValFirma(""), "0");
}

TEST(ControllaModuli, AtMostFiveModulesNumberedOneToFive) {
    EXPECT_EQ(FileLiqIva::ControllaModuli({}), "");
    EXPECT_EQ(FileLiqIva::ControllaModuli({1, 2, 3, 4, 5}), "");
    EXPECT_EQ(FileLiqIva::ControllaModuli({Valore("2")}), "");
    EXPECT_EQ(FileLiqIva::ControllaModuli({1, 2, 3, 4, 5, 6}),
              "La comunicazione ha 6 moduli: il file ne può contenere al massimo 5.\r\nIl file non viene scritto.");
    EXPECT_EQ(FileLiqIva::ControllaModuli({1, 7}),
              "Numero di modulo non valido: 7. I moduli vanno numerati da 1 a 5.\r\nIl file non viene scritto.");
    for (const Valore& v : {Valore(0), Valore(-1), Valore(6), Valore::null(), Valore("A"), Valore(2.5)})
        EXPECT_NE(FileLiqIva::ControllaModuli({v}), "") << v.testo().toStdString();
}

}  // namespace
