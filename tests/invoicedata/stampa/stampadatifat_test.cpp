// The invoice-data report on the recording back end: heading, columns,
// document and VAT lines, counterparty subtotals with their notes, "Totale";
// and the same report rendered to PDF.
#include "../file/supporto_datifat.h"

#include "components/stampa/OpzSta.h"
#include "components/stampa/RetroPittore.h"
#include "components/stampa/RetroStampa.h"
#include "components/core/ErroreRun.h"
#include "support/AppTest.h"

using namespace datifat;

namespace {

// A device whose end fails, as a printer gone or a full disk under a PDF.
class RetroCheFallisce : public RetroGrafico {
public:
    void Avvia(const QSizeF&) override {}
    void IniziaPagina(int) override {}
    void Testo(const QRectF&, const QString&, const FontStd&, const QString&) override {}
    void Immagine(const QImage&, const QRectF&) override {}
    void FinePagina(int) override { ++pagine_; }
    void Fine() override { throw ErroreRun(3026, QStringLiteral("Spazio su disco esaurito"), QStringLiteral("Stampa")); }
    int Pagine() const override { return pagine_; }

private:
    int pagine_ = 0;
};

class StampaDatiFatTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppTest();
        a = std::make_unique<AmbienteDatiFat>();
        a->contesto->gsFileIni = a->db.Cartella() + QStringLiteral("/qorwin.ini");
        a->st.ogOpzSta = std::make_shared<OpzSta>();
        a->st.ogOpzSta->oiStaVid = OpzSta::Stampante;
        a->st.obStampa = true;
        a->st.obEstrFile = false;
    }
    void TearDown() override {
        a.reset();
        ImpostaContesto(nullptr);
    }
    // Two clients: the first with a credit note and a split-payment invoice
    // of three lines, the second with a deferred line.
    void DueClienti(const QString& tipo = QStringLiteral("E")) {
        a->Conto(conto(QStringLiteral("000001"), QStringLiteral("ALFA SRL")));
        a->Conto(unisci(conto(QStringLiteral("000002"), QStringLiteral("BETA")),
                        {{"StatoGiurid", "F"}, {"PartIva", ""}, {"CodFisc", "RSSMRA80A01H501U"}, {"Cognome", "Rossi"},
                         {"Nome", "Mario"}}));
        a->Registrazione(testata(tipo, 1, QStringLiteral("000001"),
                                 {{"TipoDocumento", "TD04"}, {"ImportoTotale", 100.0}, {"DataDoc", QDate(2017, 3, 1)}}),
                         {riga(tipo, 1, 1, {{"ImponibileImporto", 82.0}, {"Imposta", 18.0}})});
        a->Registrazione(testata(tipo, 2, QStringLiteral("000001"), {{"ImportoTotale", 1220.0}, {"DataDoc", QDate(2017, 3, 2)}}),
                         {riga(tipo, 2, 1, {{"ImponibileImporto", 500.0}, {"Imposta", 110.0}, {"EsigibilitaIva", "S"}}),
                          riga(tipo, 2, 2, {{"ImponibileImporto", 300.0}, {"Imposta", 66.0}, {"EsigibilitaIva", "S"}}),
                          riga(tipo, 2, 3, {{"ImponibileImporto", 200.0}, {"Imposta", 44.0}, {"EsigibilitaIva", "I"}})});
        a->Registrazione(testata(tipo, 3, QStringLiteral("000002"), {{"ImportoTotale", 110.0}, {"DataDoc", QDate(2017, 3, 3)}}),
                         {riga(tipo, 3, 1, {{"ImponibileImporto", 100.0}, {"Imposta", 10.0}, {"Aliquota", 10.0},
                                            {"EsigibilitaIva", "D"}})});
    }
    // The texts printed between two of them (inclusive), in order.
    QStringList Testi(const RegistroInstallato& r) { return r.registro->Testi(); }

    std::unique_ptr<AmbienteDatiFat> a;
};

