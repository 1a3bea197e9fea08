// The run over a range of companies, with a writer that records what it was
// handed and answers a scripted outcome.
#include "AmbienteRun.h"
#include "components/db/GestoreDb.h"
#include "components/stampa/OpzSta.h"
#include "settlement/run/ElabLiqIva.h"
#include "settlement/run/StLiqIva.h"

#include <QList>

namespace {

struct Chiamata {
    QString idDbase, idAzienda, descAzie, nomeFile, fileStampa, moneta;
    int anno, numCom, ultima;
    bool stampa, estrFile, xml;
    bool dbAperto;
};

struct Esito {
    int errore = 0;
    bool stampato = true;
};

class ScrittoreFinto : public stLiqIva {
public:
    QList<Chiamata> chiamate;
    QList<Esito> esiti;  // one per call; afterwards: written, no error
    void AvviaStampa() override {
        bool aperto = true;
        try {
            ctx().ggGestDb->DatabaseDaId(osIdDbase);
        } catch (...) {
            aperto = false;
        }
        chiamate.append({osIdDbase, osIdAzienda, osDescAzie, osNomeFile, ogOpzSta ? ogOpzSta->FileName : QString(),
                         ctx().gsMoneta, oiAnno, oiNumCom, oiUltimaDitta, obStampa, obEstrFile, obFileXml, aperto});
        const Esito e = esiti.isEmpty() ? Esito{} : esiti.takeFirst();
        oiErrore = static_cast<int16_t>(e.errore);
        obStampato = e.stampato;
    }
};

class IntervalloTest : public AmbienteRun {
protected:
    explicit IntervalloTest(Motore motore = Motore::File) : AmbienteRun(motore) {}
    void SetUp() override {
        AmbienteRun::SetUp();
        scrittore = std::make_shared<ScrittoreFinto>();
        run.CreaScrittore = [this] { return scrittore; };
        run.ogOpzSta = std::make_shared<OpzSta>();
        par.anno = QStringLiteral("2024");
        par.numero = QStringLiteral("4");
        par.aziendaDa = QStringLiteral("001");
        par.aziendaA = QStringLiteral("003");
        par.nomeFile = QStringLiteral("C:\\liq\\liq.xml");
        par.tipoElab = 1;
        par.captionForm = QStringLiteral("Preparazione file");
    }
    bool Aperto(const QString& idDb) const {
        try {
            fx.gestDb->DatabaseDaId(idDb);
            return true;
        } catch (...) {
            return false;
        }
    }

    std::shared_ptr<ScrittoreFinto> scrittore;
    ElabLiqIva run;
    ParametriLiqIva par;
};

// A company of the range on the server is opened by its service name as one in a file by its path.
using IntervalloMotori = SuMotori<IntervalloTest>;

TEST_P(IntervalloMotori, OgniAziendaDalSuoDatabaseConIlProprioNomeFile) {
    AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"), [this](const QString& idDb) {
        fx.Esegui(idDb, "UPDATE Ditta SET Moneta = 'Lire', CodLira = 'Lire'");
    });
    run.ogOpzSta->oiStaVid = OpzSta::File;
    run.ogOpzSta->FileName = QStringLiteral("C:\\out\\liq.xls");
    run.Esegui(par);

    ASSERT_EQ(scrittore->chiamate.size(), 2) << dialoghi->testi().join("\n").toStdString();
    const Chiamata& a = scrittore->chiamate[0];
    const Chiamata& b = scrittore->chiamate[1];
    // The menu's current company uses the program's own database.
    EXPECT_EQ(a.idDbase, c->gsIdDbase);
    EXPECT_EQ(a.idAzienda, "001");
    EXPECT_EQ(a.descAzie, "Prima S.r.l.");
    EXPECT_EQ(a.nomeFile, "C:\\liq\\liq001.xml");
    EXPECT_EQ(a.fileStampa, "C:\\out\\liq001.xls");
    EXPECT_EQ(a.ultima, 0);
    EXPECT_EQ(a.anno, 2024);
    EXPECT_EQ(a.numCom, 4);
    EXPECT_TRUE(a.xml);
    EXPECT_TRUE(a.estrFile);
    EXPECT_FALSE(a.stampa);
    // The other company is opened from its own file, with its own currency,
    // and closed after its run.
    EXPECT_NE(b.idDbase, c->gsIdDbase);
    EXPECT_TRUE(b.dbAperto);
    EXPECT_FALSE(Aperto(b.idDbase));
    EXPECT_TRUE(Aperto(c->gsIdDbase));
    EXPECT_EQ(b.moneta, "Lire");
    EXPECT_EQ(b.nomeFile, "C:\\liq\\liq002.xml");
    EXPECT_EQ(b.fileStampa, "C:\\out\\liq002.xls");
    EXPECT_EQ(b.ultima, 1);

    // Afterwards the print options and the current company's parameters are back.
    EXPECT_EQ(run.ogOpzSta->FileName, "C:\\out\\liq.xls");
    EXPECT_EQ(c->gsMoneta, "Euro");
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});
    EXPECT_EQ(dialoghi->mostrati[0].titolo, "Preparazione file");
}

