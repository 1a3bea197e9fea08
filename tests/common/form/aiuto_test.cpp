#include "common/form/Aiuto.h"
#include "common/form/FormComune.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "FormProva.h"

namespace {

class Aiuto : public ::testing::Test {
protected:
    ContestoProva cp;
    QTemporaryDir dir;
    std::shared_ptr<ServizioHelpFinto> help = std::make_shared<ServizioHelpFinto>();

    void SetUp() override { cp.c->ggHelp = help; }
    QString Crea(const QString& nome) {
        const QString p = dir.filePath(nome);
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        return p;
    }
    QList<int> Comandi() const {
        QList<int> c;
        for (const auto& k : help->chiamate) c << k.comando;
        return c;
    }
};

TEST_F(Aiuto, CompiledTwinOfTheLaunchHelpFile) {
    const QString chm = Crea(QStringLiteral("guida.chm"));
    cp.c->gsFileHelp = dir.filePath(QStringLiteral("guida.hlp"));
    EXPECT_EQ(FileHelpChm(), chm);
    cp.c->gsFileHelp = dir.filePath(QStringLiteral("altra.hlp"));  // twin missing
    EXPECT_EQ(FileHelpChm(), QString());
    cp.c->gsFileHelp = dir.filePath(QStringLiteral("NONCE.CHM"));  // used as it is, even missing
    EXPECT_EQ(FileHelpChm(), cp.c->gsFileHelp);
    cp.c->gsFileHelp = QStringLiteral("  ");
    EXPECT_EQ(FileHelpChm(), QString());
    cp.c->gsFileHelp = QStringLiteral("x");
    EXPECT_EQ(FileHelpChm(), QString());
}

TEST_F(Aiuto, F1OpensTheTopicOfTheFieldItsContainerOrTheForm) {
    cp.c->gsFileHelp = Crea(QStringLiteral("guida.chm"));
    FormProva f;
    InizForm(f);
    f.setProperty("HelpContextID", 10);
    f.fraDati->setProperty("HelpContextID", 50);
    f.txt[20]->setProperty("HelpContextID", 70);
    Attiva(f);

    struct Caso {
        QWidget* campo;
        long atteso;
    } casi[] = {{f.txtInFrame, 50}, {f.txt[20], 70}, {f.txt[10], 10}};
    for (const Caso& k : casi) {
        help->chiamate.clear();
        k.campo->setFocus();
        QApplication::processEvents();
        QTest::keyClick(k.campo, Qt::Key_F1);
        EXPECT_EQ(Comandi(), (QList<int>{ComandoHelp::Sommario, ComandoHelp::Contesto}));
        ASSERT_EQ(help->chiamate.size(), 2);
        EXPECT_EQ(help->chiamate[1].dato, k.atteso);
        EXPECT_EQ(help->chiamate[1].file, cp.c->gsFileHelp);
    }
    f.fraDati->setProperty("HelpContextID", 0);
    EXPECT_EQ(ContestoHelpAttivo(f), 10);
    f.txtInFrame->setFocus();
    EXPECT_EQ(ContestoHelpAttivo(f), 10);
}

TEST_F(Aiuto, CtrlAndAltF1ContentsAndIndexOtherKeysUntouched) {
    cp.c->gsFileHelp = Crea(QStringLiteral("guida.chm"));
    FormProva f;
    int tasto = 112;
    EXPECT_TRUE(TastoHelp(tasto, 2, f));
    EXPECT_EQ(tasto, 0);
    tasto = 112;
    EXPECT_TRUE(TastoHelp(tasto, 4, f));
    EXPECT_EQ(tasto, 0);
    EXPECT_EQ(Comandi(), (QList<int>{ComandoHelp::Sommario, ComandoHelp::Indice}));
    tasto = 113;
    EXPECT_FALSE(TastoHelp(tasto, 0, f));
    EXPECT_EQ(tasto, 113);
    EXPECT_EQ(help->chiamate.size(), 2);
}

TEST_F(Aiuto, NoHelpFileF1GoesOnToTheForm) {
    FormProva f;
    int tasto = 112;
    EXPECT_FALSE(TastoHelp(tasto, 0, f));
    EXPECT_EQ(tasto, 112);
    EXPECT_TRUE(help->chiamate.isEmpty());
}

TEST_F(Aiuto, DesktopViewerMissingFileIsSaid) {
    ServizioHelpDesktop desktop;
    desktop.HtmlHelp(nullptr, dir.filePath(QStringLiteral("manca.chm")), ComandoHelp::Sommario, 0);
    ASSERT_EQ(cp.dialoghi->mostrati.size(), 1);
    EXPECT_TRUE(cp.dialoghi->mostrati[0].testo.startsWith(QStringLiteral("Impossibile aprire la guida")));
    desktop.HtmlHelp(nullptr, dir.filePath(QStringLiteral("manca.chm")), ComandoHelp::Contesto, 5);
    EXPECT_EQ(cp.dialoghi->mostrati.size(), 1);  // a topic opens nothing more
}

}  // namespace
