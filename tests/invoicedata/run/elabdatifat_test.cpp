// The file run over a range of companies, each in its own database: the
// files written validate under both schemas, the registrations are marked
// with their kind's send number, and the lock is free afterwards.
#include "AmbienteLock.h"

#include "../file/supporto_datifat.h"
#include "invoicedata/run/DichiaranteDatiFat.h"
#include "invoicedata/file/StDatiFat.h"
#include "invoicedata/run/CancDatiFat.h"
#include "invoicedata/run/ElabDatiFat.h"
#include "invoicedata/run/LockDatiFat.h"
#include "invoicedata/run/RecuperoDatiFat.h"
#include "invoicedata/run/FrmDatiFatXml.h"
#include "components/ini/FileIni.h"
#include "components/stampa/OpzSta.h"
#include "support/AnteprimaScriptata.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <csignal>

namespace {

using namespace datifat;

class ElabDatiFatTest : public AmbienteLock {
protected:
    explicit ElabDatiFatTest(Motore motore = Motore::File) : AmbienteLock(motore) {}
    void SetUp() override {
        AmbienteLock::SetUp();
        if (IsSkipped()) return;
        cartella = fx.Cartella() + QStringLiteral("/invio");
        QDir().mkpath(cartella);
        Riempi(fx.idAzienda, "01234567897", "PRIMA SRL");
        file2 = AltraAzienda("002");
        const QString id2 = fx.gestDb->ApriDatabase(file2);
        Riempi(id2, "12345678903", "SECONDA SRL");
        fx.gestDb->ChiudiDatabase(id2);
    }
    // A company with one client and one supplier registration of
    // communication 2017/2.
    void Riempi(const QString& idDb, const QString& codFisc, const QString& ragSoc) {
        fx.Esegui(idDb, "INSERT INTO Stati (Stato, Descrizione, Iso, Cee) SELECT 'ITA','Italia','IT','S'"
                        " WHERE NOT EXISTS (SELECT 1 FROM Stati WHERE Stato = 'ITA')");
        fx.Inserisci(idDb, "Ditta", {{"CodFisc", codFisc}, {"PartIva", codFisc}, {"RagSoc", ragSoc},
                                     {"StatoGiurid", "G"}, {"Moneta", "Euro"}});
        fx.Inserisci(idDb, "PianoConti", coppie(conto("000001")));
        for (const char* tipo : {"E", "R"}) {
            fx.Inserisci(idDb, "DatiFatTest", coppie(testata(tipo, 1, "000001")));
            fx.Inserisci(idDb, "DatiFatDett", coppie(riga(tipo, 1, 1)));
        }
    }
    DatiRunDatiFat Dati(TipoSta tipoSta) {
        DatiRunDatiFat d;
        d.anno = "2017";
        d.numero = "2";
        d.daAzienda = "001";
        d.aAzienda = "002";
        d.tipoSta = tipoSta;
        d.tipoElab = TipoElab::File;
        d.maxAnagrafiche = "1000";
        return d;
    }
    OpzioniElabDatiFat Opzioni() {
        OpzioniElabDatiFat o;
        o.dirInvio = cartella + QLatin1Char('/');
        CaricaDichiarante(o.dichiarante, fx.idAzienda, true);
        return o;
    }
    QStringList FileScritti() { return QDir(cartella).entryList({"*.xml"}, QDir::Files, QDir::Name); }

