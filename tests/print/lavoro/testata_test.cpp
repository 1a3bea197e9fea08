#include "FixtureLavoro.h"

#include "components/stampa/OpzSta.h"
#include "print/lavoro/FrmStampaInCorso.h"
#include "print/lavoro/ServiziLavoroStampa.h"
#include "support/LettoreXlsx.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

class TestataTest : public LavoroTest {
protected:
    void SetUp() override {
        LavoroTest::SetUp();
        menu->ImpostaValore("versione", QStringLiteral("5.1.0"));
        menu->ImpostaValore("studio", QStringLiteral("Bianchi"));
        menu->ImpostaValore("ditta.ragsoc", QStringLiteral("Dal Menu srl"));
    }
    std::unique_ptr<Stampa> conFont() {
        auto st = preparata();
        FontSta fs;
        ImpFontTesta(*st, fs);
        ImpFontCorpo(*st, fs);
        st->ofrmStampaInCorso = frmStampaInCorso::Istanza();
        return st;
    }
};

TEST_F(TestataTest, GraphicHeaderPlacesEachTextWithItsSlotAndAlignment) {
    RegistroInstallato reg;
    auto st = conFont();
    st->AvviaDocumento();
    for (int i = 1; i < 12; ++i) st->NuovaPagina();
    reg->Svuota();
    st->ImpVert(st->LeggiMrAlt());
    StampaTestataPag(*st, "Liquidazione Iva Periodica ", 0, Valore(), false, "", "", "Rossi spa", true, 0);
    QStringList righe;
    for (const auto& v : reg->voci)
        righe << (v.operazione == "StampaTesto" ? v.slot + " " + v.allineamento + " " + v.testo : v.operazione);
    EXPECT_EQ(righe, (QStringList{"TestaAzienda S Qorvane 5.1.0", "TestaAzienda D Studio: Bianchi Ditta: Rossi spa",
                                  "NuovaRiga", "NuovaRiga", "TestaData S 10/12/2026",
                                  "TestaTitolo C Liquidazione Iva Periodica ", "TestaData D Pag. 12", "NuovaRiga"}));
    for (const auto& v : reg->DiTipo("StampaTesto")) {
        EXPECT_EQ(v.sinistra, 0);
        EXPECT_EQ(v.destra, 0);
    }
    EXPECT_EQ(frmStampaInCorso::Istanza()->LblPag->text(), "012");
    st->FineStampa();
}

TEST_F(TestataTest, HeaderTextsFollowSettingsAndArguments) {
    struct Caso {
        const char* nome;
        QString versionePers, studio, ragSoc, agg;
        int pagina;
        bool nascondi;
        QStringList attesi;
    } casi[] = {
        {"blank version keeps its width", "n", "Bianchi", "Rossi", "", 3, false,
         {"             ", "Studio: Bianchi Ditta: Rossi", "10/12/2026", "T", "Pag. 003"}},
        {"hidden by the caller", "S", "", "", "(2)", 3, true,
         {"             ", "Ditta: Dal Menu srl (2)", "10/12/2026", "T", "Pag. 003"}},
        {"no studio", "S", "", "Rossi", "", 1, false,
         {"Qorvane 5.1.0", "Ditta: Rossi", "10/12/2026", "T", "Pag. 001"}},
    };
    for (const auto& caso : casi) {
        RegistroInstallato reg;
        menu->ImpostaParPers("Stampe", "StampaVersione", caso.versionePers);
        menu->ImpostaValore("studio", caso.studio);
        auto st = conFont();
        st->AvviaDocumento();
        StampaTestataPag(*st, "T", caso.pagina, Valore(), caso.nascondi, caso.agg, "", caso.ragSoc, false, 0);
        EXPECT_EQ(reg->Testi(), caso.attesi) << caso.nome;
        st->FineStampa();
    }
}

TEST_F(TestataTest, HeaderModeOnePrintsNothingButShowsThePage) {
    RegistroInstallato reg;
    auto st = conFont();
    st->AvviaDocumento();
    reg->Svuota();
    frmStampaInCorso::Istanza()->LblPag->setText("000");
    StampaTestataPag(*st, "T", 4, Valore(), false, "", "", "", false, 1);
    EXPECT_TRUE(reg->voci.isEmpty());
    EXPECT_EQ(frmStampaInCorso::Istanza()->LblPag->text(), "004");
    // Mode 2 prints nothing only when the output is a file.
    StampaTestataPag(*st, "T", 4, Valore(), false, "", "", "", false, 2);
    EXPECT_FALSE(reg->voci.isEmpty());
    st->FineStampa();
}

TEST_F(TestataTest, ExcelFormatFileCarriesTheSecondColumn) {
    opz->oiStaVid = OpzSta::File;
    opz->FileForm = OpzSta::FormatoExcel;
    opz->FileName = dir.filePath("x.xlsx");
    auto st = conFont();
    st->AvviaDocumento();
    StampaTestataPag(*st, "T", 1, Valore(QStringLiteral("01/01/2027")), false, "", "Colonna 2", "Rossi", false, 0);
    st->FineStampa();
    const LettoreXlsx x(opz->FileName);
    ASSERT_TRUE(x.valido);
    QStringList righe;
    for (const char* r : {"A1", "B1", "C1", "A2", "B2", "C2"}) righe << x.celle.value(QString::fromLatin1(r)).testo;
    EXPECT_EQ(righe, QStringList({"Qorvane 5.1.0", "Studio: Bianchi Ditta: Rossi", "Colonna 2", "01/01/2027", "T", "Pag. 001"}));
}

