// The run form offscreen: proposals of the communication, the lock found at
// load, the boxes' rules, "Cambia", the switch to a cancellation, and a
// definitive run then its cancellation through the form.
#include "AmbienteLock.h"

#include "../file/supporto_datifat.h"
#include "components/ini/FileIni.h"
#include "components/util/Percorsi.h"
#include "invoicedata/file/StDatiFat.h"
#include "invoicedata/run/FrmDatiFatXml.h"
#include "support/AnteprimaScriptata.h"
#include "support/DanniDb.h"
#include "support/GestoreDbContato.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

using namespace datifat;

TEST(PropostaComDatiFat, FromTheWorkingDate) {
    struct Caso {
        QDate data;
        QString anno, numero;
    };
    const std::vector<Caso> casi = {
        {{2020, 1, 15}, "2019", "12"}, {{2021, 3, 31}, "2020", "4"}, {{2021, 4, 1}, "2021", "1"},
        {{2022, 9, 30}, "2022", "2"},  {{2022, 10, 1}, "2022", "3"}, {{2019, 5, 10}, "2019", "4"},
        {{2019, 12, 15}, "2019", "11"}, {{2019, 4, 30}, "2018", "2"}, {{2018, 10, 31}, "2018", "1"},
        {{2018, 11, 15}, "2018", "2"},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.data.toString(Qt::ISODate).toStdString());
        QString anno, numero;
        PropostaComDatiFat(k.data, anno, numero);
        EXPECT_EQ(anno, k.anno);
        EXPECT_EQ(numero, k.numero);
    }
}

class FrmDatiFatXmlTest : public AmbienteLock {
protected:
    explicit FrmDatiFatXmlTest(Motore motore = Motore::File) : AmbienteLock(motore) {}
    void SetUp() override {
        AmbienteLock::SetUp();
        if (IsSkipped()) return;
        c->gtDataLavoro = QDate(2018, 1, 15);
        cartella = fx.Cartella() + "/invio/";
        QDir().mkpath(cartella);
        ASSERT_TRUE(FileIni(c->gsFileIni).scrivi("Base", "DirDatiFat", cartella));
        fx.Esegui(fx.idAzienda, "INSERT INTO Stati (Stato, Descrizione, Iso, Cee) SELECT 'ITA','Italia','IT','S'"
                                " WHERE NOT EXISTS (SELECT 1 FROM Stati WHERE Stato = 'ITA')");
        fx.Inserisci(fx.idAzienda, "Ditta", {{"CodFisc", "01234567897"}, {"PartIva", "01234567897"},
                                            {"RagSoc", "PRIMA SRL"}, {"StatoGiurid", "G"}, {"Moneta", "Euro"}});
        fx.Inserisci(fx.idAzienda, "PianoConti", coppie(conto("000001")));
        for (const char* tipo : {"E", "R"}) {
            fx.Inserisci(fx.idAzienda, "DatiFatTest", coppie(testata(tipo, 1, "000001")));
            fx.Inserisci(fx.idAzienda, "DatiFatDett", coppie(riga(tipo, 1, 1)));
        }
    }
    void TearDown() override {
        if (form) delete form.data();
        AmbienteLock::TearDown();
    }
    frmDatiFatXml& Carica() {
        form = new frmDatiFatXml;
        form->osKeySec = "SEC";
        form->Carica();
        EXPECT_EQ(form->oiLoadOk, 1) << Messaggi().join(" | ").toStdString();
        return *form;
    }
    void Scrivi(int indice, const QString& testo) {
        form->txt_GotFocus(indice);
        form->txt[indice]->setText(testo);
        form->txt_LostFocus(indice);
    }
    // The form on screen, driven as a user would: clicks, typing, leaving a box.
    frmDatiFatXml& Mostra() {
        frmDatiFatXml& f = Carica();
        f.show();
        QApplication::setActiveWindow(&f);
        dialoghi->mostrati.clear();
        return f;
    }
    void Clicca(QAbstractButton* b) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
        QApplication::processEvents();
    }
    void Digita(int indice, const QString& testo) {
        QLineEdit* e = form->txt[indice];
        e->setFocus();
        QApplication::processEvents();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, testo);
        form->ComChiudi->setFocus();  // leaving the box runs its rules
        QApplication::processEvents();
    }
    QString DirIni() const { return FileIni(c->gsFileIni).leggi("Base", "DirDatiFat").value_or("<nessuna>"); }

    QString cartella;
    QPointer<frmDatiFatXml> form;
};
using FrmDatiFatXmlMotori = SuMotori<FrmDatiFatXmlTest>;

TEST_F(FrmDatiFatXmlTest, DefaultsAtLoad) {
    frmDatiFatXml& f = Carica();
    EXPECT_EQ(f.txt[10]->text(), "2017");
    EXPECT_EQ(f.txt[20]->text(), "2");
    EXPECT_EQ(f.txt[30]->text(), "001");
    EXPECT_EQ(f.txt[40]->text(), "001");
    EXPECT_EQ(f.txt[150]->text(), "999");
    EXPECT_EQ(f.DirInvio(), cartella);
    EXPECT_TRUE(f.OptTipoSta[0]->isChecked());
    EXPECT_TRUE(f.optTipoCom[0]->isChecked());
    EXPECT_TRUE(f.cheCosaEstr[0]->isChecked() && f.cheCosaEstr[1]->isChecked());
    EXPECT_TRUE(f.CheEstraiAnag->isChecked());
    EXPECT_FALSE(f.CheMolteAnag->isChecked());
    EXPECT_TRUE(f.txt[100]->isHidden());
    EXPECT_TRUE(f.txt[140]->isHidden());
}

// A lock left behind is reported at load; giving up still opens the form.
TEST_F(FrmDatiFatXmlTest, LockLeftBehindReportedAtLoad) {
    RigaLock("001", "PC-B", "E", 2017, 2, 1);
    dialoghi->risposte = {3};
    Carica();
    // The print options' own notices (no printer here) may come first.
    EXPECT_EQ(Messaggi().filter("Estrazione XML in corso sul terminale PC-B per l'azienda 001").size(), 1)
        << Messaggi().join(" | ").toStdString();
    EXPECT_EQ(RigheLock(), "001 PC-B E 2017 2 1");
}

