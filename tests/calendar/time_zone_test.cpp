// Day facts on the clock of a named zone: summer time, and the local days of 23 and 25
// hours on which the clocks change.
#include "calendar/time_zone.h"

#include <gtest/gtest.h>

#include "calendar/dayfacts.h"
#include "printers.h"

namespace yorbel::calendar {
namespace {

const Reckoning kGregorian{true, WeekRule::FourDaysInJanuary, Weekday::Monday};
const Place kFrankfurtFixed{50.1122, -8.6819, 1.0, {}};
const Place kFrankfurtBerlin{50.1122, -8.6819, 1.0, "Europe/Berlin"};
const Place kSydney{-33.8688, -151.2093, 10.0, "Australia/Sydney"};

std::optional<ClockHm> HourLater(const std::optional<ClockHm>& t) {
    if (!t) return t;
    return ClockHm{(t->hour + 1) % 24, t->minute};
}

TEST(NamedZone, SummerDaysAreAnHourAheadOfStandardTimeAndWinterDaysAreNot) {
    const DayFacts june = DayFactsOf({21, 6, 2026}, kGregorian, kFrankfurtBerlin);
    const DayFacts june_fixed = DayFactsOf({21, 6, 2026}, kGregorian, kFrankfurtFixed);
    EXPECT_EQ(june.clock_rule, ClockRule::kNamedZone);
    EXPECT_TRUE(june.summer_time);
    EXPECT_EQ(june.clock_zone_hours, 2);
    EXPECT_EQ(june.sunset, (ClockHm{21, 39}));  // as Frankfurt's clocks show it
    EXPECT_EQ(june.sunrise, HourLater(june_fixed.sunrise));
    EXPECT_EQ(june.next_phase.hour, june_fixed.next_phase.hour + 1);

    // Outside summer time every time is that of the fixed zone.
    for (const CivilDate& date : {CivilDate{7, 12, 2026}, CivilDate{25, 10, 2026}}) {
        const DayFacts named = DayFactsOf(date, kGregorian, kFrankfurtBerlin);
        const DayFacts fixed = DayFactsOf(date, kGregorian, kFrankfurtFixed);
        EXPECT_FALSE(named.summer_time);
        EXPECT_EQ(named.sunrise, fixed.sunrise);
        EXPECT_EQ(named.sunset, fixed.sunset);
        EXPECT_EQ(named.moonrise, fixed.moonrise);
        EXPECT_EQ(named.moonset, fixed.moonset);
        EXPECT_EQ(named.next_phase, fixed.next_phase);
    }
    // The day the clocks go forward: sun and moon already on summer time.
    const DayFacts spring = DayFactsOf({29, 3, 2026}, kGregorian, kFrankfurtBerlin);
    const DayFacts spring_fixed = DayFactsOf({29, 3, 2026}, kGregorian, kFrankfurtFixed);
    EXPECT_TRUE(spring.summer_time);
    EXPECT_EQ(spring.sunrise, HourLater(spring_fixed.sunrise));
    EXPECT_EQ(spring.moonset, HourLater(spring_fixed.moonset));
}

// A moon event in the 25th hour of a day the clocks go back belongs to that day; a day
// the clocks go forward ends an hour early, so the next day's first hour is not its own.
TEST(NamedZone, ClockChangeDaysLastTwentyFiveOrTwentyThreeHours) {
    EXPECT_EQ(DayFactsOf({28, 10, 2040}, kGregorian, kFrankfurtBerlin).moonrise, (ClockHm{23, 26}));
    EXPECT_EQ(DayFactsOf({4, 4, 2021}, kGregorian, kSydney).moonrise, (ClockHm{23, 3}));
    EXPECT_FALSE(DayFactsOf({2, 10, 2011}, kGregorian, kSydney).moonset.has_value());
    EXPECT_EQ(DayFactsOf({3, 10, 2011}, kGregorian, kSydney).moonset, (ClockHm{0, 30}));

    // Santiago's clocks jump from 00:00 to 01:00: the day begins at the jump.
    const Place santiago{-33.45, 70.67, -4.0, "America/Santiago"};
    const DayFacts jump = DayFactsOf({6, 9, 2026}, kGregorian, santiago);
    EXPECT_EQ(jump.clock_rule, ClockRule::kNamedZone);
    EXPECT_TRUE(jump.summer_time);
    EXPECT_EQ(jump.clock_zone_hours, -3);
}

TEST(NamedZone, UnknownNameKeepsTheFixedHoursAndSaysSo) {
    Place unknown = kFrankfurtFixed;
    unknown.zone_name = "Europe/Atlantis";
    const DayFacts f = DayFactsOf({21, 6, 2026}, kGregorian, unknown);
    const DayFacts fixed = DayFactsOf({21, 6, 2026}, kGregorian, kFrankfurtFixed);
    EXPECT_EQ(f.clock_rule, ClockRule::kZoneNotFound);
    EXPECT_EQ(fixed.clock_rule, ClockRule::kFixedOffset);
    EXPECT_EQ(f.sunset, fixed.sunset);
    EXPECT_EQ(f.clock_zone_hours, 1);
    EXPECT_FALSE(NamedZone::Find("../../etc/passwd"));

    EXPECT_EQ(UtOffsetText(1), "UT+1");
    EXPECT_EQ(UtOffsetText(-3.5), "UT-3:30");
    EXPECT_EQ(UtOffsetText(5.75), "UT+5:45");
    EXPECT_EQ(UtOffsetText(0), "UT");
}

// Truncating instead of flooring would put the last second before midnight of a day
// before 1970 on the next day.
TEST(UtDayNumber, MomentsBeforeAndAfter1970FallOnTheirOwnDay) {
    const CivilDate before{31, 12, 1969};
    const std::int64_t midnight = UtSecondsOf({1, 1, 1970});
    EXPECT_EQ(UtDayNumberOf(midnight - 1), DayNumberOf(before, true));
    EXPECT_EQ(UtDayNumberOf(midnight), DayNumberOf({1, 1, 1970}, true));
    EXPECT_EQ(UtDayNumberOf(UtSecondsOf({29, 2, 1600}) + 86399), DayNumberOf({29, 2, 1600}, true));
}

}  // namespace
}  // namespace yorbel::calendar
