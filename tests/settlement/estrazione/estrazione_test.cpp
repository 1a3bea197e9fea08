#include "settlement/estrazione/EstrazioneLiqIva.h"
#include "settlement/estrazione/ModuloLiqIva.h"

#include "common/Dichiarante.h"
#include "components/db/GestoreDb.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"
#include "components/db/Interroga.h"
#include "support/Fixture.h"
#include "support/Motori.h"

#include <QMap>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

using Riga = QMap<QString, Valore>;

// Keeps also the button each question offers as the default.
struct DialoghiConPredefinito : DialoghiScriptati {
    QList<int> predefiniti;
    int msgCom(const RichiestaMsgCom& r) override {
        predefiniti << r.bottonePredefinito;
        return DialoghiScriptati::msgCom(r);
    }
};

std::vector<std::pair<QString, Valore>> colonne(const Riga& r) {
    std::vector<std::pair<QString, Valore>> v;
    for (auto it = r.begin(); it != r.end(); ++it) v.emplace_back(it.key(), it.value());
    return v;
}

// A row read back, its columns found whatever case the engine names them in
// (the server names the columns of "SELECT *" in lower case).
struct RigaLetta {
    QMap<QString, Valore> valori;
    Valore operator[](const QString& colonna) const { return valori.value(colonna.toLower()); }
};

Riga con(Riga base, const Riga& modifiche) {
    for (auto it = modifiche.begin(); it != modifiche.end(); ++it) base[it.key()] = it.value();
    return base;
}

// A computed period with round figures; the tests change what they look at.
Riga periodo(const Riga& modifiche) {
    return con({{"OpAttive", 10000.0}, {"OpPass", 6000.0}, {"IvaDebPeriodo", 2200.0}, {"IvaCredPeriodo", 1320.0},
                {"DebRisultPeriodo", 880.0}, {"CredRisultPeriodo", 0.0}, {"IvaNonVersMin", 0.0},
                {"CreditoPrec", 0.0}, {"IvaDichPerImp13", 0.0}, {"CredSpecDetr", 0.0}, {"Interessi", 0.0},
                {"IvaDovutaPer", 880.0}, {"IvaCreditoPer", 0.0}, {"AccontoVers", 0.0}, {"CreditIvaComp", 0.0},
                {"CredF24", 0.0}, {"IvaDichPerImp14", 0.0}, {"IvaDichPerCamp2", "N"}, {"IvaDichPerCamp3", "N"},
                {"IvaDichPerCamp6", "N"}, {"IvaDichPerCamp7", ""}},
               modifiche);
}

class EstrazioneTest : public ::testing::Test {
public:
    explicit EstrazioneTest(Motore motore = Motore::File) : fx(motore) {}
    void SetUp() override {
        contesto = fx.InstallaContesto();
        contesto->ggDialoghi = dialoghi;
        dich.CodiceFiscale = "01234567897     ";
        dich.PartitaIva = "01234567897";
        dich.LiquidazioneGruppo = "N";
        dati.anno = "2018";
        dati.numCom = "1";
    }

    void Attivita(const QString& tipoLiq, double creditoInizio = 500) {
        fx.Inserisci(fx.idAzienda, "DitAttivita", {{"DitAttivita", "A2"}});
        fx.Inserisci(fx.idAzienda, "DitAttivita", {{"DitAttivita", "A1"}});
        fx.Inserisci(fx.idAzienda, "IvaRiep",
                     {{"Anno", 2018}, {"DitAttivita", "A1"}, {"TipoLiq", tipoLiq}, {"CreditoInizioAnno", creditoInizio}});
    }
    void Periodo(int p, const Riga& modifiche = {}, int anno = 2018, const QString& att = "A1") {
        fx.Inserisci(fx.idAzienda, "IvaDichPeriod",
                     colonne(con(periodo(modifiche), {{"Anno", anno}, {"DitAttivita", att}, {"Periodo", p}})));
    }
    void Riepilogo(int anno, int numCom, int modulo, int mese, int trimestre, const Riga& modifiche = {}) {
        fx.Inserisci(fx.idAzienda, "IvaDichPeriodRiep",
                     colonne(con(periodo(modifiche), {{"Anno", anno}, {"NumCom", numCom}, {"Modulo", modulo},
                                                      {"Mese", mese}, {"Trimestre", trimestre},
                                                      {"Periodo", mese != 0 ? mese : trimestre},
                                                      {"CreditoAnnoPrec", 700.0}})));
    }

