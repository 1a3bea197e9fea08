#include "print/lista/FrmComlinStampa.h"

#include "components/db/GestoreDb.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/stampa/OpzSta.h"
#include "components/stampa/RetroStampa.h"
#include "components/stampanti/StampantiFinte.h"
#include "print/anteprima/FrmVStampa.h"
#include "print/lavoro/LavoroStampa.h"
#include "print/opzioni/FrmSceltaStam.h"
#include "print/opzioni/OpzioniIni.h"
#include "contesto/Contesto.h"
#include "support/AnteprimaScriptata.h"
#include "support/AppTest.h"
#include "support/Fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <algorithm>

namespace {

// A list screen reduced to what the print asks of it.
class ListaMinima : public OspiteLista {
public:
    QString PrepSql(const QString&) override { return {}; }
    bool VerSelez() override { return true; }
    QString PersListaVarie(int, LisCampo&, QList<Valore>&) override { return {}; }
    void SettaRecordset(const QString&) override {}
    void PersColonne() override {}
    void ovfrmBookmark(const QString&) override {}
    void ChiudiFrm() override {}
    void MenuFrm() override {}
    void TornaTestata() override {}
    int Domanda(const RichiestaMsgCom&) override { return 0; }
    QString TitoloLista() const override { return QStringLiteral("Lista Testate"); }
    void oiStaAtt(int v) override { ctx().giStaAtt = v; }
    int oiStaAtt() const override { return ctx().giStaAtt; }
};

class FrmComlinStampaTest : public ::testing::Test {
public:
    void SetUp() override {
        contesto->ggDialoghi = dialoghi;
        stampanti->stampanti = {{"Ufficio", "Ufficio"}, {"PDFCreator", "PDFCreator"}};
        stampanti->predefinita = "Ufficio";
        ImpostaServizioStampanti(stampanti);
        fx.Inserisci(fx.idAzienda, "LiqIvaTest", {{"Anno", 2018}, {"NumCom", 1}, {"CodiceFiscale", "RSSMRA80A01H501U"}});
        fx.Inserisci(fx.idAzienda, "LiqIvaTest", {{"Anno", 2018}, {"NumCom", 2}, {"CodiceFiscale", "01234567897"}});
        lista.ImpForm(&ospite);
        lista.ImpGriglia(&griglia);
        lista.ImpDatabase(fx.gestDb.get(), fx.idAzienda);
        lista.ImpostaRecordset("SELECT Anno, NumCom, CodiceFiscale FROM LiqIvaTest ORDER BY NumCom");
        dialogo.Opzioni()->oiStaVid = OpzSta::Video;
        dialogo.ogComlin = &lista;
    }
    void TearDown() override {
        ImpostaServizioStampanti(nullptr);
        RipristinaServiziLavoroStampa();
    }
    QStringList Colonne(const RegistroStampa& r) {
        QStringList t;
        for (const VoceStampa& v : r.DiTipo("StampaColonna")) t << v.testo;
        return t;
    }

