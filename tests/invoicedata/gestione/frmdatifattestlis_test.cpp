#include "AmbienteDatiFat.h"

#include "support/Clic.h"
#include "support/Motori.h"

#include "invoicedata/gestione/FrmDatiFatTestLis.h"

#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QStyleOptionViewItem>
#include <QTableView>

namespace {

// The list opened from the header's "Lista".
class frmDatiFatTestLisTest : public AmbienteDatiFat {
public:
    using AmbienteDatiFat::AmbienteDatiFat;
    frmDatiFatTestLis& Apri() {
        frmDatiFatGest& t = Carica();
        t.ButtonComando("Lista");
        auto* l = qobject_cast<frmDatiFatTestLis*>(t.ListaForm());
        EXPECT_TRUE(l && l->Caricata()) << dialoghi->testi().join(" | ").toStdString();
        return *l;
    }
    QString Registrazioni(frmDatiFatTestLis& l) {
        QStringList t;
        const ModelloGriglia& m = l.Lista().Modello();
        for (int r = 0; r < m.rowCount(); ++r) t << m.TestoCella(r, m.IndiceColonna("NumReg"));
        return t.join(' ');
    }
};

TEST_F(frmDatiFatTestLisTest, SelezioniEColonne) {
    Testata({.numReg = 10, .righe = 0});
    Riga({.numReg = 10}, 1, "N4");
    Riga({.numReg = 10}, 2, "N4");
    Testata({.numReg = 11, .tipo = "R"});
    Testata({.numReg = 12, .numCanc = 1, .stato = "E", .numInv = 1, .progr = 3, .nomeFile = "DF001"});
    Testata({.annoCom = 2017, .numReg = 13});
    fx.Esegui(fx.idAzienda, "UPDATE DatiFatTest SET ContoPartita = '000099' WHERE NumReg = 11");
    frmDatiFatTestLis& l = Apri();
    EXPECT_EQ(l.txt[10]->text(), "2018");

    const struct Caso {
        const char* nome;
        QMap<int, QString> campi;
        const char* attese;
    } casi[] = {
        {.nome = "default year", .campi = {}, .attese = "10 11 12"},
        {.nome = "no selection at all", .campi = {{10, ""}}, .attese = "13 10 11 12"},
        {.nome = "received", .campi = {{30, "R"}}, .attese = "11"},
        {.nome = "cancelled singly", .campi = {{40, "E"}}, .attese = "12"},
        {.nome = "account without separators", .campi = {{50, "0401000099"}}, .attese = "11"},
        {.nome = "account with separators", .campi = {{50, "04-01-000012"}}, .attese = "10 12"},
        {.nome = "nature: a header once for two lines", .campi = {{70, "N4"}}, .attese = "10"},
        {.nome = "document type", .campi = {{60, "TD04"}}, .attese = ""},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        for (int i : {20, 30, 40, 50, 60, 70}) l.txt[i]->clear();
        l.txt[10]->setText("2018");
        for (auto it = c.campi.begin(); it != c.campi.end(); ++it) l.txt[it.key()]->setText(it.value());
        l.ButtonComando("Ricerca");
        EXPECT_EQ(Registrazioni(l), c.attese);
    }

    l.txt[10]->clear();
    for (int i : {30, 40, 50, 60, 70}) l.txt[i]->clear();
    l.ButtonComando("Ricerca");
    EXPECT_FALSE(l.osSql().contains(" where ")) << "no selection, no condition";
    const ModelloGriglia& m = l.Lista().Modello();
    EXPECT_EQ(m.Colonne().mid(0, 16),
              (QStringList{"AnnoCom", "NumCom", "Tipo", "Invio", "Progr", "AnnoReg", "NumReg", "Clie_Forn", "TipoDocumento",
                           "DataReg", "DataDoc", "NumDoc", "Stato", "Canc", "ImportoTotale", "NomeFile"}));
    const int riga = 3;  // 2018, registration 12
    EXPECT_EQ(m.TestoCella(riga, m.IndiceColonna("Clie_Forn")), "04-01-000012");
    EXPECT_EQ(m.TestoCella(riga, m.IndiceColonna("ImportoTotale")), "1.220,00");
    EXPECT_EQ(m.Titolo(15), "BaseNome");
    EXPECT_EQ(m.Larghezza(m.IndiceColonna("Clie_Forn")), 1100);
    EXPECT_TRUE(l.dbgRiga->isColumnHidden(16));
    EXPECT_EQ(l.ColToSourceField(7), "DatiFatTest.GruppoPartita || '-' || DatiFatTest.MastroPartita || '-' || DatiFatTest.ContoPartita");
    EXPECT_EQ(l.ColToSourceField(2), "DatiFatTest.Tipo");
}

using frmDatiFatTestLisMotori = SuMotori<frmDatiFatTestLisTest>;

// Within a communication the rows follow the whole key, on a file as on the
// server, whatever order they were written in.
TEST_P(frmDatiFatTestLisMotori, OrdineDellaChiaveIntera) {
    Testata({.numReg = 3, .tipo = "R"});
    Testata({.numReg = 2, .tipo = "R"});
    Testata({.numReg = 2, .numCanc = 1, .stato = "E"});
    Testata({.numReg = 2});
    Testata({.numReg = 1});
    Testata({.annoReg = 2017, .numReg = 9});
    frmDatiFatTestLis& l = Apri();
    l.txt[10]->clear();  // every year: no condition for the engine to walk the key by
    CliccaComando(l.tolComlin_, "Ricerca");
    const ModelloGriglia& m = l.Lista().Modello();
    QStringList righe;
    for (int r = 0; r < m.rowCount(); ++r)
        righe << m.TestoCella(r, m.IndiceColonna("AnnoReg")) + "/" + m.TestoCella(r, m.IndiceColonna("NumReg")) +
                     m.TestoCella(r, m.IndiceColonna("Tipo")) + m.TestoCella(r, m.IndiceColonna("Canc"));
    EXPECT_EQ(righe.join(' ').toStdString(), "2017/9E0 2018/1E0 2018/2E0 2018/2R0 2018/2E1 2018/3R0");
}

INSTANTIATE_TEST_SUITE_P(Motori, frmDatiFatTestLisMotori, ValoriMotori(), NomeMotore);

// A list of tens of thousands of rows: 20 000 headers of 2018 and 2 000 of
// 2017, alike but for one of 2018 far from both ends, whose document number
// is the widest text of the list.
class ListaGrande : public frmDatiFatTestLisTest {
public:
    using frmDatiFatTestLisTest::frmDatiFatTestLisTest;
    static inline const QString kNumDocLargo = QString(30, QLatin1Char('W'));
    void SetUp() override {
        frmDatiFatTestLisTest::SetUp();
        Righe(2018, 20000);
        Righe(2017, 2000);
        fx.Esegui(fx.idAzienda, "UPDATE DatiFatTest SET NumDoc = '" + kNumDocLargo + "' WHERE AnnoCom = 2018 AND NumReg = 10000");
    }
    void Righe(int anno, int quante) {
        fx.Esegui(fx.idAzienda,
                  QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
                                 "INSERT INTO DatiFatTest (AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato, NumInv, Progr,"
                                 " GruppoPartita, MastroPartita, ContoPartita, TipoDocumento, NumDoc, ImportoTotale, BollaDoganale) "
                                 "SELECT %1, 1, %1, i, 0, 'E', 'N', 0, 0, '04', '01', '000012', 'TD01', '12/A', 1220.5 * i, 'N' FROM n")
                      .arg(anno)
                      .arg(quante));
    }
    // Each shown column holds its heading whole, is never narrower than the
    // screen's own width for it, and shows the first rows' cells whole.
    static void VerificaColonne(const QTableView& g, const ModelloGriglia& m) {
        QStyleOptionViewItem opzione;
        opzione.initFrom(&g);
        opzione.font = g.font();
        opzione.fontMetrics = g.fontMetrics();
        opzione.widget = &g;
        for (int c = 0; c < m.columnCount(); ++c) {
            if (g.isColumnHidden(c)) continue;
            SCOPED_TRACE(m.Titolo(c).toStdString());
            EXPECT_GE(g.columnWidth(c), g.horizontalHeader()->sectionSizeHint(c));
            EXPECT_GE(g.columnWidth(c), m.Larghezza(c) / 15);
            for (int r = 0; r < 50; ++r) {
                const QModelIndex cella = m.index(r, c);
                ASSERT_LE(g.itemDelegateForIndex(cella)->sizeHint(opzione, cella).width() + 1, g.columnWidth(c)) << "row " << r;
            }
        }
    }
};