    EsitoEstrazione Estrai() { return EstraiLiqIva(dati, dich); }

    QList<RigaLetta> Leggi(const QString& sql) {
        QList<RigaLetta> righe;
        const RisultatoSql r = LeggiTutto(*fx.gestDb, fx.idAzienda, sql, QStringLiteral("EstrazioneTest"));
        for (const QList<Valore>& valori : r.righe) {
            RigaLetta riga;
            for (qsizetype c = 0; c < r.colonne.size(); ++c) riga.valori[r.colonne[c].toLower()] = valori[c];
            righe << riga;
        }
        return righe;
    }
    QList<RigaLetta> Moduli(int numCom = 1) {
        return Leggi(QStringLiteral("SELECT * FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = %1 ORDER BY Modulo")
                         .arg(numCom));
    }
    QList<RigaLetta> Testate() { return Leggi("SELECT * FROM LiqIvaTest ORDER BY Anno, NumCom"); }

    FixtureDb fx;
    std::shared_ptr<Contesto> contesto;
    std::shared_ptr<DialoghiConPredefinito> dialoghi = std::make_shared<DialoghiConPredefinito>();
    RecDichiarante dich;
    DatiEstrazione dati;
};

// The extraction reads and writes a company database file and one on the
// server alike.
using EstrazioneMotori = SuMotori<EstrazioneTest>;

// Monthly, first quarter: January takes the opening credit less its F24
// use; after months that were not forced the credit used is the month's own
// F24 use, with the sign inverted.
TEST_P(EstrazioneMotori, MensilePrimoTrimestre) {
    Attivita("m", 500);
    Periodo(1, {{"CredF24", 100.0}, {"IvaDichPerImp14", 7.0}});
    Periodo(2, {{"CredF24", 50.0}, {"CreditIvaComp", 20.0}, {"IvaDichPerImp14", 5.0}});
    Periodo(3, {{"CredF24", 30.0}, {"IvaDichPerCamp7", "2"}, {"IvaDichPerCamp6", "s"}, {"Interessi", 4.5}});
    dati.subfornitura = true;
    dati.eventiEccezionali = "1";

    const EsitoEstrazione e = Estrai();

    EXPECT_EQ(e.stato, EsitoEstrazione::Completata);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});
    const auto m = Moduli();
    ASSERT_EQ(m.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m[i]["Modulo"], Valore(i + 1));
        EXPECT_EQ(m[i]["Mese"], Valore(i + 1));
        EXPECT_TRUE(m[i]["Trimestre"].eNull());
        EXPECT_EQ(m[i]["Subfornitura"], Valore("S"));
        EXPECT_EQ(m[i]["EventiEccezionali"], Valore("1"));
        EXPECT_EQ(m[i]["TotaleOperazioniAttive"], Valore(10000.0));
        EXPECT_EQ(m[i]["IvaDovuta"], Valore(880.0));
    }
    EXPECT_EQ(m[0]["CreditoAnnoPrecedente"], Valore(400.0));               // 500 - 100
    EXPECT_EQ(m[1]["CreditoAnnoPrecedente"], Valore(-50.0));
    EXPECT_EQ(m[2]["CreditoAnnoPrecedente"], Valore(-30.0));
    EXPECT_TRUE(m[0]["MetodoAcconto"].eNull());
    EXPECT_EQ(m[2]["MetodoAcconto"], Valore("2"));
    EXPECT_EQ(m[0]["OpStraordinarie"], Valore("N"));
    EXPECT_EQ(m[2]["OpStraordinarie"], Valore("S"));
    EXPECT_EQ(m[2]["InteressiDovuti"], Valore(4.5));

    const auto t = Testate();
    ASSERT_EQ(t.size(), 1);
    EXPECT_EQ(t[0]["CodiceFiscale"], Valore("01234567897"));
    EXPECT_EQ(t[0]["PartitaIvaControllante"], Valore(""));
    EXPECT_EQ(t[0]["UltimoMese"], Valore(0));
    EXPECT_EQ(t[0]["FirmaDichiarazione"], Valore("S"));
    EXPECT_EQ(t[0]["FirmaIntermediario"], Valore("N"));
    EXPECT_TRUE(t[0]["FlagConferma"].eNull());
    EXPECT_TRUE(t[0]["ImpegnoPresentazione"].eNull());
    EXPECT_TRUE(t[0]["DataImpegno"].eNull());
}

