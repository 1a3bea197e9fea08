// The invoice-data extraction on the demo: the generator's bookkeeping, the
// program started as the menu starts it on a company, the extraction form
// opened by its menu name and run as proposed, then for foreign
// counterparties only; and the real menu stand-in opening the form.
#include "components/db/GestoreDb.h"
#include "components/ini/FileIni.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "invoicedata/estrazione/FrmDatiFatPre.h"
#include "invoicedata/gestione/FrmDatiFatGest.h"
#include "common/schermi/SchermoLinee.h"
#include "common/schermi/SchermoLista.h"
#include <QLabel>
#include "startup/Avvio.h"
#include "startup/Composizione.h"
#include "contesto/Contesto.h"
#include "startup/Ospite.h"
#include "AvvioDemo.h"
#include "support/AppTest.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

class DemoDatiFat : public ::testing::Test {
protected:
    void SetUp() override {
        AppTest();
        ASSERT_TRUE(dir.isValid());
        demo = dir.path() + QStringLiteral("/demo");
        ASSERT_EQ(GeneraDemo(demo), "");
    }
    void TearDown() override { ImpostaContesto(nullptr); }

    // The program on the menu's current company, with the menu's values and
    // personal parameters of menu.ini, the extraction form opened.
    FrmDatiFatPre* Avvia() {
        if (!AvviaDemo(demo, QStringLiteral("FrmDatiFatPre"), c, dialoghi)) {
            ADD_FAILURE() << "avvio: " << dialoghi->testi().join(" | ").toStdString();
            return nullptr;
        }
        auto* f = dynamic_cast<FrmDatiFatPre*>(static_cast<Ospite*>(c->ggOspite.get())->Form(QStringLiteral("FrmDatiFatPre")));
        EXPECT_NE(f, nullptr) << dialoghi->testi().join(" | ").toStdString();
        return f;
    }

    // The single value of a query on the company database.
    QString Valore1(const QString& sql) {
        sqlite3* db = c->ggGestDb->DatabaseDaId(c->gsIdDbase)->Handle();
        sqlite3_stmt* st = nullptr;
        QString v = QStringLiteral("?");
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return v;
    }
    int Conta(const QString& condizione) {
        return Valore1(QStringLiteral("SELECT COUNT(*) FROM DatiFatTest WHERE AnnoCom = 2018 AND NumCom = 1") +
                       (condizione.isEmpty() ? QString() : QStringLiteral(" AND ") + condizione))
            .toInt();
    }

    QTemporaryDir dir;
    QString demo;
    std::shared_ptr<Contesto> c;
    std::shared_ptr<DialoghiScriptati> dialoghi;
};

