#pragma once
// Selection of the registrations of an invoice-data communication (Part
// 5.103): the period dates of a year and number by era, the haulage
// registers of the year, the filter over the communication rows, and the SQL
// text that one kind and one pass of the run open as their record set.
// Everything here but LeggiPrefTrasp is pure text building: it reads the
// extraction form's fields from OpzioniDatiFat and the run state from
// PassataDatiFat, and every value goes into the text as a literal of
// FormatoSql. The SQL is what a database file and the server take alike:
// the iif, dateserial, format and "&" of the original queries are written as
// CASE, month counts, CAST and "||"; flags compare Null and "" alike.
#include <QDate>
#include <QString>

class GestoreDb;

// The options of the extraction form as its fields hold them.
struct OpzioniDatiFat {
    QString anno;      // txt 10
    QString numCom;    // txt 20
    QString dataDa;    // txt 30, "dd/mm/yyyy"
    QString dataA;     // txt 40
    bool clienti = true;         // cheCosaEstr 0: issued invoices, kind "E"
    bool fornitori = true;       // cheCosaEstr 1: received invoices, kind "R"
    bool cliFittizi = false;     // cheCliFittizi: fictitious clients on "TD20" causals
    bool soloStranieri = false;  // cheSoloStran
};

// The three tables of a pass and the registration-number offset of its rows
// in the communication tables.
struct TabellePassata {
    QString tes, dett, iva;
    long offset = 0;
    // " + 100000" for the fictitious pass, "" for the real one.
    QString OffsetTesto() const;
};
TabellePassata PassataReale();
TabellePassata PassataFittizia();

// What PrepSql reads of the run state.
struct PassataDatiFat {
    QString tipo;           // "E" or "R"
    TabellePassata tabelle;
    bool datiPrec = false;  // rows of the communication and kind, not cancelled, exist
    QString prefTrasp;      // haulage prefixes, as LeggiPrefTrasp gives them
};

// First and last day of the period: half-years before 2019, months in 2019,
// quarters from 2020; a month past December falls in the next year.
struct PeriodoDatiFat {
    QDate da, a;
};
PeriodoDatiFat ImpDateSel(int anno, int numero);

// The prefixes of the year's haulage sales registers: "" none, the one
// prefix as stored, or "('A','B')" for several.
QString LeggiPrefTrasp(GestoreDb& gestDb, const QString& idDb, const QString& anno);

// " AND " + the condition that selects a client's document of header table
// psMovPnTes for the period from dataDa to dataA (the options' texts): the
// first day of its VAT period for a haulage register's document, its
// document date otherwise, within the period.
QString SelTrasp(const QString& prefTrasp, const QString& psMovPnTes, const QString& dataDa, const QString& dataA);

// " Where " + the filter over the communication's header rows (alias
// psAlias, "DatiFatTest" when empty): not cancelled, not sent with
// pbNoInvio, of kind psCosaEstr or, when it is empty, of the ticked kinds.
QString SqlWhere(const OpzioniDatiFat& o, bool pbNoInvio, const QString& psCosaEstr, const QString& psAlias);

// The SQL text of the pass: one row per VAT line of every registration of
// the period that belongs in the communication, with its header, its
// counterparty line, causal, chained causal, VAT code, account, country and
// EsistePerPrec ("2019/12" when the registration stands in a communication,
// Null otherwise), ordered by registration and VAT line.
QString PrepSql(const OpzioniDatiFat& o, const PassataDatiFat& p);