// A row with the credit forced takes it as it is; when every earlier row was
// forced the credit left is the opening one less the sums of the earlier
// rows' credit, F24 use and compensation (not the row's own compensation).
TEST_P(EstrazioneMotori, CreditoForzato) {
    Attivita("M", 500);
    Periodo(1, {{"IvaDichPerCamp3", "s"}, {"CreditIvaComp", 123.0}, {"CredF24", 100.0}, {"IvaDichPerImp14", 7.0}});
    Periodo(2, {{"CredF24", 40.0}, {"IvaDichPerImp14", 1000.0}});
    Periodo(3, {{"CredF24", 10.0}});
    Estrai();
    auto m = Moduli();
    ASSERT_EQ(m.size(), 3);
    EXPECT_EQ(m[0]["CreditoAnnoPrecedente"], Valore(123.0));
    EXPECT_EQ(m[1]["CreditoAnnoPrecedente"], Valore(500.0 - 123 - 100 - 7));
    EXPECT_EQ(m[2]["CreditoAnnoPrecedente"], Valore(-10.0));  // February was not forced
}

// Monthly, second quarter with June missing: the question, with the earlier
// months absent (sums null, taken as 0). April is an ordinary month: it
// keeps its interest and what it pays.
TEST_P(EstrazioneMotori, MesiMancantiEAprileMensile) {
    Attivita("M", 300);
    Periodo(4, {{"Interessi", 12.34}, {"IvaDovutaPer", 1000.0}, {"CredF24", 25.0}, {"IvaDichPerCamp2", "S"}});
    Periodo(5);
    dati.numCom = "2";

    dialoghi->risposte = {2};
    EXPECT_EQ(Estrai().stato, EsitoEstrazione::Fermata);
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_EQ(dialoghi->mostrati[0].testo, "Non sono stati elaborati tuti i mesi da estrarre: estrarre ugualmente");
    EXPECT_EQ(dialoghi->mostrati[0].bottoni, (QStringList{"&Conferma", "&Annulla"}));
    EXPECT_EQ(dialoghi->predefiniti, QList<int>{2});
    EXPECT_TRUE(Testate().isEmpty());

    // Going on, the user is told that VP9 takes the whole opening credit,
    // since no earlier month of the year was worked out; "&Annulla" stops.
    const QString vp9 = QString::fromUtf8("I periodi precedenti dell'anno non sono stati elaborati: il credito dell'anno precedente (VP9) sarà l'intero credito di inizio anno. Estrarre ugualmente");
    dialoghi->mostrati.clear();
    dialoghi->predefiniti.clear();
    dialoghi->risposte = {1, 2};
    EXPECT_EQ(Estrai().stato, EsitoEstrazione::Fermata);
    EXPECT_EQ(dialoghi->testi(),
              (QStringList{"Non sono stati elaborati tuti i mesi da estrarre: estrarre ugualmente", vp9}));
    EXPECT_EQ(dialoghi->predefiniti, (QList<int>{2, 2}));
    EXPECT_TRUE(Testate().isEmpty());

    dialoghi->mostrati.clear();
    dialoghi->risposte = {1, 1};
    EXPECT_EQ(Estrai().stato, EsitoEstrazione::Completata);
    const auto m = Moduli(2);
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[0]["Modulo"], Valore(1));
    EXPECT_EQ(m[0]["Mese"], Valore(4));
    EXPECT_EQ(m[1]["Mese"], Valore(5));
    EXPECT_EQ(m[0]["CreditoAnnoPrecedente"], Valore(300.0));  // no earlier month
    EXPECT_EQ(m[0]["InteressiDovuti"], Valore(12.34));
    EXPECT_EQ(m[0]["ImportoDaVersare"], Valore(1000.0));
}

