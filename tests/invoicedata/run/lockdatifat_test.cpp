// The run lock of definitive invoice-data runs and the send numbering: the
// states of the lock row, the undo of an interrupted send, and two processes
// that take the lock at the same moment.
#include "AmbienteLock.h"

#include "components/db/ServerPg.h"
#include "invoicedata/run/LockDatiFat.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <functional>

namespace {

class LockElabTest : public AmbienteLock {};

// The cases that the shared database on the server must keep as a file does.
using LockElabMotori = SuMotori<AmbienteLock>;

TEST_P(LockElabMotori, SendNumberAndLockRowByState) {
    struct Caso {
        const char* nome;
        bool soloVer = false;
        QString tipo = QStringLiteral("R");
        std::vector<RegDatiFat> registrazioni;
        bool esito = true;
        int numInvio = 77;  // what the caller's variable holds afterwards
        QString righeLock;
        QString messaggio;
    };
    const std::vector<Caso> casi = {
        {.nome = "trial run: only looks, number untouched", .soloVer = true,
         .registrazioni = {{.numReg = 1, .tipo = "R", .numInv = 3}}},
        {.nome = "definitive: highest over every state plus one",
         .registrazioni = {{.numReg = 1, .tipo = "R", .numInv = 1},
                           {.numReg = 2, .tipo = "R", .stato = "C", .numInv = 3, .numCanc = 3},
                           {.numReg = 3, .tipo = "R", .numInv = 2},
                           {.numReg = 4, .tipo = "E", .numInv = 6},
                           {.anno = 2018, .numReg = 5, .tipo = "R", .numInv = 8}},
         .numInvio = 4, .righeLock = "001 TERM01 R 2019 2 4"},
        {.nome = "first send of the communication and kind",
         .tipo = "E", .numInvio = 1, .righeLock = "001 TERM01 E 2019 2 1"},
        {.nome = "tenth send refused: the file name has one digit for it",
         .registrazioni = {{.numReg = 1, .tipo = "R", .numInv = 9}},
         .esito = false,
         .messaggio = "Il numero di invio 10 supera il massimo di 9 che il nome del file può contenere: "
                      "elaborazione definitiva non eseguita"},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        fx.Esegui(fx.idAzienda, "DELETE FROM DatiFatTest");
        fx.Esegui(fx.idCondiviso, "DELETE FROM Appoggio");
        dialoghi->mostrati.clear();
        for (const auto& r : k.registrazioni) Registrazione(fx.idAzienda, r);
        LockDatiFat lock;
        int numInvio = 77;
        EXPECT_EQ(lock.LockElab(fx.idAzienda, k.soloVer, k.tipo, 2019, 2, numInvio, QStringLiteral("001")), k.esito);
        EXPECT_EQ(numInvio, k.numInvio);
        EXPECT_EQ(RigheLock(), k.righeLock);
        EXPECT_EQ(lock.Tenuto(), !k.righeLock.isEmpty());
        EXPECT_EQ(Messaggi().join('|'), k.messaggio);
    }
}

// The lock row keeps the folder of the run's files as the run's own text,
// and a cancellation's row what it withdraws, so that a reset from another
// terminal can find those files and tell how far the run had got.
TEST_P(LockElabMotori, LockRowKeepsTheFolderAndWhatACancellationWithdraws) {
    const QString cartella = QStringLiteral("C:\\Dati Fatture\\outB\\");
    struct Caso {
        const char* nome;
        std::function<bool(LockDatiFat&)> prendi;
        QString righeLock, oltre;
    };
    const std::vector<Caso> casi = {
        {"definitive send",
         [](LockDatiFat& l) {
             int n = 0;
             return l.LockElab(QString(), false, "R", 2019, 2, n, "001");
         },
         "001 TERM01 R 2019 2 1", cartella + "||"},
        {"single registration",
         [](LockDatiFat& l) {
             return l.LockCanc({}, "E", 2019, 2, "001",
                               {.operazione = OperazioneRinomina::CancSingola, .annoReg = 2019, .numReg = 15});
         },
         "001 TERM01 E 2019 2 0", cartella + "|E|2019/15"},
        {"whole send of one file",
         [](LockDatiFat& l) {
             return l.LockCanc({}, "R", 2019, 2, "001", {.operazione = OperazioneRinomina::CancInvio, .numInvio = 3});
         },
         "001 TERM01 R 2019 2 0", cartella + "|C|3/"},
        {"one file of a split send",
         [](LockDatiFat& l) {
             return l.LockCanc({}, "R", 2019, 2, "001",
                               {.operazione = OperazioneRinomina::CancInvio, .numInvio = 3, .nomeFile = "92R3B"});
         },
         "001 TERM01 R 2019 2 0", cartella + "|C|3/92R3B"},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        LockDatiFat lock([&] { return cartella; });
        ASSERT_TRUE(k.prendi(lock)) << Messaggi().join('|').toStdString();
        EXPECT_EQ(RigheLock(), k.righeLock);
        EXPECT_EQ(OltreIlLock(), k.oltre);
        lock.SbloccaElab(fx.idAzienda, 0, "E", 2019, 2, 0);
        EXPECT_EQ(RigheLock(), "");
    }
}

TEST_F(LockElabTest, LockFoundNamesItsRunAndOffersTheWayOut) {
    struct Caso {
        const char* nome;
        QString terminale;
        QString tipo;
        QList<int> risposte;
        QString messaggio;
        int domande;
        bool esito = false;
    };
    const QString altro = QStringLiteral("Estrazione XML in corso sul terminale PC-B per l'azienda 003\r\n Per l'anno "
                                         "2019, comunicato 2, Fatture emesse a fornitori");
    const std::vector<Caso> casi = {
        {.nome = "another terminal's row, given up", .terminale = "PC-B", .tipo = "R", .risposte = {3},
         .messaggio = altro, .domande = 1},
        {.nome = "this terminal's row leaves the terminal out", .terminale = "term01", .tipo = "E",
         .risposte = {3},
         .messaggio = "Estrazione XML in corso per l'azienda 003\r\n Per l'anno 2019, comunicato 2, Fatture "
                      "emesse a clienti",
         .domande = 1},
        {.nome = "looking again finds it again", .terminale = "PC-B", .tipo = "R", .risposte = {2, 2, 3},
         .messaggio = altro, .domande = 3},
        {.nome = "box closed from its frame gives up", .terminale = "PC-B", .tipo = "R", .risposte = {0},
         .messaggio = altro, .domande = 1},
        {.nome = "undo of another terminal's run not confirmed: asked again", .terminale = "PC-B", .tipo = "R",
         .risposte = {1, 2, 3}, .messaggio = altro, .domande = 2},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        fx.Esegui(fx.idCondiviso, "DELETE FROM Appoggio");
        dialoghi->mostrati.clear();
        dialoghi->risposte = k.risposte;
        RigaLock("003", k.terminale, k.tipo, 2019, 2, 5);
        LockDatiFat lock;
        int numInvio = 0;
        EXPECT_EQ(lock.LockElab(fx.idAzienda, false, "E", 2019, 2, numInvio, "001"), k.esito);
        ASSERT_FALSE(dialoghi->mostrati.isEmpty());
        EXPECT_EQ(dialoghi->mostrati.first().testo, k.messaggio);
        EXPECT_EQ(dialoghi->mostrati.first().bottoni,
                  (QStringList{"Azzera &elab. prec.", "&Riprova", "&Annulla"}));
        int domandeLock = 0;
        for (const auto& d : dialoghi->mostrati) domandeLock += d.testo == k.messaggio;
        EXPECT_EQ(domandeLock, k.domande);
        EXPECT_EQ(RigheLock(), QString("003 " + k.terminale + " " + k.tipo + " 2019 2 5"));
        EXPECT_EQ(numInvio, 0);
    }
}

// Company 7's run was left behind while company 5 is run, neither of them
// the current company: its send 3 was never committed, so resetting the lock
// changes no registration of company 7, and the run then takes the lock and
// company 5's number.
TEST_P(LockElabMotori, ResetOfARunLeftBehindOnAnotherCompany) {
    const QString file7 = AltraAzienda("007");
    const QString file5 = AltraAzienda("005");
    const QString id7 = fx.gestDb->ApriDatabase(file7);
    Registrazione(id7, {.numReg = 1, .tipo = "R", .numInv = 2, .progr = 1, .nomeFile = "00002"});
    Registrazione(id7, {.numReg = 2, .tipo = "R", .numInv = 2, .progr = 2, .nomeFile = "00002"});
    Registrazione(id7, {.numReg = 3, .tipo = "R", .numInv = 1, .progr = 1});
    Registrazione(id7, {.numReg = 4, .tipo = "R", .stato = "E", .numInv = 2, .progr = 3, .numCanc = 10});
    Registrazione(id7, {.numReg = 5, .tipo = "E", .numInv = 2, .progr = 1});
    fx.gestDb->ChiudiDatabase(id7);
    const QString id5 = fx.gestDb->ApriDatabase(file5);
    Registrazione(id5, {.numReg = 1, .tipo = "R", .numInv = 2, .progr = 1});
    Registrazione(id5, {.numReg = 1, .tipo = "E", .numInv = 2, .progr = 1});
    RigaLock("007", "TERM01", "R", 2019, 2, 3);

    dialoghi->risposte = {1};
    LockDatiFat lock;
    int numInvio = 0;
    ASSERT_TRUE(lock.LockElab(id5, false, "E", 2019, 2, numInvio, "005")) << Messaggi().join('|').toStdString();
    EXPECT_EQ(numInvio, 3);
    EXPECT_EQ(RigheLock(), "005 TERM01 E 2019 2 3");
    EXPECT_EQ(dialoghi->mostrati.size(), 1);

    // Company 7's database was opened for the reset and closed again: only
    // the fixture's two and company 5's (the caller's) stay open.
    const QString riaperto = fx.gestDb->ApriDatabase(file7);
    EXPECT_EQ(Invio(riaperto, 1, "R"), "2/1/00002");
    EXPECT_EQ(Invio(riaperto, 2, "R"), "2/2/00002");
    EXPECT_EQ(Invio(riaperto, 3, "R"), "1/1/null");
    EXPECT_EQ(Invio(riaperto, 4, "R"), "2/3/null");
    EXPECT_EQ(Invio(riaperto, 5, "E"), "2/1/null");
    EXPECT_EQ(Invio(id5, 1, "R"), "2/1/null");
    fx.gestDb->ChiudiDatabase(riaperto);
    fx.gestDb->ChiudiDatabase(id5);
}

TEST_F(LockElabTest, CompanyThatNoLongerOpensStopsTheRun) {
    RigaLock("009", "TERM01", "E", 2019, 2, 1);
    dialoghi->risposte = {1};
    LockDatiFat lock;
    int numInvio = 0;
    EXPECT_FALSE(lock.LockElab({}, false, "E", 2019, 2, numInvio, "001"));
    EXPECT_EQ(Messaggi().last(), "L'azienda con id 009Non è più disponibile");
    EXPECT_EQ(RigheLock(), "009 TERM01 E 2019 2 1");
}

TEST_P(LockElabMotori, ReleaseUndoesTheSendByTheWritersOutcome) {
    struct Caso {
        const char* nome;
        int errore;
        QList<int> risposte;
        QString invio;  // the registration's send fields afterwards
        QString domanda;
    };
    const QString interrotta =
        QStringLiteral("Stampa interrotta: azzerare numero di invio dalle registrazioni elaborate");
    const std::vector<Caso> casi = {
        {.nome = "written whole: kept", .errore = 0, .invio = "1/4/00001"},
        {.nome = "interrupted, numbers kept", .errore = -1, .risposte = {2}, .invio = "1/4/00001",
         .domanda = interrotta},
        {.nome = "interrupted, numbers zeroed", .errore = -1, .risposte = {1}, .invio = "0/0/null",
         .domanda = interrotta},
        {.nome = "run-time errors: zeroed without asking", .errore = 3, .invio = "0/0/null"},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        fx.Esegui(fx.idAzienda, "DELETE FROM DatiFatTest");
        dialoghi->mostrati.clear();
        dialoghi->risposte = k.risposte;
        LockDatiFat lock;
        int numInvio = 0;
        ASSERT_TRUE(lock.LockElab(fx.idAzienda, false, "E", 2019, 2, numInvio, "001"));
        // What the writer marks in a definitive run.
        Registrazione(fx.idAzienda, {.numReg = 1, .numInv = numInvio, .progr = 4, .nomeFile = "00001"});
        Registrazione(fx.idAzienda, {.numReg = 2, .stato = "E", .numInv = numInvio, .progr = 5, .numCanc = 10});
        lock.SbloccaElab(fx.idAzienda, k.errore, "E", 2019, 2, numInvio);
        EXPECT_EQ(Invio(fx.idAzienda, 1), k.invio);
        EXPECT_EQ(Invio(fx.idAzienda, 2), "1/5/null");
        EXPECT_EQ(Messaggi().join('|'), k.domanda);
        EXPECT_EQ(RigheLock(), "");
        EXPECT_FALSE(lock.Tenuto());
    }
}

TEST_F(LockElabTest, UndoneHighestSendIsNumberedAgain) {
    Registrazione(fx.idAzienda, {.numReg = 1, .numInv = 1, .progr = 1});
    LockDatiFat lock;
    int numInvio = 0;
    ASSERT_TRUE(lock.LockElab(fx.idAzienda, false, "E", 2019, 2, numInvio, "001"));
    ASSERT_EQ(numInvio, 2);
    Registrazione(fx.idAzienda, {.numReg = 2, .numInv = 2, .progr = 1});
    lock.SbloccaElab(fx.idAzienda, 1, "E", 2019, 2, numInvio);
    int ancora = 0;
    ASSERT_TRUE(lock.LockElab(fx.idAzienda, false, "E", 2019, 2, ancora, "001"));
    EXPECT_EQ(ancora, 2);
    lock.SbloccaElab(fx.idAzienda, 0, "E", 2019, 2, ancora);
}

// The row this run took was undone from another terminal, which then took
// the lock for its own run: releasing ours leaves theirs in place.
TEST_F(LockElabTest, ReleaseDeletesOnlyItsOwnRow) {
    LockDatiFat lock;
    int numInvio = 0;
    ASSERT_TRUE(lock.LockElab(fx.idAzienda, false, "E", 2019, 2, numInvio, "001"));
    fx.Esegui(fx.idCondiviso, "DELETE FROM Appoggio");
    RigaLock("002", "PC-B", "R", 2019, 2, 1);
    lock.SbloccaElab(fx.idAzienda, 0, "E", 2019, 2, numInvio);
    EXPECT_EQ(RigheLock(), "002 PC-B R 2019 2 1");
}

// Other uses of the shared table are neither read nor removed.
TEST_F(LockElabTest, OtherRowsOfTheSharedTableAreLeftAlone) {
    fx.Inserisci(fx.idCondiviso, "Appoggio", {{"Codice", "AltroUso"}, {"Descr1", "x"}});
    LockDatiFat lock;
    int numInvio = 0;
    ASSERT_TRUE(lock.LockElab(fx.idAzienda, false, "E", 2019, 2, numInvio, "001"));
    lock.SbloccaElab(fx.idAzienda, 0, "E", 2019, 2, numInvio);
    EXPECT_EQ(Leggi(fx.idCondiviso, "Select count(*) as V from Appoggio Where Codice = 'AltroUso'"), "1");
    EXPECT_TRUE(Messaggi().isEmpty());
}

// Child side of the race: with COMIVA_LOCK_CONDIVISO set, it opens the given
// shared and company databases, waits for the start file and tries once to
// take the lock, giving up on any lock it finds. It prints "VINTO" or
// "PERSO" and leaves the lock where it is.
TEST(LockDatiFatFiglio, PrendeIlLock) {
    const QByteArray condiviso = qgetenv("COMIVA_LOCK_CONDIVISO");
    if (condiviso.isEmpty()) GTEST_SKIP() << "solo come processo figlio della gara";
    AppTest();
    auto c = std::make_shared<Contesto>();
    c->ggGestDb = std::make_shared<GestoreDb>();
    c->gsIdDbMenu = c->ggGestDb->ApriDatabase(QString::fromLocal8Bit(condiviso));
    c->gsIdDbase = c->ggGestDb->ApriDatabase(QString::fromLocal8Bit(qgetenv("COMIVA_LOCK_AZIENDA")));
    auto menu = std::make_shared<MenuClientFinto>();
    menu->terminale = QString::fromLocal8Bit(qgetenv("COMIVA_LOCK_TERMINALE"));
    menu->ImpostaValore("idazienda", "001");
    c->ggMenuClient = menu;
    auto dialoghi = std::make_shared<DialoghiScriptati>();
    dialoghi->risposte = {3};
    c->ggDialoghi = dialoghi;
    ImpostaContesto(c);
    const QString via = QString::fromLocal8Bit(qgetenv("COMIVA_LOCK_VIA"));
    QDeadlineTimer scadenza(30000);
    while (!QFile::exists(via) && !scadenza.hasExpired()) QThread::yieldCurrentThread();
    LockDatiFat lock;
    int numInvio = 0;
    const bool vinto = lock.LockElab(c->gsIdDbase, false, "E", 2019, 2, numInvio, "001");
    printf("%s\n", vinto ? "VINTO" : "PERSO");
    for (const auto& m : dialoghi->mostrati) printf("%s\n", m.testo.toUtf8().constData());
    ImpostaContesto(nullptr);
}

// The shared table of an existing suite may lack the key on Codice: the
// lock must hold without it.
TEST_P(LockElabMotori, TwoProcessesAtOnceExactlyOneWins) {
    const QString senzaChiave =
        "DROP TABLE Appoggio; CREATE TABLE Appoggio (Codice VARCHAR(20) COLLATE NOCASE, Descr1 VARCHAR(255), "
        "Memo1 TEXT, Descr2 VARCHAR(255), Descr3 VARCHAR(255), Descr4 VARCHAR(255), Descr5 VARCHAR(255), "
        "Long1 INTEGER, Long2 INTEGER, Long3 INTEGER)";
    fx.Esegui(fx.idCondiviso, fx.motore == Motore::Server ? ServerPg::SchemaPerServer(senzaChiave) : senzaChiave);
    fx.gestDb->ChiudiDatabase(fx.idCondiviso);
    for (int giro = 0; giro < 6; ++giro) {
        SCOPED_TRACE(giro);
        const QString via = fx.Cartella() + QStringLiteral("/via") + QString::number(giro);
        QProcess figli[2];
        for (int i = 0; i < 2; ++i) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("COMIVA_LOCK_CONDIVISO", NomePerAltroProcesso(fx.fileCondiviso));
            env.insert("COMIVA_LOCK_AZIENDA", NomePerAltroProcesso(fx.fileAzienda));
            env.insert("COMIVA_LOCK_TERMINALE", QStringLiteral("PC-%1").arg(i));
            env.insert("COMIVA_LOCK_VIA", via);
            figli[i].setProcessEnvironment(env);
            figli[i].start(QCoreApplication::applicationFilePath(),
                           {"--gtest_filter=LockDatiFatFiglio.PrendeIlLock", "--gtest_brief=1"});
            ASSERT_TRUE(figli[i].waitForStarted(30000));
        }
        QFile f(via);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        QStringList esiti;
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(figli[i].waitForFinished(60000));
            const QString out = QString::fromUtf8(figli[i].readAllStandardOutput());
            esiti << (out.contains("VINTO") ? "VINTO" : out.contains("PERSO") ? "PERSO" : "?" + out);
            // The loser is told which terminal holds the lock, whether it
            // found the row or lost the insert.
            if (out.contains("PERSO"))
                EXPECT_TRUE(out.contains(QStringLiteral("sul terminale PC-%1").arg(1 - i))) << out.toStdString();
        }
        esiti.sort();
        EXPECT_EQ(esiti, (QStringList{"PERSO", "VINTO"}));
        fx.idCondiviso = fx.gestDb->ApriDatabase(fx.fileCondiviso);
        const QString righe = RigheLock();
        EXPECT_TRUE(righe == "001 PC-0 E 2019 2 1" || righe == "001 PC-1 E 2019 2 1") << righe.toStdString();
        fx.Esegui(fx.idCondiviso, "DELETE FROM Appoggio");
        fx.gestDb->ChiudiDatabase(fx.idCondiviso);
    }
    fx.idCondiviso = fx.gestDb->ApriDatabase(fx.fileCondiviso);
}

INSTANTIATE_TEST_SUITE_P(Motori, LockElabMotori, ValoriMotori(), NomeMotore);

}  // namespace