    QString cartella;
    QString file2;  // the second company's database
    stDatiFat scrittore;
    LockDatiFat lock;
};

// The range and the cancellation on company and shared databases on the server.
using ElabDatiFatMotori = SuMotori<ElabDatiFatTest>;

TEST_P(ElabDatiFatMotori, DefinitiveRangeWritesValidFilesAndMarksEachKind) {
    ElabDatiFat elab(scrittore, lock);
    ASSERT_EQ(elab.Esegui(Dati(TipoSta::Definitiva), Opzioni()), EsitoElabDatiFat::Terminato)
        << Messaggi().join('|').toStdString();
    const QStringList file = FileScritti();
    ASSERT_EQ(file.size(), 4) << file.join(' ').toStdString();
    EXPECT_TRUE(file.filter("01234567897").size() == 2 && file.filter("12345678903").size() == 2)
        << file.join(' ').toStdString();
    for (const QString& f : file) {
        SCOPED_TRACE(f.toStdString());
        EXPECT_EQ(esito20(cartella + "/" + f), "");
        EXPECT_EQ(esito21(cartella + "/" + f), "");
    }
    EXPECT_EQ(Invio(fx.idAzienda, 1, "E").section('/', 0, 1), "1/1");
    EXPECT_EQ(Invio(fx.idAzienda, 1, "R").section('/', 0, 1), "1/1");
    EXPECT_EQ(RigheLock(), "");
    EXPECT_EQ(Messaggi().join('|'), "Elaborazione terminata");

    // Nothing is left to send: the run says so instead of "terminata".
    dialoghi->mostrati.clear();
    EXPECT_EQ(elab.Esegui(Dati(TipoSta::Definitiva), Opzioni()), EsitoElabDatiFat::NessunDato);
    EXPECT_EQ(Messaggi().join('|'), "Nessuna azienda dell'intervallo ha dati da trasmettere: nessun file scritto");
    EXPECT_EQ(RigheLock(), "");
}

// A definitive run of two companies, both kinds, to the preview: one
// document of four parts that the user pages through and back. Each part is
// printed after its send is committed, so while the preview waits another
// connection writes the company database, and an edit through the program's
// own connection survives leaving the preview.
TEST_P(ElabDatiFatMotori, DefinitiveRangeOnThePreviewIsOneDocumentAndHoldsNothingWhileItWaits) {
    DatiRunDatiFat d = Dati(TipoSta::Definitiva);
    d.tipoElab = TipoElab::FileEStampa;
    d.clienti = d.fornitori = true;
    OpzioniElabDatiFat o = Opzioni();
    o.opzSta = std::make_shared<OpzSta>();
    o.opzSta->oiStaVid = OpzSta::Video;
    GestoreDb altro;
    const QString idAltro = altro.ApriDatabase(NomePerAltroProcesso(fx.fileAzienda));
    QStringList scritture;
    {
        // At the first wait the other connection and the program write.
        AnteprimaScriptata utente([&](FrmVStampa&) {
            if (!scritture.isEmpty()) return;
            try {
                altro.EseguiSql(idAltro, "UPDATE PianoConti SET Comune = 'Torino' WHERE Conto = '000001'");
                scritture << "altra connessione";
                fx.gestDb->EseguiSql(fx.idAzienda, "UPDATE Ditta SET RagSoc = 'PRIMA SPA'");
                scritture << "programma";
            } catch (const ErroreRun& e) {
                scritture << e.descrizione();
            }
        });
        ElabDatiFat elab(scrittore, lock);
        EXPECT_EQ(elab.Esegui(d, o), EsitoElabDatiFat::Terminato) << Messaggi().join('|').toStdString();
        EXPECT_EQ(utente.visti, (QStringList{"Pag.001 ", "Pag.002 ", "Pag.003 ", "Pag.004 Stampa Terminata",
                                             "Pag.001 Stampa Terminata"}));
        EXPECT_EQ(utente.forme(), 1);
        EXPECT_EQ(utente.vuote, 0);
        EXPECT_EQ(c->giStaAtt, 0);
        EXPECT_FALSE(FrmVStampa::EsisteIstanza());
    }
    altro.ChiudiDatabase(idAltro);
    EXPECT_EQ(scritture, (QStringList{"altra connessione", "programma"}));
    EXPECT_TRUE(Messaggi().isEmpty()) << Messaggi().join('|').toStdString();
    EXPECT_EQ(FileScritti().size(), 4);
    EXPECT_EQ(Invio(fx.idAzienda, 1, "E").section('/', 0, 1), "1/1");
    EXPECT_EQ(Invio(fx.idAzienda, 1, "R").section('/', 0, 1), "1/1");
    EXPECT_EQ(Leggi(fx.idAzienda, "SELECT Comune AS V FROM PianoConti WHERE Conto = '000001'"), "Torino");
    EXPECT_EQ(Leggi(fx.idAzienda, "SELECT RagSoc AS V FROM Ditta"), "PRIMA SPA");
    EXPECT_EQ(RigheLock(), "");
}

// A range run to the preview through the run form, both kinds, stopped with
// "&Esci" while the preview waits before the second company's first page
// (each kind prints one page). One message says what each company and kind
// has: in a definitive run the second company's clients were sent and marked
// before their report, its suppliers never began. The run ends interrupted.
TEST_P(ElabDatiFatMotori, AStopBeforeACompanysFirstPageIsToldPartByPart) {
    c->gtDataLavoro = QDate(2018, 1, 15);
    ASSERT_TRUE(FileIni(c->gsFileIni).scrivi("Base", "DirDatiFat", cartella + "/"));
    const QString completo = QStringLiteral("file completo (\\S+)");
    const QString inviato = QStringLiteral("; invio n. 1 confermato: le registrazioni sono marcate come inviate");
    const QString nessunaMarcata = QStringLiteral("; nessuna registrazione è stata marcata come inviata");
    struct Caso {
        const char* nome;
        bool definitiva;
        QStringList righe;  // after "Elaborazione interrotta": patterns, a line a part
        const char* invii;  // NumInv of 001 E, 001 R, 002 E, 002 R
    };
    const Caso casi[] = {
        {.nome = "trial",
         .definitiva = false,
         .righe = {"Azienda 001 clienti: " + completo + "\\.", "Azienda 001 fornitori: " + completo + "\\.",
                   "Azienda 002 clienti: non elaborata\\.", "Azienda 002 fornitori: non elaborata\\."},
         .invii = "0 0 0 0"},
        {.nome = "definitive",
         .definitiva = true,
         .righe = {"Azienda 001 clienti: " + completo + inviato + "\\.",
                   "Azienda 001 fornitori: " + completo + inviato + "\\.",
                   "Azienda 002 clienti: " + completo + inviato + "; stampa interrotta\\.",
                   "Azienda 002 fornitori: non elaborata" + nessunaMarcata + "\\."},
         .invii = "1 1 1 0"},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        QPointer<frmDatiFatXml> form = new frmDatiFatXml;
        form->osKeySec = "SEC";
        form->Carica();
        ASSERT_EQ(form->oiLoadOk, 1) << Messaggi().join(" | ").toStdString();
        form->show();
        QTest::mouseClick(form->OptTipoSta[k.definitiva ? 1 : 0], Qt::LeftButton, {}, QPoint(6, 10));
        form->txt[40]->setText("002");
        dialoghi->mostrati.clear();
        {
            AnteprimaFermata utente(2);
            QTest::mouseClick(form->cmdStaVid, Qt::LeftButton);
            EXPECT_GE(utente.attese, 2) << utente.visti.join('|').toStdString();
        }
        EXPECT_EQ(form->UltimoEsito(), EsitoElabDatiFat::Interrotto);
        const QStringList messaggi = Messaggi();
        ASSERT_EQ(messaggi.size(), 1) << messaggi.join(" | ").toStdString();
        const QStringList righe = messaggi[0].split("\r\n");
        ASSERT_EQ(righe.size(), k.righe.size() + 1) << messaggi[0].toStdString();
        EXPECT_EQ(righe[0], "Elaborazione interrotta");
        for (int i = 0; i < k.righe.size(); ++i) {
            const QRegularExpressionMatch m =
                QRegularExpression(QRegularExpression::anchoredPattern(k.righe[i])).match(righe[i + 1]);
            ASSERT_TRUE(m.hasMatch()) << righe[i + 1].toStdString() << "\n  " << k.righe[i].toStdString();
            // A file the message calls complete is there, whole.
            if (m.lastCapturedIndex() >= 1) {
                EXPECT_EQ(esito20(m.captured(1)), "") << m.captured(1).toStdString();
            }
        }
        // Nothing of the second company was left under a temporary name.
        EXPECT_TRUE(QDir(cartella).entryList({"*.incompleto"}, QDir::Files).isEmpty());
        const QString id2 = fx.gestDb->ApriDatabase(file2);
        const QString invii = QStringList{Invio(fx.idAzienda, 1, "E"), Invio(fx.idAzienda, 1, "R"), Invio(id2, 1, "E"),
                                          Invio(id2, 1, "R")}
                                  .replaceInStrings(QRegularExpression("/.*"), QString())
                                  .join(' ');
        fx.gestDb->ChiudiDatabase(id2);
        EXPECT_EQ(invii, k.invii);
        EXPECT_EQ(c->giStaAtt, 0);
        EXPECT_EQ(RigheLock(), "");
        delete form.data();
        // The next case starts from nothing sent.
        for (const QString& f : QDir(cartella).entryList(QDir::Files)) QFile::remove(cartella + "/" + f);
    }
}

TEST_F(ElabDatiFatTest, TrialRunMarksNothingAndTakesNoNumber) {
    ElabDatiFat elab(scrittore, lock);
    DatiRunDatiFat d = Dati(TipoSta::Prova);
    d.daAzienda = d.aAzienda = "002";
    ASSERT_EQ(elab.Esegui(d, Opzioni()), EsitoElabDatiFat::Terminato) << Messaggi().join('|').toStdString();
    // One company that is not the current one writes its own identity.
    const QStringList file = FileScritti();
    ASSERT_EQ(file.size(), 2);
    EXPECT_EQ(file.filter("12345678903").size(), 2) << file.join(' ').toStdString();
    EXPECT_EQ(Invio(fx.idAzienda, 1, "E"), "0/0/null");
    EXPECT_EQ(RigheLock(), "");
}

// A kind that read its rows and then refused to write (more than 26 split
// files) wrote nothing: the run neither ends as done nor as "no data".
TEST_F(ElabDatiFatTest, RunWhoseOnlyKindWroteNothingIsNotDone) {
    for (int numReg = 2; numReg <= 28; ++numReg) {
        const QString c = QStringLiteral("%1").arg(numReg, 6, 10, QLatin1Char('0'));
        fx.Inserisci(fx.idAzienda, "PianoConti", coppie(conto(c)));
        fx.Inserisci(fx.idAzienda, "DatiFatTest", coppie(testata("E", numReg, c)));
        fx.Inserisci(fx.idAzienda, "DatiFatDett", coppie(riga("E", numReg, 1)));
    }
    ElabDatiFat elab(scrittore, lock);
    DatiRunDatiFat d = Dati(TipoSta::Definitiva);
    d.aAzienda = "001";
    d.fornitori = false;
    d.molteAnag = true;
    d.maxAnagrafiche = "1";
    dialoghi->risposte = {1};
    EXPECT_EQ(elab.Esegui(d, Opzioni()), EsitoElabDatiFat::Errore);
    EXPECT_TRUE(FileScritti().isEmpty());
    const QString messaggi = Messaggi().join('|');
    EXPECT_TRUE(messaggi.contains("servirebbero più di 26 file")) << messaggi.toStdString();
    EXPECT_FALSE(messaggi.contains("Elaborazione terminata")) << messaggi.toStdString();
    EXPECT_FALSE(messaggi.contains("Nessuna azienda")) << messaggi.toStdString();
    EXPECT_EQ(Invio(fx.idAzienda, 1, "E"), "0/0/null");
    EXPECT_EQ(RigheLock(), "");
}

TEST_F(ElabDatiFatTest, EmptyRangeHasNothingToSend) {
    ElabDatiFat elab(scrittore, lock);
    DatiRunDatiFat d = Dati(TipoSta::Definitiva);
    d.daAzienda = d.aAzienda = "005";
    EXPECT_EQ(elab.Esegui(d, Opzioni()), EsitoElabDatiFat::NessunDato);
    EXPECT_EQ(Messaggi().join('|'), "Non c'è nessun dato da trasmettere");
}

// A definitive run of the current company, then its withdrawal: each ANN
// file validates, and the rows move between the states exactly.
class CancDatiFatTest : public ElabDatiFatTest {
protected:
    explicit CancDatiFatTest(Motore motore = Motore::File) : ElabDatiFatTest(motore) {}
    void SetUp() override {
        ElabDatiFatTest::SetUp();
        if (IsSkipped()) return;
        for (int numReg : {2, 3}) {
            fx.Inserisci(fx.idAzienda, "DatiFatTest", coppie(testata("E", numReg, "000001")));
            fx.Inserisci(fx.idAzienda, "DatiFatDett", coppie(riga("E", numReg, 1)));
        }
        DatiRunDatiFat d = Dati(TipoSta::Definitiva);
        d.aAzienda = "001";
        ElabDatiFat elab(scrittore, lock);
        ASSERT_EQ(elab.Esegui(d, Opzioni()), EsitoElabDatiFat::Terminato);
        QDir(cartella).removeRecursively();
        QDir().mkpath(cartella);
        dialoghi->mostrati.clear();
    }
    DatiRunDatiFat Canc(TipoSta tipoSta) {
        DatiRunDatiFat d = Dati(tipoSta);
        d.tipoCom = TipoCom::Cancellazione;
        d.identificativo = " 123456789 ";
        return d;
    }
    OpzioniCancDatiFat OpzCanc() { return {.dirInvio = cartella + "/", .codFiscDitta = "01234567897"}; }
    // "Stato NumCanc" of the header and of the lines of a registration.
    QString Stati(int numReg, const QString& tipo = "E") {
        const QString dove = QStringLiteral(" Where NumReg = %1 And Tipo = '%2'").arg(numReg).arg(tipo);
        GestRecordset rs;
        const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, {},
                                           "Select Stato || ' ' || NumCanc as V from DatiFatDett" + dove +
                                               " Order By NumDet");
        QStringList righe;
        for (; !rs.FineRec(k); rs.RecSuccessivo(k)) righe << rs.LeggiCampo(k, QStringLiteral("V")).testo();
        rs.ChiudiRecordset(k);
        return Leggi(fx.idAzienda, "Select Stato || ' ' || NumCanc as V from DatiFatTest" + dove) + " / " +
               righe.join(QLatin1Char(','));
    }
    void Valida(const QString& file) {
        SCOPED_TRACE(file.toStdString());
        const QString f = cartella + "/" + file;
        EXPECT_EQ(esito20(f), "");
        EXPECT_EQ(esito21(f), "");
        EXPECT_TRUE(righe(leggi(f)).contains("<IdFile>123456789</IdFile>"));
    }
};

