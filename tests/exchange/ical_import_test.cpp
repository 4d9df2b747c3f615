#include "exchange/ical_import.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "data/events.h"
#include "data/groups.h"
#include "data/occurrences.h"
#include "exchange/icalendar_export.h"

namespace yorbel::exchange {
namespace {

namespace fs = std::filesystem;

struct Row {
    int type = 0, repeat = 0;
    std::string from, to;
    std::int32_t group = 0;
};

// Turns LF line ends into CRLF, as most producers write them.
std::string Crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

class IcalImportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("yorbel_ical_import_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        groups_ = std::make_unique<data::Groups>(dir_);
        groups_->LoadGroups(true);
        chosen_ = AddGroup("Chosen");
        holidays_ = AddGroup("School holidays");
        calendar_ = std::make_unique<data::EventTables>(groups_->CdsGroups());
        options_.group = chosen_;
        options_.expand_from = 2026;
        options_.expand_to = 2026;
        options_.zone = {"Europe/Berlin", 1};
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::int32_t AddGroup(const std::string& name) {
        data::Table& g = groups_->CdsGroups();
        g.Append();
        g.SetText(data::Gp_name, name);
        g.SetInteger(data::Gp_show, 1);
        g.Post();
        return g.AsInteger(data::Gp_no);
    }

    IcsImportReport Import(const std::string& text) {
        return ImportICalendarText(calendar_->CdsEvents(), groups_->CdsGroups(), text, options_,
                                   "test.ics");
    }

    // The rows by name; an expanded event's name keeps its last row.
    std::map<std::string, Row> Rows() const {
        std::map<std::string, Row> rows;
        const data::Table& e = calendar_->CdsEvents();
        for (const auto id : e.RowsInTableOrder()) {
            const auto text = [&](data::FieldNo f) {
                const data::Value v = e.ValueOf(id, f);
                return data::IsNullValue(v) ? std::string() : std::get<std::string>(v);
            };
            rows[text(data::Ev_name)] = {std::get<std::int32_t>(e.ValueOf(id, data::Ev_Type)),
                                         std::get<std::int32_t>(e.ValueOf(id, data::Ev_repeat)),
                                         text(data::Ev_from), text(data::Ev_to),
                                         std::get<std::int32_t>(e.ValueOf(id, data::Ev_gp_no))};
        }
        return rows;
    }

    // "yyyymmdd name" of every occurrence in the year.
    static std::multiset<std::string> Days(data::EventTables& calendar, int year) {
        data::GenerateOccurrences(calendar, year, true);
        std::multiset<std::string> days;
        data::Table& d = calendar.CdsEvDates();
        for (d.First(); !d.Eof(); d.Next()) {
            if (d.AsText(data::Ed_date).starts_with(std::to_string(year)))
                days.insert(d.AsText(data::Ed_date) + " " + d.AsText(data::Ed_ev_name));
        }
        return days;
    }

    fs::path dir_;
    std::unique_ptr<data::Groups> groups_;
    std::unique_ptr<data::EventTables> calendar_;
    std::int32_t chosen_ = 0, holidays_ = 0;
    IcsImportOptions options_;
};

constexpr std::string_view kMappingKinds = R"(BEGIN:VCALENDAR
VERSION:2.0
BEGIN:VEVENT
UID:once
DTSTART;VALUE=DATE:20260105
DTEND;VALUE=DATE:20260106
SUMMARY:Once
END:VEVENT
BEGIN:VEVENT
UID:period
DTSTART;VALUE=DATE:20261228
DTEND;VALUE=DATE:20270102
SUMMARY:Period
END:VEVENT
BEGIN:VEVENT
UID:yearly
DTSTART;VALUE=DATE:19800704
RRULE:FREQ=YEARLY
SUMMARY:Yearly
END:VEVENT
BEGIN:VEVENT
UID:second-sunday
DTSTART;VALUE=DATE:20260510
RRULE:FREQ=YEARLY;BYMONTH=5;BYDAY=2SU
SUMMARY:Second Sunday
END:VEVENT
BEGIN:VEVENT
UID:last-monday
DTSTART;VALUE=DATE:20260525
RRULE:FREQ=YEARLY;BYMONTH=5;BYDAY=-1MO
SUMMARY:Last Monday
END:VEVENT
BEGIN:VEVENT
UID:timed
DTSTART:20260301T233000Z
DTEND:20260302T003000Z
SUMMARY:Timed
END:VEVENT
BEGIN:VEVENT
UID:counted
DTSTART;VALUE=DATE:20260301
RRULE:FREQ=YEARLY;COUNT=2
SUMMARY:Counted
END:VEVENT
BEGIN:VEVENT
UID:fortnightly
DTSTART;VALUE=DATE:20200106
RRULE:FREQ=WEEKLY;INTERVAL=2
SUMMARY:Fortnightly
END:VEVENT
BEGIN:VEVENT
UID:leap
DTSTART;VALUE=DATE:20240229
RRULE:FREQ=YEARLY
SUMMARY:Leap
END:VEVENT
END:VCALENDAR
)";

TEST_F(IcalImportTest, EachKindBecomesItsRuleAndTheRestIsExpanded) {
    options_.expand_to = 2028;
    const IcsImportReport report = Import(std::string(kMappingKinds));
    EXPECT_EQ(report.mapped, 6);
    EXPECT_EQ(report.expanded, 3);
    const auto rows = Rows();
    EXPECT_EQ(rows.at("Once").from, "20260105");
    EXPECT_EQ(rows.at("Once").type, 0);
    // DTEND is the day after the last.
    EXPECT_EQ(rows.at("Period").type, 1);
    EXPECT_EQ(rows.at("Period").from, "20261228");
    EXPECT_EQ(rows.at("Period").to, "20270101");
    EXPECT_EQ(rows.at("Yearly").repeat, data::RepeatYearly);
    EXPECT_EQ(rows.at("Yearly").from, "19800704");
    EXPECT_EQ(rows.at("Second Sunday").from, "000205");
    EXPECT_EQ(rows.at("Last Monday").from, "010505");
    // 23:30 UTC is half past midnight in Berlin.
    EXPECT_EQ(rows.at("Timed").from, "20260302");
    // COUNT has no rule kind; a yearly 29 February skips common years, unlike Yorbel's.
    EXPECT_EQ(rows.at("Counted").repeat, data::RepeatNone);
    EXPECT_EQ(Days(*calendar_, 2027).count("20270301 Counted"), 1u);
    EXPECT_EQ(Days(*calendar_, 2027).count("20270228 Leap"), 0u);
    EXPECT_EQ(Days(*calendar_, 2028).count("20280229 Leap"), 1u);
    EXPECT_EQ(Days(*calendar_, 2028).count("20280301 Counted"), 0u);
    // Expanded from near the span, the rule keeps its rhythm from 2020.
    const auto days_2027 = Days(*calendar_, 2027);
    EXPECT_EQ(days_2027.count("20270111 Fortnightly"), 1u);
    EXPECT_EQ(days_2027.count("20270104 Fortnightly"), 0u);

    // A Julian calendar's yearly date is another day: no yearly rule from a Gregorian file.
    auto julian = std::make_unique<data::EventTables>(groups_->CdsGroups());
    options_.gregorian = false;
    const IcsImportReport j = ImportICalendarText(julian->CdsEvents(), groups_->CdsGroups(),
                                                  std::string(kMappingKinds), options_);
    EXPECT_EQ(j.mapped, 3);  // once, period, timed
    EXPECT_EQ(j.expanded, 6);
}

// How ministries and schools publish their holidays: Outlook-style zone names with
// their VTIMEZONE, long folded lines, escaped commas, one VEVENT per period.
constexpr std::string_view kSchoolHolidays = R"(BEGIN:VCALENDAR
PRODID:-//Ministry//Holidays 2026//DE
VERSION:2.0
METHOD:PUBLISH
BEGIN:VTIMEZONE
TZID:W. Europe Standard Time
BEGIN:STANDARD
DTSTART:16011028T030000
RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10
TZOFFSETFROM:+0200
TZOFFSETTO:+0100
END:STANDARD
BEGIN:DAYLIGHT
DTSTART:16010325T020000
RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3
TZOFFSETFROM:+0100
TZOFFSETTO:+0200
END:DAYLIGHT
END:VTIMEZONE
BEGIN:VEVENT
UID:2026-winter@ministry.example
DTSTAMP:20250901T120000Z
DTSTART;VALUE=DATE:20260202
DTEND;VALUE=DATE:20260207
SUMMARY:Winterferien\, Baden-Württemberg und Bayern (bewegliche Ferie
 ntage)
CATEGORIES:SCHOOL HOLIDAYS,Ferien
END:VEVENT
BEGIN:VEVENT
UID:2026-easter@ministry.example
DTSTAMP:20250901T120000Z
DTSTART;VALUE=DATE:20260330
DTEND;VALUE=DATE:20260411
SUMMARY:Osterferien
DESCRIPTION:Die Ferien beginnen am Montag\, dem 30. März.
CATEGORIES:Ferien
END:VEVENT
BEGIN:VEVENT
UID:parents-evening@school.example
DTSTAMP:20250901T120000Z
DTSTART;TZID=W. Europe Standard Time:20260701T003000
DTEND;TZID=W. Europe Standard Time:20260701T013000
SUMMARY:Elternabend
END:VEVENT
END:VCALENDAR
)";

