#include "print/anteprima/FrmVStampa.h"

#include "components/platform/DialoghiScriptati.h"
#include "components/stampa/Stampa.h"
#include "contesto/Contesto.h"
#include "print/lavoro/FrmStampaInCorso.h"
#include "support/AppTest.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace {

class Scrittore : public ChiamanteStampa {};

// A preview driven by a script: each wait of the print object in Continua
// runs the next step, which presses the form's buttons.
class AnteprimaTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<Contesto> c = std::make_shared<Contesto>();
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<OpzSta> opz = std::make_shared<OpzSta>();
    Scrittore scrittore;
    std::deque<std::function<void(FrmVStampa&)>> passi;
    int attese = 0;
    QPointer<FrmVStampa> f;

    void SetUp() override {
        AppTest();
        c->ggDialoghi = dialoghi;
        ImpostaContesto(c);
        opz->oiStaVid = OpzSta::Video;
        f = FrmVStampa::Istanza();
        f->attesaScriptata = [this](FrmVStampa& form) {
            ++attese;
            if (passi.empty()) return;
            auto p = passi.front();
            passi.pop_front();
            p(form);
        };
    }
    void TearDown() override {
        if (f) {
            c->giStaAtt = 0;
            f->Scarica();
        }
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ImpostaContesto(nullptr);
    }
    std::unique_ptr<Stampa> nuova() {
        auto st = std::make_unique<Stampa>();
        st->ogOpzSta = opz;
        st->ImpChiamante(&scrittore);
        st->ImpCartellaTemp(dir.path());
        st->ofrmVStampa = f;
        FontSta fs;
        st->ImpFont(fs, QStringLiteral("CorpoCampo"));
        return st;
    }
    int fileDiPagina() const {
        return QDir(dir.path()).entryList(QDir::Files).size();
    }
    // A writer's pages: each page asks for room and stops when the user left.
    void pagine(Stampa& st, int n) {
        c->giStaAtt = 1;
        st.AvviaDocumento();
        for (int p = 1; p <= n; ++p) {
            if (p > 1) {
                st.NuovaPagina();
                if (st.LeggiAnnullata()) break;
            }
            st.StampaTesto(0, QStringLiteral("Pagina %1").arg(p));
        }
        st.FineStampa();
    }
};

TEST_F(AnteprimaTest, PagesAreStoredMovedAmongAndDeletedAtTheEnd) {
    auto st = nuova();
    QStringList etichette;
    passi.push_back([&](FrmVStampa& form) {
        etichette << form.labPage->text();
        EXPECT_FALSE(form.LeggiImmaginePagina().isNull());
        form.imaMuovi_Click(3);  // page 2 is asked for
        etichette << form.labPage->text();
        EXPECT_TRUE(form.LeggiImmaginePagina().isNull());
    });
    passi.push_back([&](FrmVStampa& form) {
        form.imaMuovi_Click(2);  // page 2 is stored, page 1 read back
        etichette << form.labPage->text();
        EXPECT_EQ(st->LeggiUltPagMem(), 2);
        EXPECT_TRUE(QFile::exists(form.FilePagina(1)));
        EXPECT_TRUE(QFile::exists(form.FilePagina(2)));
        form.imaMuovi_Click(3);  // page 2 again, from its file
        EXPECT_EQ(st->LeggiUltPagMem(), 2);
        form.imaMuovi_Click(3);  // page 3 is asked for
        etichette << form.labPage->text();
    });
    passi.push_back([&](FrmVStampa& form) {
        EXPECT_EQ(form.LabMsg->text(), "Stampa Terminata");
        EXPECT_FALSE(form.imaMuovi[3]->isEnabled());
        form.imaMuovi_Click(3);  // no further page: nothing moves
        etichette << form.labPage->text();
        form.imaMuovi_Click(1);
        etichette << form.labPage->text();
        EXPECT_EQ(fileDiPagina(), 3);
        EXPECT_EQ(c->giStaAtt, 1);
        form.ComEsci_Click();
    });
    pagine(*st, 3);
    EXPECT_EQ(etichette, (QStringList{"Pag.001", "Pag.002", "Pag.001", "Pag.003", "Pag.003", "Pag.001"}));
    EXPECT_EQ(attese, 3);
    EXPECT_EQ(c->giStaAtt, 0);
    EXPECT_EQ(fileDiPagina(), 0);
    EXPECT_FALSE(FrmVStampa::EsisteIstanza());
    EXPECT_EQ(st->PagineProdotte(), 3);
}