using CancDatiFatMotori = SuMotori<CancDatiFatTest>;

TEST_P(CancDatiFatMotori, SingleRegistrationsNumberedFrom10AndWrittenAgainUnderTheirOwnNumber) {
    DatiRunDatiFat d = Canc(TipoSta::Definitiva);
    d.annoReg = "2017";
    d.numReg = "2";
    dialoghi->risposte = {1};
    ASSERT_TRUE(CancXml(d, OpzCanc())) << Messaggi().join('|').toStdString();
    EXPECT_EQ(Messaggi().join('|'), "Confermi cancellazione della singola registrazione");
    EXPECT_EQ(FileScritti(), QStringList{"IT01234567897_DF_17210.xml"});
    Valida("IT01234567897_DF_17210.xml");
    EXPECT_TRUE(righe(leggi(cartella + "/IT01234567897_DF_17210.xml")).contains("<Posizione>2</Posizione>"));
    EXPECT_EQ(Stati(2), "E 10 / E 10");
    EXPECT_EQ(Stati(3), "N 0 / N 0");

    d.numReg = "3";
    dialoghi->risposte = {1};
    ASSERT_TRUE(CancXml(d, OpzCanc()));
    EXPECT_EQ(Stati(3), "E 11 / E 11");

    // Writing the first again: its own number and name, no row changed.
    QFile::remove(cartella + "/IT01234567897_DF_17210.xml");
    d.tipoSta = TipoSta::Rielabora;
    d.numReg = "2";
    dialoghi->risposte = {1};
    ASSERT_TRUE(CancXml(d, OpzCanc()));
    EXPECT_TRUE(QFile::exists(cartella + "/IT01234567897_DF_17210.xml"));
    EXPECT_EQ(Stati(2), "E 10 / E 10");
    EXPECT_EQ(FileScritti().size(), 2);
}

