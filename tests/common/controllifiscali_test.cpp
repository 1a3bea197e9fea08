#include "common/ControlliFiscali.h"

#include <gtest/gtest.h>

namespace {

struct Caso {
    const char* testo;
    int atteso;
};

int partIvaItaliana(const QString& t) { return ContrPartIva(t, QString(), QStringLiteral("IT"), 11, 0); }

TEST(ContrPartIva, ItalianRule) {
    const Caso casi[] = {
        {"", 0},
        {"01234567897", 0},
        {"12345678903", 0},
        {"02114370279", 0},
        {"10000000090", 0},   // weighted sum a multiple of ten: check digit 0
        {"01234567898", 1},   // last digit changed
        {"02114370270", 1},
        {"00000000000", 1},   // the check digit would match, the number is zero
        {"0123456789", 1},
        {"012345678970", 1},
        {"1000000009A", 1},   // a letter no longer counts as 0
        {"10000A00090", 1},
        {"A1234567897", 1},
        {" 1234567897", 1},
        {"0123456789 ", 1},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.testo);
        EXPECT_EQ(partIvaItaliana(QString::fromLatin1(k.testo)), k.atteso);
    }
}

TEST(ContrPartIva, MarkerAndCountry) {
    // A marker without a country: nothing to check.
    EXPECT_EQ(ContrPartIva("X", "E", "", 11, 0), 0);
    // Country Italy in any case applies the Italian rule even with a marker.
    EXPECT_EQ(ContrPartIva("01234567898", "E", "it", 11, 0), 1);
    EXPECT_EQ(ContrPartIva("01234567897", "E", "IT", 0, 0), 0);
    // A foreign number is judged only by the permitted lengths.
    EXPECT_EQ(ContrPartIva("ATU12345678", "E", "AT", 11, 0), 0);
    EXPECT_EQ(ContrPartIva("DE12345678", "E", "DE", 11, 12), 1);
    EXPECT_EQ(ContrPartIva("SM12345", "E", "SM", 0, 0), 0);
}

TEST(ContrCodFisc, PersonalCodesAndNumericCodes) {
    const Caso casi[] = {
        {"", 0},
        {"RSSMRA80A01H501U", 0},
        {"rssmra80a01h501u", 0},   // lower case is the same code
        {"RSSMRA80A01H501u", 0},
        {"BNCGLI75D45F205B", 0},   // woman: day plus 40
        {"DMCLCU62T10L736J", 0},
        {"VRDNTN90E60Z404Y", 0},   // born abroad
        {"RSSMRA80A01H50MM", 0},   // last digit replaced by a letter
        {"RSSMRA80A01H501V", 1},   // wrong check letter
        {"RSSMRA80A01H501", 1},    // 15 characters
        {"RSSMRA80A01H501UU", 1},  // 17 characters
        {"RSSMRA80A01H5 1U", 1},   // blank inside
        {"RSSMR080A01H501U", 1},   // digit where a letter belongs
        {"RSSMRA8AA01H501U", 1},   // letter that cannot replace a digit
        {"01234567897", 0},        // numeric code: checked as a VAT number
        {"01234567898", 1},
        {"0123456789A", 1},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.testo);
        const QString t = QString::fromLatin1(k.testo);
        EXPECT_EQ(ContrCodFisc(t, false), k.atteso);
        if (t.size() == 11) EXPECT_EQ(ContrCodFisc(t, false), partIvaItaliana(t));
    }
}

TEST(ContrCodFisc, PersonalOnlyRejectsNumericCodes) {
    EXPECT_EQ(ContrCodFisc("01234567897", true), 1);
    EXPECT_EQ(ContrCodFisc("RSSMRA80A01H501U", true), 0);
}

}  // namespace
