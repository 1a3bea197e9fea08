#include "components/core/Valore.h"

#include <gtest/gtest.h>

TEST(Valore, EmptyAndNullConvertToBlankAndZero) {
    for (const Valore& v : {Valore(), Valore::null()}) {
        EXPECT_EQ(v.testo(), QString());
        EXPECT_EQ(v.numero(), 0.0);
        EXPECT_TRUE(v.eVuotoONull());
        EXPECT_FALSE(v.data().isValid());
    }
    EXPECT_TRUE(Valore("   ").eVuotoONull());
    EXPECT_FALSE(Valore(0).eVuotoONull());
}

TEST(Valore, ReadsNumbersTheItalianWay) {
    struct Caso { const char* testo; bool ok; double atteso; };
    const Caso casi[] = {
        {"1.234,56", true, 1234.56}, {"202,18", true, 202.18}, {"-2", true, -2},
        {"1.2", true, 1.2},          {"1.25", true, 1.25},     {"1.234", true, 1234},
        {" 0,5 ", true, 0.5},        {"", false, 0},           {"abc", false, 0},
        {"12a", false, 0},
    };
    for (const auto& c : casi) {
        double d = -99;
        EXPECT_EQ(leggiNumeroItaliano(QString::fromUtf8(c.testo), d), c.ok) << c.testo;
        if (c.ok) EXPECT_DOUBLE_EQ(d, c.atteso) << c.testo;
    }
}

TEST(Valore, TextOfNumbersAndDates) {
    EXPECT_EQ(Valore(1234.5).testo(), "1234,5");
    EXPECT_EQ(Valore(7).testo(), "7");
    EXPECT_EQ(Valore(QDate(2018, 3, 1)).testo(), "01/03/2018");
    EXPECT_EQ(Valore("2018-03-01").data(), QDate(2018, 3, 1));
    EXPECT_EQ(Valore("01/03/2018").data(), QDate(2018, 3, 1));
    EXPECT_EQ(Valore(QDate(1900, 1, 1)).numero(), 2.0);
}