// An ANN file the schemas refuse (an identifier longer than 18 characters)
// never takes its final name and marks nothing.
TEST_F(CancDatiFatTest, CancellationFileTheSchemaRefusesMarksNothing) {
    DatiRunDatiFat d = Canc(TipoSta::Definitiva);
    d.identificativo = "1234567890123456789";
    d.annoReg = "2017";
    d.numReg = "2";
    dialoghi->risposte = {1};
    EXPECT_FALSE(CancXml(d, OpzCanc()));
    const QString m = Messaggi().join('|');
    EXPECT_TRUE(m.contains("non rispetta lo schema DatiFattura") && m.contains("non deve essere inviato"))
        << m.toStdString();
    EXPECT_TRUE(FileScritti().isEmpty());
    EXPECT_EQ(Stati(2), "N 0 / N 0");
    EXPECT_EQ(RigheLock(), "");
}

// A cancellation stopped between its commit and its final name: the next
// run completes it while its file is there, and undoes it once it is gone.
TEST_F(CancDatiFatTest, CancellationLeftBeforeItsFinalNameIsPutRight) {
    DatiRunDatiFat d = Canc(TipoSta::Definitiva);
    d.annoReg = "2017";
    d.numReg = "2";
    dialoghi->risposte = {1};
    ASSERT_TRUE(CancXml(d, OpzCanc()));
    const QString finale = cartella + "/IT01234567897_DF_17210.xml";
    const QString provvisorio = finale + ".incompleto";
    const auto lasciata = [&] {
        ASSERT_TRUE(QFile::rename(finale, provvisorio));
        fx.Inserisci(fx.idAzienda, "DatiFatRinomine",
                     {{"Provvisorio", provvisorio}, {"Definitivo", finale}, {"Operazione", "E"}, {"AnnoCom", 2017},
                      {"NumCom", 2}, {"Tipo", "E"}, {"Numero", 10}, {"NomeFile", ""}, {"AnnoReg", 2017},
                      {"NumReg", 2}});
        dialoghi->mostrati.clear();
    };
    lasciata();
    ASSERT_TRUE(RecuperaInviiSospesi(fx.idAzienda, "001"));
    EXPECT_EQ(Messaggi(), QStringList{"La cancellazione 10 della registrazione 2017/2 della comunicazione 2017/2 "
                                      "(clienti): marcature salvate, file senza nome definitivo. Completato: " +
                                      finale + "."});
    EXPECT_TRUE(QFile::exists(finale));
    EXPECT_EQ(Stati(2), "E 10 / E 10");

    lasciata();
    ASSERT_TRUE(QFile::remove(provvisorio));
    ASSERT_TRUE(RecuperaInviiSospesi(fx.idAzienda, "001"));
    EXPECT_TRUE(Messaggi().join('|').contains("Annullato")) << Messaggi().join('|').toStdString();
    EXPECT_EQ(Stati(2), "N 0 / N 0");
    EXPECT_EQ(Leggi(fx.idAzienda, "Select count(*) as V from DatiFatRinomine"), "0");
}