using ListaGrandeMotori = SuMotori<ListaGrande>;

TEST_P(ListaGrandeMotori, IntestazioniIntereELarghezzeDelloSchermo) {
    frmDatiFatTestLis& l = Apri();
    const ModelloGriglia& m = l.Lista().Modello();
    ASSERT_EQ(m.rowCount(), 20000);
    for (const char* comando : {"opening", "Aggiorna"}) {
        SCOPED_TRACE(comando);
        if (QLatin1String(comando) != QLatin1String("opening")) CliccaComando(l.tolComlin_, QString::fromLatin1(comando));
        VerificaColonne(*l.dbgRiga, m);
        // The widths come from a sample of the rows: one far from both ends
        // and from the screen does not decide them.
        EXPECT_LT(l.dbgRiga->columnWidth(m.IndiceColonna("NumDoc")), l.dbgRiga->fontMetrics().horizontalAdvance(kNumDocLargo));
    }
}

// Opening and "Aggiorna" read as many cell texts on 20 000 rows as on 2 000:
// fewer than one a row.
TEST_P(ListaGrandeMotori, LaMisuraLeggeUnNumeroFissoDiCelle) {
    frmDatiFatTestLis& l = Apri();
    const ModelloGriglia& m = l.Lista().Modello();
    auto letture = [&](const char* anno, const char* comando, int righe) {
        DigitaSopra(l.txt[10], QString::fromLatin1(anno));
        const qint64 prima = m.TestiLetti();
        CliccaComando(l.tolComlin_, QString::fromLatin1(comando));
        EXPECT_EQ(m.rowCount(), righe) << anno << " " << comando;
        return m.TestiLetti() - prima;
    };
    const qint64 venti = letture("2018", "Ricerca", 20000);
    const qint64 aggiorna = letture("2018", "Aggiorna", 20000);
    const qint64 due = letture("2017", "Ricerca", 2000);
    EXPECT_GT(venti, 0) << "the widths are measured at every load";
    EXPECT_LT(venti, 20000);
    EXPECT_EQ(aggiorna, venti);
    EXPECT_EQ(due, venti);
}

