// A lock file as a program of this version leaves it when it is killed: the record names
// a process of this host that no longer runs, and nobody holds the file's advisory lock.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "app/lock_file.h"

namespace yorbel::test {

// Writes such a lock for the calendar and returns the process number it names.
inline long PlantAbandonedLock(const std::string& calendar_path) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    std::ofstream(app::LockFileName(calendar_path))
        << "pid=" << gone << "\nhost=" << host << "\nuser=someone\nprogram=yorbel\n";
    return gone;
}

}  // namespace yorbel::test
