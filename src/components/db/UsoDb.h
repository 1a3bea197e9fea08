#pragma once
// Who has a database file open. Every connection the layer opens on a file
// holds a shared lock on a small file beside it, "<file>-uso", for as long as
// it lives; the recovery takes that lock exclusively, without waiting, and
// keeps it until the recovered file stands in the original's place. So the
// recovery never swaps a file that a connection of this or another process
// has open, and no opening reaches the file halfway through the swap.
//
// The locks are open-file-description locks (F_OFD_SETLK): they conflict
// between two descriptors of one process as between two processes, and
// closing one descriptor never drops another's lock. SQLite's own locks are
// no help here: an idle connection holds none on a rollback-journal file,
// and on a write-ahead-log file only a shared lock that a reader shares.
// A plain descriptor on the database file itself is never opened, since
// closing it would drop the POSIX locks SQLite holds on it in this process.
//
// The lock file goes with the last holder that finds it free, so that no
// file stays beside a database nobody uses; a holder that meets a lock file
// taken away meanwhile opens it again. Programs that do not go through the
// layer take no lock and are not seen.
#include <QString>

class UsoDb {
public:
    enum class Esito {
        Preso,       // the lock is held
        Occupato,    // another holder's lock stands in the way
        Impossibile  // the lock file cannot be made or locked (folder, file system)
    };

    // Holds nothing.
    UsoDb() = default;
    ~UsoDb() { Rilascia(); }
    UsoDb(UsoDb&& altro) noexcept;
    UsoDb& operator=(UsoDb&& altro) noexcept;
    UsoDb(const UsoDb&) = delete;
    UsoDb& operator=(const UsoDb&) = delete;

    // A connection's share of the file. While the recovery holds the file it
    // tries again until `attesaMs` have passed; then it answers Occupato.
    static UsoDb Condiviso(const QString& file, int attesaMs, Esito& esito);
    // The file alone, for the recovery: Occupato at once when a connection,
    // or another recovery, holds it.
    static UsoDb Esclusivo(const QString& file, Esito& esito);

    bool Preso() const { return fd_ >= 0; }
    void Rilascia();

private:
    UsoDb(int fd, QByteArray percorso) : fd_(fd), percorso_(std::move(percorso)) {}
    static UsoDb prova(const QString& file, bool esclusivo, Esito& esito);

    int fd_ = -1;
    QByteArray percorso_;
};

// The lock file of a database file.
QString fileUsoDb(const QString& file);
