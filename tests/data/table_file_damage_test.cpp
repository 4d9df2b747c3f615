// Damaged, cut-off and tampered table files are refused with the file, row and field at
// fault, and never read as something else.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "blocking_reads.h"
#include "data/events.h"
#include "data/groups.h"
#include "data/regular_file.h"
#include "data/table_file.h"
#include "event_rows.h"
#include "test_folder.h"

namespace yorbel::data {
namespace {
namespace fs = std::filesystem;
using testing::TestFolder;

// Changes a saved file behind the program's back, as any SQLite tool could.
void Alter(const fs::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
}

class TableFileDamageTest : public ::testing::Test {
  protected:
    // A calendar of `count` events "Event 1", "Event 2", ... numbered 1, 2, ...
    fs::path SavedCalendar(const std::string& name, int count = 3) {
        EventTables calendar(groups_.CdsGroups());
        for (int i = 1; i <= count; ++i) {
            testing::AppendEvent(calendar.CdsEvents(), "Event " + std::to_string(i), 0, 1,
                                 "20260101");
            calendar.CdsEvents().Post();
        }
        calendar.SaveCalendarAs(folder_ / name);
        return folder_ / name;
    }

    // The error of loading `file` as a calendar; fails the test when it loads.
    Error LoadFailure(const fs::path& file) {
        EventTables calendar(groups_.CdsGroups());
        try {
            calendar.OpenCalendar(file);
        } catch (const Error& e) {
            EXPECT_EQ(e.Position().file, file.string()) << e.what();
            return e;
        }
        ADD_FAILURE() << file << " was loaded with " << calendar.CdsEvents().RecordCount()
                      << " events";
        return Error("", "");
    }

