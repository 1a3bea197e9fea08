#include "components/pages/ComPag.h"

#include "Ospiti.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/pages/CampiTabella.h"
#include "components/pages/ModelloGriglia.h"
#include "support/AppTest.h"
#include "support/Fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A header page over LiqIvaTest with its detail rows in LiqIvaDett: year and
// number as key, the tax code and the last month as data.
class ComPagTest : public ::testing::Test {
public:
    void SetUp() override {
        AppTest();
        for (auto* b : {&anno, &numero, &codice, &mese}) *b = new QLineEdit(&form);
        pagina.ImpTabella("LiqIvaTest");
        for (int c : {16, 5, 8, 1, 3}) pagina.AttivaPers(c, true);
        pagina.AggiungiCampo("Anno", anno, {.descrizione = "Anno Riferimento", .parteChiave = 1, .proposto = Valore(2017), .lunghezza = 4});
        pagina.AggiungiCampo("NumCom", numero, {.descrizione = "Numero Riferimento", .parteChiave = 1, .lunghezza = 1});
        pagina.AggiungiCampo("CodiceFiscale", codice, {.descrizione = "Codice Fiscale", .proposto = Valore("RSSMRA80A01H501U")});
        pagina.AggiungiCampo("UltimoMese", mese, {.descrizione = "Ultimo Mese", .maschera = "0"});
        pagina.ImpLista(&ospite, fx.gestDb.get(), fx.idAzienda, nullptr);
        Testata(2018, 1, "AAA");
        Testata(2018, 2, "BBB");
        Testata(2019, 1, "CCC");
        Modulo(2018, 1, 1);
        Modulo(2018, 1, 2);
        ospite.reg.chiamate.clear();
    }
    void Testata(int a, int n, const char* cf) {
        fx.Inserisci(fx.idAzienda, "LiqIvaTest", {{"Anno", a}, {"NumCom", n}, {"CodiceFiscale", cf}, {"UltimoMese", 12}});
    }
    void Modulo(int a, int n, int m) {
        fx.Inserisci(fx.idAzienda, "LiqIvaDett", {{"Anno", a}, {"NumCom", n}, {"Modulo", m}});
    }
    long Conta(const QString& sql) {
        ModelloGriglia m;
        m.Carica(*fx.gestDb, fx.idAzienda, sql);
        return static_cast<long>(m.Cella(0, 0).numero());
    }
    QString Comando(const QString& k) {
        QString r;
        pagina.LanciaComando(k, r);
        return r;
    }
    void Cerca(const QString& a, const QString& n) {
        anno->setText(a);
        numero->setText(n);
        Comando("Ricerca");
    }
    // Deleting the details as the settlement header does in its before-hook.
    void CancellaDettagliNelHook() {
        ospite.prima[16] = [this] {
            fx.gestDb->EseguiSql(fx.idAzienda, "DELETE FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1");
            return 0;
        };
    }

    bool app_ = (AppTest(), true);
    FixtureDb fx;
    std::shared_ptr<Contesto> contesto = fx.InstallaContesto();
    QWidget form;
    QLineEdit *anno, *numero, *codice, *mese;
    OspitePaginaReg ospite;
    ComPag pagina;
};

TEST_F(ComPagTest, RicercaPerChiaveMostraLaRigaEChiamaIHook) {
    Cerca("2018", "2");
    EXPECT_EQ(pagina.LeggiStato(), ComPag::Mostrata);
    EXPECT_EQ(codice->text(), "BBB");
    EXPECT_EQ(mese->text(), "12");
    EXPECT_EQ(ospite.reg.chiamate, (QStringList{"Dop(1:[1])", "Dop(5)"}));
    EXPECT_TRUE(anno->isReadOnly()) << "the key of a stored row is not typed over";
    EXPECT_FALSE(codice->isReadOnly());
    EXPECT_EQ(pagina.oiFlagOpe(), 1);
}

TEST_F(ComPagTest, ChiaveInesistenteODigitataMaleNonTrovaNulla) {
    const struct Caso {
        const char* nome;
        const char* anno;
        const char* numero;
        QString messaggio;
    } casi[] = {
        {.nome = "inesistente", .anno = "2020", .numero = "3", .messaggio = "Nessun dato trovato per la chiave indicata"},
        {.nome = "non numero", .anno = "20x8", .numero = "1", .messaggio = kMsgNumeroNonValido},
        {.nome = "apostrofo", .anno = "2'18", .numero = "1", .messaggio = kMsgNumeroNonValido},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        Cerca(c.anno, c.numero);
        EXPECT_EQ(pagina.LeggiStato(), ComPag::Vuota);
        EXPECT_EQ(ospite.messaggio, c.messaggio);
        EXPECT_EQ(codice->text(), "");
    }
}

