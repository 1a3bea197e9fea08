#include "components/db/UsoDb.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(logUso, "comiva.db")

// The byte locked: 2^62, past the largest database SQLite can make (2^48
// bytes) and far from its own lock bytes. A server that enforces byte locks
// (a share of another system's) so never stops a read or write of the file.
constexpr off_t kByteUso = off_t(1) << 62;

struct flock unByte(short tipo, off_t byte) {
    struct flock fl {};
    fl.l_type = tipo;
    fl.l_whence = SEEK_SET;
    fl.l_start = byte;
    fl.l_len = 1;
    return fl;
}

bool blocca(int fd, short tipo) {
    struct flock fl = unByte(tipo, kByteUso);
    return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

using Chiave = std::pair<dev_t, ino_t>;

// The descriptors of this process on each file, for the close that would
// drop SQLite's locks: one let go waits until no holder is left on the file.
struct Aperti {
    int vivi = 0;
    std::vector<int> daChiudere;
};
std::mutex muAperti;
std::map<Chiave, Aperti>& aperti() {
    static std::map<Chiave, Aperti> a;
    return a;
}

void tieni(Chiave k) {
    const std::lock_guard l(muAperti);
    ++aperti()[k].vivi;
}

void lascia(Chiave k, int fd) {
    const std::lock_guard l(muAperti);
    auto it = aperti().find(k);
    it->second.daChiudere.push_back(fd);
    if (--it->second.vivi > 0) return;
    for (const int d : it->second.daChiudere) ::close(d);
    aperti().erase(it);
}

Chiave chiaveDi(int fd) {
    struct stat st {};
    ::fstat(fd, &st);
    return {st.st_dev, st.st_ino};
}

// A descriptor let go on the file at the path while another holder stayed,
// taken again instead of a new one, counted as held: so openings and closings
// while the file stays open (a range run over the current company) do not
// pile descriptors up. The recovery's lock needs one open for writing.
int riprendi(const QByteArray& percorso, bool scrittura) {
    struct stat st {};
    if (::stat(percorso.constData(), &st) != 0) return -1;
    const std::lock_guard l(muAperti);
    const auto it = aperti().find({st.st_dev, st.st_ino});
    if (it == aperti().end()) return -1;
    std::vector<int>& liberi = it->second.daChiudere;
    for (auto d = liberi.begin(); d != liberi.end(); ++d) {
        if (scrittura && (::fcntl(*d, F_GETFL) & O_ACCMODE) != O_RDWR) continue;
        const int fd = *d;
        liberi.erase(d);
        ++it->second.vivi;
        return fd;
    }
    return -1;
}

// The descriptor still names the file at the path: a recovery may have put
// another file there between our open and our lock.
bool alSuoPosto(int fd, const QByteArray& percorso) {
    struct stat nome {};
    return ::stat(percorso.constData(), &nome) == 0 && chiaveDi(fd) == Chiave(nome.st_dev, nome.st_ino);
}

// The lock file of older versions beside the file: held by one of them, the
// file is in use; free, it goes (whoever made it, a user of the folder may
// remove it). One that cannot be read is nobody's lock this program can see.
bool lasciatoLibero(const QByteArray& percorso) {
    const QByteArray vecchio = percorso + "-uso";
    const int fd = ::open(vecchio.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return true;
    struct flock fl = unByte(F_WRLCK, 0);
    const bool libero = ::fcntl(fd, F_OFD_GETLK, &fl) != 0 || fl.l_type == F_UNLCK;
    ::close(fd);  // not a database file: no lock of SQLite's goes with it
    if (libero && ::unlink(vecchio.constData()) != 0)
        qCInfo(logUso).noquote() << "file di blocco di una versione precedente non tolto:" << QFile::decodeName(vecchio);
    return libero;
}

}  // namespace

QString percorsoReale(const QString& file) {
    const QFileInfo info(file);
    const QString vero = info.canonicalFilePath();
    return vero.isEmpty() ? info.absoluteFilePath() : vero;
}

UsoDb::UsoDb(UsoDb&& altro) noexcept : fd_(altro.fd_), file_(std::move(altro.file_)) { altro.fd_ = -1; }

UsoDb& UsoDb::operator=(UsoDb&& altro) noexcept {
    if (this != &altro) {
        Rilascia();
        fd_ = altro.fd_;
        file_ = std::move(altro.file_);
        altro.fd_ = -1;
    }
    return *this;
}

UsoDb UsoDb::prova(const QString& file, bool esclusivo, Esito& esito) {
    for (;;) {
        // Every name of the file meets the same lock; the path kept is the
        // real one, where the file's companions stand.
        const QString vero = percorsoReale(file);
        const QByteArray percorso = QFile::encodeName(vero);
        // A share needs only to read the file; the recovery's lock needs the
        // file open for writing.
        int fd = riprendi(percorso, esclusivo);
        if (fd < 0) {
            fd = ::open(percorso.constData(), (esclusivo ? O_RDWR : O_RDONLY) | O_CLOEXEC);
            if (fd < 0) {
                qCWarning(logUso).noquote() << "impossibile aprire" << vero << "per bloccarlo:" << qt_error_string(errno);
                esito = Esito::Impossibile;
                return {};
            }
            tieni(chiaveDi(fd));
        }
        const Chiave k = chiaveDi(fd);
        if (!blocca(fd, esclusivo ? F_WRLCK : F_RDLCK)) {
            const int e = errno;
            lascia(k, fd);
            if (e != EAGAIN && e != EACCES)
                qCWarning(logUso).noquote() << "impossibile bloccare" << vero << ":" << qt_error_string(e);
            esito = e == EAGAIN || e == EACCES ? Esito::Occupato : Esito::Impossibile;
            return {};
        }
        if (!alSuoPosto(fd, percorso)) {
            // Another file stands there now: a descriptor kept for a later
            // close must hold nothing meanwhile.
            blocca(fd, F_UNLCK);
            lascia(k, fd);
            continue;
        }
        UsoDb u(fd, vero);
        if (esclusivo && !lasciatoLibero(percorso)) {
            esito = Esito::Occupato;
            return {};
        }
        esito = Esito::Preso;
        return u;
    }
}

UsoDb UsoDb::Condiviso(const QString& file, int attesaMs, Esito& esito) {
    const auto scadenza = std::chrono::steady_clock::now() + std::chrono::milliseconds(attesaMs);
    for (;;) {
        UsoDb u = prova(file, false, esito);
        if (esito != Esito::Occupato || std::chrono::steady_clock::now() >= scadenza) return u;
        // The swap of a recovery takes a moment; the opening waits for it
        // as a statement waits for another's lock.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

UsoDb UsoDb::Esclusivo(const QString& file, Esito& esito) { return prova(file, true, esito); }

int UsoDb::Nomi() const {
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 ? static_cast<int>(st.st_nlink) : 0;
}

void UsoDb::Rilascia() {
    if (fd_ < 0) return;
    blocca(fd_, F_UNLCK);
    lascia(chiaveDi(fd_), fd_);
    fd_ = -1;
}