// The range goes in the order of the company codes, whatever order the rows
// were written in (the server, asked for no order, gives them as stored): the
// last company is the one that closes the run.
TEST_P(IntervalloMotori, AziendeInOrdineDiCodice) {
    AltraAzienda(QStringLiteral("003"), QStringLiteral("C3"));
    AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"));
    run.Esegui(par);
    QStringList ordine;
    for (const Chiamata& k : scrittore->chiamate) ordine << k.idAzienda + QLatin1Char('/') + QString::number(k.ultima);
    EXPECT_EQ(ordine, (QStringList{"001/0", "002/0", "003/1"}));
}

TEST_F(IntervalloTest, SegnapostoEUnaSolaAziendaLascianoIlNome) {
    par.aziendaA = QStringLiteral("001");
    par.nomeFile = QStringLiteral("C:\\liq.v2\\liq");
    run.ogOpzSta->oiStaVid = OpzSta::File;
    run.ogOpzSta->FileName = QStringLiteral("C:\\out\\liq.xls");
    run.Esegui(par);
    ASSERT_EQ(scrittore->chiamate.size(), 1);
    EXPECT_EQ(scrittore->chiamate[0].nomeFile, "C:\\liq.v2\\liq");
    EXPECT_EQ(scrittore->chiamate[0].fileStampa, "C:\\out\\liq.xls");
    EXPECT_EQ(scrittore->chiamate[0].ultima, 1);

    AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"));
    par.aziendaA = QStringLiteral("002");
    par.nomeFile = QStringLiteral("/out/IT§codfisc§_LI_20244.xml");
    run.ogOpzSta->FileName = QStringLiteral("LPT1:");
    run.Esegui(par);
    ASSERT_EQ(scrittore->chiamate.size(), 3);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(scrittore->chiamate[i].nomeFile, "/out/IT§codfisc§_LI_20244.xml");
        EXPECT_EQ(scrittore->chiamate[i].fileStampa, "LPT1:");
    }
}

TEST_F(IntervalloTest, NessunDatoDaTrasmettere) {
    // No company in the range, and companies whose writer found nothing.
    par.aziendaDa = QStringLiteral("100");
    par.aziendaA = QStringLiteral("200");
    run.Esegui(par);
    EXPECT_TRUE(scrittore->chiamate.isEmpty());
    EXPECT_EQ(dialoghi->testi(), QStringList{"Non c'è nessun dato da trasmettere"});

    dialoghi->mostrati.clear();
    AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"));
    par.aziendaDa = QStringLiteral("001");
    par.aziendaA = QStringLiteral("002");
    scrittore->esiti = {{0, false}, {0, false}};
    run.Esegui(par);
    EXPECT_EQ(scrittore->chiamate.size(), 2);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Non c'è nessun dato da trasmettere"});
}

TEST_P(IntervalloMotori, ErroriDellAziendaChiedonoSeProseguire) {
    AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"));
    AltraAzienda(QStringLiteral("003"), QStringLiteral("C3"));
    struct Caso { int risposta; int chiamate; };
    for (const Caso& k : {Caso{2, 2}, Caso{1, 3}}) {
        scrittore->chiamate.clear();
        dialoghi->mostrati.clear();
        scrittore->esiti = {{0, true}, {1, true}};
        dialoghi->risposte = {k.risposta};
        run.Esegui(par);
        EXPECT_EQ(scrittore->chiamate.size(), k.chiamate);
        ASSERT_GE(dialoghi->mostrati.size(), 1);
        EXPECT_EQ(dialoghi->mostrati[0].testo, "Proseguire l'elaborazione");
        EXPECT_EQ(dialoghi->mostrati[0].bottoni, (QStringList{"&Sì", "&no"}));
        // The company whose writer failed was closed all the same.
        EXPECT_FALSE(Aperto(scrittore->chiamate[1].idDbase));
    }
}

