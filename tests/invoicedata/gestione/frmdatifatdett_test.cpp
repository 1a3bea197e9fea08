#include "AmbienteDatiFat.h"

#include "support/AnnullaRiga.h"
#include "support/Clic.h"
#include "support/Motori.h"
#include "support/MosseRiga.h"

#include "common/form/CodiciTasti.h"
#include "common/schermi/CasellaSpunta.h"
#include "invoicedata/gestione/FrmDatiFatDett.h"

#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QTableView>

namespace {

// The lines screen opened from the header on one record.
class frmDatiFatDettTest : public AmbienteDatiFat {
public:
    using AmbienteDatiFat::AmbienteDatiFat;
    frmDatiFatDett& Apri(const TestataDF& t) {
        frmDatiFatGest& g = Carica();
        Cerca(t);
        g.ButtonComando("Dettaglio");
        auto* d = qobject_cast<frmDatiFatDett*>(g.LineeAperte());
        EXPECT_NE(d, nullptr) << dialoghi->testi().join(" | ").toStdString();
        d->timLinPag_Timer();
        return *d;
    }
    // A new line with a rate, saved; the highest line number of registration 10 then.
    QString NuovaLinea(frmDatiFatDett& d) {
        if (d.Linee().LeggiStato() != LinPag::Nuova) d.ButtonComando("Nuovo");
        d.txt[20]->setText("10");
        d.txt[40]->setText("100");
        d.ButtonComando("Salva");
        EXPECT_EQ(d.Linee().LeggiStato(), LinPag::Nuova) << "saving a new line starts the next one";
        EXPECT_EQ(d.txt[10]->text(), "0") << "numbered only when saved";
        return Valori("SELECT MAX(NumDet) FROM DatiFatDett WHERE NumReg = 10");
    }
};

using frmDatiFatDettMotori = SuMotori<frmDatiFatDettTest>;

TEST_P(frmDatiFatDettMotori, NumerazioneDopoLaLineaPiùAlta) {
    const TestataDF t{.righe = 0};
    Testata(t);
    for (int n : {1, 2, 5}) Riga(t, n);
    frmDatiFatDett& d = Apri(t);
    EXPECT_EQ(d.txt[500]->text() + d.txt[510]->text() + d.txt[550]->text() + d.txt[560]->text(), "20181EN");
    EXPECT_EQ(d.txt[570]->text(), "04-01-000012");
    EXPECT_EQ(d.Lab[570]->text(), "Bianchi S.p.A.");
    EXPECT_EQ(NuovaLinea(d), "6") << "gaps are not filled";
    EXPECT_EQ(Valori("SELECT NumDet, Aliquota, Deducibile FROM DatiFatDett WHERE NumDet = 6"), "6 10 N");
}

TEST_P(frmDatiFatDettMotori, PrimaLineaDiUnaRegistrazioneSenzaLinee) {
    const TestataDF t{.righe = 0};
    Testata(t);
    Testata({.numReg = 11, .righe = 3});  // another record's lines do not count
    frmDatiFatDett& d = Apri(t);
    EXPECT_EQ(NuovaLinea(d), "1");
    EXPECT_EQ(NuovaLinea(d), "2");
}

// The nature typed in line 1 and cancelled: the line reads as stored and
// counts as unchanged, so the nature is decoded only when a line is shown,
// nothing is asked, and saving writes the line as it was.
TEST_P(frmDatiFatDettMotori, LineaAnnullataRestaComeSalvata) {
    const TestataDF t{.righe = 2};
    Testata(t);
    const QString sql = QStringLiteral("SELECT * FROM DatiFatDett ORDER BY NumDet");
    const QString salvate = Valori(sql);
    for (const CasoAnnulla& c : kCasiAnnulla) {
        SCOPED_TRACE(c.nome);
        QPointer<frmDatiFatDett> d = &Apri(t);
        const QMap<int, QString> comeSalvata = TestiBox(*d);
        AnnullaESegui(*d, *dialoghi, c, 30, QStringLiteral("N4"), [&] { aiuti->decodifiche.clear(); });
        ASSERT_TRUE(d);
        const qsizetype righeMostrate = c.dopo == DopoAnnulla::AltraRigaERitorno ? 2 : c.dopo == DopoAnnulla::Salva ? 1 : 0;
        EXPECT_EQ(aiuti->decodifiche.count(QStringLiteral("Decodifiche:")), righeMostrate)
            << aiuti->decodifiche.join(" | ").toStdString();
        EXPECT_EQ(QStringList(TestiBox(*d).values()).join(" | ").toStdString(),
                  QStringList(comeSalvata.values()).join(" | ").toStdString());
        EXPECT_EQ(d->Lab[30]->text(), "");
        EXPECT_EQ(form->isEnabled(), c.dopo == DopoAnnulla::Chiudi) << "closed only by \"Chiudi\"";
        EXPECT_EQ(Valori(sql).toStdString(), salvate.toStdString());
        delete form.data();
    }
}

INSTANTIATE_TEST_SUITE_P(Motori, frmDatiFatDettMotori, ValoriMotori(), NomeMotore);

TEST_F(frmDatiFatDettTest, NaturaESpecchiDiEsigibilitaEDeducibile) {
    const TestataDF t{.righe = 0};
    Testata(t);
    Riga(t, 1, "N4", "x", "s");
    frmDatiFatDett& d = Apri(t);
    EXPECT_EQ(d.Lab[30]->text(), "Esenti");
    EXPECT_TRUE(d.OptEsig[3]->isChecked()) << "any other letter is \"not defined\"";
    EXPECT_EQ(d.Che[80]->checkState(), Qt::Checked) << "\"s\" ticks the box";

    const struct Caso {
        int opzione;
        const char* specchio;
    } casi[] = {{0, "I"}, {1, "D"}, {2, "S"}, {3, ""}};
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.opzione);
        d.OptEsig[c.opzione]->click();
        EXPECT_EQ(d.txt[60]->text(), c.specchio);
    }
    d.Che[80]->click();
    EXPECT_EQ(d.txt[80]->text(), "N");

    for (int tasto : {Tasto::F2, Tasto::F2 + 5, Tasto::F2 + 6}) {
        SCOPED_TRACE(tasto);
        aiuti->chiamateLista.clear();
        int k = tasto;
        d.txt_KeyUp(30, k, 0);
        EXPECT_EQ(aiuti->chiamateLista.size(), tasto <= Tasto::F2 + 5 ? 1 : 0);
        if (!aiuti->chiamateLista.isEmpty()) EXPECT_EQ(aiuti->chiamateLista.first().filtro, "TipoTab = 'FENatura'");
    }
    aiuti->chiamateLista.clear();
    int k = Tasto::F2;
    d.txt_KeyUp(20, k, 0);
    EXPECT_TRUE(aiuti->chiamateLista.isEmpty()) << "only the nature has a lookup";

    d.txt_GotFocus(30);
    d.txt[30]->setText("N9");
    d.txt_LostFocus(30);
    EXPECT_EQ(aiuti->decodifiche.last(), "Decodifiche:N9");
}