// Quarterly: one module for the quarter; the fourth quarter follows the
// yearly return flag.
TEST_F(EstrazioneTest, TrimestraleEQuartoTrimestre) {
    struct Caso {
        const char* nome;
        int trimestre;
        const char* camp2;
        Valore trimestreScritto, interessi, daVersare, aCredito;
    } casi[] = {
        {"terzo", 3, "S", 3, 12.34, 1000.0, 50.0},
        {"quarto con dichiarazione annuale", 4, "s", 5, 0, 0, 0},
        {"quarto senza", 4, "N", 4, 0, 987.66, 50.0},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        FixtureDb f;
        auto ctxLocale = f.InstallaContesto();
        auto dlg = std::make_shared<DialoghiScriptati>();
        ctxLocale->ggDialoghi = dlg;
        f.Inserisci(f.idAzienda, "DitAttivita", {{"DitAttivita", "A1"}});
        f.Inserisci(f.idAzienda, "IvaRiep", {{"Anno", 2018}, {"DitAttivita", "A1"}, {"TipoLiq", "T"}});
        for (int p = 1; p <= 4; ++p)
            f.Inserisci(f.idAzienda, "IvaDichPeriod",
                        colonne(con(periodo({{"Interessi", 12.34}, {"IvaDovutaPer", 1000.0}, {"IvaCreditoPer", 50.0},
                                             {"IvaDichPerCamp2", c.camp2}}),
                                    {{"Anno", 2018}, {"DitAttivita", "A1"}, {"Periodo", p}})));
        DatiEstrazione d = dati;
        d.numCom = QString::number(c.trimestre);
        EXPECT_EQ(EstraiLiqIva(d, dich).stato, EsitoEstrazione::Completata);
        sqlite3* db = f.gestDb->DatabaseDaId(f.idAzienda)->Handle();
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT Modulo, Mese, Trimestre, InteressiDovuti, ImportoDaVersare, ImportoACredito "
                               "FROM LiqIvaDett", -1, &st, nullptr);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        EXPECT_EQ(sqlite3_column_int(st, 0), 1);
        EXPECT_EQ(sqlite3_column_type(st, 1), SQLITE_NULL);
        EXPECT_EQ(sqlite3_column_int(st, 2), c.trimestreScritto.intero());
        EXPECT_DOUBLE_EQ(sqlite3_column_double(st, 3), c.interessi.numero());
        EXPECT_DOUBLE_EQ(sqlite3_column_double(st, 4), c.daVersare.numero());
        EXPECT_DOUBLE_EQ(sqlite3_column_double(st, 5), c.aCredito.numero());
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);  // only the requested quarter
        sqlite3_finalize(st);
    }
}

