#include "components/stampa/Stampa.h"
#include "support/LettoreXlsx.h"

#include "components/core/ErroreRun.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/stampa/FormStampaInCorso.h"
#include "components/stampa/RetroPittore.h"
#include "components/stampanti/StampantiFinte.h"
#include "contesto/Contesto.h"
#include "support/AppTest.h"

#include <QApplication>
#include <QFile>
#include <QPrinterInfo>
#include <QPageSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray leggi(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Proprietario : public ChiamanteStampa {
public:
    QList<int> scritti;
    void oiStaAtt(int v) override {
        scritti << v;
        ChiamanteStampa::oiStaAtt(v);
    }
    int oiStaAtt() const override { return ChiamanteStampa::oiStaAtt(); }
};

class BoxFinto : public FormStampaInCorso {
public:
    int chiusure = 0;
    QList<int> pagine;
    void MostraInCorso() override {}
    void ScaricaInCorso() override { ++chiusure; }
    void ImpPaginaInCorso(int pagina) override { pagine << pagina; }
    bool ChiediEmailLogPwd() override { return false; }
};

class StampaTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<Contesto> c = std::make_shared<Contesto>();
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<OpzSta> opz = std::make_shared<OpzSta>();
    Proprietario proprietario;

    void SetUp() override {
        AppTest();
        c->ggDialoghi = dialoghi;
        ImpostaContesto(c);
    }
    void TearDown() override {
        RegistroStampa::Installa(nullptr);
        ImpostaContesto(nullptr);
    }
    // A print object with the slots the reports use.
    std::unique_ptr<Stampa> nuova() {
        auto st = std::make_unique<Stampa>();
        st->ogOpzSta = opz;
        st->ImpChiamante(&proprietario);
        FontSta fs;
        fs.FontCorrente() = FontStd{QStringLiteral("arial"), 8, false};
        st->ImpFont(fs, QStringLiteral("CorpoCampo"));
        fs.FontCorrente() = FontStd{QStringLiteral("arial"), 12, true};
        st->ImpFont(fs, QStringLiteral("TestaTitolo"));
        return st;
    }
};

TEST_F(StampaTest, FontSlotsKeepACopyAndHandBackTheStoredFont) {
    Stampa st;
    FontSta fs;
    fs.FontCorrente().Name = QStringLiteral("arial");
    fs.FontCorrente().Size = 9;
    st.ImpFont(fs, QStringLiteral("Uno"));
    fs.FontCorrente().Size = 12;  // the holder changes, the slot does not
    EXPECT_EQ(st.LeggiFont(QStringLiteral("uno")).FontCorrente().Size, 9);

    FontSta slot = st.LeggiFont(QStringLiteral("Uno"));
    ASSERT_TRUE(slot.FontDefinito());
    slot.FontCorrente().Bold = true;  // a change through the handed-back holder changes the slot
    EXPECT_TRUE(st.LeggiFont(QStringLiteral("Uno")).FontCorrente().Bold);
    EXPECT_FALSE(st.LeggiFont(QStringLiteral("Nessuno")).FontDefinito());

    EXPECT_EQ(FamigliaInstallata("Arial"), "Liberation Sans");
    EXPECT_EQ(FamigliaInstallata("times new roman"), "Liberation Serif");
    EXPECT_EQ(FamigliaInstallata("Courier New"), "Liberation Mono");
    EXPECT_EQ(FamigliaInstallata("DejaVu Sans"), "DejaVu Sans");
}

