// The extraction run on a small fixture: its checks, the
// replacement of earlier data, registrations already extracted elsewhere,
// the fictitious pass, and the run as one transaction that a failure, an
// error or an interruption rolls back whole.
#include "invoicedata/estrazione/EstrazioneDatiFat.h"

#include "ContabilitaProva.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"

#include <gtest/gtest.h>

namespace {

using namespace contabilita;

// Keeps also the button each question offers as the default.
struct DialoghiConPredefinito : DialoghiScriptati {
    QList<int> predefiniti;
    int msgCom(const RichiestaMsgCom& r) override {
        predefiniti << r.bottonePredefinito;
        return DialoghiScriptati::msgCom(r);
    }
};

// Records what the run reports and asks to interrupt before a given row.
struct OsservatoreProva : OsservatoreDatiFat {
    QStringList fasi;
    QList<std::pair<long, long>> conteggi;  // first and last of each pass
    long interrompiPrimaDi = -1;             // row number, 1-based
    int inizi = 0, fini = 0;
    long fatti = 0;
    void Inizio() override { ++inizi; }
    void Fine() override { ++fini; }
    void Fase(const QString& t) override { fasi << t; }
    void Avanzamento(long f, long daFare) override {
        if (f == 0) conteggi.append({0, daFare});
        else conteggi.last() = {f, daFare};
        fatti = f;
    }
    bool InterruzioneRichiesta() override {
        if (fatti + 1 != interrompiPrimaDi) return false;
        interrompiPrimaDi = -1;
        return true;
    }
};

const QString kClienti = QStringLiteral("In elaborazione Clienti (fatture di vendita)");
const QString kFornitori = QStringLiteral("In elaborazione Fornitori (fatture di acquisto)");
const QString kDomandaSostituzione = QStringLiteral(
    "Ci sono dati estratti in precedenza non inviati: confermi la loro sostituzione con l'elaborazione corrente");
const QString kRollback = QStringLiteral("Elaborazione interrotta\r\nNessun dato è stato modificato.");

class EstrazioneDatiFatTest : public ::testing::Test {
protected:
    void SetUp() override {
        contesto = fx.InstallaContesto();
        contesto->ggDialoghi = dialoghi;
        contesto->ggMenuClient = menu;
        Anagrafiche(fx);
    }
    EsitoDatiFat Estrai(bool fittizio = false) {
        EstrazioneDatiFat e;
        e.opzioni = opzioni;
        e.usaFittizio = fittizio;
        e.osservatore = &osservatore;
        return e.Esegui();
    }
    // A hand-corrected header of the communication with one line.
    void Precedente(long numReg, const char* tipo, int numInv = 0, int numCanc = 0, int anno = 2018, int numCom = 1) {
        const char* stato = numCanc == 0 ? "N" : "C";
        fx.Inserisci(fx.idAzienda, "DatiFatTest",
                     {{"AnnoCom", anno}, {"NumCom", numCom}, {"AnnoReg", anno}, {"NumReg", numReg}, {"NumCanc", numCanc},
                      {"Tipo", tipo}, {"Stato", stato}, {"NumInv", numInv}, {"Progr", 0}, {"TipoDocumento", "CORR"}});
        fx.Inserisci(fx.idAzienda, "DatiFatDett",
                     {{"AnnoCom", anno}, {"NumCom", numCom}, {"AnnoReg", anno}, {"NumReg", numReg}, {"NumCanc", numCanc},
                      {"Tipo", tipo}, {"Stato", stato}, {"NumDet", 1}, {"Imposta", 99.0}});
    }
    // "Tipo NumReg TipoDocumento" of each header.
    QStringList Righe() {
        QStringList r;
        for (const Riga& t : Testate(fx))
            r << t["Tipo"].testo() + " " + t["NumReg"].testo() + " " + t["TipoDocumento"].testo();
        return r;
    }
    std::string Testi() const { return dialoghi->testi().join(" | ").toStdString(); }

