#include "AmbienteGestione.h"

#include "common/schermi/CasellaSpunta.h"
#include "common/schermi/SchermoLinee.h"
#include "support/Clic.h"
#include "support/Motori.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <QToolBar>

namespace {

using frmLiqIvaTestTest = AmbienteGestione;

TEST_F(frmLiqIvaTestTest, RicercaMostraLaTestataLeSpunteEIModuli) {
    frmLiqIvaTest& f = Carica();
    Cerca("2018", "1");
    EXPECT_EQ(f.Pagina().LeggiStato(), ComPag::Mostrata);
    EXPECT_EQ(f.txt[30]->text(), "01234567897");
    EXPECT_EQ(f.Check[70]->checkState(), Qt::Checked) << "a stored \"s\" ticks the group box";
    EXPECT_EQ(f.Check[110]->checkState(), Qt::Unchecked);
    EXPECT_EQ(f.Check[150]->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(f.Check[160]->checkState(), Qt::PartiallyChecked) << "\"S\" is no value of the anomalies flag";
    EXPECT_EQ(f.txt[160]->text(), "S") << "showing a row does not rewrite its mirrors";
    EXPECT_EQ(f.cob[130]->currentIndex(), 2);
    QString testo;
    EXPECT_FALSE(f.Pagina().InVariazione(testo));

    const ModelloGriglia& g = f.ModelloDett();
    ASSERT_EQ(g.rowCount(), 2);
    EXPECT_EQ(g.Titolo(0), "Mod");
    EXPECT_EQ(g.Titolo(2), "Trim");
    EXPECT_EQ(g.Titolo(g.IndiceColonna("VP14/1-ImpDaVers")), "Impo.Vers");
    EXPECT_EQ(g.TestoCella(0, g.IndiceColonna("VP14/1-ImpDaVers")), "1.234,56");
    EXPECT_EQ(g.Larghezza(g.IndiceColonna("VP2-TotOpAtt")), 1800);
}

TEST_F(frmLiqIvaTestTest, NumeroZeroProponeIlDichiaranteESalvandoApreIModuli) {
    frmLiqIvaTest& f = Carica();
    f.txt[20]->clear();
    f.txt[10]->setText("0");
    f.ButtonComando("Ricerca");
    EXPECT_EQ(f.Pagina().LeggiStato(), ComPag::Nuova);
    EXPECT_EQ(f.txt[20]->text(), "2017") << "working date in March: the year before";
    EXPECT_EQ(f.txt[10]->text(), "1");
    EXPECT_EQ(f.txt[30]->text(), "01234567897");
    EXPECT_EQ(f.txt[80]->text(), "RSSGPP65B12F205H");
    EXPECT_EQ(f.txt[160]->text(), "0");
    EXPECT_EQ(f.Check[160]->checkState(), Qt::Unchecked);
    EXPECT_EQ(f.ModelloDett().rowCount(), 0);

    QApplication::processEvents();  // the command's deferred focus step
    f.Check[160]->click();
    EXPECT_EQ(f.txt[160]->text(), "1");
    f.cob[130]->setCurrentIndex(2);
    f.Cob_Click(130);
    EXPECT_EQ(f.txt[130]->text(), "2");
    f.ButtonComando("Salva");
    EXPECT_EQ(Valori("SELECT Anno, NumCom, FlagConferma, ImpegnoPresentazione, CFDichiarante FROM LiqIvaTest WHERE Anno = 2017"),
              "2017 1 1 2 RSSGPP65B12F205H");
    ASSERT_NE(f.LineeAperte(), nullptr) << "storing a new header opens its modules at once";
    EXPECT_FALSE(f.isEnabled());
    EXPECT_EQ(f.oiInDett, 1);
    f.LineeAperte()->ChiudiFrm();
    EXPECT_TRUE(f.isEnabled());
    EXPECT_EQ(f.oiInDett, -1);
}

TEST_F(frmLiqIvaTestTest, CancellaChiedePrimaDiToccareIModuli) {
    frmLiqIvaTest& f = Carica();
    Cerca("2018", "1");
    dialoghi->risposte = {2};
    f.ButtonComando("Cancella");
    EXPECT_EQ(Valori("SELECT COUNT(*) FROM LiqIvaDett WHERE NumCom = 1"), "2");
    dialoghi->risposte = {1};
    f.ButtonComando("Cancella");
    EXPECT_EQ(Valori("SELECT COUNT(*) FROM LiqIvaDett WHERE NumCom = 1"), "0");
    EXPECT_EQ(Valori("SELECT COUNT(*) FROM LiqIvaTest"), "1");
    EXPECT_EQ(Valori("SELECT COUNT(*) FROM LiqIvaDett"), "1") << "the other communication keeps its module";
    EXPECT_EQ(f.ModelloDett().rowCount(), 0);
}

TEST_F(frmLiqIvaTestTest, SalvaRifiutatoFinchéUnCampoÈRosso) {
    frmLiqIvaTest& f = Carica();
    Cerca("2018", "1");
    const struct Caso {
        const char* nome;
        int box;
        const char* testo;
        QString messaggio;
    } casi[] = {
        {.nome = "last month 13", .box = 60, .testo = "13", .messaggio = "Campo ultimo mese: inserire valore tra 1 e 12"},
        {.nome = "last month -1", .box = 60, .testo = "-1", .messaggio = "Campo ultimo mese: inserire valore tra 1 e 12"},
        {.nome = "VAT number refused with No", .box = 40, .testo = "12345678901", .messaggio = "Partita Iva Errata. La vuoi confermare?"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        dialoghi->risposte = {2};
        f.txt[c.box]->setFocus();
        f.txt[c.box]->setText(c.testo);
        f.txt_LostFocus(c.box);
        EXPECT_TRUE(Rosso(f.txt[c.box]));
        EXPECT_EQ(f.labMessaggio->text(), c.messaggio);
        f.txt[20]->setFocus();
        f.ButtonComando("Salva");
        EXPECT_EQ(f.focusWidget(), f.txt[c.box]);
        EXPECT_EQ(Valori("SELECT UltimoMese, PartitaIva FROM LiqIvaTest WHERE Anno = 2018 AND NumCom = 1"), " 01234567897");
        f.txt[c.box]->setText(c.box == 60 ? "" : "01234567897");
        f.txt_LostFocus(c.box);
        EXPECT_FALSE(Rosso(f.txt[c.box]));
    }
    f.txt[60]->setText("0");
    f.txt_LostFocus(60);
    EXPECT_FALSE(Rosso(f.txt[60])) << "0 passes the last month";
    f.ButtonComando("Salva");
    EXPECT_EQ(Valori("SELECT UltimoMese FROM LiqIvaTest WHERE Anno = 2018 AND NumCom = 1"), "0");
}

TEST_F(frmLiqIvaTestTest, CodiciFiscaliMaiuscoliEDomandaSeErrati) {
    frmLiqIvaTest& f = Carica();
    Cerca("2018", "1");
    const struct Caso {
        const char* nome;
        int box;
        const char* testo;
        int risposta;
        QString atteso;
        QString domanda;
        bool rosso;
    } casi[] = {
        {.nome = "11 digits refused, Sì", .box = 30, .testo = "12345678901", .risposta = 1, .atteso = "12345678901",
         .domanda = "Codice fiscale (Partita Iva) Errato. Lo vuoi confermare?", .rosso = false},
        {.nome = "16 characters refused, No", .box = 80, .testo = "rssgpp65b12f205x", .risposta = 2,
         .atteso = "RSSGPP65B12F205X", .domanda = "Codice Fiscale Errato.  Lo vuoi confermare?", .rosso = true},
        {.nome = "good code in lower case", .box = 120, .testo = "rssgpp65b12f205h", .risposta = 0,
         .atteso = "RSSGPP65B12F205H", .domanda = "", .rosso = false},
        {.nome = "empty", .box = 30, .testo = "", .risposta = 0, .atteso = "", .domanda = "", .rosso = false},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        dialoghi->mostrati.clear();
        dialoghi->risposte = {c.risposta};
        f.txt[c.box]->setText(c.testo);
        f.txt_LostFocus(c.box);
        EXPECT_EQ(f.txt[c.box]->text(), c.atteso);
        EXPECT_EQ(dialoghi->testi().join(""), c.domanda);
        EXPECT_EQ(Rosso(f.txt[c.box]), c.rosso);
    }
}

TEST_F(frmLiqIvaTestTest, NumeroComunicazioneFuoriIntervallo) {
    frmLiqIvaTest& f = Carica();
    for (const char* n : {"5", "4", "0"}) {
        SCOPED_TRACE(n);
        f.txt[10]->setText(n);
        ImpostaBackColor(f.txt[10], contesto->glColNormale);
        f.txt_LostFocus(10);
        EXPECT_EQ(Rosso(f.txt[10]), QString(n) == "5");
        EXPECT_EQ(f.labMessaggio->text(), QString(n) == "5" ? "Valore non valido per numero comunicato" : "")
            << "a corrected value takes its message away";
    }
}

TEST_F(frmLiqIvaTestTest, InizioFineAnnoConAnnoVuotoSpostaSoloIlFuoco) {
    frmLiqIvaTest& f = Carica();
    f.txt[20]->clear();
    f.txt[30]->setFocus();
    f.ComAnno_Click(1);
    EXPECT_EQ(f.focusWidget(), f.txt[20]);
    EXPECT_EQ(f.Pagina().LeggiStato(), ComPag::Vuota);
    f.txt[20]->setText("2018");
    f.ComAnno_Click(1);
    EXPECT_EQ(f.txt[10]->text(), "2");
    EXPECT_EQ(f.Pagina().Campo("Anno")->oiKeyFisso, 0);
}

TEST_F(frmLiqIvaTestTest, DoppioClicSullaRigaApreIModuliSuQuellaRiga) {
    frmLiqIvaTest& f = Carica();
    Cerca("2018", "1");
    f.dbgDett->setCurrentIndex(f.ModelloDett().index(1, 0));
    f.dbgDett_DblClick();
    ASSERT_NE(f.LineeAperte(), nullptr);
    EXPECT_EQ(f.olPosDett, 1) << "the row clicked, not the count of rows";
    f.LineeAperte()->timLinPag_Timer();
    EXPECT_EQ(f.LineeAperte()->txt[10]->text(), "2");
}

TEST_F(frmLiqIvaTestTest, ChiusuraConModificheChiede) {
    frmLiqIvaTest& f = Carica();
    Cerca("2018", "1");
    f.txt[90]->setText("2");
    dialoghi->risposte = {3};
    EXPECT_FALSE(f.Scarica());
    EXPECT_TRUE(f.Caricata());
    EXPECT_EQ(dialoghi->mostrati.last().bottoni, (QStringList{"&Sì", "&No", "&Annulla"}));
    dialoghi->risposte = {1};
    EXPECT_TRUE(f.Scarica());
    EXPECT_EQ(Valori("SELECT CodiceCaricaDichiarante FROM LiqIvaTest WHERE Anno = 2018 AND NumCom = 1"), "2");
}

TEST_F(frmLiqIvaTestTest, SolaLetturaNonSalva) {
    frmLiqIvaTest& f = Carica("/RO");
    Cerca("2018", "1");
    EXPECT_TRUE(f.txt[90]->isReadOnly());
    EXPECT_FALSE(f.Check[70]->isEnabled());
    EXPECT_FALSE(f.cob[130]->isEnabled());
    f.ButtonComando("Salva");
    EXPECT_EQ(dialoghi->mostrati.last().testo, "Gestione in sola lettura: modifica non consentita");
}

TEST_F(frmLiqIvaTestTest, DettaglioConModificheNonSalvabiliNonApre) {
    frmLiqIvaTest& f = Carica();
    Cerca("2018", "1");
    f.txt[60]->setText("13");
    f.txt_LostFocus(60);
    f.txt[20]->setFocus();
    dialoghi->mostrati.clear();
    f.ButtonComando("Dettaglio");
    EXPECT_EQ(f.LineeAperte(), nullptr);
    EXPECT_EQ(dialoghi->testi().last(), "Dati in variazione\nImpossibile entrare nella gestione dettagli");
    EXPECT_EQ(f.txt[60]->text(), "13") << "the header keeps the changes";
}

TEST_F(frmLiqIvaTestTest, CancEDestroIngrigisconoSoloAPaginaVuota) {
    frmLiqIvaTest& f = Carica();
    f.Check[110]->setCheckState(Qt::Checked);
    f.Check_KeyUp(110, 46);
    EXPECT_EQ(f.Check[110]->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(f.txt[110]->text(), "");
    Cerca("2018", "1");
    f.Check_MouseDown(70, 2);
    EXPECT_EQ(f.Check[70]->checkState(), Qt::Checked) << "a row on the page keeps its flags";
}



// The header driven through its toolbar and its boxes, as the user does.
class frmLiqIvaTestBarra : public AmbienteGestione {
public:
    using AmbienteGestione::AmbienteGestione;
    void Digita(QLineEdit* box, const QString& testo) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, testo);
    }
    void Clicca(const QString& chiave) { CliccaComando(form->tolComPag_, chiave); }
};

using frmLiqIvaTestBarraMotori = SuMotori<frmLiqIvaTestBarra>;

TEST_P(frmLiqIvaTestBarraMotori, DettaglioSoloConUnaTestataEQuintaComunicazioneRifiutata) {
    Testata(2018, 3, "N", "0");
    Testata(2018, 4, "N", "0");
    frmLiqIvaTest& f = Carica();
    EXPECT_FALSE(AzioneBarra(f.tolComPag_, "Dettaglio")->isEnabled()) << "nothing shown after loading";
    Digita(f.txt[20], "2018");
    Digita(f.txt[10], "0");
    Clicca("Ricerca");
    EXPECT_EQ(dialoghi->testi().value(0), "Impossibile inserire un nuovo record: il campo Numero Riferimento non può superare 4");
    EXPECT_EQ(f.Pagina().LeggiStato(), ComPag::Vuota);
    EXPECT_FALSE(AzioneBarra(f.tolComPag_, "Dettaglio")->isEnabled());
    EXPECT_EQ(Valori("SELECT COUNT(*) FROM LiqIvaTest WHERE Anno = 2018"), "4");

    Digita(f.txt[20], "2019");
    Digita(f.txt[10], "0");
    Clicca("Ricerca");
    EXPECT_EQ(f.Pagina().LeggiStato(), ComPag::Nuova);
    EXPECT_EQ(f.txt[10]->text(), "1");
    EXPECT_TRUE(AzioneBarra(f.tolComPag_, "Dettaglio")->isEnabled());
}

TEST_P(frmLiqIvaTestBarraMotori, RicercaConLaChiaveInParteUsaLaParteDigitata) {
    Testata(2017, 3, "N", "0");
    frmLiqIvaTest& f = Carica();
    Digita(f.txt[20], "2018");
    f.txt[10]->clear();
    Clicca("Ricerca");
    EXPECT_EQ(f.Pagina().LeggiStato(), ComPag::Mostrata);
    EXPECT_EQ(f.txt[20]->text() + "/" + f.txt[10]->text(), "2018/1") << "not the first row of the table (2017/3)";

    Clicca("Ricerca");  // a new search
    Digita(f.txt[20], "2020");
    f.txt[10]->clear();
    Clicca("Ricerca");
    EXPECT_EQ(f.Pagina().LeggiStato(), ComPag::Vuota);
    EXPECT_EQ(dialoghi->testi().value(0), "Nessun dato trovato per la chiave indicata");
}

TEST_P(frmLiqIvaTestBarraMotori, VariaCampiChiavePortaConSeIModuli) {
    frmLiqIvaTest& f = Carica();
    ASSERT_TRUE(AzioneBarra(f.tolComPag_, "VarKey")->isVisible());
    EXPECT_FALSE(AzioneBarra(f.tolComPag_, "VarKey")->isEnabled()) << "no row to re-key";
    Cerca("2018", "2");
    EXPECT_TRUE(f.txt[10]->isReadOnly());
    Clicca("VarKey");
    EXPECT_EQ(f.Pagina().LeggiStato(), ComPag::VariaChiave);
    EXPECT_FALSE(f.txt[10]->isReadOnly());
    EXPECT_EQ(f.focusWidget(), f.txt[20]);
    EXPECT_TRUE(AzioneBarra(f.tolComPag_, "Dettaglio")->isEnabled());

    // Onto a key that exists: refused, nothing moves.
    Digita(f.txt[10], "1");
    Clicca("Salva");
    EXPECT_EQ(Valori("SELECT NumCom FROM LiqIvaTest ORDER BY NumCom"), "1 2");
    EXPECT_EQ(Valori("SELECT NumCom, Modulo FROM LiqIvaDett ORDER BY NumCom, Modulo"), "1 1 1 2 2 1");

    dialoghi->mostrati.clear();
    Digita(f.txt[10], "3");
    Clicca("Salva");
    EXPECT_TRUE(dialoghi->testi().isEmpty()) << dialoghi->testi().join(" | ").toStdString();
    EXPECT_EQ(Valori("SELECT NumCom FROM LiqIvaTest ORDER BY NumCom"), "1 3");
    EXPECT_EQ(Valori("SELECT NumCom, Modulo FROM LiqIvaDett ORDER BY NumCom, Modulo"), "1 1 1 2 3 1");
    EXPECT_EQ(f.Pagina().LeggiStato(), ComPag::Mostrata);
    EXPECT_TRUE(f.txt[10]->isReadOnly());
    EXPECT_EQ(f.ModelloDett().rowCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Motori, frmLiqIvaTestBarraMotori, ValoriMotori(), NomeMotore);

}  // namespace
