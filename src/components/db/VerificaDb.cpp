#include "components/db/VerificaDb.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>
#include <sqlite3.h>
#include <sys/stat.h>

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

namespace {

// A mark as it stands: its file (device, inode, size, time of its writing)
// and what it says. Marks are never written in place, only renamed into it,
// so the file tells one mark from another even where it says nothing or
// cannot be read by this user; null when there is no mark.
QByteArray comeSta(const QString& nome) {
    struct stat st {};
    if (::stat(QFile::encodeName(nome).constData(), &st) != 0) return {};
    QByteArray segno = QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino)) + ':' +
                       QByteArray::number(qint64(st.st_size)) + ':' + QByteArray::number(qint64(st.st_mtim.tv_sec)) +
                       '.' + QByteArray::number(qint64(st.st_mtim.tv_nsec)) + '\n';
    QFile f(nome);
    if (f.open(QIODevice::ReadOnly)) segno += f.readAll();
    return segno;
}

}  // namespace

QByteArray segnoVerifica(const QString& file) { return comeSta(fileSegnoVerifica(file)); }

void verificato(const QString& file, const QByteArray& letto) {
    if (letto.isNull()) return;
    const QString nome = fileSegnoVerifica(file);
    // Set aside first: a mark written from now on is a new file, which stays.
    // What was set aside goes only when it is the mark read before the check
    // (an empty one, or one this user cannot read, alike).
    const QString daParte = nome + QStringLiteral(".%1").arg(QCoreApplication::applicationPid());
    if (!QFile::rename(nome, daParte)) {
        if (QFile::exists(nome)) qCWarning(logVerifica).noquote() << "impossibile togliere" << nome;
        return;
    }
    if (comeSta(daParte) == letto) {
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
