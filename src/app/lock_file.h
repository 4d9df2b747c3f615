// Lock files guard a calendar file against being opened for writing by two windows, in
// this or any other running instance. A lock is an empty file beside the calendar; whoever
// created it owns it and is the only one who deletes it.
#pragma once

#include <string>

namespace yorbel::app {

// Name of the lock file of a calendar path: the folder (with its separator), "~", the
// file name without its extension and without its first character, ".lck".
// "/data/Termine.yrb" gives "/data/~ermine.lck"; an empty path gives "~.lck".
std::string LockFileName(const std::string& calendar_path);

// The lock on one calendar file, held from a successful TryAcquire until Release or
// destruction. Move-only, so exactly one object owns each lock file it created.
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
    // created (a write-protected folder, for instance); this object is then unchanged.
    bool TryAcquire(const std::string& calendar_path);

    // Deletes the lock file this object created; a failure is ignored. No-op when no lock
    // is held.
    void Release();

    bool Held() const { return !lock_path_.empty(); }
    const std::string& LockPath() const { return lock_path_; }

  private:
    std::string lock_path_;  // empty while no lock is held
};

}  // namespace yorbel::app