// With 80 columns: 13 characters of version leave 66 for the company; a date
// of 10 and a page text of 8 leave 58 for the title.
TEST_F(TestataTest, FixedWidthHeaderFillsTheColumns) {
    opz->oiStaVid = OpzSta::LarghezzaFissa;
    opz->FisColonne = 80;
    opz->FisFileName = dir.filePath("fisso.txt");
    auto st = conFont();
    st->AvviaDocumento();
    StampaTestataPag(*st, "TITOLO", 3, Valore(), false, "", "", "Rossi", false, 0);
    st->FineStampa();
    const QList<QByteArray> righe = leggi(opz->FisFileName).split('\n');
    ASSERT_GE(righe.size(), 3);
    const QByteArray r1 = righe[0].chopped(1), r2 = righe[1].chopped(1);
    EXPECT_EQ(r1, "Qorvane 5.1.0 " + QByteArray(66 - 28, ' ') + "Studio: Bianchi Ditta: Rossi");
    EXPECT_EQ(r1.size(), 80);
    EXPECT_EQ(r2.left(11), "10/12/2026 ");
    EXPECT_EQ(r2.mid(11, 58).trimmed(), "TITOLO");
    EXPECT_EQ(r2.mid(11 + 26, 6), "TITOLO");  // centred in its 58 columns
    EXPECT_TRUE(r2.endsWith("Pag. 003"));
    EXPECT_EQ(r2.size(), 80);
    EXPECT_EQ(righe[2], "\r");  // the header ends with an empty line
}

TEST_F(TestataTest, WrappedTextLinesBreakOnlyAfterASemicolon) {
    RegistroInstallato reg;
    auto st = conFont();
    st->ImpMrSin(10);
    st->ImpMrDes(10);
    st->AvviaDocumento();
    auto testi = [&] {
        QStringList r;
        for (const auto& v : reg->voci) r << (v.operazione == "StampaTesto" ? v.slot + " " + v.allineamento + " " + v.testo : v.operazione);
        return r;
    };
    reg->Svuota();
    StampaTestoRighe(*st, "; CLIENTI - Anno: 2026; Num.Com.: 1");
    EXPECT_EQ(testi(), (QStringList{"CorpoCampo C CLIENTI - Anno: 2026; Num.Com.: 1", "NuovaRiga", "NuovaRiga"}));

    reg->Svuota();
    const QString largo = QString(200, QLatin1Char('M')) + ";";
    StampaTestoRighe(*st, largo + " fine");
    EXPECT_EQ(testi(), (QStringList{"CorpoCampo C ", "NuovaRiga", "CorpoCampo C " + largo, "NuovaRiga",
                                    "CorpoCampo C fine", "NuovaRiga", "NuovaRiga"}));

    reg->Svuota();
    StampaTestoRighe(*st, "ab");
    EXPECT_TRUE(reg->voci.isEmpty());
    st->FineStampa();
}

}  // namespace

namespace {

// Left and right edges of every word of a PDF's first page, in millimetres,
// as pdftotext measures them.
struct Parola {
    QString testo;
    double xMin, xMax;
};
QList<Parola> paroleDelPdf(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                                          QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000)) return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression parola(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    QList<Parola> r;
    const double mm = 25.4 / 72.0;
    for (auto it = parola.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        r.append({m.captured(3), m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm});
    }
    return r;
}

// The page header on an A4 PDF with the default page parameters (margins and
// offsets of 1 mm): every text lies between the two margins, measured from
// the page origin, never pushed past them by the offset.
TEST_F(TestataTest, OnThePdfTheHeaderStaysWithinItsMargins) {
    QTemporaryDir dir;
    opz->oiStaVid = OpzSta::Stampante;
    opz->osNomeStampante = QStringLiteral("PDF995");
    opz->ImpOpzione("PdfAutomAbil", 12, Valore(true));
    serviziLavoroStampa().LeggiParEmail = [&](const QString& nome) {
        return nome == QLatin1String("PdfNomeFile") ? Valore(dir.filePath("testata")) : Valore();
    };
    auto st = conFont();
    ASSERT_DOUBLE_EQ(st->LeggiDx(), 1);
    ASSERT_DOUBLE_EQ(st->LeggiMrDes(), 1);
    st->AvviaDocumento();
    st->ImpVert(st->LeggiMrAlt());
    StampaTestataPag(*st, "Liquidazione Iva Periodica", 0, Valore(), false, "", "", "Rossi spa", true, 0);
    st->FineStampa();
    const QString pdf = st->LeggiFileUscita();
    ASSERT_TRUE(pdf.endsWith(".pdf")) << pdf.toStdString();

    const QList<Parola> parole = paroleDelPdf(pdf);
    ASSERT_GE(parole.size(), 6) << "pdftotext found no text in " << pdf.toStdString();
    double destra = 0;
    for (const Parola& p : parole) {
        SCOPED_TRACE(p.testo.toStdString());
        EXPECT_GE(p.xMin, 1.9);   // origin 1 mm + left margin 1 mm
        EXPECT_LE(p.xMax, 209.1);  // sheet 210 mm less the right margin
        destra = qMax(destra, p.xMax);
    }
    // The right-aligned texts end at the right margin.
    EXPECT_GT(destra, 207.5);
}

}  // namespace
