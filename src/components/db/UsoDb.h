#pragma once
// Who has a database file open. Every connection the layer opens on a file
// holds a shared lock on the file itself for as long as it lives; the
// recovery takes that lock exclusively, without waiting, and keeps it until
// the recovered file stands in the original's place. So the recovery never
// swaps a file that a connection of this or another process has open, through
// whatever name (a link, a second hard name), and no opening reaches the file
// halfway through the swap.
//
// The lock is an open-file-description lock (F_OFD_SETLK) on one byte far
// past any byte SQLite uses or a database can reach (SQLite locks the bytes
// from 1 GiB up; a file stops short of 2^48): it conflicts between two
// descriptors of one process as between processes, and goes with its
// descriptor, so nothing stays behind a holder and any user who may open the
// file may take it. SQLite's own locks are no help here: an idle connection
// holds none on a rollback-journal file, and on a write-ahead-log file only a
// shared lock that a reader shares.
//
// Closing any descriptor of a file drops the POSIX locks this process holds
// on it, SQLite's among them; so a descriptor let go is closed only once no
// holder of this process is left on that file (and so no connection of the
// layer); the next holder on the file takes it again meanwhile. Programs that do not go through the layer take no lock and are not
// seen. The lock file "<file>-uso" of older versions is no longer made; the
// recovery removes one it finds free and is refused while an older version
// holds one.
#include <QString>

class UsoDb {
public:
    enum class Esito {
        Preso,       // the lock is held
        Occupato,    // another holder's lock stands in the way
        Impossibile  // the file cannot be opened or its file system locks nothing
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
    // The path of the file held, links resolved: the one its companions
    // ("-wal", "-journal", "-shm", "-verifica") stand beside.
    const QString& File() const { return file_; }
    // How many hard names the file held has.
    int Nomi() const;
    void Rilascia();

private:
    UsoDb(int fd, QString file) : fd_(fd), file_(std::move(file)) {}
    static UsoDb prova(const QString& file, bool esclusivo, Esito& esito);

    int fd_ = -1;
    QString file_;
};

// The file a name designates, links resolved; the absolute name when it
// names nothing.
QString percorsoReale(const QString& file);
