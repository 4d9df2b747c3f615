// Runs the built yorbel-cli as scripts do and checks its output and exit status.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli_support.h"

namespace {

using Result = yorbel::cli::testing::CliResult;

Result RunCli(const std::vector<std::string>& args) {
    const std::filesystem::path err_file =
        std::filesystem::temp_directory_path() /
        ("yorbel_cli_test_" + std::to_string(::getpid()) + ".err");
    Result r = yorbel::cli::testing::RunCliProgram(args, err_file);
    std::filesystem::remove(err_file);
    return r;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(CliDay, JsonRecordOfOneDay) {
    const Result r = RunCli({"day", "2026-12-07", "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(Lines(r.out).size(), 1u);
    const std::string head =
        "{\"date\":\"2026-12-07\",\"weekday\":1,\"day_of_year\":341,\"days_left\":24,\"week\":50,"
        "\"weeks_left\":3,"
        "\"day_number\":2461382,\"jewish\":{\"year\":5787,\"month\":3,\"day\":27,\"month_name\":"
        "\"Kislev\"},"
        "\"sunrise\":\"08:10\",\"sunset\":\"16:23\",\"moonrise\":\"06:58\",\"moonset\":\"14:47\","
        "\"moon_age\":";
    const std::string tail =
        ",\"next_phase\":{\"kind\":\"new\",\"time\":\"2026-12-09T01:52\"},\"events\":[]}\n";
    ASSERT_EQ(r.out.rfind(head, 0), 0u) << r.out;
    ASSERT_GT(r.out.size(), head.size() + tail.size());
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail) << r.out;
    const std::string age = r.out.substr(head.size(), r.out.size() - head.size() - tail.size());
    EXPECT_NEAR(std::stod(age), 337.4, 0.05) << age;
}

TEST(CliDay, RangesAndFormats) {
    const Result json = RunCli({"day", "2026-01-01", "2026-12-31", "--format=json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto lines = Lines(json.out);
    ASSERT_EQ(lines.size(), 365u);
    EXPECT_EQ(lines.back().rfind("{\"date\":\"2026-12-31\"", 0), 0u);

    const Result csv = RunCli({"day", "2024-02-28", "2024-03-01", "--format", "csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const auto rows = Lines(csv.out);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].rfind("date,weekday,day_of_year,", 0), 0u);
    EXPECT_EQ(rows[2].rfind("2024-02-29,4,60,306,", 0), 0u);
    for (const std::string& row : rows)
        EXPECT_EQ(std::count(row.begin(), row.end(), ','), 18) << row;

    const Result text = RunCli({"day", "2026-12-07"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("27 Kislev 5787"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("08:10 - 16:23"), std::string::npos) << text.out;
}

TEST(CliDay, OptionValuesAfterEqualsOrAsNextWordIncludingNegativeNumbers) {
    const Result spaced = RunCli({"day", "2026-03-01", "--lat", "40.71", "--lon", "-74.01",
                                  "--zone", "-5", "--format", "json"});
    const Result joined =
        RunCli({"day", "2026-03-01", "--lat=40.71", "--lon=-74.01", "--zone=-5", "--format=json"});
    ASSERT_EQ(spaced.status, 0) << spaced.err;
    EXPECT_EQ(spaced.out, joined.out);
    // New York sunrise is in the morning local time, not Frankfurt's.
    EXPECT_NE(spaced.out.find("\"sunrise\":\"06:"), std::string::npos) << spaced.out;
}

// Moon times are those of the local day in the zone given: none on a day the moon does not
// rise, and an early-hour rising west of Greenwich where it really is.
TEST(CliDay, MoonTimesOfTheLocalDay) {
    const Result frankfurt = RunCli({"day", "2026-04-06", "--format", "json"});
    ASSERT_EQ(frankfurt.status, 0) << frankfurt.err;
    EXPECT_NE(frankfurt.out.find("\"moonrise\":null,\"moonset\":\"07:05\""), std::string::npos)
        << frankfurt.out;
    const Result anchorage = RunCli({"day", "2027-02-25", "--lat", "61.2181", "--lon", "-149.9003",
                                     "--zone", "-9", "--format", "json"});
    ASSERT_EQ(anchorage.status, 0) << anchorage.err;
    EXPECT_NE(anchorage.out.find("\"moonrise\":\"01:0"), std::string::npos) << anchorage.out;
}

// --tz gives the clock times of a named zone, summer time included; the records of a
// fixed zone stay as they were.
TEST(CliDay, NamedZoneGivesSummerClockTimes) {
    const Result berlin =
        RunCli({"day", "2026-06-21", "--tz", "Europe/Berlin", "--format", "json"});
    ASSERT_EQ(berlin.status, 0) << berlin.err;
    EXPECT_NE(berlin.out.find("\"sunset\":\"21:39\""), std::string::npos) << berlin.out;
    EXPECT_NE(
        berlin.out.find("\"zone\":{\"name\":\"Europe/Berlin\",\"hours\":2,\"summer_time\":true}"),
        std::string::npos)
        << berlin.out;
    const Result fixed = RunCli({"day", "2026-06-21", "--format", "json"});
    EXPECT_NE(fixed.out.find("\"sunset\":\"20:39\""), std::string::npos) << fixed.out;
    EXPECT_EQ(fixed.out.find("\"zone\""), std::string::npos) << fixed.out;

    const Result text = RunCli({"day", "2026-06-21", "--tz=Europe/Berlin"});
    EXPECT_NE(text.out.find("clock Europe/Berlin, summer time (UT+2)"), std::string::npos)
        << text.out;
    const Result unknown = RunCli({"day", "2026-06-21", "--tz", "Europe/Atlantis"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("--tz"), std::string::npos) << unknown.err;
}

TEST(CliDay, ReckoningOptions) {
    const Result julian = RunCli({"day", "2100-02-29", "--julian", "--format", "json"});
    ASSERT_EQ(julian.status, 0) << julian.err;
    EXPECT_NE(julian.out.find("\"weekday\":0"), std::string::npos) << julian.out;

    const Result sunday = RunCli(
        {"day", "2026-01-01", "--week-start", "sun", "--week-rule", "2", "--format", "json"});
    ASSERT_EQ(sunday.status, 0) << sunday.err;
    EXPECT_NE(sunday.out.find("\"week\":53,"), std::string::npos) << sunday.out;

    const Result polar =
        RunCli({"day", "2026-12-21", "--lat", "78.22", "--lon", "15.65", "--format", "json"});
    ASSERT_EQ(polar.status, 0) << polar.err;
    EXPECT_NE(polar.out.find("\"sunrise\":null,\"sunset\":null"), std::string::npos) << polar.out;
}

TEST(CliDay, BadArgumentsExitTwoWithOneLine) {
    const std::vector<std::vector<std::string>> cases = {
        {"day", "2026-02-30"},
        {"day", "2026-13-01"},
        {"day", "0000-01-01"},
        {"day", "2026-1-1"},
        {"day", "2100-02-29"},
        {"day", "2026-12-07", "--week-rule", "4"},
        {"day", "2026-12-07", "--lat", "95"},
        {"day", "2026-12-07", "--lon", "east"},
        {"day", "2026-12-07", "--zone", "nan"},
        {"day", "2026-12-07", "--zone", "15"},
        {"day", "2026-12-07", "--zone", "-14.5"},
        {"day", "2026-12-07", "--tz", "Europe/Atlantis"},
        {"day", "2026-12-07", "--tz", "Europe/Berlin", "--zone", "1"},
        {"day", "2026-12-07", "--week-start", "monday"},
        {"day", "2026-12-07", "--format", "xml"},
        {"day", "2026-12-07", "--bogus"},
        {"day", "2026-12-07", "--lat"},
        {"day", "2026-12-07", "--julian=yes"},
        {"day", "2026-12-07", "2026-12-01"},
        {"day", "2026-12-07", "2026-12-08", "2026-12-09"},
        {"day"},
        {"easter", "0"},
        {"easter", "10000"},
        {"easter", "20x6"},
        {"easter"},
        {"frobnicate"},
        {},
    };
    for (const auto& args : cases) {
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        const Result r = RunCli(args);
        EXPECT_EQ(r.status, 2) << joined;
        EXPECT_EQ(r.out, "") << joined;
        if (!args.empty()) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << joined << r.err;
        }
    }
}

TEST(CliEaster, GregorianAndJulian) {
    EXPECT_EQ(RunCli({"easter", "2026"}).out, "2026-04-05\n");
    EXPECT_EQ(RunCli({"easter", "2026", "--julian"}).out, "2026-03-30\n");
    EXPECT_EQ(RunCli({"easter", "--julian", "2000"}).out, "2000-04-17\n");
}

TEST(CliHelp, EveryCommandPrintsUsage) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"day", "--help"}, {"easter", "--help"}}) {
        const Result r = RunCli(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("yorbel-cli"), std::string::npos);
    }
}

}  // namespace