TEST_F(CancDatiFatTest, RefusalsChangeNothing) {
    struct Caso {
        const char* nome;
        std::function<void(DatiRunDatiFat&)> modifica;
        QString messaggio;
    };
    fx.Inserisci(fx.idAzienda, "DatiFatTest", coppie(testata("E", 9, "000001")));
    const std::vector<Caso> casi = {
        {"not in the communication", [](auto& d) { d.annoReg = "2017"; d.numReg = "99"; },
         "La registrazione non esiste fra quelle preparate per la comunicazione indicata"},
        {"never sent", [](auto& d) { d.annoReg = "2017"; d.numReg = "9"; },
         "La registrazione non è ancora stata spedita"},
        {"written again before any cancellation",
         [](auto& d) { d.tipoSta = TipoSta::Rielabora; d.annoReg = "2017"; d.numReg = "2"; },
         "La registrazione non è ancora stata cancellata"},
        {"whole send of both kinds", [](auto& d) { d.invioCanc = "1"; },
         "Per cancellare un intero invio indicare un solo tipo, clienti o fornitori: ogni file inviato ha il suo "
         "identificativo"},
        {"send that does not exist", [](auto& d) { d.invioCanc = "4"; d.fornitori = false; },
         "Non esiste nessun dato fattura con questo numero invio da cancellare"},
        {"send written again before it was cancelled",
         [](auto& d) { d.tipoSta = TipoSta::Rielabora; d.invioCanc = "1"; d.fornitori = false; },
         "Non esiste nessun dato fattura con questo numero invio da cancellare"},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        dialoghi->mostrati.clear();
        DatiRunDatiFat d = Canc(TipoSta::Definitiva);
        k.modifica(d);
        EXPECT_FALSE(CancXml(d, OpzCanc()));
        EXPECT_EQ(Messaggi().join('|'), k.messaggio);
        EXPECT_TRUE(FileScritti().isEmpty());
        EXPECT_EQ(Stati(2), "N 0 / N 0");
    }
}

