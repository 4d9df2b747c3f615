#include "data/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "data/error.h"
#include "test_folder.h"

namespace yorbel::data {
namespace {
namespace fs = std::filesystem;
using testing::FileBytes;
using testing::TestFolder;
using testing::WriteBytes;

int FileCount(const fs::path& folder) {
    return static_cast<int>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// The linked file is replaced with its mode; a pipe cannot be renamed over and is
// written as it is.
TEST(AtomicFileTest, ReplacesLinkedFilesAndWritesPipesInPlace) {
    TestFolder folder;
    const fs::path target = folder / "out.csv";
    WriteBytes(target, "old");
    ::chmod(target.c_str(), 0640);
    fs::create_symlink(target, folder / "link.csv");
    WriteFileAtomically(folder / "link.csv", "new content");
    EXPECT_TRUE(fs::is_symlink(folder / "link.csv"));
    EXPECT_EQ(FileBytes(target), "new content");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    EXPECT_EQ(FileCount(folder.path()), 2);

    const fs::path pipe = folder / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = FileBytes(pipe); });
    WriteFileAtomically(pipe, "through the pipe");
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST(AtomicFileTest, FailuresLeaveTheTargetByteIdentical) {
    TestFolder folder;
    const fs::path target = folder / "out.csv";
    const std::string old(10000, 'o');
    WriteBytes(target, old);
    const std::string big(1 << 20, 'n');

    // An exception between the first write and the commit.
    EXPECT_THROW(
        {
            AtomicFile file(target);
            file.Write(big);
            throw std::runtime_error("stopped");
        },
        std::runtime_error);
    EXPECT_EQ(FileBytes(target), old);

    // A write error: the file-size limit stands in for a full disk.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto* previous = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(WriteFileAtomically(target, big), Error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previous);
    EXPECT_EQ(FileBytes(target), old);
    EXPECT_EQ(FileCount(folder.path()), 1);

    // A process killed mid-way leaves its temporary file, never a cut target.
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            AtomicFile file(target);
            file.Write(big);
            ::raise(SIGKILL);
        } catch (...) {
        }
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(FileBytes(target), old);
}

}  // namespace
}  // namespace yorbel::data