// The recording keeps every call with page, slot, box, alignment and text.
TEST_F(StampaTest, RecordingKeepsTheLayoutExactly) {
    RegistroInstallato reg;
    auto st = nuova();
    st->ImpMrSin(5);
    st->ImpMrDes(7);
    st->ImpMrAlt(12);
    st->AvviaDocumento();
    st->UsaFont(QStringLiteral("TestaTitolo"));
    st->ImpSinistra(0);
    st->ImpDestra(0);
    st->ImpAllineamento(QStringLiteral("c"));
    st->StampaTesto(0, QStringLiteral("Titolo"));
    st->NuovaRiga();
    st->UsaFont(QStringLiteral("CorpoCampo"));
    st->ImpSinistra(30);
    st->ImpDestra(80);
    st->ImpAllineamento(QStringLiteral("D"));
    st->StampaTesto(0, QStringLiteral("1.234,56"));
    QImage img(10, 5, QImage::Format_RGB32);
    st->StampaImmagine(img, 0, 0, 202.18, 286);
    st->NuovaPagina();
    st->ImpVert(40);
    st->ImpAllineamento(QStringLiteral("S"));
    st->StampaTesto(0, QStringLiteral("Seconda"));
    st->FineStampa();

    const double riga12 = 12 * 25.4 / 72 * 1.15;
    const QStringList attese = {
        "1 AvviaDocumento",
        "1 StampaTesto TestaTitolo C [0.00,0.00]@12.00 \"Titolo\"",
        "1 NuovaRiga",
        QStringLiteral("1 StampaTesto CorpoCampo D [30.00,80.00]@%1 \"1.234,56\"").arg(12 + riga12, 0, 'f', 2),
        "1 StampaImmagine 0.00,0.00 202.18x286.00",
        "2 NuovaPagina",
        "2 StampaTesto CorpoCampo S [30.00,80.00]@40.00 \"Seconda\"",
        "2 FineStampa",
    };
    EXPECT_EQ(reg->Righe(), attese);
    // The box the text was laid in: margins stand for edges 0.
    const auto testi = reg->DiTipo("StampaTesto");
    EXPECT_DOUBLE_EQ(testi[0].scatola.left(), 5);
    EXPECT_DOUBLE_EQ(testi[0].scatola.right(), 210 - 7);
    EXPECT_EQ(reg->DiTipo("StampaImmagine")[0].dimImmagine, QSize(10, 5));
    EXPECT_EQ(proprietario.scritti, QList<int>{0});
}

TEST_F(StampaTest, ColumnsLieOneAfterTheOtherAndASetRestartsAtTheMargin) {
    RegistroInstallato reg;
    auto st = nuova();
    st->ImpMrSin(10);
    st->UsaFont(QStringLiteral("CorpoCampo"));
    const int a = st->DefColonna(QStringLiteral("999.999"), 7, QStringLiteral("P"));
    const int b = st->DefColonna(QStringLiteral("MMMMMMMMMM"), 10, QString());
    const int g = st->DefColonna(QStringLiteral("MMM"), 3, QStringLiteral("P"));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(g, 3);
    EXPECT_DOUBLE_EQ(st->LeggiSinColonna(a), 10);
    EXPECT_NEAR(st->LeggiDesColonna(a) - st->LeggiSinColonna(a), st->LarghezzaTesto("999.999"), 1e-9);
    EXPECT_GT(st->LeggiSinColonna(b), st->LeggiDesColonna(a));
    EXPECT_DOUBLE_EQ(st->LeggiSinColonna(g), 10);
    EXPECT_GT(st->LarghezzaTesto("MMMMMMMMMM"), st->LarghezzaTesto("iiiiiiiiii"));

    st->AvviaDocumento();
    st->ImpAllineamento(QStringLiteral("D"));
    st->StampaColonna(b, Valore(QStringLiteral("Rossi")), true, 0, "", "");
    const auto v = reg->DiTipo("StampaColonna");
    ASSERT_EQ(v.size(), 1);
    EXPECT_EQ(v[0].colonna, b);
    EXPECT_EQ(v[0].allineamento, "D");
    EXPECT_DOUBLE_EQ(v[0].sinistra, st->LeggiSinColonna(b));
    EXPECT_THROW(st->StampaColonna(9, Valore(1), true, 0, "", ""), ErroreRun);
    st->FineStampa();
}