TEST_F(StampaDatiFatTest, ByCounterpartyWithSubtotalsNotesSignsAndTotal) {
    RegistroInstallato registro;
    DueClienti();
    a->st.AvviaStampa();
    EXPECT_EQ(0, a->st.oiErrore);
    const QStringList t = registro->Testi();
    const QStringList attesi = {
        // heading
        "CLIENTI - Anno: 2017 Num.Com.: 2", "Progr.", "TD", "Data Doc.", "Num. Doc.", "Tot. da pagare", "Imponibile",
        "Imposta", "Aliq.", "Natura", "Esigib.",
        // first counterparty
        "04-10-000001", "0001 ALFA SRL", "01234567897",
        "1", "TD04", "01/03/2017", "1/A", "-100,00", "-82,00", "-18,00", "22", "", "I",
        "2", "TD01", "02/03/2017", "2/A", "1.220,00", "500,00", "110,00", "22", "", "S",
        "300,00", "66,00", "22", "", "S",
        "200,00", "44,00", "22", "", "I",
        "(di cui split: 176,00)", "Tot. 04-10-000001", "1.120,00", "918,00", "202,00",
        // second counterparty: a person with a tax code
        "04-10-000002", "0002 Rossi ** Mario", "RSSMRA80A01H501U",
        "3", "TD01", "03/03/2017", "3/A", "110,00", "100,00", "10,00", "10", "", "D",
        "(di cui diff.: 10,00)", "Tot. 04-10-000002", "110,00", "100,00", "10,00",
        "(di cui split: 176,00, diff.: 10,00)", "Totale", "1.230,00", "1.018,00", "212,00"};
    const qsizetype inizio = t.indexOf(QStringLiteral("CLIENTI - Anno: 2017 Num.Com.: 2"));
    ASSERT_GE(inizio, 0) << t.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(attesi, t.mid(inizio)) << t.mid(inizio).join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(1, registro->DiTipo(QStringLiteral("FineStampa")).size());
    EXPECT_TRUE(a->FileInCartella().isEmpty());
    EXPECT_EQ(0, a->contesto->giStaAtt);
}

TEST_F(StampaDatiFatTest, SuppliersByDateHaveTheCounterpartyColumnAndOnlyTheTotal) {
    RegistroInstallato registro;
    DueClienti(QStringLiteral("R"));
    a->st.osCosaEstr = QStringLiteral("R");
    a->st.oiOrdin = 1;
    a->st.oiTipoSta = 2;
    a->st.oiIdentif = 0;
    a->st.AvviaStampa();
    const QStringList t = registro->Testi();
    EXPECT_TRUE(t.contains(QStringLiteral("FORNITORI - Anno: 2017 Num.Com.: 2 Identificativo: 0")));
    const qsizetype h = t.indexOf(QStringLiteral("Progr."));
    ASSERT_GE(h, 0);
    EXPECT_EQ((QStringList{"Progr.", "Fornitore", "TD", "Data Doc.", "Num. Doc.", "Data Reg.", "Tot. da pagare"}),
              t.mid(h, 7));
    EXPECT_TRUE(t.contains(QStringLiteral("04-10-000002 BETA")));
    EXPECT_TRUE(t.contains(QStringLiteral("06/03/2017")));
    EXPECT_FALSE(t.join(QLatin1Char('|')).contains(QStringLiteral("Tot. 04")));
    EXPECT_EQ(QStringLiteral("Totale"), t.at(t.size() - 4));
    EXPECT_EQ(QStringLiteral("(di cui split: 176,00, diff.: 10,00)"), t.at(t.size() - 5));
}

TEST_F(StampaDatiFatTest, FileAndReportShareThePositionsAndTheSplitLetter) {
    RegistroInstallato registro;
    DueClienti();
    a->st.obEstrFile = true;
    a->st.obMolteAnag = true;
    a->st.oiMaxClie = 1;
    a->st.oiTipoSta = 1;
    a->st.AvviaStampa();
    EXPECT_EQ(0, a->st.oiErrore);
    const QStringList t = registro->Testi();
    EXPECT_TRUE(t.contains(QStringLiteral("A001 ALFA SRL")));
    EXPECT_TRUE(t.contains(QStringLiteral("B001 Rossi ** Mario")));
    EXPECT_TRUE(t.contains(QStringLiteral("CLIENTI - Anno: 2017 Num.Com.: 2 Identificativo: 1")));
    EXPECT_EQ(QStringLiteral("1"), a->Colonna(3, QStringLiteral("Progr")).testo());
    EXPECT_EQ(QStringLiteral("72E1B"), a->Colonna(3, QStringLiteral("NomeFile")).testo());
    EXPECT_EQ(2, a->FileInCartella().size());
}

// A stop of the print while the file is written: the run is interrupted, the
// file is not completed and the definitive marks are rolled back.
TEST_F(StampaDatiFatTest, AStopDuringFileAndReportInterruptsTheRun) {
    RegistroInstallato registro;
    DueClienti();
    a->st.obEstrFile = true;
    a->st.oiTipoSta = 1;
    a->st.DopoRiga = [](Stampa& st) { st.ImpInterruzione(1); };
    a->st.AvviaStampa();
    EXPECT_EQ(-1, a->st.oiErrore);
    EXPECT_EQ(QStringList{QStringLiteral("IT01234567897_DF_172E1.xml.incompleto")}, a->FileInCartella());
    for (int n = 1; n <= 3; ++n) EXPECT_EQ(QStringLiteral("0"), a->Colonna(n, QStringLiteral("NumInv")).testo());
    EXPECT_TRUE(a->Messaggi().join(QLatin1Char('|')).contains(QStringLiteral("Nessuna registrazione è stata marcata")));
    EXPECT_FALSE(registro->Testi().contains(QStringLiteral("Totale")));
}

