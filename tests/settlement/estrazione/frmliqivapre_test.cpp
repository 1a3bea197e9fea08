#include "settlement/estrazione/FrmLiqIvaPre.h"

#include "common/form/FormComune.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"
#include "support/AppTest.h"
#include "support/Fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

class FrmLiqIvaPreTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppTest();
        contesto = fx.InstallaContesto();
        contesto->ggDialoghi = dialoghi;
        contesto->ggMenuClient = menu;
        contesto->gtDataLavoro = QDate(2018, 5, 15);
        fx.Inserisci(fx.idAzienda, "Ditta",
                     {{"CodFisc", "01234567897"}, {"PartIva", "01234567897"}, {"RagSoc", "Rossi Forniture S.r.l."},
                      {"StatoGiurid", "G"}});
        fx.Inserisci(fx.idAzienda, "IvaDichPeriodGen",
                     {{"DichGruppo", "N"}, {"CodFiscFirmaDich", "RSSGPP65B12F205H"}, {"Carica", "1"},
                      {"FirmaDich", "S"}});
    }
    void TearDown() override {
        if (form) delete form.data();
    }
    void Studio(const QString& cf, const Valore& data) {
        fx.Inserisci(fx.idCondiviso, "TabStudio",
                     {{"CodFiscIntermediario", cf}, {"TabStuCampo3", "2"}, {"TabStuData1", data}, {"FirmaInRicPres", "S"}});
    }
    FrmLiqIvaPre& Carica() {
        form = new FrmLiqIvaPre;
        form->Carica();
        EXPECT_EQ(form->oiLoadOk, 1) << dialoghi->testi().join(" | ").toStdString();
        return *form;
    }
    bool Rosso(QWidget* w) const { return BackColor(w) == contesto->glColErrore; }
    // The first column of the first row of a query on the company database, as text.
    QString PrimoValore(const char* sql) {
        QString r;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(fx.gestDb->DatabaseDaId(fx.idAzienda)->Handle(), sql, -1, &st, nullptr);
        if (sqlite3_step(st) == SQLITE_ROW) r = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return r;
    }

    FixtureDb fx;
    std::shared_ptr<Contesto> contesto;
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<MenuClientFinto> menu = std::make_shared<MenuClientFinto>();
    QPointer<FrmLiqIvaPre> form;
};

TEST(FrmLiqIvaPreProposta, TrimestrePrecedenteLaDataDiLavoro) {
    const struct {
        QDate data;
        const char* anno;
        const char* numero;
    } casi[] = {{QDate(2021, 3, 15), "2020", "4"}, {QDate(2021, 4, 1), "2021", "1"},
                {QDate(2021, 9, 30), "2021", "2"}, {QDate(2021, 12, 31), "2021", "3"}};
    for (const auto& c : casi) {
        QString anno, numero;
        FrmLiqIvaPre::PropostaPeriodo(c.data, anno, numero);
        EXPECT_EQ(anno, c.anno) << c.data.toString().toStdString();
        EXPECT_EQ(numero, c.numero) << c.data.toString().toStdString();
    }
}

TEST_F(FrmLiqIvaPreTest, ProposteAlCaricamento) {
    menu->ImpostaValore("CoGe.MultiAttivita", "s");
    Studio("09876543217", QDate(100, 1, 1));  // the empty date
    FrmLiqIvaPre& f = Carica();
    EXPECT_EQ(f.txt[10]->text(), "2018");
    EXPECT_EQ(f.txt[20]->text(), "1");
    EXPECT_TRUE(f.Check[30]->isChecked());
    EXPECT_FALSE(f.Check[33]->isChecked());
    EXPECT_EQ(f.txt[80]->text(), "RSSGPP65B12F205H");
    EXPECT_EQ(f.txt[90]->text(), "01");
    EXPECT_TRUE(f.Check[110]->isChecked());
    EXPECT_EQ(f.txt[120]->text(), "09876543217");
    EXPECT_EQ(f.cob[130]->currentText(), "2 - Comunicazione predisposta da chi effettua l'invio");
    EXPECT_EQ(f.txt[140]->text(), "");
    EXPECT_TRUE(f.Check[150]->isChecked());
    EXPECT_FALSE(f.Check[160]->isChecked());
}

