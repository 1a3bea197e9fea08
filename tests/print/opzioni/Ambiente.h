#pragma once
// A fresh program context for the print-option tests: scripted dialogs, the
// menu double, two settings files in a temporary folder and a printer double.
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/stampanti/StampantiFinte.h"
#include "startup/Contesto.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class AmbienteStampa : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<Contesto> c = std::make_shared<Contesto>();
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<MenuClientFinto> menu = std::make_shared<MenuClientFinto>();
    std::shared_ptr<StampantiFinte> stampanti = std::make_shared<StampantiFinte>();

    void SetUp() override {
        c->ggDialoghi = dialoghi;
        c->ggMenuClient = menu;
        c->gsFileIni = dir.filePath("qorwin.ini");
        c->gsFileIniDb = dir.filePath("comune.ini");
        c->gsChiavePrg = QStringLiteral("COMIVA");
        ImpostaContesto(c);
        stampanti->stampanti = {{"Laser", "ipp://srv/laser"}, {"Ufficio_TS3", "usb://ufficio"},
                                {"PDFCreator", "PDFCreator"}};
        stampanti->predefinita = QStringLiteral("Laser");
        ImpostaServizioStampanti(stampanti);
    }
    void TearDown() override {
        ImpostaServizioStampanti(nullptr);
        ImpostaContesto(nullptr);
    }

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