TEST_F(StampaDatiFatTest, AJobThePrintComponentRefusesStopsTheRun) {
    DueClienti();
    a->st.obEstrFile = true;
    a->st.ogOpzSta->oiStaVid = 9;  // a route the print component does not know
    a->st.AvviaStampa();
    EXPECT_EQ(-1, a->st.oiErrore);
    EXPECT_TRUE(a->FileInCartella().isEmpty());
    EXPECT_EQ(1, a->Messaggi().size());
}

TEST_F(StampaDatiFatTest, TheReportRendersToPdf) {
    DueClienti();
    const QString pdf = a->db.Cartella() + QStringLiteral("/datifat.pdf");
    a->st.PreparaStampa = [pdf](Stampa& st) { st.ImpRetro(RetroPittore::PerPdf(pdf)); };
    a->st.AvviaStampa();
    EXPECT_EQ(0, a->st.oiErrore);
    const QByteArray b = leggi(pdf);
    EXPECT_TRUE(b.startsWith("%PDF")) << b.left(20).toStdString();
    EXPECT_GT(b.size(), 1000);
}

// Once the marks are committed the send stands: a print that fails after
// it is told as such, and the file keeps its final name and its marks.
TEST_F(StampaDatiFatTest, APrintThatFailsAfterTheCommitNeverUndoesTheSend) {
    DueClienti();
    a->st.obEstrFile = true;
    a->st.oiTipoSta = 1;
    a->st.PreparaStampa = [](Stampa& st) { st.ImpRetro(std::make_unique<RetroCheFallisce>()); };
    a->st.AvviaStampa();
    EXPECT_TRUE(a->st.InvioConfermato());
    EXPECT_EQ(1, a->st.oiErrore);
    EXPECT_EQ(QStringList{QStringLiteral("IT01234567897_DF_172E1.xml")}, a->FileInCartella());
    for (int n = 1; n <= 3; ++n) EXPECT_EQ(QStringLiteral("1"), a->Colonna(n, QStringLiteral("NumInv")).testo());
    ASSERT_EQ(1, a->Messaggi().size()) << a->Messaggi().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(a->Messaggi().first().startsWith(
        QStringLiteral("File completi e marcati; stampa non riuscita.\r\nErrore(3026): ")))
        << a->Messaggi().first().toStdString();
}

// The report shows what the file holds: a document refused for its type is
// neither printed nor counted, and a document whose first line was left out
// shows its own position in the file.
TEST_F(StampaDatiFatTest, OnlyDocumentsInTheFileAreReportedWithTheirOwnPosition) {
    RegistroInstallato registro;
    a->menu->ImpostaParPers(QStringLiteral("DatiFat"), QStringLiteral("EstraiZero"), QStringLiteral("N"));
    a->Conto(conto(QStringLiteral("000001"), QStringLiteral("ALFA SRL")));
    a->Registrazione(testata(QStringLiteral("E"), 1, QStringLiteral("000001"), {{"DataDoc", QDate(2017, 3, 1)}}),
                     {riga(QStringLiteral("E"), 1, 1)});
    a->Registrazione(testata(QStringLiteral("E"), 2, QStringLiteral("000001"),
                             {{"TipoDocumento", "TD99"}, {"NumDoc", "RIFIUTATO"}, {"DataDoc", QDate(2017, 3, 2)}}),
                     {riga(QStringLiteral("E"), 2, 1, {{"ImponibileImporto", 7000.0}})});
    a->Registrazione(testata(QStringLiteral("E"), 3, QStringLiteral("000001"), {{"DataDoc", QDate(2017, 3, 3)}}),
                     {riga(QStringLiteral("E"), 3, 1, {{"ImponibileImporto", 0.0}, {"Imposta", 0.0}}),
                      riga(QStringLiteral("E"), 3, 2, {{"ImponibileImporto", 50.0}, {"Imposta", 11.0}})});
    a->st.obEstrFile = true;
    a->st.oiTipoSta = 1;
    a->st.AvviaStampa();
    EXPECT_EQ(0, a->st.oiErrore) << a->Messaggi().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(QStringLiteral("2"), a->Colonna(3, QStringLiteral("Progr")).testo());
    QStringList progr;
    for (const VoceStampa& v : registro->DiTipo(QStringLiteral("StampaColonna")))
        if (v.testo == QLatin1String("1") || v.testo == QLatin1String("2") || v.testo == QLatin1String("3")) progr << v.testo;
    EXPECT_EQ((QStringList{QStringLiteral("1"), QStringLiteral("2")}), progr);
    const QString t = registro->Testi().join(QLatin1Char('|'));
    EXPECT_FALSE(t.contains(QStringLiteral("RIFIUTATO"))) << t.toStdString();
    EXPECT_FALSE(t.contains(QStringLiteral("7.000,00"))) << t.toStdString();
    EXPECT_TRUE(t.contains(QStringLiteral("150,00"))) << t.toStdString();
}

}  // namespace
