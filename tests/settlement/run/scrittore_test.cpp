// The writer and the run over real company databases: the files written,
// the printed pages as the recording keeps them, the stops of the print.
#include "AmbienteRun.h"
#include "components/stampa/OpzSta.h"
#include "components/stampa/RetroStampa.h"
#include "components/stampa/Stampa.h"
#include "support/AnteprimaScriptata.h"
#include "settlement/run/ElabLiqIva.h"
#include "settlement/run/FrmLiqIvaXml.h"
#include "settlement/run/StLiqIva.h"

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <optional>

namespace {

// A drawing device that stops the print on a given page, as the user
// pressing "Interrompi la stampa" would: when the page begins, or while its
// fields are drawn.
class RetroCheFerma : public RetroGrafico {
public:
    enum Momento { InizioPagina, DuranteLaPagina };
    RetroCheFerma(Stampa& st, int pagina, Momento momento = InizioPagina)
        : st_(st), pagina_(pagina), momento_(momento) {}
    void Avvia(const QSizeF&) override {}
    void IniziaPagina(int numero) override {
        corrente_ = numero;
        if (numero == pagina_ && momento_ == InizioPagina) st_.ImpInterruzione(1);
    }
    void Testo(const QRectF&, const QString&, const FontStd&, const QString&) override {
        if (corrente_ == pagina_ && momento_ == DuranteLaPagina) st_.ImpInterruzione(1);
    }
    void Immagine(const QImage&, const QRectF&) override {}
    void FinePagina(int) override { ++pagine_; }
    void Fine() override {}
    int Pagine() const override { return pagine_; }

private:
    Stampa& st_;
    int pagina_;
    Momento momento_;
    int corrente_ = 0;
    int pagine_ = 0;
};

QByteArray Leggi(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ScrittoreTest : public AmbienteRun {
protected:
    explicit ScrittoreTest(Motore motore = Motore::File) : AmbienteRun(motore) {}
    void SetUp() override {
        AmbienteRun::SetUp();
        cartella = fx.Cartella() + QStringLiteral("/uscita");
        ASSERT_TRUE(QDir().mkpath(cartella));
        // Background pictures of the two pages, as [LiqIva] names them.
        QImage img(40, 56, QImage::Format_RGB32);
        img.fill(Qt::white);
        ASSERT_TRUE(img.save(fx.Cartella() + QStringLiteral("/fronte.png")));
        ASSERT_TRUE(img.save(fx.Cartella() + QStringLiteral("/moduli.png")));
        Ini(QStringLiteral("LiqIva"), QStringLiteral("DirImg"), fx.Cartella());
        Ini(QStringLiteral("LiqIva"), QStringLiteral("ImgTest"), QStringLiteral("fronte.png"));
        Ini(QStringLiteral("LiqIva"), QStringLiteral("ImgDett"), QStringLiteral("moduli.png"));

        run.ogOpzSta = std::make_shared<OpzSta>();
        run.ogOpzSta->oiStaVid = OpzSta::Stampante;
        par = ParametriSoloFile(cartella, QStringLiteral("4"), QStringLiteral("001"));
    }
    void Ini(const QString& sezione, const QString& chiave, const QString& valore) {
        ASSERT_TRUE(FileIni(c->gsFileIni).scrivi(sezione, chiave, valore));
    }
    // One communication with `moduli` modules in the company database idDb.
    void Comunicazione(const QString& idDb, const QString& codFisc, int anno, int moduli) {
        fx.Inserisci(idDb, QStringLiteral("LiqIvaTest"),
                     {{"Anno", anno}, {"NumCom", 4}, {"CodiceFiscale", codFisc}, {"PartitaIva", codFisc},
                      {"LiquidazioneGruppo", "N"}, {"FirmaDichiarazione", "S"}, {"FlagConferma", "0"}});
        for (int m = 1; m <= moduli; ++m)
            fx.Inserisci(idDb, QStringLiteral("LiqIvaDett"),
                         {{"Anno", anno}, {"NumCom", 4}, {"Modulo", m}, {"Trimestre", 4}, {"Subfornitura", "N"},
                          {"OpStraordinarie", "N"}, {"TotaleOperazioniAttive", 12500.5 * m},
                          {"TotaleOperazioniPassive", 8000.0}, {"IvaEsigibile", 2750.11}, {"IvaDetratta", 1760.0},
                          {"IvaDovuta", 990.11}, {"ImportoDaVersare", 990.11}});
    }
    QString NomeFile(const QString& codFisc) const {
        return cartella + QStringLiteral("/IT") + codFisc + QStringLiteral("_LI_20244.xml");
    }

    QString cartella;
    ElabLiqIva run;
    ParametriLiqIva par;
};

// The file runs below read their data from a database file and from the server alike.
using ScrittoreMotori = SuMotori<ScrittoreTest>;

TEST_P(ScrittoreMotori, DueAziendeDueFileValidi) {
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 2);
    AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"), [this](const QString& idDb) {
        Comunicazione(idDb, QStringLiteral("07654321096"), 2024, 1);
    });
    par.aziendaA = QStringLiteral("002");
    run.Esegui(par);

    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});
    for (const QString& cf : {QStringLiteral("01234567897"), QStringLiteral("07654321096")}) {
        const QString file = NomeFile(cf);
        ASSERT_TRUE(QFile::exists(file)) << file.toStdString();
        EXPECT_EQ(ErroriSchema(file, QStringLiteral("ivp18")).toStdString(), "") << file.toStdString();
    }
    const QByteArray primo = Leggi(NomeFile(QStringLiteral("01234567897")));
    EXPECT_EQ(primo.count("<iv:Modulo>"), 2);
    EXPECT_TRUE(primo.contains("<iv:TotaleOperazioniAttive>25001,00</iv:TotaleOperazioniAttive>"));
    EXPECT_TRUE(primo.endsWith("</iv:Fornitura>\r\n"));
    EXPECT_EQ(run.Scrittore()->oiErrore, 0);
    EXPECT_FALSE(run.Scrittore()->obStaAtt);
    EXPECT_EQ(c->giStaAtt, 0);
}

