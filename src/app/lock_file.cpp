#include "app/lock_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <utility>

namespace yorbel::app {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLongestValue = 60;
constexpr std::size_t kLongestRecord = 4096;

// Only printable ASCII survives, so a record cannot smuggle line breaks or terminal
// controls into a message.
std::string Cleaned(std::string_view value) {
    std::string out;
    for (char c : value.substr(0, kLongestValue)) out += (c >= 0x20 && c < 0x7F) ? c : '?';
    return out;
}

std::string ThisHost() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return Cleaned(name);
}

std::string ThisUser() {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr)
        return Cleaned(pw->pw_name);
    return std::to_string(::geteuid());
}

// Boot and start time of a process: a number that a later process reuses gets another
// mark. Empty when the system does not tell.
std::string StartMark(long pid) {
    std::ifstream boot("/proc/sys/kernel/random/boot_id");
    std::string boot_id;
    std::getline(boot, boot_id);
    std::ifstream stat_file("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    std::getline(stat_file, stat);
    // The command name in parentheses may hold spaces; the fields after it are plain.
    const auto close = stat.rfind(')');
    if (boot_id.empty() || close == std::string::npos) return {};
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i == 22) return Cleaned(boot_id + " " + field);
    }
    return {};
}

std::string OwnRecord() {
    const long pid = ::getpid();
    return "pid=" + std::to_string(pid) + "\nhost=" + ThisHost() + "\nuser=" + ThisUser() +
           "\nprogram=" + Cleaned(program_invocation_short_name) + "\nstarted=" + StartMark(pid) +
           "\n";
}

LockOwner ReadOwner(int fd) {
    std::string text(kLongestRecord, '\0');
    const ssize_t got = ::pread(fd, text.data(), text.size(), 0);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    LockOwner owner;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string_view key = std::string_view(line).substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "pid") {
            const bool digits = !value.empty() && value.size() <= 9 &&
                                value.find_first_not_of("0123456789") == std::string::npos;
            owner.pid = digits ? std::atol(value.c_str()) : 0;
        } else if (key == "host") {
            owner.host = Cleaned(value);
        } else if (key == "user") {
            owner.user = Cleaned(value);
        } else if (key == "program") {
            owner.program = Cleaned(value);
        } else if (key == "started") {
            owner.started = Cleaned(value);
        }
    }
    return owner;
}

// Only an owner on this host can be checked; one that cannot be checked is taken to run.
bool OwnerGone(const LockOwner& owner) {
    if (owner.pid <= 0 || owner.host.empty() || owner.host != ThisHost()) return false;
    if (::kill(static_cast<pid_t>(owner.pid), 0) != 0 && errno == ESRCH) return true;
    const std::string now = StartMark(owner.pid);
    return !owner.started.empty() && !now.empty() && now != owner.started;
}

bool SameFile(int fd, const std::string& path) {
    struct stat open_file {};
    struct stat named {};
    return ::fstat(fd, &open_file) == 0 && ::stat(path.c_str(), &named) == 0 &&
           open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

bool IsRegularFile(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

void WriteOwnRecord(int fd) {
    // A record that cannot be written leaves the lock valid but nameless.
    const std::string record = OwnRecord();
    if (::ftruncate(fd, 0) == 0) (void)!::pwrite(fd, record.data(), record.size(), 0);
}

int OpenExisting(const std::string& lock_path, int access) {
    // O_NONBLOCK: something that is not a file (a FIFO) must not stall the caller.
    return ::open(lock_path.c_str(), access | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
}

}  // namespace

std::string LockFileName(const std::string& calendar_path) {
    const fs::path path(calendar_path);
    // The extension runs from the last dot of the file name, as on the platform where
    // these files began, so ".yrb" alone has an empty name part.
    std::string name = path.filename().string();
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
    if (!name.empty()) name.erase(0, 1);
    return (path.parent_path() / ("~" + name + ".lck")).string();
}

LockInfo InspectLock(const std::string& calendar_path) {
    LockInfo info;
    info.lock_path = LockFileName(calendar_path);
    const int fd = OpenExisting(info.lock_path, O_RDONLY);
    if (fd < 0) {
        if (errno != ENOENT) info.state = LockState::Held;  // there, but not ours to read
        return info;
    }
    info.state = LockState::Held;
    if (IsRegularFile(fd)) {
        info.owner = ReadOwner(fd);
        // An owner of this version holds the advisory lock for as long as it lives.
        if (::flock(fd, LOCK_SH | LOCK_NB) == 0 && OwnerGone(info.owner))
            info.state = LockState::Abandoned;
    }
    ::close(fd);
    return info;
}

CalendarLock::~CalendarLock() {
    Release();
}

CalendarLock::CalendarLock(CalendarLock&& other) noexcept
    : lock_path_(std::exchange(other.lock_path_, {})), fd_(std::exchange(other.fd_, -1)) {}

CalendarLock& CalendarLock::operator=(CalendarLock&& other) noexcept {
    if (this != &other) {
        Release();
        lock_path_ = std::exchange(other.lock_path_, {});
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void CalendarLock::Adopt(std::string lock_path, int fd) {
    Release();
    lock_path_ = std::move(lock_path);
    fd_ = fd;
}

bool CalendarLock::TryAcquire(const std::string& calendar_path, std::error_code& why) {
    std::string name = LockFileName(calendar_path);
    const auto fail = [&why](int error) {
        why = std::error_code(error, std::generic_category());
        return false;
    };
    // The record is written into a private file first and then linked to the lock name:
    // the link fails when the lock exists, so test and creation are one step, and nobody
    // ever sees the lock without its owner.
    std::string staged = name + ".XXXXXX";
    int fd = ::mkostemp(staged.data(), O_CLOEXEC);
    if (fd < 0) return fail(errno);
    (void)::fchmod(fd, 0644);  // others must read who holds the lock
    (void)::flock(fd, LOCK_EX);
    WriteOwnRecord(fd);
    const int linked = ::link(staged.c_str(), name.c_str());
    const int link_error = errno;
    (void)::unlink(staged.c_str());
    if (linked != 0) {
        ::close(fd);
        if (link_error == EEXIST) return fail(EEXIST);
        // A file system without hard links: create the lock itself, exclusively.
        fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) return fail(errno);
        (void)::flock(fd, LOCK_EX);
        WriteOwnRecord(fd);
    }
    Adopt(std::move(name), fd);
    why.clear();
    return true;
}

bool CalendarLock::TakeOver(const std::string& calendar_path) {
    const std::string name = LockFileName(calendar_path);
    // A retry covers a lock file released and made anew while it was being opened.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = OpenExisting(name, O_RDONLY);
        if (fd < 0) return false;
        if (!IsRegularFile(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        if (!SameFile(fd, name)) {
            ::close(fd);
            continue;
        }
        // The abandoned file goes while its advisory lock is held, so no one else takes it
        // over meanwhile; a new lock is then made as usual. That works for a lock file of
        // another user too, where the folder allows it.
        const bool gone = OwnerGone(ReadOwner(fd)) && ::unlink(name.c_str()) == 0;
        ::close(fd);
        return gone && TryAcquire(calendar_path);
    }
    return false;
}

void CalendarLock::Release() {
    if (lock_path_.empty()) return;
    // Deleted while the advisory lock is still held, and only when the name still means
    // our file, so a lock someone else made meanwhile stays.
    if (SameFile(fd_, lock_path_)) (void)::unlink(lock_path_.c_str());
    ::close(fd_);
    fd_ = -1;
    lock_path_.clear();
}

}  // namespace yorbel::app
