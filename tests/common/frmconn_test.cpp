#include "common/FrmConn.h"

#include "contesto/Contesto.h"
#include "support/AppTest.h"

#include <QApplication>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

// A form loaded from a menu command served while another form's splash is
// being shown unloads the splash under it: the splash must outlive the call
// that shows it.
TEST(FrmConnTest, ScaricareDuranteLaMostraNonLoLiberaSubito) {
    AppTest();
    auto c = std::make_shared<Contesto>();
    ImpostaContesto(c);
    MostraFrmConn(QStringLiteral("Connessione"));
    QPointer<FrmConn> splash = &CaricaFrmConn();
    ScaricaFrmConn();
    ASSERT_FALSE(splash.isNull()) << "still alive for the caller that is showing it";
    EXPECT_FALSE(splash->isVisible());
    EXPECT_NE(splash->objectName(), "frmConn") << "no longer the program's splash";
    EXPECT_NE(&CaricaFrmConn(), splash.data()) << "asked again, a new one";
    ScaricaFrmConn();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
    ImpostaContesto(nullptr);
}

}  // namespace
