#include "common/FrmMsgCom.h"
#include "common/form/Decodifica.h"
#include "components/core/ErroreRun.h"
#include "components/lookup/AiutiFinti.h"

#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "FormProva.h"

namespace {

class Decodifica : public ::testing::Test {
protected:
    ContestoProva cp;
    std::shared_ptr<QorAiutiFinto> aiuti = std::make_shared<QorAiutiFinto>();
    QWidget form;
    QLineEdit* box = new QLineEdit(&form);
    QLabel* lab = new QLabel(&form);

    void SetUp() override {
        cp.c->ggAiuti = aiuti;
        aiuti->codici[QStringLiteral("conto")] = {{QStringLiteral("01-02-000003"), QStringLiteral("Cassa")}};
        aiuti->codici[QStringLiteral("decodifiche")] = {{QStringLiteral("TD01"), QStringLiteral("Fattura")}};
        aiuti->FormListaAiuto().Imposta(QStringLiteral("RetZeroRec"), Valore(7));
        aiuti->olColBackOk = 0x123456;
        cp.c->glColGotFocus = 0x80FFFF;
    }
    Valore Conto(const QString& testo) {
        box->setText(testo);
        return DecodCampo(QStringLiteral("Conto"), box, lab);
    }
    QList<int> Tasti() const {
        QList<int> t;
        for (const auto& c : aiuti->chiamateLista) t << c.keyCode;
        return t;
    }
};

TEST_F(Decodifica, AnExistingCodeShowsItsDescription) {
    EXPECT_EQ(Conto(QStringLiteral("01-02-000003")).numero(), -1);
    EXPECT_EQ(lab->text(), QStringLiteral("Cassa"));
    EXPECT_TRUE(aiuti->chiamateLista.isEmpty());
}

TEST_F(Decodifica, TableOfDecodingsAndEmptyFieldsNeverOpenAList) {
    cp.c->gsDecodHelpAbil = QStringLiteral("C");
    box->setText(QStringLiteral("TD99"));
    DecodCampo(QStringLiteral("Decodifiche"), box, lab, std::nullopt, 0, {}, 0, std::nullopt,
               QStringLiteral("TipoTab = 'FETipDoc'"), -1);
    EXPECT_EQ(lab->text(), TestoInesistente);
    Conto(QString());
    EXPECT_EQ(lab->text(), QString());
    EXPECT_TRUE(aiuti->chiamateLista.isEmpty());
}

TEST_F(Decodifica, OptionNShowsInesistenteAndNothingOpens) {
    cp.c->gsDecodHelpAbil = QStringLiteral("n");
    Conto(QStringLiteral("99"));
    EXPECT_EQ(lab->text(), TestoInesistente);
    EXPECT_TRUE(aiuti->chiamateLista.isEmpty());
}

TEST_F(Decodifica, OptionCOpensWithF2ThenOnceWithF3) {
    cp.c->gsDecodHelpAbil = QStringLiteral("C");
    aiuti->liste = {{0, {}, {}, 0, true}, {0, {}, {}, 0, true}, {0, {}, {}, 0, true}};
    EXPECT_EQ(Conto(QStringLiteral("99")), Valore(false));
    EXPECT_EQ(Tasti(), (QList<int>{113, 114}));
    // While the list was open it returned at once on nothing found; then restored.
    EXPECT_EQ(aiuti->chiamateLista[0].retZeroRec.numero(), 1);
    EXPECT_EQ(aiuti->FormListaAiuto().Leggi(QStringLiteral("RetZeroRec")).numero(), 7);
    EXPECT_EQ(aiuti->chiamateLista[0].colBackOk, 0x80FFFF);
    EXPECT_EQ(aiuti->olColBackOk, 0x123456);
    EXPECT_EQ(box->text(), QStringLiteral("99"));

    aiuti->chiamateLista.clear();
    cp.c->gsDecodHelpAbil = QStringLiteral("D");
    aiuti->liste = {{0, {}, {}, 0, true}, {0, {}, {}, 0, true}};
    Conto(QStringLiteral("99"));
    EXPECT_EQ(Tasti(), (QList<int>{114, 113}));

    struct Caso {
        const char* opzione;
        int tasto;
    } casi[] = {{"3", -4}, {"1", -2}, {"X", -1}};
    for (const Caso& k : casi) {
        aiuti->chiamateLista.clear();
        cp.c->gsDecodHelpAbil = QString::fromLatin1(k.opzione);
        Conto(QStringLiteral("99"));
        EXPECT_EQ(Tasti(), QList<int>{k.tasto}) << k.opzione;
    }
}

TEST_F(Decodifica, PersonalKeyOfTheTableWins) {
    cp.c->gsDecodHelpAbil = QStringLiteral("C");
    cp.c->gbDecodHelpPersKey = true;
    cp.menu->ImpostaParPers(QStringLiteral("Tutti"), QStringLiteral("HlpConto"), Valore(QStringLiteral("4")));
    Conto(QStringLiteral("99"));
    EXPECT_EQ(Tasti(), QList<int>{115});
}

TEST_F(Decodifica, NoListWhileTheMessageFormIsOnScreen) {
    cp.c->gsDecodHelpAbil = QStringLiteral("C");
    frmMsgCom msg(*cp.schermo);
    msg.show();
    Conto(QStringLiteral("99"));
    EXPECT_TRUE(aiuti->chiamateLista.isEmpty());
    msg.hide();
    Conto(QStringLiteral("99"));
    EXPECT_FALSE(aiuti->chiamateLista.isEmpty());
}

TEST_F(Decodifica, ChoiceDecodesAgainWithTheAccountInItsDisplayForm) {
    cp.c->gsDecodHelpAbil = QStringLiteral("C");
    aiuti->liste = {{1, QStringLiteral("0102000003"), QStringLiteral("Cassa"), 0}};
    EXPECT_EQ(Conto(QStringLiteral("01-02-99")).numero(), -1);
    EXPECT_EQ(aiuti->chiamateLista[0].testo, QStringLiteral("010299"));  // the unmasked code while the list is open
    EXPECT_EQ(box->text(), QStringLiteral("01-02-000003"));
    EXPECT_EQ(lab->text(), QStringLiteral("Cassa"));
}

TEST_F(Decodifica, AFailingListLeavesTheSettingAndTheTextAsTheyWere) {
    cp.c->gsDecodHelpAbil = QStringLiteral("C");
    aiuti->liste = {QorAiutiFinto::EsitoLista{0, {}, {}, 0, false, true}};
    box->setText(QStringLiteral("01-02-99"));
    EXPECT_THROW(DecodCampo(QStringLiteral("Conto"), box, lab), ErroreRun);
    EXPECT_EQ(aiuti->FormListaAiuto().Leggi(QStringLiteral("RetZeroRec")).numero(), 7);
    EXPECT_EQ(aiuti->olColBackOk, 0x123456);
    EXPECT_EQ(box->text(), QStringLiteral("01-02-99"));
}

TEST_F(Decodifica, PrepListaAiutoOnlyForListKeys) {
    int scelta = 0;
    for (int tasto : {112, 0, 50, 124}) EXPECT_TRUE(PrepListaAiuto(QStringLiteral("Conto"), box, lab, tasto, std::nullopt, scelta).eVuoto());
    EXPECT_TRUE(aiuti->chiamateLista.isEmpty());
    for (int tasto : {113, 123, -1}) PrepListaAiuto(QStringLiteral("Conto"), box, lab, tasto, std::nullopt, scelta);
    EXPECT_EQ(Tasti(), (QList<int>{113, 123, -1}));
}

TEST_F(Decodifica, ColumnsAndSettingsOfTheList) {
    cp.menu->ImpostaParPers(QStringLiteral("Help"), QStringLiteral("ContoCampi3"), Valore(QStringLiteral("Localita,Pr")));
    cp.menu->ImpostaParPers(QStringLiteral("Help"), QStringLiteral("ContoCampi"), Valore(QStringLiteral("Stato")));
    cp.menu->ImpostaParPers(QStringLiteral("Help"), QStringLiteral("ContoSQLPass"), Valore(QStringLiteral("s")));
    cp.menu->ImpostaParPers(QStringLiteral("Help"), QStringLiteral("DecodificheCampi"), Valore(QStringLiteral(",no,Tutte")));
    cp.menu->ImpostaParPers(QStringLiteral("Tutti"), QStringLiteral("CFHelpRic11"), Valore(QStringLiteral("R11")));
    int scelta = 0;
    PrepListaAiuto(QStringLiteral("Conto"), box, lab, 113, Valore(QStringLiteral("3")), scelta, QStringLiteral(",Email"));
    PrepListaAiuto(QStringLiteral("Conto"), box, lab, 113, Valore(QStringLiteral("2")), scelta);
    PrepListaAiuto(QStringLiteral("Decodifiche"), box, lab, 113, std::nullopt, scelta);
    EXPECT_EQ(aiuti->chiamateLista[0].colonne, QStringLiteral("Localita,Pr,Email"));
    EXPECT_EQ(aiuti->chiamateLista[1].colonne, QStringLiteral("Stato"));  // ContoCampi2 empty: ContoCampi
    EXPECT_EQ(aiuti->chiamateLista[2].colonne, QString());
    EXPECT_TRUE(aiuti->chiamateLista[0].forzaPassThrough.booleano());
    EXPECT_FALSE(aiuti->chiamateLista[2].forzaPassThrough.booleano());
    EXPECT_EQ(aiuti->FormParametriAiuto().Leggi(QStringLiteral("CFHelpRic11")).testo(), QStringLiteral("R11"));
    EXPECT_EQ(aiuti->ComlinListaAiuto().Leggi(QStringLiteral("MargSin")).numero(), 0);
    EXPECT_FALSE(aiuti->LeggiValore(QStringLiteral("MostraImg")).eVuoto());
    EXPECT_FALSE(aiuti->LeggiValore(QStringLiteral("MostraImg")).booleano());
}

TEST(TipoChiaveAiuto, KindSuffixOfAnAccountList) {
    struct Caso {
        const char* specifica;
        const char* testo;
        int tasto;
        const char* atteso;
    } casi[] = {{"2", "", 113, "2"},    {"3", "f", 114, "3"},   {"", "", 113, ""},      {"", "cli", 114, "3"},
                {"", "for", 114, "2"},  {"", "gen", 114, "1"},  {"", "x", 114, "0"},    {"x1", "", 113, "0"},
                {"x1", "123", 114, "0"}, {"c", "", 113, ""},    {"c", "x", 114, "3"},   {"xf", "fo", 114, "2"},
                {"c3", "zz", 114, "3"}, {"f9", "gen", 114, "1"}, {"f9", "zz", 114, "2"}};
    for (const Caso& k : casi)
        EXPECT_EQ(TipoChiaveAiuto(QString::fromLatin1(k.specifica), QString::fromLatin1(k.testo), k.tasto),
                  QString::fromLatin1(k.atteso))
            << k.specifica << " " << k.testo << " " << k.tasto;
}

TEST_F(Decodifica, DecodValoreHandsTheValueToTheLibrary) {
    aiuti->codici[QStringLiteral("aziende")] = {{QStringLiteral("01"), QStringLiteral("Rossi S.r.l.")}};
    box->setText(QStringLiteral("01"));
    DecodValore(QStringLiteral("Aziende"), QStringLiteral("IdAzienda"), box, lab, -1, 0, 8, QStringLiteral("Descrizione"));
    EXPECT_EQ(lab->text(), QStringLiteral("Rossi S.r.l."));
    EXPECT_EQ(aiuti->decodifiche.last(), QStringLiteral("Aziende:01"));
}

}  // namespace
