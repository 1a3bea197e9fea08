#include "components/db/VerificaDb.h"

#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>
#include <sqlite3.h>

namespace {

Q_LOGGING_CATEGORY(logVerifica, "comiva.db")

}  // namespace

QString fileSegnoVerifica(const QString& file) { return file + QStringLiteral("-verifica"); }

void segnaDaVerificare(const QString& file, const QString& motivo) {
    if (file.isEmpty()) return;
    qCWarning(logVerifica).noquote() << "database" << file << "da verificare alla prossima apertura:" << motivo;
    QFile segno(fileSegnoVerifica(file));
    if (!segno.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qCWarning(logVerifica).noquote() << "impossibile scrivere" << segno.fileName() << ":" << segno.errorString();
        return;
    }
    segno.write((QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char(' ') + motivo + QLatin1Char('\n'))
                    .toUtf8());
}

bool daVerificare(const QString& file) { return QFile::exists(fileSegnoVerifica(file)); }

void verificato(const QString& file) {
    if (QFile::exists(fileSegnoVerifica(file)) && !QFile::remove(fileSegnoVerifica(file)))
        qCWarning(logVerifica).noquote() << "impossibile togliere" << fileSegnoVerifica(file);
}

void notaErroreMotore(const QString& file, int codiceEsteso, const QString& messaggio) {
    switch (codiceEsteso & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_IOERR:
        segnaDaVerificare(file, QStringLiteral("errore %1: %2").arg(codiceEsteso).arg(messaggio));
        break;
    default:
        break;
    }
}