TEST_F(FrmLiqIvaPreTest, SenzaIncaricatoNessunImpegno) {
    menu->ImpostaValore("CoGe.MultiAttivita", "N");
    Studio("", QDate(2018, 4, 20));
    FrmLiqIvaPre& f = Carica();
    EXPECT_FALSE(f.Check[30]->isChecked());
    EXPECT_EQ(f.cob[130]->currentIndex(), -1);
    EXPECT_EQ(f.txt[140]->text(), "");
    EXPECT_FALSE(f.Check[150]->isChecked());
}

// Codes are checked on leaving the field; "No" keeps the error colour and the
// extraction refuses to start until the field is put right.
TEST_F(FrmLiqIvaPreTest, ControlliInUscitaERifiuto) {
    FrmLiqIvaPre& f = Carica();
    const struct {
        int campo;
        const char* scritto;
        const char* atteso;
        const char* domanda;  // "" when the value passes
    } casi[] = {
        {80, "  rssgpp65b12f205h ", "RSSGPP65B12F205H", ""},
        {80, "rssgpp65b12f205x", "RSSGPP65B12F205X", "Codice Fiscale Errato.  Lo vuoi confermare?"},
        {120, "01234567890", "01234567890", "Codice fiscale (Partita Iva) Errato. Lo vuoi confermare?"},
        {120, "0123456789A", "0123456789A", "Codice Fiscale Errato.  Lo vuoi confermare?"},
        {100, " 12345 ", "12345", "Partita Iva Errata. La vuoi confermare?"},
        {100, "", "", ""},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.scritto);
        dialoghi->mostrati.clear();
        dialoghi->risposte = {1};  // "Sì"
        f.txt[c.campo]->setText(c.scritto);
        f.txt_LostFocus(c.campo);
        EXPECT_EQ(f.txt[c.campo]->text(), c.atteso);
        EXPECT_EQ(dialoghi->testi(), QString(c.domanda).isEmpty() ? QStringList{} : QStringList{c.domanda});
        if (!dialoghi->mostrati.isEmpty()) EXPECT_EQ(dialoghi->mostrati[0].bottoni, (QStringList{"Sì", "No"}));
        EXPECT_FALSE(Rosso(f.txt[c.campo]));
    }

    dialoghi->mostrati.clear();
    dialoghi->risposte = {2};  // "No"
    f.txt[100]->setText("12345");
    f.txt_LostFocus(100);
    EXPECT_TRUE(Rosso(f.txt[100]));

    dialoghi->mostrati.clear();
    f.ComOk_Click();
    EXPECT_EQ(dialoghi->testi(), QStringList{"Data Errata o Campo Errato"});
    EXPECT_TRUE(f.Caricata());

    // Confirmed on a second pass, the field is accepted.
    dialoghi->risposte = {1};
    f.txt_LostFocus(100);
    EXPECT_FALSE(Rosso(f.txt[100]));

    // A commitment date that is no date is marked by the common date check.
    f.txt[140]->setText("31/02/2018");
    f.txt_LostFocus(140);
    EXPECT_TRUE(Rosso(f.txt[140]));
    dialoghi->mostrati.clear();
    f.ComOk_Click();
    EXPECT_EQ(dialoghi->testi(), QStringList{"Data Errata o Campo Errato"});
    f.txt[140]->setText("20-4-2018");
    f.txt_LostFocus(140);
    EXPECT_FALSE(Rosso(f.txt[140]));
    EXPECT_EQ(f.txt[140]->text(), "20/04/2018");
}

// The exceptional-events code is judged as it is typed, with the codes the
// file accepts: anything else is marked and "&Ok" refuses it.
TEST_F(FrmLiqIvaPreTest, EventiEccezionaliControllatiInUscita) {
    FrmLiqIvaPre& f = Carica();
    const struct {
        const char* scritto;
        const char* atteso;
        bool rosso;
    } casi[] = {
        {"", "", false}, {" 1 ", "1", false}, {"9", "9", false},
        {"2", "2", true}, {"19", "19", true}, {"A", "A", true},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.scritto);
        dialoghi->mostrati.clear();
        f.txt[36]->setText(c.scritto);
        f.txt_LostFocus(36);
        EXPECT_EQ(f.txt[36]->text(), c.atteso);
        EXPECT_EQ(Rosso(f.txt[36]), c.rosso);
        EXPECT_EQ(dialoghi->testi(), c.rosso ? QStringList{"Eventi eccezionali: indicare 1 oppure 9, o lasciare vuoto."}
                                             : QStringList{});
        if (!c.rosso) continue;
        dialoghi->mostrati.clear();
        f.ComOk_Click();
        EXPECT_EQ(dialoghi->testi(), QStringList{"Data Errata o Campo Errato"});
        EXPECT_TRUE(f.Caricata());
    }
}

