#include "common/form/FormComune.h"
#include "common/form/Tastiera.h"
#include "components/core/ErroreRun.h"

#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "FormProva.h"

namespace {

class Tastiera : public ::testing::Test {
protected:
    ContestoProva cp;
    FormProva f;

    void SetUp() override {
        InizForm(f, false, false, false);
        FineInizForm(f);
        Attiva(f);
    }
    void Fuoco(QWidget* w) {
        w->setFocus();
        QApplication::processEvents();
    }
    QWidget* Attivo() { return f.focusWidget(); }
};

TEST_F(Tastiera, EnterMovesAlongTheTabOrderShiftEnterBack) {
    Fuoco(f.txt[10]);
    f.txt[10]->setText(QStringLiteral("abc"));
    QTest::keyClick(f.txt[10], Qt::Key_Return);
    EXPECT_EQ(Attivo(), f.txt[20]);
    EXPECT_EQ(f.txt[10]->text(), QStringLiteral("abc"));
    QTest::keyClick(f.txt[20], Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Attivo(), f.txt[30]);
    QTest::keyClick(f.txt[30], Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Attivo(), f.txt[20]);
}

TEST_F(Tastiera, EnterInAMultiLineFieldIsANewLineUnlessAllIsSelected) {
    Fuoco(f.txtNote);
    f.txtNote->setPlainText(QStringLiteral("riga"));
    f.txtNote->moveCursor(QTextCursor::End);
    QTest::keyClick(f.txtNote, Qt::Key_Return);
    EXPECT_EQ(Attivo(), f.txtNote);
    EXPECT_EQ(f.txtNote->toPlainText(), QStringLiteral("riga\n"));
    EXPECT_TRUE(ctx().gbInvioNelCampo);

    f.txtNote->selectAll();
    QTest::keyClick(f.txtNote, Qt::Key_Return);
    EXPECT_NE(Attivo(), f.txtNote);
    EXPECT_EQ(f.txtNote->toPlainText(), QStringLiteral("riga\n"));
}

TEST_F(Tastiera, EnterInAGridStaysInTheGrid) {
    Fuoco(f.dbgRighe);
    QTest::keyClick(f.dbgRighe, Qt::Key_Return);
    EXPECT_EQ(Attivo(), f.dbgRighe);
}

TEST_F(Tastiera, KeypadPointTypesACommaWhenTheUserAsksForIt) {
    struct Caso {
        const char* opzione;
        Qt::KeyboardModifiers mod;
        const char* atteso;
    } casi[] = {{"S", Qt::KeypadModifier, "1,"}, {"s", Qt::KeypadModifier, "1,"}, {"S", Qt::NoModifier, "1."},
                {"", Qt::KeypadModifier, "1."}};
    for (const Caso& k : casi) {
        cp.c->gsTastierinoVirgola = QString::fromLatin1(k.opzione);
        Fuoco(f.txt[10]);
        f.txt[10]->setText(QStringLiteral("1"));
        f.txt[10]->end(false);
        QTest::keyClick(f.txt[10], Qt::Key_Period, k.mod);
        EXPECT_EQ(f.txt[10]->text(), QString::fromLatin1(k.atteso)) << k.opzione << " " << int(k.mod);
    }
}

TEST_F(Tastiera, FieldWithTheFocusTakesTheFocusColourRedFieldsKeepRed) {
    cp.c->glColGotFocus = 0x80FFFF;
    cp.c->glColLostFocus = 0xFFFFFF;
    cp.c->glColErrore = 255;
    Fuoco(f.txt[30]);
    Fuoco(f.txt[10]);
    EXPECT_EQ(BackColor(f.txt[10]), 0x80FFFF);
    EXPECT_EQ(f.txt[10]->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x80));
    Fuoco(f.txt[20]);
    EXPECT_EQ(BackColor(f.txt[10]), 0xFFFFFF);
    EXPECT_EQ(BackColor(f.txt[20]), 0x80FFFF);

