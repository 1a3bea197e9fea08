#include "components/core/ErroreRun.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>

namespace {
const UtilGenerali u;
QString Q(const char* s) { return QString::fromUtf8(s); }
}  // namespace

TEST(UtilGenerali, EVuotoByType) {
    struct Caso { Valore v; int tipo; bool vuoto; };
    const Caso casi[] = {
        {Valore(), TipoDato::Testo, true},        {Valore::null(), TipoDato::Testo, true},
        {Valore(""), TipoDato::Testo, true},      {Valore("   "), TipoDato::Testo, true},
        {Valore(" a "), TipoDato::Testo, false},  {Valore(0), TipoDato::Intero, false},
        {Valore(0.0), TipoDato::Doppio, false},   {Valore("0"), TipoDato::Intero, false},
        {Valore("  "), TipoDato::Intero, true},   {Valore::null(), TipoDato::Doppio, true},
        {Valore(QDate(100, 1, 1)), TipoDato::Data, true}, {Valore("01/01/100"), TipoDato::Data, true},
        {Valore(QDate(2024, 1, 1)), TipoDato::Data, false}, {Valore(QDate(100, 1, 1)), TipoDato::Testo, false},
    };
    for (const auto& c : casi) EXPECT_EQ(u.EVuoto(c.v, c.tipo), c.vuoto) << c.v.testo().toStdString() << " tipo " << c.tipo;
}

TEST(UtilGenerali, NumbersFromTextWithDecimalComma) {
    struct Caso { Valore v; double atteso; };
    const Caso casi[] = {
        {Valore("-1"), -1},     {Valore("1.234,56"), 1234.56}, {Valore("1.2"), 1.2},  {Valore("1.25"), 1.25},
        {Valore("-2"), -2},     {Valore("202,18"), 202.18},    {Valore(" 12 "), 12},  {Valore(""), 0},
        {Valore("abc"), 0},     {Valore("12a"), 0},            {Valore::null(), 0},   {Valore(true), -1},
        {Valore(3.5), 3.5},
    };
    for (const auto& c : casi) {
        EXPECT_DOUBLE_EQ(u.ValoreNumerico(c.v), c.atteso) << c.v.testo().toStdString();
        if (c.v.eTesto()) EXPECT_DOUBLE_EQ(u.ImportoDaTesto(c.v.testo()), c.atteso) << c.v.testo().toStdString();
    }
}

TEST(UtilGenerali, NumeroDaStringaRaisesOnTextThatIsNotANumber) {
    EXPECT_DOUBLE_EQ(u.NumeroDaStringa("202,18"), 202.18);
    EXPECT_DOUBLE_EQ(u.NumeroDaStringa("286,26"), 286.26);
    EXPECT_DOUBLE_EQ(u.NumeroDaStringa("-1"), -1);
    for (const char* t : {"abc", "", "   ", "1,2x"}) {
        try {
            u.NumeroDaStringa(Q(t));
            ADD_FAILURE() << "no error for \"" << t << "\"";
        } catch (const ErroreRun& e) {
            EXPECT_EQ(e.numero(), NumErrore::TipoNonCorrispondente);
        }
    }
}

TEST(UtilGenerali, InteroDaTestoReadsTheCodeBeforeTheDash) {
    EXPECT_EQ(u.InteroDaTesto("3 - Vassoio superiore"), 3);
    EXPECT_EQ(u.InteroDaTesto(" 15-A4"), 15);
    EXPECT_EQ(u.InteroDaTesto("Automatico"), 0);
    EXPECT_EQ(u.InteroDaTesto(""), 0);
    EXPECT_EQ(u.InteroDaTesto("7"), 7);
}

TEST(UtilGenerali, DatesAndTheEmptyDate) {
    struct Caso { Valore v; QDate atteso; };
    const Caso casi[] = {
        {Valore("01/01/100"), QDate(100, 1, 1)}, {Valore(""), QDate(100, 1, 1)},
        {Valore::null(), QDate(100, 1, 1)},      {Valore("abc"), QDate(100, 1, 1)},
        {Valore("30/02/2024"), QDate(100, 1, 1)}, {Valore("31/12/2024"), QDate(2024, 12, 31)},
        {Valore("1/2/24"), QDate(2024, 2, 1)},   {Valore("1.2.85"), QDate(1985, 2, 1)},
        {Valore("2024-02-29"), QDate(2024, 2, 29)}, {Valore("2024-02-29 00:00:00"), QDate(2024, 2, 29)},
        {Valore("29022024"), QDate(2024, 2, 29)}, {Valore(QDate(2018, 3, 1)), QDate(2018, 3, 1)},
        {Valore(2), QDate(1900, 1, 1)},
    };
    for (const auto& c : casi) EXPECT_EQ(u.ValoreData(c.v), c.atteso) << c.v.testo().toStdString();
    EXPECT_EQ(u.ValoreData(Valore("01/01/100")), u.ValoreData(Valore::null()));
}

