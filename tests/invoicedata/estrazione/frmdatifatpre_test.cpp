// The invoice-data extraction form offscreen: proposals by era, the checks
// of year, number and dates as they are typed, the run with its progress,
// "&Interrompi" and the refused close, and the menu's form name.
#include "invoicedata/estrazione/FrmDatiFatPre.h"

#include "ContabilitaProva.h"
#include "common/form/FormComune.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "startup/Composizione.h"
#include "contesto/Contesto.h"
#include "startup/Ospite.h"
#include "support/AppTest.h"
#include "support/RegistroLog.h"

#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace contabilita;

TEST(FrmDatiFatPreProposta, PeriodoPrecedenteLaDataDiLavoro) {
    const struct {
        QDate data;
        const char* anno;
        const char* numero;
    } casi[] = {
        {{2020, 2, 15}, "2019", "12"}, {{2022, 2, 10}, "2021", "4"}, {{2021, 8, 20}, "2021", "2"},
        {{2020, 5, 2}, "2020", "1"},   {{2020, 12, 1}, "2020", "3"}, {{2019, 6, 3}, "2019", "5"},
        {{2019, 5, 1}, "2019", "4"},   {{2019, 3, 3}, "2018", "2"},  {{2019, 4, 30}, "2018", "2"},
        {{2018, 11, 15}, "2018", "2"}, {{2018, 5, 15}, "2018", "1"}, {{2018, 10, 31}, "2018", "1"},
        {{2017, 1, 10}, "2016", "2"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.data.toString().toStdString());
        QString anno, numero;
        FrmDatiFatPre::PropostaPeriodo(c.data, anno, numero);
        EXPECT_EQ(anno, c.anno);
        EXPECT_EQ(numero, c.numero);
    }
}

class FrmDatiFatPreTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppTest();
        contesto = fx.InstallaContesto();
        contesto->ggDialoghi = dialoghi;
        contesto->ggMenuClient = menu;
        contesto->gtDataLavoro = QDate(2018, 5, 15);
        Anagrafiche(fx);
    }
    void TearDown() override {
        if (form) delete form.data();
    }
    FrmDatiFatPre& Carica() {
        form = new FrmDatiFatPre;
        form->Carica();
        EXPECT_EQ(form->oiLoadOk, 1) << dialoghi->testi().join(" | ").toStdString();
        return *form;
    }
    bool Rosso(QWidget* w) const { return BackColor(w) == contesto->glColErrore; }
    // The user types into a field and leaves it.
    static void Scrivi(FrmDatiFatPre& f, int indice, const QString& testo) {
        f.txt_GotFocus(indice);
        f.txt[indice]->setText(testo);
        f.txt_LostFocus(indice);
    }

    FixtureDb fx;
    std::shared_ptr<Contesto> contesto;
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<MenuClientFinto> menu = std::make_shared<MenuClientFinto>();
    QPointer<FrmDatiFatPre> form;
};

// One proposal per era of period lengths, with the personal parameters.
TEST_F(FrmDatiFatPreTest, ProposteAlCaricamento) {
    const struct {
        QDate lavoro;
        const char *anno, *numero, *da, *a;
    } casi[] = {
        {{2018, 11, 15}, "2018", "2", "01/07/2018", "31/12/2018"},
        {{2019, 6, 3}, "2019", "5", "01/05/2019", "31/05/2019"},
        {{2020, 2, 15}, "2019", "12", "01/12/2019", "31/12/2019"},
        {{2022, 2, 10}, "2021", "4", "01/10/2021", "31/12/2021"},
        {{2021, 8, 20}, "2021", "2", "01/04/2021", "30/06/2021"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.lavoro.toString().toStdString());
        contesto->gtDataLavoro = c.lavoro;
        FrmDatiFatPre& f = Carica();
        EXPECT_EQ(f.txt[10]->text(), c.anno);
        EXPECT_EQ(f.txt[20]->text(), c.numero);
        EXPECT_EQ(f.txt[30]->text(), c.da);
        EXPECT_EQ(f.txt[40]->text(), c.a);
        EXPECT_TRUE(f.cheCosaEstr[0]->isChecked());
        EXPECT_TRUE(f.cheCosaEstr[1]->isChecked());
        EXPECT_FALSE(f.cheSoloStran->isChecked());
        EXPECT_FALSE(f.cheCliFittizi->isChecked());
        EXPECT_FALSE(f.estrazione.usaFittizio);
        EXPECT_TRUE(f.ComInterrompi->isHidden());
        EXPECT_TRUE(f.PicElab->isHidden());
        delete form.data();
    }
    menu->ImpostaParPers("DatiFat", "SoloStranieri", "s");
    menu->ImpostaParPers("DatiFat", "UsaFittizio", "S");
    FrmDatiFatPre& f = Carica();
    EXPECT_TRUE(f.cheSoloStran->isChecked());
    EXPECT_TRUE(f.estrazione.usaFittizio);
}