TEST_F(StampaTest, RoomOnThePageFollowsTheBottomMargin) {
    RegistroInstallato reg;
    auto st = nuova();
    st->UsaFont(QStringLiteral("CorpoCampo"));
    st->ImpMrBas(10);
    st->AvviaDocumento();
    const double h = st->AltezzaRiga();
    st->ImpVert(297 - 10 - 2 * h + 0.01);
    EXPECT_FALSE(st->VerificaSpazio(1, "", 0));
    EXPECT_TRUE(st->VerificaSpazio(2, "", 0));
    st->FineStampa();
}

// Route 2: fields of a line joined by the separator, qualified as the format asks.
TEST_F(StampaTest, TextFileRouteWritesSeparatedQualifiedFields) {
    struct Caso {
        int formato;
        QString qualifica;
        QByteArray atteso;
    } casi[] = {
        {OpzSta::CompatibileExcel, "\"", "Ditta: Rossi;\"a;b\";\"dice \"\"ciao\"\"\"\r\nPag. 1\r\n"},
        {OpzSta::Testo, "\"", "Ditta: Rossi;a;b;dice \"ciao\"\r\nPag. 1\r\n"},
        {OpzSta::CompatibileExcel, "", "Ditta: Rossi;a;b;dice \"ciao\"\r\nPag. 1\r\n"},
    };
    for (const auto& caso : casi) {
        opz->oiStaVid = OpzSta::File;
        opz->FileForm = caso.formato;
        opz->DelimStr = caso.qualifica;
        opz->SepCampi = ";";
        opz->FileName = dir.filePath("uscita.csv");
        auto st = nuova();
        st->AvviaDocumento();
        st->StampaTesto(0, QStringLiteral("Ditta: Rossi§ç^&£seconda").left(caso.formato == OpzSta::FormatoExcel ? 99 : 12));
        st->StampaTesto(0, QStringLiteral("a;b"));
        st->StampaTesto(0, QStringLiteral("dice \"ciao\""));
        st->NuovaRiga();
        st->StampaTesto(0, QStringLiteral("Pag. 1"));
        st->FineStampa();
        EXPECT_EQ(leggi(opz->FileName), caso.atteso) << caso.formato;
        EXPECT_EQ(st->LeggiFileUscita(), opz->FileName);
    }
}

// The spreadsheet format is a real workbook: one row per line, a field split
// at the column marker, numbers the Italian way as number cells with the
// report's format, or plain when the options ask for it; codes stay text.
TEST_F(StampaTest, SpreadsheetFormatWritesAWorkbookWithNumberCells) {
    struct Atteso {
        const char* cella;
        const char* testo;
        bool numero;
        const char* formato;
    };
    struct Caso {
        const char* nome;
        bool senzaFormato;
        QList<Atteso> celle;
    } casi[] = {
        {.nome = "formatted",
         .senzaFormato = false,
         .celle = {{"A1", "Ditta: Rossi", false, ""},
                   {"B1", "seconda", false, ""},
                   {"C1", "a;b", false, ""},
                   {"D1", "dice \"ciao\"", false, ""},
                   {"A2", "1234.56", true, "#,##0.00"},
                   {"B2", "-2", true, "0"},
                   {"C2", "0.5", true, "0.0"},
                   {"D2", "00123", false, ""},
                   {"E2", "12/03/2018", false, ""}}},
        {.nome = "plain numbers",
         .senzaFormato = true,
         .celle = {{"A2", "1234.56", true, ""}, {"B2", "-2", true, ""}, {"D2", "00123", false, ""}}},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        opz->oiStaVid = OpzSta::File;
        opz->FileForm = OpzSta::FormatoExcel;
        opz->NumNoForm = caso.senzaFormato;
        opz->FileName = dir.filePath("uscita.xlsx");
        auto st = nuova();
        st->AvviaDocumento();
        st->StampaTesto(0, QStringLiteral("Ditta: Rossi§ç^&£seconda"));
        st->StampaTesto(0, QStringLiteral("a;b"));
        st->StampaTesto(0, QStringLiteral("dice \"ciao\""));
        st->NuovaRiga();
        for (const char* t : {"1.234,56", "-2", "0,5", "00123", "12/03/2018"}) st->StampaTesto(0, QString::fromLatin1(t));
        st->FineStampa();
        EXPECT_EQ(st->LeggiFileUscita(), opz->FileName);
        const LettoreXlsx x(opz->FileName);
        ASSERT_TRUE(x.valido);
        for (const auto& a : caso.celle) {
            SCOPED_TRACE(a.cella);
            const CellaXlsx c = x.celle.value(QString::fromLatin1(a.cella));
            EXPECT_EQ(c.testo, QString::fromUtf8(a.testo));
            EXPECT_EQ(c.numero, a.numero);
            EXPECT_EQ(c.formato, QString::fromLatin1(a.formato));
        }
    }
}

