#include "server/CopiaSuServer.h"

#include "components/db/GestoreDb.h"
#include "components/db/Interroga.h"
#include "components/db/ServerPg.h"

#include <QStringList>
#include <vector>

namespace {

const QString kOrigine = QStringLiteral("CopiaSuServer");

// A file's column may hold "" where the server's column takes a number or a
// date only: there it is no value.
bool soloTesto(const QString& tipoServer) {
    const QString t = tipoServer.toLower();
    return t.contains(QLatin1String("char")) || t == QLatin1String("text") || t == QLatin1String("user-defined");
}

}  // namespace

long CopiaSuServer(GestoreDb& gestDb, const QString& idFile, const QString& idServer, const QString& schema) {
    const auto server = gestDb.DatabaseDaId(idServer);
    long copiate = 0;
    QStringList riempite;
    gestDb.IniziaTransazione(idServer);
    try {
        if (!schema.isEmpty()) gestDb.EseguiSql(idServer, ServerPg::SchemaPerServer(schema));
        const RisultatoSql tabelle = LeggiTutto(
            gestDb, idFile,
            QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY name"),
            kOrigine);
        for (const auto& t : tabelle.righe) {
            const QString tabella = t.value(0).testo();
            const QHash<QString, QString> tipi = TipiDichiarati(gestDb, idServer, tabella);
            if (tipi.isEmpty()) continue;
            riempite << tabella;
            const RisultatoSql righe =
                LeggiTutto(gestDb, idFile, QStringLiteral("SELECT * FROM \"%1\"").arg(tabella), kOrigine);
            // The server's table takes the file's rows, the schema's own
            // (the decoding tables) included.
            gestDb.EseguiSql(idServer, QStringLiteral("DELETE FROM \"%1\"").arg(tabella.toLower()));
            QStringList nomi, segnaposto;
            std::vector<int> colonne;
            std::vector<bool> testo;
            for (int c = 0; c < righe.colonne.size(); ++c) {
                const QString nome = righe.colonne[c].toLower();
                if (!tipi.contains(nome)) continue;
                colonne.push_back(c);
                testo.push_back(soloTesto(tipi.value(nome)));
                nomi << QLatin1Char('"') + nome + QLatin1Char('"');
                segnaposto << QStringLiteral("$%1").arg(nomi.size());
            }
            const QString sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                    .arg(tabella.toLower(), nomi.join(QLatin1Char(',')), segnaposto.join(QLatin1Char(',')));
            for (const auto& riga : righe.righe) {
                std::vector<ServerPg::ParametroPg> valori;
                valori.reserve(colonne.size());
                for (size_t k = 0; k < colonne.size(); ++k) {
                    const Valore& v = riga[colonne[k]];
                    const bool vuoto = !testo[k] && v.tipo() == TipoValore::Testo && v.testo().trimmed().isEmpty();
                    valori.push_back(vuoto ? std::nullopt : ServerPg::Parametro(v));
                }
                ServerPg::EseguiParametri(server->Pg(), sql, valori, kOrigine);
                ++copiate;
            }
        }
        gestDb.ConfermaTransazione(idServer);
    } catch (...) {
        gestDb.AnnullaTransazione(idServer);
        throw;
    }
    gestDb.AggiornaStatistiche(idServer, riempite);
    return copiate;
}