TEST_F(frmDatiFatDettTest, EscSuUnaLineaVuotaLaAnnullaSenzaDomanda) {
    const TestataDF t{};
    Testata(t);
    frmDatiFatDett& d = Apri(t);
    d.ButtonComando("Nuovo");
    ASSERT_EQ(d.Linee().LeggiStato(), LinPag::Nuova);
    dialoghi->mostrati.clear();
    int esc = Tasto::Esc;
    d.Form_KeyDown(esc, 0);
    EXPECT_EQ(d.Linee().LeggiStato(), LinPag::Scorrimento);
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join(" | ").toStdString();

    d.ButtonComando("Nuovo");
    d.txt[30]->setText("N4");  // a nature given: the line is not empty
    dialoghi->risposte = {2};
    esc = Tasto::Esc;
    d.Form_KeyDown(esc, 0);
    EXPECT_TRUE(d.Linee().LeggiStato() == LinPag::Nuova || !dialoghi->mostrati.isEmpty())
        << "a line with a nature is never dropped without a question";
    EXPECT_EQ(d.txt[30]->text(), "N4");
}

// A rate and a taxable amount typed in a line are never dropped without the question.
TEST_F(frmDatiFatDettTest, UnaLineaDigitataNonSiPerdeSenzaDomanda) {
    const TestataDF t{.righe = 2};
    Testata(t);
    frmDatiFatDett& d = Apri(t);
    VerificaMosseRiga(d, *dialoghi, {{20, "10"}, {40, "500"}});
    EXPECT_EQ(Valori("SELECT COUNT(*), SUM(Aliquota), SUM(ImponibileImporto) FROM DatiFatDett"), "2 44 2000");
}