TEST_F(CancDatiFatTest, CancellationNumberBeyondTheFileNameIsRefused) {
    fx.Inserisci(fx.idAzienda, "DatiFatTest", coppie(testata("R", 50, "000001", {{"Stato", "E"}, {"NumCanc", 99}, {"NumInv", 1}})));
    DatiRunDatiFat d = Canc(TipoSta::Definitiva);
    d.annoReg = "2017";
    d.numReg = "2";
    dialoghi->risposte = {1};
    EXPECT_FALSE(CancXml(d, OpzCanc()));
    EXPECT_EQ(Messaggi().last(),
              "Il numero di cancellazione 100 supera il massimo di 99 che il nome del file può contenere: "
              "cancellazione non eseguita");
    EXPECT_TRUE(FileScritti().isEmpty());
    EXPECT_EQ(Stati(2), "N 0 / N 0");
}

TEST_P(CancDatiFatMotori, WholeSendOfOneKindWrittenAsOneFile) {
    DatiRunDatiFat d = Canc(TipoSta::Definitiva);
    d.invioCanc = "1";
    d.clienti = false;
    dialoghi->risposte = {1};
    ASSERT_TRUE(CancXml(d, OpzCanc())) << Messaggi().join('|').toStdString();
    EXPECT_EQ(Messaggi().join('|'), "Confermi cancellazione del solo file fornitori");
    EXPECT_EQ(FileScritti(), QStringList{"IT01234567897_DF_172F1.xml"});
    Valida("IT01234567897_DF_172F1.xml");
    EXPECT_EQ(Stati(1, "R"), "C 1 / C 1");
    EXPECT_EQ(Stati(1, "E"), "N 0 / N 0");

    // Written again: the same name, the rows stay as they are.
    QDir(cartella).removeRecursively();
    QDir().mkpath(cartella);
    d.tipoSta = TipoSta::Rielabora;
    dialoghi->risposte = {1};
    ASSERT_TRUE(CancXml(d, OpzCanc()));
    EXPECT_EQ(FileScritti(), QStringList{"IT01234567897_DF_172F1.xml"});
    EXPECT_EQ(Stati(1, "R"), "C 1 / C 1");
}

// A definitive run of another terminal holds the lock: the cancellation
// waits for the user's choice, and giving up changes nothing.
TEST_P(CancDatiFatMotori, WaitsForTheRunLock) {
    RigaLock("002", "PC-B", "R", 2017, 2, 1);
    DatiRunDatiFat d = Canc(TipoSta::Definitiva);
    d.invioCanc = "1";
    d.fornitori = false;
    dialoghi->risposte = {3};
    EXPECT_FALSE(CancXml(d, OpzCanc()));
    EXPECT_TRUE(Messaggi().first().startsWith("Estrazione XML in corso sul terminale PC-B per l'azienda 002"));
    EXPECT_TRUE(FileScritti().isEmpty());
    EXPECT_EQ(Stati(1), "N 0 / N 0");
    EXPECT_EQ(RigheLock(), "002 PC-B R 2017 2 1");

    fx.Esegui(fx.idCondiviso, "DELETE FROM Appoggio");
    dialoghi->risposte = {1};
    EXPECT_TRUE(CancXml(d, OpzCanc()));
    EXPECT_EQ(Stati(1), "C 1 / C 1");
    EXPECT_EQ(RigheLock(), "");
}

TEST_F(CancDatiFatTest, AnsweringAnnullaLeavesNoFileAndNoChange) {
    DatiRunDatiFat d = Canc(TipoSta::Definitiva);
    d.invioCanc = "1";
    d.fornitori = false;
    dialoghi->risposte = {2};
    EXPECT_FALSE(CancXml(d, OpzCanc()));
    EXPECT_TRUE(FileScritti().isEmpty());
    EXPECT_EQ(Stati(1), "N 0 / N 0");
}

INSTANTIATE_TEST_SUITE_P(Motori, ElabDatiFatMotori, ValoriMotori(), NomeMotore);
INSTANTIATE_TEST_SUITE_P(Motori, CancDatiFatMotori, ValoriMotori(), NomeMotore);


// --- Files and marks agree whatever stops the run ---

