#include "components/stampanti/StampantiFinte.h"

#include <gtest/gtest.h>

TEST(ServizioStampanti, CurrentPrinterFollowsTheDefaultUntilAssigned) {
    StampantiFinte s;
    s.stampanti = {{"Laser", "p1"}, {"laser", "p2"}, {"Etichette", "p3"}};
    s.predefinita = "Laser";
    EXPECT_FALSE(s.Assegnata());
    EXPECT_EQ(s.NomeCorrente(), "Laser");
    s.predefinita = "Etichette";
    EXPECT_EQ(s.NomeCorrente(), "Etichette");

    s.Assegna("Laser");
    s.predefinita = "Altra";
    EXPECT_TRUE(s.Assegnata());
    EXPECT_EQ(s.NomeCorrente(), "Laser");
}

TEST(ServizioStampanti, CercaIgnoresCaseAndTakesTheFirst) {
    StampantiFinte s;
    s.stampanti = {{"Laser", "p1"}, {"laser", "p2"}};
    ASSERT_TRUE(s.Cerca("LASER"));
    EXPECT_EQ(s.Cerca("LASER")->porta, "p1");
    EXPECT_FALSE(s.Cerca("Assente"));
    EXPECT_FALSE(s.Cerca(""));
}

// The real service answers on a machine without printers, without a crash.
TEST(ServizioStampanti, RealServiceListsWhatTheSystemHas) {
    StampantiQt s;
    for (const auto& p : s.Installate()) {
        EXPECT_FALSE(p.nome.isEmpty());
        EXPECT_EQ(p.porta, p.nome);
    }
    if (!s.NomePredefinita().isEmpty()) EXPECT_EQ(s.NomeCorrente(), s.NomePredefinita());
}