// Year and number checked when left changed; the period follows a valid
// change; a red field stops "&Ok".
TEST_F(FrmDatiFatPreTest, ControlliDiAnnoENumero) {
    FrmDatiFatPre& f = Carica();
    const struct {
        const char* nome;
        int campo;
        const char* testo;
        const char* messaggio;  // "" none
        int rosso;              // field left red, 0 none
        const char *da, *a;
    } casi[] = {
        {"anno 2016", 10, "2016", "Anno comunicazione non valido", 10, "01/01/2018", "30/06/2018"},
        {"anno 2019", 10, "2019", "", 0, "01/01/2019", "31/01/2019"},
        {"numero 13", 20, "13", "Numero comunicazione non valido", 20, "01/01/2019", "31/01/2019"},
        {"numero 12", 20, "12", "", 0, "01/12/2019", "31/12/2019"},
        {"anno 2021 col mese 12: lo rifiuterà l'estrazione", 10, "2021", "", 0, "01/10/2023", "31/12/2023"},
        {"numero 0: nessun controllo", 20, "0", "", 0, "01/10/2023", "31/12/2023"},
        {"numero con lettere", 20, "1a", "", 20, "01/10/2023", "31/12/2023"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        dialoghi->mostrati.clear();
        Scrivi(f, c.campo, c.testo);
        EXPECT_EQ(dialoghi->testi(), QString(c.messaggio).isEmpty() ? QStringList{} : QStringList{c.messaggio});
        EXPECT_EQ(Rosso(f.txt[10]), c.rosso == 10);
        EXPECT_EQ(Rosso(f.txt[20]), c.rosso == 20);
        EXPECT_EQ(f.txt[30]->text(), c.da);
        EXPECT_EQ(f.txt[40]->text(), c.a);
        if (c.rosso == 0) continue;
        dialoghi->mostrati.clear();
        f.ComOk_Click();
        EXPECT_EQ(dialoghi->testi(), QStringList{"Valore Errato"});
        Scrivi(f, c.rosso, c.rosso == 10 ? "2019" : "1");
        EXPECT_FALSE(Rosso(f.txt[c.rosso]));
    }

    // Left unchanged: no check, and the dates typed by hand stay.
    f.txt[30]->setText("15/01/2019");
    dialoghi->mostrati.clear();
    f.txt_GotFocus(10);
    f.txt_LostFocus(10);
    EXPECT_TRUE(dialoghi->testi().isEmpty());
    EXPECT_EQ(f.txt[30]->text(), "15/01/2019");
}

TEST_F(FrmDatiFatPreTest, DateDelPeriodo) {
    FrmDatiFatPre& f = Carica();
    Scrivi(f, 30, "1-2-2018");
    EXPECT_EQ(f.txt[30]->text(), "01/02/2018");
    EXPECT_FALSE(Rosso(f.txt[30]));
    Scrivi(f, 40, "31/02/2018");
    EXPECT_TRUE(Rosso(f.txt[40]));
    dialoghi->mostrati.clear();
    f.ComOk_Click();
    EXPECT_EQ(dialoghi->testi(), QStringList{"Valore Errato"});
    Scrivi(f, 40, "28/02/2018");
    EXPECT_FALSE(Rosso(f.txt[40]));
    EXPECT_EQ(f.Opzioni().dataA, "28/02/2018");
}

// "&Ok" runs the extraction with the fields, shows the counters and puts the
// buttons back.
TEST_F(FrmDatiFatPreTest, OkEstraeIlPeriodo) {
    Registra(fx, {.numReg = 1});
    Registra(fx, {.numReg = 2, .dataDoc = {2018, 8, 1}});
    Registra(fx, {.numReg = 3, .causale = "FA", .controparte = kFornitore, .dareAvere = "A"});
    FrmDatiFatPre& f = Carica();
    f.cheCosaEstr[1]->setChecked(false);
    f.ComOk_Click();
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});
    EXPECT_EQ(Leggi(fx, "SELECT * FROM DatiFatTest WHERE AnnoCom = 2018 AND NumCom = 1").size(), 1);
    EXPECT_EQ(f.txtFatti->text(), "1");
    EXPECT_EQ(f.txtDaFare->text(), "1");
    EXPECT_EQ(f.LabInElab->text(), "In elaborazione Fornitori (fatture di acquisto)");
    EXPECT_TRUE(f.comOk->isEnabled());
    EXPECT_TRUE(f.ComAnnulla->isEnabled());
    EXPECT_TRUE(f.ComInterrompi->isHidden());
    EXPECT_TRUE(f.PicElab->isHidden());
    EXPECT_TRUE(f.Caricata());

    // A check of the run gives the focus to its field.
    f.show();
    f.txt[20]->setText("7");
    dialoghi->mostrati.clear();
    f.ComOk_Click();
    EXPECT_EQ(dialoghi->testi(), QStringList{"Numero comunicazione troppo alto"});
}

