// Writes a year of demo bookkeeping into a company database made from
// schema/azienda.sql (tools/contabilita/ContabilitaDemo.h says what).
//   genera_contabilita <database> [--anno N] [--registrazioni N]
//                      [--righe-iva X] [--fittizie N] [--seme N]
#include "contabilita/ContabilitaDemo.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <sqlite3.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("uso: genera_contabilita <database> [--anno N] [--registrazioni N] [--righe-iva X]"
                   " [--fittizie N] [--seme N]\n",
                   stderr);
        return 2;
    }
    ParametriContabilita p;
    for (int i = 2; i + 1 < argc; i += 2) {
        const char* o = argv[i];
        const char* v = argv[i + 1];
        if (!std::strcmp(o, "--anno")) p.anno = std::atoi(v);
        else if (!std::strcmp(o, "--registrazioni")) p.registrazioni = std::atol(v);
        else if (!std::strcmp(o, "--righe-iva")) p.righeIvaMedie = std::atof(v);
        else if (!std::strcmp(o, "--fittizie")) p.fittizie = std::atol(v);
        else if (!std::strcmp(o, "--seme")) p.seme = static_cast<uint32_t>(std::strtoul(v, nullptr, 10));
        else {
            std::fprintf(stderr, "opzione sconosciuta: %s\n", o);
            return 2;
        }
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", argv[1], db ? sqlite3_errmsg(db) : "memoria esaurita");
        sqlite3_close(db);
        return 1;
    }
    sqlite3_busy_timeout(db, 5000);
    int esito = 0;
    try {
        const ConteggiContabilita c = GeneraContabilita(db, p);
        std::printf("%s: %ld registrazioni, %ld righe iva, %ld righe\n", argv[1], c.registrazioni, c.righeIva,
                    c.righe);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        esito = 1;
    }
    sqlite3_close(db);
    return esito;
}