TEST_F(IntervalloTest, StopDallaStampaFermaSenzaDomanda) {
    AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"));
    par.tipoElab = 0;
    run.ogOpzSta->oiStaVid = OpzSta::Video;
    scrittore->esiti = {{-1, true}};
    run.Esegui(par);
    EXPECT_EQ(scrittore->chiamate.size(), 1);
    EXPECT_TRUE(run.obAnteprima);
    // No question, and no "done": what each company has is told.
    EXPECT_EQ(dialoghi->testi(),
              QStringList{"Elaborazione interrotta\r\nAzienda 001: non elaborata.\r\nAzienda 002: non elaborata."});
}

TEST_P(IntervalloMotori, DatabaseMancanteSoloLaDomandaSeProseguire) {
    Azienda(QStringLiteral("002"), QStringLiteral("B2"), QStringLiteral("Manca"), fx.Cartella() + "/manca.db");
    AltraAzienda(QStringLiteral("003"), QStringLiteral("C3"));
    const QString domanda = "Errore nell'apertura del database: Impossibile trovare il file di database \"" +
                            fx.Cartella() + "/manca.db\" per l'azienda B2. Proseguo l'elaborazione ?";

    // One box for the missing database: the question, with the reason.
    dialoghi->risposte = {1};
    run.Esegui(par);
    ASSERT_EQ(scrittore->chiamate.size(), 2);
    EXPECT_EQ(scrittore->chiamate[1].idAzienda, "003");
    ASSERT_EQ(dialoghi->mostrati.size(), 2) << dialoghi->testi().join("\n").toStdString();
    EXPECT_EQ(dialoghi->mostrati[0].testo, domanda);
    EXPECT_EQ(dialoghi->mostrati[0].bottoni, (QStringList{"&Ok", "&Annulla"}));
    EXPECT_EQ(dialoghi->mostrati[0].titolo, kTitoloLiqIvaXml);
    EXPECT_EQ(dialoghi->mostrati[1].testo, "Elaborazione terminata con errori.");

    // "&Annulla" ends the run there, with nothing more said.
    scrittore->chiamate.clear();
    dialoghi->mostrati.clear();
    dialoghi->risposte = {2};
    run.ogOpzSta->oiStaVid = OpzSta::File;
    run.ogOpzSta->FileName = QStringLiteral("/out/liq.pdf");
    run.Esegui(par);
    EXPECT_EQ(scrittore->chiamate.size(), 1);
    EXPECT_EQ(dialoghi->testi(), QStringList{domanda});
    EXPECT_EQ(run.ogOpzSta->FileName, "/out/liq.pdf");
}

TEST_F(IntervalloTest, RifiutiPrimaDiIniziareLascianoStareLoScrittore) {
    scrittore->osNomeFile = QStringLiteral("precedente");
    c->giStaAtt = 1;
    run.Esegui(par);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Non è possibile lanciare più di una stampa alla volta"});
    c->giStaAtt = 0;
    run.ControllaDati = [] { return false; };
    run.Esegui(par);
    EXPECT_EQ(scrittore->osNomeFile, "precedente");
    EXPECT_TRUE(scrittore->chiamate.isEmpty());
}

TEST_F(IntervalloTest, CartellaSceltaSalvataDopoLaCorsa) {
    par.aziendaA = QStringLiteral("001");
    run.Esegui(par);
    EXPECT_FALSE(FileIni(c->gsFileIni).leggi("Base", "DirCaDi").has_value());
    par.cartellaScelta = QStringLiteral("/srv/invii/");
    run.Esegui(par);
    EXPECT_EQ(FileIni(c->gsFileIni).leggi("Base", "DirCaDi").value_or(QString()), "/srv/invii/");
}

INSTANTIATE_TEST_SUITE_P(Motori, IntervalloMotori, ValoriMotori(), NomeMotore);

}  // namespace