// Every number the extraction reads goes through one check, from every
// query: the header and its lines, the goods and services split of an
// intra-EU purchase, the sign of line 1, the re-summing of a zero line. Text
// that is no number names the registration and the column and rolls the run
// back; numbers written the Italian way read as numbers, a negative one too.
TEST_F(FrmDatiFatPreTest, OgniNumeroLettoPassaDalControllo) {
    // 1: intra-EU purchase, goods 1000 against services 800 (TD10).
    Registra(fx, {.numReg = 1, .causale = "FAI", .controparte = kFornitoreUe, .dareAvere = "A",
                  .importoControparte = 1800.0, .iva = {{.imponibile = 1800.0, .imposta = 0.0}},
                  .altre = {{kCostiBeni, "D", 1000.0, 0, "22", 0}, {kCostiServizi, "D", 800.0, 0, "", 0}}});
    // 2: a sale whose line 1 gives the sign.
    Registra(fx, {.numReg = 2});
    // 3: a VAT line that nets to nothing, re-summed from its postings.
    Registra(fx, {.numReg = 3, .iva = {{.imponibile = 0.0, .imposta = 0.0}},
                  .altre = {{kRicaviBeni, "A", 100.0, 0, "22", 22.0}, {kRicaviBeni, "A", 0.0, 0, "22", 0.0}}});
    const QString ripristino =
        "UPDATE MovPnDett SET Importo = 1000.0, ImpostaIndetr = 0 WHERE NumReg = 1 AND RigReg = 2;"
        "UPDATE MovPnDett SET Importo = 800.0, ImpostaIndetr = 0 WHERE NumReg = 1 AND RigReg = 3;"
        "UPDATE MovPnDett SET Importo = 122.0 WHERE NumReg = 2 AND RigReg = 1;"
        "UPDATE MovPnDett SET Importo = 100.0, Imposta = 22.0 WHERE NumReg = 3 AND RigReg = 2;"
        "UPDATE MovPnDett SET Importo = 0.0, Imposta = 0.0 WHERE NumReg = 3 AND RigReg = 3";
    const struct {
        const char* nome;
        const char* aggiorna;
        const char* nota;
    } rifiutati[] = {
        {"goods line of the split", "UPDATE MovPnDett SET Importo = 'mille' WHERE NumReg = 1 AND RigReg = 2",
         "Il movimento anno 2018 e numero 1 ha nella colonna MovPnDett.Importo (riga 2) il valore \"mille\", che "
         "non è un numero"},
        {"non-deductible VAT of the split",
         "UPDATE MovPnDett SET ImpostaIndetr = '800 euro' WHERE NumReg = 1 AND RigReg = 3",
         "Il movimento anno 2018 e numero 1 ha nella colonna MovPnDett.ImpostaIndetr (riga 3) il valore \"800 "
         "euro\", che non è un numero"},
        {"sign of line 1", "UPDATE MovPnDett SET Importo = '-1220 EUR' WHERE NumReg = 2 AND RigReg = 1",
         "Il movimento anno 2018 e numero 2 ha nella colonna MovPnDett.Importo il valore \"-1220 EUR\", che non è "
         "un numero"},
        {"posting re-summed", "UPDATE MovPnDett SET Imposta = 'ventidue' WHERE NumReg = 3 AND RigReg = 2",
         "Il movimento anno 2018 e numero 3 ha nella colonna MovPnDett.Imposta (riga 2) il valore \"ventidue\", "
         "che non è un numero"},
    };
    FrmDatiFatPre& f = Carica();
    f.show();
    for (const auto& c : rifiutati) {
        SCOPED_TRACE(c.nome);
        fx.Esegui(fx.idAzienda, c.aggiorna);
        dialoghi->mostrati.clear();
        QTest::mouseClick(f.comOk, Qt::LeftButton);
        EXPECT_EQ(dialoghi->testi(),
                  QStringList{QString("Elaborazione interrotta\r\nNessun dato è stato modificato.\r\n") + c.nota})
            << dialoghi->testi().join(" | ").toStdString();
        EXPECT_TRUE(Leggi(fx, "SELECT * FROM DatiFatTest").isEmpty());
        fx.Esegui(fx.idAzienda, ripristino);
    }

    fx.Esegui(fx.idAzienda, "UPDATE MovPnDett SET Importo = '1.000,00' WHERE NumReg = 1 AND RigReg = 2;"
                            "UPDATE MovPnDett SET Importo = '800,00', ImpostaIndetr = '0,50' WHERE NumReg = 1 AND "
                            "RigReg = 3;"
                            "UPDATE MovPnDett SET Importo = '-1.220,00' WHERE NumReg = 2 AND RigReg = 1;"
                            "UPDATE MovPnDett SET Importo = '1.000,00', Imposta = '220,00' WHERE NumReg = 3 AND "
                            "RigReg = 2;"
                            "UPDATE MovPnDett SET Importo = '-5,00', Imposta = '-1,10' WHERE NumReg = 3 AND RigReg = 3");
    dialoghi->mostrati.clear();
    QTest::mouseClick(f.comOk, Qt::LeftButton);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});
    QStringList tipi;
    for (const Riga& r : Testate(fx))
        tipi << r["Tipo"].testo() + " " + r["NumReg"].testo() + " " + r["TipoDocumento"].testo();
    EXPECT_EQ(tipi, (QStringList{"E 2 TD04", "E 3 TD01", "R 1 TD10"}));
    // Only the non-negative postings of the code are re-summed.
    const QList<Riga> zero = Leggi(fx, "SELECT * FROM DatiFatDett WHERE NumReg = 3 ORDER BY NumDet");
    ASSERT_EQ(zero.size(), 2);
    EXPECT_DOUBLE_EQ(zero[0]["ImponibileImporto"].numero(), 1000.0);
    EXPECT_DOUBLE_EQ(zero[0]["Imposta"].numero(), 220.0);
}

