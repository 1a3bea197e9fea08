#pragma once
// Context of the print-job tests: settings files in a temporary folder, the
// menu and dialog doubles, and the job services put back after each test.
#include "components/core/ErroreRun.h"
#include "print/anteprima/FrmVStampa.h"
#include "components/util/UtilGenerali.h"
#include "print/lavoro/LavoroStampa.h"
#include "contesto/Contesto.h"
#include "support/AmbienteIni.h"

#include <QApplication>
#include <gtest/gtest.h>

class LavoroTest : public AmbienteIni {
protected:
    std::shared_ptr<OpzSta> opz = std::make_shared<OpzSta>();

    void SetUp() override {
        AmbienteIni::SetUp();
        c->gtDataLavoro = QDate(2026, 12, 10);
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
        AmbienteIni::TearDown();
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