INSTANTIATE_TEST_SUITE_P(Motori, ListaGrandeMotori, ValoriMotori(), NomeMotore);

TEST_F(frmDatiFatTestLisTest, LaRigaSceltaTornaAllaTestata) {
    Testata({.numReg = 12, .numCanc = 1, .stato = "E", .numInv = 1, .progr = 3, .nomeFile = "DF001"});
    frmDatiFatTestLis& l = Apri();
    l.ButtonComando("Ricerca");
    ASSERT_EQ(l.Lista().Modello().rowCount(), 1);
    l.ButtonComando("Seleziona");
    EXPECT_EQ(form->Pagina().LeggiStato(), ComPag::Mostrata) << dialoghi->testi().join(" | ").toStdString();
    EXPECT_EQ(form->txt[40]->text() + form->txt[50]->text() + form->txt[70]->text(), "121E");
}

TEST_F(frmDatiFatTestLisTest, OpzioniEConto) {
    frmDatiFatTestLis& l = Apri();
    l.OptTipoFat[1]->click();
    EXPECT_EQ(l.txt[30]->text(), "R");
    int tasto = 113;
    l.txt_KeyUp(50, tasto, 0);
    ASSERT_EQ(aiuti->chiamateLista.size(), 1);
    EXPECT_EQ(aiuti->chiamateLista.last().tipo->testo(), "2") << "received: the suppliers";
    l.Opt_KeyDown(l.OptTipoFat, 30, 46);
    EXPECT_EQ(l.txt[30]->text(), "");
    EXPECT_FALSE(l.OptTipoFat[1]->isChecked());
    tasto = 115;
    l.txt_KeyUp(50, tasto, 0);
    EXPECT_EQ(aiuti->chiamateLista.last().tipo->testo(), "2");
    EXPECT_EQ(aiuti->chiamateLista.last().keyCode, 113);
    tasto = 113;
    l.txt_KeyUp(50, tasto, 0);
    EXPECT_EQ(aiuti->chiamateLista.last().tipo->testo(), "3");

    l.txt[50]->setText("0401000012");
    l.txt_LostFocus(50);
    EXPECT_EQ(l.txt[50]->text(), "04-01-000012");
    EXPECT_EQ(l.Lab[50]->text(), "Bianchi S.p.A.");
    l.txt_GotFocus(50);
    EXPECT_EQ(l.txt[50]->text(), "0401000012");
    l.txt[50]->setText("04-01");
    l.txt_LostFocus(50);
    EXPECT_TRUE(Rosso(l.txt[50]));
    l.txt[70]->setText("N4");
    l.txt_LostFocus(70);
    EXPECT_EQ(l.Lab[70]->text(), "Esenti");
}