TEST_F(FrmDatiFatXmlTest, BoxRulesMarkTheBoxAndStopTheRun) {
    frmDatiFatXml& f = Carica();
    dialoghi->mostrati.clear();
    Scrivi(10, "2018");
    Scrivi(20, "13");
    EXPECT_EQ(Messaggi().join('|'), "Numero comunicazione non valido");
    EXPECT_EQ(BackColor(f.txt[20]), c->glColErrore);
    dialoghi->mostrati.clear();
    f.ComStampa_Click();
    EXPECT_EQ(Messaggi().join('|'), "Ci sono dei dati non validi");
    // Leaving the marked box unchanged clears the mark without a message.
    dialoghi->mostrati.clear();
    f.txt_GotFocus(20);
    f.txt_LostFocus(20);
    EXPECT_NE(BackColor(f.txt[20]), c->glColErrore);
    EXPECT_TRUE(Messaggi().isEmpty());
}

TEST_F(FrmDatiFatXmlTest, CambiaGivenUpChangesNothing) {
    frmDatiFatXml& f = Carica();
    dialoghi->risposteTesto = {std::nullopt};
    f.ComOpz_Click();
    EXPECT_EQ(f.DirInvio(), cartella);
    EXPECT_EQ(f.DirNuova(), "");
    dialoghi->risposteTesto = {QString(fx.Cartella() + "/altra/nome.xml")};
    f.ComOpz_Click();
    EXPECT_EQ(f.DirInvio(), fx.Cartella() + "/altra/");
    EXPECT_EQ(f.DirNuova(), fx.Cartella() + "/altra/");
}

TEST_F(FrmDatiFatXmlTest, CancellationResetsCompaniesAndARangeSwitchesBack) {
    frmDatiFatXml& f = Carica();
    Scrivi(40, "009");
    EXPECT_EQ(f.txt[80]->text(), "");
    EXPECT_FALSE(f.FraDichiarante->isEnabled());
    f.optTipoCom[1]->setChecked(true);
    f.optTipoCom_Click();
    EXPECT_EQ(f.txt[30]->text(), "001");
    EXPECT_EQ(f.txt[40]->text(), "001");
    EXPECT_TRUE(f.FraDichiarante->isEnabled());
    EXPECT_FALSE(f.txt[140]->isHidden());
    EXPECT_TRUE(f.txt[100]->isHidden());
}

// From the form: a definitive run writes DTE and DTR files and marks the
// rows; the cancellation of the suppliers' send writes its ANN file.
TEST_F(FrmDatiFatXmlTest, DefinitiveRunThenCancellationOfItsSend) {
    frmDatiFatXml& f = Carica();
    dialoghi->mostrati.clear();
    f.OptTipoSta[1]->setChecked(true);
    f.OptTipoSta_Click();
    f.optTipoElab[1]->setChecked(true);
    f.optTipoElab_Click(1);
    f.ComStampa_Click();
    ASSERT_EQ(f.UltimoEsito(), EsitoElabDatiFat::Terminato) << Messaggi().join('|').toStdString();
    const QStringList scritti = QDir(cartella).entryList({"*.xml"}, QDir::Files, QDir::Name);
    ASSERT_EQ(scritti, (QStringList{"IT01234567897_DF_172E1.xml", "IT01234567897_DF_172R1.xml"}));
    for (const QString& s : scritti) {
        SCOPED_TRACE(s.toStdString());
        EXPECT_EQ(esito20(cartella + s), "");
        EXPECT_EQ(esito21(cartella + s), "");
    }
    EXPECT_EQ(Invio(fx.idAzienda, 1, "R").section('/', 0, 1), "1/1");
    EXPECT_EQ(RigheLock(), "");

    f.optTipoCom[1]->setChecked(true);
    f.optTipoCom_Click();
    f.cheCosaEstr[0]->setChecked(false);
    f.txt[110]->setText("1");
    f.txt[140]->setText("987654321");
    dialoghi->mostrati.clear();
    dialoghi->risposte = {1};
    f.ComStampa_Click();
    EXPECT_EQ(Messaggi().join('|'), "Confermi cancellazione del solo file fornitori");
    const QString ann = cartella + "IT01234567897_DF_172F1.xml";
    EXPECT_EQ(esito20(ann), "");
    EXPECT_EQ(esito21(ann), "");
    EXPECT_EQ(Leggi(fx.idAzienda, "Select Stato || NumCanc as V from DatiFatTest Where Tipo = 'R'"), "C1");
}

// A box marked red and then hidden by an option stops no run; shown again,
// its mark still does, and a box emptied while hidden is not red any more.
TEST_F(FrmDatiFatXmlTest, AHiddenRedBoxDoesNotBlockTheRun) {
    struct Caso {
        const char* nome;
        int box;
        std::function<void(frmDatiFatXml&)> mostra, nascondi;
        bool rossoDiNuovo;
    };
    const std::vector<Caso> casi = {
        {"send number of Rielabora, then Prova", 100, [&](auto& f) { Clicca(f.OptTipoSta[2]); },
         [&](auto& f) { Clicca(f.OptTipoSta[0]); }, true},
        {"send to cancel, then Normale", 110, [&](auto& f) { Clicca(f.optTipoCom[1]); },
         [&](auto& f) { Clicca(f.optTipoCom[0]); }, false},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        frmDatiFatXml& f = Mostra();
        Clicca(f.optTipoElab[1]);
        k.mostra(f);
        ASSERT_TRUE(f.txt[k.box]->isVisible());
        Digita(k.box, "15");
        EXPECT_EQ(Messaggi().join('|'), "Numero invio non valido");
        k.nascondi(f);
        ASSERT_FALSE(f.txt[k.box]->isVisible());
        dialoghi->mostrati.clear();
        Clicca(f.ComStampa);
        EXPECT_EQ(f.UltimoEsito(), EsitoElabDatiFat::Terminato) << Messaggi().join('|').toStdString();
        EXPECT_FALSE(Messaggi().contains("Ci sono dei dati non validi"));
        k.mostra(f);
        EXPECT_EQ(BackColor(f.txt[k.box]) == c->glColErrore, k.rossoDiNuovo);
        delete form.data();
    }
}

