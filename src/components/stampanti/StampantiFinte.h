#pragma once
// Test double of the printer service: the printers and the default printer
// are whatever the test sets.
#include "components/stampanti/ServizioStampanti.h"

class StampantiFinte : public ServizioStampanti {
public:
    QList<StampanteInstallata> stampanti;
    QString predefinita;

    QList<StampanteInstallata> Installate() const override { return stampanti; }
    QString NomePredefinita() const override { return predefinita; }
};
