// Puts a database file on the server: copia_su_server <file> <service> <schema script>
// (login from COMIVA_PG_UTENTE and COMIVA_PG_PASSWORD). For the demo on a server.
#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "server/CopiaSuServer.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 4) {
        std::fprintf(stderr, "uso: copia_su_server <file di database> <servizio> <script dello schema>\n");
        return 2;
    }
    QFile script(a[3]);
    if (!script.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "copia_su_server: script %s non leggibile\n", qPrintable(a[3]));
        return 1;
    }
    try {
        GestoreDb g;
        g.ScriviProprieta(QStringLiteral("DbSqlPubUID"), 12, Valore(qEnvironmentVariable("COMIVA_PG_UTENTE")));
        g.ScriviProprieta(QStringLiteral("DbSqlPubPWD"), 12, Valore(qEnvironmentVariable("COMIVA_PG_PASSWORD")));
        const QString file = g.ApriDatabase(a[1]);
        const QString server = g.ApriDatabase(a[2]);
        const long righe = CopiaSuServer(g, file, server, QString::fromUtf8(script.readAll()));
        std::printf("%s: %ld righe copiate nel servizio %s\n", qPrintable(a[1]), righe, qPrintable(a[2]));
    } catch (const ErroreRun& e) {
        std::fprintf(stderr, "copia_su_server: %s\n", qPrintable(e.descrizione()));
        return 1;
    }
    return 0;
}