// Several activities: modules numbered as the summary has them; the earlier
// rows are those of the same year before this module.
TEST_P(EstrazioneMotori, Multiattivita) {
    const Riga forzato{{"IvaDichPerCamp3", "S"}};
    Riepilogo(2017, 4, 1, 0, 4, {{"CredF24", 999.0}});  // not forced: it would change the rule
    Riepilogo(2018, 1, 1, 0, 1, con(forzato, {{"CredF24", 100.0}, {"CreditIvaComp", 30.0}, {"IvaDichPerImp14", 3.0}}));
    Riepilogo(2018, 1, 2, 0, 1, con(forzato, {{"CredF24", 60.0}, {"CreditIvaComp", 15.0}}));
    Riepilogo(2018, 2, 1, 4, 0, {{"CredF24", 10.0}, {"Interessi", 2.0}, {"IvaDichPerCamp2", "S"}});
    Riepilogo(2018, 2, 3, 5, 0, {{"CredF24", 5.0}});
    dati.multiAttivita = true;
    dati.numCom = "2";

    EXPECT_EQ(Estrai().stato, EsitoEstrazione::Completata);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});  // no question on missing months
    const auto m = Moduli(2);
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[0]["Modulo"], Valore(1));
    EXPECT_EQ(m[1]["Modulo"], Valore(3));
    EXPECT_EQ(m[0]["Mese"], Valore(4));
    EXPECT_EQ(m[0]["Trimestre"], Valore(0));
    // Module 1 of communication 2: both modules of communication 1, not 2017;
    // module 3 follows module 1, which was not forced.
    EXPECT_EQ(m[0]["CreditoAnnoPrecedente"], Valore(700.0 - 45 - 160 - 3));
    EXPECT_EQ(m[1]["CreditoAnnoPrecedente"], Valore(-5.0));
    // A monthly April keeps its interest even with the yearly flag.
    EXPECT_EQ(m[0]["InteressiDovuti"], Valore(2.0));
    EXPECT_EQ(m[0]["ImportoDaVersare"], Valore(880.0));

    dati.numCom = "1";
    dialoghi->mostrati.clear();
    Estrai();
    const auto m1 = Moduli(1);
    ASSERT_EQ(m1.size(), 2);
    EXPECT_EQ(m1[0]["CreditoAnnoPrecedente"], Valore(30.0));
    EXPECT_EQ(m1[1]["CreditoAnnoPrecedente"], Valore(15.0));
}

// Several activities settled quarterly: the fourth quarter follows the yearly
// return flag as with one activity.
TEST_P(EstrazioneMotori, MultiattivitaQuartoTrimestre) {
    const Riga cifre{{"Interessi", 12.34}, {"IvaDovutaPer", 1000.0}, {"IvaCreditoPer", 50.0}};
    Riepilogo(2018, 4, 1, 0, 4, con(cifre, {{"IvaDichPerCamp2", "N"}}));
    Riepilogo(2018, 4, 2, 0, 4, con(cifre, {{"IvaDichPerCamp2", "s"}}));
    dati.multiAttivita = true;
    dati.numCom = "4";
    dialoghi->risposte = {1};  // no earlier quarter: go on all the same
    EXPECT_EQ(Estrai().stato, EsitoEstrazione::Completata);
    EXPECT_EQ(dialoghi->testi().value(0), QString::fromUtf8("I periodi precedenti dell'anno non sono stati elaborati: il credito dell'anno precedente (VP9) sarà l'intero credito di inizio anno. Estrarre ugualmente"));
    const auto m = Moduli(4);
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[0]["InteressiDovuti"], Valore(0.0));
    EXPECT_EQ(m[0]["ImportoDaVersare"], Valore(987.66));
    EXPECT_EQ(m[0]["ImportoACredito"], Valore(50.0));
    EXPECT_EQ(m[1]["InteressiDovuti"], Valore(0.0));
    EXPECT_EQ(m[1]["ImportoDaVersare"], Valore(0.0));
    EXPECT_EQ(m[1]["ImportoACredito"], Valore(0.0));
    EXPECT_EQ(m[1]["Trimestre"], Valore(4));  // copied from the summary as it is
}