// While the run works the user's events come through: closing is refused,
// "&Interrompi" asks, "&Sì" ends the run rolled back.
TEST_F(FrmDatiFatPreTest, DuranteLEstrazione) {
    for (long n = 1; n <= 3; ++n) Registra(fx, {.numReg = n});
    FrmDatiFatPre& f = Carica();
    f.show();
    bool eraInCorso = false, chiusa = true, okAttivo = true, annullaAttivo = true, interrompiVisibile = false;
    QTimer::singleShot(0, &f, [&] {
        eraInCorso = f.InElaborazione();
        okAttivo = f.comOk->isEnabled();
        annullaAttivo = f.ComAnnulla->isEnabled();
        interrompiVisibile = f.ComInterrompi->isVisible() && f.PicElab->isVisible();
        chiusa = f.close();
        f.ComInterrompi->click();
    });
    dialoghi->risposte = {1, 1};  // the closing message, then "&Sì"
    f.ComOk_Click();
    EXPECT_TRUE(eraInCorso);
    EXPECT_FALSE(chiusa);
    EXPECT_FALSE(okAttivo);
    EXPECT_FALSE(annullaAttivo);
    EXPECT_TRUE(interrompiVisibile);
    EXPECT_EQ(dialoghi->testi(),
              (QStringList{"Estrazione in corso: interromperla prima di chiudere la maschera",
                           "Confermi interruzione estrazione dati",
                           "Elaborazione interrotta su richiesta\r\nNessun dato è stato modificato."}));
    EXPECT_TRUE(Leggi(fx, "SELECT * FROM DatiFatTest").isEmpty());
    EXPECT_TRUE(f.Caricata());
    EXPECT_FALSE(f.InElaborazione());
    EXPECT_TRUE(f.close());
}

