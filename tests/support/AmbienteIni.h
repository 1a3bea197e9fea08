#pragma once
// A fresh program context for tests that read and write settings: scripted
// dialogs, the menu double and the two settings files in a temporary folder.
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"
#include "support/AppTest.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class AmbienteIni : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<Contesto> c = std::make_shared<Contesto>();
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<MenuClientFinto> menu = std::make_shared<MenuClientFinto>();

    void SetUp() override {
        AppTest();
        c->ggDialoghi = dialoghi;
        c->ggMenuClient = menu;
        c->gsFileIni = dir.filePath("qorwin.ini");
        c->gsFileIniDb = dir.filePath("comune.ini");
        ImpostaContesto(c);
    }
    void TearDown() override { ImpostaContesto(nullptr); }

    static void scrivi(const QString& file, const QByteArray& dati) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(dati);
    }
    static QByteArray leggi(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
