// yorbel-cli occurrences and the events of yorbel-cli day, on a calendar and a group
// file written by the test.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../data/event_rows.h"
#include "../data/test_folder.h"
#include "cli_support.h"
#include "data/events.h"
#include "data/groups.h"
#include "data/table_file.h"

namespace {

namespace fs = std::filesystem;
using namespace yorbel::data;
using Result = yorbel::cli::testing::CliResult;

class CliOccurrences : public ::testing::Test {
  protected:
    fs::path folder = fs::temp_directory_path() /
                      ("yorbel_cli_occ_" + std::to_string(::getpid()) + "_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::path calendar = folder / "test.yrb";
    fs::path groups = folder / "groups.yrg";

    void SetUp() override {
        fs::create_directories(folder);
        Groups g(folder);
        Table& gt = g.CdsGroups();
        for (const auto& [name, show] : {std::pair{"Holidays", 1}, std::pair{"Private", 0}}) {
            gt.Append();
            gt.SetText(Gp_name, name);
            gt.SetInteger(Gp_color, 255);
            gt.SetInteger(Gp_show, show);
            gt.Post();
        }
        SaveTable(gt, groups);

        EventTables tables(gt);
        Table& e = tables.CdsEvents();
        auto add = [&](const std::string& name, int type, int repeat, const std::string& from,
                       const std::string& to, std::optional<int> group) {
            yorbel::data::testing::AppendEvent(e, name, type, repeat, from, to, group);
            e.Post();
        };
        add("Easter, \"the feast\"", 0, RepeatEaster, "0", "", 1);
        add("Broken", 0, RepeatEaster, "x", "", 1);
        add("Secret", 0, RepeatYearly, "20000405", "", 2);
        add("Trip", 1, 0, "20261231", "20270102", std::nullopt);
        tables.SaveCalendarAs(calendar);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    Result Run(const std::vector<std::string>& args, const std::string& env = "") {
        return yorbel::cli::testing::RunCliProgram(args, folder / "stderr.txt", env);
    }
};

TEST_F(CliOccurrences, EveryFormatListsTheYearInGenerationOrder) {
    const Result json = Run({"occurrences", calendar.string(), "--year", "2026", "--groups",
                             groups.string(), "--format", "json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out,
              "{\"date\":\"2026-04-05\",\"event_no\":1,\"name\":\"Easter, \\\"the "
              "feast\\\"\",\"group_no\":1,"
              "\"shown\":true}\n"
              "{\"date\":\"2026-04-05\",\"event_no\":3,\"name\":\"Secret\",\"group_no\":2,"
              "\"shown\":false}\n"
              "{\"date\":\"2026-12-31\",\"event_no\":4,\"name\":\"Trip\",\"group_no\":null,"
              "\"shown\":false}\n");
    // The malformed event is named once on stderr and the others still come out.
    EXPECT_NE(json.err.find("event 2 \"Broken\" skipped"), std::string::npos) << json.err;

    const Result csv = Run({"occurrences", calendar.string(), "--year=2027",
                            "--groups=" + groups.string(), "--format=csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out,
              "date,event_no,name,group_no,shown\n"
              "2027-03-28,1,\"Easter, \"\"the feast\"\"\",1,true\n"
              "2027-04-05,3,Secret,2,false\n"
              "2027-01-01,4,Trip,,false\n"
              "2027-01-02,4,Trip,,false\n");

    const Result text = Run({"occurrences", calendar.string(), "--year", "2026", "--julian",
                             "--groups", groups.string()});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.substr(0, text.out.find('\n')),
              "2026-03-30  1  Easter, \"the feast\"  (group 1)");
}

// Without a stored language the desktop program speaks English.
TEST_F(CliOccurrences, DefaultGroupFileIsTheUsersCopy) {
    const fs::path user = folder / "xdg" / "Brenmark" / "Yorbel";
    fs::create_directories(user);
    fs::copy_file(groups, user / "Groups_e.yrg");
    const Result r = Run({"occurrences", calendar.string(), "--year", "2026", "--format", "csv"},
                         "XDG_DATA_HOME='" + (folder / "xdg").string() + "' XDG_CONFIG_HOME='" +
                             (folder / "config").string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("2026-04-05,1,\"Easter, \"\"the feast\"\"\",1,true\n"), std::string::npos)
        << r.out;
}

// A command without --groups reads the per-user data folder; under test that folder is
// the test's own, never the user's.
TEST_F(CliOccurrences, TestsRunWithAHomeOfTheirOwn) {
    const char* home = std::getenv("HOME");
    const char* data = std::getenv("XDG_DATA_HOME");
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_TRUE(home != nullptr && data != nullptr && user != nullptr);
    EXPECT_NE(fs::weakly_canonical(home), fs::weakly_canonical(user->pw_dir));
    const Result r = Run({"occurrences", calendar.string(), "--year", "2026"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string data_folder = fs::weakly_canonical(data).string();
    EXPECT_NE(data_folder.rfind(fs::weakly_canonical(user->pw_dir).string(), 0), 0u) << data_folder;
}

// Commands that read leave the desktop program's group files alone: they seed nothing,
// and a per-user copy they cannot read (here one of a newer format) is neither moved nor
// replaced; the shipped groups stand in, with a warning.
TEST_F(CliOccurrences, ReadingCommandsNeverTouchTheUsersGroupFiles) {
    const fs::path user = folder / "xdg" / "Brenmark" / "Yorbel";
    const std::string env = "XDG_DATA_HOME='" + (folder / "xdg").string() + "' XDG_CONFIG_HOME='" +
                            (folder / "config").string() + "'";
    fs::create_directories(user);
    fs::copy_file(groups, user / "Groups_e.yrg");
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((user / "Groups_e.yrg").c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "UPDATE meta SET version = 99", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    const std::string newer = yorbel::data::testing::FileBytes(user / "Groups_e.yrg");

    // The shipped groups show group 2, which the user's file hides.
    const Result read =
        Run({"occurrences", calendar.string(), "--year", "2026", "--format", "csv"}, env);
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_NE(read.out.find("2026-04-05,3,Secret,2,true\n"), std::string::npos) << read.out;
    EXPECT_NE(read.err.find("Groups_e.yrg"), std::string::npos) << read.err;
    EXPECT_EQ(Run({"day", "2026-04-05", "--calendar", calendar.string()}, env).status, 0);
    const Result exported = Run({"export", calendar.string(), (folder / "out.csv").string()}, env);
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "3 events written\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(user), fs::directory_iterator()), 1);
    EXPECT_EQ(yorbel::data::testing::FileBytes(user / "Groups_e.yrg"), newer);
}

TEST_F(CliOccurrences, DayListsTheNamesOfShownOccurrences) {
    const Result r = Run({"day", "2026-04-04", "2026-04-05", "--calendar", calendar.string(),
                          "--groups", groups.string(), "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto second = r.out.find('\n') + 1;
    EXPECT_NE(r.out.find("\"events\":[]"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"events\":[\"Easter, \\\"the feast\\\"\"]", second), std::string::npos)
        << r.out;
}

TEST_F(CliOccurrences, BadArgumentsAndUnreadableFiles) {
    EXPECT_EQ(Run({"occurrences", calendar.string()}).status, 2);
    EXPECT_EQ(Run({"occurrences", calendar.string(), "--year", "10000"}).status, 2);
    EXPECT_EQ(Run({"occurrences", "--year", "2026"}).status, 2);
    const Result xml = Run({"occurrences", calendar.string(), "--year", "2026", "--format", "xml"});
    EXPECT_EQ(xml.status, 2);
    EXPECT_NE(xml.err.find("text|json|csv|ics"), std::string::npos) << xml.err;
    EXPECT_EQ(Run({"occurrences", (folder / "missing.yrb").string(), "--year", "2026"}).status, 1);
    EXPECT_EQ(Run({"occurrences", calendar.string(), "--year", "2026", "--groups",
                   calendar.string() + "x"})
                  .status,
              1);
    // A group file that is no table file is refused, not treated as empty.
    { std::ofstream(folder / "junk.yrg") << "not a table"; }
    const Result junk = Run({"occurrences", calendar.string(), "--year", "2026", "--groups",
                             (folder / "junk.yrg").string()});
    EXPECT_EQ(junk.status, 1);
    EXPECT_EQ(junk.out, "");
}

}  // namespace
