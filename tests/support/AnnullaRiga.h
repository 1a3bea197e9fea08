#pragma once
// A stored line the user typed in, dropped by "Annulla" answered "Sì" or by
// a move answered "No": the line must read exactly as stored and count as
// unchanged whatever follows (closing, moving to another line and back,
// saving), so that nothing is computed again and nothing is asked. Driven as
// the user does: a click in the box and the toolbar, or the keyboard alone
// (Tab to the box, Alt+A, Alt+H, the arrows). The question's answer (Alt+S
// for "&Sì" in the real box) comes from the script.
#include "common/schermi/SchermoLinee.h"
#include "components/platform/DialoghiScriptati.h"
#include "support/Clic.h"

#include <QApplication>
#include <QLineEdit>
#include <QMap>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

// How the typing is dropped: "Annulla" answered "Sì", or a move to the next
// line answered "No" (and back, on the line as stored).
enum class Ripristino { AnnullaSi, SpostamentoNo };
enum class DopoAnnulla { Chiudi, AltraRigaERitorno, Salva };

struct CasoAnnulla {
    const char* nome;
    bool tastiera;  // Tab, Alt keys, arrows; else mouse and toolbar
    DopoAnnulla dopo;
    Ripristino ripristino = Ripristino::AnnullaSi;
};

inline constexpr CasoAnnulla kCasiAnnulla[] = {
    {.nome = "toolbar \"Annulla\", \"Sì\", \"Chiudi\"", .tastiera = false, .dopo = DopoAnnulla::Chiudi},
    {.nome = "Tab, Alt+A, \"Sì\", Alt+H", .tastiera = true, .dopo = DopoAnnulla::Chiudi},
    {.nome = "Alt+A, \"Sì\", Down and Up", .tastiera = true, .dopo = DopoAnnulla::AltraRigaERitorno},
    {.nome = "toolbar \"Annulla\", \"Sì\", \"Fine\" and \"Inizio\"", .tastiera = false,
     .dopo = DopoAnnulla::AltraRigaERitorno},
    {.nome = "toolbar \"Annulla\", \"Sì\", \"Salva\"", .tastiera = false, .dopo = DopoAnnulla::Salva},
    {.nome = "Down answered \"No\", Up, Alt+H", .tastiera = true, .dopo = DopoAnnulla::Chiudi,
     .ripristino = Ripristino::SpostamentoNo},
};

// The texts of every box, by index.
inline QMap<int, QString> TestiBox(const SchermoLinee& d) {
    QMap<int, QString> t;
    for (auto it = d.txt.cbegin(); it != d.txt.cend(); ++it) t[it.key()] = it.value()->text();
    return t;
}

inline void TastoAlt(SchermoLinee& d, Qt::Key tasto) {
    QTest::keyClick(d.focusWidget() ? d.focusWidget() : &d, tasto, Qt::AltModifier);
}

// On the first stored line (the screen needs two): reaches the box, types the
// text, cancels with "Sì", then runs the case's follow-up. `dopoRipristino`
// runs between the two, when the line has just been put back.
inline void AnnullaESegui(SchermoLinee& d, DialoghiScriptati& dialoghi, const CasoAnnulla& c, int box,
                          const QString& testo, const std::function<void()>& dopoRipristino = {}) {
    QApplication::setActiveWindow(&d);
    ASSERT_EQ(d.txtRiga_->text().left(2), "1 ");
    QLineEdit* casella = d.txt.value(box);
    ASSERT_NE(casella, nullptr);
    if (c.tastiera) {
        for (int i = 0; i < 40 && d.focusWidget() != casella; ++i)
            QTest::keyClick(d.focusWidget() ? d.focusWidget() : &d, Qt::Key_Tab);
        ASSERT_EQ(d.focusWidget(), casella) << "Tab reaches the box";
    } else {
        QTest::mouseClick(casella, Qt::LeftButton);
        ASSERT_EQ(d.focusWidget(), casella);
    }
    QTest::keyClicks(casella, testo);
    ASSERT_TRUE(casella->text().contains(testo)) << "typed";

    dialoghi.mostrati.clear();
    if (c.ripristino == Ripristino::AnnullaSi) {
        dialoghi.risposte = {1};  // "&Sì"
        if (c.tastiera) TastoAlt(d, Qt::Key_A);
        else CliccaComando(d.tolLinPag_, QStringLiteral("Annulla"));
        EXPECT_EQ(dialoghi.testi().join(" | ").toStdString(), "Annullare le modifiche della riga?");
    } else {
        dialoghi.risposte = {2};  // "&No"
        QTest::keyClick(d.focusWidget(), Qt::Key_Down);
        EXPECT_EQ(d.txtRiga_->text().left(2), "2 ");
        QTest::keyClick(d.focusWidget(), Qt::Key_Up);
        EXPECT_EQ(d.txtRiga_->text().left(2), "1 ");
        EXPECT_EQ(dialoghi.testi().join(" | ").toStdString(), "Dati della riga in variazione. Salvare le modifiche?");
    }
    if (dopoRipristino) dopoRipristino();

    dialoghi.mostrati.clear();
    dialoghi.risposte.clear();
    switch (c.dopo) {
    case DopoAnnulla::Chiudi:
        if (c.tastiera) TastoAlt(d, Qt::Key_H);
        else CliccaComando(d.tolLinPag_, QStringLiteral("Chiudi"));
        break;
    case DopoAnnulla::AltraRigaERitorno:
        if (c.tastiera) {
            QTest::keyClick(d.focusWidget(), Qt::Key_Down);
            EXPECT_EQ(d.txtRiga_->text().left(2), "2 ");
            QTest::keyClick(d.focusWidget(), Qt::Key_Up);
        } else {
            CliccaComando(d.tolLinPag_, QStringLiteral("Fine"));
            EXPECT_EQ(d.txtRiga_->text().left(2), "2 ");
            CliccaComando(d.tolLinPag_, QStringLiteral("Inizio"));
        }
        EXPECT_EQ(d.txtRiga_->text().left(2), "1 ") << "back on the first line";
        break;
    case DopoAnnulla::Salva:
        CliccaComando(d.tolLinPag_, QStringLiteral("Salva"));
        break;
    }
    EXPECT_EQ(dialoghi.testi().join(" | ").toStdString(), "") << "nothing asked after the line was put back";
}