TEST_P(ScrittoreMotori, FileDiTestoEAnno2017) {
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2017, 1);
    par.anno = QStringLiteral("2017");
    run.Esegui(par);
    const QString xml = NomeFile(QStringLiteral("01234567897"));
    EXPECT_EQ(ErroriSchema(xml, QStringLiteral("ivp17")).toStdString(), "");
    EXPECT_FALSE(Leggi(xml).contains("NumeroModulo"));

    par.formatoTxt = true;
    par.nomeFile = cartella + QStringLiteral("/liq.txt");
    run.Esegui(par);
    const QByteArray testo = Leggi(cartella + QStringLiteral("/liq.txt"));
    ASSERT_TRUE(testo.endsWith("LI \r\n")) << testo.constData();
    EXPECT_EQ(testo.size(), 409 + 2);
    EXPECT_TRUE(testo.startsWith("20174-"));
}

TEST_F(ScrittoreTest, NessunaRigaNessunFile) {
    run.Esegui(par);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Non c'è nessun dato da trasmettere"});
    EXPECT_TRUE(QDir(cartella).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(run.Scrittore()->obStampato);
    EXPECT_EQ(run.Scrittore()->oiErrore, 0);
}

TEST_F(ScrittoreTest, StatoAzzeratoAOgniCorsa) {
    RegistroInstallato registro;
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 1);
    run.Esegui(par);
    ASSERT_TRUE(run.Scrittore()->obStampato);
    EXPECT_EQ(ErroriSchema(NomeFile(QStringLiteral("01234567897")), QStringLiteral("ivp18")), "");
    // The next run stops before its data for a picture not configured (the
    // picture folder is still set): nothing of the earlier run survives into it.
    Ini(QStringLiteral("LiqIva"), QStringLiteral("ImgTest"), QString());
    par.tipoElab = 0;
    dialoghi->mostrati.clear();
    run.Esegui(par);
    EXPECT_FALSE(run.Scrittore()->obStampato);
    EXPECT_EQ(dialoghi->testi(),
              (QStringList{"Manca file immagine di stampa intestazione",
                           "Stampa non eseguita: non è stato stampato nulla e nessun file è stato scritto."}));
    EXPECT_EQ(c->giStaAtt, 0);
}

