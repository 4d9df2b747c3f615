// Opening files that come from outside: calendars, group files, delimited text, language
// and location files.
//
// Only a regular file is read. A folder, a FIFO, a device or a socket is refused before
// anything is read from it: a FIFO would block the reader until some writer appears, a
// device may never end, and a folder fails only on the first read. The kind is checked
// once on the path (so a device is never even opened) and again on the open descriptor,
// which is opened without waiting for a FIFO's writer, so a path swapped between the two
// cannot make a reader block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace yorbel::data {

class RegularFile {
  public:
    // Throws an Error naming the file: FileNotFound, NotAFile or FileCannotRead.
    explicit RegularFile(const std::filesystem::path& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    const std::string& Path() const { return path_; }
    // The size when the file was opened.
    std::uint64_t Size() const { return size_; }
    // Up to `count` bytes from `offset`; fewer only at the end of the file.
    std::string ReadAt(std::uint64_t offset, std::size_t count) const;
    // Everything from the start to the end, as the file is now.
    std::string ReadAll() const;

  private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// The whole content of a regular file; the errors are those of RegularFile.
std::string ReadRegularFile(const std::filesystem::path& path);

}  // namespace yorbel::data