// Retyping the same company with blanks, or choosing "Cancellazione" for the
// company already chosen, keeps the declarant the user typed.
TEST_F(FrmDatiFatXmlTest, TheTypedDeclarantIsKept) {
    frmDatiFatXml& f = Mostra();
    Digita(80, "RSSGPP65B12F205H");
    Digita(90, "1");
    Digita(30, "  001 ");
    EXPECT_EQ(f.txt[30]->text(), "001");
    EXPECT_EQ(f.txt[80]->text(), "RSSGPP65B12F205H");
    EXPECT_EQ(f.txt[90]->text(), "1");
    Clicca(f.optTipoCom[1]);
    EXPECT_TRUE(f.txt[140]->isVisible());
    EXPECT_EQ(f.txt[80]->text(), "RSSGPP65B12F205H");
    EXPECT_EQ(f.txt[90]->text(), "1");
    EXPECT_TRUE(Messaggi().isEmpty()) << Messaggi().join('|').toStdString();
}

// The folder chosen with "Cambia" is stored by a run that reaches its end,
// never by a cancellation or a run that stopped; the end says so under the
// form's caption.
TEST_F(FrmDatiFatXmlTest, OnlyACompletedRunStoresTheFolder) {
    frmDatiFatXml& f = Mostra();
    const QString altra = fx.Cartella() + "/altra/";
    QDir().mkpath(altra);
    dialoghi->risposteTesto = {QString(altra + "nome.xml")};
    Clicca(f.ComOpz);
    ASSERT_EQ(f.DirNuova(), altra);

    // A cancellation, given up at its question.
    Clicca(f.OptTipoSta[1]);
    Clicca(f.optTipoCom[1]);
    Clicca(f.cheCosaEstr[0]);
    Digita(110, "1");
    Digita(140, "987654321");
    fx.Esegui(fx.idAzienda, "UPDATE DatiFatTest SET NumInv = 1, Progr = 1 WHERE Tipo = 'R'");
    dialoghi->mostrati.clear();
    dialoghi->risposte = {2};
    Clicca(f.ComStampa);
    EXPECT_EQ(Messaggi().join('|'), "Confermi cancellazione del solo file fornitori");
    EXPECT_EQ(DirIni(), cartella);

    // A definitive run stopped at the lock of another terminal.
    Clicca(f.optTipoCom[0]);
    Clicca(f.cheCosaEstr[0]);
    Clicca(f.optTipoElab[1]);
    RigaLock("001", "PC-B", "E", 2017, 2, 1);
    dialoghi->risposte = {3};
    Clicca(f.ComStampa);
    EXPECT_EQ(f.UltimoEsito(), EsitoElabDatiFat::Interrotto) << Messaggi().join('|').toStdString();
    EXPECT_EQ(DirIni(), cartella);

    // A trial run to its end.
    fx.Esegui(fx.idCondiviso, "DELETE FROM Appoggio");
    Clicca(f.OptTipoSta[0]);
    dialoghi->mostrati.clear();
    Clicca(f.ComStampa);
    ASSERT_EQ(f.UltimoEsito(), EsitoElabDatiFat::Terminato) << Messaggi().join('|').toStdString();
    EXPECT_EQ(DirIni(), altra);
    ASSERT_FALSE(dialoghi->mostrati.isEmpty());
    EXPECT_EQ(dialoghi->mostrati.last().testo, "Elaborazione terminata");
    EXPECT_EQ(dialoghi->mostrati.last().titolo, f.windowTitle());
}

// The file of a split send is found whatever the case the user types it in.
TEST_P(FrmDatiFatXmlMotori, BaseFileOfASplitSendMatchesIgnoringCase) {
    fx.Esegui(fx.idAzienda, "UPDATE DatiFatTest SET NumInv = 1, Progr = 1, NomeFile = '72R1B' WHERE Tipo = 'R'");
    frmDatiFatXml& f = Mostra();
    Clicca(f.OptTipoSta[1]);
    Clicca(f.optTipoCom[1]);
    Clicca(f.cheCosaEstr[0]);
    Digita(110, "1");
    Digita(115, "72r1b");
    Digita(140, "987654321");
    dialoghi->mostrati.clear();
    dialoghi->risposte = {1};
    Clicca(f.ComStampa);
    EXPECT_EQ(Messaggi().join('|'), "Confermi cancellazione");
    EXPECT_EQ(QDir(cartella).entryList({"*.xml"}, QDir::Files), QStringList{"IT01234567897_DF_72F1B.xml"});
    EXPECT_EQ(Leggi(fx.idAzienda, "Select Stato || NumCanc as V from DatiFatTest Where Tipo = 'R'"), "C1");
}