TEST_P(ScrittoreMotori, ErroreDiUnAziendaEDomanda) {
    // The second company has no settlement tables: its query fails.
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 1);
    AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"), [this](const QString& idDb) {
        fx.Esegui(idDb, "DROP TABLE LiqIvaDett");
    });
    AltraAzienda(QStringLiteral("003"), QStringLiteral("C3"), [this](const QString& idDb) {
        Comunicazione(idDb, QStringLiteral("07654321096"), 2024, 1);
    });
    par.aziendaA = QStringLiteral("003");
    dialoghi->risposte = {1, 1};  // the error box, then "&Sì"
    run.Esegui(par);
    const QStringList t = dialoghi->testi();
    ASSERT_EQ(t.size(), 3) << t.join("\n").toStdString();
    // Either engine's own text stays in the log; the user reads which table
    // the database lacks (the server folds its name to lower case).
    EXPECT_TRUE(t[0].contains("La tabella LiqIvaDett non esiste", Qt::CaseInsensitive)) << t[0].toStdString();
    EXPECT_EQ(dialoghi->mostrati[0].titolo, "Liquidazione Iva Periodica  - Ditta 002");
    EXPECT_EQ(t[1], "Proseguire l'elaborazione");
    EXPECT_EQ(t[2], "Elaborazione terminata con errori.");
    EXPECT_EQ(ErroriSchema(NomeFile(QStringLiteral("07654321096")), QStringLiteral("ivp18")), "");
}

TEST_P(ScrittoreMotori, StampaNellaStessaPassata) {
    RegistroInstallato registro;
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 2);
    par.tipoElab = 0;
    run.Esegui(par);
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("\n").toStdString();
    EXPECT_EQ(ErroriSchema(NomeFile(QStringLiteral("01234567897")), QStringLiteral("ivp18")), "");
    // Front page and one page per module, each over its picture.
    EXPECT_EQ(registro->DiTipo("NuovaPagina").size(), 2);
    EXPECT_EQ(registro->DiTipo("StampaImmagine").size(), 3);
    EXPECT_EQ(registro->DiTipo("FineStampa").size(), 1);
    EXPECT_EQ(c->giStaAtt, 0);
}

TEST_F(ScrittoreTest, IlModelloNonVaSuFile) {
    // The file routes would give a line a page and a character a box: they are
    // refused before anything is written, and the options dialog shows them off.
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 1);
    struct Caso {
        const char* nome;
        int rotta;
    };
    for (const Caso& k : {Caso{"delimited text", OpzSta::File}, Caso{"fixed width", OpzSta::LarghezzaFissa}}) {
        SCOPED_TRACE(k.nome);
        dialoghi->mostrati.clear();
        par.tipoElab = 0;
        run.ogOpzSta->oiStaVid = k.rotta;
        run.ogOpzSta->FileForm = OpzSta::Testo;
        run.ogOpzSta->FileName = cartella + QStringLiteral("/stampa.txt");
        run.ogOpzSta->FisFileName = cartella + QStringLiteral("/stampa.prn");
        run.Esegui(par);
        EXPECT_EQ(dialoghi->testi(),
                  QStringList{"Il modello di liquidazione non può essere stampato su file.\r\n"
                              "Scegliere la stampante o il video nelle opzioni di stampa."});
        EXPECT_TRUE(run.ogOpzSta->ModoEscluso(k.rotta));
        EXPECT_FALSE(run.ogOpzSta->ModoEscluso(OpzSta::Video));
        EXPECT_TRUE(QDir(cartella).entryList(QDir::Files).isEmpty());
        EXPECT_EQ(c->giStaAtt, 0);
    }
    // The file-only run prints nothing, so the route does not matter to it.
    dialoghi->mostrati.clear();
    par.tipoElab = 1;
    run.Esegui(par);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});
    EXPECT_EQ(ErroriSchema(NomeFile(QStringLiteral("01234567897")), QStringLiteral("ivp18")), "");
}

