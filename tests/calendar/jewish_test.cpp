#include "calendar/jewish.h"

#include <gtest/gtest.h>

#include <climits>

#include "printers.h"

namespace yorbel::calendar {
namespace {

using enum Weekday;

Weekday WeekdayFromDayNumber(DayNumber n) {
    return static_cast<Weekday>(((n + 1) % 7 + 7) % 7);  // day number 0 was a Monday
}

DayNumber Gregorian(int day, int month, int year) {
    return DayNumberOf({day, month, year}, true);
}

TEST(Jewish, NewYears) {
    EXPECT_EQ(JewishNewYear(1), 347998);
    EXPECT_EQ(WeekdayFromDayNumber(347998), Monday);
    EXPECT_EQ(JewishNewYear(5785), Gregorian(3, 10, 2024));
    EXPECT_EQ(WeekdayFromDayNumber(JewishNewYear(5785)), Thursday);
    EXPECT_EQ(JewishNewYear(5786), Gregorian(23, 9, 2025));
    EXPECT_EQ(JewishNewYear(5787), Gregorian(12, 9, 2026));
}

TEST(Jewish, YearKindsAndLengths) {
    EXPECT_TRUE(JewishIsLeap(5784));
    EXPECT_EQ(JewishYearLength(5784), 383);
    EXPECT_FALSE(JewishIsLeap(5785));
    EXPECT_EQ(JewishYearLength(5785), 355);
    EXPECT_EQ(JewishYearLength(5786), 354);
    EXPECT_TRUE(JewishIsLeap(5787));
    EXPECT_EQ(JewishYearLength(5787), 385);
    EXPECT_EQ(JewishMonthLength(5785, 2), 30);  // long Heshvan in a 355-day year
    EXPECT_EQ(JewishMonthLength(5784, 3), 29);  // short Kislev in a 383-day year
    EXPECT_EQ(JewishMonthLength(5785, 13), 0);
    EXPECT_EQ(JewishMonthLength(5785, 0), 0);
}

TEST(Jewish, CivilDates) {
    struct Case {
        DayNumber civil;
        JewishDate jewish;
    };
    const Case cases[] = {
        {Gregorian(1, 1, 2024), {5784, 4, 20}},  {Gregorian(31, 12, 2024), {5785, 3, 30}},
        {Gregorian(24, 3, 2024), {5784, 7, 14}}, {Gregorian(23, 4, 2024), {5784, 8, 15}},
        {Gregorian(14, 3, 2025), {5785, 6, 14}}, {Gregorian(7, 12, 2026), {5787, 3, 27}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DayNumberToJewish(c.civil), c.jewish) << c.civil;
        EXPECT_EQ(JewishToDayNumber(c.jewish), c.civil) << c.civil;
    }
}

TEST(Jewish, MonthNames) {
    EXPECT_EQ(JewishMonthName(5784, 13), "Elul");
    EXPECT_EQ(JewishMonthName(5784, 6), "Adar I");
    EXPECT_EQ(JewishMonthName(5784, 7), "Adar II");
    EXPECT_EQ(JewishMonthName(5785, 6), "Adar");
    EXPECT_EQ(JewishMonthName(5785, 13), "");
    EXPECT_EQ(JewishMonthName(5785, 0), "");
}

// Every day of thousands of years: the day numbers run on without gaps, convert back
// unchanged, and the year structure keeps to the rules (lengths, New Year weekdays).
TEST(Jewish, EveryDayOfSixThousandYearsRoundTrips) {
    DayNumber expected = JewishNewYear(1);
    int leap_years = 0;
    for (int year = 1; year <= 6200; ++year) {
        ASSERT_EQ(JewishNewYear(year), expected) << year;
        const int length = JewishYearLength(year);
        ASSERT_EQ(length, JewishNewYear(year + 1) - JewishNewYear(year)) << year;
        if (JewishIsLeap(year)) {
            ++leap_years;
            ASSERT_TRUE(length >= 383 && length <= 385) << year;
        } else {
            ASSERT_TRUE(length >= 353 && length <= 355) << year;
        }
        const Weekday new_year_weekday = WeekdayFromDayNumber(JewishNewYear(year));
        ASSERT_TRUE(new_year_weekday == Saturday || new_year_weekday == Monday ||
                    new_year_weekday == Tuesday || new_year_weekday == Thursday)
            << year;
        const int months = JewishIsLeap(year) ? 13 : 12;
        for (int month = 1; month <= months; ++month) {
            const int month_length = JewishMonthLength(year, month);
            ASSERT_TRUE(month_length == 29 || month_length == 30) << year << "/" << month;
            ASSERT_FALSE(JewishMonthName(year, month).empty());
            for (int day = 1; day <= month_length; ++day) {
                const JewishDate date{year, month, day};
                ASSERT_EQ(JewishToDayNumber(date), expected) << year << "/" << month << "/" << day;
                ASSERT_EQ(DayNumberToJewish(expected), date) << expected;
                ++expected;
            }
        }
    }
    EXPECT_EQ(leap_years, 6200 / 19 * 7 + 2);  // 7 in 19; years 6195–6200 hold 2
}

TEST(Jewish, OutOfRangeArguments) {
    EXPECT_EQ(DayNumberToJewish(347997), (JewishDate{1, 1, 1}));
    EXPECT_EQ(DayNumberToJewish(INT_MIN), (JewishDate{1, 1, 1}));
    EXPECT_EQ(JewishNewYear(0), JewishNewYear(1));
    EXPECT_EQ(JewishNewYear(-5785), JewishNewYear(5785));
    EXPECT_EQ(JewishIsLeap(-3), JewishIsLeap(3));
    // The largest day number still converts and lands in a year of its own.
    const JewishDate far = DayNumberToJewish(INT_MAX);
    EXPECT_GT(far.year, 5000000);
    (void)JewishNewYear(INT_MIN);
    (void)JewishNewYear(INT_MAX);
    (void)JewishToDayNumber({5785, INT_MAX, 1});
    (void)JewishMonthLength(INT_MIN, 1);
}

}  // namespace
}  // namespace yorbel::calendar
