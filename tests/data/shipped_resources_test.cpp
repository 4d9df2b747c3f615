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

TEST(ShippedGroups, ColoursAreDistinctAndKeepDayNumbersReadable) {
    const auto groups = ReadGroups("Groups_e.yrg");
    for (const auto& [no, row] : groups) {
        EXPECT_EQ(row.color & 0xFF000000, 0) << row.name << ": a plain colour, no system colour";
        // Black day numbers need a contrast of at least 7:1 on the group colour.
        EXPECT_GE((Luminance(row.color) + 0.05) / 0.05, 7.0) << row.name;
        EXPECT_GE(Distance(row.color, 0xFFFFFF), 40.0) << row.name << " looks like a plain day";
        for (const auto& [other_no, other] : groups) {
            if (other_no > no) {
                EXPECT_GE(Distance(row.color, other.color), 40.0)
                    << row.name << " / " << other.name;
            }
        }
    }
}

// Every sample calendar loads, and each event belongs to a group that both group files
// hold, so it is painted in either language.
TEST(SampleCalendars, EveryCalendarLoadsAndItsEventsFallInShippedGroups) {
    const auto german = ReadGroups("Groups_d.yrg");
    const auto english = ReadGroups("Groups_e.yrg");
    const Groups groups(kBin);  // never loaded: the lookups are not read here
    std::size_t calendars = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kBin / "examples")) {
        if (entry.path().extension() != ".yrb") continue;
        ++calendars;
        EventTables tables(groups.CdsGroups());
        tables.OpenCalendar(entry.path());
        Table& events = tables.CdsEvents();
        EXPECT_GE(events.RecordCount(), 10) << entry.path();
        for (events.First(); !events.IsEmpty() && !events.Eof(); events.Next()) {
            const std::string name = events.AsText(Ev_name);
            EXPECT_FALSE(name.empty()) << entry.path();
            ASSERT_FALSE(events.IsNull(Ev_gp_no)) << name;
            EXPECT_TRUE(german.contains(events.AsInteger(Ev_gp_no))) << name;
            EXPECT_TRUE(english.contains(events.AsInteger(Ev_gp_no))) << name;
        }
    }
    EXPECT_GE(calendars, 8u);
}

}  // namespace
}  // namespace yorbel::data