TEST_F(ComPagTest, NumeroZeroApreUnNuovoRecordNumeratoDopoIlPiuAlto) {
    anno->clear();
    Cerca("", "0");
    EXPECT_EQ(pagina.LeggiStato(), ComPag::Nuova);
    EXPECT_EQ(anno->text(), "2017") << "a blank year takes the proposed one";
    EXPECT_EQ(numero->text(), "1");
    EXPECT_EQ(codice->text(), "RSSMRA80A01H501U");
    EXPECT_EQ(ospite.reg.chiamate, (QStringList{"Dop(1:[2])", "Dop(8)"}));

    Comando("Annulla");
    Cerca("2018", "0");
    EXPECT_EQ(numero->text(), "3");
    ospite.reg.chiamate.clear();
    EXPECT_EQ(Comando("Salva"), "");
    EXPECT_EQ(pagina.LeggiStato(), ComPag::Mostrata);
    EXPECT_EQ(Conta("SELECT COUNT(*) FROM LiqIvaTest WHERE Anno = 2018 AND NumCom = 3 AND CodiceFiscale = 'RSSMRA80A01H501U'"), 1);
    EXPECT_EQ(ospite.reg.chiamate, (QStringList{"Pri(3)", "Dop(1:[1])", "Dop(3)"}));
}

TEST_F(ComPagTest, SalvaAggiornaERifiutaFinchéUnCampoÈRosso) {
    form.show();
    Cerca("2018", "1");
    codice->setText("O'NEIL");
    ColoraCampo(mese, 255);
    EXPECT_NE(Comando("Salva"), "");
    EXPECT_EQ(Conta("SELECT COUNT(*) FROM LiqIvaTest WHERE CodiceFiscale = 'O''NEIL'"), 0);
    EXPECT_EQ(form.focusWidget(), mese);
    EXPECT_TRUE(ospite.reg.chiamate.last().startsWith("Domanda(Impossibile salvare")) << ospite.reg.chiamate.join(" | ").toStdString();

    ColoraCampo(mese, 0x80000005);
    mese->setText("13x");
    EXPECT_NE(Comando("Salva"), "") << "a text its column cannot hold is refused as well";
    mese->setText("11");
    EXPECT_NE(Comando("Salva"), "") << "still red until the box is checked again";
    EXPECT_TRUE(pagina.ControllaCampo(pagina.CampoDiControllo(mese)));
    EXPECT_EQ(Comando("Salva"), "");
    EXPECT_EQ(Conta("SELECT COUNT(*) FROM LiqIvaTest WHERE Anno = 2018 AND NumCom = 1 AND CodiceFiscale = 'O''NEIL' AND UltimoMese = 11"), 1);
}

TEST_F(ComPagTest, IlHookPrimaDelSalvataggioPuòRifiutarlo) {
    Cerca("2018", "1");
    codice->setText("ZZZ");
    ospite.prima[3] = [] { return 1; };
    EXPECT_NE(Comando("Salva"), "");
    EXPECT_EQ(Conta("SELECT COUNT(*) FROM LiqIvaTest WHERE CodiceFiscale = 'ZZZ'"), 0);
}

TEST_F(ComPagTest, CancellaChiedePrimaEPoiCancellaDettagliETestataInsieme) {
    CancellaDettagliNelHook();
    Cerca("2018", "1");
    ospite.reg.chiamate.clear();
    ospite.reg.risposte = {2};  // "No"
    Comando("Cancella");
    EXPECT_EQ(ospite.reg.chiamate, (QStringList{"Domanda(Confermi la cancellazione dei dati visualizzati?)"}))
        << "nothing runs before the answer";
    EXPECT_EQ(Conta("SELECT COUNT(*) FROM LiqIvaDett"), 2);

    ospite.reg.risposte = {1};
    Comando("Cancella");
    EXPECT_EQ(Conta("SELECT COUNT(*) FROM LiqIvaDett"), 0);
    EXPECT_EQ(Conta("SELECT COUNT(*) FROM LiqIvaTest WHERE Anno = 2018 AND NumCom = 1"), 0);
    EXPECT_EQ(pagina.LeggiStato(), ComPag::Vuota);
}

