#include "invoicedata/file/RinomineDatiFat.h"

#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

#include <QFile>
#include <cstdio>

namespace {

QString testo(const QString& s) { return ggUtil().FormatoSql(s, TipoDato::Testo); }
QString numero(long n) { return ggUtil().FormatoSql(static_cast<qlonglong>(n), TipoDato::Lungo); }

}  // namespace

void CreaTabellaRinomine(const QString& idDb) {
    ctx().ggGestDb->EseguiSql(idDb, QStringLiteral("CREATE TABLE IF NOT EXISTS ") + kTabellaRinomine +
                                        QStringLiteral(" (Provvisorio VARCHAR(255) NOT NULL, Definitivo VARCHAR(255) "
                                                       "NOT NULL, Operazione VARCHAR(1) NOT NULL, AnnoCom SMALLINT, "
                                                       "NumCom SMALLINT, Tipo VARCHAR(1), Numero SMALLINT, NomeFile "
                                                       "VARCHAR(5), AnnoReg SMALLINT, NumReg INTEGER)"));
}

void RegistraRinomine(const QString& idDb, const std::vector<RinominaDatiFat>& righe) {
    for (const RinominaDatiFat& r : righe)
        ctx().ggGestDb->EseguiSql(
            idDb, QStringLiteral("INSERT INTO ") + kTabellaRinomine +
                      QStringLiteral(" (Provvisorio, Definitivo, Operazione, AnnoCom, NumCom, Tipo, Numero, NomeFile, "
                                     "AnnoReg, NumReg) VALUES (") +
                      testo(r.provvisorio) + QLatin1Char(',') + testo(r.definitivo) + QLatin1Char(',') +
                      testo(QString(QLatin1Char(static_cast<char>(r.operazione)))) + QLatin1Char(',') +
                      numero(r.annoCom) + QLatin1Char(',') + numero(r.numCom) + QLatin1Char(',') + testo(r.tipo) +
                      QLatin1Char(',') + numero(r.numero) + QLatin1Char(',') + testo(r.nomeFile) + QLatin1Char(',') +
                      numero(r.annoReg) + QLatin1Char(',') + numero(r.numReg) + QLatin1Char(')'));
}

std::vector<RinominaDatiFat> LeggiRinomine(const QString& idDb) {
    std::vector<RinominaDatiFat> righe;
    if (!ctx().ggGestDb->DatabaseDaId(idDb)->EsisteTabella(kTabellaRinomine)) return righe;
    GestRecordset rs;
    const QString k = rs.ApriRecordset(*ctx().ggGestDb, idDb, {},
                                       QStringLiteral("SELECT * FROM ") + kTabellaRinomine +
                                           QStringLiteral(" ORDER BY Operazione, AnnoCom, NumCom, Tipo, Numero, Definitivo"));
    const auto campo = [&](const char* c) { return rs.LeggiCampo(k, QLatin1String(c)); };
    const auto intero = [&](const char* c) { return static_cast<long>(ggUtil().ValoreNumerico(campo(c))); };
    for (; !rs.FineRec(k); rs.RecSuccessivo(k)) {
        RinominaDatiFat r;
        r.provvisorio = campo("Provvisorio").testo();
        r.definitivo = campo("Definitivo").testo();
        const QString op = campo("Operazione").testo();
        r.operazione = static_cast<OperazioneRinomina>(op.isEmpty() ? 'I' : op.at(0).toLatin1());
        r.annoCom = static_cast<int>(intero("AnnoCom"));
        r.numCom = static_cast<int>(intero("NumCom"));
        r.tipo = campo("Tipo").testo();
        r.numero = static_cast<int>(intero("Numero"));
        r.nomeFile = campo("NomeFile").testo();
        r.annoReg = static_cast<int>(intero("AnnoReg"));
        r.numReg = intero("NumReg");
        righe.push_back(r);
    }
    rs.ChiudiRecordset(k);
    return righe;
}

void CancellaRinomine(const QString& idDb, const std::vector<RinominaDatiFat>& righe) {
    for (const RinominaDatiFat& r : righe)
        ctx().ggGestDb->EseguiSql(idDb, QStringLiteral("DELETE FROM ") + kTabellaRinomine +
                                            QStringLiteral(" WHERE Provvisorio = ") + testo(r.provvisorio) +
                                            QStringLiteral(" AND Definitivo = ") + testo(r.definitivo));
}

bool DaiNomeDefinitivo(const RinominaDatiFat& r) {
    if (!QFile::exists(r.provvisorio)) return QFile::exists(r.definitivo);
    // rename() replaces an earlier file of the final name in one step.
    if (std::rename(QFile::encodeName(r.provvisorio).constData(), QFile::encodeName(r.definitivo).constData()) != 0)
        throw ErroreRun(75,
                        QStringLiteral("Impossibile dare al file il nome %1: resta come %2").arg(r.definitivo, r.provvisorio),
                        QStringLiteral("DaiNomeDefinitivo"));
    return true;
}