TEST(UtilGenerali, ControllaDataCtlNormalisesOrRejects) {
    QString t = " 1/2/2024 ";
    EXPECT_EQ(u.ControllaDataCtl(t), 45323);
    EXPECT_EQ(t, "01/02/2024");

    QString vuoto = "  ", msg = "vecchio";
    EXPECT_EQ(u.ControllaDataCtl(vuoto, -2, false, &msg), 0);
    EXPECT_EQ(vuoto, "  ");
    EXPECT_TRUE(msg.isEmpty());

    QString dataVuota = "01/01/100";
    EXPECT_EQ(u.ControllaDataCtl(dataVuota), -657434);

    auto c = std::make_shared<Contesto>();
    auto dialoghi = std::make_shared<DialoghiScriptati>();
    c->ggDialoghi = dialoghi;
    ImpostaContesto(c);
    QString errata = "32/01/2024";
    EXPECT_EQ(u.ControllaDataCtl(errata, -4, true, &msg), -2);
    EXPECT_EQ(errata, "32/01/2024");
    EXPECT_EQ(msg, "Data non valida");
    EXPECT_EQ(dialoghi->testi(), QStringList{"Data non valida"});
    ImpostaContesto(nullptr);
}

TEST(UtilGenerali, ArrotondaHalfAwayFromZeroOnTheDecimalValue) {
    struct Caso { double v; int p; double atteso; };
    const Caso casi[] = {
        {2.675, -2, 2.68}, {-0.005, -2, -0.01}, {1.005, -2, 1.01},   {2.665, -2, 2.67},
        {0.285, -2, 0.29}, {-2.675, -2, -2.68}, {2.5, 0, 3},         {-2.5, 0, -3},
        {2.4999, 0, 2},    {1.234567891, -8, 1.23456789},            {1e-9, -8, 0},
        {1234.5, 2, 1200}, {1250, 2, 1300},     {1.3333, -2, 1.33},  {0.1 + 0.2, -8, 0.3},
        // A half at the fifteenth digit, after an even digit: still away from zero.
        {123456789012344.5, 0, 123456789012345}, {-123456789012344.5, 0, -123456789012345},
        {1234567890123.445, -2, 1234567890123.45},
    };
    for (const auto& c : casi) EXPECT_DOUBLE_EQ(u.Arrotonda(c.v, c.p), c.atteso) << c.v << " at " << c.p;
    EXPECT_FALSE(std::signbit(u.Arrotonda(-0.004, -2)));
}

TEST(UtilGenerali, MinimoMassimo) {
    EXPECT_DOUBLE_EQ(u.Minimo({1920.0 / 800, 1080.0 / 600}), 1.8);
    EXPECT_DOUBLE_EQ(u.Massimo({0, -3}), 0);
    EXPECT_DOUBLE_EQ(u.Massimo({3, -1, 7.5}), 7.5);
    EXPECT_DOUBLE_EQ(u.Minimo({}), 0);
}

TEST(UtilGenerali, SostituisciTestoForms) {
    EXPECT_EQ(u.SostituisciTesto("Dell'Acqua d'Ovidio", "'", "''"), "Dell''Acqua d''Ovidio");
    EXPECT_EQ(u.SostituisciTesto("aaa", "aa", "b"), "ba");
    EXPECT_EQ(u.SostituisciTesto("a", "a", "aa"), "aa");
    EXPECT_EQ(u.SostituisciTesto("abc", "", "x"), "abc");
    EXPECT_EQ(u.SostituisciTesto("Update DatiFatTest Set X WHERE DatiFatTest.A = 1", "DatiFatTest", "DatiFatDett"),
              "Update DatiFatDett Set X WHERE DatiFatDett.A = 1");
    // Start first, compare mode last: placeholders matched in any case.
    EXPECT_EQ(u.SostituisciTesto(1, Q("Stampa §DATA§ e §data§"), Q("§Data§"), "01/03", Confronto::IgnoraMaiuscole),
              "Stampa 01/03 e 01/03");
    EXPECT_EQ(u.SostituisciTesto(1, "Abc", "a", "x", Confronto::Esatto), "Abc");
    // Pairs one after another, each on the result of the one before.
    EXPECT_EQ(u.SostituisciTesto("a\tb\r\nc\rd\ne",
                                 {{"\t", " "}, {"\r\n", "&#xD;&#xA;"}, {"\r", "&#xD;"}, {"\n", "&#xA;"}}),
              "a b&#xD;&#xA;c&#xD;d&#xA;e");
    EXPECT_EQ(u.SostituisciTesto("1,5", {{",", "."}, {".", ";"}}), "1;5");
    // A later start keeps the head as it is.
    EXPECT_EQ(u.SostituisciTesto("abab", {{"a", "x"}}, 3), "abxb");
    EXPECT_EQ(u.SostituisciTesto("ab", {{"a", "x"}}, 9), "ab");
}

