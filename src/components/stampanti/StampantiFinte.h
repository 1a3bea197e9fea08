#pragma once
// Test double of the printer service: the printers, the default printer and
// each driver's bins and paper sizes are whatever the test sets (by printer
// name, case ignored; none set: nothing offered).
#include "components/stampanti/ServizioStampanti.h"

#include <QMap>

struct DriverFinto {
    QList<int> numeriCassetti;
    QStringList nomiCassetti;
    QList<int> numeriFormati;
    QStringList nomiFormati;
    int formatoCorrente = 0;
};

class StampantiFinte : public ServizioStampanti {
public:
    QList<StampanteInstallata> stampanti;
    QString predefinita;
    QMap<QString, DriverFinto> driver;  // keys in lower case

    QList<StampanteInstallata> Installate() const override { return stampanti; }
    QString NomePredefinita() const override { return predefinita; }
    QList<int> NumeriCassetti(const QString& nome) const override { return di(nome).numeriCassetti; }
    QStringList NomiCassetti(const QString& nome) const override { return di(nome).nomiCassetti; }
    QList<int> NumeriFormati(const QString& nome) const override { return di(nome).numeriFormati; }
    QStringList NomiFormati(const QString& nome) const override { return di(nome).nomiFormati; }
    int FormatoCorrente(const QString& nome) const override { return di(nome).formatoCorrente; }

private:
    DriverFinto di(const QString& nome) const {
        return driver.value((nome.isEmpty() ? predefinita : nome).toLower());
    }
};
