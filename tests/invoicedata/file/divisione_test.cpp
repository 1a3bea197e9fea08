// Split sends and send marks: every part a whole valid file, marks only in a
// definitive run and only when every file is complete.
#include "supporto_datifat.h"

using namespace datifat;

namespace {

// n client counterparties of one registration each, accounts 000001.. in
// the order of their descriptions.
void Clienti(AmbienteDatiFat& a, int n) {
    for (int i = 1; i <= n; ++i) {
        const QString c = QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0'));
        a.Conto(conto(c, QStringLiteral("CLIENTE %1").arg(c)));
        a.Semplice(QStringLiteral("E"), i, c);
    }
}

void TuttiValidi(const AmbienteDatiFat& a, const QStringList& nomi) {
    for (const QString& n : nomi) {
        SCOPED_TRACE(n.toStdString());
        const QString f = a.Percorso(n);
        EXPECT_EQ(QString(), esito20(f));
        EXPECT_EQ(QString(), esito21(f));
        EXPECT_TRUE(leggi(f).endsWith("</ns2:DatiFattura>\r\n"));
    }
}

TEST(DivisioneDatiFat, DefinitiveSplitSendWritesLetteredFilesAndMarks) {
    AmbienteDatiFat a;
    Clienti(a, 5);
    a.st.oiTipoSta = 1;
    a.st.obMolteAnag = true;
    a.st.oiMaxClie = 2;
    a.st.AvviaStampa();
    const QStringList nomi = {QStringLiteral("IT01234567897_DF_72E1A.xml"), QStringLiteral("IT01234567897_DF_72E1B.xml"),
                              QStringLiteral("IT01234567897_DF_72E1C.xml")};
    EXPECT_EQ(nomi, a.FileInCartella());
    TuttiValidi(a, nomi);
    EXPECT_EQ(2, leggi(a.Percorso(nomi[0])).count("<CessionarioCommittenteDTE>"));
    EXPECT_EQ(1, leggi(a.Percorso(nomi[2])).count("<CessionarioCommittenteDTE>"));
    const char* progr[] = {"1", "2", "1", "2", "1"};
    const char* file[] = {"72E1A", "72E1A", "72E1B", "72E1B", "72E1C"};
    for (int i = 1; i <= 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(QStringLiteral("1"), a.Colonna(i, QStringLiteral("NumInv")).testo());
        EXPECT_EQ(QString::fromLatin1(progr[i - 1]), a.Colonna(i, QStringLiteral("Progr")).testo());
        EXPECT_EQ(QString::fromLatin1(file[i - 1]), a.Colonna(i, QStringLiteral("NomeFile")).testo());
    }
    EXPECT_EQ(0, a.st.oiErrore);
    EXPECT_TRUE(a.Messaggi().isEmpty());
}

TEST(DivisioneDatiFat, DefinitiveSingleFileMarksWithoutFileName) {
    AmbienteDatiFat a;
    Clienti(a, 2);
    a.Registrazione(testata(QStringLiteral("E"), 9, QStringLiteral("000002")),
                    {riga(QStringLiteral("E"), 9, 1), riga(QStringLiteral("E"), 9, 2)});
    a.st.oiTipoSta = 1;
    a.st.AvviaStampa();
    EXPECT_EQ(QStringList{QStringLiteral("IT01234567897_DF_172E1.xml")}, a.FileInCartella());
    EXPECT_EQ(QStringLiteral("1"), a.Colonna(1, QStringLiteral("Progr")).testo());
    EXPECT_EQ(QStringLiteral("2"), a.Colonna(2, QStringLiteral("Progr")).testo());
    EXPECT_EQ(QStringLiteral("3"), a.Colonna(9, QStringLiteral("Progr")).testo());
    EXPECT_TRUE(a.Colonna(9, QStringLiteral("NomeFile")).eNull());
}

TEST(DivisioneDatiFat, TrialAndReprocessingRunsMarkNothing) {
    for (int tipoSta : {0, 2}) {
        SCOPED_TRACE(tipoSta);
        AmbienteDatiFat a;
        Clienti(a, 3);
        a.st.oiTipoSta = tipoSta;
        a.st.oiIdentif = 0;
        a.st.obMolteAnag = true;
        a.st.oiMaxClie = 2;
        a.st.AvviaStampa();
        EXPECT_EQ(2, a.FileInCartella().size());
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(QStringLiteral("0"), a.Colonna(i, QStringLiteral("NumInv")).testo());
            EXPECT_TRUE(a.Colonna(i, QStringLiteral("NomeFile")).eNull());
        }
    }
}