TEST(UtilGenerali, CercaDaDestra) {
    struct Caso { const char* testo; const char* cercato; int inizio; int confronto; int atteso; };
    const Caso casi[] = {
        {"stampa.ris.txt", ".", -1, 0, 11}, {"stampa", ".", -1, 0, 0},   {"", ".", -1, 0, 0},
        {"abc", "", -1, 0, 0},              {"abcabc", "bc", 5, 0, 2},  {"abcabc", "bc", 6, 0, 5},
        {"abcABC", "bc", 6, 0, 2},          {"abcABC", "bc", 6, 1, 5},  {"abc", "abc", 99, 0, 1},
        {"abc", "b", 0, 0, 0},
    };
    for (const auto& c : casi)
        EXPECT_EQ(u.CercaDaDestra(Q(c.testo), Q(c.cercato), c.inizio, c.confronto), c.atteso)
            << c.testo << " / " << c.cercato << " / " << c.inizio;
    EXPECT_EQ(u.CercaDaDestra(6, "abcABC", "BC", Confronto::IgnoraMaiuscole), 5);
}

TEST(UtilGenerali, AllineaFillsAndCutsToTheWidth) {
    struct Caso { const char* testo; int w; const char* fill; const char* lato; const char* atteso; };
    const Caso casi[] = {
        {"ab", 5, " ", "S", "ab   "},     {"ab", 5, "0", "D", "000ab"},    {"abcdef", 4, " ", "S", "abcd"},
        {"abcdef", 4, " ", "D", "cdef"},  {"", 3, " ", "S", "   "},        {"abc", 3, "*", "D", "abc"},
        {"ab", 4, "", "d", "  ab"},       {"ab", 4, "xy", "S", "abxx"},    {"ab", 0, " ", "S", ""},
    };
    for (const auto& c : casi) EXPECT_EQ(u.Allinea(Q(c.testo), c.w, Q(c.fill), Q(c.lato)), Q(c.atteso)) << c.testo;
}

TEST(UtilGenerali, EstraiParametroSwitches) {
    const QString riga = "/M MENU01 /P LIQIVA FrmLiqIvaPre /I C:\\Qor\\main ini.ini";
    const QString lancio = "/H guida.chm /F frmLiqIvaTest /ro";
    struct Caso { const QString* testo; const char* nome; const char* atteso; };
    const Caso casi[] = {
        {&riga, "M", "MENU01"},         {&riga, "P", "LIQIVA FrmLiqIvaPre"}, {&riga, "i", "C:\\Qor\\main ini.ini"},
        {&riga, "F", ""},               {&riga, "RO", ""},                   {&lancio, "H", "guida.chm"},
        {&lancio, "F", "frmLiqIvaTest"}, {&lancio, "RO", "/ro"},             {&lancio, "R", ""},
    };
    for (const auto& c : casi) EXPECT_EQ(u.EstraiParametro(*c.testo, Q(c.nome)), Q(c.atteso)) << c.nome;
    EXPECT_EQ(u.EstraiParametro("/I /home/u/main.ini /M X", "I"), "/home/u/main.ini");
    EXPECT_EQ(u.EstraiParametro("a/RO", "RO"), "");
    EXPECT_EQ(u.EstraiParametro("", "M"), "");
}