    FixtureDb fx;
    std::shared_ptr<Contesto> contesto;
    std::shared_ptr<DialoghiConPredefinito> dialoghi = std::make_shared<DialoghiConPredefinito>();
    std::shared_ptr<MenuClientFinto> menu = std::make_shared<MenuClientFinto>();
    OsservatoreProva osservatore;
    OpzioniDatiFat opzioni{.anno = "2018", .numCom = "1", .dataDa = "01/01/2018", .dataA = "30/06/2018"};
};

// Checks stop the run before any question or change, with the field to correct.
TEST_F(EstrazioneDatiFatTest, ControlliPrimaDiTutto) {
    Precedente(1, "E");
    const struct {
        const char* nome;
        OpzioniDatiFat op;
        const char* messaggio;
        int campo;
    } casi[] = {
        {"anno mancante", {.anno = "", .numCom = "1"}, "Anno di estrazione obbligatorio", 10},
        {"numero zero", {.anno = "2018", .numCom = "0"}, "Numero comunicazione obbligatorio", 20},
        {"mese 13 del 2019", {.anno = "2019", .numCom = "13"}, "Numero comunicazione troppo alto", 20},
        {"trimestre 5 del 2021", {.anno = "2021", .numCom = "5"}, "Numero comunicazione troppo alto", 20},
        {"semestre 5 del 2018", {.anno = "2018", .numCom = "5"}, "Numero comunicazione troppo alto", 20},
        {"niente da estrarre", {.anno = "2018", .numCom = "1", .clienti = false, .fornitori = false},
         "Selezionare cosa estrarre", -1},
        {"clienti fittizi senza solo stranieri", {.anno = "2018", .numCom = "1", .cliFittizi = true},
         "Estrazione clienti fittizi valida solo per estrazioni per stranieri (esterometro)", -1},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        dialoghi->mostrati.clear();
        opzioni = c.op;
        const EsitoDatiFat e = Estrai();
        EXPECT_EQ(e.stato, EsitoDatiFat::Fermata);
        EXPECT_EQ(e.campoFocus, c.campo);
        EXPECT_EQ(dialoghi->testi(), QStringList{c.messaggio});
        EXPECT_EQ(osservatore.inizi, 0);
    }
    EXPECT_EQ(Righe(), QStringList{"E 1 CORR"});

    // December 2019 is a valid number.
    dialoghi->mostrati.clear();
    opzioni = {.anno = "2019", .numCom = "12", .dataDa = "01/12/2019", .dataA = "31/12/2019"};
    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Completata);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});
}

TEST_F(EstrazioneDatiFatTest, SelezioneVuota) {
    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Completata);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});
    EXPECT_EQ(osservatore.fasi, (QStringList{kClienti, kFornitori}));
    EXPECT_EQ(osservatore.conteggi, (QList<std::pair<long, long>>{{0, 0}, {0, 0}}));
    EXPECT_EQ(osservatore.inizi, 1);
    EXPECT_EQ(osservatore.fini, 1);
}

// Issued then received, each counted; rows of a registration numbered in
// the order of its VAT lines.
TEST_F(EstrazioneDatiFatTest, ClientiPoiFornitori) {
    Registra(fx, {.numReg = 2, .iva = {{}, {.iva = "10", .imposta = 10.0}}});
    Registra(fx, {.numReg = 1, .causale = "FA", .controparte = kFornitore, .dareAvere = "A"});
    Registra(fx, {.numReg = 3});
    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Completata);
    EXPECT_EQ(Righe(), (QStringList{"E 2 TD01", "E 3 TD01", "R 1 TD01"}));
    EXPECT_EQ(osservatore.conteggi, (QList<std::pair<long, long>>{{3, 3}, {1, 1}}));
    EXPECT_EQ(Dettagli(fx).size(), 4);
}

