#include "FixtureLavoro.h"

#include "print/lavoro/FrmStampaInCorso.h"

namespace {

TEST_F(LavoroTest, ProgressBoxShowsTheJobAndOnlyAsksTheStop) {
    frmStampaInCorso* box = frmStampaInCorso::Istanza();
    EXPECT_EQ(box->ComStampa->text(), "Interrompi la stampa");
    EXPECT_EQ(box->osRisVidKey, "StaVid");
    auto st = std::make_unique<Stampa>();
    box->Prepara("Liquidazione Iva Periodica ", st.get());
    EXPECT_EQ(box->windowTitle(), "Liquidazione Iva Periodica ");
    EXPECT_EQ(box->lblStamp->text(), "Liquidazione Iva Periodica ");
    EXPECT_EQ(box->LblPag->text(), "000");
    box->ImpPaginaInCorso(7);
    EXPECT_EQ(box->LblPag->text(), "007");
    box->ComStampa->click();
    box->ComStampa->click();
    EXPECT_EQ(st->LeggiInterruzione(), 1);
    EXPECT_TRUE(st->LeggiAnnullata());
    st.reset();
    box->ComStampa->click();  // the print object is gone: nothing happens
    EXPECT_TRUE(box->ogStampa.isNull());

    EXPECT_FALSE(box->ChiediEmailLogPwd());
    serviziLavoroStampa().RichiestaLoginEmail = [] { return true; };
    EXPECT_TRUE(box->ChiediEmailLogPwd());
}

}  // namespace

namespace {

// The box's picture keeps its own size when the form is scaled for the screen.
TEST_F(LavoroTest, ProgressBoxPictureIsNotScaled) {
    c->gdRisVidGen = -1;
    auto normale = std::make_unique<frmStampaInCorso>();
    c->gdRisVidGen = 1.25;
    auto grande = std::make_unique<frmStampaInCorso>();
    ASSERT_DOUBLE_EQ(grande->odRisVidVal, 1.25);
    auto* pic = normale->findChild<QLabel*>("PicVelt");
    auto* picGrande = grande->findChild<QLabel*>("PicVelt");
    ASSERT_NE(pic, nullptr);
    ASSERT_NE(picGrande, nullptr);
    EXPECT_FALSE(pic->pixmap().isNull());
    grande->show();
    normale->show();
    EXPECT_GT(grande->ComStampa->font().pointSizeF(), normale->ComStampa->font().pointSizeF());
    EXPECT_EQ(picGrande->size(), pic->pixmap().deviceIndependentSize().toSize());
    EXPECT_EQ(picGrande->pixmap().size(), pic->pixmap().size());
}

}  // namespace
