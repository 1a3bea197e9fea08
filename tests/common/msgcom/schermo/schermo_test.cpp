// The message box on a real desktop (1366 x 768 and 1920 x 1080, title bars
// drawn by a window manager): a box whose title is longer than its text is
// wide enough for the whole title beside the frame's buttons.
#include "common/DialoghiQt.h"
#include "contesto/Contesto.h"
#include "support/SchermoVirtuale.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QSize& Dimensioni() {
    static QSize d(1366, 768);
    return d;
}

class SchermoMsgCom : public ::testing::Test {
public:
    static void SetUpTestSuite() { SchermoVirtuale::Avvia(Dimensioni() = QSize(1366, 768)); }

protected:
    void SetUp() override {
        if (!SchermoVirtuale::Avvia(Dimensioni()))
            GTEST_SKIP() << "Nessuno schermo X virtuale: " << SchermoVirtuale::Motivo().toStdString();
        auto c = std::make_shared<Contesto>();
        c->gsTitoloApp = QStringLiteral("Comunicazioni IVA - Liquidazioni periodiche");
        ImpostaContesto(c);
    }
    void TearDown() override { ImpostaContesto(nullptr); }

    void TitoloIntero();
};

void SchermoMsgCom::TitoloIntero() {
    struct Caso {
        QString titolo, testo;
    } casi[] = {
        {QStringLiteral("Anno non valido"), QStringLiteral("?")},
        {QString(), QStringLiteral("Anno non valido")},  // the application's title
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.testo.toStdString());
        QRect cornice, dentro;
        QString titolo;
        QTimer::singleShot(0, [&] {
            QWidget* box = nullptr;
            SchermoVirtuale::Attendi([&] { return (box = QApplication::activeModalWidget()) != nullptr; }, 5000);
            ASSERT_NE(box, nullptr);
            SchermoVirtuale::AttendiCornice(*box);
            SchermoVirtuale::Sincronizza();
            cornice = SchermoVirtuale::FinestraConCornice(*box);
            dentro = box->geometry();
            titolo = box->windowTitle();
            box->close();
        });
        DialoghiQt reali;
        reali.msgCom(RichiestaMsgCom{.messaggio = k.testo, .titolo = k.titolo});
        ASSERT_FALSE(titolo.isEmpty());
        // The manager's title font is bold; the title bar carries the icon and
        // three buttons, each about as wide as the bar is high.
        QFont grassetto = QApplication::font();
        grassetto.setBold(true);
        const int barra = dentro.top() - cornice.top();
        const int serve = QFontMetrics(grassetto).horizontalAdvance(titolo) + 4 * barra;
        EXPECT_GE(cornice.width(), serve) << titolo.toStdString() << ": box " << cornice.width() << " wide, title bar "
                                          << barra << " high";
    }
}

TEST_F(SchermoMsgCom, ABoxIsAsWideAsItsTitle) { TitoloIntero(); }

class SchermoMsgComGrande : public SchermoMsgCom {
public:
    static void SetUpTestSuite() { SchermoVirtuale::Avvia(Dimensioni() = QSize(1920, 1080)); }
};
TEST_F(SchermoMsgComGrande, ABoxIsAsWideAsItsTitle) { TitoloIntero(); }

}  // namespace
