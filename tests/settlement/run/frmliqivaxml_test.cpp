// The run form: proposals at load, the option checks, the file name, the
// company boxes, "Cambia", closing during a run, and a run through the form.
#include "AmbienteRun.h"
#include "common/form/FormComune.h"
#include "components/stampa/OpzSta.h"
#include "settlement/run/FrmLiqIvaXml.h"
#include "settlement/run/StLiqIva.h"
#include "components/lookup/DecodLista.h"
#include "components/lookup/FrmListaAiuto.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

namespace {

class FrmLiqIvaXmlTest : public AmbienteRun {
protected:
    void SetUp() override {
        AmbienteRun::SetUp();
        c->gtDataLavoro = QDate(2025, 1, 15);
        c->gsChiavePrg = QStringLiteral("PRG");
        ASSERT_TRUE(FileIni(c->gsFileIni).scrivi("Base", "DirCaDi", fx.Cartella() + "/"));
        AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"));
    }
    void TearDown() override {
        if (form) delete form.data();
        AmbienteRun::TearDown();
    }
    frmLiqIvaXml& Carica() {
        form = new frmLiqIvaXml;
        form->osKeySec = QStringLiteral("SEC");
        form->Carica();
        EXPECT_EQ(form->oiLoadOk, 1) << dialoghi->testi().join(" | ").toStdString();
        // The print options' own notices (no printer here) are not the form's concern.
        dialoghi->mostrati.clear();
        return *form;
    }
    // Types into a box as the user does: focus in, new text, focus out.
    void Scrivi(int indice, const QString& testo) {
        form->txt_GotFocus(indice);
        form->txt[indice]->setText(testo);
        form->txt_LostFocus(indice);
    }