// Year and number: digits are rewritten as the number; anything else stays
// as typed, marked, and "&Ok" refuses it; with no year nothing is touched.
TEST_F(FrmLiqIvaPreTest, AnnoENumeroInUscita) {
    FrmLiqIvaPre& f = Carica();
    const struct {
        const char* anno;
        int campo;
        const char* scritto;
        const char* atteso;
        bool rosso;
    } casi[] = {
        {"2018", 20, "2", "2", false},      {"2018", 20, "0", "", false},      {"2018", 20, " ", "", false},
        {"2018", 20, "a", "a", true},       {"2018", 10, "20I8", "20I8", true}, {"2018", 10, "0219", "219", false},
        {"", 20, "x", "x", false},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(std::string(c.anno) + " / " + c.scritto);
        f.txt[10]->setText(c.anno);
        ImpostaBackColor(f.txt[c.campo], contesto->glColErrore);
        f.txt[c.campo]->setText(c.scritto);
        f.txt_LostFocus(c.campo);
        EXPECT_EQ(f.txt[c.campo]->text(), c.atteso);
        EXPECT_EQ(Rosso(f.txt[c.campo]), c.rosso);
        if (!c.rosso) continue;
        dialoghi->mostrati.clear();
        f.ComOk_Click();
        EXPECT_EQ(dialoghi->testi(), QStringList{"Data Errata o Campo Errato"});
        EXPECT_TRUE(f.Caricata());
        f.txt[c.campo]->setText(c.campo == 10 ? "2018" : "1");
        f.txt_LostFocus(c.campo);
        EXPECT_FALSE(Rosso(f.txt[c.campo]));
    }
}

// "&Ok" runs the extraction with the fields and closes the form when it is done.
TEST_F(FrmLiqIvaPreTest, OkEstraeEChiude) {
    fx.Inserisci(fx.idAzienda, "DitAttivita", {{"DitAttivita", "01"}});
    fx.Inserisci(fx.idAzienda, "IvaRiep", {{"Anno", 2018}, {"DitAttivita", "01"}, {"TipoLiq", "T"}});
    fx.Inserisci(fx.idAzienda, "IvaDichPeriod",
                 {{"Anno", 2018}, {"DitAttivita", "01"}, {"Periodo", 1}, {"IvaDovutaPer", 150.0}});
    FrmLiqIvaPre& f = Carica();
    f.Check[33]->setChecked(true);
    f.Check[160]->setChecked(true);
    f.ComOk_Click();
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});
    EXPECT_FALSE(f.Caricata());

    EXPECT_EQ(PrimoValore("SELECT CFDichiarante || '|' || FlagConferma || '|' || FirmaDichiarazione FROM LiqIvaTest "
                     "WHERE Anno = 2018 AND NumCom = 1"),
              "RSSGPP65B12F205H|1|S");
    EXPECT_EQ(PrimoValore("SELECT Subfornitura || '|' || Trimestre || '|' || ImportoDaVersare FROM LiqIvaDett"), "S|1|150.0");
}

