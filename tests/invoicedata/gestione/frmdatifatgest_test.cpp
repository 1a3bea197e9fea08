#include "AmbienteDatiFat.h"

#include "support/Clic.h"
#include "support/Motori.h"

#include "common/form/CodiciTasti.h"
#include "common/schermi/CasellaSpunta.h"
#include "common/schermi/SchermoLinee.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolBar>

namespace {

using frmDatiFatGestTest = AmbienteDatiFat;

QAction* Azione(frmDatiFatGest& f, const char* chiave) {
    for (QAction* a : f.tolComPag()->actions())
        if (a->objectName() == QLatin1String(chiave)) return a;
    return nullptr;
}

TEST_F(frmDatiFatGestTest, RicercaMostraICampiIlContoInTreColonneEILeLinee) {
    Testata({.righe = 2});
    frmDatiFatGest& f = Carica();
    EXPECT_EQ(f.txt[20]->text(), "");
    Cerca({});
    ASSERT_EQ(f.Pagina().LeggiStato(), ComPag::Mostrata) << dialoghi->testi().join(" | ").toStdString();
    EXPECT_EQ(f.Pagina().LeggiCampi().size(), 17);
    EXPECT_EQ(f.txt[80]->text(), "04-01-000012");
    EXPECT_EQ(f.Lab[80]->text(), "Bianchi S.p.A.");
    EXPECT_EQ(f.Lab[90]->text(), "Fattura");
    EXPECT_EQ(f.txt[100]->text(), "08/01/2018");
    EXPECT_EQ(f.txt[130]->text(), "1.220,00");
    EXPECT_TRUE(f.OptTipoFat[0]->isChecked());
    EXPECT_TRUE(f.OptStato[0]->isChecked());
    EXPECT_EQ(f.Check[140]->checkState(), Qt::Unchecked);
    EXPECT_TRUE(f.txt[150]->isReadOnly());
    EXPECT_FALSE(Azione(f, "Ripristina")->isEnabled()) << "a record not sent has nothing to restore";
    EXPECT_TRUE(Azione(f, "Dettaglio")->isEnabled());

    const ModelloGriglia& g = f.ModelloDett();
    ASSERT_EQ(g.rowCount(), 2);
    EXPECT_EQ(g.Colonne().first(), "Aliquota");
    EXPECT_TRUE(f.dbgDett->isColumnHidden(g.IndiceColonna("NumDet")));
    EXPECT_EQ(g.Larghezza(g.IndiceColonna("ImponibileImporto")), 1800);
    EXPECT_EQ(g.TestoCella(0, g.IndiceColonna("Imposta")), "220,00");

    // The account typed without separators goes back into its three columns.
    f.txt_GotFocus(80);
    EXPECT_EQ(f.txt[80]->text(), "0401000012");
    f.txt[80]->setText("0502000033");
    f.txt_LostFocus(80);
    EXPECT_EQ(f.txt[80]->text(), "05-02-000033");
    f.Check[140]->click();
    EXPECT_EQ(f.txt[140]->text(), "S");
    f.ButtonComando("Salva");
    EXPECT_EQ(Valori("SELECT GruppoPartita, MastroPartita, ContoPartita, BollaDoganale, ImportoTotale FROM DatiFatTest"),
              "05 02 000033 S 1220");
}

TEST_F(frmDatiFatGestTest, NumeroComunicazioneEContoConTrattino) {
    frmDatiFatGest& f = Carica();
    f.txt[10]->setText("0");
    f.txt_GotFocus(10);
    EXPECT_EQ(f.txt[10]->text(), "") << "a number 0 is emptied on entry";
    const struct Caso {
        const char* anno;
        const char* numero;
        bool rosso;
    } casi[] = {{"2018", "0", false}, {"2018", "12", false}, {"2018", "13", true}, {"2018", "-1", true},
                {"2017", "3", true},  {"2017", "2", false},  {"2018", "3", false}};
    for (const Caso& c : casi) {
        SCOPED_TRACE(std::string(c.anno) + "/" + c.numero);
        f.labMessaggio->clear();
        ImpostaBackColor(f.txt[10], contesto->glColNormale);
        f.txt[20]->setText(c.anno);
        f.txt[10]->setText(c.numero);
        f.txt_LostFocus(10);
        EXPECT_EQ(Rosso(f.txt[10]), c.rosso);
        EXPECT_EQ(f.labMessaggio->text(), c.rosso ? "Valore non valido per numero comunicato" : "");
    }

    f.txt[80]->setText("04-01");
    f.Lab[80]->setText("vecchia");
    f.txt_LostFocus(80);
    EXPECT_TRUE(Rosso(f.txt[80]));
    EXPECT_EQ(aiuti->decodifiche.last(), "Conto:04-01") << "the account is still decoded";
    f.txt_GotFocus(80);
    EXPECT_FALSE(Rosso(f.txt[80])) << "entering the box again clears the mark";
}

// Texts about what the page held go with it: a corrected value's message, the
// descriptions of emptied boxes, the message of a search that found nothing.
TEST_F(frmDatiFatGestTest, NessunTestoRestaDopoCioCheLoHaCausato) {
    Testata({});
    frmDatiFatGest& f = Carica();
    auto digita = [&](int box, const char* testo) { DigitaSopra(f.txt[box], testo); };
    digita(20, "2018");
    digita(10, "13");
    QTest::keyClick(f.txt[10], Qt::Key_Tab);
    ASSERT_EQ(f.labMessaggio->text(), "Valore non valido per numero comunicato");
    digita(10, "1");
    QTest::keyClick(f.txt[10], Qt::Key_Tab);
    EXPECT_FALSE(Rosso(f.txt[10]));
    EXPECT_EQ(f.labMessaggio->text(), "") << "the value that caused it is corrected";

    Cerca({});
    ASSERT_EQ(f.Lab[80]->text(), "Bianchi S.p.A.");
    ASSERT_EQ(f.Lab[90]->text(), "Fattura");
    CliccaComando(f.tolComPag_, "Ricerca");
    ASSERT_EQ(f.Pagina().LeggiStato(), ComPag::Vuota);
    EXPECT_EQ(f.txt[80]->text() + f.txt[90]->text(), "");
    EXPECT_EQ(f.Lab[80]->text() + f.Lab[90]->text(), "") << "an emptied box describes nothing";

    digita(40, "99");
    CliccaComando(f.tolComPag_, "Ricerca");
    ASSERT_EQ(f.labMessaggio->text(), "Nessun dato trovato per la chiave indicata");
    digita(40, "0");
    CliccaComando(f.tolComPag_, "Ricerca");
    ASSERT_EQ(f.Pagina().LeggiStato(), ComPag::Nuova) << dialoghi->testi().join(" | ").toStdString();
    EXPECT_EQ(f.labMessaggio->text(), "") << "a new record is being entered";
}

TEST_F(frmDatiFatGestTest, SalvaChiedeLaDataSecondoIlTipo) {
    const struct Caso {
        const char* nome;
        const char* tipo;
        int svuota;
        QString messaggio;
    } casi[] = {
        {.nome = "received without registration date", .tipo = "R", .svuota = 100,
         .messaggio = "Data registrazione obbligatoria per documenti Ricevuti"},
        {.nome = "received without document date", .tipo = "R", .svuota = 110, .messaggio = ""},
        {.nome = "issued without document date", .tipo = "E", .svuota = 110,
         .messaggio = "Data documento obbligatoria per documenti Emessi"},
        {.nome = "issued without registration date", .tipo = "E", .svuota = 100, .messaggio = ""},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        fx.Esegui(fx.idAzienda, "DELETE FROM DatiFatTest; DELETE FROM DatiFatDett;");
        Testata({.tipo = c.tipo});
        frmDatiFatGest& f = Carica();
        Cerca({.tipo = c.tipo});
        dialoghi->mostrati.clear();
        f.txt[c.svuota]->clear();
        f.ButtonComando("Salva");
        EXPECT_EQ(dialoghi->testi().join(""), c.messaggio);
        const QString colonna = c.svuota == 100 ? "DataReg" : "DataDoc";
        EXPECT_EQ(Valori("SELECT COUNT(*) FROM DatiFatTest WHERE " + colonna + " IS NULL"), c.messaggio.isEmpty() ? "1" : "0");
        delete form.data();
    }
}

TEST_F(frmDatiFatGestTest, RicercheF2F5SecondoIlTipo) {
    frmDatiFatGest& f = Carica();
    const struct Caso {
        const char* nome;
        int box;
        const char* tipo;
        int tasto;
        const char* tabella;  // nullptr: no list
        int tastoPassato;
        const char* genere;   // "" none
        const char* filtro;
    } casi[] = {
        {.nome = "received, F2", .box = 80, .tipo = "R", .tasto = Tasto::F2, .tabella = "Conto", .tastoPassato = Tasto::F2, .genere = "2", .filtro = ""},
        {.nome = "issued, F5", .box = 80, .tipo = "E", .tasto = Tasto::F5, .tabella = "Conto", .tastoPassato = Tasto::F5, .genere = "3", .filtro = ""},
        {.nome = "no kind, F3", .box = 80, .tipo = "", .tasto = Tasto::F3, .tabella = "Conto", .tastoPassato = Tasto::F3, .genere = "3", .filtro = ""},
        {.nome = "no kind, F4 as F2 of suppliers", .box = 80, .tipo = "", .tasto = Tasto::F4, .tabella = "Conto", .tastoPassato = Tasto::F2, .genere = "2", .filtro = ""},
        {.nome = "no kind, F5 as F3 of suppliers", .box = 80, .tipo = "", .tasto = Tasto::F5, .tabella = "Conto", .tastoPassato = Tasto::F3, .genere = "2", .filtro = ""},
        {.nome = "document type", .box = 90, .tipo = "R", .tasto = Tasto::F2, .tabella = "Decodifiche", .tastoPassato = Tasto::F2, .genere = "", .filtro = "TipoTab = 'FETipDoc'"},
        {.nome = "F10 does nothing", .box = 80, .tipo = "E", .tasto = Tasto::F10, .tabella = nullptr},
        {.nome = "other box", .box = 120, .tipo = "E", .tasto = Tasto::F2, .tabella = nullptr},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        aiuti->chiamateLista.clear();
        f.txt[60]->setText(c.tipo);
        int tasto = c.tasto;
        f.txt_KeyUp(c.box, tasto, 0);
        if (!c.tabella) {
            EXPECT_TRUE(aiuti->chiamateLista.isEmpty());
            continue;
        }
        ASSERT_EQ(aiuti->chiamateLista.size(), 1);
        const auto& l = aiuti->chiamateLista.first();
        EXPECT_EQ(l.tabella, c.tabella);
        EXPECT_EQ(l.keyCode, c.tastoPassato);
        EXPECT_EQ(l.tipo ? l.tipo->testo() : QString(), c.genere);
        EXPECT_EQ(l.filtro, c.filtro);
    }
    aiuti->chiamateLista.clear();
    f.ComHlp[90]->click();
    ASSERT_EQ(aiuti->chiamateLista.size(), 1) << "the button acts as F2";
    EXPECT_EQ(aiuti->chiamateLista.first().keyCode, Tasto::F2);
}

TEST_F(frmDatiFatGestTest, SpecchiDeiGruppiDiOpzioni) {
    frmDatiFatGest& f = Carica();
    f.OptStato[2]->click();
    EXPECT_EQ(f.txt[70]->text(), "E") << "cancelled singly is \"E\", as the issued kind";
    f.OptTipoFat[1]->click();
    EXPECT_EQ(f.txt[60]->text(), "R");
    f.Opt_KeyDown(f.OptStato, 70, 46);
    EXPECT_FALSE(f.OptStato[2]->isChecked());
    EXPECT_EQ(f.txt[70]->text(), "");
    f.Check[140]->setCheckState(Qt::Checked);
    f.Check_KeyUp(140, 46);
    EXPECT_EQ(f.txt[140]->text(), "") << "grey leaves the mirror empty";
    EXPECT_EQ(f.ComandoProprio('X', 4), "Ripristina");
    EXPECT_EQ(f.ComandoProprio('E', 4), "Dettaglio");
}

TEST_F(frmDatiFatGestTest, UnaFatturaComunicataNonSiModificaNéSiCancella) {
    Testata({.numInv = 1, .progr = 1, .nomeFile = "DF001", .righe = 2});
    frmDatiFatGest& f = Carica();
    Cerca({.numInv = 1});
    EXPECT_TRUE(Azione(f, "Ripristina")->isEnabled());
    EXPECT_TRUE(f.txt[120]->isReadOnly());
    EXPECT_FALSE(f.Check[140]->isEnabled());
    f.txt[120]->setText("99");
    f.ButtonComando("Salva");
    EXPECT_EQ(dialoghi->testi().last(), "Non si possono modificare fatture già comunicate");
    dialoghi->risposte = {1};
    f.ButtonComando("Cancella");
    EXPECT_EQ(dialoghi->testi().last(), "Non si possono cancellare fatture già comunicate");
    EXPECT_EQ(Valori("SELECT NumDoc FROM DatiFatTest"), "12/A");
    EXPECT_EQ(Valori("SELECT COUNT(*) FROM DatiFatDett"), "2");

    f.txt[120]->setText("12/A");
    f.ButtonComando("Dettaglio");
    ASSERT_NE(f.LineeAperte(), nullptr);
    EXPECT_EQ(f.LineeAperte()->oiAbilRW(), 0) << "the lines of a sent record are read-only";
    f.LineeAperte()->ChiudiFrm();
    EXPECT_TRUE(f.isEnabled());
}

TEST_F(frmDatiFatGestTest, CancellaUnaFatturaNonComunicataConLeSueLinee) {
    Testata({.righe = 2});
    Testata({.numReg = 11});
    frmDatiFatGest& f = Carica();
    Cerca({});
    dialoghi->risposte = {1};
    f.ButtonComando("Cancella");
    EXPECT_EQ(Valori("SELECT NumReg FROM DatiFatTest"), "11");
    EXPECT_EQ(Valori("SELECT NumReg, NumDet FROM DatiFatDett"), "11 1");
}

TEST_F(frmDatiFatGestTest, RipristinaDallaPagina) {
    const TestataDF singola{.numReg = 20, .numCanc = 1, .stato = "E", .numInv = 1, .progr = 1, .nomeFile = "DF001"};
    const TestataDF inviata{.numReg = 40, .numInv = 2, .progr = 1, .nomeFile = "DF002"};
    const struct Caso {
        const char* nome;
        TestataDF mostrata;
        bool riestratta = false;
        const char* cambiataDopo = nullptr;  // SQL run after the record is shown
        QList<int> risposte;
        QStringList testi;
        const char* chiaveDopo;  // NumCanc, Stato, NumInv shown after
        const char* archivio;    // the row of that registration after
    } casi[] = {
        {.nome = "single cancellation restored and shown",
         .mostrata = singola, .risposte = {1, 1},
         .testi = {"Confermi il ripristino a non cancellato per questa registrazione",
                   "L'operazione che si sta eseguendo potrebbe non essere compatibile con l'invio dei dati: Proseguire"},
         .chiaveDopo = "0 N 1", .archivio = "0 N 1 DF001"},
        {.nome = "cancelled at the first question",
         .mostrata = singola, .risposte = {2},
         .testi = {"Confermi il ripristino a non cancellato per questa registrazione"},
         .chiaveDopo = "1 E 1", .archivio = "1 E 1 DF001"},
        {.nome = "cancelled at the second question",
         .mostrata = singola, .risposte = {1, 2},
         .testi = {"Confermi il ripristino a non cancellato per questa registrazione",
                   "L'operazione che si sta eseguendo potrebbe non essere compatibile con l'invio dei dati: Proseguire"},
         .chiaveDopo = "1 E 1", .archivio = "1 E 1 DF001"},
        {.nome = "extracted again: refused with its reason",
         .mostrata = singola, .riestratta = true, .risposte = {1, 1},
         .testi = {"Impossibile effettuare questa operazione perchè questa registrazione è già stata riestratta"},
         .chiaveDopo = "1 E 1", .archivio = "1 E 1 DF001"},
        {.nome = "record changed meanwhile: nothing restored, and said so",
         .mostrata = singola, .cambiataDopo = "UPDATE DatiFatTest SET NumInv = 1, NumCanc = 5", .risposte = {1, 1},
         .testi = {"Confermi il ripristino a non cancellato per questa registrazione",
                   "L'operazione che si sta eseguendo potrebbe non essere compatibile con l'invio dei dati: Proseguire",
                   "Nessun record ripristinato: i dati visualizzati non corrispondono più all'archivio",
                   "Nessun dato trovato per la chiave indicata"},
         .chiaveDopo = "1 E 1", .archivio = "5 E 1 DF001"},
        {.nome = "send restored and shown as not sent",
         .mostrata = inviata, .risposte = {1, 1},
         .testi = {"Confermi il ripristino a non inviato per tutte le registrazioni collegate con la corrente",
                   "L'operazione che si sta eseguendo potrebbe non essere compatibile con l'invio dei dati: Proseguire"},
         .chiaveDopo = "0 N 0", .archivio = "0 N 0 -"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        fx.Esegui(fx.idAzienda, "DELETE FROM DatiFatTest; DELETE FROM DatiFatDett;");
        Testata(c.mostrata);
        if (c.riestratta) Testata({.numCom = 2, .numReg = c.mostrata.numReg});
        frmDatiFatGest& f = Carica();
        Cerca(c.mostrata);
        ASSERT_EQ(f.Pagina().LeggiStato(), ComPag::Mostrata);
        if (c.cambiataDopo) fx.Esegui(fx.idAzienda, c.cambiataDopo);
        dialoghi->mostrati.clear();
        dialoghi->risposte = c.risposte;
        f.ButtonComando("Ripristina");
        EXPECT_EQ(dialoghi->testi(), c.testi);
        EXPECT_EQ(f.Pagina().LeggiStato(), ComPag::Mostrata);
        EXPECT_EQ(f.txt[50]->text() + " " + f.txt[70]->text() + " " + f.txt[150]->text(), c.chiaveDopo);
        EXPECT_EQ(Valori(QStringLiteral("SELECT NumCanc, Stato, NumInv, COALESCE(NomeFile, '-') FROM DatiFatTest"
                                        " WHERE NumCom = 1 AND NumReg = %1").arg(c.mostrata.numReg)),
                  c.archivio);
        delete form.data();
    }
}

TEST_F(frmDatiFatGestTest, RipristinaRifiutatoSuUnaPaginaNonSalvata) {
    Testata({.numInv = 1, .progr = 1, .nomeFile = "DF001"});
    frmDatiFatGest& f = Carica();
    dialoghi->risposte = {1, 1};
    f.Ripristina();  // no record shown: nothing saved to restore from
    EXPECT_EQ(dialoghi->testi(), QStringList{"Salvare i dati prima di effettuare questa operazione"});
    Cerca({.numInv = 1});
    f.txt[170]->setText("DF009");  // a change not saved
    dialoghi->mostrati.clear();
    dialoghi->risposte = {1, 1};
    f.ButtonComando("Ripristina");
    EXPECT_EQ(dialoghi->testi(), QStringList{"Salvare i dati prima di effettuare questa operazione"});
    EXPECT_EQ(Valori("SELECT NumInv, NomeFile FROM DatiFatTest"), "1 DF001");
}

TEST_F(frmDatiFatGestTest, RipristinaNonOffertoSenzaInvio) {
    Testata({});
    frmDatiFatGest& f = Carica();
    Cerca({});
    dialoghi->risposte = {1, 1};
    f.ButtonComando("Ripristina");
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
}

TEST_F(frmDatiFatGestTest, InizioFineDellaComunicazione) {
    Testata({.numCom = 1, .numReg = 10});
    Testata({.numCom = 2, .numReg = 20});
    Testata({.numCom = 2, .numReg = 21});
    Testata({.numCom = 3, .numReg = 30});
    frmDatiFatGest& f = Carica();
    f.txt[20]->clear();
    f.ComAnno_Click(0);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Scegliere l'anno"});
    EXPECT_EQ(f.focusWidget(), f.txt[20]);
    f.txt[20]->setText("2018");
    f.ComAnno_Click(0);
    EXPECT_EQ(dialoghi->testi().last(), "Scegliere il numero comunicazione");
    EXPECT_EQ(f.focusWidget(), f.txt[10]);
    EXPECT_EQ(f.Pagina().LeggiStato(), ComPag::Vuota);
    f.txt[10]->setText("2");
    f.ComAnno_Click(0);
    EXPECT_EQ(f.txt[40]->text(), "20");
    f.ComAnno_Click(1);
    EXPECT_EQ(f.txt[10]->text() + "/" + f.txt[40]->text(), "2/21") << "the last of the same communication";
    EXPECT_EQ(f.Pagina().Campo("NumCom")->oiKeyFisso, 0);
}

TEST_F(frmDatiFatGestTest, SiRegistraColNomeCheIlMenuUsa) {
    frmDatiFatGest& f = Carica();
    f.osKeySec = "K1";
    f.PassaA();
    EXPECT_EQ(menu->chiamate.last(), "RegistraForm|Gestione Comunicazione Dati Fatture|frmDatiFatGest|K1");
}

}  // namespace

namespace {

TEST_F(frmDatiFatGestTest, SiChiudeERilasciaTutto) {
    Testata({});
    frmDatiFatGest& f = Carica();
    Cerca({});
    f.ButtonComando("Lista");
    EXPECT_TRUE(f.Scarica());
    QApplication::processEvents();
    delete form.data();
    QApplication::processEvents();
}


using frmDatiFatGestMotori = SuMotori<AmbienteDatiFat>;

TEST_P(frmDatiFatGestMotori, AggiuntaDiUnaRegistrazioneConNumeroZero) {
    Testata({.numReg = 10});
    frmDatiFatGest& f = Carica();
    auto digita = [&](int box, const char* testo) { DigitaSopra(f.txt[box], testo); };
    digita(20, "2018");
    digita(10, "1");
    digita(30, "2018");
    digita(40, "0");
    QTest::mouseClick(f.OptTipoFat[1], Qt::LeftButton);
    CliccaComando(f.tolComPag_, "Ricerca");
    ASSERT_EQ(f.Pagina().LeggiStato(), ComPag::Nuova) << dialoghi->testi().join(" | ").toStdString();
    EXPECT_EQ(f.txt[40]->text(), "11") << "after the highest registration of the communication";
    EXPECT_EQ(f.txt[50]->text() + f.txt[60]->text() + f.txt[70]->text(), "0RN");
    EXPECT_TRUE(f.OptStato[0]->isChecked());
    for (int i : {80, 90}) {
        EXPECT_EQ(f.Lab[i]->text(), "");
        EXPECT_TRUE(f.Lab[i]->styleSheet().contains("0000ff")) << "blue";
    }
    EXPECT_EQ(f.ModelloDett().rowCount(), 0);

    CliccaComando(f.tolComPag_, "Salva");
    EXPECT_EQ(dialoghi->testi().value(0), "Data registrazione obbligatoria per documenti Ricevuti");
    EXPECT_EQ(Valori("SELECT COUNT(*) FROM DatiFatTest"), "1");
    digita(100, "08/02/2018");
    CliccaComando(f.tolComPag_, "Salva");
    EXPECT_EQ(Valori("SELECT NumReg, NumCanc, Tipo, Stato, DataReg, NumInv FROM DatiFatTest WHERE NumReg = 11"),
              "11 0 R N 08/02/2018 0");
    EXPECT_NE(f.LineeAperte(), nullptr) << "a new record opens its lines";
}

INSTANTIATE_TEST_SUITE_P(Motori, frmDatiFatGestMotori, ValoriMotori(), NomeMotore);

TEST_F(frmDatiFatGestTest, VariaChiaveRifiutatoSuUnaFatturaComunicata) {
    const TestataDF inviata{.numInv = 1, .progr = 1, .nomeFile = "DF001"};
    Testata(inviata);
    frmDatiFatGest& f = Carica();
    Cerca(inviata);
    CliccaComando(f.tolComPag_, "VarKey");
    EXPECT_EQ(dialoghi->testi().value(0), "Non si possono modificare fatture già comunicate");
    EXPECT_EQ(f.Pagina().LeggiStato(), ComPag::Mostrata);
    EXPECT_TRUE(f.txt[40]->isReadOnly());
}

}  // namespace