// Fixed width to a printer: the lines reach its CUPS queue whole and raw, and
// a queue that refuses them is an error of the print, never a silent loss.
TEST_F(StampaTest, FixedWidthToAPrinterGoesToItsQueue) {
    auto stampanti = std::make_shared<StampantiFinte>();
    stampanti->stampanti = {{"Aghi", "usb://epson/lq"}};
    ImpostaServizioStampanti(stampanti);
    // A stand-in for lp that keeps its arguments and the text it was given.
    const QString bin = dir.filePath("bin");
    QDir().mkpath(bin);
    const QString ricevuto = dir.filePath("ricevuto");
    {
        QFile lp(bin + "/lp");
        ASSERT_TRUE(lp.open(QIODevice::WriteOnly));
        lp.write(("#!/bin/sh\n[ \"$2\" = Rotta ] && { echo 'coda inesistente' >&2; exit 1; }\n"
                  "echo \"$@\" > '" + ricevuto + ".arg'\ncat \"$5\" > '" + ricevuto + "'\n").toUtf8());
        lp.setPermissions(lp.permissions() | QFileDevice::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8() + ":" + path);
    struct Caso {
        const char* nome;
        const char* destinazione;
        const char* coda;  // empty: refused
    } casi[] = {
        {.nome = "by port", .destinazione = "usb://epson/lq", .coda = "Aghi"},
        {.nome = "by name", .destinazione = "aghi", .coda = "Aghi"},
        {.nome = "queue that refuses", .destinazione = "Rotta", .coda = ""},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        QFile::remove(ricevuto);
        opz->oiStaVid = OpzSta::LarghezzaFissa;
        opz->FisStampante = true;
        opz->FisFileName = QString::fromLatin1(k.destinazione);
        opz->FisRighe = 0;
        auto st = nuova();
        st->AvviaDocumento();
        st->StampaTesto(0, QStringLiteral("Liquidazione"));
        if (*k.coda) {
            st->FineStampa();
            EXPECT_EQ(leggi(ricevuto), "Liquidazione\r\n");
            EXPECT_TRUE(leggi(ricevuto + ".arg").startsWith("-d " + QByteArray(k.coda) + " -o raw /"));
        } else {
            try {
                st->FineStampa();
                ADD_FAILURE() << "refused queue reported as done";
            } catch (const ErroreRun& e) {
                EXPECT_TRUE(e.descrizione().contains("coda inesistente")) << e.descrizione().toStdString();
            }
        }
    }
    qputenv("PATH", path);
    ImpostaServizioStampanti(nullptr);
}

// The paper size of the options sets the page of the printer and the PDF.
TEST_F(StampaTest, PaperSizeOfTheOptionsSetsThePage) {
    RegistroInstallato reg;
    opz->oiStaVid = OpzSta::Stampante;
    opz->ImpOpzione("NumTipoCarta", 12, QPageSize(QPageSize::A5).windowsId());
    auto st = nuova();
    st->AvviaDocumento();
    EXPECT_NEAR(st->LeggiLargPag(), 148, 0.5);
    EXPECT_NEAR(st->LeggiAltPag(), 210, 0.5);
    st->FineStampa();
}

TEST_F(StampaTest, FileRoutesWriteWindows1252AndReportAFileThatCannotBeWritten) {
    opz->oiStaVid = OpzSta::File;
    opz->FileName = dir.filePath("euro.txt");
    auto st = nuova();
    st->AvviaDocumento();
    st->StampaTesto(0, QStringLiteral("€ àè"));
    st->FineStampa();
    EXPECT_EQ(leggi(opz->FileName), QByteArray("\x80 \xE0\xE8\r\n"));

    opz->FileName = dir.filePath("manca/cartella/x.txt");
    auto st2 = nuova();
    ctx().giStaAtt = 1;
    EXPECT_THROW(st2->AvviaDocumento(), ErroreRun);
    st2->FineStampa();
    EXPECT_EQ(ctx().giStaAtt, 0);
}

// Route 3: fields in columns of characters, RigaFis, pages of FisRighe lines.
TEST_F(StampaTest, FixedWidthRouteWritesColumnsAndPages) {
    opz->oiStaVid = OpzSta::LarghezzaFissa;
    opz->FisFileName = dir.filePath("fisso.txt");
    opz->FisColonne = 30;
    opz->FisRighe = 4;
    opz->FisMrAlt = 1;
    opz->FisMrBas = 0;
    auto st = nuova();
    const int a = st->DefColonna(QStringLiteral("9999"), 5, QStringLiteral("P"));
    const int b = st->DefColonna(QStringLiteral("XXXXXXXX"), 8, QString());
    st->AvviaDocumento();
    st->ImpAllineamento(QStringLiteral("S"));
    st->StampaTesto(0, QStringLiteral("Titolo"));
    EXPECT_EQ(st->LeggiColonnaFis(), 7);  // the text and one blank
    st->RigaFis(3, QStringLiteral("."), QStringLiteral(";"), true);
    st->ImpAllineamento(QStringLiteral("D"));
    st->StampaTesto(6, QStringLiteral("ab"));
    st->RigaFis(0, "", "", true);
    st->ImpAllineamento(QStringLiteral("S"));
    st->StampaColonna(b, Valore(QStringLiteral("Rossi")), true, 0, "", "");
    st->ImpAllineamento(QStringLiteral("D"));
    st->StampaColonna(a, Valore(QStringLiteral("12")), true, 0, "", "");
    st->NuovaRiga();
    EXPECT_FALSE(st->VerificaSpazio(1, "", 0));
    EXPECT_TRUE(st->VerificaSpazio(2, "", 0));
    st->NuovaPagina();
    st->StampaTesto(0, QStringLiteral("Pagina due"));
    st->FineStampa();
    EXPECT_EQ(leggi(opz->FisFileName), QByteArray("\r\nTitolo ...    ab\r\n   12 Rossi\r\n\f\r\nPagina due\r\n"));
}

TEST_F(StampaTest, StartCheckRefusesAJobWithoutPrinterOrTarget) {
    const bool stampanti = !QPrinterInfo::availablePrinterNames().isEmpty();
    struct Caso {
        int percorso;
        QString stampante;
        bool rifiuta;
        const char* testo;
    } casi[] = {
        {OpzSta::Stampante, "NessunaStampanteConQuestoNome", true, "La stampante \"NessunaStampanteConQuestoNome\" non è disponibile"},
        {OpzSta::File, "", true, "Manca il nome del file di stampa"},
        {OpzSta::LarghezzaFissa, "", true, "Manca il file della stampa a larghezza fissa"},
        {OpzSta::Video, "", false, ""},
        {7, "", true, "Modalità di stampa 7 non prevista"},
    };
    // A route the print has excluded is refused even when saved options name it.
    {
        dialoghi->mostrati.clear();
        opz->oiStaVid = OpzSta::LarghezzaFissa;
        opz->FisFileName = dir.filePath("stampa.prn");
        opz->ModoEscluso(OpzSta::LarghezzaFissa, true);
        bool no = false;
        EXPECT_TRUE(nuova()->VerificaAvvio(1, no));
        EXPECT_EQ(dialoghi->testi(), QStringList{"Questa stampa non può essere inviata alla destinazione scelta.\r\n"
                                                 "Scegliere un'altra destinazione nelle opzioni di stampa."});
        opz->ModoEscluso(OpzSta::LarghezzaFissa, false);
    }
    for (const auto& caso : casi) {
        dialoghi->mostrati.clear();
        opz->oiStaVid = caso.percorso;
        opz->osNomeStampante = caso.stampante;
        opz->FileName.clear();
        opz->FisFileName.clear();
        auto st = nuova();
        bool no = false;
        EXPECT_EQ(st->VerificaAvvio(1, no), caso.rifiuta) << caso.percorso;
        EXPECT_EQ(no, caso.rifiuta);
        bool altro = false;
        EXPECT_EQ(st->ControllaAvvio(1, altro), caso.rifiuta);
        if (caso.rifiuta) {
            ASSERT_FALSE(dialoghi->mostrati.isEmpty());
            EXPECT_TRUE(dialoghi->mostrati[0].testo.startsWith(QString::fromUtf8(caso.testo))) << dialoghi->mostrati[0].testo.toStdString();
        }
    }
    // A writer that does not ask gets an error, not a print that did nothing.
    opz->oiStaVid = 7;
    EXPECT_THROW(nuova()->AvviaDocumento(), ErroreRun);
    if (!stampanti) {
        // No printer on this machine: printing to the default printer is refused, not crashed.
        opz->oiStaVid = OpzSta::Stampante;
        opz->osNomeStampante.clear();
        auto st = nuova();
        bool no = false;
        EXPECT_TRUE(st->VerificaAvvio(1, no));
        ctx().giStaAtt = 1;
        EXPECT_THROW(st->AvviaDocumento(), ErroreRun);
        st->FineStampa();
        EXPECT_EQ(ctx().giStaAtt, 0);
    }
}

TEST_F(StampaTest, AStopEndsTheDrawingAndTheOwnerIsToldOnEveryEnd) {
    RegistroInstallato reg;
    {
        auto st = nuova();
        st->AvviaDocumento();
        st->StampaTesto(0, QStringLiteral("prima"));
        st->ImpInterruzione(1);
        EXPECT_TRUE(st->LeggiAnnullata());
        st->StampaTesto(0, QStringLiteral("dopo"));
        st->NuovaPagina();
        EXPECT_EQ(st->LeggiNumPag(), 1);
        st->FineStampa();
        EXPECT_EQ(reg->Testi(), QStringList{"prima"});
        st->ImpInterruzione(0);
        EXPECT_FALSE(st->LeggiAnnullata());
    }
    // A document nobody ended: releasing the object frees the flag.
    proprietario.scritti.clear();
    ctx().giStaAtt = 1;
    {
        auto st = nuova();
        st->AvviaDocumento();
    }
    EXPECT_EQ(proprietario.scritti, QList<int>{0});
    EXPECT_EQ(ctx().giStaAtt, 0);
    // FineStampa of a job that never started a document still ends the print.
    ctx().giStaAtt = 1;
    nuova()->FineStampa();
    EXPECT_EQ(ctx().giStaAtt, 0);
}

// The print-in-progress box goes once however the print ends.
TEST_F(StampaTest, TheProgressBoxGoesOnEveryEnd) {
    RegistroInstallato reg;
    const QList<QPair<const char*, std::function<void(Stampa&)>>> casi = {
        {"ended", [](Stampa& st) { st.AvviaDocumento(); st.FineStampa(); }},
        {"stopped", [](Stampa& st) { st.AvviaDocumento(); st.ImpInterruzione(1); st.NuovaPagina(); st.FineStampa(); }},
        {"never started", [](Stampa& st) { st.FineStampa(); }},
        {"failed at the start", [&](Stampa& st) {
             opz->oiStaVid = OpzSta::File;
             opz->FileName = dir.filePath("manca/x.csv");
             EXPECT_THROW(st.AvviaDocumento(), ErroreRun);
             st.FineStampa();
         }},
        {"released unended", [](Stampa& st) { st.AvviaDocumento(); }},
    };
    for (const auto& [nome, lavoro] : casi) {
        opz->oiStaVid = OpzSta::Video;
        BoxFinto box;
        {
            auto st = nuova();
            st->ofrmStampaInCorso = &box;
            lavoro(*st);
        }
        EXPECT_EQ(box.chiusure, 1) << nome;
    }

    // Each page started shows its number on the box, whoever writes the pages.
    BoxFinto box;
    opz->oiStaVid = OpzSta::Stampante;
    auto st = nuova();
    st->ofrmStampaInCorso = &box;
    st->AvviaDocumento();
    st->NuovaPagina();
    st->NuovaPagina();
    st->FineStampa();
    EXPECT_EQ(box.pagine, (QList<int>{1, 2, 3}));
}

TEST_F(StampaTest, NamedParametersOptionsAndPdfCommand) {
    Stampa st;
    st.ImpParametro("AttendiPdfNoStampa", 12, Valore(-1));
    EXPECT_EQ(st.LeggiParametro("attendipdfnostampa").intero(), -1);
    st.ogOpzSta = opz;
    Valore r;
    EXPECT_FALSE(st.LanciaComandoSta("AttivaPdfAutom", 12, r));
    EXPECT_FALSE(r.booleano());
    opz->ImpOpzione("PdfAutomAbil", 12, Valore(true));
    opz->osNomeStampante = "PDFCreator";
    opz->ImpOpzione("PdfNomeFile", 12, Valore(QStringLiteral("Report_1")));
    opz->PathDefault = dir.path();
    EXPECT_TRUE(st.LanciaComandoSta("AttivaPdfAutom", 12, r));
    EXPECT_TRUE(r.booleano());
    EXPECT_EQ(st.PercorsoEffettivo(), Stampa::PercorsoPdf);
    // The same object in a later job whose options no longer ask for the PDF prints.
    opz->ImpOpzione("PdfAutomAbil", 12, Valore(false));
    EXPECT_EQ(st.PercorsoEffettivo(), OpzSta::Stampante);
    opz->ImpOpzione("PdfAutomAbil", 12, Valore(true));
    opz->oiStaVid = OpzSta::Video;  // the preview never goes to the PDF
    EXPECT_FALSE(st.LanciaComandoSta("AttivaPdfAutom", 12, r));

    EXPECT_TRUE(opz->LeggiOpzione("MaiImpostata").eVuoto());
    opz->ModoEscluso(3, true);
    EXPECT_TRUE(opz->ModoEscluso(3));
    EXPECT_FALSE(opz->ModoEscluso(2));
    opz->oiStaVid = OpzSta::File;
    opz->FileName = "x.csv";
    opz->FileForm = 1;
    EXPECT_EQ(opz->DescrStampante("HP"), "File: x.csv (Testo)");
    opz->oiStaVid = OpzSta::Stampante;
    opz->osNomeStampante.clear();
    QString d;
    opz->DescrStampante("HP", d);
    EXPECT_EQ(d, "Stampante: HP");
}

int contaPaginePdf(const QByteArray& pdf) {
    int n = 0;
    for (qsizetype i = pdf.indexOf("/Type /Page"); i >= 0; i = pdf.indexOf("/Type /Page", i + 1))
        if (pdf.mid(i + 11, 1) != "s") ++n;
    return n;
}

// Real rendering, offscreen: the same pages to a PDF file and to images.
TEST_F(StampaTest, RendersPagesToPdfAndToImages) {
    auto disegna = [&](Stampa& st) {
        st.AvviaDocumento();
        st.UsaFont(QStringLiteral("TestaTitolo"));
        st.ImpAllineamento(QStringLiteral("C"));
        st.StampaTesto(0, QStringLiteral("COMUNICAZIONE LIQUIDAZIONE IVA"));
        st.NuovaPagina();
        st.UsaFont(QStringLiteral("CorpoCampo"));
        st.StampaTesto(0, QStringLiteral("Seconda pagina"));
        st.FineStampa();
    };
    // PDF through the automatic PDF route.
    opz->oiStaVid = OpzSta::Stampante;
    opz->osNomeStampante = "PDF995";
    opz->ImpOpzione("PdfAutomAbil", 12, Valore(true));
    opz->ImpOpzione("PdfNomeFile", 12, Valore(dir.filePath("prova")));
    auto pdf = nuova();
    Valore r;
    ASSERT_TRUE(pdf->LanciaComandoSta("AttivaPdfAutom", 12, r));
    disegna(*pdf);
    const QByteArray dati = leggi(dir.filePath("prova.pdf"));
    ASSERT_TRUE(dati.startsWith("%PDF"));
    EXPECT_EQ(contaPaginePdf(dati), 2);
    EXPECT_EQ(pdf->PagineProdotte(), 2);
    EXPECT_EQ(pdf->LeggiFileUscita(), dir.filePath("prova.pdf"));

    // Images through a back end of the test's choice.
    auto img = nuova();
    auto retro = RetroPittore::PerImmagini(100);
    RetroPittore* pittore = retro.get();
    img->ImpRetro(std::move(retro));
    disegna(*img);
    ASSERT_EQ(pittore->Immagini().size(), 2);
    const QImage pagina = pittore->Immagini()[0];
    EXPECT_EQ(pagina.width(), qRound(210 * 100 / 25.4));
    // Text was drawn: dark pixels near the top margin, none at the bottom.
    auto scuri = [&](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < pagina.width(); ++x)
                if (qGray(pagina.pixel(x, y)) < 128) ++n;
        return n;
    };
    const int cima = qRound(10 * 100 / 25.4);
    EXPECT_GT(scuri(cima, cima + 60), 50);
    EXPECT_EQ(scuri(pagina.height() - 100, pagina.height()), 0);
}