// A definitive run whose process ended once its send was committed and
// named (a crash while its report waited) leaves its lock row behind.
// "Azzera elab. prec." then keeps the complete send and removes only the
// lock, whichever terminal left it, so the next run sends nothing again;
// a send whose final file is no longer in the folder changes nothing.
TEST_P(FrmDatiFatXmlMotori, ResettingTheLockOfACompleteSendKeepsTheSend) {
    frmDatiFatXml& f = Mostra();
    Clicca(f.OptTipoSta[1]);
    Clicca(f.optTipoElab[1]);
    Clicca(f.ComStampa);
    ASSERT_EQ(f.UltimoEsito(), EsitoElabDatiFat::Terminato) << Messaggi().join('|').toStdString();
    const QString inviato = cartella + "IT01234567897_DF_172E1.xml";
    const QByteArray contenuto = leggi(inviato);
    const QString marche = Invio(fx.idAzienda, 1, "E") + " " + Invio(fx.idAzienda, 1, "R");
    ASSERT_EQ(marche.section(' ', 0, 0).section('/', 0, 1), "1/1");
    // Edited after the send: a send made again would differ from the one sent.
    fx.Esegui(fx.idAzienda, "UPDATE PianoConti SET RagSoc = 'ALTRO NOME SRL'");
    const QString invio = "L'invio 1 dei dati fatture della comunicazione 2017/2 (clienti) dell'azienda 001";
    const struct {
        const char* nome;
        QString terminale;
        QList<int> risposte;
        bool fileSpostato;
        QString detto;
        QString righeLock;
    } casi[] = {
        {"left by this terminal", "TERM01", {1}, false,
         invio + ", file " + inviato + ", è completo e resta valido: è stato tolto solo il blocco dell'elaborazione.",
         ""},
        {"left by another terminal", "PC-B", {1, 1}, false,
         invio + ", file " + inviato + ", è completo e resta valido: è stato tolto solo il blocco dell'elaborazione.",
         ""},
        {"its final file moved away", "TERM01", {1}, true,
         invio + " è marcato come inviato, ma il file " + inviato + " non è nella cartella: non è stato cambiato "
                 "nulla.\r\nRimettere il file nella cartella, o sceglierne un'altra con \"Cambia\", e azzerare di nuovo.",
         "001 TERM01 E 2017 2 1"},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        RigaLock("001", k.terminale, "E", 2017, 2, 1);
        if (k.fileSpostato) ASSERT_TRUE(QFile::rename(inviato, inviato + ".altrove"));
        dialoghi->mostrati.clear();
        dialoghi->risposte = k.risposte;
        Clicca(f.ComStampa);
        EXPECT_TRUE(Messaggi().contains(k.detto)) << Messaggi().join(" | ").toStdString();
        EXPECT_NE(f.UltimoEsito(), EsitoElabDatiFat::Terminato) << Messaggi().join(" | ").toStdString();
        EXPECT_EQ(RigheLock(), k.righeLock);
        EXPECT_EQ(Invio(fx.idAzienda, 1, "E") + " " + Invio(fx.idAzienda, 1, "R"), marche);
        if (k.fileSpostato) ASSERT_TRUE(QFile::rename(inviato + ".altrove", inviato));
        EXPECT_EQ(leggi(inviato), contenuto);
        EXPECT_EQ(QDir(cartella).entryList({"*.xml"}, QDir::Files, QDir::Name),
                  (QStringList{"IT01234567897_DF_172E1.xml", "IT01234567897_DF_172R1.xml"}));
        fx.Esegui(fx.idCondiviso, "DELETE FROM Appoggio");
    }
}

// Another terminal's definitive run was killed after its final names, and
// this terminal writes to another folder: "Azzera elab. prec." looks in the
// sender's folder, kept in the lock row as the sender wrote it, before this
// form's, and names the sender's terminal and folder. A row of an older
// version, without a folder, looks in this form's folder only, as before.
TEST_P(FrmDatiFatXmlMotori, ResetFromAnotherFolderLooksInTheSendersFolderFirst) {
    frmDatiFatXml& f = Mostra();
    Clicca(f.OptTipoSta[1]);
    Clicca(f.optTipoElab[1]);
    Clicca(f.ComStampa);
    ASSERT_EQ(f.UltimoEsito(), EsitoElabDatiFat::Terminato) << Messaggi().join('|').toStdString();
    const QString nome = "IT01234567897_DF_172E1.xml";
    const QString inviato = cartella + nome;
    const QByteArray contenuto = leggi(inviato);
    const QString marche = Invio(fx.idAzienda, 1, "E") + " " + Invio(fx.idAzienda, 1, "R");
    ASSERT_EQ(marche.section(' ', 0, 0).section('/', 0, 1), "1/1");

    const QString altra = fx.Cartella() + "/altra/";
    QDir().mkpath(altra);
    dialoghi->risposteTesto = {QString(altra + "nome.xml")};
    Clicca(f.ComOpz);
    ASSERT_EQ(f.DirInvio(), altra);
    // The sender's folder on a drive of its own, as its settings name it.
    struct Radice {
        QByteArray prima = qgetenv(VariabileRadiceUnita);
        ~Radice() {
            if (prima.isNull()) qunsetenv(VariabileRadiceUnita);
            else qputenv(VariabileRadiceUnita, prima);
        }
    } radice;
    qputenv(VariabileRadiceUnita, QString(fx.Cartella() + "/unita").toUtf8());
    const QString suUnita = fx.Cartella() + "/unita/s/Condivisa/";
    QDir().mkpath(suUnita);

    const QString invio = "L'invio 1 dei dati fatture della comunicazione 2017/2 (clienti) dell'azienda 001";
    const QString rimetti = ": non è stato cambiato nulla.\r\nRimettere il file nella cartella, o sceglierne un'altra "
                            "con \"Cambia\", e azzerare di nuovo.";
    const QString valido = ", è completo e resta valido: è stato tolto solo il blocco dell'elaborazione.";
    const struct {
        const char* nome;
        QString cartellaRiga;  // as the sender wrote it; "" for an older row
        QString dove;          // where the sent file is during the reset
        QString detto;
        bool tenuto;
    } casi[] = {
        {"in the sender's folder", cartella, cartella,
         invio + " (terminale PC-B, cartella " + cartella + "), file " + inviato + valido, false},
        {"the sender's drive path", "S:\\Condivisa\\", suUnita,
         invio + " (terminale PC-B, cartella S:\\Condivisa\\), file " + suUnita + nome + valido, false},
        {"moved to this form's folder", cartella, altra,
         invio + " (terminale PC-B, cartella " + cartella + "), file " + altra + nome + valido, false},
        {"in neither folder", cartella, fx.Cartella() + "/",
         invio + " (terminale PC-B, cartella " + cartella + ") è marcato come inviato, ma il file " + nome +
             " non è né in quella cartella né in " + altra + rimetti,
         true},
        {"an older row looks in this form's folder only", "", cartella,
         invio + " è marcato come inviato, ma il file " + altra + nome + " non è nella cartella" + rimetti, true},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        RigaLock("001", "PC-B", "E", 2017, 2, 1, k.cartellaRiga);
        const bool sposta = k.dove != cartella;
        if (sposta) ASSERT_TRUE(QFile::rename(inviato, k.dove + nome));
        dialoghi->mostrati.clear();
        dialoghi->risposte = {1, 1};
        Clicca(f.ComStampa);
        EXPECT_TRUE(Messaggi().contains(k.detto)) << Messaggi().join(" | ").toStdString();
        EXPECT_EQ(RigheLock(), k.tenuto ? "001 PC-B E 2017 2 1" : "");
        EXPECT_EQ(Invio(fx.idAzienda, 1, "E") + " " + Invio(fx.idAzienda, 1, "R"), marche);
        if (sposta) ASSERT_TRUE(QFile::rename(k.dove + nome, inviato));
        EXPECT_EQ(leggi(inviato), contenuto);
        fx.Esegui(fx.idCondiviso, "DELETE FROM Appoggio");
    }
}