// Every number the extraction reads passes the one number check, the sums
// over earlier periods too: text that is no number stops the extraction,
// rolled back, naming the row and the column; a number written the Italian
// way reads as a number even where the database would sum it as 1.
TEST_F(FrmLiqIvaPreTest, OgniNumeroLettoPassaDalControllo) {
    fx.Inserisci(fx.idAzienda, "DitAttivita", {{"DitAttivita", "01"}});
    fx.Inserisci(fx.idAzienda, "IvaRiep",
                 {{"Anno", 2018}, {"DitAttivita", "01"}, {"TipoLiq", "T"}, {"CreditoInizioAnno", 500.0}});
    // Quarter 1 forced its credit, so quarter 2 takes what is left of the opening one.
    fx.Inserisci(fx.idAzienda, "IvaDichPeriod",
                 {{"Anno", 2018}, {"DitAttivita", "01"}, {"Periodo", 1}, {"IvaDichPerCamp3", "S"},
                  {"CreditIvaComp", 0.0}, {"CredF24", 100.0}, {"IvaDichPerImp14", 0.0}});
    fx.Inserisci(fx.idAzienda, "IvaDichPeriod",
                 {{"Anno", 2018}, {"DitAttivita", "01"}, {"Periodo", 2}, {"IvaDovutaPer", 880.0}, {"Interessi", 0.0}});
    const struct {
        const char* nome;
        const char* aggiorna;
        const char* nota;
    } rifiutati[] = {
        {"amount to pay", "UPDATE IvaDichPeriod SET IvaDovutaPer = 'mille' WHERE Periodo = 2",
         "Il periodo 2 ha nella colonna IvaDichPeriod.IvaDovutaPer il valore \"mille\", che non è un numero"},
        {"interest", "UPDATE IvaDichPeriod SET Interessi = '4,50 euro' WHERE Periodo = 2",
         "Il periodo 2 ha nella colonna IvaDichPeriod.Interessi il valore \"4,50 euro\", che non è un numero"},
        {"credit used in an earlier period", "UPDATE IvaDichPeriod SET CredF24 = '100 euro' WHERE Periodo = 1",
         "Il periodo 1 ha nella colonna IvaDichPeriod.CredF24 il valore \"100 euro\", che non è un numero"},
        {"opening credit of the year", "UPDATE IvaRiep SET CreditoInizioAnno = 'cinquecento'",
         "Il riepilogo iva dell'anno 2018, attività 01 ha nella colonna IvaRiep.CreditoInizioAnno il valore "
         "\"cinquecento\", che non è un numero"},
    };
    FrmLiqIvaPre& f = Carica();
    f.show();
    f.txt[20]->setText("2");
    f.Check[33]->setChecked(true);
    f.Check[160]->setChecked(true);
    for (const auto& c : rifiutati) {
        SCOPED_TRACE(c.nome);
        fx.Esegui(fx.idAzienda, c.aggiorna);
        dialoghi->mostrati.clear();
        QTest::mouseClick(f.comOk, Qt::LeftButton);
        const QString testi = dialoghi->testi().join(" | ");
        EXPECT_TRUE(testi.contains(c.nota) && testi.contains("Estrazione non riuscita: nessun dato è stato modificato."))
            << testi.toStdString();
        EXPECT_EQ(PrimoValore("SELECT COUNT(*) FROM LiqIvaDett"), "0");
        EXPECT_TRUE(f.Caricata());
        fx.Esegui(fx.idAzienda, "UPDATE IvaDichPeriod SET IvaDovutaPer = 880.0, Interessi = 0.0 WHERE Periodo = 2;"
                                "UPDATE IvaDichPeriod SET CredF24 = 100.0 WHERE Periodo = 1;"
                                "UPDATE IvaRiep SET CreditoInizioAnno = 500.0");
    }

    fx.Esegui(fx.idAzienda, "UPDATE IvaDichPeriod SET IvaDovutaPer = '1.000,00' WHERE Periodo = 2;"
                            "UPDATE IvaDichPeriod SET CredF24 = '1.000,00' WHERE Periodo = 1");
    dialoghi->mostrati.clear();
    QTest::mouseClick(f.comOk, Qt::LeftButton);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});
    EXPECT_EQ(PrimoValore("SELECT ImportoDaVersare || '|' || CreditoAnnoPrecedente FROM LiqIvaDett"), "1000.0|-500.0");
}

TEST_F(FrmLiqIvaPreTest, CancSulComboTogliLaScelta) {
    Studio("09876543217", QDate(2018, 4, 20));
    FrmLiqIvaPre& f = Carica();
    f.show();
    QApplication::setActiveWindow(&f);
    f.cob[130]->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(f.focusWidget(), f.cob[130]);
    int tasto = 46;
    f.Form_KeyDown(tasto, 1);  // Shift+Canc: nothing
    EXPECT_EQ(f.cob[130]->currentIndex(), 2);
    tasto = 46;
    f.Form_KeyDown(tasto, 0);
    EXPECT_EQ(f.cob[130]->currentIndex(), -1);
    EXPECT_EQ(f.txt[140]->text(), "20/04/2018");
}

}  // namespace