TEST_F(StampaTest, APictureShrunkOntoAPageImageKeepsItsThinLines) {
    // A form picture of 1-pixel lines, one every 7 pixels, drawn 7 times
    // smaller: each line of the page image covers one line of the picture.
    QImage modulo(700, 700, QImage::Format_RGB32);
    modulo.fill(Qt::white);
    for (int y = 0; y < 700; y += 7)
        for (int x = 0; x < 700; ++x) modulo.setPixel(x, y, qRgb(0, 0, 0));
    opz->oiStaVid = OpzSta::Video;
    auto st = nuova();
    auto retro = RetroPittore::PerImmagini(25.4);  // one pixel a millimetre
    RetroPittore* pittore = retro.get();
    st->ImpRetro(std::move(retro));
    st->AvviaDocumento();
    st->StampaImmagine(modulo, 10, 10, 100, 100);
    st->FineStampa();
    ASSERT_EQ(pittore->Immagini().size(), 1);
    const QImage pagina = pittore->Immagini()[0];
    int righeVisibili = 0;
    for (int y = 12; y < 108; ++y) {
        int somma = 0;
        for (int x = 20; x < 100; ++x) somma += qGray(pagina.pixel(x, y));
        if (somma / 80 < 240) ++righeVisibili;
    }
    // Sampling one row in seven would miss nearly every line.
    EXPECT_EQ(righeVisibili, 96);
}

TEST_F(StampaTest, ThePageRangeLimitsThePdf) {
    opz->oiStaVid = OpzSta::Stampante;
    opz->osNomeStampante = "PDFCreator";
    opz->ImpOpzione("PdfAutomAbil", 12, Valore(true));
    opz->ImpOpzione("PdfNomeFile", 12, Valore(dir.filePath("intervallo.pdf")));
    opz->ImpOpzione("PaginaDa", 2, Valore(2));
    opz->ImpOpzione("PaginaA", 2, Valore(3));
    auto st = nuova();
    Valore r;
    ASSERT_TRUE(st->LanciaComandoSta("AttivaPdfAutom", 12, r));
    st->AvviaDocumento();
    for (int p = 1; p <= 4; ++p) {
        if (p > 1) st->NuovaPagina();
        st->StampaTesto(0, QStringLiteral("Pagina %1").arg(p));
    }
    st->FineStampa();
    EXPECT_EQ(contaPaginePdf(leggi(dir.filePath("intervallo.pdf"))), 2);
    EXPECT_EQ(st->PagineProdotte(), 2);
}

}  // namespace