TEST_F(IcalImportTest, SchoolHolidayFileReadsTheSameWithCrlfAndLf) {
    const IcsImportReport lf = Import(std::string(kSchoolHolidays));
    const auto rows = Rows();
    calendar_ = std::make_unique<data::EventTables>(groups_->CdsGroups());
    const IcsImportReport crlf = Import(Crlf(kSchoolHolidays));
    ASSERT_EQ(crlf.mapped, 3);
    EXPECT_TRUE(crlf.notes.empty());
    const auto crlf_rows = Rows();
    ASSERT_EQ(crlf_rows.size(), rows.size());
    for (const auto& [name, row] : rows) EXPECT_EQ(crlf_rows.at(name).from, row.from) << name;

    // The folded line is one name, its escaped comma a comma; the category names a group.
    const Row& winter =
        rows.at("Winterferien, Baden-Württemberg und Bayern (bewegliche Ferientage)");
    EXPECT_EQ(winter.type, 1);
    EXPECT_EQ(winter.from, "20260202");
    EXPECT_EQ(winter.to, "20260206");
    EXPECT_EQ(winter.group, holidays_);
    EXPECT_EQ(rows.at("Osterferien").group, chosen_);
    // 00:30 in the file's zone is still 1 July in Berlin, 30 June in New York.
    EXPECT_EQ(rows.at("Elternabend").from, "20260701");
    calendar_ = std::make_unique<data::EventTables>(groups_->CdsGroups());
    options_.zone = {"America/New_York", -5};
    Import(std::string(kSchoolHolidays));
    EXPECT_EQ(Rows().at("Elternabend").from, "20260630");
}