    TestFolder folder_;
    Groups groups_{folder_.path()};
};

TEST_F(TableFileDamageTest, FieldListNamingAFieldTwiceIsRefused) {
    const fs::path file = SavedCalendar("twice.yrb");
    Alter(file, "UPDATE fields SET name = 'ev_type' WHERE name = 'Ev_repeat'");
    const Error e = LoadFailure(file);
    EXPECT_EQ(e.Key(), "TableFileFieldTwice");
    EXPECT_EQ(e.Position().field, "ev_type");
}

TEST_F(TableFileDamageTest, EveryCutOffOrHolePunchedCopyIsRefused) {
    const fs::path whole = SavedCalendar("whole.yrb", 60);
    const auto size = fs::file_size(whole);
    ASSERT_GE(size, 3 * 4096u);
    const fs::path cut = folder_ / "cut.yrb";
    fs::copy_file(whole, cut);
    EventTables calendar(groups_.CdsGroups());
    int loaded = 0;
    for (auto length = size; length-- > 0;) {
        fs::resize_file(cut, length);
        try {
            calendar.OpenCalendar(cut);
            ++loaded;
            ADD_FAILURE() << "a copy cut off at " << length << " bytes loads";
        } catch (const Error& e) {
            // Whole pages missing are told by the page count in the header.
            if (length % 4096 == 0 && length > 0) {
                EXPECT_EQ(e.Key(), "TableFileIncomplete") << length;
            }
        }
    }
    EXPECT_EQ(loaded, 0);

    // A page lost in a copy (zeroed, as a sparse or interrupted copy leaves it).
    const std::string bytes = testing::FileBytes(whole);
    for (std::size_t page = 1; page < size / 4096; ++page) {
        std::string holed = bytes;
        holed.replace(page * 4096, 4096, std::string(4096, '\0'));
        testing::WriteBytes(cut, holed);
        EXPECT_THROW(calendar.OpenCalendar(cut), Error) << "page " << page + 1 << " zeroed";
    }
}

TEST_F(TableFileDamageTest, ValuesATableCannotHoldAreRefusedWithRowAndField) {
    struct Case {
        std::string sql, key, field;
        int row;
    };
    const Case cases[] = {
        {"UPDATE rows SET Ev_name = replace(hex(zeroblob(81)), '00', 'a') WHERE rowid = 2",
         "TextTooLong", "Ev_name", 2},
        {"UPDATE rows SET Ev_name = CAST(x'4DFC6C6C6572' AS TEXT) WHERE rowid = 2", "TextNotUtf8",
         "Ev_name", 2},
        {"UPDATE rows SET Ev_name = CAST(x'610062' AS TEXT) WHERE rowid = 3",
         "TextControlCharacter", "Ev_name", 3},
        {"UPDATE rows SET Ev_from = '2026' || char(10) || '01' WHERE rowid = 1",
         "TextControlCharacter", "Ev_from", 1},
        {"UPDATE rows SET Ev_no = 1 WHERE rowid = 3", "TableFileNumberTwice", "Ev_no", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        const fs::path file = SavedCalendar("values.yrb");
        Alter(file, c.sql);
        const Error e = LoadFailure(file);
        EXPECT_EQ(e.Key(), c.key) << e.what();
        EXPECT_EQ(e.Position().line, c.row);
        EXPECT_EQ(e.Position().field, c.field);
    }

    // The table refuses to store them in the first place, so no save writes them.
    EventTables calendar(groups_.CdsGroups());
    calendar.CdsEvents().Append();
    EXPECT_THROW(calendar.CdsEvents().SetText(Ev_name, "two\nlines"), Error);
    EXPECT_THROW(calendar.CdsEvents().SetText(Ev_name, "M\xFCller"), Error);

    // A group name twice breaks the unique name index: the second row is named.
    Table& groups = groups_.CdsGroups();
    for (const char* name : {"Birthdays", "Holidays"}) {
        groups.Append();
        groups.SetText(Gp_name, name);
        groups.Post();
    }
    const fs::path group_file = folder_ / "groups.yrg";
    SaveTable(groups, group_file);
    Alter(group_file, "UPDATE rows SET Gp_name = 'Birthdays' WHERE rowid = 2");
    try {
        LoadTable(groups, group_file);
        ADD_FAILURE() << "a group name twice loads";
    } catch (const Error& e) {
        EXPECT_EQ(e.Key(), "KeyViolation");
        EXPECT_EQ(e.Position().line, 2);
        EXPECT_EQ(e.Position().field, "Gp_name");
    }
    EXPECT_EQ(groups.RecordCount(), 2);
}

TEST_F(TableFileDamageTest, ChangesPendingInAJournalOrLogBesideTheFileAreNotIgnored) {
    for (const std::string mode : {"DELETE", "WAL"}) {
        SCOPED_TRACE(mode);
        const fs::path file = SavedCalendar(mode + ".yrb", 2000);
        const fs::path companion = file.string() + (mode == "WAL" ? "-wal" : "-journal");
        // Another program changes the file and has not finished: a transaction still
        // open that has already written some pages, or a log not yet copied into the file.
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
        const std::string change = mode == "WAL"
                                       ? "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; "
                                       : "PRAGMA cache_size=2; BEGIN; ";
        ASSERT_EQ(sqlite3_exec(other, (change + "UPDATE rows SET Ev_name = 'changed'").c_str(),
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        ASSERT_TRUE(fs::exists(companion));
        const std::string file_before = testing::FileBytes(file);
        const std::string companion_before = testing::FileBytes(companion);

        const Error e = LoadFailure(file);
        EXPECT_EQ(e.Key(), "TableFilePendingChanges") << e.what();
        EXPECT_NE(std::string(e.what()).find(companion.string()), std::string::npos) << e.what();
        EXPECT_EQ(testing::FileBytes(file), file_before);
        EXPECT_EQ(testing::FileBytes(companion), companion_before);

        // Once the other program has finished, the file reads with its changes.
        sqlite3_exec(other, mode == "WAL" ? "" : "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        EventTables calendar(groups_.CdsGroups());
        calendar.OpenCalendar(file);
        calendar.CdsEvents().First();
        EXPECT_EQ(calendar.CdsEvents().AsText(Ev_name), "changed");
    }

    // A group file in that state is not moved away from its log.
    Groups groups(folder_.path());
    ASSERT_FALSE(groups.LoadGroups(false).has_value());  // creates an empty one
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(groups.FileName().c_str(), &other), SQLITE_OK);
    sqlite3_exec(other,
                 "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; INSERT INTO rows (Gp_name) "
                 "VALUES ('x')",
                 nullptr, nullptr, nullptr);
    const auto notice = groups.LoadGroups(false);
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->Key(), "GroupFileUnreadable");
    EXPECT_FALSE(fs::exists(groups.FileName().string() + ".bak"));
    sqlite3_close(other);
}

TEST_F(TableFileDamageTest, WhatIsNotARegularFileIsRefusedAtOnce) {
    const fs::path fifo = testing::MakeFifo(folder_ / "calendar.yrb");
    for (const fs::path& path : {fifo, folder_.path(), fs::path("/dev/null")}) {
        EXPECT_TRUE(testing::ReturnsAtOnce([&] {
            try {
                Table table("T", {});
                LoadTable(table, path);
            } catch (const Error& e) {
                return e.Key() == "NotAFile";
            }
            return false;
        })) << path;
    }
    EXPECT_THROW(ReadRegularFile(folder_ / "missing"), Error);
}

}  // namespace
}  // namespace yorbel::data