// Child side of the kill: with COMIVA_DATIFAT_AZIENDA set, it opens the given
// shared and company databases, takes the lock of a definitive run of the
// kind given and runs the writer, which ends the process the moment its
// marks are committed, before the file takes its final name.
TEST(ElabDatiFatFiglio, MuoreDopoLaConferma) {
    const QByteArray azienda = qgetenv("COMIVA_DATIFAT_AZIENDA");
    if (azienda.isEmpty()) GTEST_SKIP() << "solo come processo figlio";
    AppTest();
    auto c = std::make_shared<Contesto>();
    c->ggGestDb = std::make_shared<GestoreDb>();
    c->gsIdDbMenu = c->ggGestDb->ApriDatabase(QString::fromLocal8Bit(qgetenv("COMIVA_DATIFAT_CONDIVISO")));
    c->gsIdDbase = c->ggGestDb->ApriDatabase(QString::fromLocal8Bit(azienda));
    auto menu = std::make_shared<MenuClientFinto>();
    menu->ImpostaValore("idazienda", "001");
    c->ggMenuClient = menu;
    c->ggDialoghi = std::make_shared<DialoghiScriptati>();
    ImpostaContesto(c);
    const QString tipo = QString::fromLocal8Bit(qgetenv("COMIVA_DATIFAT_TIPO"));
    LockDatiFat lock;
    int numInvio = 0;
    if (!lock.LockElab(c->gsIdDbase, false, tipo, 2017, 2, numInvio, "001")) return;
    stDatiFat w;
    w.osIdDbase = c->gsIdDbase;
    w.osIdAzienda = "001";
    w.oiAnno = 2017;
    w.oiNumCom = 2;
    w.oiNumInvio = numInvio;
    w.osCosaEstr = tipo;
    w.oiTipoSta = 1;
    w.osDirInvio = QString::fromLocal8Bit(qgetenv("COMIVA_DATIFAT_CARTELLA"));
    w.osCodiceFiscaleDitta = w.osPartitaIvaDitta = "01234567897";
    w.osDittaRagSoc = "PRIMA SRL";
    w.osStatoGiurid = "G";
    w.DopoConferma = [] { std::raise(SIGKILL); };
    w.AvviaStampa();
}

class ConsegnaDatiFatTest : public ElabDatiFatTest {
protected:
    explicit ConsegnaDatiFatTest(Motore motore = Motore::File) : ElabDatiFatTest(motore) {}
    // A definitive run of one kind of the current company, killed once its
    // marks are committed.
    void UccisoDopoLaConferma(const QString& tipo) {
        QProcess figlio;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("COMIVA_DATIFAT_AZIENDA", NomePerAltroProcesso(fx.fileAzienda));
        env.insert("COMIVA_DATIFAT_CONDIVISO", NomePerAltroProcesso(fx.fileCondiviso));
        env.insert("COMIVA_DATIFAT_CARTELLA", cartella + "/");
        env.insert("COMIVA_DATIFAT_TIPO", tipo);
        figlio.setProcessEnvironment(env);
        figlio.start(QCoreApplication::applicationFilePath(),
                     {"--gtest_filter=ElabDatiFatFiglio.MuoreDopoLaConferma", "--gtest_brief=1"});
        ASSERT_TRUE(figlio.waitForFinished(60000));
        ASSERT_EQ(figlio.exitStatus(), QProcess::CrashExit) << figlio.readAllStandardOutput().toStdString();
    }
    DatiRunDatiFat SoloCorrente(const QString& tipo) {
        DatiRunDatiFat d = Dati(TipoSta::Definitiva);
        d.aAzienda = "001";
        d.clienti = tipo == "E";
        d.fornitori = tipo == "R";
        return d;
    }
    QString Rinomine() { return Leggi(fx.idAzienda, "Select count(*) as V from DatiFatRinomine"); }
    QStringList Incompleti() { return QDir(cartella).entryList({"*.incompleto"}, QDir::Files, QDir::Name); }
};

using ConsegnaDatiFatMotori = SuMotori<ConsegnaDatiFatTest>;

// Killed between its commit and the final name, the send is marked and its
// file complete under the temporary name: the next run completes it before
// anything else and says so; a send whose file is gone meanwhile is undone.
TEST_P(ConsegnaDatiFatMotori, RunKilledAfterItsCommitIsPutRightByTheNextRun) {
    UccisoDopoLaConferma("E");
    EXPECT_TRUE(FileScritti().isEmpty());
    EXPECT_EQ(Incompleti(), QStringList{"IT01234567897_DF_172E1.xml.incompleto"});
    EXPECT_EQ(Invio(fx.idAzienda, 1, "E"), "1/1/null");
    EXPECT_EQ(Rinomine(), "1");
    EXPECT_EQ(RigheLock(), "001 TERM01 E 2017 2 1");

    ElabDatiFat elab(scrittore, lock);
    EXPECT_EQ(elab.Esegui(SoloCorrente("E"), Opzioni()), EsitoElabDatiFat::NessunDato);
    const QStringList m = Messaggi();
    ASSERT_FALSE(m.isEmpty());
    EXPECT_EQ(m.first(), "L'invio 1 dei dati fatture della comunicazione 2017/2 (clienti): marcature salvate, file "
                         "senza nome definitivo. Completato: " +
                             cartella + "/IT01234567897_DF_172E1.xml.");
    EXPECT_EQ(FileScritti(), QStringList{"IT01234567897_DF_172E1.xml"});
    EXPECT_TRUE(Incompleti().isEmpty());
    EXPECT_EQ(esito20(cartella + "/IT01234567897_DF_172E1.xml"), "");
    EXPECT_EQ(Invio(fx.idAzienda, 1, "E"), "1/1/null");
    EXPECT_EQ(Rinomine(), "0");
    EXPECT_EQ(RigheLock(), "");

    dialoghi->mostrati.clear();
    UccisoDopoLaConferma("R");
    ASSERT_TRUE(QFile::remove(cartella + "/IT01234567897_DF_172R1.xml.incompleto"));
    dialoghi->risposte = {1};
    EXPECT_EQ(elab.Esegui(SoloCorrente("R"), Opzioni()), EsitoElabDatiFat::Terminato)
        << Messaggi().join('|').toStdString();
    ASSERT_FALSE(Messaggi().isEmpty());
    EXPECT_EQ(Messaggi().first(), "L'invio 1 dei dati fatture della comunicazione 2017/2 (fornitori): marcature "
                                  "salvate, ma un file non esiste più. Annullato: le registrazioni tornano allo stato "
                                  "precedente.");
    // Undone, the registration was sent again by the same run, under the next number.
    EXPECT_EQ(Invio(fx.idAzienda, 1, "R"), "1/1/null");
    EXPECT_EQ(FileScritti(), (QStringList{"IT01234567897_DF_172E1.xml", "IT01234567897_DF_172R1.xml"}));
    EXPECT_EQ(Rinomine(), "0");
}

