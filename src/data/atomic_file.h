// Output files written whole or not at all.
//
// The new content goes to a temporary file beside the target (created exclusively, so no
// existing file or link is ever opened in its place), is synced, and is renamed over the
// target only once it is complete. A failure, an exception or a crash before that leaves
// an existing target byte for byte as it was; the temporary file is removed on every
// failure this process lives through.
#pragma once

#include <filesystem>
#include <string_view>

namespace yorbel::data {

class AtomicFile {
  public:
    // Starts the replacement of `target`. A link is followed: the file it points to is
    // replaced, the link stays. A target that exists but is no regular file (a pipe, a
    // device such as /dev/stdout) cannot be replaced by a rename and is written in place.
    // Throws Error: FileIsFolder, FileReadOnly (a write-protected target is left alone, as
    // a save leaves it), ExportCannotCreate.
    explicit AtomicFile(const std::filesystem::path& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Appends bytes; throws Error ExportCannotWrite.
    void Write(std::string_view bytes);

    // Syncs the written file and puts it in the target's place; throws Error
    // ExportCannotWrite. Nothing may be written afterwards.
    void Commit();

    // Where the content goes until Commit, for writers that open a file by name (a
    // printer). They must write this very file, not replace it.
    const std::filesystem::path& WritePath() const { return temp_; }

  private:
    [[noreturn]] void Fail(const char* action) const;

    std::filesystem::path shown_;   // the name the caller gave, for messages
    std::filesystem::path target_;  // the file replaced, links followed
    std::filesystem::path temp_;    // the file written; the target itself when in place
    int fd_ = -1;
    bool in_place_ = false;
    bool committed_ = false;
};

// The whole content as the file's new content, through AtomicFile.
void WriteFileAtomically(const std::filesystem::path& target, std::string_view content);

}  // namespace yorbel::data
