#include "data/occurrences.h"

#include <gtest/gtest.h>

#include "data/groups.h"
#include "event_rows.h"

namespace yorbel::data {
namespace {

constexpr std::int32_t kDefault = 0xFFFFFF;

// A calendar and a groups table in memory; no file is touched.
class OccurrencesTest : public ::testing::Test {
  protected:
    Groups groups{"/nonexistent-folder"};
    EventTables tables{groups.CdsGroups()};

    std::int32_t AddGroup(const std::string& name, std::int32_t color, int show) {
        Table& g = groups.CdsGroups();
        g.Append();
        g.SetText(Gp_name, name);
        g.SetInteger(Gp_color, color);
        g.SetInteger(Gp_show, show);
        g.Post();
        return g.AsInteger(Gp_no);
    }

    void SetGroup(std::int32_t group_no, FieldNo field, std::int32_t value) {
        Table& g = groups.CdsGroups();
        ASSERT_TRUE(g.GoToKey(Value{group_no}));
        g.Edit();
        g.SetInteger(field, value);
        g.Post();
    }

    // Leaves the new event pending, as the event editor does; generation commits it.
    void AddEvent(const std::string& name, int type, int repeat, const std::string& from,
                  const std::string& to, std::optional<std::int32_t> group) {
        testing::AppendEvent(tables.CdsEvents(), name, type, repeat, from, to, group);
    }

    // Occurrence rows in generation order as "ev_no:date".
    std::vector<std::string> Rows() {
        Table& d = tables.CdsEvDates();
        d.SetCurrentIndex("");
        std::vector<std::string> rows;
        for (d.First(); !d.Eof(); d.Next())
            rows.push_back(std::to_string(d.AsInteger(Ed_ev_no)) + ":" + d.AsText(Ed_date));
        d.SetCurrentIndex("Ix_Ed_date");
        return rows;
    }
};

TEST_F(OccurrencesTest, EventsInNumberOrderEachInDateOrderWithTheirGroup) {
    const auto g = AddGroup("Holidays", 0x0000FF, 1);
    AddEvent("Trip", 1, 0, "20251230", "20260102", g);                  // 1
    AddEvent("Easter", 0, RepeatEaster, "0", "", g);                    // 2
    AddEvent("Tevet fast", 0, RepeatJewish, "0410", "", std::nullopt);  // 3
    AddEvent("Elsewhere", 0, RepeatNone, "20240101", "", g);            // 4
    const auto skipped = GenerateOccurrences(tables, 2025, true);
    EXPECT_TRUE(skipped.empty());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"1:20251230", "1:20251231", "2:20250420",
                                                "3:20250110", "3:20251230"}));
    // The group number is copied; an event without a group gives a null one.
    Table& d = tables.CdsEvDates();
    ASSERT_TRUE(d.GoToKey(Value{std::string("20250110")}));
    EXPECT_TRUE(d.IsNull(Ed_gp_no));
    ASSERT_TRUE(d.GoToKey(Value{std::string("20250420")}));
    EXPECT_EQ(d.AsInteger(Ed_gp_no), g);
    // A second generation replaces the first.
    GenerateOccurrences(tables, 2026, true);
    EXPECT_EQ(Rows(),
              (std::vector<std::string>{"1:20260101", "1:20260102", "2:20260405", "3:20261220"}));
}

TEST_F(OccurrencesTest, MalformedRulesAreSkippedAndNamedWhileTheOthersAreGenerated) {
    const auto g = AddGroup("Any", 1, 1);
    AddEvent("Good 1", 0, RepeatYearly, "20000301", "", g);
    AddEvent("Bad Easter", 0, RepeatEaster, "x3", "", g);
    AddEvent("Bad period", 1, 0, "20250101", "2025123", g);
    AddEvent("Bad weekday", 0, RepeatWeekOfMonth, "090101", "", g);
    AddEvent("Unknown repeat", 0, 9, "20250101", "", g);
    AddEvent("Good 2", 0, RepeatAdvent, "0", "", g);
    const auto skipped = GenerateOccurrences(tables, 2026, true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"1:20260301", "6:20261220"}));
    ASSERT_EQ(skipped.size(), 4u);
    EXPECT_EQ(skipped[0].ev_no, 2);
    EXPECT_EQ(skipped[0].name, "Bad Easter");
    EXPECT_EQ(skipped[0].reason.Key(), "RuleNotNumber");
    EXPECT_EQ(skipped[1].reason.Key(), "RuleBadDate");
    EXPECT_EQ(skipped[1].reason.Position().field, "Ev_to");
    EXPECT_EQ(skipped[2].reason.Key(), "RuleBadCode");
    EXPECT_EQ(skipped[3].reason.Key(), "RuleBadRepeat");
    EXPECT_NE(std::string(skipped[0].reason.what()).find("x3"), std::string::npos);
}