// An earlier communication is replaced whole after "&Conferma" and left as it
// is after "&Annulla".
TEST_P(EstrazioneMotori, SostituzioneEstrazionePrecedente) {
    Attivita("M");
    for (int p = 1; p <= 2; ++p) Periodo(p);
    fx.Esegui(fx.idAzienda, "INSERT INTO LiqIvaTest (Anno, NumCom, CodiceFiscale) VALUES (2018, 1, 'CORRETTO')");
    for (int mod = 1; mod <= 4; ++mod)
        fx.Esegui(fx.idAzienda,
                  QStringLiteral("INSERT INTO LiqIvaDett (Anno, NumCom, Modulo, IvaDovuta) VALUES (2018, 1, %1, 1)")
                      .arg(mod));
    fx.Esegui(fx.idAzienda, "INSERT INTO LiqIvaDett (Anno, NumCom, Modulo) VALUES (2018, 2, 1)");

    dialoghi->risposte = {1, 2};  // extract the two months, then keep the earlier one
    EXPECT_EQ(Estrai().stato, EsitoEstrazione::Fermata);
    EXPECT_EQ(dialoghi->testi().last(), "Confermi cancellazione di estrazione precedente");
    EXPECT_EQ(dialoghi->mostrati.last().bottoni, (QStringList{"&Conferma", "&Annulla"}));
    EXPECT_EQ(dialoghi->predefiniti.last(), 1);
    EXPECT_EQ(Moduli().size(), 4);
    EXPECT_EQ(Testate()[0]["CodiceFiscale"], Valore("CORRETTO"));

    dialoghi->risposte = {1, 1};
    EXPECT_EQ(Estrai().stato, EsitoEstrazione::Completata);
    const auto m = Moduli();
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[1]["IvaDovuta"], Valore(880.0));
    ASSERT_EQ(Testate().size(), 1);
    EXPECT_EQ(Testate()[0]["CodiceFiscale"], Valore("01234567897"));
    EXPECT_EQ(Moduli(2).size(), 1);  // another communication is not touched
}

// A failure half-way rolls everything back: the earlier (hand-corrected)
// communication stays and the user is told the extraction failed.
TEST_F(EstrazioneTest, GuastoAMetaConservaIlPrecedente) {
    struct Caso {
        const char* nome;
        const char* trigger;
        QString primoMessaggio;
    } casi[] = {
        {"errore del database", "SELECT RAISE(ABORT, 'disco pieno')", "Errore("},
        {"riga non inserita", "SELECT RAISE(IGNORE)", "Dettaglio del periodo 2 non inserito nei dettagli\r\nINSERT INTO"},
    };
    Attivita("M");
    for (int p = 1; p <= 3; ++p) Periodo(p);
    fx.Esegui(fx.idAzienda, "INSERT INTO LiqIvaTest (Anno, NumCom, CodiceFiscale) VALUES (2018, 1, 'CORRETTO')");
    fx.Esegui(fx.idAzienda, "INSERT INTO LiqIvaDett (Anno, NumCom, Modulo, IvaDovuta) VALUES (2018, 1, 1, 42)");
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        fx.Esegui(fx.idAzienda, QStringLiteral("CREATE TRIGGER guasto BEFORE INSERT ON LiqIvaDett "
                                               "WHEN NEW.Modulo = 2 BEGIN %1; END")
                                    .arg(c.trigger));
        dialoghi->mostrati.clear();
        dialoghi->risposte = {1};
        EXPECT_EQ(Estrai().stato, EsitoEstrazione::Fallita);
        const QStringList t = dialoghi->testi();
        ASSERT_GE(t.size(), 2);
        EXPECT_TRUE(t[1].startsWith(c.primoMessaggio)) << t[1].toStdString();
        EXPECT_TRUE(t.last().endsWith(kMsgEstrazioneFallita)) << t.last().toStdString();
        EXPECT_FALSE(t.contains("Elaborazione terminata"));
        const auto m = Moduli();
        ASSERT_EQ(m.size(), 1);
        EXPECT_EQ(m[0]["IvaDovuta"], Valore(42.0));
        ASSERT_EQ(Testate().size(), 1);
        EXPECT_EQ(Testate()[0]["CodiceFiscale"], Valore("CORRETTO"));
        fx.Esegui(fx.idAzienda, "DROP TRIGGER guasto");
    }
    // The database is usable again afterwards.
    dialoghi->risposte = {1};
    EXPECT_EQ(Estrai().stato, EsitoEstrazione::Completata);
    EXPECT_EQ(Moduli().size(), 3);
}