    bool app_ = (AppTest(), true);
    FixtureDb fx;
    std::shared_ptr<Contesto> contesto = fx.InstallaContesto();
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<StampantiFinte> stampanti = std::make_shared<StampantiFinte>();
    QTableView griglia;
    ListaMinima ospite;
    Comlin lista;
    FrmComlinStampa dialogo;
};

TEST_F(FrmComlinStampaTest, SceltePredefiniteEScelteDellUtente) {
    griglia.setColumnHidden(2, true);
    const struct Caso {
        const char* nome;
        bool visibili;
        bool orizzontale;
        QStringList intestazione;
        bool largaPiuCheAlta;
    } casi[] = {
        {.nome = "as it opens", .visibili = false, .orizzontale = false, .intestazione = {"Anno", "NumCom", "CodiceFiscale"},
         .largaPiuCheAlta = false},
        {.nome = "visible, landscape", .visibili = true, .orizzontale = true, .intestazione = {"Anno", "NumCom"},
         .largaPiuCheAlta = true},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        RegistroInstallato registro;
        lista.ogSta().ImpRegistro(registro.registro);
        dialogo.ogComlin = &lista;
        dialogo.OptTipsta[c.visibili ? 0 : 1]->setChecked(true);
        dialogo.OptOrientamento[c.orizzontale ? 0 : 1]->setChecked(true);
        dialogo.CmdStampa_Click();
        EXPECT_EQ(Colonne(*registro.registro).mid(0, c.intestazione.size()), c.intestazione);
        EXPECT_EQ(Colonne(*registro.registro).size(), c.intestazione.size() * 3);
        EXPECT_EQ(lista.ogSta().LeggiLargPag() > lista.ogSta().LeggiAltPag(), c.largaPiuCheAlta);
        EXPECT_EQ(lista.ogSta().LeggiFont("CorpoCampo").FontCorrente().Size, 10);
        EXPECT_EQ(dialogo.ogComlin, &lista) << "the list stays while the dialog is open";
        EXPECT_EQ(contesto->giStaAtt, 0);
    }
}

TEST_F(FrmComlinStampaTest, UnaStampaAllaVolta) {
    RegistroInstallato registro;
    lista.ogSta().ImpRegistro(registro.registro);
    contesto->giStaAtt = 1;
    dialogo.CmdStampa_Click();
    EXPECT_EQ(dialoghi->testi(), QStringList{"Si può lanciare solo una stampa alla volta"});
    EXPECT_TRUE(registro->voci.isEmpty());
}

TEST_F(FrmComlinStampaTest, StampanteNonDisponibileFermaLaStampaSenzaToccareLaPredefinita) {
    RegistroInstallato registro;
    lista.ogSta().ImpRegistro(registro.registro);
    dialogo.Opzioni()->oiStaVid = OpzSta::Stampante;
    dialogo.Opzioni()->osNomeStampante = "Magazzino";
    dialogo.CmdStampa_Click();
    ASSERT_EQ(dialoghi->testi().size(), 1);
    EXPECT_EQ(dialoghi->testi()[0], "Impossibile impostare la stampante predefinita\nper stampare su Magazzino uscire dal "
                                    "programma e rientrare\nOppure scegliere un'altra stampante");
    EXPECT_TRUE(registro->voci.isEmpty());
    EXPECT_EQ(stampanti->predefinita, "Ufficio");

    dialogo.Opzioni()->osNomeStampante = "PDFCreator";
    dialogo.CmdStampa_Click();
    EXPECT_FALSE(registro->voci.isEmpty()) << "an installed printer prints";
    EXPECT_EQ(stampanti->predefinita, "Ufficio") << "the chosen printer serves this print only";
}

TEST_F(FrmComlinStampaTest, FileEPdf) {
    QTemporaryDir dir;
    const struct Caso {
        const char* nome;
        int percorso;
        bool pdf;
        QString file;
    } casi[] = {
        {.nome = "text file", .percorso = OpzSta::File, .pdf = false, .file = dir.filePath("lista.csv")},
        {.nome = "automatic PDF", .percorso = OpzSta::Stampante, .pdf = true, .file = dir.filePath("lista.pdf")},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        auto opz = dialogo.Opzioni();
        opz->oiStaVid = c.percorso;
        opz->FileName = c.file;
        opz->FileForm = OpzSta::Testo;
        opz->PathDefault = dir.path();
        opz->osNomeStampante = c.pdf ? "PDFCreator" : "";
        opz->ImpOpzione("PdfAutomAbil", 11, Valore(c.pdf));
        serviziLavoroStampa().LeggiParEmail = [](const QString& n) {
            return n == "PdfNomeFile" ? Valore(QStringLiteral("lista")) : Valore(QString());
        };
        dialogo.ogComlin = &lista;
        dialogo.CmdStampa_Click();
        EXPECT_TRUE(dialoghi->testi().isEmpty()) << dialoghi->testi().join(" | ").toStdString();
        QFile f(c.file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << QDir(dir.path()).entryList().join(" ").toStdString();
        const QByteArray dati = f.readAll();
        if (c.pdf) EXPECT_TRUE(dati.startsWith("%PDF"));
        else EXPECT_TRUE(dati.contains("RSSMRA80A01H501U")) << dati.toStdString();
    }
}

// A word of a PDF page as pdftotext reads it, in points from the top left.
struct ParolaPdf {
    QString testo;
    double sin, alto, des;
};

QList<ParolaPdf> ParolePdf(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression parola(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    QList<ParolaPdf> parole;
    for (auto m = parola.globalMatch(html); m.hasNext();) {
        const auto t = m.next();
        parole.append({t.captured(4).replace(QStringLiteral("&amp;"), QStringLiteral("&")), t.captured(1).toDouble(),
                       t.captured(2).toDouble(), t.captured(3).toDouble()});
    }
    return parole;
}

// "Seleziona Stampante", "Nome file Pdf autom." ticked, "Chiudi", "STAMPA",
// on a machine with no PDF queue: the program writes the PDF itself, in the
// margins of the print options, its columns apart.
TEST_F(FrmComlinStampaTest, PdfAutomaticoSenzaCodaPdfColonneSeparateEMargini) {
    QTemporaryDir dir;
    stampanti->stampanti = {{"Ufficio", "Ufficio"}};
    auto menu = std::make_shared<MenuClientFinto>();
    menu->ImpostaValore("UsaPdfCreator", "S");
    menu->ImpostaValore("PdfNomeFile", "lista");
    contesto->ggMenuClient = menu;
    contesto->gsFileIni = dir.filePath("qorwin.ini");
    QFile ini(contesto->gsFileIni);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Opzioni Stampa]\r\nMrSin=15\r\nMrAlt=20\r\n");
    ini.close();
    InstallaServiziStampanti();
    fx.Inserisci(fx.idAzienda, "LiqIvaTest", {{"Anno", 2018}, {"NumCom", 3}, {"CodiceFiscale", "DOG/59681"}});
    lista.ImpostaRecordset("SELECT Anno AS AnnoCom, NumCom, 'Ordinaria' AS \"Tipo Invio\", CodiceFiscale AS Rif, "
                           "'Inviata' AS Stato FROM LiqIvaTest ORDER BY NumCom");
    auto opz = dialogo.Opzioni();
    opz->oiStaVid = OpzSta::Stampante;
    opz->PathDefault = dir.path();

    const auto mostra = FrmSceltaStam::MostraModale();
    FrmSceltaStam::MostraModale() = [](FrmSceltaStam& f) {
        f.show();
        f.Form_Activate();
        QApplication::processEvents();
        QTest::mouseClick(f.ChePdfAutom, Qt::LeftButton, {}, QPoint(6, f.ChePdfAutom->height() / 2));
        QTest::mouseClick(f.ComChiudi, Qt::LeftButton);
    };
    QTest::mouseClick(dialogo.comSceStam, Qt::LeftButton);
    FrmSceltaStam::MostraModale() = mostra;
    if (FrmSceltaStam::Caricata()) delete &FrmSceltaStam::Istanza();
    ASSERT_TRUE(opz->LeggiOpzione("PdfAutomAbil").booleano());

    QTest::mouseClick(dialogo.CmdStampa, Qt::LeftButton);
    EXPECT_TRUE(dialoghi->testi().isEmpty()) << dialoghi->testi().join(" | ").toStdString();
    const QString pdf = dir.filePath("lista.pdf");
    ASSERT_TRUE(QFile::exists(pdf)) << QDir(dir.path()).entryList().join(" ").toStdString();

    const QList<ParolaPdf> parole = ParolePdf(pdf);
    QStringList testi;
    for (const ParolaPdf& p : parole) testi << p.testo;
    for (const char* atteso : {"Lista", "AnnoCom", "NumCom", "Tipo", "Invio", "Rif", "Stato", "DOG/59681", "Inviata"})
        EXPECT_TRUE(testi.contains(atteso)) << atteso << " in: " << testi.join(" ").toStdString();
    constexpr double kPuntiMm = 72 / 25.4;
    // On every line a clear gap, not just a hair, between neighbouring
    // columns; only the words of one heading or title are a blank apart.
    QMap<int, QList<ParolaPdf>> righe;
    for (const ParolaPdf& p : parole) righe[qRound(p.alto * 10)] << p;
    const QSet<QString> stessaCella{"Lista|Testate", "Tipo|Invio"};
    for (QList<ParolaPdf>& riga : righe) {
        std::sort(riga.begin(), riga.end(), [](const ParolaPdf& a, const ParolaPdf& b) { return a.sin < b.sin; });
        for (int i = 1; i < riga.size(); ++i) {
            const QString coppia = riga[i - 1].testo + "|" + riga[i].testo;
            if (stessaCella.contains(coppia)) continue;
            EXPECT_GE(riga[i].sin - riga[i - 1].des, 1.5 * kPuntiMm) << coppia.toStdString();
        }
    }
    double sinistra = 1e9, alto = 1e9;
    for (const ParolaPdf& p : parole) {
        sinistra = std::min(sinistra, p.sin);
        alto = std::min(alto, p.alto);
    }
    EXPECT_GE(sinistra, 15 * kPuntiMm) << "left margin of the print options";
    EXPECT_GE(alto, 20 * kPuntiMm) << "top margin of the print options";
}

TEST_F(FrmComlinStampaTest, StampantePredefinitaSvuotaIlNomeEFontAnnullatoNonCambia) {
    dialogo.Opzioni()->osNomeStampante = "PDFCreator";
    dialogo.ComUsaDef_Click();
    EXPECT_EQ(dialogo.Opzioni()->osNomeStampante, "");
    EXPECT_EQ(dialogo.Opzioni()->NomePorta, "Ufficio");

    FrmComlinStampa::SceltaFont() = [](const FontStd&) { return std::optional<FontStd>(); };
    dialogo.CmdSceFont_Click();
    EXPECT_EQ(dialogo.FontStampa().FontCorrente().Size, 10);
    FrmComlinStampa::SceltaFont() = [](const FontStd& f) {
        FontStd g = f;
        g.Size = 14;
        return std::optional<FontStd>(g);
    };
    dialogo.CmdSceFont_Click();
    EXPECT_EQ(dialogo.FontStampa().FontCorrente().Size, 14);
}

}  // namespace

namespace {

// The dialog as the list shows it: modal, without a nested loop.
class FrmComlinStampaAperto : public FrmComlinStampaTest {
public:
    void SetUp() override {
        FrmComlinStampaTest::SetUp();
        FrmComlinStampa::Mostra() = [](FrmComlinStampa& d) { d.show(); };
    }
    void TearDown() override {
        FrmComlinStampa::Mostra() = [](FrmComlinStampa& d) { d.exec(); };
        dialogo.hide();
        FrmComlinStampaTest::TearDown();
    }
};

TEST_F(FrmComlinStampaAperto, LAnteprimaRispondeMentreIlDialogoEAperto) {
    dialogo.Opzioni()->oiStaVid = OpzSta::Video;
    dialogo.ApriStampaLista(lista);
    ASSERT_TRUE(dialogo.isModal());
    QPointer<FrmVStampa> anteprima = FrmVStampa::Istanza();
    bool uscita = false;
    anteprima->attesaScriptata = [&](FrmVStampa& a) {
        // A click as the window system delivers it: a blocked window drops it.
        QWindow* finestra = a.windowHandle();
        ASSERT_NE(finestra, nullptr);
        QSignalSpy clic(a.ComEsci, &QPushButton::clicked);
        QTest::mouseClick(finestra, Qt::LeftButton, {}, a.ComEsci->mapTo(&a, a.ComEsci->rect().center()));
        uscita = clic.count() == 1;
    };
    QTest::mouseClick(dialogo.CmdStampa, Qt::LeftButton);
    EXPECT_TRUE(uscita) << "the preview's \"Esci\" was ignored";
    if (anteprima) {
        anteprima->attesaScriptata = nullptr;
        anteprima->Scarica();
    }
}

// Each "&STAMPA" while the dialog is open shows the list again, after the
// user has left the preview of the one before.
TEST_F(FrmComlinStampaAperto, OgniStampaMostraDiNuovoLAnteprima) {
    dialogo.Opzioni()->oiStaVid = OpzSta::Video;
    dialogo.ApriStampaLista(lista);
    for (int volta = 1; volta <= 2; ++volta) {
        SCOPED_TRACE(volta);
        AnteprimaScriptata anteprima;
        QTest::mouseClick(dialogo.CmdStampa, Qt::LeftButton);
        EXPECT_FALSE(anteprima.visti.isEmpty()) << "no preview";
        EXPECT_EQ(anteprima.vuote, 0);
        EXPECT_TRUE(dialoghi->testi().isEmpty()) << dialoghi->testi().join(" | ").toStdString();
    }
}

TEST_F(FrmComlinStampaAperto, SenzaStampantiParteDallAnteprima) {
    stampanti->stampanti.clear();
    stampanti->predefinita.clear();
    FrmComlinStampa nuovo;
    EXPECT_EQ(nuovo.Opzioni()->oiStaVid, OpzSta::Video);
    stampanti->stampanti = {{"Ufficio", "Ufficio"}};
    EXPECT_EQ(FrmComlinStampa().Opzioni()->oiStaVid, OpzSta::Stampante);
}

TEST_F(FrmComlinStampaAperto, DopoUnaStampaFallitaStampaAncora) {
    QTemporaryDir dir;
    auto opz = dialogo.Opzioni();
    opz->oiStaVid = OpzSta::File;
    opz->FileForm = OpzSta::Testo;
    opz->FileName = dir.filePath("manca/lista.csv");
    dialogo.ApriStampaLista(lista);
    QTest::mouseClick(dialogo.CmdStampa, Qt::LeftButton);
    ASSERT_EQ(dialoghi->testi().size(), 1) << "the failure is shown";
    opz->FileName = dir.filePath("lista.csv");
    QTest::mouseClick(dialogo.CmdStampa, Qt::LeftButton);
    EXPECT_EQ(dialoghi->testi().size(), 1) << dialoghi->testi().join(" | ").toStdString();
    EXPECT_TRUE(QFile::exists(opz->FileName));
    QTest::mouseClick(dialogo.CmdStampa, Qt::LeftButton);
    EXPECT_EQ(dialoghi->testi().size(), 1) << "a second print of the same list";
}

}  // namespace