TEST(DivisioneDatiFat, OverTheMaximumWithoutSplitWarnsOnceAndKeepsOneFile) {
    AmbienteDatiFat a;
    Clienti(a, 5);
    a.st.oiMaxClie = 2;
    a.st.AvviaStampa();
    const QString nome = QStringLiteral("IT01234567897_DF_172E1_Prova.xml");
    EXPECT_EQ(QStringList{nome}, a.FileInCartella());
    EXPECT_EQ(5, leggi(a.Percorso(nome)).count("<CessionarioCommittenteDTE>"));
    EXPECT_EQ(QStringList{QStringLiteral("Superato il numero massimo di anagrafiche per file (2)\r\n"
                                         "Usare apposito flag per creare più file")},
              a.Messaggi());
    TuttiValidi(a, {nome});
}

TEST(DivisioneDatiFat, AMaximumOfZeroWithoutSplitWarnsAtTheFirstCounterparty) {
    AmbienteDatiFat a;
    Clienti(a, 2);
    a.st.oiMaxClie = 0;
    a.st.AvviaStampa();
    EXPECT_EQ(QStringList{QStringLiteral("Superato il numero massimo di anagrafiche per file (0)\r\n"
                                         "Usare apposito flag per creare più file")},
              a.Messaggi());
    TuttiValidi(a, {QStringLiteral("IT01234567897_DF_172E1_Prova.xml")});
}

TEST(DivisioneDatiFat, MoreThanTwentySixFilesAreRefusedBeforeWriting) {
    AmbienteDatiFat a;
    Clienti(a, 27);
    a.st.obMolteAnag = true;
    a.st.oiMaxClie = 1;
    a.st.AvviaStampa();
    EXPECT_EQ(1, a.st.oiErrore);
    EXPECT_TRUE(a.FileInCartella().isEmpty());
    ASSERT_EQ(1, a.Messaggi().size());
    EXPECT_TRUE(a.Messaggi()[0].contains(QStringLiteral("più di 26 file")));
}

// A definitive run takes its transaction before it reads; one that writes no
// file (no rows, a refused split) gives it back, so that the next run, or any
// other work on the company, can write.
TEST(DivisioneDatiFat, ADefinitiveRunThatWritesNoFileLeavesNoTransactionOpen) {
    for (int clienti : {0, 27}) {
        SCOPED_TRACE(clienti);
        AmbienteDatiFat a;
        Clienti(a, clienti);
        a.st.oiTipoSta = 1;
        a.st.obMolteAnag = true;
        a.st.oiMaxClie = 1;
        a.st.AvviaStampa();
        EXPECT_TRUE(a.FileInCartella().isEmpty());
        EXPECT_NE(0, sqlite3_get_autocommit(a.db.gestDb->DatabaseDaId(a.db.idAzienda)->Handle()));
        EXPECT_NO_THROW(a.db.gestDb->IniziaTransazione(a.db.idAzienda));
        a.db.gestDb->AnnullaTransazione(a.db.idAzienda);
    }
}