TEST_F(ScrittoreTest, StampaRifiutataNonDiceCheMancanoIDati) {
    // The printer is not there: the print object refuses the job before the data.
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 1);
    par.tipoElab = 2;
    run.ogOpzSta->osNomeStampante = QStringLiteral("Stampante che non esiste");
    run.Esegui(par);
    const QStringList t = dialoghi->testi();
    ASSERT_EQ(t.size(), 2) << t.join("\n").toStdString();
    EXPECT_TRUE(t[0].startsWith("La stampante \"Stampante che non esiste\" non è disponibile")) << t[0].toStdString();
    EXPECT_EQ(t[1], "Stampa non eseguita: non è stato stampato nulla.");
}

TEST_P(ScrittoreMotori, ImportoTroppoLungoEUnErroreDellaCorsa) {
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 1);
    fx.Esegui(fx.idAzienda, "UPDATE LiqIvaDett SET ImportoDaVersare = 123456789012345");
    dialoghi->risposte = {1, 1, 2};  // the list, the warning, then "&no"
    run.Esegui(par);
    const QString file = NomeFile(QStringLiteral("01234567897"));
    const QStringList t = dialoghi->testi();
    ASSERT_EQ(t.size(), 4) << t.join("\n").toStdString();
    EXPECT_EQ(t[0], "Segnalazioni di errore \r\nModulo 1: ImportoDaVersare fuori formato");
    EXPECT_EQ(t[1], "Il file " + file + " contiene valori errati e non deve essere trasmesso.\r\n"
                    "È stato lasciato come " + file + ".incompleto.");
    EXPECT_EQ(t[2], "Proseguire l'elaborazione");
    EXPECT_EQ(t[3], "Elaborazione terminata con errori.");
    EXPECT_EQ(run.Scrittore()->oiErrore, 1);
    // The figure is left out, never cut, and the file never takes its final name.
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(Leggi(file + ".incompleto").endsWith("</iv:Fornitura>\r\n"));
    EXPECT_FALSE(Leggi(file + ".incompleto").contains("ImportoDaVersare"));
}

TEST_P(ScrittoreMotori, FileCheLoSchemaRifiutaNonPrendeIlNome) {
    // A year the writer's own checks let through and the schema does not
    // (1800-2099): the file stays incomplete and the run ends in error.
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2100, 1);
    par.anno = QStringLiteral("2100");
    dialoghi->risposte = {1, 1, 1};
    run.Esegui(par);
    const QString file = NomeFile(QStringLiteral("01234567897"));
    const QStringList t = dialoghi->testi();
    ASSERT_EQ(t.size(), 3) << t.join("\n").toStdString();
    EXPECT_EQ(t[0], "Il file " + file + " non è conforme allo schema IVP 2018 (elemento <AnnoImposta> non valido "
                    "(valore \"2100\") alla riga 9) e non deve essere inviato.\r\nÈ stato lasciato come " + file +
                    ".incompleto.");
    EXPECT_EQ(t[1], "Proseguire l'elaborazione");
    EXPECT_EQ(t[2], "Elaborazione terminata con errori.");
    EXPECT_EQ(run.Scrittore()->oiErrore, 1);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(Leggi(file + ".incompleto").endsWith("</iv:Fornitura>\r\n"));
}

TEST_P(ScrittoreMotori, ComunicazioneRifiutataNonSembraFinita) {
    // Six modules: the file is refused before anything is written.
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 6);
    dialoghi->risposte = {1, 1};  // the refusal, then "&Sì"
    run.Esegui(par);
    const QStringList t = dialoghi->testi();
    ASSERT_EQ(t.size(), 3) << t.join("\n").toStdString();
    EXPECT_TRUE(t[0].endsWith("Il file non viene scritto.")) << t[0].toStdString();
    EXPECT_EQ(t[1], "Proseguire l'elaborazione");
    EXPECT_EQ(t[2], "Elaborazione terminata con errori.");
    EXPECT_TRUE(QDir(cartella).entryList(QDir::Files).isEmpty());
}