TEST_F(ComPagTest, UnaCancellazioneFallitaRipristinaAncheIDettagli) {
    const struct Caso {
        const char* nome;
        std::function<int(ComPagTest&)> hook;
        bool errore;
    } casi[] = {
        {.nome = "hook refuses after deleting", .hook = [](ComPagTest& t) {
             t.fx.gestDb->EseguiSql(t.fx.idAzienda, "DELETE FROM LiqIvaDett");
             return 1;
         }, .errore = false},
        {.nome = "header already gone", .hook = [](ComPagTest& t) {
             t.fx.gestDb->EseguiSql(t.fx.idAzienda, "DELETE FROM LiqIvaDett");
             t.fx.gestDb->EseguiSql(t.fx.idAzienda, "DELETE FROM LiqIvaTest WHERE Anno = 2018 AND NumCom = 1");
             return 0;
         }, .errore = true},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        ospite.prima[16] = [&] { return c.hook(*this); };
        ASSERT_TRUE(pagina.MostraChiave({Valore(2018), Valore(1)}));
        ospite.reg.risposte = {1};
        if (c.errore) EXPECT_THROW(Comando("Cancella"), ErroreRun);
        else EXPECT_NE(Comando("Cancella"), "");
        EXPECT_EQ(Conta("SELECT COUNT(*) FROM LiqIvaDett"), 2);
        EXPECT_EQ(Conta("SELECT COUNT(*) FROM LiqIvaTest WHERE Anno = 2018 AND NumCom = 1"), 1);
    }
}

TEST_F(ComPagTest, NavigazioneInOrdineDiChiaveConLAnnoFisso) {
    // The end of the table is said until another row is shown.
    const struct Passo {
        const char* comando;
        const char* chiave;
        const char* messaggio;
    } passi[] = {{"Inizio", "2018/1", ""},        {"Successivo", "2018/2", ""}, {"Successivo", "2019/1", ""},
                 {"Successivo", "2019/1", "Fine archivio"}, {"Precedente", "2018/2", ""}, {"Fine", "2019/1", ""}};
    for (const Passo& p : passi) {
        SCOPED_TRACE(p.comando);
        Comando(p.comando);
        EXPECT_EQ(anno->text() + "/" + numero->text(), p.chiave);
        EXPECT_EQ(ospite.messaggio.toStdString(), p.messaggio);
    }

    ASSERT_TRUE(pagina.MostraChiave({Valore(2018), Valore(1)}));
    pagina.Campo("Anno")->oiKeyFisso = 2;
    Comando("Fine");
    EXPECT_EQ(anno->text() + "/" + numero->text(), "2018/2") << "the year stays fixed";
}

TEST_F(ComPagTest, DatiVariatiChiedonoPrimaDiLasciareLaRiga) {
    const struct Caso {
        const char* nome;
        int risposta;
        bool chiude;
        const char* salvato;
    } casi[] = {
        {.nome = "Annulla keeps the screen", .risposta = 3, .chiude = false, .salvato = "AAA"},
        {.nome = "No drops the change", .risposta = 2, .chiude = true, .salvato = "AAA"},
        {.nome = "Sì saves", .risposta = 1, .chiude = true, .salvato = "NEW"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        fx.gestDb->EseguiSql(fx.idAzienda, "UPDATE LiqIvaTest SET CodiceFiscale = 'AAA' WHERE Anno = 2018 AND NumCom = 1");
        ASSERT_TRUE(pagina.MostraChiave({Valore(2018), Valore(1)}));
        codice->setText("NEW");
        QString testo;
        EXPECT_TRUE(pagina.InVariazione(testo));
        ospite.reg.risposte = {c.risposta};
        EXPECT_EQ(pagina.PuoChiudere(), c.chiude);
        ModelloGriglia m;
        m.Carica(*fx.gestDb, fx.idAzienda, "SELECT CodiceFiscale FROM LiqIvaTest WHERE Anno = 2018 AND NumCom = 1");
        EXPECT_EQ(m.Cella(0, 0).testo(), c.salvato);
        Comando("Annulla");
    }
}

TEST_F(ComPagTest, InSolaLetturaNonSiScriveNulla) {
    pagina.ImpostaAbilRW(0);
    Cerca("2018", "1");
    codice->setText("ZZZ");
    EXPECT_TRUE(codice->isReadOnly());
    EXPECT_NE(Comando("Salva"), "");
    ospite.reg.risposte = {1};
    EXPECT_NE(Comando("Cancella"), "");
    EXPECT_EQ(Conta("SELECT COUNT(*) FROM LiqIvaTest WHERE CodiceFiscale = 'AAA'"), 1);
}

}  // namespace
