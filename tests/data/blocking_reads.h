// Readers given a FIFO must give up at once instead of waiting for a writer. The read
// runs in a child process, so that a reader that waits fails the test rather than
// hanging it.
#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

namespace yorbel::data::testing {

inline std::filesystem::path MakeFifo(const std::filesystem::path& path) {
    ::mkfifo(path.c_str(), 0600);
    return path;
}

// True when `read` returns true within a few seconds.
inline bool ReturnsAtOnce(const std::function<bool()>& read) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(5);
        ::_exit(read() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace yorbel::data::testing