// Another terminal's send between its commit and its final names, whose
// files this terminal cannot see (another machine's folder): a run here
// leaves it to that terminal, or to a reset the user confirms, and undoes
// none of its marks.
TEST_P(ConsegnaDatiFatMotori, AnotherTerminalsSendBeforeItsFinalNamesIsLeftToIt) {
    UccisoDopoLaConferma("E");
    fx.Esegui(fx.idCondiviso, "UPDATE Appoggio SET Descr2 = 'PC-B' WHERE Codice = 'XMLDatiFat'");
    QTemporaryDir altrove;
    ASSERT_TRUE(QFile::rename(cartella + "/IT01234567897_DF_172E1.xml.incompleto",
                              altrove.filePath("IT01234567897_DF_172E1.xml.incompleto")));

    ElabDatiFat elab(scrittore, lock);
    EXPECT_EQ(elab.Esegui(SoloCorrente("E"), Opzioni()), EsitoElabDatiFat::Interrotto);
    const QString m = Messaggi().join('|');
    EXPECT_FALSE(m.contains("Annullato")) << m.toStdString();
    EXPECT_TRUE(m.contains("PC-B")) << m.toStdString();
    EXPECT_EQ(Invio(fx.idAzienda, 1, "E"), "1/1/null");
    EXPECT_EQ(Rinomine(), "1");
    EXPECT_EQ(RigheLock(), "001 PC-B E 2017 2 1");
}

// A COMMIT the database refuses (here a constraint checked only at the
// commit, as a full disk would refuse it): the run fails, no file takes its
// final name, nothing is marked, and the message says what is on disk.
TEST_P(ConsegnaDatiFatMotori, CommitThatFailsLeavesTheFileIncompleteAndNothingMarked) {
    const QString colonne =
        "Provvisorio VARCHAR(255), Definitivo VARCHAR(255), Operazione VARCHAR(1), AnnoCom SMALLINT, NumCom SMALLINT, "
        "Tipo VARCHAR(1), Numero SMALLINT, NomeFile VARCHAR(5), AnnoReg SMALLINT, NumReg INTEGER";
    if (fx.motore == Motore::Server) {
        fx.Esegui(fx.idAzienda, "CREATE TABLE DatiFatRinomine (" + colonne +
                                    "); CREATE FUNCTION rifiuta() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                                    "RAISE EXCEPTION 'spazio su disco esaurito'; END $$; CREATE CONSTRAINT TRIGGER "
                                    "rifiuta AFTER INSERT ON DatiFatRinomine DEFERRABLE INITIALLY DEFERRED FOR EACH "
                                    "ROW EXECUTE FUNCTION rifiuta()");
    } else {
        fx.Esegui(fx.idAzienda, "CREATE TABLE Nessuna (Id INTEGER PRIMARY KEY); CREATE TABLE DatiFatRinomine (" +
                                    colonne +
                                    ", Vincolo INTEGER DEFAULT 1 REFERENCES Nessuna(Id) DEFERRABLE INITIALLY "
                                    "DEFERRED); PRAGMA foreign_keys = ON");
    }
    ElabDatiFat elab(scrittore, lock);
    dialoghi->risposte = {1};
    EXPECT_EQ(elab.Esegui(SoloCorrente("E"), Opzioni()), EsitoElabDatiFat::Errore);
    const QString m = Messaggi().join('|');
    EXPECT_TRUE(m.contains("Le marcature di invio non sono state salvate: il file dei dati fatture resta con "
                           "l'estensione \".incompleto\" e non deve essere inviato.\r\nNessuna registrazione è "
                           "stata marcata come inviata.\r\nErrore("))
        << m.toStdString();
    EXPECT_FALSE(m.contains("Elaborazione terminata")) << m.toStdString();
    EXPECT_TRUE(FileScritti().isEmpty());
    EXPECT_EQ(Incompleti(), QStringList{"IT01234567897_DF_172E1.xml.incompleto"});
    EXPECT_EQ(Invio(fx.idAzienda, 1, "E"), "0/0/null");
    EXPECT_EQ(Rinomine(), "0");
    EXPECT_EQ(RigheLock(), "");
}

INSTANTIATE_TEST_SUITE_P(Motori, ConsegnaDatiFatMotori, ValoriMotori(), NomeMotore);

}  // namespace
