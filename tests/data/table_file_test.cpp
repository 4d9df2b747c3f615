#include "data/table_file.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/file_sync.h"

namespace yorbel::data {
namespace {
namespace fs = std::filesystem;

class TableFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("yorbel_tf_" + std::to_string(::getpid()) + "_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Bytes(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void Write(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }

    fs::path dir_;
};

struct Sample : Table {
    Sample()
        : Table("Sample", {FieldDef::AutoIncrement("no"), FieldDef::Text("name", 80),
                           FieldDef::Integer("n"), FieldDef::Boolean("flag")}) {}
    void Add(const Value& name, const Value& n, const Value& flag) {
        Append();
        Set("name", name);
        Set("n", n);
        Set("flag", flag);
        Post();
    }
};

TEST_F(TableFileTest, RoundTripKeepsRowsNullsAndNumbering) {
    Sample t;
    t.Add(Value{std::string("Ä, \"quoted\"")}, Value{std::int32_t{-2147483647 - 1}}, Value{true});
    t.Add(Value{}, Value{}, Value{});
    t.Add(Value{std::string("")}, Value{std::int32_t{2147483647}}, Value{false});
    t.Add(Value{std::string("gone")}, Value{std::int32_t{0}}, Value{false});
    t.Delete();  // number 4 must not come back
    const fs::path file = dir_ / "s.yrb";
    SaveTable(t, file);

    Sample back;
    LoadTable(back, file);
    ASSERT_EQ(back.RecordCount(), 3);
    for (int row = 0; row < 3; ++row)
        for (int f = 0; f < 4; ++f)
            EXPECT_EQ(back.ValueAt(row, FieldNo(f)), t.ValueAt(row, FieldNo(f)));
    EXPECT_EQ(back.ValueAt(1, FieldNo(1)), Value{}) << "null stays null";
    EXPECT_EQ(back.ValueAt(2, FieldNo(1)), Value{std::string()}) << "an empty text stays a text";
    back.Add(Value{std::string("new")}, Value{}, Value{});
    EXPECT_EQ(back.AsInteger("no"), 5);

    // Hundreds of rows span several insert statements and a shorter last one.
    Sample many;
    for (int i = 0; i < 250; ++i)
        many.Add(i % 5 ? Value{std::to_string(i)} : Value{}, Value{std::int32_t{i}},
                 Value{i % 2 == 0});
    SaveTable(many, dir_ / "many.yrb");
    Sample many_back;
    LoadTable(many_back, dir_ / "many.yrb");
    ASSERT_EQ(many_back.RecordCount(), 250);
    for (int row = 0; row < 250; ++row)
        for (int f = 0; f < 4; ++f)
            ASSERT_EQ(many_back.ValueAt(row, FieldNo(f)), many.ValueAt(row, FieldNo(f)));

    // A bare table takes the file's field definitions.
    Table bare("Bare", {});
    LoadTable(bare, file);
    ASSERT_EQ(bare.FieldCount(), 4);
    EXPECT_EQ(bare.Field(FieldNo(1)).size, 80);
    EXPECT_EQ(bare.Field(FieldNo(0)).kind, FieldKind::AutoIncrement);
    EXPECT_EQ(bare.Field(FieldNo(3)).kind, FieldKind::Boolean);
    EXPECT_EQ(bare.NextAutoIncrement(), 5);

    // An empty table round-trips too.
    Sample empty;
    SaveTable(empty, dir_ / "empty.yrb");
    LoadTable(back, dir_ / "empty.yrb");
    EXPECT_EQ(back.RecordCount(), 0);
    EXPECT_TRUE(back.Eof());
}

TEST_F(TableFileTest, SavePostsAChangedPendingRowAndDropsAnUnchangedOne) {
    Sample t;
    t.Append();
    t.SetText("name", "pending");
    SaveTable(t, dir_ / "a.yrb");
    t.Append();
    SaveTable(t, dir_ / "b.yrb");
    Sample a;
    LoadTable(a, dir_ / "a.yrb");
    EXPECT_EQ(a.RecordCount(), 1);
    Sample b;
    LoadTable(b, dir_ / "b.yrb");
    EXPECT_EQ(b.RecordCount(), 1);
}

TEST_F(TableFileTest, BadFilesAreRefusedUnchangedAndTheTableKeepsItsRows) {
    Sample t;
    t.Add(Value{std::string("keep")}, Value{std::int32_t{1}}, Value{true});

    auto expect_refused = [&](const fs::path& file, const std::string& key) {
        const bool existed = fs::is_regular_file(file);
        const std::string before = existed ? Bytes(file) : "";
        try {
            LoadTable(t, file);
            ADD_FAILURE() << file << " was loaded";
        } catch (const Error& e) {
            EXPECT_EQ(e.Key(), key) << e.what();
            EXPECT_EQ(e.Position().file, file.string());
        }
        if (existed) {
            EXPECT_EQ(Bytes(file), before) << file;
        }
        EXPECT_EQ(t.RecordCount(), 1);
        EXPECT_EQ(t.AsText("name"), "keep");
    };

    expect_refused(dir_ / "missing.yrb", "FileNotFound");
    EXPECT_FALSE(fs::exists(dir_ / "missing.yrb")) << "loading creates nothing";
    Write(dir_ / "text.yrb", "Ev_name,Ev_Type\nBirthday,0\n");
    expect_refused(dir_ / "text.yrb", "NotTableFile");
    Write(dir_ / "empty.yrb", "");
    expect_refused(dir_ / "empty.yrb", "NotTableFile");
    expect_refused(dir_, "NotAFile");

    // Another program's SQLite database.
    const fs::path foreign = dir_ / "foreign.db";
    {
        sqlite3* db = nullptr;
        sqlite3_open(foreign.c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE rows (x); INSERT INTO rows VALUES (1);", nullptr, nullptr,
                     nullptr);
        sqlite3_close(db);
    }
    expect_refused(foreign, "NotTableFile");
    // One in write-ahead-log mode: loading must not create its -wal and -shm files.
    const fs::path wal = dir_ / "wal #1?.db";
    {
        sqlite3* db = nullptr;
        sqlite3_open(wal.c_str(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; CREATE TABLE t (x);", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    auto entries = [this] {
        int n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++n;
        return n;
    };
    const int before = entries();
    expect_refused(wal, "NotTableFile");
    EXPECT_EQ(entries(), before);

    // A table file of a newer format, and one of another table.
    const fs::path newer = dir_ / "newer.yrb";
    SaveTable(t, newer);
    {
        sqlite3* db = nullptr;
        sqlite3_open(newer.c_str(), &db);
        sqlite3_exec(db, "UPDATE meta SET version = 2", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    expect_refused(newer, "TableFileTooNew");
    Table other("Other", {FieldDef::Integer("n"), FieldDef::Text("name", 80)});
    other.Append();
    other.SetInteger("n", 5);
    other.Post();
    SaveTable(other, dir_ / "other.yrb");
    expect_refused(dir_ / "other.yrb", "TableFileMismatch");

    // A damaged value is reported with its row.
    const fs::path damaged = dir_ / "damaged.yrb";
    SaveTable(t, damaged);
    {
        sqlite3* db = nullptr;
        sqlite3_open(damaged.c_str(), &db);
        sqlite3_exec(db, "UPDATE rows SET n = 'x'", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    try {
        LoadTable(t, damaged);
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(e.Position().line, 1);
        EXPECT_EQ(e.Position().field, "n");
    }
}

TEST_F(TableFileTest, RowsBreakingAUniqueIndexAreRefused) {
    Table t("U", {FieldDef::Text("name", 10)});
    for (const char* n : {"a", "a"}) {
        t.Append();
        t.SetText("name", n);
        t.Post();
    }
    SaveTable(t, dir_ / "dup.yrb");
    Table u("U", {FieldDef::Text("name", 10)});
    u.AddIndex("Ix_name", {"name"}, {.primary = false, .unique = true});
    u.Append();
    u.SetText("name", "mine");
    u.Post();
    EXPECT_THROW(LoadTable(u, dir_ / "dup.yrb"), Error);
    ASSERT_EQ(u.RecordCount(), 1);
    u.First();
    EXPECT_EQ(u.AsText("name"), "mine");
}

TEST_F(TableFileTest, FailedSaveLeavesTheOldFileAndNoLitter) {
    Sample t;
    t.Add(Value{std::string("old")}, Value{}, Value{});
    const fs::path file = dir_ / "cal.yrb";
    SaveTable(t, file);
    const std::string before = Bytes(file);
    t.Add(Value{std::string("new")}, Value{}, Value{});
    EXPECT_THROW(SaveTable(t, dir_ / "no_such_folder" / "cal.yrb"), Error);
    if (::geteuid() != 0) {  // root ignores folder permissions
        fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_THROW(SaveTable(t, file), Error);
        fs::permissions(dir_, fs::perms::owner_all);
        EXPECT_EQ(Bytes(file), before);
    }
    fs::permissions(file, fs::perms::owner_read);
    EXPECT_THROW(SaveTable(t, file), Error) << "a write-protected file stays as it is";
    EXPECT_EQ(Bytes(file), before);
    EXPECT_THROW(SaveTable(t, dir_), Error);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    SaveTable(t, file);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}

// What each sync of a save saw: the synced file, and which file was at the target then.
struct SyncSeen {
    ino_t synced;
    bool regular;
    ino_t target_then;  // 0: nothing there
};
std::vector<SyncSeen> g_syncs;
fs::path g_sync_target;

int RecordingSync(int fd) {
    struct stat synced {
    }, target{};
    ::fstat(fd, &synced);
    const bool has_target = ::stat(g_sync_target.c_str(), &target) == 0;
    g_syncs.push_back({synced.st_ino, S_ISREG(synced.st_mode), has_target ? target.st_ino : 0});
    return ::fsync(fd);
}

// A crash right after the rename must find the new content on disk, not an empty file.
TEST_F(TableFileTest, SaveSyncsTheNewFileBeforeItReplacesTheOld) {
    Sample t;
    t.Add(Value{std::string("old")}, Value{}, Value{});
    g_sync_target = dir_ / "cal.yrb";
    SaveTable(t, g_sync_target);
    t.Add(Value{std::string("new")}, Value{}, Value{});
    g_syncs.clear();
    struct Restore {
        FileSyncCall before = SetFileSyncCall(&RecordingSync);
        ~Restore() { SetFileSyncCall(before); }
    };
    {
        Restore recording;
        SaveTable(t, g_sync_target);
    }
    struct stat now {};
    ASSERT_EQ(::stat(g_sync_target.c_str(), &now), 0);
    EXPECT_TRUE(std::any_of(g_syncs.begin(), g_syncs.end(),
                            [&](const SyncSeen& s) {
                                return s.regular && s.synced == now.st_ino && s.target_then != 0 &&
                                       s.target_then != now.st_ino;
                            }))
        << g_syncs.size() << " syncs, none of the new file while the old one was in place";
}

}  // namespace
}  // namespace yorbel::data
