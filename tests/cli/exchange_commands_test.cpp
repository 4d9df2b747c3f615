// yorbel-cli import and export, run as the separate program scripts call.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "../app/abandoned_lock.h"
#include "app/lock_file.h"
#include "data/events.h"
#include "data/groups.h"

namespace {

namespace fs = std::filesystem;
using namespace yorbel;

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class ExchangeCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("yorbel_cli_exchange_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // Group 1 shown, group 2 hidden.
        data::Groups groups(dir_);
        groups.LoadGroups(true);
        for (const auto& [name, show] : {std::pair{"Shown", 1}, std::pair{"Hidden", 0}}) {
            groups.CdsGroups().Append();
            groups.CdsGroups().SetText(data::Gp_name, name);
            groups.CdsGroups().SetInteger(data::Gp_show, show);
            groups.CdsGroups().Post();
        }
        groups.SaveGroups();
        groups_file_ = (dir_ / data::kGroupFileEnglish).string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    CliRun Cli(const std::string& args) {
        const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
        // HOME points into the test folder so nothing of the user's is read or written.
        const std::string command =
            "HOME=" + Quote(dir_.string()) +
            " XDG_DATA_HOME= XDG_CONFIG_HOME= " + YORBEL_BIN_DIR "/yorbel-cli " + args + " >" +
            Quote(out.string()) + " 2>" + Quote(err.string());
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
    }

    std::string P(const std::string& name) const { return Quote((dir_ / name).string()); }

    // Name and group of every event, and their numbers, as stored in the calendar file.
    std::vector<std::string> Events(const std::string& name) const {
        data::Groups groups(dir_ / "unused");
        data::EventTables cal(groups.CdsGroups());
        cal.OpenCalendar(dir_ / name);
        std::vector<std::string> rows;
        data::Table& e = cal.CdsEvents();
        for (e.First(); !e.Eof(); e.Next()) {
            rows.push_back(
                std::to_string(e.AsInteger(data::Ev_no)) + ":" + e.AsText(data::Ev_name) + ":" +
                (e.IsNull(data::Ev_gp_no) ? "-" : std::to_string(e.AsInteger(data::Ev_gp_no))));
        }
        return rows;
    }

    void Write(const std::string& name, std::string_view bytes) const {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }

    fs::path dir_;
    std::string groups_file_;
};

using Rows = std::vector<std::string>;

TEST_F(ExchangeCommandsTest, ImportCreatesAMissingCalendarAndAppendsAgain) {
    Write("in.csv",
          "\"Smith, John\",0,1,19800512,,1\r\nHoliday,1,0,20260720,20260731,2\r\nMover,0,3,-2,,1");
    CliRun r = Cli("import " + P("cal.yrb") + " " + P("in.csv"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "3 events added\n");
    EXPECT_EQ(Events("cal.yrb"), (Rows{"1:Smith, John:1", "2:Holiday:2", "3:Mover:1"}));

    r = Cli("import " + P("cal.yrb") + " " + P("in.csv") + " --groups " + Quote(groups_file_));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Events("cal.yrb").size(), 6u);
    EXPECT_EQ(Events("cal.yrb")[5], "6:Mover:1");

    // An empty file into a missing calendar still creates it; into an existing one it
    // changes nothing, not even the file.
    Write("empty.csv", "");
    EXPECT_EQ(Cli("import " + P("new.yrb") + " " + P("empty.csv")).out, "0 events added\n");
    EXPECT_TRUE(fs::exists(dir_ / "new.yrb"));
    const auto before = fs::last_write_time(dir_ / "cal.yrb");
    EXPECT_EQ(Cli("import " + P("cal.yrb") + " " + P("empty.csv")).status, 0);
    EXPECT_EQ(fs::last_write_time(dir_ / "cal.yrb"), before);
}

TEST_F(ExchangeCommandsTest, FailuresNameTheLineOrFileAndSaveNothing) {
    Write("good.csv", "Kept,0,0,20260101,,1\r\n");
    ASSERT_EQ(Cli("import " + P("cal.yrb") + " " + P("good.csv")).status, 0);

    Write("bad.csv", "One,0,0,20260102,,1\r\nTwo,abc,0,20260103,,1\r\nThree,0,0,20260104,,1\r\n");
    CliRun r = Cli("import " + P("cal.yrb") + " " + P("bad.csv"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 2"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("abc"), std::string::npos) << r.err;
    // The column by the caption a user knows, not its stored name.
    EXPECT_NE(r.err.find("Kind"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Ev_Type"), std::string::npos) << r.err;
    EXPECT_EQ(Events("cal.yrb"), (Rows{"1:Kept:1"}));

    r = Cli("import " + P("fresh.yrb") + " " + P("bad.csv"));
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "fresh.yrb"));

    r = Cli("import " + P("cal.yrb") + " " + P("missing.csv"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing.csv"), std::string::npos) << r.err;

    r = Cli("export " + P("cal.yrb") + " " + P("no/such/folder.csv") + " --groups " +
            Quote(groups_file_));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("folder.csv"), std::string::npos) << r.err;

    r = Cli("export " + P("nocal.yrb") + " " + P("out.csv") + " --groups " + Quote(groups_file_));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("nocal.yrb"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("nocal.yrb"), r.err.rfind("nocal.yrb")) << "named once: " << r.err;

    EXPECT_EQ(Cli("export " + P("cal.yrb") + " " + P("out.csv") + " --groups " + P("nogroups.yrg"))
                  .status,
              1);
    EXPECT_EQ(Cli("import " + P("cal.yrb")).status, 2);
    EXPECT_EQ(Cli("export " + P("cal.yrb") + " " + P("out.csv") + " --bogus").status, 2);
}

TEST_F(ExchangeCommandsTest, ImportHonoursTheLockOfTheCalendar) {
    Write("in.csv", "A,0,0,20260101,,1\r\n");
    ASSERT_EQ(Cli("import " + P("cal.yrb") + " " + P("in.csv")).status, 0);
    const std::string cal = (dir_ / "cal.yrb").string();
    const std::string before = ReadFile(cal);
    {
        // A desktop window holds the calendar for writing (here: this process).
        app::CalendarLock window;
        ASSERT_TRUE(window.TryAcquire(cal));
        const CliRun r = Cli("import " + P("cal.yrb") + " " + P("in.csv"));
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(app::LockFileName(cal)), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("process " + std::to_string(::getpid())), std::string::npos) << r.err;
        EXPECT_EQ(ReadFile(cal), before);
    }
    // An earlier version's lock names nobody: refused as well.
    Write("~al.lck", "");
    EXPECT_EQ(Cli("import " + P("cal.yrb") + " " + P("in.csv")).status, 1);
    EXPECT_EQ(ReadFile(cal), before);

    // A lock left by a program that no longer runs is taken over, and said so.
    const long gone = test::PlantAbandonedLock(cal);
    const CliRun r = Cli("import " + P("cal.yrb") + " " + P("in.csv"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("process " + std::to_string(gone)), std::string::npos) << r.err;
    EXPECT_EQ(Events("cal.yrb"), (Rows{"1:A:1", "2:A:1"}));
    EXPECT_FALSE(fs::exists(app::LockFileName(cal)));
}

// Imports started together: each that reports success is in the file, whole.
TEST_F(ExchangeCommandsTest, SimultaneousImportsNeverLoseOne) {
    Write("a.csv", "A,0,0,20260101,,1\r\n");
    Write("b.csv", "B,0,0,20260102,,1\r\n");
    const std::string import = "HOME=" + Quote(dir_.string()) +
                               " XDG_DATA_HOME= XDG_CONFIG_HOME= " YORBEL_BIN_DIR
                               "/yorbel-cli import " +
                               P("cal.yrb") + " ";
    const auto run = [&](const char* name) {
        return "(" + import + P(std::string(name) + ".csv") + " >/dev/null 2>>" + P("err") +
               "; echo $? >" + P(std::string(name) + ".status") + ")";
    };
    std::size_t landed = 0;
    for (int round = 0; round < 10; ++round) {
        ASSERT_EQ(std::system((run("a") + " & " + run("b") + " & wait").c_str()), 0);
        for (const char* name : {"a", "b"}) {
            const int status = std::stoi(ReadFile(dir_ / (std::string(name) + ".status")));
            EXPECT_TRUE(status == 0 || status == 1) << status;
            landed += status == 0;
        }
        ASSERT_EQ(Events("cal.yrb").size(), landed)
            << "round " << round << ": " << ReadFile(dir_ / "err");
    }
    // Neither a lock nor a temporary file is left.
    for (const auto& entry : fs::directory_iterator(dir_)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name[0] != '~' && name.find(".tmp-") == std::string::npos) << name;
    }
}

TEST_F(ExchangeCommandsTest, ExportWritesShownGroupsAndReadsBackTheSame) {
    Write("in.csv",
          "\"Say \"\"hi\"\", all\",0,1,20260101,,1\r\nSecret,0,0,20260102,,2\r\n"
          "Nobody's,0,0,20260103,,7\r\nK\xC3\xB6ln,1,0,20260301,20260305,1\r\n");
    ASSERT_EQ(Cli("import " + P("cal.yrb") + " " + P("in.csv")).status, 0);

    CliRun r =
        Cli("export " + P("cal.yrb") + " " + P("out.csv") + " --groups " + Quote(groups_file_));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2 events written\n");
    EXPECT_EQ(ReadFile(dir_ / "out.csv"),
              "\"Say \"\"hi\"\", all\",0,1,20260101,,1\r\nK\xC3\xB6ln,1,0,20260301,20260305,1\r\n");

    ASSERT_EQ(Cli("import " + P("copy.yrb") + " " + P("out.csv")).status, 0);
    EXPECT_EQ(Events("copy.yrb"), (Rows{"1:Say \"hi\", all:1", "2:K\xC3\xB6ln:1"}));

    // Without --groups the desktop program's per-user group file of the stored language
    // is used, the shipped one (groups 1, 2 and 7 shown) while there is none; nothing is
    // seeded.
    const fs::path user_groups = dir_ / ".local/share/Brenmark/Yorbel";
    r = Cli("export " + P("cal.yrb") + " " + P("user.csv"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "4 events written\n");
    EXPECT_FALSE(fs::exists(user_groups));
    fs::create_directories(user_groups);
    fs::copy_file(groups_file_, user_groups / data::kGroupFileGerman);
    fs::create_directories(dir_ / ".config/Brenmark");
    Write(".config/Brenmark/Yorbel.conf", "[General]\nLanguage=0\n");
    // Its groups 1 and 2 are kept; the shipped groups from 3 on, which it never had, are
    // added in memory only, 7 (shown) among them.
    r = Cli("export " + P("cal.yrb") + " " + P("user.csv"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "3 events written\n");
    EXPECT_EQ(ReadFile(user_groups / data::kGroupFileGerman), ReadFile(groups_file_));
    EXPECT_FALSE(fs::exists(user_groups / data::kGroupFileEnglish));
}

TEST_F(ExchangeCommandsTest, OccurrencesAsICalendarForAnExternalReader) {
    Write("in.csv",
          "New Year,0,1,20000101,,1\r\nCamp,1,0,20261230,20270103,1\r\n"
          "Secret,0,1,20000105,,2\r\nEaster,0,3,0,,1\r\n");
    ASSERT_EQ(Cli("import " + P("cal.yrb") + " " + P("in.csv")).status, 0);

    // A set SOURCE_DATE_EPOCH stamps the file, so that two exports give the same bytes.
    ::setenv("SOURCE_DATE_EPOCH", "1767225600", 1);
    // One line per event as the python icalendar library reads it.
    auto read_back = [&](const std::string& options) {
        const std::string ics =
            Cli("occurrences " + P("cal.yrb") + " --year 2026 --format ics --groups " +
                Quote(groups_file_) + options)
                .out;
        Write("out.ics", ics);
        const std::string command = "/usr/bin/python3 " YORBEL_SOURCE_DIR
                                    "/tests/exchange/ics_events.py " +
                                    P("out.ics") + " >" + P("events.txt") + " 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << ReadFile(dir_ / "events.txt");
        std::vector<std::string> fields;
        std::istringstream in(ReadFile(dir_ / "events.txt"));
        for (std::string line; std::getline(in, line);) {
            fields.push_back(line.substr(line.find('\t') + 1));  // without the UID
        }
        return std::pair{fields, ics};
    };
    const auto [events, ics] = read_back("");
    EXPECT_EQ(events, (Rows{"'New Year'\t'Shown'\t2026-01-01\t2026-01-02",
                            "'Easter'\t'Shown'\t2026-04-05\t2026-04-06",
                            "'Camp'\t'Shown'\t2026-12-30\t2027-01-01"}));
    EXPECT_EQ(read_back("").second, ics);  // same UIDs, same bytes

    const auto [julian, unused] = read_back(" --julian");
    ASSERT_EQ(julian.size(), 3u);
    EXPECT_EQ(julian[0], "'New Year'\t'Shown'\t2026-01-14\t2026-01-15");
    EXPECT_NE(ics.find("DTSTAMP:20260101T000000Z"), std::string::npos);
    ::unsetenv("SOURCE_DATE_EPOCH");
}

TEST_F(ExchangeCommandsTest, LinuxLineEndsImportAndAnEventNeedsItsRuleColumns) {
    Write("lf.csv", "Birthday,0,1,19800512,,1\nNew year,0,1,20000101\n");
    CliRun r = Cli("import " + P("cal.yrb") + " " + P("lf.csv"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Events("cal.yrb"), (Rows{"1:Birthday:1", "2:New year:-"}));

    for (const auto& [text, line] :
         {std::pair{"hello", "line 1"},
          std::pair{"A,0,1,20000101\nB,0,1,20000102\nC,0,1\n", "line 3"}}) {
        Write("short.csv", text);
        r = Cli("import " + P("cal.yrb") + " " + P("short.csv"));
        EXPECT_EQ(r.status, 1) << text;
        EXPECT_NE(r.err.find(line), std::string::npos) << r.err;
    }
    EXPECT_EQ(Events("cal.yrb").size(), 2u);
}

}  // namespace

TEST_F(ExchangeCommandsTest, ICalendarIsToldByContentAndReportsWhatItDid) {
    // Named .txt: the content decides. The category names group 2; the weekly rule has no
    // rule kind and is expanded over 2030 only; one event has no date.
    Write("holidays.txt",
          "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:h1\r\nDTSTART;VALUE=DATE:20300701\r\n"
          "DTEND;VALUE=DATE:20300811\r\nSUMMARY:Summer\r\nCATEGORIES:hidden\r\nEND:VEVENT\r\n"
          "BEGIN:VEVENT\r\nUID:w1\r\nDTSTART;VALUE=DATE:20291231\r\n"
          "RRULE:FREQ=WEEKLY;COUNT=3\r\nSUMMARY:Club\r\nEND:VEVENT\r\n"
          "BEGIN:VEVENT\r\nUID:x1\r\nSUMMARY:Undated\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    CliRun r = Cli("import " + P("cal.yrb") + " " + P("holidays.txt") + " --groups " +
                   Quote(groups_file_) + " --group 1 --expand-from 2030 --expand-to 2030");
    EXPECT_EQ(r.status, 1) << r.err;  // an event was left out
    EXPECT_EQ(Events("cal.yrb"), (Rows{"1:Summer:2", "2:Club:1", "3:Club:1"}));
    EXPECT_NE(r.out.find("w1 (Club) repeats"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("x1 (Undated) has no usable start date"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("line 15)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("3 events added"), std::string::npos) << r.out;

    EXPECT_EQ(Cli("import " + P("cal.yrb") + " " + P("holidays.txt") + " --groups " +
                  Quote(groups_file_) + " --group 9")
                  .status,
              2);

    // Nothing imported: the calendar stays as it was, a missing one is not created.
    Write("undated.ics", "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:u\nEND:VEVENT\nEND:VCALENDAR\n");
    const auto before = fs::last_write_time(dir_ / "cal.yrb");
    EXPECT_EQ(Cli("import " + P("cal.yrb") + " " + P("undated.ics")).status, 1);
    EXPECT_EQ(fs::last_write_time(dir_ / "cal.yrb"), before);
    Write("letter.ics", "Dear John,\n");
    r = Cli("import " + P("new.yrb") + " " + P("letter.ics"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not an iCalendar file"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir_ / "new.yrb"));
}
