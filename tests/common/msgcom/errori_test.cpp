#include "common/FrmMsgCom.h"
#include "common/MsgErrori.h"
#include "components/core/ErroreRun.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"

#include <gtest/gtest.h>

namespace {
class ErroriTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto c = std::make_shared<Contesto>();
        c->ggDialoghi = dialoghi;
        c->gsTitoloApp = QStringLiteral("Titolo App");
        ImpostaContesto(c);
    }
    void TearDown() override {
        ImpostaContesto(nullptr);
        ImpostaScaricaFrmConn(nullptr);
    }
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
};

const ErroreRun conOrigine(NumErrore::OggettoNonImpostato, QStringLiteral("Variabile oggetto non impostata"),
                           QStringLiteral("modStampa"));
const ErroreRun senzaOrigine(NumErrore::OggettoNonImpostato, QStringLiteral("Variabile oggetto non impostata"));
}  // namespace

TEST(TestoErrore, BuildsTheStandardText) {
    struct Caso {
        const ErroreRun* errore;
        std::optional<Valore> descrizione, numero;
        QString prima, dopo;
        OrigineErrore origine;
        QString atteso;
    };
    const Caso casi[] = {
        {&conOrigine, {}, {}, {}, {}, OrigineErrore::DopoDescrizione,
         "Errore(91): Variabile oggetto non impostata - modStampa"},
        {&senzaOrigine, {}, {}, {}, {}, OrigineErrore::DopoDescrizione, "Errore(91): Variabile oggetto non impostata"},
        {&conOrigine, {}, {}, {}, {}, OrigineErrore::InveceDescrizione, "Errore(91): modStampa"},
        {&senzaOrigine, {}, {}, {}, {}, OrigineErrore::InveceDescrizione,
         "Errore(91): Variabile oggetto non impostata"},
        // No blank is added between the parts.
        {&conOrigine, Valore("Disco pieno"), Valore(61), "Prima ", ".Dopo", OrigineErrore::DopoDescrizione,
         "Prima Errore(61): Disco pieno.Dopo"},
        // Description given, number from the error.
        {&conOrigine, Valore("Altro"), {}, {}, {}, OrigineErrore::DopoDescrizione, "Errore(91): Altro"},
        // The menu's failure report swaps the two places on purpose.
        {nullptr, Valore(-5), Valore("Impossibile aprire il programma richiesto"), {}, {},
         OrigineErrore::InveceDescrizione, "Errore(Impossibile aprire il programma richiesto): -5"},
        {nullptr, {}, {}, {}, {}, OrigineErrore::DopoDescrizione, "Errore(0): "},
    };
    for (const Caso& c : casi)
        EXPECT_EQ(TestoErrore(c.errore, c.descrizione, c.numero, c.prima, c.dopo, c.origine), c.atteso);
}

TEST_F(ErroriTest, MsgErrfrmShowsOneOkButtonInTheMessageForm) {
    dialoghi->risposte = {1, 1};
    EXPECT_EQ(frmMsgCom::MsgErrfrm(conOrigine, QStringLiteral("Stampa: ")), 1);
    EXPECT_EQ(frmMsgCom::MsgErrfrm(Valore("Manca il file"), Valore(53), {}, {}, QStringLiteral("Archivio")), 1);
    ASSERT_EQ(dialoghi->mostrati.size(), 2);
    const DialogoMostrato& a = dialoghi->mostrati[0];
    EXPECT_EQ(a.tipo, "msgCom");
    EXPECT_EQ(a.testo, "Stampa: Errore(91): Variabile oggetto non impostata - modStampa");
    EXPECT_EQ(a.titolo, "Titolo App");
    EXPECT_EQ(a.bottoni, QStringList{"&Ok"});
    EXPECT_EQ(dialoghi->mostrati[1].testo, "Errore(53): Manca il file");
    EXPECT_EQ(dialoghi->mostrati[1].titolo, "Archivio");
}

TEST_F(ErroriTest, MsgComTakesTheThirdButtonOnlyWithTheSecond) {
    dialoghi->risposte = {2, 1};
    EXPECT_EQ(frmMsgCom::msgCom("Domanda", "&Sì", QStringLiteral("&No"), QStringLiteral("&Annulla")), 2);
    EXPECT_EQ(frmMsgCom::msgCom("Avviso", "&Ok", std::nullopt, QStringLiteral("&Annulla")), 1);
    EXPECT_EQ(dialoghi->mostrati[0].bottoni, (QStringList{"&Sì", "&No", "&Annulla"}));
    EXPECT_EQ(dialoghi->mostrati[1].bottoni, QStringList{"&Ok"});
    EXPECT_EQ(dialoghi->mostrati[1].titolo, "Titolo App");
}

TEST_F(ErroriTest, MsgErroreUsesTheStandardBoxWithExclamation) {
    EXPECT_EQ(MsgErrore(senzaOrigine, {}, QStringLiteral(" in chiusura")), RispostaMsg::Ok);
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_EQ(dialoghi->mostrati[0].tipo, "msgBox");
    EXPECT_EQ(dialoghi->mostrati[0].testo, "Errore(91): Variabile oggetto non impostata in chiusura");
    EXPECT_EQ(dialoghi->mostrati[0].stile, StileMsg::SoloOk | StileMsg::Esclamativo);
    EXPECT_EQ(dialoghi->mostrati[0].titolo, "Titolo App");
}

TEST_F(ErroriTest, MsgErroreMenuSendsTheSourceAndUnloadsTheSplashEvenIfThatFails) {
    int scaricamenti = 0;
    ImpostaScaricaFrmConn([&] {
        ++scaricamenti;
        throw ErroreRun(NumErrore::OggettoNonImpostato, "già scaricata");
    });
    EXPECT_NO_THROW(MsgErroreMenu(conOrigine));
    EXPECT_EQ(scaricamenti, 1);
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_EQ(dialoghi->mostrati[0].tipo, "msgMenu");
    EXPECT_EQ(dialoghi->mostrati[0].testo, "Errore(91): modStampa");
}
