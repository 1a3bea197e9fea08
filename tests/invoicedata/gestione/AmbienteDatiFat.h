#pragma once
// A company with invoice-data communications for the management screens:
// headers and lines written directly in the states the extraction and the
// file runs leave them (extracted, sent, cancelled with the file, cancelled
// singly), scripted dialogs and a scripted lookup library.
#include "common/form/FormComune.h"
#include "components/db/GestoreDb.h"
#include "components/lookup/AiutiFinti.h"
#include "components/menu/MenuClientFinto.h"
#include "components/pages/ModelloGriglia.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"
#include "invoicedata/gestione/FrmDatiFatGest.h"
#include "support/AppTest.h"
#include "support/Fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <gtest/gtest.h>

// One DatiFatTest row; the defaults are a record extracted and not sent.
struct TestataDF {
    int annoCom = 2018;
    int numCom = 1;
    int annoReg = 2018;
    int numReg = 10;
    int numCanc = 0;
    const char* tipo = "E";
    const char* stato = "N";
    int numInv = 0;
    int progr = 0;
    const char* nomeFile = nullptr;  // Null
    int righe = 1;                   // lines 1..righe
};

class AmbienteDatiFat : public ::testing::Test {
public:
    explicit AmbienteDatiFat(Motore motore = Motore::File) : fx(motore) {}
    void SetUp() override {
        contesto = fx.InstallaContesto();
        contesto->ggDialoghi = dialoghi;
        contesto->ggMenuClient = menu;
        contesto->ggAiuti = aiuti;
        contesto->gtDataLavoro = QDate(2018, 6, 15);
        contesto->gsFmtImp = contesto->gsFmtImpEuro = QStringLiteral("#,##0.00");
        aiuti->codici[QStringLiteral("conto")] = {{QStringLiteral("04-01-000012"), QStringLiteral("Bianchi S.p.A.")},
                                                   {QStringLiteral("0401000012"), QStringLiteral("Bianchi S.p.A.")}};
        aiuti->codici[QStringLiteral("decodifiche")] = {{QStringLiteral("TD01"), QStringLiteral("Fattura")},
                                                         {QStringLiteral("N4"), QStringLiteral("Esenti")}};
    }
    void TearDown() override {
        if (form) delete form.data();
    }
    void Testata(const TestataDF& t) {
        fx.Inserisci(fx.idAzienda, "DatiFatTest",
                     {{"AnnoCom", t.annoCom}, {"NumCom", t.numCom}, {"AnnoReg", t.annoReg}, {"NumReg", t.numReg},
                      {"NumCanc", t.numCanc}, {"Tipo", t.tipo}, {"Stato", t.stato}, {"NumInv", t.numInv},
                      {"Progr", t.progr}, {"NomeFile", t.nomeFile ? Valore(t.nomeFile) : Valore::null()},
                      {"GruppoPartita", "04"}, {"MastroPartita", "01"}, {"ContoPartita", "000012"},
                      {"TipoDocumento", "TD01"}, {"DataDoc", "2018-01-05"}, {"NumDoc", "12/A"},
                      {"DataReg", "2018-01-08"}, {"ImportoTotale", 1220.0}, {"BollaDoganale", "N"}});
        for (int n = 1; n <= t.righe; ++n) Riga(t, n);
    }
    void Riga(const TestataDF& t, int numDet, const char* natura = "", const char* esig = "I", const char* ded = "N") {
        fx.Inserisci(fx.idAzienda, "DatiFatDett",
                     {{"AnnoCom", t.annoCom}, {"NumCom", t.numCom}, {"AnnoReg", t.annoReg}, {"NumReg", t.numReg},
                      {"NumCanc", t.numCanc}, {"Tipo", t.tipo}, {"Stato", t.stato}, {"NumDet", numDet},
                      {"Aliquota", 22.0}, {"Natura", natura}, {"ImponibileImporto", 1000.0}, {"Imposta", 220.0},
                      {"EsigibilitaIva", esig}, {"Deducibile", ded}});
    }
    frmDatiFatGest& Carica() {
        form = new frmDatiFatGest;
        form->Carica();
        EXPECT_EQ(form->oiLoadOk, 1) << dialoghi->testi().join(" | ").toStdString();
        form->show();
        QApplication::setActiveWindow(form);
        return *form;
    }
    // Shows the record of that key on the page.
    void Cerca(const TestataDF& t) {
        form->txt[20]->setText(QString::number(t.annoCom));
        form->txt[10]->setText(QString::number(t.numCom));
        form->txt[30]->setText(QString::number(t.annoReg));
        form->txt[40]->setText(QString::number(t.numReg));
        form->txt[50]->setText(QString::number(t.numCanc));
        form->txt[60]->setText(t.tipo);
        form->txt[70]->setText(t.stato);
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
    std::shared_ptr<QorAiutiFinto> aiuti = std::make_shared<QorAiutiFinto>();
    QPointer<frmDatiFatGest> form;
};
