// The demo bookkeeping: the same seed gives the same company, every
// registration balances, and the identities are valid codes.
#include "contabilita/ContabilitaDemo.h"

#include "common/ControlliFiscali.h"
#include "components/db/GestoreDb.h"
#include "support/Fixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QStringList Colonna(sqlite3* db, const char* sql) {
    QStringList r;
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    while (sqlite3_step(st) == SQLITE_ROW) {
        const auto* t = sqlite3_column_text(st, 0);
        r << (t ? QString::fromUtf8(reinterpret_cast<const char*>(t)) : QString());
    }
    sqlite3_finalize(st);
    return r;
}

TEST(ContabilitaDemo, UnAnnoDiRegistrazioniCoerenti) {
    FixtureDb fx;
    sqlite3* db = fx.gestDb->DatabaseDaId(fx.idAzienda)->Handle();
    const ParametriContabilita p{.anno = 2018, .registrazioni = 500, .righeIvaMedie = 3, .fittizie = 20, .seme = 7};
    const ConteggiContabilita c = GeneraContabilita(db, p);
    EXPECT_EQ(c.registrazioni, 520);
    EXPECT_EQ(Colonna(db, "SELECT COUNT(*) FROM MovPnTes"), QStringList{"500"});
    EXPECT_EQ(Colonna(db, "SELECT COUNT(*) FROM MovPnTesFitt"), QStringList{"20"});
    EXPECT_EQ(Colonna(db, "SELECT (SELECT COUNT(*) FROM MovPnIva) + (SELECT COUNT(*) FROM MovPnIvaFitt)"),
              QStringList{QString::number(c.righeIva)});
    EXPECT_NEAR(static_cast<double>(c.righeIva) / c.registrazioni, 3.0, 0.1);

    // Debit and credit of each registration are equal; line 1 is the counterparty.
    EXPECT_EQ(Colonna(db, "SELECT Anno || '/' || NumReg FROM MovPnDett GROUP BY Anno, NumReg"
                          " HAVING ABS(SUM(CASE DareAvere WHEN 'D' THEN Importo ELSE -Importo END)) > 0.005"),
              QStringList{});
    EXPECT_EQ(Colonna(db, "SELECT COUNT(*) FROM MovPnTes t WHERE NOT EXISTS (SELECT 1 FROM MovPnDett d"
                          " JOIN PianoConti p ON p.Gruppo = d.GruppoPartita AND p.Mastro = d.MastroPartita"
                          " AND p.Conto = d.ContoPartita WHERE d.Anno = t.Anno AND d.NumReg = t.NumReg"
                          " AND d.RigReg = 1 AND p.Gruppo IN ('14', '24'))"),
              QStringList{"0"});
    // Every causal and VAT code the registrations use exists.
    EXPECT_EQ(Colonna(db, "SELECT COUNT(*) FROM MovPnTes WHERE Causale NOT IN (SELECT Causale FROM Causali)"),
              QStringList{"0"});
    EXPECT_EQ(Colonna(db, "SELECT COUNT(*) FROM MovPnIva WHERE Iva NOT IN (SELECT Iva FROM Tabiva)"), QStringList{"0"});

    for (const QString& piva : Colonna(db, "SELECT PartIva FROM PianoConti WHERE Stato = 'ITA' AND PartIva IS NOT NULL"))
        EXPECT_EQ(ContrPartIva(piva, QString(), "IT", 11, 0), 0) << piva.toStdString();
    for (const QString& cf : Colonna(db, "SELECT CodFisc FROM PianoConti WHERE LENGTH(CodFisc) = 16"))
        EXPECT_EQ(ContrCodFisc(cf, false), 0) << cf.toStdString();

    // The same seed, the same company.
    FixtureDb altro;
    sqlite3* db2 = altro.gestDb->DatabaseDaId(altro.idAzienda)->Handle();
    GeneraContabilita(db2, p);
    const char* impronta = "SELECT group_concat(NumReg || Causale || Importo || IFNULL(NumDoc, ''), ';')"
                           " FROM (SELECT * FROM MovPnTes ORDER BY NumReg)";
    EXPECT_EQ(Colonna(db, impronta), Colonna(db2, impronta));
}

}  // namespace
