// yorbel-cli count on a calendar and a group file written by the test.
#include <gtest/gtest.h>
#include <unistd.h>

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
namespace files = yorbel::data::testing;

class CliCount : public ::testing::Test {
  protected:
    files::TestFolder folder;
    fs::path calendar = folder / "test.yrb";
    fs::path groups = folder / "groups.yrg";

    void SetUp() override {
        Groups g(folder.path());
        Table& gt = g.CdsGroups();
        for (const char* name : {"Holidays", "Private"}) {
            gt.Append();
            gt.SetText(Gp_name, name);
            gt.SetInteger(Gp_show, 1);
            gt.Post();
        }
        SaveTable(gt, groups);
        EventTables tables(gt);
        Table& e = tables.CdsEvents();
        const auto add = [&](const char* name, int type, int repeat, const char* from,
                             const char* to, int group) {
            files::AppendEvent(e, name, type, repeat, from, to, group);
            e.Post();
        };
        add("Fair", 0, RepeatNone, "20260103", "", 1);    // Saturday
        add("Trip", 1, 0, "20260105", "20260106", 2);     // Monday and Tuesday
        add("New Year", 0, RepeatJewish, "0101", "", 1);  // Saturday 12 September
        tables.SaveCalendarAs(calendar);
    }
    Result Run(std::vector<std::string> args) {
        args.insert(args.begin(), "count");
        return yorbel::cli::testing::RunCliProgram(args, folder / "stderr.txt");
    }
};

TEST_F(CliCount, CountsTheCalendarAsJsonAndTextAndChangesNothing) {
    const std::string before = files::FileBytes(calendar);
    const Result json = Run({"2026-01-01", "2026-12-31", "--calendar", calendar.string(),
                             "--groups", groups.string(), "--skip-weekday", "Sat,0",
                             "--skip-group=2", "--mode", "and-not", "--format", "json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out,
              "{\"from\":\"2026-01-01\",\"to\":\"2026-12-31\",\"total\":365,\"weekdays\":261,"
              "\"event_days\":[0,0,0,0,0,0,2],\"combined\":261}\n");

    const Result text = Run({"2026-01-01", "2026-01-31", "--calendar", calendar.string(),
                             "--groups", groups.string(), "--skip-weekday", "sat,sun"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out,
              "Days from 2026-01-01 to 2026-01-31: 31\n"
              "Days on counted weekdays: 22\n"
              "Event days on Sunday: 0\n"
              "Event days on Monday: 1\n"
              "Event days on Tuesday: 1\n"
              "Event days on Wednesday: 0\n"
              "Event days on Thursday: 0\n"
              "Event days on Friday: 0\n"
              "Event days on Saturday: 1\n"
              "Days with a counted weekday or a counted event: 23\n");
    EXPECT_EQ(files::FileBytes(calendar), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 3);
}

TEST_F(CliCount, BadArgumentsAreNamedAndUnreadableFilesFail) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad{
        {{"2026-01-01"}, "FROM and TO"},
        {{"2026-01-02", "2026-01-01"}, "TO 2026-01-01 lies before FROM"},
        {{"2026-01-01", "2026-02-30"}, "TO"},
        {{"2026-01-01", "2026-01-31", "--skip-weekday", "7"}, "--skip-weekday"},
        {{"2026-01-01", "2026-01-31", "--skip-weekday", "sat,"}, "--skip-weekday"},
        {{"2026-01-01", "2026-01-31", "--skip-group", "x"}, "--skip-group"},
        {{"2026-01-01", "2026-01-31", "--mode", "xor"}, "--mode"},
        {{"2026-01-01", "2026-01-31", "--format", "csv"}, "--format"},
        {{"2026-01-01", "2026-01-31", "--calendar="}, "--calendar"},
    };
    for (const auto& [args, named] : bad) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
    EXPECT_EQ(Run({"2026-01-01", "2026-01-31", "--calendar", (folder / "none.yrb").string(),
                   "--groups", groups.string()})
                  .status,
              1);
}

}  // namespace