// A failure in the middle of a definitive split send: the files written stay
// under the name that says they are incomplete, an earlier complete file of
// the same name is untouched, and no registration is marked.
TEST(DivisioneDatiFat, AFailureRollsBackTheMarksAndKeepsTheEarlierFile) {
    AmbienteDatiFat a;
    Clienti(a, 3);
    a.st.oiTipoSta = 1;
    a.st.obMolteAnag = true;
    a.st.oiMaxClie = 2;
    const QString primo = a.Percorso(QStringLiteral("IT01234567897_DF_72E1A.xml"));
    {
        QFile f(primo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("invio precedente");
    }
    // The second file cannot be created: a folder stands where it would go.
    ASSERT_TRUE(QDir().mkpath(a.Percorso(QStringLiteral("IT01234567897_DF_72E1B.xml.incompleto"))));
    a.st.AvviaStampa();
    EXPECT_EQ(1, a.st.oiErrore);
    EXPECT_EQ(QByteArray("invio precedente"), leggi(primo));
    EXPECT_TRUE(leggi(primo + QStringLiteral(".incompleto")).endsWith("</ns2:DatiFattura>\r\n"));
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(QStringLiteral("0"), a.Colonna(i, QStringLiteral("NumInv")).testo());
    const QString messaggi = a.Messaggi().join(QLatin1Char('|'));
    EXPECT_TRUE(messaggi.contains(QStringLiteral("Nessuna registrazione è stata marcata come inviata."))) << messaggi.toStdString();
    EXPECT_TRUE(messaggi.contains(QStringLiteral("non deve essere inviato")));
    EXPECT_EQ(0, a.contesto->giStaAtt);
}

TEST(DivisioneDatiFat, AMissingFolderIsAnErrorOfTheRunAndMarksNothing) {
    AmbienteDatiFat a;
    Clienti(a, 1);
    a.st.oiTipoSta = 1;
    a.st.osDirInvio = a.cartella + QStringLiteral("/manca");
    a.st.AvviaStampa();
    EXPECT_EQ(1, a.st.oiErrore);
    EXPECT_EQ(QStringLiteral("0"), a.Colonna(1, QStringLiteral("NumInv")).testo());
}

TEST(DivisioneDatiFat, AnEmptyFolderIsRefused) {
    AmbienteDatiFat a;
    Clienti(a, 1);
    a.st.osDirInvio.clear();
    a.st.AvviaStampa();
    EXPECT_EQ(1, a.st.oiErrore);
    EXPECT_TRUE(a.Messaggi().join(QLatin1Char('|')).contains(QStringLiteral("Cartella dei file dati fatture non indicata")));
}

TEST(DivisioneDatiFat, ThousandAndOneCounterpartiesAreSplitEvenWithoutTheOption) {
    AmbienteDatiFat a;
    a.db.Esegui(a.db.idAzienda, QStringLiteral("BEGIN"));
    Clienti(a, 1001);
    a.db.Esegui(a.db.idAzienda, QStringLiteral("COMMIT"));
    a.st.AvviaStampa();
    const QStringList nomi = {QStringLiteral("IT01234567897_DF_72E1A_Prova.xml"),
                              QStringLiteral("IT01234567897_DF_72E1B_Prova.xml")};
    EXPECT_EQ(nomi, a.FileInCartella());
    EXPECT_EQ(1000, leggi(a.Percorso(nomi[0])).count("<CessionarioCommittenteDTE>"));
    TuttiValidi(a, nomi);
    ASSERT_EQ(1, a.Messaggi().size());
    EXPECT_TRUE(a.Messaggi()[0].contains(QStringLiteral("Il file viene diviso in più file")));
}

}  // namespace

namespace {

// The schema's limit of 1000 documents under one counterparty block: the
// same client goes on in a new block, counted as a further counterparty.
TEST(DivisioneDatiFat, AThousandAndFirstDocumentOpensANewBlockOfTheSameClient) {
    AmbienteDatiFat a;
    a.Conto(conto(QStringLiteral("000001")));
    a.db.Esegui(a.db.idAzienda, QStringLiteral("BEGIN"));
    for (int n = 1; n <= 1001; ++n) a.Semplice(QStringLiteral("E"), n, QStringLiteral("000001"));
    a.db.Esegui(a.db.idAzienda, QStringLiteral("COMMIT"));
    a.st.oiTipoSta = 1;
    a.st.AvviaStampa();
    const QString nome = QStringLiteral("IT01234567897_DF_172E1.xml");
    EXPECT_EQ(QStringList{nome}, a.FileInCartella());
    const QByteArray testo = leggi(a.Percorso(nome));
    EXPECT_EQ(2, testo.count("<CessionarioCommittenteDTE>"));
    EXPECT_EQ(1001, testo.count("<DatiFatturaBodyDTE>"));
    EXPECT_EQ(QString(), esito20(a.Percorso(nome)));
    EXPECT_EQ(QString(), esito21(a.Percorso(nome)));
    EXPECT_EQ(QStringLiteral("1001"), a.Colonna(1001, QStringLiteral("Progr")).testo());
}

}  // namespace

namespace {

// The data cannot be written out when the file is closed (a full disk): an
// error of the run, told once with the closing text, and nothing is marked.
TEST(DivisioneDatiFat, AFileThatCannotBeClosedIsAnErrorOfTheRun) {
    if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "/dev/full assente";
    AmbienteDatiFat a;
    Clienti(a, 1);
    a.st.oiTipoSta = 1;
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), a.Percorso(QStringLiteral("IT01234567897_DF_172E1.xml.incompleto"))));
    a.st.AvviaStampa();
    EXPECT_EQ(1, a.st.oiErrore);
    EXPECT_FALSE(QFile::exists(a.Percorso(QStringLiteral("IT01234567897_DF_172E1.xml"))));
    EXPECT_EQ(QStringLiteral("0"), a.Colonna(1, QStringLiteral("NumInv")).testo());
    const QStringList m = a.Messaggi();
    ASSERT_EQ(2, m.size()) << m.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(m[0].startsWith(QStringLiteral("(Estrazione Dati: Comunicazione Fatture  - Ditta di prova) Errore durante "
                                               "la chiusura del file di scarico")))
        << m[0].toStdString();
    EXPECT_TRUE(m[1].contains(QStringLiteral("Nessuna registrazione è stata marcata come inviata.")));
}

}  // namespace
