#include "components/db/AnalisiSql.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct Caso {
    const char* nome;
    QString sql;
    bool semplice;
    QStringList tabelle;  // "Tabella alias" of the outer FROM, in order
    int posFrom = -2;     // -2: not checked
};

QStringList tabelle(const AnalisiSql& a) {
    QStringList t;
    for (const IstanzaTabella& i : a.istanze) t << i.tabella + QLatin1Char(' ') + i.alias;
    return t;
}

TEST(AnalisiSql, TablesAliasesAndWhetherRowsAreTableRows) {
    const Caso casi[] = {
        {.nome = "one table", .sql = "Select * from LiqIvaTest", .semplice = true,
         .tabelle = {"LiqIvaTest LiqIvaTest"}, .posFrom = 9},
        {.nome = "alias with and without AS",
         .sql = "SELECT a.x FROM MovPnTes AS a INNER JOIN Causali c ON a.Cau = c.Cod WHERE a.x = 1",
         .semplice = true, .tabelle = {"MovPnTes a", "Causali c"}},
        {.nome = "comma join and a twin table",
         .sql = "select * from Causali, Causali Causali_1 where Causali.Cod = Causali_1.Cod",
         .semplice = true, .tabelle = {"Causali Causali", "Causali Causali_1"}},
        {.nome = "quoted names lose their quotes", .sql = "select * from [Dati Fat] \"t\"", .semplice = true,
         .tabelle = {"Dati Fat t"}},
        {.nome = "schema-qualified table", .sql = "select * from main.Ditta", .semplice = true,
         .tabelle = {"Ditta Ditta"}},
        {.nome = "a FROM inside a subquery or a literal is not the outer one",
         .sql = "select (select max(x) from T2), 'from X' as f from T1 where y in (select y from T3)",
         .semplice = true, .tabelle = {"T1 T1"}},
        {.nome = "comments are skipped", .sql = "select * -- from Nascosta\n from /* from X */ Vera",
         .semplice = true, .tabelle = {"Vera Vera"}},
        {.nome = "DISTINCT", .sql = "select distinct Anno from LiqIvaTest", .semplice = false,
         .tabelle = {"LiqIvaTest LiqIvaTest"}},
        {.nome = "aggregate", .sql = "select Sum(Imp) from IvaRiep", .semplice = false,
         .tabelle = {"IvaRiep IvaRiep"}},
        {.nome = "GROUP BY", .sql = "select Anno from IvaRiep group by Anno", .semplice = false,
         .tabelle = {"IvaRiep IvaRiep"}},
        {.nome = "compound select", .sql = "select a from T union select a from U", .semplice = false,
         .tabelle = {"T T"}},
        {.nome = "not a select", .sql = "update T set a = 1", .semplice = false, .tabelle = {}, .posFrom = -1},
        {.nome = "empty", .sql = "", .semplice = false, .tabelle = {}, .posFrom = -1},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        const AnalisiSql a = analizzaSql(c.sql);
        EXPECT_EQ(a.semplice, c.semplice);
        EXPECT_EQ(tabelle(a), c.tabelle);
        if (c.posFrom != -2) EXPECT_EQ(a.posFrom, c.posFrom);
    }
}

TEST(AnalisiSql, TokensOfLiteralsNumbersAndQuotedNames) {
    const auto t = tokenizzaSql("x = 'l''apostrofo' + 12.5 - [a b]");
    QStringList testi;
    for (const TokenSql& k : t) testi << (k.ident ? "i:" : "s:") + k.testo;
    EXPECT_EQ(testi, (QStringList{"i:x", "s:=", "s:'", "s:+", "s:0", "s:-", "i:a b"}));
}

}  // namespace