    QPointer<frmLiqIvaXml> form;
};

TEST_F(FrmLiqIvaXmlTest, ProposteAlCaricamento) {
    frmLiqIvaXml& f = Carica();
    EXPECT_EQ(f.txt[10]->text(), "2024");
    EXPECT_EQ(f.txt[20]->text(), "4");
    EXPECT_EQ(f.txt[30]->text(), "001");
    EXPECT_EQ(f.Lab[30]->text(), "Prima S.r.l.");
    EXPECT_EQ(f.txt[40]->text(), "001");
    EXPECT_EQ(f.Lab[40]->text(), "Prima S.r.l.");
    EXPECT_TRUE(f.LabSelPiuAziende->isHidden());
    EXPECT_TRUE(f.optTipoFile[1]->isChecked());
    EXPECT_TRUE(f.optTipoElab[0]->isChecked());
    EXPECT_EQ(f.txt[60]->text(), fx.Cartella() + "/IT§CodFisc§_LI_20244.xml");
    ASSERT_TRUE(f.elab.ogOpzSta != nullptr);
    // The printed form goes to the printer or the preview: the options dialog
    // offers neither the delimited-text nor the fixed-width route.
    EXPECT_TRUE(f.elab.ogOpzSta->ModoEscluso(OpzSta::File));
    EXPECT_TRUE(f.elab.ogOpzSta->ModoEscluso(OpzSta::LarghezzaFissa));
    EXPECT_FALSE(f.elab.ogOpzSta->ModoEscluso(OpzSta::Video));

    f.PassaA();
    EXPECT_TRUE(menu->chiamate.contains("RegistraForm|Estrazione XML Liquidazione Periodica Iva|frmLiqIvaXml|SEC"));
}

TEST_F(FrmLiqIvaXmlTest, NomeProposto) {
    frmLiqIvaXml& f = Carica();
    f.txt[60]->setText("scelto.xml");
    // Changing only the companies keeps a typed name.
    Scrivi(40, "002");
    EXPECT_EQ(f.txt[60]->text(), "scelto.xml");
    Scrivi(10, "2025");
    EXPECT_EQ(f.txt[60]->text(), fx.Cartella() + "/IT§CodFisc§_LI_20254.xml");
    f.optTipoFile[0]->click();
    EXPECT_EQ(f.txt[60]->text(), fx.Cartella() + "/IT§CodFisc§_LI_20254.txt");
    // A year that is not a number is marked and proposes nothing.
    Scrivi(10, "20x5");
    EXPECT_EQ(BackColor(f.txt[10]), c->glColErrore);
    EXPECT_EQ(f.txt[60]->text(), fx.Cartella() + "/IT§CodFisc§_LI_20254.txt");
}

TEST_F(FrmLiqIvaXmlTest, PiuAziende) {
    frmLiqIvaXml& f = Carica();
    Scrivi(40, " 002 ");
    EXPECT_EQ(f.txt[40]->text(), "002");
    EXPECT_EQ(f.Lab[40]->text(), "Ditta 002");
    EXPECT_FALSE(f.LabSelPiuAziende->isHidden());
    Azienda("AB", "AB", "Lettere", "ab.db");
    Scrivi(30, "ab");
    Scrivi(40, "AB");
    EXPECT_TRUE(f.LabSelPiuAziende->isHidden());
}

TEST_F(FrmLiqIvaXmlTest, ControlliPrimaDellaCorsa) {
    struct Caso { const char* da; const char* a; const char* anno; const char* numero; const char* nome; const char* messaggio; int fuoco; };
    const Caso casi[] = {
        {"", "001", "", "4", "x.xml", "Si prega di inserire entrambe le ditte da elaborare", 30},
        {"B", "A", "2024", "4", "x.xml", "Si prega di inserire le ditte da elaborare in ordine crescente", 30},
        {"9", "10", "2024", "4", "x.xml", "Si prega di inserire le ditte da elaborare in ordine crescente", 30},
        {"001", "002", "", "4", "x.xml", "Si prega di inserire l'anno", 10},
        {"001", "002", "2016", "4", "x.xml", "Anno non valido", 10},
        {"001", "002", "2050", "4", "x.xml", "Anno non valido", 10},
        {"001", "002", "2024", "", "x.xml", "Si prega di inserire il numero comunicazione", 20},
        {"001", "002", "2024", "4", " ", "Si prega di indicare il nome del file", 60},
        {"001", "002", "2017", "4", "x.xml", nullptr, 0},
        {"001", "002", "2049", "4", "x.xml", nullptr, 0},
    };
    frmLiqIvaXml& f = Carica();
    f.show();
    for (const Caso& k : casi) {
        dialoghi->mostrati.clear();
        f.txt[30]->setText(k.da);
        f.txt[40]->setText(k.a);
        f.txt[10]->setText(k.anno);
        f.txt[20]->setText(k.numero);
        f.txt[60]->setText(k.nome);
        const bool ok = f.ControllaDatiLiq();
        EXPECT_EQ(ok, k.messaggio == nullptr) << k.da << k.a << k.anno;
        if (!k.messaggio) continue;
        ASSERT_EQ(dialoghi->mostrati.size(), 1);
        EXPECT_EQ(dialoghi->mostrati[0].testo, k.messaggio);
        EXPECT_EQ(dialoghi->mostrati[0].titolo, "Estrazione XML Liquidazione Periodica Iva");
        EXPECT_EQ(f.focusWidget(), f.txt[k.fuoco]) << k.messaggio;
    }
    // A field marked in red stops the run first.
    dialoghi->mostrati.clear();
    ImpostaBackColor(f.txt[20], c->glColErrore);
    EXPECT_FALSE(f.ControllaDatiLiq());
    EXPECT_EQ(dialoghi->testi(), QStringList{"Ci sono dei dati non validi"});
}

TEST_F(FrmLiqIvaXmlTest, CambiaPrendeLaCartellaDelPercorso) {
    frmLiqIvaXml& f = Carica();
    const QString scelto = fx.Cartella() + "/liq.xml/invii/liq.xml";
    dialoghi->risposteTesto = {scelto};
    f.ComOpz_Click();
    EXPECT_EQ(f.txt[60]->text(), scelto);
    EXPECT_EQ(f.CartellaScelta(), fx.Cartella() + "/liq.xml/invii/");
    ASSERT_EQ(dialoghi->mostrati.size(), 1) << dialoghi->testi().join("|").toStdString();
    EXPECT_EQ(dialoghi->mostrati[0].titolo, "Nome del file");
    // A cancelled dialog leaves everything as it was.
    dialoghi->risposteTesto = {std::nullopt};
    f.ComOpz_Click();
    EXPECT_EQ(f.txt[60]->text(), scelto);
}

TEST_F(FrmLiqIvaXmlTest, CorsaDallaFormEChiusura) {
    fx.Inserisci(fx.idAzienda, "LiqIvaTest",
                 {{"Anno", 2024}, {"NumCom", 4}, {"CodiceFiscale", "01234567897"}, {"PartitaIva", "01234567897"},
                  {"FirmaDichiarazione", "S"}});
    fx.Inserisci(fx.idAzienda, "LiqIvaDett",
                 {{"Anno", 2024}, {"NumCom", 4}, {"Modulo", 1}, {"Trimestre", 4}, {"IvaEsigibile", 100.0}});
    frmLiqIvaXml& f = Carica();
    f.optTipoElab[1]->setChecked(true);
    const QString cartella = fx.Cartella() + "/scelta/";
    ASSERT_TRUE(QDir().mkpath(cartella));
    dialoghi->risposteTesto = {cartella + "IT§CodFisc§_LI_20244.xml"};
    f.ComOpz_Click();
    f.ComStampa_Click();
    EXPECT_EQ(ErroriSchema(cartella + "IT01234567897_LI_20244.xml", "ivp18"), "")
        << dialoghi->testi().join("|").toStdString();
    EXPECT_EQ(dialoghi->testi().last(), "Elaborazione terminata");
    EXPECT_EQ(FileIni(c->gsFileIni).leggi("Base", "DirCaDi").value_or(QString()), cartella);

    // While the writer runs the form does not close.
    dialoghi->mostrati.clear();
    f.elab.ScrittoreCreato().obStaAtt = true;
    EXPECT_FALSE(f.Scarica());
    EXPECT_EQ(dialoghi->testi(), QStringList{"Stampa ancora attiva, non è possibile uscire dal programma"});
    f.elab.ScrittoreCreato().obStaAtt = false;
    EXPECT_TRUE(f.Scarica());
}

TEST_F(FrmLiqIvaXmlTest, F2EF3NeiCampiAziendaApronoLaRicerca) {
    auto lista = std::make_shared<DecodListaSql>();
    QStringList correnti;  // the company each list opened on
    lista->mostraLista = [&](FrmListaAiuto& l) {
        correnti << (l.RigaCorrente() >= 0 ? l.dbgLista->item(l.RigaCorrente(), 2)->text() : QString());
        QTest::keyClick(l.txtRicerca, Qt::Key_Return);
        return l.result() == QDialog::Accepted;
    };
    c->ggDecodDitte = lista;
    frmLiqIvaXml& f = Carica();
    QApplication::setActiveWindow(&f);
    const struct Caso {
        const char* nome;
        int box;
        Qt::Key tasto;
        Qt::KeyboardModifiers mod;
        const char* testo;
        const char* aperta;  // "" when no list opens
        const char* scelta;
        const char* descrizione;
    } casi[] = {
        {.nome = "F3 by description", .box = 30, .tasto = Qt::Key_F3, .mod = Qt::NoModifier, .testo = "Ditta",
         .aperta = "002", .scelta = "002", .descrizione = "Ditta 002"},
        {.nome = "F2 by id", .box = 40, .tasto = Qt::Key_F2, .mod = Qt::NoModifier, .testo = "00", .aperta = "001",
         .scelta = "001", .descrizione = "Prima S.r.l."},
        {.nome = "Shift+F2 is no lookup", .box = 40, .tasto = Qt::Key_F2, .mod = Qt::ShiftModifier, .testo = "9",
         .aperta = "", .scelta = "9", .descrizione = ""},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        correnti.clear();
        f.Lab[k.box]->clear();
        f.txt[k.box]->setFocus();
        f.txt[k.box]->setText(QString::fromUtf8(k.testo));
        QTest::keyClick(f.txt[k.box], k.tasto, k.mod);
        EXPECT_EQ(correnti.join(","), QString::fromUtf8(k.aperta));
        EXPECT_EQ(f.txt[k.box]->text(), QString::fromUtf8(k.scelta));
        EXPECT_EQ(f.Lab[k.box]->text(), QString::fromUtf8(k.descrizione));
    }
}

}  // namespace
