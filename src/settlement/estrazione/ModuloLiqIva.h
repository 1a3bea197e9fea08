#pragma once
// One module row of a settlement communication: the INSERT into LiqIvaDett
// built from one row of the computed settlement (IvaDichPeriod for a company
// with one activity, IvaDichPeriodRiep for several activities).
#include "components/core/Valore.h"

#include <QString>
#include <QStringList>

class GestRecordset;

// What the extraction hands over for every source row.
struct SorgenteModulo {
    int anno = 0;
    int numCom = 0;
    bool multiAttivita = false;
    QString attivita;        // one activity: its code
    bool mensile = false;    // one activity: it settles monthly
    bool subfornitura = false;
    QString eventiEccezionali;
    int contatoreModuli = 0; // one activity: modules written so far
};

struct SqlModulo {
    QString sql;
    int modulo = 0;
    int periodo = 0;  // month or quarter, as the warnings name it
};

// Builds the statement for the current row of the source query; with one
// activity it advances the module counter. Reads IvaRiep and, for the credit
// of the previous year, the earlier rows of the year; writes nothing.
SqlModulo ComponiSqlModulo(SorgenteModulo& s, GestRecordset& rs, const QString& chiave);

// Reads the IvaRiep row of the year and activity: the column names in campi
// become their values. False (campi untouched) for an empty activity or year
// 0; false with campi emptied when there is no row. A failure is shown and
// raised again, so that the caller stops.
bool LeggiIvaRiep(QList<Valore>& campi, int anno, const QString& attivita);
void LeggiCampiRec(QList<Valore>& campi, GestRecordset& rs, const QString& chiave);
void AzzeraCampi(QList<Valore>& campi);
