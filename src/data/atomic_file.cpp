#include "data/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>

#include "data/error.h"
#include "data/file_sync.h"

namespace yorbel::data {
namespace fs = std::filesystem;

namespace {

Error CannotCreate(const std::string& file, const std::string& reason) {
    return Error(CoreError("ExportCannotCreate"), {file, reason}, {file});
}

}  // namespace

AtomicFile::AtomicFile(const fs::path& target) : shown_(target), target_(target) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        target_ = fs::weakly_canonical(target, ec);
        if (ec) target_ = target;
    }
    const std::string file = shown_.string();
    struct stat st {};
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) throw Error(CoreError("FileIsFolder"), {file}, {file});
    if (exists && !S_ISREG(st.st_mode)) {
        in_place_ = true;
        temp_ = target_;
        fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0) throw CannotCreate(file, std::strerror(errno));
        return;
    }
    if (exists && (st.st_mode & 0222) == 0) throw Error(CoreError("FileReadOnly"), {file}, {file});

    // A fresh random name each attempt; O_EXCL refuses any name that exists, a link too.
    std::random_device seed;
    std::mt19937 random(seed() ^ static_cast<unsigned>(::getpid()));
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        fs::path temp = target_;
        temp += ".part-" + std::to_string(random() % 1000000000u);
        fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temp_ = std::move(temp);
        } else if (errno != EEXIST) {
            throw CannotCreate(file, std::strerror(errno));
        }
    }
    if (fd_ < 0) throw CannotCreate(file, "no free temporary name");
    // The new file keeps the permissions of the one it replaces.
    if (exists) (void)::fchmod(fd_, st.st_mode & 07777);
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !in_place_) ::unlink(temp_.c_str());
}

void AtomicFile::Fail(const char* action) const {
    const std::string file = shown_.string();
    throw Error(CoreError("ExportCannotWrite"),
                {file, std::string(std::strerror(errno)) + " (" + action + ")"}, {file});
}

void AtomicFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fail("write");
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void AtomicFile::Commit() {
    // A pipe or device has nothing to sync; a regular file must be on disk before it
    // takes the target's place.
    if (!in_place_ && SyncFileDescriptor(fd_) != 0) Fail("sync");
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail("close");
    if (in_place_) {
        committed_ = true;
        return;
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) Fail("rename");
    committed_ = true;
    // Syncing the folder only makes the rename durable sooner; the file is complete.
    const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        (void)SyncFileDescriptor(dir);
        ::close(dir);
    }
}

void WriteFileAtomically(const fs::path& target, std::string_view content) {
    AtomicFile file(target);
    file.Write(content);
    file.Commit();
}

}  // namespace yorbel::data