// A company database of an older structure, without a column the
// extraction reads: the user reads a numbered Italian text that names the
// column, never the engine's words, which go to the log.
TEST_F(FrmDatiFatPreTest, ColonnaMancanteNelDatabaseDellAzienda) {
    Registra(fx, {.numReg = 1});
    fx.Esegui(fx.idAzienda, "ALTER TABLE PianoConti DROP COLUMN CliForFittizio");
    FrmDatiFatPre& f = Carica();
    f.show();
    RegistroLog log("comiva.db");
    QTest::mouseClick(f.comOk, Qt::LeftButton);
    const QString testi = dialoghi->testi().join(" | ");
    EXPECT_TRUE(testi.contains("Errore(3265): Il campo PianoConti.CliForFittizio non esiste nel database: la "
                               "struttura del database dell'azienda non è aggiornata"))
        << testi.toStdString();
    EXPECT_FALSE(testi.contains("no such")) << testi.toStdString();
    EXPECT_TRUE(log.Testo().contains("no such column: PianoConti.CliForFittizio")) << log.Testo().toStdString();
    EXPECT_TRUE(Leggi(fx, "SELECT * FROM DatiFatTest").isEmpty());
}

// The menu's "FrmDatiFatPre" opens this form, not the placeholder.
TEST_F(FrmDatiFatPreTest, IlMenuApreLaMaschera) {
    contesto->ggOspite = std::make_shared<Ospite>();
    static_cast<Ospite*>(contesto->ggOspite.get())->AlTermine = [] {};
    InstallaProgramma(static_cast<Ospite&>(*contesto->ggOspite));
    static_cast<Ospite*>(contesto->ggOspite.get())->ApriFormRichiesta("FrmDatiFatPre", 0, "FrmDatiFatPre", {}, {}, {});
    auto* f = dynamic_cast<FrmDatiFatPre*>(static_cast<Ospite*>(contesto->ggOspite.get())->Form("FrmDatiFatPre"));
    ASSERT_NE(f, nullptr) << dialoghi->testi().join(" | ").toStdString();
    form = f;
    EXPECT_EQ(f->oiLoadOk, 1);
    EXPECT_TRUE(f->windowTitle().startsWith("Preparazione dati per comunicazione dati fatture"));
    f->PassaA();
    EXPECT_TRUE(menu->chiamate.last().startsWith("RegistraForm|Preparazione dati per comunicazione dati fatture"))
        << menu->chiamate.last().toStdString();
    EXPECT_TRUE(menu->chiamate.last().contains("|FrmDatiFatPre|"));
    contesto->ggOspite.reset();
}

}  // namespace