// The line's own key (its number) has no box to type in: "Varia campi chiave"
// is not offered, from the toolbar nor from its Alt key.
TEST_F(frmDatiFatDettTest, VariaChiaveNonOffertoSenzaUnaChiaveDaDigitare) {
    const TestataDF t{.righe = 2};
    Testata(t);
    frmDatiFatDett& d = Apri(t);
    QApplication::setActiveWindow(&d);
    EXPECT_FALSE(AzioneBarra(d.tolLinPag_, "VarKey")->isEnabled());
    d.txt[20]->setFocus();
    QTest::keyClick(d.txt[20], Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(d.focusWidget(), d.txt[20]);
    EXPECT_EQ(d.labMessaggio->text(), "");
}

// The message of a box left red stays in sight while the user is in the next box.
TEST_F(frmDatiFatDettTest, UnNumeroNonValidoLasciaIlMessaggio) {
    const TestataDF t{};
    Testata(t);
    frmDatiFatDett& d = Apri(t);
    QApplication::setActiveWindow(&d);
    d.txt[40]->setFocus();
    QTest::keyClicks(d.txt[40], "1x");
    QTest::keyClick(d.txt[40], Qt::Key_Tab);
    EXPECT_NE(d.focusWidget(), d.txt[40]);
    EXPECT_TRUE(Rosso(d.txt[40]));
    EXPECT_EQ(d.labMessaggio->text(), "Campo numerico: valore non valido");
}

TEST_F(frmDatiFatDettTest, LineeDiUnaFatturaComunicataInSolaLettura) {
    const TestataDF t{.numInv = 1, .progr = 1, .nomeFile = "DF001"};
    Testata(t);
    frmDatiFatDett& d = Apri(t);
    EXPECT_FALSE(d.obAbil);
    d.ImpAbilRW(1);
    EXPECT_EQ(d.oiAbilRW(), 0) << "even when launched read-write";
    d.ButtonComando("Nuovo");
    d.txt[20]->setText("10");
    d.ButtonComando("Salva");
    EXPECT_EQ(Valori("SELECT COUNT(*) FROM DatiFatDett"), "1");
}


TEST_F(frmDatiFatDettTest, NuovaLineaSvuotaLaNaturaENonPerdeGliImportiSenzaDomanda) {
    const TestataDF t{.righe = 0};
    Testata(t);
    Riga(t, 1, "N4");
    frmDatiFatDett& d = Apri(t);
    ASSERT_EQ(d.Lab[30]->text(), "Esenti");
    CliccaComando(d.tolLinPag_, "Nuovo");
    EXPECT_EQ(d.Lab[30]->text(), "") << "not the previous line's nature";

    // Rate 0 and no nature, but an amount typed: Esc asks before dropping it.
    d.txt[40]->setFocus();
    QTest::keyClicks(d.txt[40], "100");
    dialoghi->risposte = {2};
    QTest::keyClick(d.txt[40], Qt::Key_Escape);
    EXPECT_EQ(dialoghi->testi().value(0), "Annullare le modifiche della riga?");
    EXPECT_EQ(d.Linee().LeggiStato(), LinPag::Nuova);
    EXPECT_EQ(d.txt[40]->text(), "100");

    // F10 does not drop it nor close the screen over it.
    QTest::keyClick(d.txt[40], Qt::Key_F10);
    EXPECT_TRUE(d.Caricata());
    EXPECT_EQ(d.txt[40]->text(), "100");
    dialoghi->risposte = {1};
    QTest::keyClick(d.txt[40], Qt::Key_Escape);
    EXPECT_EQ(d.Linee().LeggiStato(), LinPag::Scorrimento) << "dropped once confirmed";

    // An untouched new line goes silently.
    CliccaComando(d.tolLinPag_, "Nuovo");
    dialoghi->mostrati.clear();
    QTest::keyClick(d.focusWidget() ? d.focusWidget() : &d, Qt::Key_Escape);
    EXPECT_EQ(d.Linee().LeggiStato(), LinPag::Scorrimento);
    EXPECT_TRUE(dialoghi->testi().isEmpty()) << dialoghi->testi().join(" | ").toStdString();
}

// "Nuovo" leaves the cursor in the nature box (the line number is out of
// sight): the nature typed there is decoded when the box is left, as on a
// stored line.
TEST_F(frmDatiFatDettTest, NaturaDigitataSuUnaLineaNuovaSiDecodifica) {
    const TestataDF t{.righe = 1};
    Testata(t);
    frmDatiFatDett& d = Apri(t);
    QApplication::setActiveWindow(&d);
    QTest::mouseClick(d.txt[30], Qt::LeftButton);
    CliccaComando(d.tolLinPag_, "Nuovo");
    ASSERT_EQ(d.Linee().LeggiStato(), LinPag::Nuova);
    ASSERT_EQ(d.focusWidget(), d.txt[30]);
    QTest::keyClicks(d.txt[30], "N4");
    QTest::keyClick(d.txt[30], Qt::Key_Tab);
    EXPECT_EQ(d.Lab[30]->text(), "Esenti");
}

}  // namespace

namespace {

TEST_F(frmDatiFatDettTest, LaGrigliaMostraLeLineeNonLaChiave) {
    const TestataDF t{.righe = 1};
    Testata(t);
    frmDatiFatDett& d = Apri(t);
    QStringList visibili;
    for (int c = 0; c < d.dbgRiga->model()->columnCount(); ++c)
        if (!d.dbgRiga->isColumnHidden(c)) visibili << d.dbgRiga->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(visibili.join(' ').toStdString(),
              "NumDet Aliquota Natura ImponibileImporto Imposta Detraibile Deducibile EsigibilitaIva");
    d.ButtonComando("Aggiorna");
    EXPECT_TRUE(d.dbgRiga->isColumnHidden(0)) << "still hidden after the lines are read again";
}

}  // namespace
