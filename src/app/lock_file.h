// Lock files guard a calendar file against being written by two windows or commands at
// once, in this or any other running instance. A lock is a file beside the calendar;
// whoever created it owns it and is the only one who deletes it.
//
// The owner writes who it is into the file (process number, host, user, program, process
// start) and holds an advisory lock (flock) on it for as long as it owns it. Older
// versions leave the file empty and only test whether it exists, so both kinds keep each
// other out. The record lets others name the holder and tell a lock left behind by a
// process that no longer runs, which may be taken over.
#pragma once

#include <string>
#include <system_error>

namespace yorbel::app {

// Name of the lock file of a calendar path: the folder (with its separator), "~", the
// file name without its extension and without its first character, ".lck".
// "/data/Termine.yrb" gives "/data/~ermine.lck"; an empty path gives "~.lck".
std::string LockFileName(const std::string& calendar_path);

// Who holds a lock, as recorded in the lock file. Values are cleaned for showing (no
// control characters, at most 60 bytes); pid 0 means the file names no owner.
struct LockOwner {
    long pid = 0;
    std::string host;
    std::string user;
    std::string program;
    std::string started;  // boot and start time of the process, to tell a reused number
};

enum class LockState {
    Free,       // no lock file
    Held,       // an owner that runs, or one that cannot be checked (other host, no record)
    Abandoned,  // the recorded owner runs no longer on this host: the lock may be taken over
};

struct LockInfo {
    std::string lock_path;
    LockState state = LockState::Free;
    LockOwner owner;
};

// The state of the lock of a calendar path; never changes the lock file.
LockInfo InspectLock(const std::string& calendar_path);

// The lock on one calendar file, held from a successful TryAcquire or TakeOver until
// Release or destruction. Move-only, so exactly one object owns each lock file.
class CalendarLock {
  public:
    CalendarLock() = default;
    ~CalendarLock();
    CalendarLock(CalendarLock&& other) noexcept;
    CalendarLock& operator=(CalendarLock&& other) noexcept;
    CalendarLock(const CalendarLock&) = delete;
    CalendarLock& operator=(const CalendarLock&) = delete;

    // Tests for the lock file and creates it in one atomic step, so two instances racing
    // for the same calendar cannot both win. False when the lock file exists or cannot be
    // created (a write-protected folder, for instance), with the reason in `why`
    // (EEXIST for an existing lock); this object is then unchanged.
    bool TryAcquire(const std::string& calendar_path, std::error_code& why);
    bool TryAcquire(const std::string& calendar_path) {
        std::error_code ignored;
        return TryAcquire(calendar_path, ignored);
    }

    // Takes over an abandoned lock: checks again, under the file's advisory lock, that its
    // recorded owner is gone, and replaces the file by a lock of this process. False when
    // the lock is free, held, taken over by someone else meanwhile, or its file cannot be
    // removed; this object is then unchanged.
    bool TakeOver(const std::string& calendar_path);

    // Deletes the lock file this object owns; a failure is ignored. No-op when no lock is
    // held.
    void Release();

    bool Held() const { return !lock_path_.empty(); }
    const std::string& LockPath() const { return lock_path_; }

  private:
    void Adopt(std::string lock_path, int fd);

    std::string lock_path_;  // empty while no lock is held
    int fd_ = -1;            // open on the lock file, holding its advisory lock
};

}  // namespace yorbel::app