TEST_F(AnteprimaTest, WithoutPageStorageThePreviewOnlyMovesForward) {
    opz->MemVid = 0;
    auto st = nuova();
    passi.push_back([&](FrmVStampa& form) {
        form.imaMuovi_Click(1);
        form.imaMuovi_Click(2);
        form.imaMuovi_Click(4);
        EXPECT_EQ(form.labPage->text(), "Pag.001");
        EXPECT_EQ(fileDiPagina(), 0);
        form.imaMuovi_Click(3);
    });
    passi.push_back([&](FrmVStampa& form) {
        form.imaMuovi_Click(3);
        EXPECT_EQ(form.labPage->text(), "Pag.002");
        form.ComEsci_Click();
    });
    pagine(*st, 2);
    EXPECT_EQ(c->giStaAtt, 0);
    EXPECT_FALSE(FrmVStampa::EsisteIstanza());
}

TEST_F(AnteprimaTest, ExitDuringThePrintStopsItAndClosingIsRefusedWhilePrinting) {
    auto st = nuova();
    passi.push_back([&](FrmVStampa& form) {
        EXPECT_FALSE(form.Scarica());  // a print is in progress
        EXPECT_EQ(dialoghi->mostrati.size(), 1);
        EXPECT_EQ(dialoghi->mostrati[0].testo, "Non si puo' uscire\r\nStampa ancora attiva");
        EXPECT_EQ(dialoghi->mostrati[0].titolo, "Visualizzazione Stampe");
        form.ComEsci_Click();
        EXPECT_TRUE(form.isVisible());  // only the print stops
        EXPECT_EQ(st->LeggiInterruzione(), 2);
    });
    pagine(*st, 5);
    EXPECT_TRUE(st->LeggiAnnullata());
    EXPECT_EQ(attese, 1);
    EXPECT_EQ(c->giStaAtt, 0);
    EXPECT_FALSE(FrmVStampa::EsisteIstanza());
}

TEST_F(AnteprimaTest, UnloadEndsAPendingWaitAndNeedsNoPrintObject) {
    // No print object: the arrows, the exit and the unload do nothing harmful.
    f->imaMuovi_Click(3);
    f->attesaScriptata = [](FrmVStampa& form) { EXPECT_TRUE(form.Scarica()); };
    f->Continua();
    EXPECT_FALSE(FrmVStampa::EsisteIstanza());
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
    // The next preview gets a fresh form.
    QPointer<FrmVStampa> nuovo = FrmVStampa::Istanza();
    EXPECT_NE(nuovo.data(), f.data());
    EXPECT_TRUE(nuovo->obAttivo);
    f = nuovo;
}

TEST_F(AnteprimaTest, PageLabelsAndFilesCarryAtLeastThreeDigits) {
    EXPECT_EQ(FrmVStampa::TestoPagina(7), "Pag.007");
    EXPECT_EQ(FrmVStampa::TestoPagina(1234), "Pag.1234");
    auto st = nuova();
    f->ogStampa(st.get());
    EXPECT_TRUE(f->FilePagina(3).endsWith(".003"));
    EXPECT_TRUE(f->FilePagina(1234).endsWith(".1234"));
    EXPECT_TRUE(f->RadiceFile().startsWith(dir.path()));
    EXPECT_EQ(st->LeggiPagVis(), 1);
    EXPECT_EQ(st->LeggiUltPag(), 1);
    EXPECT_EQ(st->LeggiUltPagMem(), 0);
}