// Earlier unsent data: "&Annulla" keeps them and says nothing more; "&Ok"
// replaces them. Only the ticked kind goes; sent and cancelled rows stay.
TEST_F(EstrazioneDatiFatTest, SostituzioneDeiDatiNonInviati) {
    Precedente(1, "E");
    Precedente(7, "R");
    Precedente(8, "E", 3);     // sent
    Precedente(9, "E", 2, 2);  // cancelled with its file
    Registra(fx, {.numReg = 1});
    Registra(fx, {.numReg = 7, .causale = "FA", .controparte = kFornitore, .dareAvere = "A"});

    dialoghi->risposte = {2};
    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Fermata);
    EXPECT_EQ(dialoghi->testi(), QStringList{kDomandaSostituzione});
    EXPECT_EQ(dialoghi->mostrati[0].bottoni, (QStringList{"&Ok", "&Annulla"}));
    EXPECT_EQ(dialoghi->predefiniti, QList<int>{1});
    EXPECT_EQ(osservatore.inizi, 0);
    EXPECT_EQ(Righe(), (QStringList{"E 1 CORR", "E 8 CORR", "E 9 CORR", "R 7 CORR"}));

    // Suppliers only: the clients' unsent row stays.
    dialoghi->mostrati.clear();
    dialoghi->risposte = {1};
    opzioni.clienti = false;
    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Completata);
    EXPECT_EQ(dialoghi->testi(), (QStringList{kDomandaSostituzione, "Elaborazione terminata"}));
    EXPECT_EQ(osservatore.fasi.first(), "Cancellazione dati precedenti");
    EXPECT_EQ(Righe(), (QStringList{"E 1 CORR", "E 8 CORR", "E 9 CORR", "R 7 TD01"}));
    EXPECT_EQ(Leggi(fx, "SELECT * FROM DatiFatDett WHERE Tipo = 'R'").size(), 1);
    EXPECT_EQ(Leggi(fx, "SELECT * FROM DatiFatDett WHERE Imposta = 99").size(), 3);

    // Both kinds: the client's row is replaced too.
    dialoghi->mostrati.clear();
    dialoghi->risposte = {1};
    opzioni.clienti = true;
    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Completata);
    EXPECT_EQ(Righe(), (QStringList{"E 1 TD01", "E 8 CORR", "E 9 CORR", "R 7 TD01"}));
    EXPECT_EQ(Leggi(fx, "SELECT * FROM DatiFatDett WHERE Imposta = 99").size(), 2);
}

// Earlier data all sent: no question, nothing deleted, and the registrations
// already in the communication are not taken again; a registration in
// another communication is skipped with its note, and still counted.
TEST_F(EstrazioneDatiFatTest, DatiGiaInviatiEAltreComunicazioni) {
    opzioni = {.anno = "2019", .numCom = "1", .dataDa = "01/01/2019", .dataA = "31/01/2019"};
    const QDate gennaio(2019, 1, 15);
    for (long n : {56, 57, 58, 59})
        Registra(fx, {.anno = 2019, .numReg = n, .dataReg = gennaio, .dataDoc = gennaio, .dataProt = gennaio,
                      .iva = {{}, {.iva = "10", .imposta = 10.0}}});
    Precedente(56, "E", 1, 0, 2019, 1);   // sent in this communication
    Precedente(57, "E", 1, 0, 2019, 12);  // sent in December
    Precedente(58, "E", 2, 2, 2019, 12);  // cancelled: extracted again

    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Completata);
    EXPECT_EQ(dialoghi->testi(),
              QStringList{"Il movimento anno 2019 e numero 57 già estratto nella comunicazione 2019/12"});
    EXPECT_EQ(Leggi(fx, "SELECT NumReg, TipoDocumento FROM DatiFatTest WHERE AnnoCom = 2019 AND NumCom = 1"
                        " ORDER BY NumReg")
                  .size(),
              3);
    EXPECT_EQ(Leggi(fx, "SELECT * FROM DatiFatTest WHERE NumReg IN (58, 59) AND TipoDocumento = 'TD01'").size(), 2);
    EXPECT_EQ(Leggi(fx, "SELECT * FROM DatiFatTest WHERE NumReg = 56 AND TipoDocumento = 'CORR'").size(), 1);
    EXPECT_EQ(osservatore.conteggi.first(), (std::pair<long, long>{6, 6}));  // 56 is not selected again
}