// What the user of the demo does: the form proposes the first half of 2018;
// "&Ok" fills the tables with every kind of document of the bookkeeping.
TEST_F(DemoDatiFat, EstrazioneDelPrimoSemestre) {
    FrmDatiFatPre* f = Avvia();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->txt[10]->text(), "2018");
    EXPECT_EQ(f->txt[20]->text(), "1");
    EXPECT_EQ(f->txt[30]->text(), "01/01/2018");
    EXPECT_EQ(f->txt[40]->text(), "30/06/2018");
    EXPECT_TRUE(f->estrazione.usaFittizio);

    f->ComOk_Click();
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"});
    EXPECT_GT(Conta("Tipo = 'E'"), 100);
    EXPECT_GT(Conta("Tipo = 'R'"), 80);
    EXPECT_GT(Conta("NumReg > 100000"), 0);
    for (const char* tipo : {"TD01", "TD04", "TD10", "TD11"})
        EXPECT_GT(Conta(QStringLiteral("TipoDocumento = '%1'").arg(QLatin1String(tipo))), 0) << tipo;
    EXPECT_GT(Conta("BollaDoganale = 'S'"), 0);
    EXPECT_EQ(Conta("NOT EXISTS (SELECT 1 FROM DatiFatDett d WHERE d.AnnoCom = DatiFatTest.AnnoCom"
                    " AND d.NumCom = DatiFatTest.NumCom AND d.AnnoReg = DatiFatTest.AnnoReg"
                    " AND d.NumReg = DatiFatTest.NumReg AND d.Tipo = DatiFatTest.Tipo)"),
              0);
    const QString dett = QStringLiteral("SELECT COUNT(*) FROM DatiFatDett WHERE ");
    for (const char* condizione : {"EsigibilitaIva = 'S'", "EsigibilitaIva = 'D'", "Natura = 'N3'", "Natura = 'N4'",
                                   "Natura = 'N6'", "ImponibileImporto < 0"})
        EXPECT_GT(Valore1(dett + QLatin1String(condizione)).toInt(), 0) << condizione;
    // Never in the invoice data: self-consumption, reverse-charge sales, the
    // excluded client, registrations marked "I", codes marked AllegCF "N".
    EXPECT_EQ(Conta("EXISTS (SELECT 1 FROM MovPnTes t WHERE t.Anno = AnnoReg AND t.NumReg = DatiFatTest.NumReg"
                    " AND (t.Causale IN ('AUT', 'FVR') OR t.OperazRilev = 'I'))"),
              0);
    EXPECT_EQ(Conta("ContoPartita = '999990'"), 0);
    EXPECT_EQ(Valore1(dett + "Natura = 'N1'"), "0");
    // A haulage document of late June belongs to July's VAT period.
    EXPECT_EQ(Conta("EXISTS (SELECT 1 FROM MovPnTes t WHERE t.Anno = AnnoReg AND t.NumReg = DatiFatTest.NumReg"
                    " AND t.PeriodoIva = 7)"),
              0);

    // Foreign counterparties and fictitious clients' self-invoices only,
    // replacing the extraction after the question.
    dialoghi->mostrati.clear();
    dialoghi->risposte = {1};
    f->cheSoloStran->setChecked(true);
    f->cheCliFittizi->setChecked(true);
    f->ComOk_Click();
    EXPECT_EQ(dialoghi->testi().last(), "Elaborazione terminata");
    EXPECT_GT(Conta("NumReg > 100000"), 0);
    EXPECT_EQ(Conta("TipoDocumento NOT IN ('TD01', 'TD04', 'TD05', 'TD10', 'TD11')"), 0);
    EXPECT_EQ(Conta("NumReg < 100000 AND EXISTS (SELECT 1 FROM PianoConti p JOIN Stati s ON p.Stato = s.Stato"
                    " WHERE p.Gruppo = GruppoPartita AND p.Mastro = MastroPartita AND p.Conto = ContoPartita"
                    " AND s.Iso = 'IT')"),
              0);
    EXPECT_GT(Conta(""), 10);
}

// The real menu stand-in starts the program on the extraction form.
TEST_F(DemoDatiFat, IlMenuApreLEstrazione) {
    QProcess p;
    p.setProgram(CartellaBin() + QStringLiteral("/menuqor"));
    p.setArguments({"--ini", demo + "/menu.ini", "--nogui"});
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start();
    QStringList righe;
    const auto attendi = [&](const QString& inizio) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            while (p.canReadLine()) {
                righe << QString::fromUtf8(p.readLine()).trimmed();
                if (righe.last().startsWith(inizio)) return true;
            }
            p.waitForReadyRead(500);
        }
        return false;
    };
    ASSERT_TRUE(attendi("pronto")) << righe.join("\n").toStdString();
    p.write("avvia FrmDatiFatPre\n");
    ASSERT_TRUE(attendi("RegistraProgramma")) << righe.join("\n").toStdString();
    p.write("esiste\n");  // answered once the program has opened the form
    ASSERT_TRUE(attendi("risposta esiste")) << righe.join("\n").toStdString();
    p.write("preppassaa\n");
    ASSERT_TRUE(attendi("risposta preppassaa")) << righe.join("\n").toStdString();
    const QString tutte = righe.join("\n");
    EXPECT_TRUE(tutte.contains("Preparazione dati per comunicazione dati fatture")) << tutte.toStdString();
    EXPECT_FALSE(tutte.contains("non ancora disponibile")) << tutte.toStdString();
    p.write("fine\n");
    ASSERT_TRUE(attendi("programma terminato")) << righe.join("\n").toStdString();
    p.write("esci\n");
    p.closeWriteChannel();
    if (!p.waitForFinished(5000)) p.kill();
}