// Checks and missing data stop the run before anything is written, with the
// field to correct.
TEST_P(EstrazioneMotori, ArrestiPrimaDiScrivere) {
    struct Caso {
        const char* nome;
        std::function<void(EstrazioneTest&, DatiEstrazione&)> prepara;
        QString messaggio;
        int campo;
    } casi[] = {
        {"anno", [](EstrazioneTest&, DatiEstrazione& d) { d.anno = ""; }, "Anno di estrazione obbligatorio", 10},
        {"numero", [](EstrazioneTest&, DatiEstrazione& d) { d.numCom = "0"; }, "Numero comunicazione obbligatorio", 20},
        {"impegno", [](EstrazioneTest&, DatiEstrazione& d) { d.cfIntermediario = "09876543217"; d.dataImpegno = "01/02/2018"; },
         "Impostare Impegno alla presentazione", 130},
        {"data impegno",
         [](EstrazioneTest&, DatiEstrazione& d) { d.cfIntermediario = "09876543217"; d.impegno = "1 - Comunicazione predisposta dal contribuente"; },
         "Data impegno obbligatoria in presenza di incaricato", 140},
        {"data impegno che non è una data",
         [](EstrazioneTest&, DatiEstrazione& d) { d.impegno = "0 - nessun impegno"; d.dataImpegno = "31/02/2018"; },
         "Data Errata o Campo Errato", 140},
        {"nessuna attività", [](EstrazioneTest&, DatiEstrazione&) {}, "Mancano i dati iniziali iva per l'anno 2018", -1},
        {"quinto trimestre mensile",
         [](EstrazioneTest& t, DatiEstrazione& d) { t.Attivita("M"); t.Periodo(12); d.numCom = "5"; },
         "Non ci sono dati da estrarre per l'attività A1 nell'anno 2018", -1},
        {"multiattività senza dati", [](EstrazioneTest&, DatiEstrazione& d) { d.multiAttivita = true; },
         "Non ci sono dati elaborati per la multiattività per il comunicato richiesto nell'anno 2018", -1},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        fx.Esegui(fx.idAzienda, "DELETE FROM DitAttivita; DELETE FROM IvaRiep; DELETE FROM IvaDichPeriod");
        DatiEstrazione d = dati;
        c.prepara(*this, d);
        dialoghi->mostrati.clear();
        const EsitoEstrazione e = EstraiLiqIva(d, dich);
        EXPECT_EQ(e.stato, EsitoEstrazione::Fermata);
        EXPECT_EQ(e.campoFocus, c.campo);
        EXPECT_EQ(dialoghi->testi(), QStringList{c.messaggio});
        EXPECT_TRUE(Testate().isEmpty());
    }
}

// A failed read of the default activity is said, and the run goes on with
// the activity "." to the missing yearly data.
TEST_F(EstrazioneTest, AttivitaPredefinitaIlleggibile) {
    fx.Esegui(fx.idAzienda, "DROP TABLE DitAttivita");
    EXPECT_EQ(Estrai().stato, EsitoEstrazione::Fermata);
    const QStringList t = dialoghi->testi();
    ASSERT_EQ(t.size(), 2);
    EXPECT_TRUE(t[0].startsWith("Errore durante la ricerca dell'attività di default: errore ")) << t[0].toStdString();
    EXPECT_EQ(t[1], "Mancano i dati iniziali iva per l'anno 2018");
    EXPECT_TRUE(Testate().isEmpty());
}

