#pragma once
// A year of plausible bookkeeping for a company database made from
// schema/azienda.sql: countries, chart of accounts with Italian, EU and
// non-EU clients and suppliers (companies with VAT numbers, private persons
// with tax codes, a public body, a customs office, fictitious clients), the
// causals and VAT codes of the suite, the VAT registers (one of them a
// haulage register), and the registrations of the year: issued and received
// invoices, credit notes, split payment, deferred and cash-basis VAT,
// intra-EU and non-EU trade, reverse charge, customs bills, zero-rate lines
// with their natures, the haulage register's documents and the
// registrations of fictitious clients. The demo generator and the
// benchmarks write their companies with it; the same parameters give the
// same data.
#include <cstdint>
#include <string>

struct sqlite3;

struct ParametriContabilita {
    int anno = 2018;
    long registrazioni = 600;    // real registrations (issued and received)
    double righeIvaMedie = 1.5;  // mean VAT lines per registration, at least 1
    long fittizie = 24;          // registrations of fictitious clients
    uint32_t seme = 1;
};

// What was written.
struct ConteggiContabilita {
    long registrazioni = 0;  // real and fictitious
    long righeIva = 0;
    long righe = 0;          // registration lines
};

// Writes everything in one transaction; throws std::runtime_error with the
// database's message on a failure (the transaction is rolled back).
ConteggiContabilita GeneraContabilita(sqlite3* db, const ParametriContabilita& p);