// A weekly meeting from libical's own writer: one date left out by EXDATE, one moved
// and one cancelled by RECURRENCE-ID, expanded over 2026 only.
std::string WeeklyMeetingFromLibical() {
    icalcomponent* calendar = icalcomponent_new_vcalendar();
    icalcomponent_add_property(calendar, icalproperty_new_version("2.0"));
    icalcomponent* weekly = icalcomponent_new_vevent();
    icalcomponent_set_uid(weekly, "weekly@example");
    icalcomponent_set_summary(weekly, "Team, weekly");
    icalcomponent_set_dtstart(weekly, icaltime_from_string("20251201T100000Z"));
    icalcomponent_set_dtend(weekly, icaltime_from_string("20251201T110000Z"));
    icalcomponent_add_property(weekly, icalproperty_new_rrule(icalrecurrencetype_from_string(
                                           "FREQ=WEEKLY;UNTIL=20260126T235959Z")));
    icalcomponent_add_property(weekly,
                               icalproperty_new_exdate(icaltime_from_string("20260112T100000Z")));
    icalcomponent_add_component(calendar, weekly);
    for (const auto& [recurrence, start, cancelled] :
         {std::tuple{"20260105T100000Z", "20260107T100000Z", false},
          std::tuple{"20260119T100000Z", "20260119T100000Z", true}}) {
        icalcomponent* moved = icalcomponent_new_vevent();
        icalcomponent_set_uid(moved, "weekly@example");
        icalcomponent_set_recurrenceid(moved, icaltime_from_string(recurrence));
        icalcomponent_set_dtstart(moved, icaltime_from_string(start));
        if (cancelled) icalcomponent_set_status(moved, ICAL_STATUS_CANCELLED);
        icalcomponent_add_component(calendar, moved);
    }
    std::string text = icalcomponent_as_ical_string(calendar);
    icalcomponent_free(calendar);
    return text;
}

TEST_F(IcalImportTest, ExpansionLeavesOutExdatesAndFollowsMovedOccurrences) {
    const IcsImportReport report = Import(WeeklyMeetingFromLibical());
    EXPECT_EQ(report.events, 1);
    EXPECT_EQ(report.expanded, 1);
    EXPECT_EQ(report.added, 2);
    EXPECT_EQ(Days(*calendar_, 2026),
              (std::multiset<std::string>{"20260107 Team, weekly", "20260126 Team, weekly"}));
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_EQ(report.notes[0].Key(), "IcsEventExpanded");
    EXPECT_EQ(report.notes[0].Args()[0], "weekly@example");
    EXPECT_GT(report.notes[0].Position().line, 0);
}