    ImpostaBackColor(f.txt[30], 255);
    Fuoco(f.txt[30]);
    EXPECT_EQ(BackColor(f.txt[30]), 255);
    Fuoco(f.txt[10]);
    EXPECT_EQ(BackColor(f.txt[30]), 255);

    // A field left coloured by an earlier focus is put right on the next entry.
    ImpostaBackColor(f.txt[20], 0x80FFFF);
    ColoreFocus(f.txt[10]);
    EXPECT_EQ(BackColor(f.txt[20]), 0xFFFFFF);
}

TEST_F(Tastiera, CtrlKeysAreOfferedToTheMenu) {
    Fuoco(f.txt[10]);
    f.txt[10]->setText(QStringLiteral("vecchio"));
    f.txt[10]->deselect();
    cp.menu->risposteComando = {Valore(QStringLiteral("1"))};
    QTest::keyClick(f.txt[10], Qt::Key_A, Qt::ControlModifier);
    ASSERT_FALSE(cp.menu->chiamate.isEmpty());
    EXPECT_TRUE(cp.menu->chiamate.last().contains(QStringLiteral("TastiCtrl"))) << cp.menu->chiamate.last().toStdString();
    EXPECT_EQ(f.txt[10]->text(), QStringLiteral("vecchio"));
    EXPECT_FALSE(f.txt[10]->hasSelectedText());  // the menu took Ctrl+A

    cp.menu->risposteComando = {Valore(QStringLiteral("D 12/03/2026 "))};
    QTest::keyClick(f.txt[10], Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(f.txt[10]->text(), QStringLiteral("12/03/2026"));

    cp.menu->risposteComando = {Valore(QStringLiteral("0"))};
    QTest::keyClick(f.txt[10], Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(f.txt[10]->hasSelectedText());  // not taken: the field selects all
}

TEST_F(Tastiera, CtrlShiftSendsTheKeyNegated) {
    Fuoco(f.txt[10]);
    cp.menu->risposteComando = {Valore(QStringLiteral("1"))};
    int codice = 'K';
    EXPECT_EQ(GestTastiForm(codice, 3, f), 1);
    EXPECT_EQ(codice, 0);
    EXPECT_TRUE(cp.menu->chiamate.last().contains(QStringLiteral("-75"))) << cp.menu->chiamate.last().toStdString();
}

// Find and replace with Ctrl+Alt in the active text box.
class CercaSostituisci : public Tastiera {
protected:
    void Premi(Qt::Key k, bool shift = false) {
        int codice = CodiceTasto(QKeyEvent(QEvent::KeyPress, k, Qt::NoModifier));
        GestTastiForm(codice, shift ? 7 : 6, f);
        EXPECT_EQ(codice, 0);
    }
    QString Selezione() { return f.txt[10]->selectedText(); }
};

TEST_F(CercaSostituisci, BlankAnswerTakesTheKeyAndSearchesNothing) {
    Fuoco(f.txt[10]);
    f.txt[10]->setText(QStringLiteral("alfa beta"));
    cp.dialoghi->risposteTesto = {QStringLiteral("  ")};
    Premi(Qt::Key_F);
    EXPECT_EQ(cp.dialoghi->testi(), QStringList{QStringLiteral("Stringa da cercare")});
    EXPECT_FALSE(f.txt[10]->hasSelectedText());
    // Page Down before any search: taken, nothing happens.
    cp.dialoghi->mostrati.clear();
    Premi(Qt::Key_PageDown);
    EXPECT_TRUE(cp.dialoghi->mostrati.isEmpty());
}

TEST_F(CercaSostituisci, CompareModeDecidesWhetherCaseCounts) {
    Fuoco(f.txt[10]);
    f.txt[10]->setText(QStringLiteral("uno DUE tre"));
    cp.dialoghi->risposteTesto = {QStringLiteral("due")};
    Premi(Qt::Key_F);
    EXPECT_EQ(Selezione(), QStringLiteral("DUE"));
    EXPECT_EQ(f.txt[10]->selectionStart(), 4);

    int barra = Tasto::Barra;
    EXPECT_EQ(GestTastiForm(barra, 7, f), 0);  // exact case; the key itself is not taken
    EXPECT_EQ(barra, Tasto::Barra);
    f.txt[10]->deselect();
    cp.dialoghi->risposteTesto = {QStringLiteral("due")};
    Premi(Qt::Key_F);
    EXPECT_EQ(cp.dialoghi->testi().last(), QStringLiteral("Testo non trovato"));
}

TEST_F(CercaSostituisci, ExactCaseReachedFromTheKeyboard) {
    // Shift turns the backslash key into "|": the same key, 92, either way.
    for (Qt::Key tasto : {Qt::Key_Bar, Qt::Key_Backslash}) {
        SCOPED_TRACE(int(tasto));
        EXPECT_EQ(CodiceTasto(QKeyEvent(QEvent::KeyPress, tasto, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)),
                  Tasto::Barra);
    }
    Fuoco(f.txt[10]);
    f.txt[10]->setText(QStringLiteral("uno DUE tre"));
    f.txt[10]->deselect();
    int barra = CodiceTasto(QKeyEvent(QEvent::KeyPress, Qt::Key_Bar, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
    GestTastiForm(barra, 7, f);
    cp.dialoghi->risposteTesto = {QStringLiteral("due")};
    Premi(Qt::Key_F);
    EXPECT_EQ(cp.dialoghi->testi().last(), QStringLiteral("Testo non trovato"));
}

TEST_F(CercaSostituisci, NextPreviousAndBackwardsFromTheEnd) {
    Fuoco(f.txt[10]);
    f.txt[10]->setText(QStringLiteral("ab-ab-ab"));
    cp.dialoghi->risposteTesto = {QStringLiteral("ab")};
    Premi(Qt::Key_F, true);  // Shift: backwards from the end
    EXPECT_EQ(f.txt[10]->selectionStart(), 6);
    Premi(Qt::Key_PageUp);
    EXPECT_EQ(f.txt[10]->selectionStart(), 3);
    Premi(Qt::Key_PageUp);
    EXPECT_EQ(f.txt[10]->selectionStart(), 0);
    Premi(Qt::Key_PageDown);
    EXPECT_EQ(f.txt[10]->selectionStart(), 3);
}

TEST_F(CercaSostituisci, ReplacingTheSelectionThenSelectingTheNextOccurrence) {
    Fuoco(f.txt[10]);
    f.txt[10]->setText(QStringLiteral("rosso, verde, rosso"));
    f.txt[10]->setSelection(0, 5);
    cp.dialoghi->risposteTesto = {QStringLiteral("rosso"), QStringLiteral("blu")};
    Premi(Qt::Key_S);
    EXPECT_EQ(f.txt[10]->text(), QStringLiteral("blu, verde, rosso"));
    EXPECT_EQ(Selezione(), QStringLiteral("rosso"));
    EXPECT_EQ(f.txt[10]->selectionStart(), 12);
    // Ctrl+Alt+Shift+Page Down replaces the selection found.
    Premi(Qt::Key_PageDown, true);
    EXPECT_EQ(f.txt[10]->text(), QStringLiteral("blu, verde, blu"));
}

TEST_F(CercaSostituisci, AReplacementHoldingTheSearchTextIsNotReplacedAgain) {
    Fuoco(f.txt[10]);
    f.txt[10]->setText(QStringLiteral("a-b-a"));
    f.txt[10]->setSelection(0, 1);
    cp.dialoghi->risposteTesto = {QStringLiteral("a"), QStringLiteral("aa")};
    Premi(Qt::Key_S);
    EXPECT_EQ(f.txt[10]->text(), QStringLiteral("aa-b-a"));
    EXPECT_EQ(f.txt[10]->selectionStart(), 5);  // the next "a" after the replacement
    Premi(Qt::Key_PageDown, true);
    EXPECT_EQ(f.txt[10]->text(), QStringLiteral("aa-b-aa"));
    EXPECT_EQ(cp.dialoghi->testi().last(), QStringLiteral("Testo non trovato"));
}

TEST_F(CercaSostituisci, ReplacingWhatIsNotThereChangesNothing) {
    Fuoco(f.txt[10]);
    f.txt[10]->setText(QStringLiteral("rosso"));
    cp.dialoghi->risposteTesto = {QStringLiteral("giallo"), QStringLiteral("blu")};
    Premi(Qt::Key_S);
    EXPECT_EQ(f.txt[10]->text(), QStringLiteral("rosso"));
    EXPECT_EQ(cp.dialoghi->testi().last(), QStringLiteral("Testo non trovato"));
}

TEST_F(CercaSostituisci, SelectionDifferentFromTheSearchReplacesTheOccurrenceFound) {
    Fuoco(f.txtNote);
    f.txtNote->setPlainText(QStringLiteral("uno\ndue\ntre"));
    cp.dialoghi->risposteTesto = {QStringLiteral("due"), QStringLiteral("2")};
    int codice = 'S';
    GestTastiForm(codice, 6, f);
    EXPECT_EQ(f.txtNote->toPlainText(), QStringLiteral("uno\n2\ntre"));
    EXPECT_EQ(f.txtNote->textCursor().selectedText(), QStringLiteral("2"));
}

// Navigation and Alt keys as toolbar commands.
class Comandi : public ::testing::Test {
protected:
    ContestoProva cp;
    FormProva f;
    void Prepara(bool pagina, bool linee, bool lista) {
        f.conPagina = pagina;
        f.conLinee = linee;
        f.conLista = lista;
        InizForm(f, pagina, linee, lista);
        FineInizForm(f, pagina, linee, lista);
        Attiva(f);
        f.txt[10]->setFocus();
        QApplication::processEvents();
    }
};

TEST_F(Comandi, PageBlock) {
    Prepara(true, false, false);
    f.comPag.tasti.insert('N', QStringLiteral("Nuovo"));
    f.proprio = QStringLiteral("Dettaglio");
    QTest::keyClick(f.txt[10], Qt::Key_PageUp, Qt::AltModifier);
    QTest::keyClick(f.txt[10], Qt::Key_Home, Qt::AltModifier);
    f.Bottone(f.tolPag, QStringLiteral("Fine"))->setEnabled(false);
    QTest::keyClick(f.txt[10], Qt::Key_End, Qt::AltModifier);
    QTest::keyClick(f.txt[10], Qt::Key_N, Qt::AltModifier);
    QTest::keyClick(f.txt[10], Qt::Key_E, Qt::AltModifier);  // the form's own command key
    QTest::keyClick(f.txt[10], Qt::Key_Q, Qt::AltModifier);  // means nothing: no command, no error
    EXPECT_EQ(f.comandi, (QStringList{"Precedente", "Inizio", "Nuovo", "Dettaglio"}));
    EXPECT_TRUE(cp.dialoghi->mostrati.isEmpty());
    EXPECT_EQ(f.txt[10]->text(), QString());  // Alt with a letter types nothing

    f.comandi.clear();
    f.Bottone(f.tolPag, QStringLiteral("Nuovo"))->setVisible(false);
    QTest::keyClick(f.txt[10], Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(f.comandi.isEmpty());
}

TEST_F(Comandi, F10SearchesWhenIdleSavesWhenEditing) {
    Prepara(true, false, false);
    int codice = Tasto::F10;
    TastiComandi(codice, 0, f, true, false, false);
    EXPECT_EQ(codice, 0);
    f.comPag.flagOpe = 1;
    codice = Tasto::F10;
    TastiComandi(codice, 0, f, true, false, false);
    f.Bottone(f.tolPag, QStringLiteral("Salva"))->setEnabled(false);
    codice = Tasto::F10;
    TastiComandi(codice, 0, f, true, false, false);
    EXPECT_EQ(codice, 0);
    EXPECT_EQ(f.comandi, (QStringList{"Ricerca", "Salva"}));
    codice = Tasto::F10;
    TastiComandi(codice, 0, f, true, false, false, QStringLiteral("Proprio"));
    EXPECT_EQ(codice, Tasto::F10);
}

TEST_F(Comandi, ListAndLinesBlocks) {
    Prepara(false, true, true);
    f.lisPag.tasti.insert('S', QStringLiteral("Stampa"));
    f.linPag.tasti.insert('I', QStringLiteral("Inserisci"));
    QTest::keyClick(f.txt[10], Qt::Key_Up);
    QTest::keyClick(f.txt[10], Qt::Key_Down);
    EXPECT_EQ(f.comandi, (QStringList{"Precedente", "Successiva"}));  // the list block ends the routine
    f.comandi.clear();
    QTest::keyClick(f.txt[10], Qt::Key_S, Qt::AltModifier);
    QTest::keyClick(f.txt[10], Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(f.comandi, (QStringList{"Stampa", "Inserisci"}));

    FormProva righe;
    righe.conLinee = true;
    InizForm(righe, false, true, false);
    Attiva(righe);
    righe.txtNote->setFocus();
    righe.txtNote->setPlainText(QStringLiteral("a\nb"));
    QTest::keyClick(righe.txtNote, Qt::Key_PageDown);  // a multi-line field keeps its keys
    EXPECT_TRUE(righe.comandi.isEmpty());
    righe.txtNote->selectAll();
    QTest::keyClick(righe.txtNote, Qt::Key_PageDown);
    QTest::keyClick(righe.txtNote, Qt::Key_PageUp);
    EXPECT_EQ(righe.comandi, (QStringList{"PageDown", "PageUp"}));
}

TEST_F(Comandi, DeclaredComponentMissingIsAnError) {
    ContestoProva locale;
    FormProva g;
    int codice = 'N';
    EXPECT_THROW(TastiComandi(codice, 4, g, true, false, false), ErroreRun);
}

TEST(DividiCodice, WithAndWithoutSeparators) {
    struct Caso {
        const char* codice;
        const char* gruppo;
        const char* mastro;
        const char* conto;
    } casi[] = {{"12-34-567890", "12", "34", "567890"}, {"1234567890", "12", "34", "567890"}, {"12", "12", "", ""}};
    for (const Caso& k : casi) {
        QString g, m, c;
        DividiCodice(QString::fromLatin1(k.codice), g, m, c);
        EXPECT_EQ(g, QString::fromLatin1(k.gruppo));
        EXPECT_EQ(m, QString::fromLatin1(k.mastro));
        EXPECT_EQ(c, QString::fromLatin1(k.conto));
    }
}

TEST(FiltraTasto, EnterAndEscDroppedOtherCharactersKept) {
    ContestoProva cp;
    EXPECT_EQ(FiltraTasto(13), 0);
    EXPECT_EQ(FiltraTasto(27), 0);
    cp.c->gbInvioNelCampo = true;
    EXPECT_EQ(FiltraTasto(13), 13);
    EXPECT_EQ(FiltraTasto('a'), 'a');
    EXPECT_EQ(FiltraTasto('.'), '.');
}

}  // namespace


namespace {

class FormConteggio : public FormProva {
public:
    QStringList eventi;
    void txt_GotFocus(int Index) override { eventi << QStringLiteral("in %1").arg(Index); }
    void txt_LostFocus(int Index) override { eventi << QStringLiteral("out %1").arg(Index); }
};

TEST(FuocoCampi, OnlyMovesInsideTheFormCount) {
    ContestoProva cp;
    FormConteggio f;
    InizForm(f);
    Attiva(f);
    f.txt[10]->setFocus();
    QApplication::processEvents();
    f.txt[20]->setFocus();
    QApplication::processEvents();
    QWidget altra;
    altra.setObjectName(QStringLiteral("frmAltra"));
    Attiva(altra);  // another window comes forward and goes back
    EXPECT_EQ(QApplication::activeWindow(), &altra);
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
    Attiva(f);
    EXPECT_EQ(f.focusWidget(), f.txt[20]);
    EXPECT_EQ(f.eventi, (QStringList{"in 10", "out 10", "in 20"}));
}

}  // namespace
