#include "AmbienteGestione.h"

#include "common/schermi/CasellaSpunta.h"
#include "settlement/gestione/FrmLiqIvaDett.h"

#include "support/AnnullaRiga.h"
#include "support/Clic.h"
#include "support/Motori.h"
#include "support/MosseRiga.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>

namespace {

// The modules screen opened from the header on communication 2018/1.
class frmLiqIvaDettTest : public AmbienteGestione {
public:
    using AmbienteGestione::AmbienteGestione;
    frmLiqIvaDett& Apri() {
        frmLiqIvaTest& t = Carica();
        Cerca("2018", "1");
        t.ButtonComando("Dettaglio");
        auto* d = qobject_cast<frmLiqIvaDett*>(t.LineeAperte());
        EXPECT_NE(d, nullptr) << dialoghi->testi().join(" | ").toStdString();
        d->timLinPag_Timer();
        return *d;
    }
    // Types a text in a box and leaves it, as the user does.
    void Digita(frmLiqIvaDett& d, int box, const QString& testo) {
        d.txt_GotFocus(box);
        d.txt[box]->setText(testo);
        d.txt_LostFocus(box);
    }
};

TEST_F(frmLiqIvaDettTest, ChiaveDellaTestataEPrimoModulo) {
    frmLiqIvaDett& d = Apri();
    EXPECT_EQ(d.txt[500]->text(), "2018");
    EXPECT_EQ(d.txt[510]->text(), "1");
    EXPECT_EQ(d.txt[10]->text(), "1");
    EXPECT_EQ(d.txt[20]->text(), "3");
    EXPECT_EQ(d.txt[190]->text(), "1.234,56");
    EXPECT_EQ(d.Che[40]->checkState(), Qt::Unchecked);
    EXPECT_EQ(d.Che[210]->checkState(), Qt::Checked);
    EXPECT_EQ(d.Cob[175]->currentIndex(), 1);
    EXPECT_EQ(d.txtRiga_->text(), "1 / 2");
    EXPECT_FALSE(form->isEnabled()) << "the header waits while its modules are open";
}

TEST_F(frmLiqIvaDettTest, IntervalliDiModuloMeseETrimestre) {
    frmLiqIvaDett& d = Apri();
    const struct Caso {
        int box;
        const char* testo;
        bool rosso;
        QString messaggio;
    } casi[] = {
        {.box = 10, .testo = "6", .rosso = true, .messaggio = "Campo Modulo: inserire valore tra 1 e 5"},
        {.box = 10, .testo = "0", .rosso = true, .messaggio = "Campo Modulo: inserire valore tra 1 e 5"},
        {.box = 10, .testo = "", .rosso = false, .messaggio = ""},
        {.box = 10, .testo = "5", .rosso = false, .messaggio = ""},
        {.box = 20, .testo = "13", .rosso = true, .messaggio = "Campo mese: inserire valore tra 1 e 12"},
        {.box = 20, .testo = "0", .rosso = true, .messaggio = "Campo mese: inserire valore tra 1 e 12"},
        {.box = 20, .testo = "12", .rosso = false, .messaggio = ""},
        {.box = 30, .testo = "6", .rosso = true, .messaggio = "Campo trimestre: inserire valore tra 1 e 5"},
        {.box = 30, .testo = "5", .rosso = false, .messaggio = ""},
        {.box = 30, .testo = "x", .rosso = true, .messaggio = "Campo numerico: valore non valido"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(std::to_string(c.box) + " " + c.testo);
        ImpostaBackColor(d.txt[c.box], contesto->glColNormale);
        Digita(d, c.box, c.testo);
        EXPECT_EQ(Rosso(d.txt[c.box]), c.rosso);
        EXPECT_EQ(d.labMessaggio->text(), c.messaggio);
    }
}

// The message of a box left red stays in sight while the user is in the next box.
TEST_F(frmLiqIvaDettTest, UnNumeroNonValidoLasciaIlMessaggio) {
    frmLiqIvaDett& d = Apri();
    QApplication::setActiveWindow(&d);
    d.txt[100]->setFocus();
    QTest::keyClicks(d.txt[100], "1x");
    QTest::keyClick(d.txt[100], Qt::Key_Tab);
    EXPECT_NE(d.focusWidget(), d.txt[100]);
    EXPECT_TRUE(Rosso(d.txt[100]));
    EXPECT_EQ(d.labMessaggio->text(), "Campo numerico: valore non valido");
}

TEST_F(frmLiqIvaDettTest, UnModuloInRossoNonSiSalva) {
    frmLiqIvaDett& d = Apri();
    Digita(d, 20, "13");
    d.txt_GotFocus(90);
    d.ButtonComando("Salva");
    EXPECT_EQ(Valori("SELECT Mese FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1 AND Modulo = 1"), "3");
    EXPECT_EQ(d.focusWidget(), d.txt[20]);
    Digita(d, 20, "11");
    EXPECT_FALSE(Rosso(d.txt[20]));
    d.ButtonComando("Salva");
    EXPECT_EQ(Valori("SELECT Mese FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1 AND Modulo = 1"), "11");
}

TEST_F(frmLiqIvaDettTest, Vp14DaDebitiECrediti) {
    frmLiqIvaDett& d = Apri();
    const struct Caso {
        const char* nome;
        const char* trimestre;
        const char* mese;
        const char* dovuta;    // VP6 due, box 100
        const char* credito;   // VP8, box 130
        const char* esigibile; // VP4, box 80: never counts
        QString versare;
        QString aCredito;
    } casi[] = {
        {.nome = "debit larger", .trimestre = "", .mese = "3", .dovuta = "1.000,50", .credito = "200", .esigibile = "9",
         .versare = "800,50", .aCredito = ""},
        {.nome = "credit larger", .trimestre = "", .mese = "3", .dovuta = "100", .credito = "250,25", .esigibile = "",
         .versare = "", .aCredito = "150,25"},
        {.nome = "equal", .trimestre = "", .mese = "3", .dovuta = "100", .credito = "100", .esigibile = "",
         .versare = "0", .aCredito = "0"},
        {.nome = "fifth quarter without month", .trimestre = "5", .mese = "", .dovuta = "500", .credito = "1", .esigibile = "",
         .versare = "0", .aCredito = "0"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        d.txt[30]->setText(c.trimestre);
        d.txt[20]->setText(c.mese);
        d.txt[80]->setText(c.esigibile);
        d.txt[130]->setText(c.credito);
        d.txt[100]->setText("x");
        Digita(d, 100, c.dovuta);
        EXPECT_EQ(d.txt[190]->text(), c.versare);
        EXPECT_EQ(d.txt[200]->text(), c.aCredito);
    }
    Digita(d, 80, "77");
    EXPECT_EQ(d.txt[190]->text(), "0") << "VP4 does not enter the computation";
}

TEST_F(frmLiqIvaDettTest, DueImportiVp14ChiedonoPrimaDiSalvare) {
    frmLiqIvaDett& d = Apri();
    d.txt[190]->setText("10");
    d.txt[200]->setText("20");
    dialoghi->risposte = {2};
    d.ButtonComando("Salva");
    EXPECT_EQ(dialoghi->mostrati.last().testo,
              "Impossibile compilare sia l'Iva da versare che quella a credito\nSalvare ugualmente");
    EXPECT_EQ(dialoghi->mostrati.last().bottoni, (QStringList{"&Ok", "&Annulla"}));
    EXPECT_EQ(d.labMessaggio->text(), "Impossibile compilare sia l'Iva da versare che quella a credito");
    EXPECT_EQ(d.focusWidget(), d.txt[190]);
    EXPECT_EQ(Valori("SELECT ImportoACredito FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1 AND Modulo = 1"), "0");
    dialoghi->risposte = {1};
    d.ButtonComando("Salva");
    EXPECT_EQ(Valori("SELECT ImportoDaVersare, ImportoACredito FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1 AND Modulo = 1"),
              "10 20");
}

TEST_F(frmLiqIvaDettTest, NuovoModuloSalvatoEChiusuraRileggeLaGriglia) {
    frmLiqIvaDett& d = Apri();
    d.ButtonComando("Nuovo");
    EXPECT_EQ(d.txt[10]->text(), "");
    EXPECT_EQ(d.txt[40]->text(), "N");
    d.Che[40]->click();
    EXPECT_EQ(d.txt[40]->text(), "S");
    d.Cob[175]->setCurrentIndex(3);
    EXPECT_EQ(d.txt[175]->text(), "4");
    Digita(d, 30, "2");
    d.ButtonComando("Salva");
    EXPECT_EQ(Valori("SELECT Trimestre, Subfornitura, MetodoAcconto FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1 AND Modulo = 3"),
              "2 S 4");
    EXPECT_EQ(d.Linee().LeggiStato(), LinPag::Nuova) << "saving a new module starts the next one";
    EXPECT_EQ(d.txt[10]->text(), "");
    int tasto = 27;
    d.Form_KeyDown(tasto, 0);
    EXPECT_EQ(d.Linee().LeggiStato(), LinPag::Scorrimento) << "Esc drops the untouched new module without asking";
    d.ButtonComando("Chiudi");
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(form->ModelloDett().rowCount(), 3);
}

TEST_F(frmLiqIvaDettTest, CancMetodoESpuntaGrigia) {
    frmLiqIvaDett& d = Apri();
    d.Cob[175]->setFocus();
    d.cob_KeyDown(175, 46, 0);
    EXPECT_EQ(d.Cob[175]->currentIndex(), -1);
    EXPECT_EQ(d.txt[175]->text(), "");
    d.Che[210]->setCheckState(Qt::PartiallyChecked);
    EXPECT_EQ(d.txt[210]->text(), "");
    d.ButtonComando("Salva");
    EXPECT_EQ(Valori("SELECT COALESCE(MetodoAcconto, 'null'), COALESCE(OpStraordinarie, 'null') FROM LiqIvaDett"
                     " WHERE Anno = 2018 AND NumCom = 1 AND Modulo = 1"),
              "null null");
    d.ButtonComando("Successiva");
    d.ButtonComando("Precedente");
    EXPECT_EQ(d.Che[210]->checkState(), Qt::PartiallyChecked);
}

// A month and VP2 typed in a module are never dropped without the question.
TEST_F(frmLiqIvaDettTest, UnModuloDigitatoNonSiPerdeSenzaDomanda) {
    frmLiqIvaDett& d = Apri();
    VerificaMosseRiga(d, *dialoghi, {{20, "7"}, {60, "100"}});
    EXPECT_EQ(Valori("SELECT COUNT(*), SUM(Mese), COALESCE(SUM(TotaleOperazioniAttive), 0) FROM LiqIvaDett"
                     " WHERE Anno = 2018 AND NumCom = 1"),
              "2 3 0");
}

// "Sì" to the question after a click saves the line and goes to the row
// clicked, found by its key among the rows read again (the saved one among them).
TEST_F(frmLiqIvaDettTest, SiSalvaEVaAlModuloCliccato) {
    Modulo(2018, 1, 4, Valore(9), Valore::null(), 0, 0);
    frmLiqIvaDett& d = Apri();
    QApplication::setActiveWindow(&d);
    CliccaComando(d.tolLinPag_, "Nuovo");
    DigitaSopra(d.txt[10], "3");
    DigitaSopra(d.txt[20], "7");
    dialoghi->risposte = {1};  // "&Sì"
    CliccaRigaGriglia(d.dbgRiga, 2);
    EXPECT_EQ(Valori("SELECT Mese FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1 AND Modulo = 3"), "7");
    EXPECT_EQ(d.txt[10]->text().toStdString(), "4");
    EXPECT_EQ(d.txtRiga_->text().toStdString(), "4 / 4");
}

// Esc drops an untouched new module: the screen is browsing again, and its
// label, counter and toolbar say so.
TEST_F(frmLiqIvaDettTest, EscSuUnModuloNuovoTornaAllaVariazione) {
    frmLiqIvaDett& d = Apri();
    QApplication::setActiveWindow(&d);
    CliccaComando(d.tolLinPag_, "Nuovo");
    ASSERT_EQ(d.labTipOpe->text(), "Inserimento");
    QTest::keyClick(d.focusWidget() ? d.focusWidget() : &d, Qt::Key_Escape);
    EXPECT_EQ(d.Linee().LeggiStato(), LinPag::Scorrimento);
    EXPECT_EQ(d.txtRiga_->text(), "1 / 2");
    EXPECT_TRUE(AzioneBarra(d.tolLinPag_, "Cancella")->isEnabled());
    EXPECT_EQ(d.labTipOpe->text(), "Variazione");
}

using frmLiqIvaDettMotori = SuMotori<frmLiqIvaDettTest>;

// A communication of two thousand modules: saving one reads no cell text of
// the grid to measure it again, and the columns keep the widths the opening
// gave them although the rows are read anew.
TEST_P(frmLiqIvaDettMotori, SalvareUnModuloNonMisuraDiNuovoLaGriglia) {
    fx.Esegui(fx.idAzienda,
              "WITH RECURSIVE n(i) AS (SELECT 3 UNION ALL SELECT i + 1 FROM n WHERE i < 2002) "
              "INSERT INTO LiqIvaDett (Anno, NumCom, Modulo, Mese, IvaDovuta, ImportoDaVersare, ImportoACredito,"
              " Subfornitura, OpStraordinarie, MetodoAcconto) SELECT 2018, 1, i, 5, 10.5 * i, 10.5 * i, 0, 'N', 'S', '2' FROM n");
    frmLiqIvaDett& d = Apri();
    const ModelloGriglia& m = d.Linee().Modello();
    ASSERT_EQ(m.rowCount(), 2002);
    QList<int> larghezze;
    for (int c = 0; c < m.columnCount(); ++c) larghezze << d.dbgRiga->columnWidth(c);
    const qint64 prima = m.TestiLetti();
    QApplication::setActiveWindow(&d);
    DigitaSopra(d.txt[20], "4");
    QTest::keyClick(d.txt[20], Qt::Key_Tab);
    CliccaComando(d.tolLinPag_, "Salva");
    EXPECT_EQ(Valori("SELECT Mese FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1 AND Modulo = 1"), "4")
        << dialoghi->testi().join(" | ").toStdString();
    EXPECT_EQ(m.TestiLetti(), prima);
    QList<int> dopo;
    for (int c = 0; c < m.columnCount(); ++c) dopo << d.dbgRiga->columnWidth(c);
    EXPECT_EQ(dopo, larghezze);
}

TEST_P(frmLiqIvaDettMotori, PuntaVaiATrovaEVariaChiaveDallaBarra) {
    frmLiqIvaDett& d = Apri();
    auto clicca = [&](const char* chiave) { CliccaComando(d.tolLinPag_, chiave); };
    QAction* vaiA = AzioneBarra(d.tolLinPag_, "VaiA");
    EXPECT_FALSE(vaiA->isEnabled()) << "no row kept yet";
    clicca("Punta");
    EXPECT_TRUE(vaiA->isEnabled());
    clicca("Fine");
    EXPECT_EQ(d.txt[10]->text(), "2");
    clicca("VaiA");
    EXPECT_EQ(d.txt[10]->text(), "1") << "back to the row kept";

    dialoghi->risposteTesto = {QStringLiteral("80")};
    clicca("Trova");
    EXPECT_EQ(d.txt[10]->text(), "2") << "the module whose credit is 80";
    dialoghi->risposteTesto = {QStringLiteral("zzz")};
    clicca("Trova");
    EXPECT_EQ(d.txt[10]->text(), "2");
    EXPECT_EQ(dialoghi->testi().last(), "Nessuna riga contiene il testo cercato");

    clicca("VarKey");
    EXPECT_EQ(d.focusWidget(), d.txt[10]);
    QTest::keyClicks(d.txt[10], "4");
    clicca("Salva");
    EXPECT_EQ(Valori("SELECT Modulo FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1 ORDER BY Modulo"), "1 4");
    // The row kept was module 1, still there; a row kept and then re-keyed is lost.
    clicca("Punta");
    clicca("VarKey");
    d.txt[10]->selectAll();
    QTest::keyClicks(d.txt[10], "3");
    clicca("Salva");
    clicca("VaiA");
    EXPECT_EQ(dialoghi->testi().last(), "La riga memorizzata non esiste più");
}

TEST_P(frmLiqIvaDettMotori, SestoModuloRifiutatoSenzaPerdereLaRiga) {
    for (int m : {3, 4, 5}) Modulo(2018, 1, m, Valore(m), Valore::null(), 0, 0);
    frmLiqIvaDett& d = Apri();
    CliccaComando(d.tolLinPag_, "Nuovo");
    ASSERT_EQ(d.Linee().LeggiStato(), LinPag::Nuova);
    d.txt[20]->setFocus();
    QTest::keyClicks(d.txt[20], "7");
    CliccaComando(d.tolLinPag_, "Salva");
    EXPECT_EQ(dialoghi->testi().value(0), "Impossibile numerare la nuova riga: il campo Modulo non può superare 5");
    EXPECT_EQ(Valori("SELECT COUNT(*), MAX(Modulo) FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1"), "5 5");
    EXPECT_EQ(d.Linee().LeggiStato(), LinPag::Nuova);
    EXPECT_EQ(d.txt[20]->text(), "7") << "what was typed stays";
}

// VP7 typed in module 1 and cancelled: the module reads as stored and counts
// as unchanged, so VP14 is not computed again from the restored figures (its
// credit box stays "0,00"), nothing is asked, and saving writes it as it was.
TEST_P(frmLiqIvaDettMotori, ModuloAnnullatoRestaComeSalvato) {
    const QString sql = QStringLiteral("SELECT * FROM LiqIvaDett ORDER BY Anno, NumCom, Modulo");
    const QString salvati = Valori(sql);
    for (const CasoAnnulla& c : kCasiAnnulla) {
        SCOPED_TRACE(c.nome);
        QPointer<frmLiqIvaDett> d = &Apri();
        const QMap<int, QString> comeSalvato = TestiBox(*d);
        ASSERT_EQ(comeSalvato.value(200), "0,00");
        AnnullaESegui(*d, *dialoghi, c, 120, QStringLiteral("7"));
        ASSERT_TRUE(d);
        EXPECT_EQ(d->txt[200]->text(), "0,00");
        EXPECT_EQ(QStringList(TestiBox(*d).values()).join(" | ").toStdString(),
                  QStringList(comeSalvato.values()).join(" | ").toStdString());
        EXPECT_EQ(form->isEnabled(), c.dopo == DopoAnnulla::Chiudi) << "closed only by \"Chiudi\"";
        EXPECT_EQ(Valori(sql).toStdString(), salvati.toStdString());
        delete form.data();
    }
}

INSTANTIATE_TEST_SUITE_P(Motori, frmLiqIvaDettMotori, ValoriMotori(), NomeMotore);

}  // namespace
