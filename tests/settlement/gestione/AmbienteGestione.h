#pragma once
// A company with settlement communications for the management screens:
// declarant data, two communications of 2018 with modules, scripted dialogs.
#include "common/form/FormComune.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClientFinto.h"
#include "components/pages/ModelloGriglia.h"
#include "components/platform/DialoghiScriptati.h"
#include "settlement/gestione/FrmLiqIvaTest.h"
#include "contesto/Contesto.h"
#include "support/AppTest.h"
#include "support/Fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <gtest/gtest.h>

class AmbienteGestione : public ::testing::Test {
public:
    explicit AmbienteGestione(Motore motore = Motore::File) : fx(motore) {}
    void SetUp() override {
        contesto = fx.InstallaContesto();
        contesto->ggDialoghi = dialoghi;
        contesto->ggMenuClient = menu;
        contesto->gtDataLavoro = QDate(2018, 3, 15);
        contesto->gsFmtImp = contesto->gsFmtImpEuro = QStringLiteral("#,##0.00");
        fx.Inserisci(fx.idAzienda, "Ditta",
                     {{"CodFisc", "01234567897"}, {"PartIva", "01234567897"}, {"RagSoc", "Rossi Forniture S.r.l."},
                      {"StatoGiurid", "G"}});
        fx.Inserisci(fx.idAzienda, "IvaDichPeriodGen",
                     {{"DichGruppo", "N"}, {"CodFiscFirmaDich", "RSSGPP65B12F205H"}, {"Carica", "1"}, {"FirmaDich", "S"}});
        Testata(2018, 1, "s", "S");
        Testata(2018, 2, "N", "X");
        Modulo(2018, 1, 1, Valore(3), Valore::null(), 1234.56, 0);
        Modulo(2018, 1, 2, Valore::null(), Valore(1), 0, 80);
        Modulo(2018, 2, 1, Valore(4), Valore::null(), 150, 0);
    }
    void TearDown() override {
        if (form) delete form.data();
    }
    void Testata(int anno, int num, const char* gruppo, const char* anomalie) {
        fx.Inserisci(fx.idAzienda, "LiqIvaTest",
                     {{"Anno", anno}, {"NumCom", num}, {"CodiceFiscale", "01234567897"}, {"PartitaIva", "01234567897"},
                      {"LiquidazioneGruppo", gruppo}, {"FirmaDichiarazione", "N"}, {"FirmaIntermediario", ""},
                      {"ImpegnoPresentazione", "2"}, {"FlagConferma", anomalie}});
    }
    void Modulo(int anno, int num, int modulo, const Valore& mese, const Valore& trimestre, double versare, double credito) {
        fx.Inserisci(fx.idAzienda, "LiqIvaDett",
                     {{"Anno", anno}, {"NumCom", num}, {"Modulo", modulo}, {"Mese", mese}, {"Trimestre", trimestre},
                      {"IvaDovuta", versare}, {"ImportoDaVersare", versare}, {"ImportoACredito", credito},
                      {"Subfornitura", "N"}, {"OpStraordinarie", "S"}, {"MetodoAcconto", "2"}});
    }
    frmLiqIvaTest& Carica(const QString& param = {}) {
        form = new frmLiqIvaTest;
        form->osParam = param;
        form->Carica();
        EXPECT_EQ(form->oiLoadOk, 1) << dialoghi->testi().join(" | ").toStdString();
        form->show();
        QApplication::setActiveWindow(form);
        return *form;
    }
    void Cerca(const QString& anno, const QString& num) {
        form->txt[20]->setText(anno);
        form->txt[10]->setText(num);
        form->ButtonComando("Ricerca");
    }
    QString Valori(const QString& sql) {
        ModelloGriglia m;
        m.Carica(*fx.gestDb, fx.idAzienda, sql);
        QStringList t;
        for (int r = 0; r < m.rowCount(); ++r)
            for (int c = 0; c < m.columnCount(); ++c) t << m.TestoCella(r, c);
        return t.join(QLatin1Char(' '));
    }
    bool Rosso(QWidget* w) const { return BackColor(w) == contesto->glColErrore; }

    bool app_ = (AppTest(), true);
    FixtureDb fx;
    std::shared_ptr<Contesto> contesto;
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<MenuClientFinto> menu = std::make_shared<MenuClientFinto>();
    QPointer<frmLiqIvaTest> form;
};