TEST(UtilGenerali, FormatoSqlLiterals) {
    struct Caso { Valore v; int tipo; const char* atteso; };
    const Caso casi[] = {
        {Valore(12), 2, "12"},               {Valore("2024"), 3, "2024"},       {Valore::null(), 2, "Null"},
        {Valore(), 5, "Null"},               {Valore(""), 7, "Null"},           {Valore("  "), 3, "Null"},
        {Valore(0), 2, "0"},                 {Valore(1234.56), 5, "1234.56"},   {Valore("1.234,56"), 5, "1234.56"},
        {Valore(-0.5), 5, "-0.5"},           {Valore(0.1 + 0.2), 5, "0.3"},     {Valore(2.5), 2, "3"},
        {Valore(QDate(2024, 3, 1)), 7, "'2024-03-01'"}, {Valore("01/03/2024"), 7, "'2024-03-01'"},
        {Valore(QDate(100, 1, 1)), 7, "'0100-01-01'"},  {Valore("Dell'Acqua"), 8, "'Dell''Acqua'"},
        {Valore::null(), 8, "''"},           {Valore(""), 8, "''"},             {Valore("N"), 8, "'N'"},
    };
    for (const auto& c : casi) EXPECT_EQ(u.FormatoSql(c.v, c.tipo), Q(c.atteso)) << c.v.testo().toStdString();
    for (const auto& [v, tipo] : {std::pair{Valore("abc"), 2}, {Valore("1 OR 1=1"), 5}, {Valore("31/02/2024"), 7}})
        EXPECT_THROW(u.FormatoSql(v, tipo), ErroreRun) << v.testo().toStdString();
}

TEST(UtilGenerali, FormatoSqlRoundTripsThroughSqlite) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t (i INTEGER, d REAL, g TEXT, s TEXT)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    const QString nome = "Dell'Acqua '); DROP TABLE t; --";
    const QString sql = "INSERT INTO t VALUES (" + u.FormatoSql(Valore(2024), 2) + ", " +
                        u.FormatoSql(Valore("-1.234,56"), 5) + ", " + u.FormatoSql(Valore("29/02/2024"), 7) +
                        ", " + u.FormatoSql(Valore(nome), 8) + ")";
    ASSERT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sql.toStdString();
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT i, d, g, s FROM t", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), 2024);
    EXPECT_DOUBLE_EQ(sqlite3_column_double(st, 1), -1234.56);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)), "2024-02-29");
    EXPECT_EQ(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))), nome);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

TEST(UtilGenerali, MasksAndFormattedValues) {
    EXPECT_EQ(u.CreaMaschera(0, 2, true, "#,##0", "0"), "#,##0.00");
    EXPECT_EQ(u.CreaMaschera(0, 0), "#,##0");
    struct Aliquota { double v; const char* atteso; };
    for (const auto& a : {Aliquota{22, "22"}, {5.5, "5,5"}, {0, "0"}, {4.25, "4,25"}})
        EXPECT_EQ(u.CreaMaschera(a.v, 2, false, "0", Q("^")), Q(a.atteso)) << a.v;
    EXPECT_EQ(u.CreaMaschera(10, 2, false, "0", "0"), "10,00");

    struct Caso { Valore v; const char* maschera; const char* atteso; };
    const Caso casi[] = {
        {Valore(1234.56), "#,##0.00", "1.234,56"}, {Valore(-1234.5), "#,##0.00", "-1.234,50"},
        {Valore(2.675), "#,##0.00", "2,68"},       {Valore(-0.004), "#,##0.00", "0,00"},
        {Valore(1234567), "#,##0", "1.234.567"},   {Valore(0), "#,##0.00", "0,00"},
        {Valore(999.999), "#,##0.00", "1.000,00"}, {Valore("1.234,56"), "#,##0.00", "1.234,56"},
        {Valore::null(), "#,##0.00", ""},          {Valore(), "#,##0", ""},
        {Valore(7), "0.00", "7,00"},               {Valore(1234.5), "0", "1235"},
    };
    for (const auto& c : casi) EXPECT_EQ(u.FormattaValore(c.v, Q(c.maschera)), Q(c.atteso)) << c.maschera;
}

TEST(UtilGenerali, AccountCodeMask) {
    struct Caso { const char* nudo; const char* mascherato; };
    for (const auto& c : {Caso{"0101000123", "01-01-000123"}, {"01", "01"}, {"0102", "01-02"}, {"", ""}}) {
        EXPECT_EQ(u.FormattaValore(Valore(Q(c.nudo)), "conto"), Q(c.mascherato));
        EXPECT_EQ(u.TogliMaschera(Q(c.mascherato), "Conto"), Q(c.nudo));
    }
    EXPECT_EQ(u.FormattaValore(Valore("01-01-000123"), "Conto"), "01-01-000123");
}

TEST(UtilGenerali, ErrorsAndSystemValues) {
    EXPECT_EQ(u.NumeroErrore(ErroreRun(3343, "x")), 3343);
    EXPECT_EQ(u.NumeroErrore(7), 7);
    EXPECT_FALSE(u.TestoErrore(3343).isEmpty());
    EXPECT_TRUE(u.TestoErrore(424242).contains("424242"));
    EXPECT_NE(u.RiparaDb("x.db"), 0);
    EXPECT_EQ(u.SepDecimali(), ",");
}
