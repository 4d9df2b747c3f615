#include "data/day_count.h"

#include <gtest/gtest.h>

#include <numeric>

#include "data/groups.h"
#include "event_rows.h"

namespace yorbel::data {
namespace {

using calendar::CivilDate;
using Days = std::array<int, 7>;  // Sunday first

class DayCountTest : public ::testing::Test {
  protected:
    Groups groups{"/nonexistent-folder"};
    EventTables tables{groups.CdsGroups()};

    void Add(int type, int repeat, const std::string& from, const std::string& to = "",
             std::optional<std::int32_t> group = 1) {
        testing::AppendEvent(tables.CdsEvents(), "e", type, repeat, from, to, group);
        tables.CdsEvents().Post();
    }

    DayCount Count(CivilDate from, CivilDate to, DayCountRequest request = {}) {
        request.from = from;
        request.to = to;
        const auto count = CountDays(tables.CdsEvents(), request);
        EXPECT_TRUE(count.ok()) << count.fault().what();
        return count.ok() ? count.value() : DayCount{};
    }

    static int Sum(const Days& days) { return std::accumulate(days.begin(), days.end(), 0); }
};

DayCountRequest Weekend(CountMode mode = CountMode::Or) {
    DayCountRequest r;
    r.skipped_weekdays[0] = r.skipped_weekdays[6] = true;
    r.mode = mode;
    return r;
}

TEST_F(DayCountTest, WeekdaysOfAYearAndAnEventOnASaturdayInEachMode) {
    const DayCount all = Count({1, 1, 2026}, {31, 12, 2026});
    EXPECT_EQ(all.total, 365);
    EXPECT_EQ(all.weekdays, 365);
    EXPECT_EQ(all.combined, 365);
    EXPECT_EQ(Count({1, 1, 2026}, {31, 12, 2026}, Weekend()).weekdays, 261);

    Add(0, RepeatNone, "20260103");  // Saturday
    Add(0, RepeatNone, "20260105");  // Monday
    const DayCount with_or = Count({1, 1, 2026}, {31, 12, 2026}, Weekend());
    EXPECT_EQ(with_or.event_days, (Days{0, 1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(with_or.combined, 262);
    EXPECT_EQ(Count({1, 1, 2026}, {31, 12, 2026}, Weekend(CountMode::And)).combined, 1);
    EXPECT_EQ(Count({1, 1, 2026}, {31, 12, 2026}, Weekend(CountMode::AndNot)).combined, 260);
}

TEST_F(DayCountTest, EachDateCountsOnceAndPeriodsAreCutToTheRange) {
    Add(0, RepeatNone, "20260310");
    Add(0, RepeatYearly, "20000310");
    Add(1, 0, "20260301", "20260312");                 // overlaps both and reaches before the range
    Add(1, 0, "20260330", "20260405");                 // reaches after it
    Add(0, RepeatNone, "20260320", "", std::nullopt);  // no group: counts
    Add(0, RepeatNone, "20260321", "", 2);             // skipped group
    DayCountRequest r;
    r.skipped_groups = {2};
    const DayCount c = Count({9, 3, 2026}, {31, 3, 2026}, r);
    EXPECT_EQ(Sum(c.event_days), 4 + 2 + 1);
}

TEST_F(DayCountTest, RepeatingRulesUseEachYearOfTheRange) {
    Add(0, RepeatYearly, "20000229");  // 28 February in common years
    EXPECT_EQ(Sum(Count({1, 1, 2023}, {31, 12, 2025}).event_days), 3);

    Add(0, RepeatEaster, "0");
    // Easter 2025 is 20 April, Easter 2026 is 5 April: both lie in the range.
    EXPECT_EQ(Count({15, 4, 2025}, {10, 4, 2026}).event_days[0], 2);
}

TEST_F(DayCountTest, JewishAndNearDateRulesCountAsTheYearViewShowsThem) {
    Add(0, RepeatJewish, "0410");                  // 10 Tevet: 3 January and 22 December 2023
    Add(0, RepeatNearDate, "010101", "20000501");  // first Monday after 1 May: 1 May 2023
    const DayCount c = Count({1, 1, 2023}, {31, 12, 2023});
    EXPECT_EQ(c.event_days, (Days{0, 1, 1, 0, 0, 1, 0}));
}

TEST_F(DayCountTest, DatesAndWeekdaysFollowTheCalendarSystem) {
    Add(0, RepeatNone, "20260101");
    DayCountRequest julian;
    julian.gregorian = false;
    // Julian 1 January 2026 is a Wednesday (Gregorian 14 January).
    EXPECT_EQ(Count({1, 1, 2026}, {1, 1, 2026}, julian).event_days[3], 1);
    EXPECT_EQ(Count({29, 2, 1900}, {1, 3, 1900}, julian).total, 2);
}

TEST_F(DayCountTest, RefusesReversedRangesAndReportsMalformedRules) {
    DayCountRequest r;
    r.from = {2, 1, 2026};
    r.to = {1, 1, 2026};
    EXPECT_EQ(CountDays(tables.CdsEvents(), r).fault().Key(), "CountFromAfterTo");
    r.from = {29, 2, 1900};
    EXPECT_EQ(CountDays(tables.CdsEvents(), r).fault().Key(), "CountBadDate");

    Add(0, RepeatEaster, "x");
    Add(0, RepeatNone, "20260105");
    const DayCount c = Count({1, 1, 2026}, {31, 1, 2026});
    ASSERT_EQ(c.skipped.size(), 1u);
    EXPECT_EQ(c.skipped[0].ev_no, 1);
    EXPECT_EQ(Sum(c.event_days), 1);
}

}  // namespace
}  // namespace yorbel::data