TEST_F(IcalImportTest, RoundTripOfAYearGivesTheSameDays) {
    auto source = std::make_unique<data::EventTables>(groups_->CdsGroups());
    data::Table& e = source->CdsEvents();
    for (const auto& [name, type, repeat, from, to] :
         {std::tuple{"New Year", 0, 1, "20000101", ""},
          {"Good Friday", 0, 3, "-2", ""},
          {"Penance", 0, 4, "32", ""},
          {"Mothers", 0, 2, "000205", ""},
          {"Martinmas Sunday", 0, 5, "000101", "20001111"},
          {"Purim", 0, 6, "1314", ""},
          {"Winter", 1, 0, "20251222", "20260105"},
          {"Summer", 1, 0, "20260730", "20260912"}}) {
        e.Append();
        e.SetText(data::Ev_name, name);
        e.SetInteger(data::Ev_Type, type);
        e.SetInteger(data::Ev_repeat, repeat);
        e.SetText(data::Ev_from, from);
        if (*to) e.SetText(data::Ev_to, to);
        e.SetInteger(data::Ev_gp_no, chosen_);
        e.Post();
    }
    const auto expected = Days(*source, 2026);
    const std::string ics = ExportICalendar(*source, *groups_, 2026, true, "Round trip");
    const IcsImportReport report = Import(ics);
    EXPECT_EQ(report.skipped, 0);
    EXPECT_EQ(report.expanded, 0);
    EXPECT_EQ(Days(*calendar_, 2026), expected);
}

TEST_F(IcalImportTest, ForeignOrCutOffFileChangesNothing) {
    const auto refused = [this](const std::string& text) {
        try {
            Import(text);
        } catch (const data::Error& e) {
            return e.Key() + " " + std::to_string(e.Position().line);
        }
        return std::string("imported");
    };
    EXPECT_EQ(refused("\nName,0,0,20260101,,1\r\n"), "IcsNotICalendar 2");
    EXPECT_EQ(refused(""), "IcsNotICalendar 1");
    // Cut off after a complete event: the rest may be missing, so nothing is taken.
    std::string cut(
        kSchoolHolidays.substr(0, kSchoolHolidays.find("BEGIN:VEVENT\nUID:2026-easter")));
    EXPECT_EQ(refused(cut), "IcsIncomplete 1");
    // An event whose BEGIN is damaged would vanish unseen; the file is refused instead.
    std::string damaged(kSchoolHolidays);
    damaged.replace(damaged.find("BEGIN:VEVENT\nUID:2026-easter"), 12, "BEGIN:VEVNT");
    EXPECT_EQ(refused(damaged), "IcsDamaged 0");
    EXPECT_EQ(calendar_->CdsEvents().RecordCount(), 0);
}

TEST_F(IcalImportTest, EventWithoutUsableDateIsReportedAndTheOthersImported) {
    options_.expand_to = calendar::kMaxYear;
    const IcsImportReport report = Import(R"(BEGIN:VCALENDAR
BEGIN:VEVENT
UID:no-start
SUMMARY:No start
END:VEVENT
BEGIN:VEVENT
UID:bad-start
DTSTART:2026-13-45
SUMMARY:Bad start
END:VEVENT
BEGIN:VEVENT
UID:good
DTSTART;VALUE=DATE:20260105
SUMMARY:Good
END:VEVENT
BEGIN:VEVENT
UID:end-of-time
DTSTART;VALUE=DATE:99991225
DTEND;VALUE=DATE:99991231
RDATE;VALUE=DATE:99991229
SUMMARY:Runs past 9999
END:VEVENT
END:VCALENDAR
)");
    // The second occurrence of end-of-time cannot be stored, so none of it is.
    EXPECT_EQ(report.skipped, 3);
    EXPECT_EQ(report.added, 1);
    EXPECT_EQ(calendar_->CdsEvents().RecordCount(), 1);
    ASSERT_EQ(report.notes.size(), 3u);
    EXPECT_EQ(report.notes[2].Key(), "IcsEventNotStored");
    EXPECT_EQ(report.notes[0].Key(), "IcsEventNoDate");
    EXPECT_EQ(report.notes[0].Args()[0], "no-start");
    EXPECT_EQ(report.notes[0].Position().line, 2);
    EXPECT_EQ(report.notes[1].Args()[0], "bad-start");
    EXPECT_EQ(report.notes[1].Position().line, 6);
    EXPECT_EQ(report.notes[1].Position().file, "test.ics");
}

TEST(IcalStoredName, ShortensAtAWordBoundary) {
    bool shortened = false;
    EXPECT_EQ(StoredName("Sommerferien in Baden-Württemberg", 20, &shortened), "Sommerferien in");
    EXPECT_TRUE(shortened);
    EXPECT_EQ(StoredName("Ferien\nHerbst", 80, &shortened), "Ferien Herbst");
    EXPECT_FALSE(shortened);
    // Counted in characters, not bytes; a word without a space is cut where it must be.
    EXPECT_EQ(StoredName("ÄÖÜäöüßÄÖÜ", 4, &shortened), "ÄÖÜä");
    EXPECT_EQ(StoredName("Ferien ÄÖÜ", 10, &shortened), "Ferien ÄÖÜ");
    EXPECT_FALSE(shortened);
}

}  // namespace
}  // namespace yorbel::exchange