// A cancellation's lock box says it is one, for the rows this version writes
// and for those of an older one (no send number, nothing more).
TEST_F(FrmDatiFatXmlTest, LockOfACancellationSaysSoAtLoad) {
    const struct {
        const char* nome;
        QString canc, oggetto, cartellaRiga;
    } casi[] = {
        {"whole send", "C", "1/", "C:\\Invio\\"},
        {"single registration", "E", "2017/1", "C:\\Invio\\"},
        {"older row", "", "", ""},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        RigaLock("001", "PC-B", "R", 2017, 2, 0, k.cartellaRiga, k.canc, k.oggetto);
        dialoghi->mostrati.clear();
        dialoghi->risposte = {3};
        Carica();
        EXPECT_EQ(Messaggi().filter("in corso").join('|'),
                  "Annullamento in corso sul terminale PC-B per l'azienda 001\r\n Per l'anno 2017, comunicato 2, "
                  "Fatture emesse a fornitori");
        EXPECT_EQ(RigheLock(), "001 PC-B R 2017 2 0");
        delete form.data();
        fx.Esegui(fx.idCondiviso, "DELETE FROM Appoggio");
    }
}

// Dialogs that also keep the lock row as it stood when a question was asked.
class DialoghiColLock : public DialoghiScriptati {
public:
    std::function<void()> alDialogo;
    int msgCom(const RichiestaMsgCom& r) override {
        if (alDialogo) alDialogo();
        return DialoghiScriptati::msgCom(r);
    }
};

// A cancellation from another terminal was killed before its lock was given
// back. "Azzera elab. prec." tells whether it had completed (its file named
// and its rows marked: both kept) or not (nothing marked: nothing to keep),
// naming the terminal and folder that wrote it.
TEST_P(FrmDatiFatXmlMotori, ResetAfterACancellationTellsWhetherItHadCompleted) {
    auto conLock = std::make_shared<DialoghiColLock>();
    dialoghi = conLock;
    c->ggDialoghi = conLock;
    frmDatiFatXml& f = Mostra();
    Clicca(f.OptTipoSta[1]);
    Clicca(f.optTipoElab[1]);
    Clicca(f.ComStampa);
    ASSERT_EQ(f.UltimoEsito(), EsitoElabDatiFat::Terminato) << Messaggi().join('|').toStdString();
    Clicca(f.optTipoCom[1]);
    Clicca(f.cheCosaEstr[0]);
    Digita(140, "987654321");
    const QString annullamento = cartella + "IT01234567897_DF_172F1.xml";
    const QString singola = cartella + "IT01234567897_DF_17210.xml";
    const QString oltre = " (terminale PC-B, cartella " + cartella + ")";
    const struct {
        const char* nome;
        QString invio, annoReg, numReg;
        int conferma;  // the answer the cancellation had from its user
        QString detto, marche;
    } casi[] = {
        {"a whole send, stopped before its marks", "1", "", "", 2,
         "La cancellazione dell'invio 1 della comunicazione 2017/2 (fornitori) dell'azienda 001" + oltre +
             " non era stata completata: nessuna registrazione è stata marcata come cancellata e il suo file non "
             "va inviato. È stato tolto il blocco dell'elaborazione.",
         "N0"},
        {"a whole send, completed", "1", "", "", 1,
         "La cancellazione dell'invio 1 della comunicazione 2017/2 (fornitori) dell'azienda 001" + oltre + ", file " +
             annullamento +
             ", è completa e resta valida: le registrazioni restano marcate come cancellate ed è stato tolto solo "
             "il blocco dell'elaborazione.",
         "C1"},
        {"a single registration, completed", "", "2017", "1", 1,
         "La cancellazione della registrazione 2017/1 della comunicazione 2017/2 (clienti) dell'azienda 001" + oltre +
             ", file " + singola +
             ", è completa e resta valida: le registrazioni restano marcate come cancellate ed è stato tolto solo "
             "il blocco dell'elaborazione.",
         "E10"},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        Digita(110, k.invio);
        Digita(120, k.annoReg);
        Digita(130, k.numReg);
        // The cancellation as it ran, and its lock row while it ran.
        QMap<QString, Valore> riga;
        conLock->alDialogo = [&] {
            if (!riga.isEmpty()) return;
            GestRecordset rs;
            const QString key = rs.ApriRecordset(*fx.gestDb, fx.idCondiviso, {},
                                                 "Select * from Appoggio Where Codice = 'XMLDatiFat'");
            if (!rs.RecVuoto(key))
                for (const char* n : {"Codice", "Descr1", "Descr2", "Descr3", "Descr4", "Descr5", "Memo1", "Long1",
                                      "Long2", "Long3"})
                    riga.insert(n, rs.LeggiCampo(key, QLatin1String(n)));
            rs.ChiudiRecordset(key);
        };
        dialoghi->mostrati.clear();
        dialoghi->risposte = {k.conferma};
        Clicca(f.ComStampa);
        conLock->alDialogo = nullptr;
        ASSERT_FALSE(riga.isEmpty()) << Messaggi().join(" | ").toStdString();
        ASSERT_EQ(RigheLock(), "");
        // Left behind by another terminal, killed before its release.
        riga["Descr2"] = Valore(QStringLiteral("PC-B"));
        std::vector<std::pair<QString, Valore>> colonne(riga.keyValueBegin(), riga.keyValueEnd());
        fx.Inserisci(fx.idCondiviso, "Appoggio", colonne);
        const QString tabella = k.annoReg.isEmpty() ? "Tipo = 'R'" : "Tipo = 'E'";
        const QString prima = Leggi(fx.idAzienda, "Select Stato || NumCanc as V from DatiFatTest Where " + tabella);
        EXPECT_EQ(prima, k.marche);

        // Another attempt finds the lock: reset, confirmed, then given up.
        dialoghi->mostrati.clear();
        dialoghi->risposte = {1, 1, 2};
        Clicca(f.ComStampa);
        EXPECT_TRUE(Messaggi().contains(k.detto)) << Messaggi().join(" | ").toStdString();
        EXPECT_EQ(RigheLock(), "");
        EXPECT_EQ(Leggi(fx.idAzienda, "Select Stato || NumCanc as V from DatiFatTest Where " + tabella), k.marche);
    }
}

