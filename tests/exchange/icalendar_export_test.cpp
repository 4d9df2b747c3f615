#include "exchange/icalendar_export.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace yorbel::exchange {
namespace {

namespace fs = std::filesystem;
using calendar::CivilDate;

class IcalendarExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("yorbel_ics_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        groups_ = std::make_unique<data::Groups>(dir_);
        groups_->LoadGroups(true);
        holidays_ = AddGroup("Holidays; public, \\all\\", 1);
        hidden_ = AddGroup("Hidden", 0);
        calendar_ = std::make_unique<data::EventTables>(groups_->CdsGroups());
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::int32_t AddGroup(const std::string& name, int show) {
        data::Table& g = groups_->CdsGroups();
        g.Append();
        g.SetText(data::Gp_name, name);
        g.SetInteger(data::Gp_show, show);
        g.Post();
        return g.AsInteger(data::Gp_no);
    }

    std::int32_t AddEvent(const std::string& name, int type, std::int32_t group) {
        data::Table& e = calendar_->CdsEvents();
        e.Append();
        e.SetText(data::Ev_name, name);
        e.SetInteger(data::Ev_Type, type);
        e.SetInteger(data::Ev_repeat, 0);
        e.SetInteger(data::Ev_gp_no, group);
        e.Post();
        return e.AsInteger(data::Ev_no);
    }

    // Occurrences as the generator writes them.
    void AddOccurrence(std::int32_t event_no, std::int32_t group, const std::string& date) {
        data::Table& d = calendar_->CdsEvDates();
        d.Append();
        d.SetInteger(data::Ed_ev_no, event_no);
        d.SetInteger(data::Ed_gp_no, group);
        d.SetText(data::Ed_date, date);
        d.Post();
    }

    fs::path dir_;
    std::unique_ptr<data::Groups> groups_;
    std::unique_ptr<data::EventTables> calendar_;
    std::int32_t holidays_ = 0, hidden_ = 0;
};

TEST_F(IcalendarExportTest, OneEventPerShownOccurrenceAndOnePerPeriod) {
    const auto new_year = AddEvent("New Year", 0, holidays_);
    const auto holiday = AddEvent("Winter holiday", 1, holidays_);
    const auto secret = AddEvent("Secret", 0, hidden_);
    const auto orphan = AddEvent("No group row", 0, 999);
    const auto easter_late = AddEvent("Far after Easter", 0, holidays_);
    // The period ran from 28 December 2025; its 2026 days are 1–3 January.
    for (const char* d : {"20260101", "20260102", "20260103"}) AddOccurrence(holiday, holidays_, d);
    AddOccurrence(new_year, holidays_, "20260101");
    AddOccurrence(secret, hidden_, "20260105");
    AddOccurrence(orphan, 999, "20260106");
    AddOccurrence(easter_late, holidays_, "20270110");  // a rule may leave the year

    const auto events = CollectAllDayEvents(*calendar_, *groups_, 2026, true, "family.yrb");
    ASSERT_EQ(events.size(), 2u);
    const AllDayEvent& period = events[0].summary == "Winter holiday" ? events[0] : events[1];
    const AllDayEvent& single = events[0].summary == "New Year" ? events[0] : events[1];
    EXPECT_EQ(period.first, (CivilDate{1, 1, 2026}));
    EXPECT_EQ(period.end, (CivilDate{4, 1, 2026}));
    EXPECT_EQ(single.first, (CivilDate{1, 1, 2026}));
    EXPECT_EQ(single.end, (CivilDate{2, 1, 2026}));
    EXPECT_EQ(single.category, "Holidays; public, \\all\\");
    EXPECT_NE(single.uid, period.uid);

    // Stable: the same export gives the same UIDs; another calendar file gives others.
    const auto again = CollectAllDayEvents(*calendar_, *groups_, 2026, true, "family.yrb");
    const auto other = CollectAllDayEvents(*calendar_, *groups_, 2026, true, "work.yrb");
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(again[i].uid, events[i].uid);
        EXPECT_NE(other[i].uid, events[i].uid);
    }
    EXPECT_EQ(calendar_->CdsEvents().CurrentIndex(), "Ix_Ev_no");
}

TEST_F(IcalendarExportTest, JulianDatesBecomeGregorian) {
    const auto christmas = AddEvent("Christmas", 0, holidays_);
    const auto leap = AddEvent("Julian leap day", 1, holidays_);
    AddOccurrence(christmas, holidays_, "20261225");
    AddOccurrence(leap, holidays_, "19000228");
    AddOccurrence(leap, holidays_, "19000229");  // exists only in the Julian calendar
    AddOccurrence(leap, holidays_, "19000301");

    const auto events = CollectAllDayEvents(*calendar_, *groups_, 2026, false, "x");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].first, (CivilDate{7, 1, 2027}));  // Julian 25 Dec 2026

    const auto old = CollectAllDayEvents(*calendar_, *groups_, 1900, false, "x");
    ASSERT_EQ(old.size(), 1u);
    EXPECT_EQ(old[0].first, (CivilDate{12, 3, 1900}));
    EXPECT_EQ(old[0].end, (CivilDate{15, 3, 1900}));  // three days, one event
}

TEST_F(IcalendarExportTest, ExternalReaderSeesEveryEvent) {
    const std::string long_name =
        "Gro\xC3\x9F"
        "e Feier: " +
        std::string(40, 'x') + " \xC3\xA4\xC3\xB6\xC3\xBC\xE2\x82\xAC;,\\ end";
    const auto tricky = AddEvent("Smith, John; \"Jr\" \\ back", 0, holidays_);
    const auto longer = AddEvent(long_name.substr(0, 80), 0, holidays_);
    const auto period = AddEvent("Camp", 1, holidays_);
    AddOccurrence(tricky, holidays_, "20260512");
    AddOccurrence(longer, holidays_, "20261231");
    for (int d = 27; d <= 31; ++d) AddOccurrence(period, holidays_, "202612" + std::to_string(d));

    const fs::path file = dir_ / "out.ics";
    std::ofstream(file, std::ios::binary)
        << ExportICalendar(*calendar_, *groups_, 2026, true, "cal.yrb");

    const std::string command =
        "/usr/bin/python3 " YORBEL_SOURCE_DIR "/tests/exchange/ics_events.py " + file.string();
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    ASSERT_TRUE(pipe);
    std::string output;
    std::array<char, 4096> buf{};
    while (std::fgets(buf.data(), buf.size(), pipe.get())) output += buf.data();
    ASSERT_EQ(::pclose(pipe.release()), 0) << output;

    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    ASSERT_EQ(lines.size(), 3u) << output;
    auto cat = "'Holidays; public, \\\\all\\\\'";
    EXPECT_EQ(lines[0], std::string("1-20260512-") + lines[0].substr(11, 16) +
                            "@yorbel\t'Smith, John; \"Jr\" \\\\ back'\t" + cat +
                            "\t2026-05-12\t2026-05-13");
    EXPECT_NE(lines[1].find("\t2026-12-27\t2027-01-01"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("'Camp'"), std::string::npos);
    EXPECT_NE(lines[2].find("\t2026-12-31\t2027-01-01"), std::string::npos);
    EXPECT_NE(lines[2].find("\xC3\xA4\xC3\xB6\xC3\xBC\xE2\x82\xAC;,\\\\ end"), std::string::npos)
        << lines[2];
}

}  // namespace
}  // namespace yorbel::exchange
