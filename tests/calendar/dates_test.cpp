#include "calendar/dates.h"

#include <gtest/gtest.h>

#include <climits>

#include "printers.h"

namespace yorbel::calendar {
namespace {

constexpr bool kGregorian = true;
constexpr bool kJulian = false;

using enum Weekday;
using enum WeekRule;

// Weekday straight from a day number: day number 0 was a Monday.
Weekday WeekdayFromDayNumber(DayNumber n) {
    return static_cast<Weekday>(((n + 1) % 7 + 7) % 7);
}

TEST(Dates, KnownDayNumbersAndWeekdays) {
    EXPECT_EQ(DayNumberOf({1, 1, 2000}, kGregorian), 2451545);
    EXPECT_EQ(DayNumberOf({1, 1, 2000}, kJulian), 2451558);
    EXPECT_EQ(DayNumberOf({30, 12, 1899}, kGregorian), 2415019);
    EXPECT_EQ(DayNumberOf({7, 12, 2026}, kGregorian), 2461382);
    // The calendar reform: Thursday 4 October 1582 (Julian) was followed by Friday
    // 15 October 1582 (Gregorian).
    EXPECT_EQ(DayNumberOf({4, 10, 1582}, kJulian) + 1, DayNumberOf({15, 10, 1582}, kGregorian));
    EXPECT_EQ(WeekdayOf({4, 10, 1582}, kJulian), Thursday);
    EXPECT_EQ(WeekdayOf({15, 10, 1582}, kGregorian), Friday);
    EXPECT_EQ(WeekdayOf({1, 1, 2000}, kGregorian), Saturday);
    EXPECT_EQ(WeekdayOf({7, 12, 2026}, kGregorian), Monday);
    EXPECT_EQ(WeekdayOf({7, 12, 2026}, kJulian), Sunday);
}

// Stored numbers are folded into the week, and stepping wraps at both ends of it.
TEST(Dates, WeekdayArithmeticWrapsAroundTheWeek) {
    EXPECT_EQ(WeekdayFromNumber(7), Sunday);
    EXPECT_EQ(WeekdayFromNumber(-1), Saturday);
    EXPECT_EQ(WeekdayFromNumber(INT_MIN), WeekdayFromNumber(INT_MIN % 7 + 7));
    EXPECT_EQ(Saturday + 1, Sunday);
    EXPECT_EQ(Sunday + -1, Saturday);
    EXPECT_EQ(DaysUntil(Saturday, Sunday), 1);
    EXPECT_EQ(DaysUntil(Sunday, Saturday), 6);
    EXPECT_EQ(DaysUntil(Thursday, Thursday), 0);
}

TEST(Dates, LeapYears) {
    EXPECT_TRUE(IsLeapYear(1900, kJulian));
    EXPECT_FALSE(IsLeapYear(1900, kGregorian));
    EXPECT_TRUE(IsLeapYear(2000, kGregorian));
    EXPECT_FALSE(IsLeapYear(2100, kGregorian));
    EXPECT_EQ(DaysInMonth(2100, 2, kJulian), 29);
    EXPECT_EQ(DaysInMonth(2100, 2, kGregorian), 28);
    EXPECT_EQ(DaysInMonth(2026, 13, kGregorian), 0);
}

// Every day of years 1–9999 in both systems: day numbers rise by one, convert back
// unchanged, the weekday follows the day number and the day of year counts up.
TEST(Dates, EveryDayOfTheDomainRoundTrips) {
    for (bool gregorian : {kGregorian, kJulian}) {
        SCOPED_TRACE(gregorian ? "Gregorian" : "Julian");
        DayNumber expected = DayNumberOf({1, 1, kMinYear}, gregorian);
        for (int year = kMinYear; year <= kMaxYear; ++year) {
            int day_of_year = 0;
            for (int month = 1; month <= 12; ++month) {
                for (int day = 1; day <= DaysInMonth(year, month, gregorian); ++day) {
                    const CivilDate date{day, month, year};
                    ++day_of_year;
                    const DayNumber n = DayNumberOf(date, gregorian);
                    ASSERT_EQ(n, expected) << DateText(date);
                    ASSERT_EQ(DateOfDayNumber(n, gregorian), date) << DateText(date);
                    ASSERT_EQ(WeekdayOf(date, gregorian), WeekdayFromDayNumber(n))
                        << DateText(date);
                    ASSERT_EQ(DayOfYear(date, gregorian), day_of_year) << DateText(date);
                    ASSERT_EQ(DateOfDayOfYear(day_of_year, year, gregorian), date)
                        << DateText(date);
                    ASSERT_TRUE(IsValidDate(date, gregorian));
                    if (gregorian) {
                        ASSERT_EQ(WeekdayOfDayOfYear(year, day_of_year), WeekdayOf(date, true));
                    }
                    ++expected;
                }
            }
            ASSERT_EQ(day_of_year, DaysInYear(year, gregorian)) << year;
        }
    }
}

TEST(Dates, DayOfYearEdges) {
    EXPECT_EQ(DateOfDayOfYear(60, 2024, kGregorian), (CivilDate{29, 2, 2024}));
    EXPECT_EQ(DateOfDayOfYear(1, 2024, kGregorian), (CivilDate{1, 1, 2024}));
    EXPECT_EQ(DateOfDayOfYear(60, 2100, kGregorian), (CivilDate{1, 3, 2100}));
    EXPECT_EQ(DateOfDayOfYear(60, 2100, kJulian), (CivilDate{29, 2, 2100}));
}

TEST(Dates, ValidityAtTheEdges) {
    EXPECT_FALSE(IsValidDate({30, 2, 2026}, kGregorian));
    EXPECT_FALSE(IsValidDate({1, 13, 2026}, kGregorian));
    EXPECT_FALSE(IsValidDate({0, 1, 2026}, kGregorian));
    EXPECT_FALSE(IsValidDate({1, 1, 0}, kGregorian));
    EXPECT_FALSE(IsValidDate({1, 1, 10000}, kJulian));
    EXPECT_TRUE(IsValidDate({29, 2, 1900}, kJulian));
    EXPECT_FALSE(IsValidDate({29, 2, 1900}, kGregorian));
}

// Nothing may overflow or loop on years and day numbers outside the domain; the results
// there are not meaningful, only harmless (the sanitizer build checks the arithmetic).
TEST(Dates, OutOfDomainArgumentsAreHarmless) {
    for (int year : {0, -1, -4713, -100000, INT_MIN, INT_MAX}) {
        for (bool gregorian : {kGregorian, kJulian}) {
            const CivilDate date{15, 6, year};
            EXPECT_FALSE(IsValidDate(date, gregorian));
            (void)DateOfDayNumber(DayNumberOf(date, gregorian), gregorian);
            EXPECT_LE(NumberOf(WeekdayOf(date, gregorian)), 6);
            (void)DayOfYear(date, gregorian);
            for (WeekRule rule : {FromNewYear, FourDaysInJanuary, FirstFullWeek})
                (void)WeekNumber(date, rule, Monday, gregorian);
            (void)EasterSunday(year, gregorian);
            (void)FourthAdvent(year, gregorian);
            (void)NthWeekdayOfMonth(year, 6, Wednesday, 5, gregorian);
            (void)DateText(date);
        }
        EXPECT_LE(NumberOf(WeekdayOfDayOfYear(year, 100)), 6);
    }
    for (DayNumber n : {INT_MIN, -1, 0, INT_MAX}) {
        (void)DateOfDayNumber(n, kGregorian);
        (void)DateOfDayNumber(n, kJulian);
    }
}

TEST(Dates, EasterSunday) {
    EXPECT_EQ(EasterSunday(2000, kGregorian), (CivilDate{23, 4, 2000}));
    EXPECT_EQ(EasterSunday(2000, kJulian), (CivilDate{17, 4, 2000}));
    EXPECT_EQ(EasterSunday(2024, kGregorian), (CivilDate{31, 3, 2024}));
    EXPECT_EQ(EasterSunday(2024, kJulian), (CivilDate{22, 4, 2024}));
    EXPECT_EQ(EasterSunday(2026, kGregorian), (CivilDate{5, 4, 2026}));
    EXPECT_EQ(EasterSunday(2026, kJulian), (CivilDate{30, 3, 2026}));
    EXPECT_EQ(EasterSunday(1818, kGregorian), (CivilDate{22, 3, 1818}));  // earliest possible
    EXPECT_EQ(EasterSunday(1943, kGregorian), (CivilDate{25, 4, 1943}));  // latest possible
    // Every year: a Sunday between 22 March and 25 April of the system's own calendar.
    for (bool gregorian : {kGregorian, kJulian}) {
        for (int year = kMinYear; year <= kMaxYear; ++year) {
            const CivilDate easter = EasterSunday(year, gregorian);
            ASSERT_TRUE(IsValidDate(easter, gregorian)) << year;
            ASSERT_EQ(WeekdayOf(easter, gregorian), Sunday) << year;
            const int doy = DayOfYear(easter, gregorian) - DayOfYear({22, 3, year}, gregorian);
            ASSERT_GE(doy, 0) << year;
            ASSERT_LE(doy, 34) << year;
        }
    }
}

TEST(Dates, FourthAdvent) {
    EXPECT_EQ(DateOfDayOfYear(FourthAdvent(2026, kGregorian), 2026, kGregorian),
              (CivilDate{20, 12, 2026}));
    EXPECT_EQ(DateOfDayOfYear(FourthAdvent(2023, kGregorian), 2023, kGregorian),
              (CivilDate{24, 12, 2023}));
    for (bool gregorian : {kGregorian, kJulian}) {
        for (int year = kMinYear; year <= kMaxYear; ++year) {
            const CivilDate advent =
                DateOfDayOfYear(FourthAdvent(year, gregorian), year, gregorian);
            ASSERT_EQ(advent.month, 12);
            ASSERT_GE(advent.day, 18);
            ASSERT_LE(advent.day, 24);
            ASSERT_EQ(WeekdayOf(advent, gregorian), Sunday) << year;
        }
    }
}

struct WeekCase {
    CivilDate date;
    int rule1, rule2, rule3;
};

TEST(Dates, WeekNumbersWithMondayStart) {
    const WeekCase cases[] = {
        {{1, 1, 2021}, 1, 53, 52},
        {{31, 12, 2024}, 53, 1, 53},
        {{28, 12, 2026}, 52, 53, 52},
        {{1, 1, 2026}, 1, 1, 52},
    };
    for (const WeekCase& c : cases) {
        SCOPED_TRACE(DateText(c.date));
        EXPECT_EQ(WeekNumber(c.date, FromNewYear, Monday, kGregorian), c.rule1);
        EXPECT_EQ(WeekNumber(c.date, FourDaysInJanuary, Monday, kGregorian), c.rule2);
        EXPECT_EQ(WeekNumber(c.date, FirstFullWeek, Monday, kGregorian), c.rule3);
    }
    // A damaged number is no rule.
    EXPECT_EQ(WeekNumber({1, 1, 2026}, static_cast<WeekRule>(4), Monday, kGregorian), 0);
    EXPECT_EQ(WeekNumber({1, 1, 2026}, static_cast<WeekRule>(0), Monday, kGregorian), 0);
}

TEST(Dates, WeekRuleTwoWithSundayStart) {
    EXPECT_EQ(WeekNumber({31, 12, 2026}, FourDaysInJanuary, Sunday, kGregorian), 52);
    EXPECT_EQ(WeekNumber({1, 1, 2026}, FourDaysInJanuary, Sunday, kGregorian), 53);
}

// Rule 2 with Monday start is ISO 8601: the week belongs to the year of its Thursday.
TEST(Dates, WeekRuleTwoIsIsoWeekWithMondayStart) {
    for (DayNumber n = DayNumberOf({1, 1, 1583}, kGregorian);
         n <= DayNumberOf({31, 12, 2400}, kGregorian); ++n) {
        const CivilDate date = DateOfDayNumber(n, kGregorian);
        const int monday_based = DaysUntil(Monday, WeekdayOf(date, kGregorian));
        const CivilDate thursday = DateOfDayNumber(n - monday_based + 3, kGregorian);
        const int iso_week = (DayOfYear(thursday, kGregorian) - 1) / 7 + 1;
        ASSERT_EQ(WeekNumber(date, FourDaysInJanuary, Monday, kGregorian), iso_week)
            << DateText(date);
    }
}

// For every week start and both systems: week numbers change exactly on the week-start
// day, stay within 1–53, and week 1 is where each rule puts it.
TEST(Dates, WeekNumbersAdvanceOnTheWeekStart) {
    for (bool gregorian : {kGregorian, kJulian}) {
        for (int start_number = 0; start_number < 7; ++start_number) {
            const Weekday start = WeekdayFromNumber(start_number);
            for (WeekRule rule : {FourDaysInJanuary, FirstFullWeek}) {
                const int rule_number = static_cast<int>(rule);
                const CivilDate first{1, 1, 1890};
                int previous = WeekNumber(first, rule, start, gregorian);
                for (DayNumber n = DayNumberOf(first, gregorian) + 1;
                     n <= DayNumberOf({31, 12, 2110}, gregorian); ++n) {
                    const CivilDate date = DateOfDayNumber(n, gregorian);
                    const int week = WeekNumber(date, rule, start, gregorian);
                    ASSERT_GE(week, 1);
                    ASSERT_LE(week, 53);
                    if (WeekdayOf(date, gregorian) == start) {
                        ASSERT_TRUE(week == previous + 1 || week == 1)
                            << DateText(date) << " rule " << rule_number;
                    } else {
                        ASSERT_EQ(week, previous) << DateText(date) << " rule " << rule_number;
                    }
                    // Rule 2: week 1 holds 4 January. Rule 3: it starts on the first
                    // week-start day of January.
                    if (rule == FourDaysInJanuary && date.month == 1 && date.day == 4) {
                        ASSERT_EQ(week, 1) << DateText(date);
                    }
                    if (rule == FirstFullWeek && date.month == 1 && date.day <= 7 &&
                        WeekdayOf(date, gregorian) == start) {
                        ASSERT_EQ(week, 1) << DateText(date);
                    }
                    previous = week;
                }
            }
            // Rule 1 counts from 1 January whatever the week start.
            for (int year = 1890; year <= 2110; ++year) {
                ASSERT_EQ(WeekNumber({1, 1, year}, FromNewYear, start, gregorian), 1);
                ASSERT_EQ(WeekNumber({31, 12, year}, FromNewYear, start, gregorian), 53);
            }
        }
    }
}

TEST(Dates, NthWeekdayOfMonthExamples) {
    EXPECT_EQ(NthWeekdayOfMonth(2026, 3, Monday, 2, kGregorian), (CivilDate{9, 3, 2026}));
    EXPECT_EQ(NthWeekdayOfMonth(2026, 3, Monday, 4, kGregorian), (CivilDate{23, 3, 2026}));
    EXPECT_EQ(NthWeekdayOfMonth(2026, 3, Monday, 5, kGregorian), (CivilDate{30, 3, 2026}));
    EXPECT_EQ(NthWeekdayOfMonth(2026, 10, Sunday, 5, kGregorian), (CivilDate{25, 10, 2026}));
    // Julian March 2026 begins on a Saturday, so its second Monday is the 10th; the 9th
    // is a Sunday there.
    EXPECT_EQ(NthWeekdayOfMonth(2026, 3, Monday, 2, kJulian), (CivilDate{10, 3, 2026}));
    // Julian 2100 is a leap year whose last February day, a Sunday, the Gregorian
    // calendar does not have.
    EXPECT_EQ(NthWeekdayOfMonth(2100, 2, Sunday, 5, kJulian), (CivilDate{29, 2, 2100}));
}

// Both systems, every month of the domain: the result lies in the month, falls on the
// wanted weekday of that system, and is the n-th or the last one.
TEST(Dates, NthWeekdayOfMonthFindsTheSystemsWeekday) {
    for (bool gregorian : {kGregorian, kJulian}) {
        for (int year = kMinYear; year <= kMaxYear; year += (year < 2200 ? 1 : 7)) {
            for (int month = 1; month <= 12; ++month) {
                const int length = DaysInMonth(year, month, gregorian);
                for (int number = 0; number < 7; ++number) {
                    const Weekday weekday = WeekdayFromNumber(number);
                    for (int n = 1; n <= 5; ++n) {
                        const CivilDate d = NthWeekdayOfMonth(year, month, weekday, n, gregorian);
                        ASSERT_EQ(d.month, month);
                        ASSERT_EQ(d.year, year);
                        ASSERT_EQ(WeekdayOf(d, gregorian), weekday)
                            << DateText(d) << (gregorian ? " Gregorian" : " Julian");
                        if (n <= 4) {
                            ASSERT_GT(d.day, 7 * (n - 1));
                            ASSERT_LE(d.day, 7 * n);
                        } else {
                            ASSERT_LE(d.day, length);
                            ASSERT_GT(d.day + 7, length);
                        }
                    }
                }
            }
        }
    }
}

TEST(Dates, DateText) {
    EXPECT_EQ(DateText({7, 12, 2026}), "20261207");
    EXPECT_EQ(DateText({3, 2, 1}), "00010203");
    EXPECT_EQ(ParseDateText("00010203"), (CivilDate{3, 2, 1}));
    EXPECT_EQ(ParseDateText("20261207"), (CivilDate{7, 12, 2026}));
    for (const char* bad : {"", "2026120", "202612070", "2026-12-7", "2026120x", " 2026120"}) {
        EXPECT_FALSE(ParseDateText(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace yorbel::calendar
