#include "components/platform/TraduzioniQt.h"
#include "support/AppTest.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(TraduzioniQt, QtsOwnButtonsAndDialogsSpeakItalian) {
    QApplication& app = AppTest();
    ASSERT_TRUE(CaricaTraduzioniQt(app)) << "Qt's Italian translations are missing (scripts/setup installs them)";
    const struct {
        QDialogButtonBox::StandardButton pulsante;
        const char* testo;
    } casi[] = {
        {QDialogButtonBox::Cancel, "Annulla"},
        {QDialogButtonBox::Yes, "Sì"},
        {QDialogButtonBox::Close, "Chiudi"},
        {QDialogButtonBox::Save, "Salva"},
    };
    QDialogButtonBox pulsanti;
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        // Mnemonics come and go with the platform: the words count.
        EXPECT_EQ(pulsanti.addButton(c.pulsante)->text().remove(QLatin1Char('&')), QString::fromUtf8(c.testo));
    }
    // The file dialog's own texts come from the same translations.
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Cerca in:"));
}