TEST_F(frmDatiFatTestLisTest, SelezionaChiedePrimaDiSostituireLeModificheDellaTestata) {
    Testata({.numReg = 10});
    Testata({.numReg = 12});
    frmDatiFatTestLis& l = Apri();
    CliccaComando(l.tolComlin_, "Ricerca");
    ASSERT_EQ(l.Lista().Modello().rowCount(), 2);
    CliccaComando(l.tolComlin_, "Seleziona");
    ASSERT_EQ(form->txt[40]->text(), "10");

    // The header stays usable while the list is open: a change typed there.
    form->txt[120]->setFocus();
    form->txt[120]->selectAll();
    QTest::keyClicks(form->txt[120], "99/B");
    l.dbgRiga->setFocus();
    QTest::keyClick(l.dbgRiga, Qt::Key_Down);
    dialoghi->risposte = {3};  // "&Annulla"
    CliccaComando(l.tolComlin_, "Seleziona");
    EXPECT_EQ(dialoghi->testi().value(0), "Dati in variazione. Salvare le modifiche?");
    EXPECT_EQ(form->txt[40]->text(), "10");
    EXPECT_EQ(form->txt[120]->text(), "99/B") << "the change is kept";

    dialoghi->risposte = {1};  // "&Sì": saved, then the row chosen is shown
    CliccaComando(l.tolComlin_, "Seleziona");
    EXPECT_EQ(form->txt[40]->text(), "12");
    EXPECT_EQ(Valori("SELECT NumDoc FROM DatiFatTest WHERE NumReg = 10"), "99/B");
}

TEST_F(frmDatiFatTestLisTest, AzzeraSelezioniSvuotaOpzioniEDescrizioni) {
    frmDatiFatTestLis& l = Apri();
    QTest::mouseClick(l.OptTipoFat[1], Qt::LeftButton);
    QTest::mouseClick(l.OptStato[2], Qt::LeftButton);
    l.txt[70]->setText("N4");
    l.txt_LostFocus(70);
    ASSERT_EQ(l.Lab[70]->text(), "Esenti");
    CliccaComando(l.tolComlin_, "AzzSel");
    EXPECT_EQ(l.txt[30]->text() + l.txt[40]->text() + l.txt[70]->text(), "");
    for (QRadioButton* o : {l.OptTipoFat[0], l.OptTipoFat[1], l.OptStato[0], l.OptStato[1], l.OptStato[2]}) EXPECT_FALSE(o->isChecked());
    EXPECT_EQ(l.Lab[70]->text(), "");
    EXPECT_EQ(l.txt[10]->text(), "2018") << "the default year comes back";
}

}  // namespace
