#pragma once
// What leaves a line of a lines screen while the user has typed in it, on a
// new line and on a stored one: "Nuovo" (again) from the toolbar, or a click
// on another row of the grid. Each move must ask "Dati della riga in
// variazione. Salvare le modifiche?", and "&Annulla" must keep the user on the
// line as typed: same state, same counter, nothing stored.
#include "common/schermi/SchermoLinee.h"
#include "components/platform/DialoghiScriptati.h"
#include "support/Clic.h"

#include <QApplication>
#include <QLineEdit>
#include <QMap>
#include <QTest>
#include <gtest/gtest.h>

struct MossaRiga {
    const char* nome;
    bool nuova;    // typed in a new line, else in the first stored line
    bool griglia;  // a click on the grid's second row, else "Nuovo"
};

inline constexpr MossaRiga kMosseRiga[] = {
    {.nome = "new line, \"Nuovo\" again", .nuova = true, .griglia = false},
    {.nome = "new line, a click on a row", .nuova = true, .griglia = true},
    {.nome = "stored line, \"Nuovo\"", .nuova = false, .griglia = false},
    {.nome = "stored line, a click on another row", .nuova = false, .griglia = true},
};

// Runs every move on the screen (it needs two stored lines): `digitati` are
// the boxes typed in and their texts. Returns after dropping each case's
// typing with a confirmed "Annulla".
inline void VerificaMosseRiga(SchermoLinee& d, DialoghiScriptati& dialoghi, const QMap<int, QString>& digitati) {
    QApplication::setActiveWindow(&d);
    for (const MossaRiga& m : kMosseRiga) {
        SCOPED_TRACE(m.nome);
        CliccaComando(d.tolLinPag_, QStringLiteral("Inizio"));
        if (m.nuova) CliccaComando(d.tolLinPag_, QStringLiteral("Nuovo"));
        for (auto it = digitati.begin(); it != digitati.end(); ++it) DigitaSopra(d.txt[it.key()], it.value());
        const int stato = d.Linee().LeggiStato();
        const QString contatore = d.txtRiga_->text();
        dialoghi.mostrati.clear();
        dialoghi.risposte = {3};  // "&Annulla"
        if (m.griglia) CliccaRigaGriglia(d.dbgRiga, 1);
        else CliccaComando(d.tolLinPag_, QStringLiteral("Nuovo"));
        EXPECT_EQ(dialoghi.testi().join(" | ").toStdString(), "Dati della riga in variazione. Salvare le modifiche?");
        for (auto it = digitati.begin(); it != digitati.end(); ++it)
            EXPECT_EQ(d.txt[it.key()]->text().toStdString(), it.value().toStdString()) << "box " << it.key();
        EXPECT_EQ(d.Linee().LeggiStato(), stato);
        EXPECT_EQ(d.txtRiga_->text().toStdString(), contatore.toStdString());
        dialoghi.risposte = {1};  // the typing dropped on purpose, for the next case
        CliccaComando(d.tolLinPag_, QStringLiteral("Annulla"));
        EXPECT_EQ(d.Linee().LeggiStato(), LinPag::Scorrimento);
    }
}
