#include "data/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "data/error.h"

namespace yorbel::data {
namespace {

[[noreturn]] void Refuse(const std::string& file, int error) {
    if (error == ENOENT || error == ENOTDIR) throw Error(CoreError("FileNotFound"), {file}, {file});
    throw Error(CoreError("FileCannotRead"), {file, std::strerror(error)}, {file});
}

[[noreturn]] void RefuseKind(const std::string& file) {
    throw Error(CoreError("NotAFile"), {file}, {file});
}

}  // namespace

RegularFile::RegularFile(const std::filesystem::path& path) : path_(path.string()) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) Refuse(path_, errno);
    if (!S_ISREG(st.st_mode)) RefuseKind(path_);
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) Refuse(path_, errno);
    const int rc = ::fstat(fd_, &st);
    const int error = errno;
    if (rc != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);  // the destructor does not run for a throwing constructor
        if (rc != 0) Refuse(path_, error);
        RefuseKind(path_);
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
}

RegularFile::~RegularFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::string RegularFile::ReadAt(std::uint64_t offset, std::size_t count) const {
    std::string bytes(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::pread(fd_, bytes.data() + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Refuse(path_, errno);
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

std::string RegularFile::ReadAll() const {
    // The size may have changed since the open; read on until the end either way.
    std::string bytes = ReadAt(0, static_cast<std::size_t>(size_));
    for (std::string more; !(more = ReadAt(bytes.size(), 1 << 16)).empty();) bytes += more;
    return bytes;
}

std::string ReadRegularFile(const std::filesystem::path& path) {
    return RegularFile(path).ReadAll();
}

}  // namespace yorbel::data