TEST_F(ScrittoreTest, PaginaSenzaImmagine) {
    RegistroInstallato registro;
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 2);
    Ini(QStringLiteral("LiqIva"), QStringLiteral("ImgDett"), QStringLiteral("\\"));
    par.tipoElab = 2;
    run.Esegui(par);
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("\n").toStdString();
    // Only the front page has its picture; the module pages are printed all the same.
    EXPECT_EQ(registro->DiTipo("StampaImmagine").size(), 1);
    EXPECT_EQ(registro->DiTipo("NuovaPagina").size(), 2);
    EXPECT_TRUE(QDir(cartella).entryList(QDir::Files).isEmpty());
}

TEST_F(ScrittoreTest, FileCheNonSiPuoCreare) {
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 1);
    par.nomeFile = cartella + QStringLiteral("/manca/liq.xml");
    dialoghi->risposte = {1, 2};  // the error box, then "&no"
    run.Esegui(par);
    // One error box and the question; no word of an incomplete file that is not there.
    const QStringList t = dialoghi->testi();
    ASSERT_EQ(t.size(), 3) << t.join("\n").toStdString();
    EXPECT_TRUE(t[0].contains("manca/liq.xml")) << t[0].toStdString();
    EXPECT_EQ(t[1], "Proseguire l'elaborazione");
    EXPECT_EQ(t[2], "Elaborazione terminata con errori.");
    EXPECT_EQ(run.Scrittore()->oiErrore, 1);
    EXPECT_FALSE(QFile::exists(par.nomeFile));
}

TEST_F(ScrittoreTest, ImmagineMancanteNonScriveNulla) {
    RegistroInstallato registro;
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 1);
    Ini(QStringLiteral("LiqIva"), QStringLiteral("ImgTest"), QStringLiteral("manca.png"));
    par.tipoElab = 0;
    dialoghi->risposte = {1, 2};
    run.Esegui(par);
    EXPECT_TRUE(dialoghi->testi().value(0).contains("manca.png")) << dialoghi->testi().join("\n").toStdString();
    EXPECT_EQ(run.Scrittore()->oiErrore, 1);
    EXPECT_TRUE(QDir(cartella).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(c->giStaAtt, 0);
}

TEST_F(ScrittoreTest, StopDellUtenteFileIncompletoEIntervalloFermo) {
    // The user stops on the first module's page of the first company: when
    // the page begins, or while it is drawn. Either way the file never takes
    // its final name and the range stops there.
    struct Caso {
        const char* nome;
        RetroCheFerma::Momento momento;
    };
    const QString file = NomeFile(QStringLiteral("01234567897"));
    const QString secondo = NomeFile(QStringLiteral("07654321096"));
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 3);
    AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"), [this](const QString& idDb) {
        Comunicazione(idDb, QStringLiteral("07654321096"), 2024, 1);
    });
    par.aziendaA = QStringLiteral("002");
    par.tipoElab = 0;
    for (const Caso& k : {Caso{"page begins", RetroCheFerma::InizioPagina},
                          Caso{"page drawn", RetroCheFerma::DuranteLaPagina}}) {
        SCOPED_TRACE(k.nome);
        RegistroInstallato registro;
        dialoghi->mostrati.clear();
        QFile::remove(file + ".incompleto");
        // A complete file of an earlier run under the same name.
        {
            QFile precedente(file);
            ASSERT_TRUE(precedente.open(QIODevice::WriteOnly | QIODevice::Truncate));
            precedente.write("completo di prima");
        }
        const auto momento = k.momento;
        run.ScrittoreCreato().PreparaStampa = [momento](Stampa& st) {
            st.ImpRetro(std::make_unique<RetroCheFerma>(st, 2, momento));
        };
        run.Esegui(par);
        EXPECT_EQ(Leggi(file), "completo di prima");
        const QByteArray xml = Leggi(file + ".incompleto");
        EXPECT_EQ(xml.count("<iv:Modulo>"), 1);
        EXPECT_FALSE(xml.contains("</iv:Fornitura>"));
        EXPECT_EQ(dialoghi->testi(),
                  QStringList{"Elaborazione interrotta\r\nAzienda 001: file incompleto, da non trasmettere: " + file +
                              ".incompleto.\r\nAzienda 002: non elaborata."});
        EXPECT_EQ(run.Scrittore()->oiErrore, -1);
        EXPECT_EQ(run.Scrittore()->osIdAzienda, "001");
        EXPECT_FALSE(QFile::exists(secondo));
        EXPECT_FALSE(QFile::exists(secondo + ".incompleto"));
        EXPECT_EQ(c->giStaAtt, 0);
    }
}

