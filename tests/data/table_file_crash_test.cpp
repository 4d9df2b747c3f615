#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "data/table_file.h"
#include "test_folder.h"

namespace yorbel::data {
namespace {
using testing::TestFolder;

struct Generation : Table {
    Generation(const std::string& tag, int rows)
        : Table("Gen", {FieldDef::AutoIncrement("no"), FieldDef::Text("tag", 80),
                        FieldDef::Integer("n")}) {
        for (int i = 0; i < rows; ++i) {
            Append();
            SetText("tag", tag + " row " + std::to_string(i));
            SetInteger("n", i);
            Post();
        }
    }
};

// Which generation the file holds; fails the test when it is neither whole.
int ReadGeneration(const std::filesystem::path& file, int rows_a, int rows_b) {
    Table back("Gen", {});
    LoadTable(back, file);
    const int rows = back.RecordCount();
    EXPECT_TRUE(rows == rows_a || rows == rows_b) << rows << " rows";
    const std::string tag = rows == rows_a ? "A" : "B";
    int i = 0;
    for (back.First(); !back.Eof(); back.Next(), ++i) {
        if (back.AsText("tag") != tag + " row " + std::to_string(i) || back.AsInteger("n") != i) {
            ADD_FAILURE() << "row " << i << " of generation " << tag << " is wrong";
            break;
        }
    }
    return rows == rows_a ? 0 : 1;
}

// A save killed at any moment leaves the old file or the new one, complete.
TEST(TableFileCrashTest, KilledSaveLeavesOldOrNewFileWhole) {
    TestFolder folder;
    const auto file = folder / "calendar.yrb";
    const int rows_a = 20000;
    const int rows_b = 20001;
    Generation a("A", rows_a);
    Generation b("B", rows_b);
    SaveTable(a, file);

    auto start = std::chrono::steady_clock::now();
    SaveTable(a, file);
    const auto save_us = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    std::uniform_int_distribution<long> delay(0, save_us * 3 / 2 + 1000);
    int expected = 0;
    int killed = 0;
    for (int round = 0; round < 24; ++round) {
        const int next = 1 - expected;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                SaveTable(next == 0 ? static_cast<Table&>(a) : static_cast<Table&>(b), file);
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const bool finished = WIFEXITED(status);
        if (finished) {
            ASSERT_EQ(WEXITSTATUS(status), 0);
        }
        killed += !finished;
        const int found = ReadGeneration(file, rows_a, rows_b);
        if (finished) {
            EXPECT_EQ(found, next) << "a finished save must be seen";
        }
        if (::testing::Test::HasFailure()) return;
        expected = found;
    }
    EXPECT_GT(killed, 0) << "no save was interrupted; the delays are too long";
    // The next whole save clears what the cut-off ones left.
    SaveTable(a, file);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

// Two processes saving one file at once: every save succeeds and leaves the file whole;
// neither's clean-up of leftovers takes away the file the other is still writing.
TEST(TableFileCrashTest, SavesFromTwoProcessesAtOnceAllSucceed) {
    TestFolder folder;
    const auto file = folder / "calendar.yrb";
    Generation a("A", 3000);
    Generation b("B", 3001);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int failures = 0;
        for (int i = 0; i < 20; ++i) {
            try {
                SaveTable(b, file);
            } catch (...) {
                ++failures;
            }
        }
        ::_exit(failures);
    }
    for (int i = 0; i < 20; ++i) {
        try {
            SaveTable(a, file);
        } catch (const Error& e) {
            ADD_FAILURE() << e.what();
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "saves that failed in the other process";
    ReadGeneration(file, 3000, 3001);
}

}  // namespace
}  // namespace yorbel::data
