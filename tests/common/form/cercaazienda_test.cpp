#include "common/form/CercaAzienda.h"
#include "common/form/FormComune.h"
#include "common/form/ScQorUtilPrg.h"
#include "components/db/GestoreDb.h"
#include "components/lookup/AiutiFinti.h"
#include "components/lookup/DecodLista.h"
#include "components/lookup/FrmListaAiuto.h"
#include "startup/Ospite.h"

#include <QLabel>
#include <algorithm>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "FormProva.h"
#include "support/Fixture.h"

namespace {

class CercaAzienda : public ::testing::Test {
protected:
    FixtureDb db;
    ContestoProva cp;
    QWidget form;
    QLineEdit* box = new QLineEdit(&form);
    QLabel* lab = new QLabel(&form);
    std::shared_ptr<DecodListaSql> lista = std::make_shared<DecodListaSql>();
    QString digitato;  // what the user types in the list before Enter; empty: Esc
    QStringList righeViste;
    QString corrente;  // the id of the current row when the list opened
    int larghezzaDescrizione = 0;
    int testoDescrizione = 0;  // width of the longest description

    void SetUp() override {
        cp.c->ggGestDb = db.gestDb;
        cp.c->gsIdDbase = db.idAzienda;
        cp.c->gsIdDbMenu = db.idCondiviso;
        cp.c->ggDecodDitte = lista;
        for (const auto& [id, descr] : std::vector<std::pair<const char*, const char*>>{
                 {"01", "Rossi S.r.l."}, {"02", "Bianchi S.p.A."}, {"1_A", "Verdi"}, {"10", "Neri"}, {"1XA", "Gialli"}})
            db.Inserisci(db.idCondiviso, QStringLiteral("Aziende"),
                         {{QStringLiteral("IdAzienda"), Valore(QString::fromLatin1(id))},
                          {QStringLiteral("Azienda"), Valore(QString::fromLatin1(id))},
                          {QStringLiteral("Descrizione"), Valore(QString::fromLatin1(descr))}});
        lista->mostraLista = [this](FrmListaAiuto& f) {
            for (int r : f.RigheVisibili()) righeViste << f.dbgLista->item(r, 2)->text();
            if (f.RigaCorrente() >= 0) corrente = f.dbgLista->item(f.RigaCorrente(), 2)->text();
            larghezzaDescrizione = f.dbgLista->columnWidth(1);
            for (int r = 0; r < f.dbgLista->rowCount(); ++r)
                testoDescrizione = std::max(testoDescrizione,
                                            f.dbgLista->fontMetrics().horizontalAdvance(f.dbgLista->item(r, 1)->text()));
            if (digitato.isEmpty()) {
                QTest::keyClick(f.txtRicerca, Qt::Key_Escape);
            } else {
                QTest::keyClicks(f.txtRicerca, digitato);
                QTest::keyClick(f.txtRicerca, Qt::Key_Return);
            }
            return f.result() == QDialog::Accepted;
        };
    }
    bool Premi(int tasto, int& trovato) {
        return DecodCampoTasto(QStringLiteral("aziende"), QStringLiteral("IdAzienda"), box, lab, tasto,
                               QStringLiteral("Descrizione"), trovato)
            .booleano();
    }
};

TEST_F(CercaAzienda, QueryByIdOrDescriptionWithTheUsersTextEscaped) {
    struct Caso {
        int tasto;
        const char* testo;
        const char* atteso;
    } casi[] = {
        {113, "", "Select Azienda,Descrizione,IdAzienda from Aziende order by IdAzienda"},
        {113, "   ", "Select Azienda,Descrizione,IdAzienda from Aziende order by IdAzienda"},
        {113, " 01 ", "Select Azienda,Descrizione,IdAzienda from Aziende Where upper(IdAzienda) like upper('01%') escape '\\' order by IdAzienda"},
        {114, "Ros", "Select Azienda,Descrizione,IdAzienda from Aziende Where upper(Descrizione) like upper('Ros%') escape '\\' order by Descrizione"},
        {114, "5_%'", "Select Azienda,Descrizione,IdAzienda from Aziende Where upper(Descrizione) like upper('5\\_\\%''%') escape '\\' order by Descrizione"},
    };
    for (const Caso& k : casi) {
        box->setText(QString::fromLatin1(k.testo));
        ParametriDecod imposta{k.tasto, QVariant::fromValue<QObject*>(box), true};
        DecodConParam(QStringLiteral("Aziende"), QStringLiteral("imposta"), imposta);
        ParametriDecod prep{QString()};
        DecodConParam(QStringLiteral("Aziende"), QStringLiteral("prepsql"), prep);
        EXPECT_EQ(prep[0].toString(), QString::fromLatin1(k.atteso)) << k.testo;
    }
    ParametriDecod vuoto;
    EXPECT_EQ(SmistaDecod({}, QStringLiteral("clienti"), QStringLiteral("prepsql"), vuoto).testo(), QString());
    EXPECT_EQ(DecodConParam(QStringLiteral("AZIENDE"), QStringLiteral("PrepSql"), vuoto).testo().left(6), QStringLiteral("Select"));
    EXPECT_TRUE(vuoto.isEmpty());
}

TEST_F(CercaAzienda, OnlyF2AndF3LookUp) {
    int trovato = 5;
    for (int tasto : {112, 115, 116}) EXPECT_TRUE(DecodCampoTasto(QStringLiteral("aziende"), QStringLiteral("IdAzienda"), box, lab, tasto, QStringLiteral("Descrizione"), trovato).eVuoto());
    EXPECT_TRUE(righeViste.isEmpty());
}

TEST_F(CercaAzienda, ChoiceFillsFieldAndLabelFromTheSharedDatabase) {
    ImpostaBackColor(box, cp.c->glColErrore);
    box->setText(QStringLiteral("0"));
    digitato = QStringLiteral("02");
    int trovato = 0;
    EXPECT_TRUE(Premi(113, trovato));
    EXPECT_EQ(trovato, -1);
    EXPECT_EQ(righeViste.size(), 5);  // every company, whatever the field holds
    EXPECT_EQ(corrente, QStringLiteral("01"));
    EXPECT_EQ(box->text(), QStringLiteral("02"));
    EXPECT_EQ(lab->text(), QStringLiteral("Bianchi S.p.A."));
    EXPECT_EQ(BackColor(box), cp.c->glColNormale);
    // The description column is as wide as its longest text.
    EXPECT_GE(larghezzaDescrizione, testoDescrizione);
}

TEST_F(CercaAzienda, TheListOpensOnEveryCompanyAndSearchesCodeAndDescription) {
    struct Caso {
        const char* nome;
        int tasto;
        const char* campo;
        const char* digitato;
        const char* corrente;  // where the list opens
        const char* scelta;    // the id chosen with Enter
    } casi[] = {
        {.nome = "code typed in the list", .tasto = 113, .campo = "", .digitato = "10", .corrente = "01", .scelta = "10"},
        {.nome = "description typed with F2", .tasto = 113, .campo = "", .digitato = "bian", .corrente = "01", .scelta = "02"},
        {.nome = "underscore of the field is itself", .tasto = 113, .campo = "1_", .digitato = "1_", .corrente = "1_A", .scelta = "1_A"},
        {.nome = "F3 opens on the description", .tasto = 114, .campo = "ve", .digitato = "ver", .corrente = "1_A", .scelta = "1_A"},
        {.nome = "a code that does not exist", .tasto = 113, .campo = "99", .digitato = "gia", .corrente = "01", .scelta = "1XA"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        righeViste.clear();
        corrente.clear();
        box->setText(QString::fromUtf8(c.campo));
        digitato = QString::fromUtf8(c.digitato);
        int trovato = 0;
        EXPECT_TRUE(Premi(c.tasto, trovato));
        EXPECT_EQ(righeViste.size(), 5);
        EXPECT_EQ(corrente, QString::fromUtf8(c.corrente));
        EXPECT_EQ(box->text(), QString::fromUtf8(c.scelta));
    }
}

TEST_F(CercaAzienda, ByDescriptionNoChoiceClearsTheLabel) {
    box->setText(QStringLiteral("ro"));
    lab->setText(QStringLiteral("vecchia"));
    int trovato = 0;
    EXPECT_FALSE(Premi(114, trovato));
    EXPECT_EQ(corrente, QStringLiteral("01"));
    EXPECT_EQ(trovato, 0);
    EXPECT_EQ(lab->text(), QString());
    EXPECT_EQ(box->text(), QStringLiteral("ro"));
}

TEST_F(CercaAzienda, NoCompanyAtAllShowsInesistente) {
    db.gestDb->EseguiSql(db.idCondiviso, QStringLiteral("DELETE FROM Aziende"));
    box->setText(QStringLiteral("99"));
    ImpostaBackColor(box, cp.c->glColErrore);
    int trovato = 0;
    EXPECT_FALSE(Premi(113, trovato));
    EXPECT_EQ(lab->text(), TestoInesistente);
    EXPECT_EQ(BackColor(box), cp.c->glColErrore);
    EXPECT_TRUE(righeViste.isEmpty());
}

TEST_F(CercaAzienda, TheScriptedListSeesTheQueryAndTheSharedDatabase) {
    auto finta = std::make_shared<DecodListaFinta>();
    cp.c->ggDecodDitte = finta;
    finta->rigaScelta = {{QStringLiteral("IdAzienda"), QStringLiteral("07")}, {QStringLiteral("Descrizione"), QStringLiteral("Sette")}};
    box->setText(QStringLiteral("0"));
    int trovato = 0;
    EXPECT_TRUE(Premi(114, trovato));
    ASSERT_EQ(finta->chiamate.size(), 1);
    EXPECT_EQ(finta->chiamate[0].idDb, db.idCondiviso);
    EXPECT_EQ(finta->chiamate[0].tasto, 114);
    EXPECT_TRUE(finta->chiamate[0].sql.contains(QStringLiteral("upper(Descrizione) like upper('0%')")));
    EXPECT_EQ(lab->text(), QStringLiteral("Sette"));
}

TEST(scQorUtilPrg, AnswersTheEventsOfTheHelpManager) {
    ContestoProva cp;
    cp.c->ggOspite = std::make_shared<Ospite>();
    CreaAiuti([] { return std::make_shared<QorAiutiFinto>(); });
    ASSERT_TRUE(cp.c->ggAiuti);
    EXPECT_EQ(cp.c->ggAiuti, cp.c->ggScUtilPrg->ogQorAiuti);
    GestoreEventiAiuto& g = cp.c->ggAiuti->GestoreAiuto();
    EXPECT_TRUE(g.SollevaClsPrepDecod(QStringLiteral("a"), QStringLiteral("Aziende"), QStringLiteral("IdAzienda"),
                                      Valore(1), Valore(true), Valore(false)).booleano());
    EXPECT_TRUE(g.SollevaClsPrepDecod(QStringLiteral("b"), QStringLiteral("Aziende"), QStringLiteral("IdAzienda"),
                                      Valore(1), Valore(true), Valore(false)).booleano());
    g.SollevaLanciaKeyPrim(QStringLiteral("PRIMA"));
    g.SollevaLanciaKeyPrim(QStringLiteral("SECONDA"));
    g.SollevaLanciaKeySec(QStringLiteral("S1"));
    EXPECT_EQ(cp.c->gsKeyPrgPrim, QStringLiteral("SECONDA"));
    EXPECT_EQ(cp.c->gsKeyPrgSec, QStringLiteral("S1"));
    Ospite* ospite = static_cast<Ospite*>(cp.c->ggOspite.get());
    cp.menu->ImpostaGestoreComandi([ospite](const QString& id, const QString& k, const QString& com, const Valore& p,
                                            Valore& r) { ospite->EseguiComandoMenu(id, k, com, p, r); });
    EXPECT_EQ(cp.menu->InviaComando(QStringLiteral("keyprgprim")).testo(), QStringLiteral("SECONDA"));

    g.SollevaClsMainMenuFrm();
    EXPECT_TRUE(cp.menu->chiamate.contains(QStringLiteral("MostraMenu|Tutti"))) << cp.menu->chiamate.join(' ').toStdString();
    cp.menu->menuAssente = true;
    g.SollevaClsMainMenuFrm();
    EXPECT_EQ(cp.dialoghi->testi().last(), QStringLiteral("Il menu non è più disponibile"));
    cp.c->ggScUtilPrg.reset();
    EXPECT_EQ(cp.c->ggAiuti->GestoreAiuto().Ricevitore(), nullptr);
}

}  // namespace
