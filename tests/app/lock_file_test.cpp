#include "app/lock_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "abandoned_lock.h"

namespace fs = std::filesystem;
using yorbel::app::CalendarLock;
using yorbel::app::InspectLock;
using yorbel::app::LockFileName;
using yorbel::app::LockState;

TEST(LockFileName, DropsFirstCharacterAndExtension) {
    EXPECT_EQ(LockFileName("/data/Termine.yrb"), "/data/~ermine.lck");
    EXPECT_EQ(LockFileName("/data/Termine"), "/data/~ermine.lck");
    EXPECT_EQ(LockFileName("/data/my.plan.yrb"), "/data/~y.plan.lck");
    EXPECT_EQ(LockFileName("/data/a.yrb"), "/data/~.lck");
    EXPECT_EQ(LockFileName("/data/.yrb"), "/data/~.lck");
    EXPECT_EQ(LockFileName("Termine.yrb"), "~ermine.lck");
    EXPECT_EQ(LockFileName(""), "~.lck");
}

class CalendarLockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("yorbel_lock_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }
    std::string Calendar(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

TEST_F(CalendarLockTest, SecondAcquireFailsUntilFirstReleases) {
    const std::string cal = Calendar("Plan.yrb");
    CalendarLock first;
    CalendarLock second;
    ASSERT_TRUE(first.TryAcquire(cal));
    EXPECT_TRUE(fs::exists(dir_ / "~lan.lck"));
    EXPECT_FALSE(second.TryAcquire(cal));
    EXPECT_FALSE(second.Held());

    // A loser's release must not remove the winner's lock.
    second.Release();
    EXPECT_TRUE(fs::exists(dir_ / "~lan.lck"));

    first.Release();
    EXPECT_FALSE(fs::exists(dir_ / "~lan.lck"));
    EXPECT_TRUE(second.TryAcquire(cal));
}

TEST_F(CalendarLockTest, ForeignLockFileIsNeverDeleted) {
    { std::ofstream(dir_ / "~lan.lck"); }
    {
        CalendarLock lock;
        EXPECT_FALSE(lock.TryAcquire(Calendar("Plan.yrb")));
    }  // destruction of a lock that was never taken
    EXPECT_TRUE(fs::exists(dir_ / "~lan.lck"));
}

TEST_F(CalendarLockTest, DestructionAndMoveReleaseExactlyOnce) {
    const std::string cal = Calendar("Plan.yrb");
    {
        CalendarLock lock;
        ASSERT_TRUE(lock.TryAcquire(cal));
        CalendarLock moved(std::move(lock));
        EXPECT_TRUE(moved.Held());
        lock.Release();  // the moved-from object owns nothing
        EXPECT_TRUE(fs::exists(dir_ / "~lan.lck"));
    }
    EXPECT_FALSE(fs::exists(dir_ / "~lan.lck"));
}

TEST_F(CalendarLockTest, AcquiringAnotherPathReleasesTheOldOne) {
    CalendarLock lock;
    ASSERT_TRUE(lock.TryAcquire(Calendar("Old.yrb")));
    ASSERT_TRUE(lock.TryAcquire(Calendar("New.yrb")));
    EXPECT_FALSE(fs::exists(dir_ / "~ld.lck"));
    EXPECT_TRUE(fs::exists(dir_ / "~ew.lck"));
    // A failed attempt keeps the lock already held.
    EXPECT_FALSE(lock.TryAcquire(Calendar("New.yrb")));
    EXPECT_TRUE(lock.Held());
    EXPECT_TRUE(fs::exists(dir_ / "~ew.lck"));
}

TEST_F(CalendarLockTest, MissingFolderRefusesTheLock) {
    CalendarLock lock;
    EXPECT_FALSE(lock.TryAcquire((dir_ / "gone" / "Plan.yrb").string()));
    EXPECT_FALSE(lock.Held());
}

TEST_F(CalendarLockTest, WriteProtectedFolderRefusesTheLock) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    CalendarLock lock;
    EXPECT_FALSE(lock.TryAcquire(Calendar("Plan.yrb")));
    EXPECT_FALSE(lock.Held());
}

std::string ThisHost() {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    return host;
}

TEST_F(CalendarLockTest, OnlyAnOwnerKnownToBeGoneCountsAsAbandoned) {
    const std::string cal = Calendar("Plan.yrb");
    const long gone = yorbel::test::PlantAbandonedLock(cal);
    const std::string here = ThisHost();
    const std::string me = std::to_string(::getpid());
    struct Case {
        std::string record;
        LockState state;
    };
    const Case cases[] = {
        {"pid=" + std::to_string(gone) + "\nhost=" + here + "\n", LockState::Abandoned},
        {"pid=" + std::to_string(gone) + "\nhost=elsewhere\n", LockState::Held},
        {"pid=" + me + "\nhost=" + here + "\n", LockState::Held},
        // A number reused by another process: the start mark differs.
        {"pid=" + me + "\nhost=" + here + "\nstarted=0 0\n", LockState::Abandoned},
        {"", LockState::Held},  // earlier versions leave the file empty
        {"pid=-1\nhost=" + here + "\n", LockState::Held},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        std::ofstream(dir_ / "~lan.lck", std::ios::trunc) << c.record;
        EXPECT_EQ(InspectLock(cal).state, c.state);
    }

    // Whoever holds the file's advisory lock runs, whatever the record says (a process
    // in another process namespace, say).
    std::ofstream(dir_ / "~lan.lck", std::ios::trunc)
        << "pid=" << gone << "\nhost=" << here << "\n";
    const int fd = ::open((dir_ / "~lan.lck").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_EQ(InspectLock(cal).state, LockState::Held);
    CalendarLock blocked;
    EXPECT_FALSE(blocked.TakeOver(cal));
    ::close(fd);
}

TEST_F(CalendarLockTest, AnAbandonedLockIsTakenOverByOneOnly) {
    const std::string cal = Calendar("Plan.yrb");
    yorbel::test::PlantAbandonedLock(cal);
    CalendarLock first;
    CalendarLock second;
    EXPECT_FALSE(first.TryAcquire(cal));
    ASSERT_TRUE(first.TakeOver(cal));
    EXPECT_FALSE(second.TakeOver(cal));
    EXPECT_EQ(InspectLock(cal).owner.pid, ::getpid());
    first.Release();
    EXPECT_EQ(InspectLock(cal).state, LockState::Free);
    // Nothing is left beside the calendar.
    EXPECT_TRUE(fs::is_empty(dir_));
}
