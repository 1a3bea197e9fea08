#pragma once
// A fresh program context for the print-option tests: scripted dialogs, the
// menu double, two settings files in a temporary folder and a printer double.
#include "components/stampanti/StampantiFinte.h"
#include "support/AmbienteIni.h"

class AmbienteStampa : public AmbienteIni {
protected:
    std::shared_ptr<StampantiFinte> stampanti = std::make_shared<StampantiFinte>();

    void SetUp() override {
        AmbienteIni::SetUp();
        c->gsChiavePrg = QStringLiteral("COMIVA");
        stampanti->stampanti = {{"Laser", "ipp://srv/laser"}, {"Ufficio_TS3", "usb://ufficio"},
                                {"PDFCreator", "PDFCreator"}};
        stampanti->predefinita = QStringLiteral("Laser");
        ImpostaServizioStampanti(stampanti);
    }
    void TearDown() override {
        ImpostaServizioStampanti(nullptr);
        AmbienteIni::TearDown();
    }
};