// The fictitious pass: after the real one, numbered with 100000 added, named
// in the notes by its own number; its zero lines re-summed from its own lines.
TEST_F(EstrazioneDatiFatTest, PassataDeiClientiFittizi) {
    Registra(fx, {.numReg = 5});
    const RigaIvaProva zero{.imponibile = 0.0, .imposta = 0.0};
    Registra(fx, {.fittizia = true, .numReg = 5, .importo = 0.0, .controparte = kClienteFittizio,
                  .importoControparte = 0.0, .iva = {zero, {.iva = "Z0", .imposta = 0.0}},
                  .altre = {{kRicaviBeni, "A", 80, 0, "22", 17.6}, {kRicaviBeni, "A", -80, 0, "22", -17.6}}});

    EXPECT_EQ(Estrai(false).stato, EsitoDatiFat::Completata);
    EXPECT_EQ(Righe(), QStringList{"E 5 TD01"});

    dialoghi->mostrati.clear();
    dialoghi->risposte = {1};
    EXPECT_EQ(Estrai(true).stato, EsitoDatiFat::Completata);
    EXPECT_EQ(dialoghi->testi(),
              (QStringList{kDomandaSostituzione, "Il movimento anno 2018 e numero 5 ha codice iva Z0 con aliquota 0 e senza codice Natura"}));
    EXPECT_EQ(Righe(), (QStringList{"E 5 TD01", "E 100005 TD01"}));
    const auto d = Leggi(fx, "SELECT NumDet, ImponibileImporto, Imposta FROM DatiFatDett WHERE NumReg = 100005 ORDER BY NumDet");
    ASSERT_EQ(d.size(), 3);
    EXPECT_EQ(d[0]["ImponibileImporto"], Valore(80.0));
    EXPECT_EQ(d[1]["Imposta"], Valore(-17.6));
    EXPECT_EQ(d[2]["NumDet"], Valore(3));

    // Already there: the fictitious registration compares with its offset.
    dialoghi->mostrati.clear();
    fx.Esegui(fx.idAzienda, "UPDATE DatiFatTest SET NumInv = 1; UPDATE DatiFatDett SET Imposta = 1");
    EXPECT_EQ(Estrai(true).stato, EsitoDatiFat::Completata);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});
    EXPECT_EQ(Leggi(fx, "SELECT * FROM DatiFatDett WHERE Imposta = 1").size(), 4);
}

// A row that is not written rolls back the whole run, the deletion of the
// earlier data included, and says so with the notes collected.
TEST_F(EstrazioneDatiFatTest, RigaNonScrittaAnnullaTutto) {
    const struct {
        const char* nome;
        const char* tabella;
        QString nota;
    } casi[] = {
        {"testata", "DatiFatTest", "Non è riuscito l'inserimento della testata del movimento anno 2018 e numero 2"},
        {"dettaglio", "DatiFatDett",
         "Non è riuscito l'inserimento del dettaglio del movimento anno 2018 e numero 2 codice Iva 22 (riga VE23)"},
    };
    Precedente(1, "E");
    Registra(fx, {.numReg = 1, .iva = {{.iva = "Z0", .imposta = 0.0}}});
    Registra(fx, {.numReg = 2});
    Registra(fx, {.numReg = 3, .causale = "FA", .controparte = kFornitore, .dareAvere = "A"});
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        fx.Esegui(fx.idAzienda, QStringLiteral("CREATE TRIGGER guasto BEFORE INSERT ON %1 WHEN NEW.NumReg = 2"
                                               " BEGIN SELECT RAISE(IGNORE); END")
                                    .arg(c.tabella));
        dialoghi->mostrati.clear();
        dialoghi->risposte = {1};
        osservatore.fasi.clear();
        EXPECT_EQ(Estrai().stato, EsitoDatiFat::Fallita);
        EXPECT_EQ(dialoghi->testi(),
                  (QStringList{kDomandaSostituzione,
                               kRollback + "\r\nIl movimento anno 2018 e numero 1 ha codice iva Z0 con aliquota 0 e"
                                           " senza codice Natura\r\n" + c.nota}));
        EXPECT_EQ(Righe(), QStringList{"E 1 CORR"});
        EXPECT_EQ(Dettagli(fx).size(), 1);
        EXPECT_FALSE(osservatore.fasi.contains(kFornitori));  // the run ended there
        fx.Esegui(fx.idAzienda, "DROP TRIGGER guasto");
    }
    dialoghi->risposte = {1};
    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Completata);
    EXPECT_EQ(Righe(), (QStringList{"E 1 TD01", "E 2 TD01", "R 3 TD01"}));
}

