// The group files and sample calendars that the build puts beside the programs.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "data/events.h"
#include "data/groups.h"
#include "data/occurrences.h"
#include "data/table.h"
#include "data/table_file.h"

namespace yorbel::data {
namespace {

const std::filesystem::path kBin = YORBEL_BIN_DIR;

struct GroupRow {
    std::string name;
    std::int32_t color = 0;
    bool free = false;
    std::int32_t show = 0;
};

std::map<std::int32_t, GroupRow> ReadGroups(const char* file) {
    Table table("CdsGroups", {});
    LoadTable(table, kBin / file);
    std::map<std::int32_t, GroupRow> rows;
    const FieldNo no = table.FieldByName("Gp_no"), name = table.FieldByName("Gp_name"),
                  color = table.FieldByName("Gp_color"), free = table.FieldByName("Gp_free"),
                  show = table.FieldByName("Gp_show");
    for (table.First(); !table.IsEmpty() && !table.Eof(); table.Next()) {
        rows[table.AsInteger(no)] = {table.AsText(name), table.AsInteger(color),
                                     table.AsBoolean(free), table.AsInteger(show)};
    }
    return rows;
}

double Channel(std::int32_t color, int shift) {
    double c = ((color >> shift) & 0xFF) / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// Relative luminance of a 0x00BBGGRR colour.
double Luminance(std::int32_t color) {
    return 0.2126 * Channel(color, 0) + 0.7152 * Channel(color, 8) + 0.0722 * Channel(color, 16);
}

double Distance(std::int32_t a, std::int32_t b) {
    double sum = 0;
    for (int shift : {0, 8, 16}) {
        double d = ((a >> shift) & 0xFF) - ((b >> shift) & 0xFF);
        sum += d * d;
    }
    return std::sqrt(sum);
}

TEST(ShippedGroups, BothLanguagesNumberTheSameGroupsAlike) {
    const auto german = ReadGroups("Groups_d.yrg");
    const auto english = ReadGroups("Groups_e.yrg");
    ASSERT_GE(german.size(), 6u);
    ASSERT_EQ(german.size(), english.size());
    std::int32_t expected_no = 1;
    for (const auto& [no, row] : german) {
        EXPECT_EQ(no, expected_no++);
        ASSERT_TRUE(english.contains(no));
        const GroupRow& other = english.at(no);
        EXPECT_EQ(row.color, other.color) << row.name << " / " << other.name;
        EXPECT_EQ(row.free, other.free) << row.name;
        EXPECT_EQ(row.show, 1) << row.name;
        EXPECT_EQ(other.show, 1) << other.name;
    }
}

// The marked day's default background (yellow): a group colour must not pass for it.
constexpr std::int32_t kMarkBack = 0x00FFFF;

TEST(ShippedGroups, ColoursAreDistinctAndKeepDayNumbersReadable) {
    const auto groups = ReadGroups("Groups_e.yrg");
    for (const auto& [no, row] : groups) {
        EXPECT_EQ(row.color & 0xFF000000, 0) << row.name << ": a plain colour, no system colour";
        // Black day numbers need a contrast of at least 7:1 on the group colour.
        EXPECT_GE((Luminance(row.color) + 0.05) / 0.05, 7.0) << row.name;
        EXPECT_GE(Distance(row.color, 0xFFFFFF), 40.0) << row.name << " looks like a plain day";
        EXPECT_GE(Distance(row.color, kMarkBack), 40.0) << row.name << " looks like the marked day";
        for (const auto& [other_no, other] : groups) {
            if (other_no > no) {
                EXPECT_GE(Distance(row.color, other.color), 40.0)
                    << row.name << " / " << other.name;
            }
        }
    }
}

// Occurrences of a sample calendar in one year: event name to its dates, in generation
// order. Every rule must expand without being skipped.
std::map<std::string, std::vector<std::string>> OccurrencesOf(const std::string& sample, int year) {
    const Groups groups(kBin);
    EventTables tables(groups.CdsGroups());
    tables.OpenCalendar(kBin / "examples" / (sample + ".yrb"));
    const auto skipped = GenerateOccurrences(tables, year, true);
    for (const auto& s : skipped)
        ADD_FAILURE() << sample << ": " << s.name << ": " << s.reason.what();

    std::map<std::int32_t, std::string> names;
    Table& events = tables.CdsEvents();
    for (events.First(); !events.IsEmpty() && !events.Eof(); events.Next()) {
        names[events.AsInteger(Ev_no)] = events.AsText(Ev_name);
    }
    std::map<std::string, std::vector<std::string>> dates;
    Table& ev_dates = tables.CdsEvDates();
    ev_dates.SetCurrentIndex("");  // table order is generation order
    for (ev_dates.First(); !ev_dates.IsEmpty() && !ev_dates.Eof(); ev_dates.Next()) {
        dates[names.at(ev_dates.AsInteger(Ed_ev_no))].push_back(ev_dates.AsText(Ed_date));
    }
    return dates;
}

// Every sample calendar loads; each event belongs to a group of both group files, so it
// is painted in either language, and occurs in 2026 or 2027 (every year when it recurs).
TEST(SampleCalendars, EveryEventHasAShippedGroupAndOccurs) {
    const auto german = ReadGroups("Groups_d.yrg");
    const auto english = ReadGroups("Groups_e.yrg");
    const Groups groups(kBin);  // never loaded: the lookups are not read here
    std::size_t calendars = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kBin / "examples")) {
        if (entry.path().extension() != ".yrb") continue;
        ++calendars;
        const std::string sample = entry.path().stem().string();
        EventTables tables(groups.CdsGroups());
        tables.OpenCalendar(entry.path());
        Table& events = tables.CdsEvents();
        EXPECT_GE(events.RecordCount(), 10) << sample;
        const auto y2026 = OccurrencesOf(sample, 2026);
        const auto y2027 = OccurrencesOf(sample, 2027);
        for (events.First(); !events.IsEmpty() && !events.Eof(); events.Next()) {
            const std::string name = events.AsText(Ev_name);
            ASSERT_FALSE(events.IsNull(Ev_gp_no)) << sample << ": " << name;
            EXPECT_TRUE(german.contains(events.AsInteger(Ev_gp_no))) << name;
            EXPECT_TRUE(english.contains(events.AsInteger(Ev_gp_no))) << name;
            if (events.AsInteger(Ev_Type) == 0 && events.AsInteger(Ev_repeat) != RepeatNone) {
                EXPECT_TRUE(y2026.contains(name) && y2027.contains(name)) << sample << ": " << name;
            } else if (events.AsInteger(Ev_Type) == 0) {  // once, maybe in another year
                const int year = std::stoi(events.AsText(Ev_from).substr(0, 4));
                EXPECT_TRUE(OccurrencesOf(sample, year).contains(name)) << sample << ": " << name;
            } else {
                EXPECT_TRUE(y2026.contains(name) || y2027.contains(name)) << sample << ": " << name;
            }
        }
    }
    EXPECT_GE(calendars, 8u);
}

// Dates checked against published calendars, covering every rule kind the samples use.
TEST(SampleCalendars, RulesGiveTheKnownDates) {
    struct Known {
        const char* sample;
        const char* name;
        int year;
        std::vector<std::string> dates;
    };
    const std::vector<Known> known = {
        {"Feiertage_Deutschland", "Karfreitag", 2026, {"20260403"}},
        {"Feiertage_Deutschland", "Pfingstmontag", 2027, {"20270517"}},
        {"Feiertage_Deutschland", "Buß- und Bettag (SN)", 2026, {"20261118"}},
        {"Feiertage_Deutschland", "Buß- und Bettag (SN)", 2027, {"20271117"}},
        {"Feiertage_Deutschland", "Volkstrauertag", 2026, {"20261115"}},
        {"Feiertage_Deutschland", "Muttertag", 2027, {"20270509"}},
        {"Feiertage_Deutschland", "Ende der Sommerzeit", 2026, {"20261025"}},
        {"US_Holidays", "Birthday of Martin Luther King, Jr.", 2026, {"20260119"}},
        {"US_Holidays", "Memorial Day", 2026, {"20260525"}},
        {"US_Holidays", "Thanksgiving Day", 2027, {"20271125"}},
        {"US_Holidays",
         "Election Day (Tuesday after the first Monday in November)",
         2026,
         {"20261103"}},
        {"Sample", "Day off after Thanksgiving", 2026, {"20261127"}},
        {"Sample", "Day off after Thanksgiving", 2025, {"20251128"}},
        {"Church_Year", "First Sunday of Advent", 2026, {"20261129"}},
        {"Kirchenjahr", "Aschermittwoch", 2027, {"20270210"}},
        {"Jewish_Holidays", "Rosh Hashanah", 2026, {"20260912"}},
        {"Jewish_Holidays", "Yom Kippur", 2027, {"20271011"}},
        {"Jewish_Holidays", "Hanukkah (first day)", 2026, {"20261205"}},
        {"Jewish_Holidays", "Passover (first day)", 2027, {"20270422"}},
        {"Juedische_Feste", "Schawuot", 2026, {"20260522"}},
        {"Jewish_Holidays", "Purim", 2026, {"20260303"}},
        {"Jewish_Holidays", "Purim", 2027, {"20270323"}},
        {"Juedische_Feste", "Schuschan Purim", 2027, {"20270324"}},
        {"Beispiel",
         "Weihnachtsferien",
         2027,
         {"20270101", "20270102", "20270103", "20270104", "20270105", "20270106", "20270107",
          "20270108", "20270109"}},
        {"Beispiel", "Goethe, Johann Wolfgang von", 2026, {"20260828"}},
        {"Beispiel", "Projekt \"Phönix\": Abgabe", 2027, {"20270305"}},
    };
    for (const Known& k : known) {
        const auto dates = OccurrencesOf(k.sample, k.year);
        ASSERT_TRUE(dates.contains(k.name)) << k.sample << ": " << k.name << " " << k.year;
        EXPECT_EQ(dates.at(k.name), k.dates) << k.sample << ": " << k.name << " " << k.year;
    }
}

}  // namespace
}  // namespace yorbel::data