TEST_F(OccurrencesTest, DayColorTakesTheFirstShownOccurrenceAndReadsGroupsLive) {
    const auto hidden = AddGroup("Hidden", 0x111111, 0);
    const auto shown = AddGroup("Shown", 0x222222, 1);
    AddEvent("No group row", 0, RepeatNone, "20260510", "", 99);
    AddEvent("Hidden one", 0, RepeatNone, "20260510", "", hidden);
    AddEvent("Shown one", 0, RepeatNone, "20260510", "", shown);
    AddEvent("Hidden alone", 0, RepeatNone, "20260511", "", hidden);
    AddEvent("Last row", 0, RepeatNone, "20261231", "", hidden);
    GenerateOccurrences(tables, 2026, true);
    Table& d = tables.CdsEvDates();
    d.SetCurrentIndex("Ix_Ed_Ev_no");
    d.MoveTo(1);  // a window's position, which painting must not move

    EXPECT_EQ(DayColor(d, "20260510", kDefault), 0x222222);
    EXPECT_EQ(DayColor(d, "20260511", kDefault), kDefault);
    EXPECT_EQ(DayColor(d, "20260512", kDefault), kDefault);
    EXPECT_EQ(DayColor(d, "20261231", kDefault), kDefault);  // walk ends at the last row
    // The first event on a date counts whatever its group.
    EXPECT_EQ(FirstEventOn(d, "20260510"), 1);
    EXPECT_EQ(FirstEventOn(d, "20260512"), std::nullopt);
    EXPECT_EQ(d.CurrentIndex(), "Ix_Ed_Ev_no");
    EXPECT_EQ(d.Position(), 1);

    // Showing a group or changing its colour needs no regeneration.
    SetGroup(hidden, Gp_show, 1);
    EXPECT_EQ(DayColor(d, "20260510", kDefault), 0x111111);
    EXPECT_EQ(DayColor(d, "20260511", kDefault), 0x111111);
    SetGroup(hidden, Gp_color, 0x333333);
    EXPECT_EQ(DayColor(d, "20260511", kDefault), 0x333333);
    EXPECT_EQ(DayColor(d, "20261231", kDefault), 0x333333);
}

// The printed legend lists exactly the groups whose colour a day shows.
TEST_F(OccurrencesTest, GroupsColoringDaysAreThoseTheDaysShow) {
    const auto hidden = AddGroup("Hidden", 0x111111, 0);
    const auto first = AddGroup("First", 0x222222, 1);
    const auto covered = AddGroup("Covered", 0x333333, 1);
    const auto beneath = AddGroup("Beneath", 0x444444, 1);
    AddGroup("Unused", 0x555555, 1);
    AddEvent("No group row", 0, RepeatNone, "20260510", "", 99);
    AddEvent("Hidden one", 0, RepeatNone, "20260510", "", hidden);
    AddEvent("First one", 0, RepeatNone, "20260510", "", first);
    AddEvent("Covered one", 0, RepeatNone, "20260510", "", covered);
    AddEvent("Hidden above", 0, RepeatNone, "20260701", "", hidden);
    AddEvent("Beneath one", 0, RepeatNone, "20260701", "", beneath);
    AddEvent("No group", 0, RepeatNone, "20260801", "", std::nullopt);
    GenerateOccurrences(tables, 2026, true);
    const Table& d = tables.CdsEvDates();

    using Groups = std::vector<ColoringGroup>;
    EXPECT_EQ(GroupsColoringDays(d), (Groups{{first, 0x222222}, {beneath, 0x444444}}));
    // Hiding a group in the filter hands its days to the next shown one at once.
    SetGroup(first, Gp_show, 0);
    EXPECT_EQ(GroupsColoringDays(d), (Groups{{covered, 0x333333}, {beneath, 0x444444}}));
    SetGroup(covered, Gp_show, 0);
    SetGroup(beneath, Gp_show, 0);
    EXPECT_TRUE(GroupsColoringDays(d).empty());
}

TEST_F(OccurrencesTest, JulianCalendarsKeepTheirLeapDays) {
    AddEvent("Leap day", 0, RepeatNone, "19000229", "", std::nullopt);
    AddEvent("Yearly leap day", 0, RepeatYearly, "19000229", "", std::nullopt);
    EXPECT_TRUE(GenerateOccurrences(tables, 1900, false).empty());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"1:19000229", "2:19000229"}));
    // The same digits are no date in the Gregorian system: reported, not fatal.
    const auto skipped = GenerateOccurrences(tables, 1900, true);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].ev_no, 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"2:19000228"}));
}

}  // namespace
}  // namespace yorbel::data
