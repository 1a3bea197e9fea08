// The customer's address picked from the account list for the temporary
// recipient of the print options dialog.
#include "components/lookup/FrmListaAiuto.h"
#include "components/lookup/QorAiutiSql.h"
#include "components/menu/MenuClientFinto.h"
#include "contesto/Contesto.h"
#include "print/opzioni/PostaStampa.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "common/form/MembriForm.h"
#include "support/AppTest.h"
#include "support/Fixture.h"

namespace {

class CercaEmailTest : public ::testing::Test {
protected:
    bool app_ = (AppTest(), true);
    FixtureDb db;
    std::shared_ptr<Contesto> c;
    std::shared_ptr<MenuClientFinto> menu = std::make_shared<MenuClientFinto>();
    std::shared_ptr<QorAiutiSql> aiuti = std::make_shared<QorAiutiSql>();
    QWidget form;
    QLineEdit* box = new QLineEdit(&form);
    // The user's doing in the list: the account typed, the column of the
    // cell chosen; an empty account is Esc.
    QString conto;
    int colonna = 0;
    QStringList intestazioni;

    void SetUp() override {
        c = db.InstallaContesto();
        c->ggMenuClient = menu;
        ImpostaElemento(box, QStringLiteral("txt"), 1520);
        db.Esegui(db.idAzienda,
                  QStringLiteral("INSERT INTO PianoConti (Gruppo, Mastro, Conto, Descrizione, Email, Email2, Email3, Email4) "
                                 "VALUES ('03','10','000001','Rossi','rossi@x.it','amm@rossi.it','','sped@rossi.it');"));
        ContestoAiuti ca;
        ca.gestDb = db.gestDb.get();
        ca.idDbase = db.idAzienda;
        ca.idDbMenu = db.idCondiviso;
        aiuti->InizAiuti(ca);
        aiuti->mostraLista = [this](FrmListaAiuto& f) {
            for (int i = 0; i < f.dbgLista->columnCount(); ++i)
                intestazioni << f.dbgLista->horizontalHeaderItem(i)->text();
            if (conto.isEmpty()) {
                QTest::keyClick(f.txtRicerca, Qt::Key_Escape);
                return false;
            }
            f.txtRicerca->clear();
            QTest::keyClicks(f.txtRicerca, conto);
            f.dbgLista->setCurrentCell(f.RigaCorrente(), colonna);
            QTest::keyClick(f.txtRicerca, Qt::Key_Return);
            return f.result() == QDialog::Accepted;
        };
        c->ggAiuti = aiuti;
    }
    void TearDown() override { ImpostaContesto(nullptr); }
};

TEST_F(CercaEmailTest, TheCellPickedOrTheAccountsDefaultAddress) {
    struct Caso {
        const char* nome;
        int colonna;            // 0 code, 1 name, 2-5 the four addresses
        const char* predefinita;  // "EmailPredef" of StAltro, "" unset
        const char* indirizzo;
        int scelta;
    } casi[] = {
        {"an address cell", 3, "", "amm@rossi.it", 2},
        {"the main address cell", 2, "", "rossi@x.it", 1},
        {"the code, no default set", 0, "", "rossi@x.it", 0},
        {"the code, default by word", 0, "Amm", "amm@rossi.it", 0},
        {"the code, default empty falls back to the main", 0, "Comm", "rossi@x.it", 0},
        {"the code, default above 4 counts as 4", 1, "9", "sped@rossi.it", 0},
        {"an empty address cell takes the default", 4, "2", "amm@rossi.it", 3},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        menu->ImpostaParPers("StAltro", "EmailPredef", *k.predefinita ? Valore(k.predefinita) : Valore());
        conto = QStringLiteral("03-10");
        colonna = k.colonna;
        box->clear();
        int shift = 0, scelta = -1;
        const QString r = CercaEmailCliente(form, 1520, 113, shift, QStringLiteral("x1"), false, scelta);
        EXPECT_EQ(r, QString::fromLatin1(k.indirizzo));
        EXPECT_EQ(box->text(), r);
        EXPECT_EQ(scelta, k.scelta);
    }
    // The address columns carry the captions of the customer's settings.
    ASSERT_GE(intestazioni.size(), 6);
    EXPECT_EQ(intestazioni.mid(2, 4), (QStringList{"Principale", "Amministrativo", "Commerciale", "Spedizioni"}));
}

TEST_F(CercaEmailTest, NothingPickedOtherKeysAndNoWriting) {
    int shift = 0, scelta = -1;
    box->setText(QStringLiteral("scritto@prima.it"));
    conto.clear();  // Esc in the list
    EXPECT_EQ(CercaEmailCliente(form, 1520, 114, shift, QStringLiteral("x1"), false, scelta), QString());
    EXPECT_EQ(box->text(), QStringLiteral("scritto@prima.it"));
    EXPECT_EQ(scelta, 0);

    intestazioni.clear();
    EXPECT_EQ(CercaEmailCliente(form, 1520, 117, shift, QStringLiteral("x1"), false, scelta), QString());
    EXPECT_TRUE(intestazioni.isEmpty()) << "F6 opens no list";

    menu->ImpostaParPers("Clienti", "DescEmailAmm", Valore("Uffici"));
    conto = QStringLiteral("03-10");
    colonna = 3;
    EXPECT_EQ(CercaEmailCliente(form, 1520, 115, shift, QStringLiteral("x1"), true, scelta),
              QStringLiteral("amm@rossi.it"));
    EXPECT_NE(box->text(), QStringLiteral("amm@rossi.it"));
    EXPECT_EQ(intestazioni.value(3), QStringLiteral("Uffici"));
}

}  // namespace
