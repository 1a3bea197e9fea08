#pragma once
// Context of the print-job tests: settings files in a temporary folder, the
// menu and dialog doubles, and the job services put back after each test.
#include "components/core/ErroreRun.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/stampa/FrmVStampa.h"
#include "components/util/UtilGenerali.h"
#include "print/lavoro/LavoroStampa.h"
#include "startup/Contesto.h"
#include "support/AppTest.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class LavoroTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<Contesto> c = std::make_shared<Contesto>();
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<MenuClientFinto> menu = std::make_shared<MenuClientFinto>();
    std::shared_ptr<OpzSta> opz = std::make_shared<OpzSta>();

    void SetUp() override {
        AppTest();
        c->ggDialoghi = dialoghi;
        c->ggMenuClient = menu;
        c->gsFileIni = dir.filePath("qorwin.ini");
        c->gsFileIniDb = dir.filePath("comune.ini");
        c->gtDataLavoro = QDate(2026, 12, 10);
        ImpostaContesto(c);
        RipristinaServiziLavoroStampa();
        serviziLavoroStampa().StampanteCorrente = [] { return QString(); };
        serviziLavoroStampa().Adesso = [] { return QDateTime(QDate(2026, 12, 10), QTime(15, 30, 12)); };
        opz->Sezione = QStringLiteral("PRGLIQ");
    }
    void TearDown() override {
        RegistroStampa::Installa(nullptr);
        if (FrmVStampa::EsisteIstanza()) {
            c->giStaAtt = 0;
            FrmVStampa::Istanza()->Scarica();
        }
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        RipristinaServiziLavoroStampa();
        ImpostaContesto(nullptr);
    }
    void ini(const QString& file, const QByteArray& testo) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(testo);
    }
    static QByteArray leggi(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // A print object as a writer sets it up.
    std::unique_ptr<Stampa> preparata(const QString& sezione = QStringLiteral("PRGLIQ")) {
        auto st = std::make_unique<Stampa>();
        InizStampa(*st);
        st->ogOpzSta = opz;
        IniParamStampa(sezione, *st);
        return st;
    }
};