// The lock is given back as soon as each send is committed and named: while
// the report of a definitive run waits on the preview, no lock is held.
TEST_P(FrmDatiFatXmlMotori, NoLockIsHeldWhileTheReportWaits) {
    frmDatiFatXml& f = Mostra();
    Clicca(f.OptTipoSta[1]);
    Clicca(f.optTipoElab[0]);
    QStringList lockAlleAttese;
    {
        AnteprimaScriptata utente([&](FrmVStampa&) { lockAlleAttese << RigheLock(); });
        Clicca(f.cmdStaVid);
    }
    EXPECT_EQ(f.UltimoEsito(), EsitoElabDatiFat::Terminato) << Messaggi().join(" | ").toStdString();
    ASSERT_FALSE(lockAlleAttese.isEmpty());
    EXPECT_EQ(lockAlleAttese, QStringList(lockAlleAttese.size(), QString()));
    EXPECT_EQ(Invio(fx.idAzienda, 1, "E").section('/', 0, 1), "1/1");
}

// A VAT line with a rate and its tax left empty is a missing field: listed,
// and its file is neither sent nor marked, instead of an <Imposta>0.00.
TEST_P(FrmDatiFatXmlMotori, ALineWithARateAndNoTaxIsNotSent) {
    fx.Esegui(fx.idAzienda, "UPDATE DatiFatDett SET Imposta = NULL WHERE Tipo = 'E'");
    frmDatiFatXml& f = Mostra();
    Clicca(f.OptTipoSta[1]);
    Clicca(f.optTipoElab[1]);
    Clicca(f.ComStampa);
    EXPECT_NE(f.UltimoEsito(), EsitoElabDatiFat::Terminato);
    const QString m = Messaggi().join(" | ");
    EXPECT_TRUE(m.contains("Campi obbligatori mancanti \r\nImposta Cliente: ")) << m.toStdString();
    EXPECT_TRUE(m.contains("non deve essere inviato")) << m.toStdString();
    EXPECT_EQ(QDir(cartella).entryList({"*.xml"}, QDir::Files, QDir::Name),
              QStringList{"IT01234567897_DF_172R1.xml"});
    EXPECT_EQ(Invio(fx.idAzienda, 1, "E"), "0/0/null");
    EXPECT_EQ(Invio(fx.idAzienda, 1, "R").section('/', 0, 1), "1/1");
}

