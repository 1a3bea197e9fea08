#include "components/db/UsoDb.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(logUso, "comiva.db")

bool blocca(int fd, short tipo) {
    struct flock fl {};
    fl.l_type = tipo;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

// The descriptor still names the file at the path: a holder that let the
// lock file go may have removed it between our open and our lock.
bool alSuoPosto(int fd, const QByteArray& percorso) {
    struct stat aperto {}, nome {};
    return ::fstat(fd, &aperto) == 0 && ::stat(percorso.constData(), &nome) == 0 && aperto.st_dev == nome.st_dev &&
           aperto.st_ino == nome.st_ino;
}

}  // namespace

QString fileUsoDb(const QString& file) { return file + QStringLiteral("-uso"); }

UsoDb::UsoDb(UsoDb&& altro) noexcept : fd_(altro.fd_), percorso_(std::move(altro.percorso_)) { altro.fd_ = -1; }

UsoDb& UsoDb::operator=(UsoDb&& altro) noexcept {
    if (this != &altro) {
        Rilascia();
        fd_ = altro.fd_;
        percorso_ = std::move(altro.percorso_);
        altro.fd_ = -1;
    }
    return *this;
}

UsoDb UsoDb::prova(const QString& file, bool esclusivo, Esito& esito) {
    // One lock file whatever link or relative path names the database.
    const QString vero = QFileInfo(file).canonicalFilePath();
    const QByteArray percorso = QFile::encodeName(fileUsoDb(vero.isEmpty() ? file : vero));
    for (;;) {
        int fd = ::open(percorso.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        // A reader of a folder it cannot write still takes its share of a
        // lock file that is there.
        if (fd < 0 && !esclusivo) fd = ::open(percorso.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            esito = Esito::Impossibile;
            return {};
        }
        if (!blocca(fd, esclusivo ? F_WRLCK : F_RDLCK)) {
            const int e = errno;
            ::close(fd);
            esito = e == EAGAIN || e == EACCES ? Esito::Occupato : Esito::Impossibile;
            return {};
        }
        if (alSuoPosto(fd, percorso)) {
            esito = Esito::Preso;
            return UsoDb(fd, percorso);
        }
        ::close(fd);
    }
}

UsoDb UsoDb::Condiviso(const QString& file, int attesaMs, Esito& esito) {
    const auto scadenza = std::chrono::steady_clock::now() + std::chrono::milliseconds(attesaMs);
    for (;;) {
        UsoDb u = prova(file, false, esito);
        if (esito != Esito::Occupato || std::chrono::steady_clock::now() >= scadenza) {
            if (esito == Esito::Impossibile)
                qCWarning(logUso).noquote() << "impossibile prendere" << fileUsoDb(file)
                                            << ": il database è aperto senza che un recupero lo sappia";
            return u;
        }
        // The swap of a recovery takes a moment; the opening waits for it
        // as a statement waits for another's lock.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

UsoDb UsoDb::Esclusivo(const QString& file, Esito& esito) { return prova(file, true, esito); }

void UsoDb::Rilascia() {
    if (fd_ < 0) return;
    // Whoever finds the file free takes it away, holding it alone meanwhile,
    // so that nobody is left with a lock on a file no longer at its path.
    if (blocca(fd_, F_WRLCK) && alSuoPosto(fd_, percorso_)) ::unlink(percorso_.constData());
    ::close(fd_);
    fd_ = -1;
}