// Events pass while a page is drawn (for the stop button): a second press
// of the arrows then moves nothing and stores no unfinished page.
TEST_F(AnteprimaTest, ArrowsWaitForThePageBeingDrawn) {
    auto st = nuova();
    c->giStaAtt = 1;
    passi.push_back([](FrmVStampa& form) { form.imaMuovi_Click(3); });
    passi.push_back([&](FrmVStampa& form) {
        EXPECT_EQ(form.labPage->text(), "Pag.002");
        EXPECT_EQ(st->LeggiUltPag(), 2);
        form.imaMuovi_Click(2);
        EXPECT_EQ(form.labPage->text(), "Pag.001");
        form.ComEsci_Click();
    });
    st->AvviaDocumento();
    st->StampaTesto(0, QStringLiteral("Pagina 1"));
    st->NuovaPagina();
    for (int freccia : {3, 1, 2, 4}) f->imaMuovi_Click(freccia);
    EXPECT_EQ(f->labPage->text(), "Pag.002");
    EXPECT_EQ(st->LeggiUltPag(), 2);
    EXPECT_EQ(st->LeggiUltPagMem(), 1);
    EXPECT_TRUE(st->LeggiMemPag());
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("|").toStdString();
    st->StampaTesto(0, QStringLiteral("Pagina 2"));
    st->NuovaPagina();
    st->FineStampa();
    EXPECT_EQ(attese, 2);
    EXPECT_EQ(c->giStaAtt, 0);
}

TEST_F(AnteprimaTest, APageRangeBoundsFirstAndPrevious) {
    opz->ImpOpzione("PaginaDa", 2, Valore(2));
    auto st = nuova();
    QStringList etichette;
    passi.push_back([&](FrmVStampa& form) { form.imaMuovi_Click(3); });
    passi.push_back([&](FrmVStampa& form) { form.imaMuovi_Click(3); });
    passi.push_back([&](FrmVStampa& form) {
        form.imaMuovi_Click(2);
        etichette << form.labPage->text();
        form.imaMuovi_Click(2);  // stops at the first page of the range
        etichette << form.labPage->text();
        form.imaMuovi_Click(4);
        form.imaMuovi_Click(1);
        etichette << form.labPage->text();
        form.ComEsci_Click();
    });
    pagine(*st, 3);
    EXPECT_EQ(etichette, (QStringList{"Pag.002", "Pag.002", "Pag.002"}));
}

// Without a script the wait runs the event loop: the user's presses reach
// the form through it; closing the window is refused while printing, and
// leaves the preview once the print has ended.
TEST_F(AnteprimaTest, TheRealWaitEndsOnlyOnTheUsersPress) {
    f->attesaScriptata = nullptr;
    auto st = nuova();
    QStringList visti;
    QTimer utente;
    int giri = 0;
    QObject::connect(&utente, &QTimer::timeout, [&] {
        if (f && ++giri > 50) f->ComEsci->click();  // the window never closed: leave, so that the test ends
        // The user acts on a page on screen, that is while the print waits.
        if (!f || f->LeggiImmaginePagina().isNull()) return;
        visti << f->labPage->text() + " " + f->LabMsg->text();
        if (f->LabMsg->text().isEmpty()) {
            f->close();
            f->imaMuovi[3]->click();
            return;
        }
        f->close();
    });
    utente.start(0);
    pagine(*st, 2);
    utente.stop();
    EXPECT_EQ(visti, (QStringList{"Pag.001 ", "Pag.002 Stampa Terminata"}));
    EXPECT_EQ(dialoghi->testi(), QStringList{"Non si puo' uscire\r\nStampa ancora attiva"});
    EXPECT_EQ(c->giStaAtt, 0);
    EXPECT_FALSE(FrmVStampa::EsisteIstanza());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(f.isNull());

    // A preview with no print running: closing its window ends the wait.
    f = FrmVStampa::Istanza();
    f->show();
    QTimer::singleShot(0, f.data(), [this] { f->close(); });
    f->Continua();
    EXPECT_FALSE(FrmVStampa::EsisteIstanza());
}

