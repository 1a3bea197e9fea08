#include "components/db/VerificaDb.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>
#include <sqlite3.h>

namespace {

Q_LOGGING_CATEGORY(logVerifica, "comiva.db")

}  // namespace

QString fileSegnoVerifica(const QString& file) { return file + QStringLiteral("-verifica"); }

void segnaDaVerificare(const QString& file, const QString& motivo) {
    if (file.isEmpty()) return;
    qCWarning(logVerifica).noquote() << "database" << file << "da verificare alla prossima apertura:" << motivo;
    // Written aside and renamed into place: a check that compares the mark
    // never reads one half written.
    QSaveFile segno(fileSegnoVerifica(file));
    if (segno.open(QIODevice::WriteOnly)) {
        segno.write((QDateTime::currentDateTime().toString(Qt::ISODateWithMs) +
                     QStringLiteral(" processo %1 ").arg(QCoreApplication::applicationPid()) + motivo + QLatin1Char('\n'))
                        .toUtf8());
        if (segno.commit()) return;
    }
    qCWarning(logVerifica).noquote() << "impossibile scrivere" << segno.fileName() << ":" << segno.errorString();
}

bool daVerificare(const QString& file) { return QFile::exists(fileSegnoVerifica(file)); }

QByteArray segnoVerifica(const QString& file) {
    QFile segno(fileSegnoVerifica(file));
    if (!segno.open(QIODevice::ReadOnly)) return {};
    QByteArray letto = segno.readAll();
    // An empty mark is still a mark: never null, never equal to a mark that
    // says something.
    if (letto.isNull()) letto = QByteArray("", 0);
    return letto;
}

void verificato(const QString& file, const QByteArray& letto) {
    if (letto.isNull()) return;
    const QString nome = fileSegnoVerifica(file);
    // Set aside first: a mark written from now on is a new file, which stays.
    // What was set aside goes only when it is the mark read before the check.
    const QString daParte = nome + QStringLiteral(".%1").arg(QCoreApplication::applicationPid());
    if (!QFile::rename(nome, daParte)) return;
    QFile f(daParte);
    const bool stesso = f.open(QIODevice::ReadOnly) && f.readAll() == letto && !letto.isEmpty();
    f.close();
    if (stesso) {
        if (!QFile::remove(daParte)) qCWarning(logVerifica).noquote() << "impossibile togliere" << daParte;
        return;
    }
    // Written meanwhile: it goes back, unless a newer mark took its place.
    if (QFile::rename(daParte, nome)) return;
    if (QFile::exists(nome)) QFile::remove(daParte);
    else qCWarning(logVerifica).noquote() << "impossibile rimettere" << nome << "; il segno resta in" << daParte;
}

void togliSegnoVerifica(const QString& file) {
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