// The yearly data of an activity: the names become the values; nothing read
// without an activity or a year, emptied when the row is missing.
TEST_P(EstrazioneMotori, LeggiIvaRiep) {
    Attivita("M", 250);
    const struct {
        int anno;
        const char* attivita;
        bool trovato;
        QList<Valore> campi;
    } casi[] = {
        {2018, "a1", true, {250.0, "M"}},
        {2017, "A1", false, {"", ""}},
        {0, "A1", false, {"CreditoInizioAnno", "TipoLiq"}},
        {2018, "", false, {"CreditoInizioAnno", "TipoLiq"}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(std::to_string(c.anno) + " " + c.attivita);
        QList<Valore> campi{"CreditoInizioAnno", "TipoLiq"};
        EXPECT_EQ(LeggiIvaRiep(campi, c.anno, c.attivita), c.trovato);
        EXPECT_EQ(campi, c.campi);
    }
}

// A failure while reading the opening credit is shown where it happens and
// stops the run, which keeps the earlier communication.
TEST_F(EstrazioneTest, GuastoNelCreditoDiInizioAnno) {
    Attivita("M");
    Periodo(1);
    fx.Esegui(fx.idAzienda, "INSERT INTO LiqIvaTest (Anno, NumCom, CodiceFiscale) VALUES (2018, 1, 'CORRETTO')");
    fx.Esegui(fx.idAzienda, "ALTER TABLE IvaRiep DROP COLUMN CreditoInizioAnno");
    dialoghi->risposte = {1, 1};
    EXPECT_EQ(Estrai().stato, EsitoEstrazione::Fallita);
    const QStringList t = dialoghi->testi();
    ASSERT_EQ(t.size(), 4) << t.join(" | ").toStdString();
    EXPECT_TRUE(t[2].startsWith("Errore(")) << t[2].toStdString();
    EXPECT_TRUE(t[3].endsWith(kMsgEstrazioneFallita)) << t[3].toStdString();
    ASSERT_EQ(Testate().size(), 1);
    EXPECT_EQ(Testate()[0]["CodiceFiscale"], Valore("CORRETTO"));
    EXPECT_TRUE(Moduli().isEmpty());
}

// Intermediary data reach the header only when given.
TEST_P(EstrazioneMotori, TestataConIncaricato) {
    Attivita("T");
    Periodo(1);
    dati.cfIntermediario = "09876543217";
    dati.impegno = "2 - Comunicazione predisposta da chi effettua l'invio";
    dati.dataImpegno = "20/04/2018";
    dati.firmaIntermediario = true;
    dati.flagConferma = true;
    dati.cfDichiarante = "RSSGPP65B12F205H";
    dati.codiceCarica = "01";
    EXPECT_EQ(Estrai().stato, EsitoEstrazione::Completata);
    const auto t = Testate();
    ASSERT_EQ(t.size(), 1);
    EXPECT_EQ(t[0]["ImpegnoPresentazione"], Valore("2"));
    EXPECT_EQ(t[0]["DataImpegno"], Valore("2018-04-20"));
    EXPECT_EQ(t[0]["FirmaIntermediario"], Valore("S"));
    EXPECT_EQ(t[0]["FlagConferma"], Valore("1"));
    EXPECT_EQ(t[0]["CFDichiarante"], Valore("RSSGPP65B12F205H"));
    EXPECT_EQ(t[0]["CodiceCaricaDichiarante"], Valore("01"));
    // Quarterly first quarter: opening credit less the F24 use (none here).
    EXPECT_EQ(Moduli()[0]["CreditoAnnoPrecedente"], Valore(500.0));
}

INSTANTIATE_TEST_SUITE_P(Motori, EstrazioneMotori, ValoriMotori(), NomeMotore);

}  // namespace