// The management screens on the demo's extracted communication: the header
// opened by its menu name shows the first record with its decoded account and
// its lines, the lines screen and the list open, and a record sent and then
// cancelled singly is restored.
TEST_F(DemoDatiFat, GestioneERipristinoSullEstrazione) {
    FrmDatiFatPre* pre = Avvia();
    ASSERT_NE(pre, nullptr);
    pre->ComOk_Click();
    auto* ospite = static_cast<Ospite*>(c->ggOspite.get());
    ospite->ApriFormRichiesta(QStringLiteral("frmDatiFatGest"), 0, QStringLiteral("frmDatiFatGest"), {}, {}, {});
    auto* t = dynamic_cast<frmDatiFatGest*>(ospite->Form(QStringLiteral("frmDatiFatGest")));
    ASSERT_NE(t, nullptr) << dialoghi->testi().join(" | ").toStdString();
    t->txt[20]->setText(QStringLiteral("2018"));
    t->txt[10]->setText(QStringLiteral("1"));
    t->ComAnno_Click(0);
    ASSERT_EQ(t->Pagina().LeggiStato(), ComPag::Mostrata) << dialoghi->testi().join(" | ").toStdString();
    EXPECT_FALSE(t->Lab[80]->text().isEmpty()) << dialoghi->testi().join(" | ").toStdString();
    EXPECT_FALSE(t->Lab[90]->text().isEmpty()) << "the document type decoded";
    EXPECT_GT(t->ModelloDett().rowCount(), 0);

    t->ButtonComando(QStringLiteral("Dettaglio"));
    ASSERT_NE(t->LineeAperte(), nullptr) << dialoghi->testi().join(" | ").toStdString();
    EXPECT_EQ(t->LineeAperte()->oiAbilRW(), 1);
    t->LineeAperte()->ChiudiFrm();
    t->ButtonComando(QStringLiteral("Lista"));
    ASSERT_NE(t->ListaForm(), nullptr);
    EXPECT_EQ(t->ListaForm()->Lista().Modello().rowCount(), Conta(QString()));
    t->ListaForm()->ButtonComando(QStringLiteral("Torna"));

    const QString reg = t->txt[40]->text(), tipo = t->txt[60]->text();
    const QString dove = QStringLiteral(" WHERE AnnoCom = 2018 AND NumCom = 1 AND NumReg = %1 AND Tipo = '%2'").arg(reg, tipo);
    for (const char* tabella : {"DatiFatTest", "DatiFatDett"})
        c->ggGestDb->EseguiSql(c->gsIdDbase, QStringLiteral("UPDATE %1 SET NumCanc = 1, Stato = 'E'").arg(QLatin1String(tabella)) + dove);
    c->ggGestDb->EseguiSql(c->gsIdDbase, QStringLiteral("UPDATE DatiFatTest SET NumInv = 1, Progr = 1, NomeFile = 'DF001'") + dove);
    t->ButtonComando(QStringLiteral("Ricerca"));  // a new search
    t->txt[40]->setText(reg);
    t->txt[50]->setText(QStringLiteral("1"));
    t->txt[60]->setText(tipo);
    t->txt[70]->setText(QStringLiteral("E"));
    t->ButtonComando(QStringLiteral("Ricerca"));
    ASSERT_EQ(t->Pagina().LeggiStato(), ComPag::Mostrata) << dialoghi->testi().join(" | ").toStdString();
    dialoghi->risposte = {1, 1};
    t->ButtonComando(QStringLiteral("Ripristina"));
    EXPECT_EQ(t->txt[50]->text() + t->txt[70]->text(), "0N") << dialoghi->testi().join(" | ").toStdString();
    EXPECT_EQ(Valore1(QStringLiteral("SELECT COUNT(*) FROM DatiFatDett") + dove + QStringLiteral(" AND Stato = 'N' AND NumCanc = 0")),
              QString::number(t->ModelloDett().rowCount()));
}

}  // namespace