// Typing another company shows its declarant and the run then works on it:
// each of the two opens that company's database once, never without the
// busy pointer, and neither checks the whole file (a damaged page that
// neither reads stops nothing).
TEST_P(FrmDatiFatXmlMotori, AnotherCompanyIsOpenedOnceByEachActionUnderTheBusyPointer) {
    const QString altra = AltraAzienda("002");
    const QString idAltra = fx.gestDb->ApriDatabase(altra);
    fx.Inserisci(idAltra, "Ditta", {{"CodFisc", "09876543217"}, {"PartIva", "09876543217"},
                                    {"RagSoc", "SECONDA SRL"}, {"StatoGiurid", "G"}, {"Moneta", "Euro"}});
    fx.Inserisci(idAltra, "IvaDichPeriodGen", {{"CodFiscFirmaDich", "rssmra80a01h501u"}, {"Carica", "1"}});
    fx.Inserisci(idAltra, "MovPnTes", {{"Anno", 2017}, {"NumReg", 1}, {"DataDoc", "2017-05-02"}});
    fx.gestDb->ChiudiDatabase(idAltra);
    if (fx.motore == Motore::File) DanniDb::DanneggiaRadice(altra, "MovPnTes_DataDoc");
    auto contato = GestoreDbContato::AlPostoDi(*fx.gestDb, fx.fileAzienda, fx.fileCondiviso, c->gsIdDbase,
                                               c->gsIdDbMenu);
    c->ggGestDb = contato;

    frmDatiFatXml& f = Mostra();
    Digita(30, "002");
    Digita(40, "002");
    EXPECT_EQ(f.txt[80]->text(), "RSSMRA80A01H501U");
    EXPECT_EQ(f.txt[90]->text(), "01");
    EXPECT_EQ(contato->Aperture(altra), 1);
    EXPECT_EQ(contato->SenzaCursore(), "");
    EXPECT_TRUE(Messaggi().isEmpty()) << Messaggi().join('|').toStdString();

    contato->aperture.clear();
    Clicca(f.optTipoElab[1]);
    Clicca(f.ComStampa);
    EXPECT_EQ(contato->Aperture(altra), 1);
    EXPECT_EQ(contato->SenzaCursore(), "");
    EXPECT_EQ(Messaggi().filter("Errore").join('|'), "");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The controls kept hidden are there, hidden, and stay so whatever is
// chosen; the file format stays "Formato txt", which the writer is told
// and which changes nothing of the file written.
TEST_F(FrmDatiFatXmlTest, HiddenControlsAreBuiltAndStayHidden) {
    frmDatiFatXml& f = Mostra();
    const auto nascosti = [&] {
        QStringList visibili;
        for (QWidget* w : {static_cast<QWidget*>(f.Frame1[1]), static_cast<QWidget*>(f.optTipoFile[0]),
                           static_cast<QWidget*>(f.optTipoFile[1]), static_cast<QWidget*>(f.ComHlp[30]),
                           static_cast<QWidget*>(f.ComHlp[40]), static_cast<QWidget*>(f.LabSelPiuAziende)})
            if (w->isVisible()) visibili << w->objectName();
        return visibili.join(' ');
    };
    ASSERT_TRUE(f.Frame1[1] && f.optTipoFile[0] && f.optTipoFile[1] && f.ComHlp.value(30) && f.ComHlp.value(40) &&
                f.LabSelPiuAziende);
    EXPECT_EQ(f.Frame1[1]->title(), "Tipo File:");
    EXPECT_EQ(f.optTipoFile[0]->text(), "Formato txt");
    EXPECT_EQ(f.optTipoFile[1]->text(), "Formato XML");
    EXPECT_EQ(f.ComHlp[30]->text(), "...");
    EXPECT_EQ(f.ComHlp[30]->parentWidget(), f.fraAziende);
    EXPECT_TRUE(f.optTipoFile[0]->isChecked());
    EXPECT_EQ(nascosti(), "");
    Clicca(f.optTipoCom[1]);
    Clicca(f.optTipoCom[0]);
    Clicca(f.OptTipoSta[2]);
    Clicca(f.optTipoElab[2]);
    Digita(40, "009");
    EXPECT_EQ(nascosti(), "");

    Digita(40, "001");
    Clicca(f.OptTipoSta[0]);
    Clicca(f.optTipoElab[1]);
    Clicca(f.ComStampa);
    ASSERT_EQ(f.UltimoEsito(), EsitoElabDatiFat::Terminato) << Messaggi().join('|').toStdString();
    ASSERT_NE(f.Scrittore(), nullptr);
    EXPECT_FALSE(f.Scrittore()->obFileXml);
    EXPECT_EQ(QDir(cartella).entryList({"*.xml"}, QDir::Files, QDir::Name),
              (QStringList{"IT01234567897_DF_172E0_Prova.xml", "IT01234567897_DF_172R0_Prova.xml"}));
}

// "Rielabora" shows the send number to write again whatever the kind of
// communication; another choice of operation hides it again.
TEST_F(FrmDatiFatXmlTest, RielaboraShowsTheSendNumberInACancellationToo) {
    frmDatiFatXml& f = Mostra();
    Clicca(f.optTipoCom[1]);
    ASSERT_FALSE(f.txt[100]->isVisible());
    Clicca(f.OptTipoSta[2]);
    EXPECT_TRUE(f.txt[100]->isVisible());
    EXPECT_TRUE(f.label1[100]->isVisible());
    EXPECT_EQ(f.label1[100]->text(), "Num. Invio:");
    Clicca(f.OptTipoSta[1]);
    EXPECT_FALSE(f.txt[100]->isVisible());
    EXPECT_FALSE(f.label1[100]->isVisible());
}

// Each message of the check before a run, and the control that then has the
// focus: the box to correct, or the run button where the click left it.
TEST_F(FrmDatiFatXmlTest, EachValidationMessagePutsTheFocusInItsBox) {
    using Passi = std::function<void(frmDatiFatXml&)>;
    const auto cancellazione = [&](frmDatiFatXml& f) {
        Clicca(f.OptTipoSta[1]);
        Clicca(f.optTipoCom[1]);
    };
    const struct {
        QString messaggio;
        Passi passi;
        std::function<QWidget*(frmDatiFatXml&)> focus;
    } casi[] = {
        {"Ci sono dei dati non validi", [&](auto&) { Digita(10, "2018"); Digita(20, "13"); },
         [](auto& f) { return f.txt[20]; }},
        {"Si prega di inserire entrambe le ditte da elaborare", [&](auto&) { Digita(40, ""); },
         [](auto& f) { return f.txt[30]; }},
        {"Si prega di inserire le ditte da elaborare in ordine crescente",
         [&](auto&) { Digita(30, "5"); Digita(40, "3"); }, [](auto& f) { return f.txt[30]; }},
        {"Si prega di inserire l'anno", [&](auto&) { Digita(10, ""); }, [](auto& f) { return f.txt[10]; }},
        {"Anno non valido", [&](auto&) { Digita(10, "2050"); }, [](auto& f) { return f.txt[10]; }},
        {"Si prega di inserire il numero comunicazione", [&](auto&) { Digita(20, ""); },
         [](auto& f) { return f.txt[10]; }},
        {"Codice fiscale dichiarante non valido", [&](auto&) { Digita(80, "RSSMRA80A01H"); Digita(90, "1"); },
         [](auto& f) { return f.txt[10]; }},
        {"Dichiarante: compilare sia il codice fiscale che la carica oppure nessuno dei due",
         [&](auto&) { Digita(80, ""); Digita(90, "1"); }, [](auto& f) { return f.txt[80]; }},
        {"Codice carica non valido", [&](auto&) { Digita(80, "01234567897"); Digita(90, "16"); },
         [](auto& f) { return f.txt[90]; }},
        {"Inserire il numero massimo di anagrafiche",
         [&](auto& f) { Clicca(f.CheMolteAnag); Digita(150, "0"); }, [](auto& f) { return f.txt[150]; }},
        {"Numero mssimo anagrafiche superiore a quello consentito: confermare ugualmente",
         [&](auto& f) { Clicca(f.CheMolteAnag); Digita(150, "1001"); dialoghi->risposte = {2}; },
         [](auto& f) { return f.txt[150]; }},
        {"Impossibile effettuare esecuzione in definitiva solo in stampa",
         [&](auto& f) { Clicca(f.OptTipoSta[1]); Clicca(f.optTipoElab[2]); }, [](auto& f) { return f.ComStampa; }},
        {"Impossibile effettuare cancellazione in prova", [&](auto& f) { Clicca(f.optTipoCom[1]); },
         [](auto& f) { return f.ComStampa; }},
        {"Inserire il numero invio da Rielaborare", [&](auto& f) { Clicca(f.OptTipoSta[2]); },
         [](auto& f) { return f.txt[100]; }},
        {"Tipo elaborazione non valido per comunicazioni di cancellazione",
         [&](auto& f) { Clicca(f.OptTipoSta[2]); Clicca(f.optTipoCom[1]); Clicca(f.optTipoElab[2]); },
         [](auto& f) { return f.ComStampa; }},
        {"Mettere l'identificativo ricevuto al momento dell'invio del file che si vuole cancellare",
         [&](auto& f) { cancellazione(f); Digita(110, "1"); }, [](auto& f) { return f.txt[140]; }},
        {"Identificativo non valido: indicare da 1 a 18 cifre",
         [&](auto& f) { cancellazione(f); Digita(110, "1"); Digita(140, "12A"); }, [](auto& f) { return f.txt[140]; }},
        {"Inserire sia l'anno che il numero da cancellare",
         [&](auto& f) { cancellazione(f); Digita(140, "123"); Digita(120, "2017"); },
         [](auto& f) { return f.txt[120]; }},
        {"Impossibile cancellare un intero file (indicando numero invio) ed una singola registrazione "
         "contemporaneamente",
         [&](auto& f) { cancellazione(f); Digita(140, "123"); Digita(110, "1"); Digita(120, "2017"); Digita(130, "1"); },
         [](auto& f) { return f.txt[110]; }},
        {"Indicare il numero invio file da cancellare o il riferimento alla singola registrazione",
         [&](auto& f) { cancellazione(f); Digita(140, "123"); }, [](auto& f) { return f.txt[110]; }},
        {"Selezionare cosa estrarre", [&](auto& f) { Clicca(f.cheCosaEstr[0]); Clicca(f.cheCosaEstr[1]); },
         [](auto& f) { return f.ComStampa; }},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.messaggio.toStdString());
        frmDatiFatXml& f = Mostra();
        k.passi(f);
        dialoghi->mostrati.clear();
        Clicca(f.ComStampa);
        EXPECT_EQ(Messaggi().join('|'), k.messaggio);
        EXPECT_EQ(QApplication::focusWidget(), k.focus(f))
            << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "nessuno")
            << " " << (QApplication::focusWidget() ? QApplication::focusWidget()->property("Index").toInt() : 0);
        dialoghi->risposte.clear();
        delete form.data();
    }
}