// "Interrompi la stampa" pressed while the preview waits on page 2 of 4:
// the wait ends there, the pages drawn stay to be seen and no empty page
// follows, the next arrow asks for nothing, going back stores page 2 without
// a memory warning, and closing the window leaves. The busy pointer gives
// way to the arrow whenever the preview waits for the user.
TEST_F(AnteprimaTest, AStopWhileThePreviewWaitsEndsThePrintOnce) {
    f->attesaScriptata = nullptr;
    auto st = nuova();
    QPointer<frmStampaInCorso> box = frmStampaInCorso::Istanza();
    box->Prepara(QStringLiteral("Prova"), st.get());
    box->show();
    st->ofrmStampaInCorso = box.data();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QStringList visti;
    QList<Qt::CursorShape> puntatori;
    int giri = 0;
    QTimer utente;
    QObject::connect(&utente, &QTimer::timeout, [&] {
        if (!f) return;
        if (++giri > 50) {
            f->ComEsci->click();  // the print never ended: leave, so that the test ends
            return;
        }
        if (f->LeggiImmaginePagina().isNull()) return;
        puntatori << QApplication::overrideCursor()->shape();
        const QString stato = f->labPage->text() + " " + f->LabMsg->text();
        if (!visti.isEmpty() && visti.last() == stato) return;
        visti << stato;
        if (visti.size() == 1) {
            QTest::mouseClick(f->imaMuovi[3], Qt::LeftButton);
        } else if (visti.size() == 2) {
            QTest::mouseClick(box->ComStampa, Qt::LeftButton);
        } else if (visti.size() == 3) {
            QTest::mouseClick(f->imaMuovi[3], Qt::LeftButton);  // no page follows
            QTest::mouseClick(f->imaMuovi[2], Qt::LeftButton);
        } else {
            f->close();
        }
    });
    utente.start(0);
    pagine(*st, 4);
    utente.stop();
    EXPECT_EQ(visti, (QStringList{"Pag.001 ", "Pag.002 ", "Pag.002 Stampa Interrotta", "Pag.001 Stampa Interrotta"}));
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("|").toStdString();
    EXPECT_EQ(st->PagineProdotte(), 2);
    EXPECT_EQ(c->giStaAtt, 0);
    EXPECT_FALSE(FrmVStampa::EsisteIstanza());
    EXPECT_TRUE(!box || !box->isVisible());
    EXPECT_EQ(puntatori, QList<Qt::CursorShape>(puntatori.size(), Qt::ArrowCursor));
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
}

}  // namespace

// The arrows pressed as a user presses them, during a print of three pages
// with page storage and after its end: a greyed arrow takes no press. Each
// row: the page on screen and which arrows are lit (first, previous, next,
// last), the arrow pressed and the page it leads to. A next on the last page
// produced while the print runs ends the wait: the print draws that page.
TEST_F(AnteprimaTest, TheArrowsMoveAmongTheStoredPagesDuringAndAfterThePrint) {
    struct Riga {
        const char* nome;
        int pagina;
        const char* accese;  // '1' lit, '0' greyed: first, previous, next, last
        int freccia;
        int poi;
    };
    const std::vector<Riga> righe = {
        {"first page drawn: only next", 1, "0010", 3, 2},
        {"page 2 drawn: back to 1", 2, "1110", 2, 1},
        {"page 1 stored: next page stored", 1, "0011", 3, 2},
        {"page 2 again: next asks page 3", 2, "1110", 3, 3},
        {"ended: next greyed on the last page", 3, "1100", 3, 3},
        {"ended: first", 3, "1100", 1, 1},
        {"ended: next from the first page", 1, "0011", 3, 2},
        {"ended: next to the last page", 2, "1111", 3, 3},
        {"ended: previous", 3, "1100", 2, 2},
        {"ended: last", 2, "1111", 4, 3},
        {"ended: first again", 3, "1100", 1, 1},
        {"ended: previous greyed on page 1", 1, "0011", 2, 1},
        {"ended: last from page 1", 1, "0011", 4, 3},
    };
    auto accese = [](FrmVStampa& form) {
        std::string s;
        for (int i = 1; i <= 4; ++i) s += form.imaMuovi[i]->isEnabled() ? '1' : '0';
        return s;
    };
    auto st = nuova();
    size_t riga = 0;
    std::string finale;
    // Every wait runs rows until one asks for a page not drawn yet.
    auto passo = [&](FrmVStampa& form) {
        while (riga < righe.size()) {
            const Riga& r = righe[riga++];
            SCOPED_TRACE(r.nome);
            EXPECT_EQ(form.labPage->text().toStdString(), FrmVStampa::TestoPagina(r.pagina).toStdString());
            EXPECT_EQ(accese(form), r.accese);
            QTest::mouseClick(form.imaMuovi[r.freccia], Qt::LeftButton);
            EXPECT_EQ(form.labPage->text().toStdString(), FrmVStampa::TestoPagina(r.poi).toStdString());
            if (form.LeggiImmaginePagina().isNull()) return;  // the print draws the page asked for
        }
        finale = form.labPage->text().toStdString() + " " + accese(form);
        QTest::mouseClick(form.ComEsci, Qt::LeftButton);
    };
    for (int i = 0; i < 4; ++i) passi.push_back(passo);
    pagine(*st, 3);
    EXPECT_EQ(riga, righe.size());
    EXPECT_EQ(finale, "Pag.003 1100");
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("|").toStdString();
    EXPECT_FALSE(FrmVStampa::EsisteIstanza());
}