// A run-time error: the error box with the registration, then the notes so
// far after "Elaborazione interrotta"; nothing changed.
TEST_F(EstrazioneDatiFatTest, ErroreDiEsecuzioneAnnullaTutto) {
    Precedente(1, "E");
    Registra(fx, {.numReg = 1, .iva = {{.iva = "Z0", .imposta = 0.0}}});
    Registra(fx, {.numReg = 2});
    fx.Esegui(fx.idAzienda, "CREATE TRIGGER guasto BEFORE INSERT ON DatiFatTest WHEN NEW.NumReg = 2"
                            " BEGIN SELECT RAISE(ABORT, 'disco pieno'); END");
    dialoghi->risposte = {1};
    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Fallita);
    const QStringList t = dialoghi->testi();
    ASSERT_EQ(t.size(), 3) << Testi();
    EXPECT_TRUE(t[1].startsWith("Errore(3317): ")) << t[1].toStdString();
    EXPECT_TRUE(t[1].endsWith("\r\nIn elab.: movimento anno 2018 e numero 2")) << t[1].toStdString();
    EXPECT_EQ(t[2], kRollback + "\r\nIl movimento anno 2018 e numero 1 ha codice iva Z0 con aliquota 0 e senza codice Natura");
    EXPECT_EQ(Righe(), QStringList{"E 1 CORR"});
    EXPECT_EQ(osservatore.fini, 1);
}

// The re-summing of a zero line fails: its box, then the run rolled back.
TEST_F(EstrazioneDatiFatTest, RicalcoloNonRiuscitoAnnullaTutto) {
    Registra(fx, {.numReg = 1, .importo = 0.0, .importoControparte = 0.0,
                  .iva = {{.imponibile = 0.0, .imposta = 0.0}}});
    fx.Esegui(fx.idAzienda, "ALTER TABLE MovPnDett RENAME COLUMN Iva TO CodiceIva");
    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Fallita);
    const QStringList t = dialoghi->testi();
    ASSERT_EQ(t.size(), 2) << Testi();
    EXPECT_TRUE(t[0].startsWith("Errore(")) << t[0].toStdString();
    EXPECT_EQ(t[1], kRollback + "\r\nNon è riuscito il ricalcolo dei totali del movimento anno 2018 e numero 1 codice Iva 22");
    EXPECT_TRUE(Righe().isEmpty());
}

