#pragma once
// File work done as another user of a shared folder, for the tests of who
// may open, lock and recover a database file. As root the calling thread's
// file-system identity is switched (setfsuid, setfsgid): its file modes then
// bind it as any user's, root's overrides being dropped with the switch, and
// the files it makes are that user's. Other threads keep root's identity.
// As any other user there is nobody else to be: the work runs as the process's
// own user, whose file modes bind it anyway.
#include <sys/fsuid.h>
#include <sys/types.h>
#include <unistd.h>

namespace AltroUtente {

inline bool Root() { return ::geteuid() == 0; }

// Two users who share a folder, and a third who may read and write the file only.
constexpr uid_t kA = 60001;
constexpr uid_t kB = 60002;
constexpr uid_t kC = 60003;

class Come {
public:
    explicit Come(uid_t uid) : attivo_(Root()) {
        if (!attivo_) return;
        ::setfsgid(uid);
        ::setfsuid(uid);
    }
    ~Come() {
        if (!attivo_) return;
        ::setfsuid(0);
        ::setfsgid(0);
    }
    Come(const Come&) = delete;
    Come& operator=(const Come&) = delete;

private:
    bool attivo_;
};

}  // namespace AltroUtente