// A page file that cannot be deleted (here a folder stands in its place) is
// reported by name on closing; the other page files go all the same, the
// folder is left alone, and the preview closes.
TEST_F(AnteprimaTest, APageFileThatCannotBeDeletedIsReportedAndThePreviewStillCloses) {
    auto st = nuova();
    QString bloccato;
    passi.push_back([](FrmVStampa& form) { QTest::mouseClick(form.imaMuovi[3], Qt::LeftButton); });
    passi.push_back([&](FrmVStampa& form) {
        QTest::mouseClick(form.imaMuovi[2], Qt::LeftButton);  // page 2 stored, page 1 on screen
        bloccato = form.FilePagina(1);
        ASSERT_TRUE(QFile::remove(bloccato));
        ASSERT_TRUE(QDir().mkpath(bloccato + "/dentro"));
        QTest::mouseClick(form.ComEsci, Qt::LeftButton);
    });
    pagine(*st, 2);
    EXPECT_EQ(dialoghi->testi().join("|").toStdString(),
              ("Errore Impossibile cancellare il file di pagina \"" + QDir::toNativeSeparators(bloccato) +
               "\" in chiusura stampa a video ( 75)")
                  .toStdString());
    EXPECT_TRUE(QFileInfo(bloccato + "/dentro").isDir());
    EXPECT_EQ(fileDiPagina(), 0);
    EXPECT_EQ(c->giStaAtt, 0);
    EXPECT_FALSE(FrmVStampa::EsisteIstanza());
    EXPECT_EQ(st->LeggiUltPagMem(), 0);
}

// From the keyboard: the space bar on the next arrow asks page after page
// without the focus leaving the arrow while each page is drawn.
TEST_F(AnteprimaTest, TheNextArrowKeepsTheKeyboardFocusFromPageToPage) {
    auto st = nuova();
    QStringList fuoco;
    auto avanti = [&](FrmVStampa& form) {
        fuoco << form.labPage->text() + (form.focusWidget() == form.imaMuovi[3] ? " next" : " elsewhere");
        QTest::keyClick(form.imaMuovi[3], Qt::Key_Space);
    };
    passi.push_back([&](FrmVStampa& form) {
        form.imaMuovi[3]->setFocus();
        avanti(form);
    });
    passi.push_back(avanti);
    passi.push_back([&](FrmVStampa& form) {
        fuoco << form.labPage->text() + " " + form.LabMsg->text();
        QTest::mouseClick(form.ComEsci, Qt::LeftButton);
    });
    pagine(*st, 3);
    EXPECT_EQ(fuoco.join("|").toStdString(), "Pag.001 next|Pag.002 next|Pag.003 Stampa Terminata");
}