TEST_F(ScrittoreTest, StopAllaPaginaDopoLaDittaFermaLIntervallo) {
    RegistroInstallato registro;
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 1);
    for (const char* id : {"002", "003"})
        AltraAzienda(QString::fromLatin1(id), QStringLiteral("B") + id, [this](const QString& idDb) {
            Comunicazione(idDb, QStringLiteral("07654321096"), 2024, 1);
        });
    par.aziendaA = QStringLiteral("003");
    par.tipoElab = 0;
    run.ogOpzSta->oiStaVid = OpzSta::Video;
    // Front page and module page of the first company, then the page where the
    // second begins in the same preview: the user stops there.
    run.ScrittoreCreato().PreparaStampa = [](Stampa& st) { st.ImpRetro(std::make_unique<RetroCheFerma>(st, 3)); };
    run.Esegui(par);
    EXPECT_EQ(run.Scrittore()->oiErrore, -1);
    EXPECT_EQ(run.Scrittore()->osIdAzienda, "002");
    // The first company's file is whole; the others were never written.
    EXPECT_EQ(ErroriSchema(NomeFile(QStringLiteral("01234567897")), QStringLiteral("ivp18")), "");
    EXPECT_FALSE(QFile::exists(NomeFile(QStringLiteral("07654321096"))));
    EXPECT_FALSE(QFile::exists(NomeFile(QStringLiteral("07654321096")) + ".incompleto"));
    // The stop is told, with the companies it kept from their turn.
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione interrotta\r\nAzienda 001: file completo " +
                                             NomeFile(QStringLiteral("01234567897")) +
                                             ".\r\nAzienda 002: non elaborata.\r\nAzienda 003: non elaborata."});
    EXPECT_EQ(registro->DiTipo("AvviaDocumento").size(), 1);
    EXPECT_EQ(registro->DiTipo("FineStampa").size(), 1);
    EXPECT_EQ(c->giStaAtt, 0);
}

// A range to the preview is one document: the user pages through both
// companies' forms and back, without an empty page between them, and reads
// "Stampa Terminata" only at the end.
TEST_F(ScrittoreTest, IntervalloInUnaSolaAnteprima) {
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 1);
    AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"), [this](const QString& idDb) {
        Comunicazione(idDb, QStringLiteral("07654321096"), 2024, 1);
    });
    par.aziendaA = QStringLiteral("002");
    par.tipoElab = 0;
    run.ogOpzSta->oiStaVid = OpzSta::Video;
    {
        AnteprimaScriptata utente;
        run.Esegui(par);
        EXPECT_EQ(utente.visti, (QStringList{"Pag.001 ", "Pag.002 ", "Pag.003 ", "Pag.004 Stampa Terminata",
                                             "Pag.001 Stampa Terminata"}));
        EXPECT_EQ(utente.forme(), 1);
        EXPECT_EQ(utente.vuote, 0);
        EXPECT_EQ(c->giStaAtt, 0);
        EXPECT_FALSE(FrmVStampa::EsisteIstanza());
    }
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("\n").toStdString();
    EXPECT_EQ(ErroriSchema(NomeFile(QStringLiteral("01234567897")), QStringLiteral("ivp18")), "");
    EXPECT_EQ(ErroriSchema(NomeFile(QStringLiteral("07654321096")), QStringLiteral("ivp18")), "");
}