// A number column holding text that is no number would be read as 0 (or stop
// with a bare conversion error): the note names the registration and the
// column, and the run is rolled back. Decimals with a comma read as numbers.
TEST_F(EstrazioneDatiFatTest, TestoNonNumericoInUnaColonnaDiNumeri) {
    const struct {
        const char* nome;
        const char* aggiorna;
        QString nota;
    } casi[] = {
        {"taxable", "UPDATE MovPnIva SET Imponibile = 'dieci' WHERE NumReg = 2",
         "Il movimento anno 2018 e numero 2 ha nella colonna MovPnIva.Imponibile il valore \"dieci\", che non è un numero"},
        {"VAT amount", "UPDATE MovPnIva SET Imposta = '22 euro' WHERE NumReg = 2",
         "Il movimento anno 2018 e numero 2 ha nella colonna MovPnIva.Imposta il valore \"22 euro\", che non è un numero"},
        {"rate", "UPDATE Tabiva SET Aliquota = 'ventidue' WHERE Iva = '22'",
         "Il movimento anno 2018 e numero 2 ha nella colonna Tabiva.Aliquota (codice Iva 22) il valore \"ventidue\", "
         "che non è un numero"},
        {"total of the header", "UPDATE MovPnTes SET Importo = 'x' WHERE NumReg = 2",
         "Il movimento anno 2018 e numero 2 ha nella colonna MovPnTes.Importo il valore \"x\", che non è un numero"},
    };
    Registra(fx, {.numReg = 1, .iva = {{.iva = "10", .imposta = 10.0}}});
    Registra(fx, {.numReg = 2});
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        fx.Esegui(fx.idAzienda, "SAVEPOINT caso");
        fx.Esegui(fx.idAzienda, c.aggiorna);
        fx.Esegui(fx.idAzienda, "RELEASE caso");
        dialoghi->mostrati.clear();
        EXPECT_EQ(Estrai().stato, EsitoDatiFat::Fallita);
        EXPECT_EQ(dialoghi->testi(), QStringList{kRollback + "\r\n" + c.nota}) << Testi();
        EXPECT_TRUE(Righe().isEmpty());
        fx.Esegui(fx.idAzienda, "UPDATE MovPnIva SET Imponibile = 100.0, Imposta = 22.0 WHERE NumReg = 2;"
                                "UPDATE Tabiva SET Aliquota = 22 WHERE Iva = '22';"
                                "UPDATE MovPnTes SET Importo = 122.0 WHERE NumReg = 2");
    }
    fx.Esegui(fx.idAzienda, "UPDATE MovPnIva SET Imponibile = '100,50', Imposta = ' 22,11 ' WHERE NumReg = 2;"
                            "UPDATE Tabiva SET Aliquota = '22,0' WHERE Iva = '22'");
    dialoghi->mostrati.clear();
    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Completata) << Testi();
    const QList<Riga> righe = Leggi(fx, "SELECT * FROM DatiFatDett WHERE NumReg = 2");
    ASSERT_EQ(righe.size(), 1);
    EXPECT_DOUBLE_EQ(righe[0]["ImponibileImporto"].numero(), 100.5);
    EXPECT_DOUBLE_EQ(righe[0]["Imposta"].numero(), 22.11);
    EXPECT_DOUBLE_EQ(righe[0]["Aliquota"].numero(), 22.0);
}

// "&Interrompi": "&No" goes on; "&Sì" ends the whole run, rolled back.
TEST_F(EstrazioneDatiFatTest, Interruzione) {
    Precedente(1, "E");
    for (long n : {1, 2, 3}) Registra(fx, {.numReg = n});
    Registra(fx, {.numReg = 4, .causale = "FA", .controparte = kFornitore, .dareAvere = "A"});
    const QString domanda = QStringLiteral("Confermi interruzione estrazione dati");

    osservatore.interrompiPrimaDi = 2;
    dialoghi->risposte = {1, 1};
    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Interrotta);
    EXPECT_EQ(dialoghi->testi(),
              (QStringList{kDomandaSostituzione, domanda,
                           "Elaborazione interrotta su richiesta\r\nNessun dato è stato modificato."}));
    EXPECT_EQ(dialoghi->mostrati[1].bottoni, (QStringList{"&Sì", "&No"}));
    EXPECT_EQ(dialoghi->predefiniti[1], 2);
    EXPECT_FALSE(osservatore.fasi.contains(kFornitori));
    EXPECT_EQ(Righe(), QStringList{"E 1 CORR"});

    dialoghi->mostrati.clear();
    osservatore.interrompiPrimaDi = 3;
    dialoghi->risposte = {1, 2};
    EXPECT_EQ(Estrai().stato, EsitoDatiFat::Completata);
    EXPECT_EQ(dialoghi->testi(), (QStringList{kDomandaSostituzione, domanda, "Elaborazione terminata"}));
    EXPECT_EQ(Righe(), (QStringList{"E 1 TD01", "E 2 TD01", "E 3 TD01", "R 4 TD01"}));
}

}  // namespace
