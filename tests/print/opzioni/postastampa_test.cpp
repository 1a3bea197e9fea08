// What the program hands the print component for the e-mail of a print.
#include "print/opzioni/PostaStampa.h"

#include "Ambiente.h"
#include "components/core/ErroreRun.h"
#include "components/stampa/Stampa.h"
#include "contesto/ImpostazioniIni.h"
#include "print/lavoro/LavoroStampa.h"
#include "print/opzioni/FrmSceltaStam.h"
#include "print/opzioni/PannelloPdfEmail.h"

#include <QLineEdit>

namespace {

class PostaStampaTest : public AmbienteStampa {
protected:
    Stampa st;
    std::function<void(FrmSceltaStam&)> mostraOriginale;

    void SetUp() override {
        AmbienteStampa::SetUp();
        mostraOriginale = FrmSceltaStam::MostraModale();
        st.ogOpzSta = std::make_shared<OpzSta>();
        st.ogOpzSta->ImpOpzione("EmailInvia", 12, true);
        ggStampaCorr() = &st;
        for (auto [n, v] : {std::pair{"EmailLogin", "studio"}, {"EmailPwd", "Segreta!42"},
                            {"EmailServerSMTP", "smtp.esempio.it"}, {"EmailTo", "cliente@esempio.it"},
                            {"EmailInd", "studio@esempio.it"}, {"EmailCentro", "Studio Bianchi"},
                            {"EmailTipoInvio", "C"}, {"EmailNumPorta", "587"}})
            menu->ImpostaValore(n, QString::fromUtf8(v));
    }
    void TearDown() override {
        FrmSceltaStam::MostraModale() = mostraOriginale;
        if (FrmSceltaStam::Caricata()) delete &FrmSceltaStam::Istanza();
        ggStampaCorr() = nullptr;
        AmbienteStampa::TearDown();
    }
    QString opzione(const char* n) const { return st.ogOpzSta->LeggiOpzione(QString::fromLatin1(n)).testo(); }
};

TEST_F(PostaStampaTest, MissingDataRaiseTheErrorWithoutThePassword) {
    struct Caso {
        const char* nome;
        const char* login;
        const char* a;
        const char* temp;
        bool errore;
        const char* destinatario;  // the option "EmailTo" afterwards
    } casi[] = {
        {.nome = "all there", .login = "studio", .a = "cliente@esempio.it", .temp = "", .errore = false,
         .destinatario = "cliente@esempio.it"},
        {.nome = "this print's recipient wins", .login = "studio", .a = "", .temp = "altro@esempio.it", .errore = false,
         .destinatario = "altro@esempio.it"},
        {.nome = "no recipient at all", .login = "studio", .a = "", .temp = "", .errore = true, .destinatario = ""},
        {.nome = "no login", .login = "", .a = "cliente@esempio.it", .temp = "", .errore = true, .destinatario = ""},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        st.ogOpzSta = std::make_shared<OpzSta>();
        st.ogOpzSta->ImpOpzione("EmailInvia", 12, true);
        st.ogOpzSta->ImpOpzione("EmailToTemp", 12, QString::fromLatin1(k.temp));
        menu->ImpostaValore("EmailLogin", QString::fromLatin1(k.login));
        menu->ImpostaValore("EmailTo", QString::fromLatin1(k.a));
        try {
            PrepInvioEmail(QString());
            EXPECT_FALSE(k.errore);
        } catch (const ErroreRun& e) {
            EXPECT_TRUE(k.errore);
            EXPECT_EQ(e.numero(), -123);
            EXPECT_EQ(e.descrizione(), QStringLiteral("Mancano dati necessari per l'invio dell'email\n - Login: ") +
                                           k.login + " - pwd compilata: Sì - SMTP: smtp.esempio.it - Emailto: " + k.a +
                                           " - Ind.Temp: " + k.temp);
            EXPECT_FALSE(e.descrizione().contains("Segreta"));
        }
        EXPECT_EQ(opzione("EmailTo"), k.destinatario);
        EXPECT_EQ(opzione("EmailPwd").isEmpty(), k.errore);
    }
    // Not asked to send: nothing checked, nothing written.
    st.ogOpzSta = std::make_shared<OpzSta>();
    EXPECT_NO_THROW(PrepInvioEmail(QString()));
    EXPECT_EQ(opzione("EmailServerSMTP"), "");
}

TEST_F(PostaStampaTest, SenderCarriesItsNameUnlessSentBySendmailOrSee) {
    for (auto [tipo, atteso] : {std::pair{"S", "studio@esempio.it"}, {"E", "studio@esempio.it"},
                                {"C", "\"Studio Bianchi\" <studio@esempio.it>"}, {"", "\"Studio Bianchi\" <studio@esempio.it>"}}) {
        SCOPED_TRACE(tipo);
        menu->ImpostaValore("EmailTipoInvio", QString::fromLatin1(tipo));
        PrepInvioEmail(QString());
        EXPECT_EQ(opzione("EmailInd"), QString::fromLatin1(atteso));
        EXPECT_EQ(opzione("EmailServerSMTP"), "smtp.esempio.it");
        EXPECT_EQ(opzione("EmailNumPorta"), "587");
    }
}

TEST_F(PostaStampaTest, PlaceholdersOfSubjectAndBody) {
    st.ogOpzSta->ImpOpzione("StampaCaption", 12, QStringLiteral("Liquidazione IVA"));
    st.ogOpzSta->Sezione = QStringLiteral("COMIVA01");
    menu->ImpostaValore("descazie", QStringLiteral("Rossi S.r.l."));
    const QDateTime adesso(QDate(2018, 4, 16), QTime(9, 5));
    EXPECT_EQ(SostituisciSegnapostiEmail("§Titolo§ §DescAzie§ del §Data§ ore §Ora§ (§CodSta§)", true, adesso),
              "Liquidazione IVA Rossi S.r.l. del 16/04/2018 ore 09:05 (COMIVA01)");
    EXPECT_EQ(SostituisciSegnapostiEmail("§Ora§-§OraRid§ §DataRov§ §DataLong§", false, adesso),
              "§Ora§-0905 20180416 16/aprile/2018");
    // A text number outside 1 to 5: no subject and no body.
    menu->ImpostaValore("EmailNumTesto", "6");
    EXPECT_EQ(LeggiParEmail("EmailOggetto"), "");
    EXPECT_EQ(LeggiParEmail("EmailTesto"), "");
}

TEST_F(PostaStampaTest, LoginRequestConfirmedPreparesTheEmailAgain) {
    menu->ImpostaValore("EmailTipoNum", "");
    menu->ImpostaValore("EmailTo1", "cliente@esempio.it");
    FrmSceltaStam::MostraModale() = [](FrmSceltaStam& f) {
        f.txt(1015)->setText("Nuova!7");
        f.PicPdfEmail->ComPEOk_Click();
    };
    dialoghi->risposte = {1};
    EXPECT_TRUE(RichiestaLoginEmail(true, true));
    EXPECT_FALSE(FrmSceltaStam::Caricata());
    EXPECT_EQ(opzione("EmailPwd"), "Nuova!7");
    EXPECT_EQ(dialoghi->testi(), QStringList({"Login o password non valida per spedizione email"}));
}

}  // namespace