// A registration held both as a client's and a supplier's row is withdrawn
// one row at a time, and the question says which; a registration of one
// kind only gets the plain question.
TEST_P(FrmDatiFatXmlMotori, SingleCancellationSaysWhetherClientOrSupplier) {
    fx.Inserisci(fx.idAzienda, "DatiFatTest", coppie(testata("E", 2, "000001")));
    fx.Inserisci(fx.idAzienda, "DatiFatDett", coppie(riga("E", 2, 1)));
    fx.Esegui(fx.idAzienda, "UPDATE DatiFatTest SET NumInv = 1, Progr = NumReg");
    frmDatiFatXml& f = Mostra();
    Clicca(f.OptTipoSta[1]);
    Clicca(f.optTipoCom[1]);
    Digita(140, "987654321");
    // "state+number" of each row: registration 1 client and supplier, registration 2.
    const auto marche = [&] {
        QStringList m;
        for (const char* r : {"NumReg = 1 And Tipo = 'E'", "NumReg = 1 And Tipo = 'R'", "NumReg = 2"})
            m << Leggi(fx.idAzienda, QString("Select Stato || NumCanc as V from DatiFatTest Where ") + r);
        return m.join(' ');
    };
    const struct {
        int operazione;  // OptTipoSta: 1 "Definitiva", 2 "Rielabora"
        QString numReg, domanda, marche;
    } casi[] = {
        {1, "1", "Confermi cancellazione della singola registrazione (cliente)", "E10 N0 N0"},
        // Written again: the row already withdrawn, not the one still sent.
        {2, "1", "Confermi cancellazione della singola registrazione (cliente)", "E10 N0 N0"},
        {1, "1", "Confermi cancellazione della singola registrazione (fornitore)", "E10 E11 N0"},
        {1, "2", "Confermi cancellazione della singola registrazione", "E10 E11 E12"},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.domanda.toStdString());
        Clicca(f.OptTipoSta[k.operazione]);
        Digita(120, "2017");
        Digita(130, k.numReg);
        dialoghi->mostrati.clear();
        dialoghi->risposte = {1};
        Clicca(f.ComStampa);
        EXPECT_EQ(Messaggi().join('|'), k.domanda);
        EXPECT_EQ(marche(), k.marche);
    }
}

// A company of the range whose database does not open is told once, by the
// question whether to go on; the run then goes on with the next company.
TEST_P(FrmDatiFatXmlMotori, ARangeCompanyThatDoesNotOpenIsOneQuestion) {
    Azienda("000", fx.Cartella() + "/manca.db");
    frmDatiFatXml& f = Mostra();
    Digita(30, "000");
    Clicca(f.optTipoElab[1]);
    dialoghi->mostrati.clear();
    dialoghi->risposte = {1};
    Clicca(f.ComStampa);
    const QStringList detti = Messaggi();
    ASSERT_FALSE(detti.isEmpty());
    EXPECT_TRUE(detti.first().startsWith("Errore ")) << detti.join(" | ").toStdString();
    EXPECT_TRUE(detti.first().endsWith(" per l'azienda A000. Proseguo l'elaborazione ?")) << detti.join(" | ").toStdString();
    EXPECT_EQ(detti.filter("000").size(), 1) << detti.join(" | ").toStdString();
    EXPECT_EQ(detti.filter("GestoreDb").size(), 0) << detti.join(" | ").toStdString();
    EXPECT_EQ(QDir(cartella).entryList({"*.xml"}, QDir::Files, QDir::Name),
              (QStringList{"IT01234567897_DF_172E0_Prova.xml", "IT01234567897_DF_172R0_Prova.xml"}));
}

INSTANTIATE_TEST_SUITE_P(Motori, FrmDatiFatXmlMotori, ValoriMotori(), NomeMotore);

}  // namespace
