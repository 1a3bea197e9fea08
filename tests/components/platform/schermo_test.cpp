#include "components/platform/Schermo.h"
#include "components/platform/Sessioni.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

TEST(Schermo, UsableHeightStopsOnlyAtABottomBarThatStaysOnScreen) {
    struct Caso { const char* nome; bool nascosta; int bordo; long cima; int atteso; };
    // Screen 1920 x 1080 pixels: 16200 twips high.
    const Caso casi[] = {
        {"bottom bar at pixel 1040", false, 3, 1040, 15600},
        {"bottom bar that hides itself", true, 3, 1040, 16200},
        {"left bar", false, 0, 0, 16200},
        {"top bar", false, 1, 0, 16200},
        {"right bar", false, 2, 0, 16200},
        {"position not readable", false, -1, 1040, 16200},
    };
    for (const Caso& c : casi) {
        SchermoFinto s;
        s.dimensioni = {1920, 1080};
        s.nascostaAuto = c.nascosta;
        s.bordo = c.bordo;
        s.cima = c.cima;
        EXPECT_EQ(s.AreaUtileSchermo(), c.atteso) << c.nome;
    }
    SchermoFinto s;
    s.dimensioni = {1920, 1080};
    EXPECT_EQ(s.LarghezzaTwips(), 28800);
    EXPECT_EQ(s.AltezzaTwips(), 16200);
}

TEST(Schermo, QtScreenWithNoReservedStripHasNoReadableBar) {
    static int argc = 1;
    static char nome[] = "test_schermo";
    static char* argv[] = {nome, nullptr};
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
    SchermoQt s;
    ASSERT_FALSE(s.DimensioniPixel().isEmpty());
    int bordo = 7;
    long cima = 123;
    EXPECT_FALSE(s.PosBarraApp(bordo, cima));
    EXPECT_EQ(bordo, -1);  // the offscreen screen keeps nothing out
    EXPECT_EQ(cima, 123);
    EXPECT_EQ(s.AreaUtileSchermo(), s.DimensioniPixel().height() * TwipsPerPixel);
}

TEST(Schermo, AWindowShownOrGrownComesBackInsideTheWorkAreaWithItsTitleBar) {
    static int argc = 1;
    static char nome[] = "test_schermo";
    static char* argv[] = {nome, nullptr};
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Caso {
        const char* nome;
        QPoint posizione;
        QSize prima, dopo;
    } casi[] = {
        {"grows past the right and bottom edges", area.bottomRight() - QPoint(250, 200), {200, 150}, {400, 350}},
        {"shown with its title bar above the top edge", area.topLeft() + QPoint(50, 0), {200, 150}, {200, 150}},
        {"shown past the left edge", area.topLeft() + QPoint(-80, 100), {200, 150}, {220, 150}},
        {"grows larger than the screen", area.topLeft() + QPoint(30, 40), {200, 150}, area.size() + QSize(50, 50)},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        QWidget finestra;
        finestra.setGeometry(QRect(c.posizione, c.prima));
        TieniNelloSchermo(finestra);
        finestra.show();
        finestra.resize(c.dopo);
        const auto fuori = [&] { return finestra.geometry().marginsAdded(CorniceFinestra(finestra)); };
        EXPECT_GE(CorniceFinestra(finestra).top(), QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
        if (c.dopo.height() < area.height()) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return area.contains(fuori()); }, 2000)) << fuori().x() << "," << fuori().y();
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return fuori().topLeft() == area.topLeft(); }, 2000))
                << fuori().x() << "," << fuori().y();
        }
        EXPECT_EQ(finestra.size(), c.dopo);
    }
}

TEST(Sessioni, NumberFromTheEnvironmentOrZeroWithoutASessionList) {
    const QByteArray prima = qgetenv(VariabileSessione);
    struct Caso { const char* valore; int atteso; };
    const Caso casi[] = {{nullptr, 0}, {"", 0}, {"0", 0}, {"1", 1}, {" 3 ", 3}, {"-2", 0}, {"RDP-Tcp#3", 0}};
    for (const Caso& c : casi) {
        if (c.valore) qputenv(VariabileSessione, c.valore);
        else qunsetenv(VariabileSessione);
        EXPECT_EQ(InfoSessione(), c.atteso) << (c.valore ? c.valore : "(unset)");
    }
    if (prima.isNull()) qunsetenv(VariabileSessione);
    else qputenv(VariabileSessione, prima);
}