// A stop through the run form, wherever it comes: one message says what each
// company of the range has, what was left incomplete and what was never done,
// and nothing says the run is done. A stop while the preview waits before a
// company's first page counts as one on any later page.
TEST_P(ScrittoreMotori, OgniStopDallaFormDiceCosaHaOgniAzienda) {
    Comunicazione(fx.idAzienda, QStringLiteral("01234567897"), 2024, 1);
    AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"), [this](const QString& idDb) {
        Comunicazione(idDb, QStringLiteral("07654321096"), 2024, 1);
    });
    AltraAzienda(QStringLiteral("003"), QStringLiteral("C3"), [this](const QString& idDb) {
        Comunicazione(idDb, QStringLiteral("12345678903"), 2024, 1);
    });
    c->gtDataLavoro = QDate(2025, 1, 15);
    c->gsChiavePrg = QStringLiteral("PRG");
    const QString primo = NomeFile(QStringLiteral("01234567897"));
    const QString secondo = NomeFile(QStringLiteral("07654321096"));
    const QString terzo = NomeFile(QStringLiteral("12345678903"));
    // Each company has a front page and one module page; the preview waits
    // after every page, before the next one is drawn.
    struct Caso {
        const char* nome;
        const char* aziendaA;
        int attesa;      // the wait of the preview where "&Esci" is pressed; 0: the printer
        QStringList completi, incompleti;
        QString messaggio;
    };
    const Caso casi[] = {
        {.nome = "preview, before the second company's first page", .aziendaA = "003", .attesa = 2,
         .completi = {primo},
         .messaggio = "Elaborazione interrotta\r\nAzienda 001: file completo " + primo +
                      ".\r\nAzienda 002: non elaborata.\r\nAzienda 003: non elaborata."},
        {.nome = "preview, one page later", .aziendaA = "003", .attesa = 3, .completi = {primo},
         .incompleti = {secondo},
         .messaggio = "Elaborazione interrotta\r\nAzienda 001: file completo " + primo +
                      ".\r\nAzienda 002: file incompleto, da non trasmettere: " + secondo +
                      ".incompleto.\r\nAzienda 003: non elaborata."},
        {.nome = "preview, one company, on its first page", .aziendaA = "001", .attesa = 1, .incompleti = {primo},
         .messaggio = "Elaborazione interrotta\r\nAzienda 001: file incompleto, da non trasmettere: " + primo +
                      ".incompleto."},
        {.nome = "printer, one company, stopped as its first page begins", .aziendaA = "001", .attesa = 0,
         .messaggio = "Elaborazione interrotta\r\nAzienda 001: non elaborata."},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        for (const QString& f : {primo, secondo, terzo}) {
            QFile::remove(f);
            QFile::remove(f + ".incompleto");
        }
        QPointer<frmLiqIvaXml> form = new frmLiqIvaXml;
        form->osKeySec = QStringLiteral("SEC");
        form->Carica();
        ASSERT_EQ(form->oiLoadOk, 1) << dialoghi->testi().join(" | ").toStdString();
        form->show();
        form->txt[40]->setText(QString::fromLatin1(k.aziendaA));
        form->txt[60]->setText(cartella + QStringLiteral("/IT§CodFisc§_LI_20244.xml"));
        dialoghi->mostrati.clear();
        std::optional<RegistroInstallato> registro;
        {
            AnteprimaFermata utente(k.attesa);
            if (k.attesa > 0) {
                QTest::mouseClick(form->cmdStaVid, Qt::LeftButton);
            } else {
                // Pages go to the recording, in place of a printer the test machine lacks.
                registro.emplace();
                form->elab.ogOpzSta->oiStaVid = OpzSta::Stampante;
                form->elab.ScrittoreCreato().PreparaStampa = [](Stampa& st) {
                    st.ImpRetro(std::make_unique<RetroCheFerma>(st, 1));
                };
                QTest::mouseClick(form->ComStampa, Qt::LeftButton);
            }
        }
        EXPECT_EQ(dialoghi->testi(), QStringList{k.messaggio});
        for (const QString& f : k.completi) EXPECT_EQ(ErroriSchema(f, QStringLiteral("ivp18")), "") << f.toStdString();
        for (const QString& f : {primo, secondo, terzo}) {
            EXPECT_EQ(QFile::exists(f), k.completi.contains(f)) << f.toStdString();
            EXPECT_EQ(QFile::exists(f + ".incompleto"), k.incompleti.contains(f)) << f.toStdString();
        }
        EXPECT_EQ(c->giStaAtt, 0);
        form->elab.ScrittoreCreato().PreparaStampa = nullptr;
        EXPECT_TRUE(form->Scarica());
        delete form.data();
    }
}

INSTANTIATE_TEST_SUITE_P(Motori, ScrittoreMotori, ValoriMotori(), NomeMotore);

}  // namespace
