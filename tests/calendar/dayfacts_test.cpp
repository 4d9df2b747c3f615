#include "calendar/dayfacts.h"

#include <gtest/gtest.h>

#include "printers.h"

namespace yorbel::calendar {

inline void PrintTo(const LocalMinute& m, std::ostream* os) {
    PrintTo(m.date, os);
    *os << " " << m.hour << ":" << m.minute;
}
inline void PrintTo(const ClockHm& t, std::ostream* os) {
    *os << t.hour << ":" << t.minute;
}

namespace {

// Frankfurt am Main, 50° 06′ 44″ N, 8° 40′ 55″ E, zone +1.
const Place kFrankfurt{50.0 + 6.0 / 60 + 44.0 / 3600, -(8.0 + 40.0 / 60 + 55.0 / 3600), 1.0, {}};
const Reckoning kGregorianMondayIso{true, WeekRule::FourDaysInJanuary, Weekday::Monday};
const Reckoning kJulianMondayIso{false, WeekRule::FourDaysInJanuary, Weekday::Monday};

TEST(DayFacts, AllFactsOfOneDay) {
    const DayFacts f = DayFactsOf({7, 12, 2026}, kGregorianMondayIso, kFrankfurt);
    EXPECT_EQ(f.weekday, Weekday::Monday);
    EXPECT_EQ(f.day_of_year, 341);
    EXPECT_EQ(f.days_left, 24);
    EXPECT_EQ(f.week, 50);
    EXPECT_EQ(f.weeks_left, 3);
    EXPECT_EQ(f.day_number, 2461382);
    EXPECT_EQ(f.jewish, (JewishDate{5787, 3, 27}));
    EXPECT_EQ(f.jewish_month_name, "Kislev");
    EXPECT_EQ(f.sunrise, (ClockHm{8, 10}));
    EXPECT_EQ(f.sunset, (ClockHm{16, 23}));
    EXPECT_EQ(f.moonrise, (ClockHm{6, 58}));
    EXPECT_EQ(f.moonset, (ClockHm{14, 47}));
    EXPECT_NEAR(f.moon_age, 337.4, 0.05);
    EXPECT_TRUE(f.next_phase_new);
    EXPECT_EQ(f.next_phase, (LocalMinute{{9, 12, 2026}, 1, 52}));
}

TEST(DayFacts, NextPhaseMovesIntoTheZone) {
    // Full moon 29 June 2026 23:55 UT is 30 June 00:55 in zone +1. The moonset after
    // midnight belongs to the next day: 21 June has none.
    const DayFacts june = DayFactsOf({21, 6, 2026}, kGregorianMondayIso, kFrankfurt);
    EXPECT_FALSE(june.next_phase_new);
    EXPECT_EQ(june.next_phase, (LocalMinute{{30, 6, 2026}, 0, 55}));
    EXPECT_FALSE(june.moonset);
    EXPECT_EQ(DayFactsOf({22, 6, 2026}, kGregorianMondayIso, kFrankfurt).moonset, (ClockHm{0, 11}));
    EXPECT_NEAR(june.moon_age, 79.0, 0.05);

    const DayFacts december = DayFactsOf({21, 12, 2026}, kGregorianMondayIso, kFrankfurt);
    EXPECT_FALSE(december.next_phase_new);
    EXPECT_EQ(december.next_phase, (LocalMinute{{24, 12, 2026}, 2, 38}));
}

TEST(DayFacts, WeeksAndDaysLeftAtTheYearsEdges) {
    const DayFacts new_year = DayFactsOf({1, 1, 2021}, kGregorianMondayIso, kFrankfurt);
    EXPECT_EQ(new_year.week, 53);
    EXPECT_EQ(new_year.weeks_left, 52);
    const DayFacts leap_end = DayFactsOf({31, 12, 2024}, kGregorianMondayIso, kFrankfurt);
    EXPECT_EQ(leap_end.day_of_year, 366);
    EXPECT_EQ(leap_end.days_left, 0);
    EXPECT_EQ(leap_end.week, 1);
    // Days after the week of 28 December: nothing is left, never a negative count.
    const Weekday monday = Weekday::Monday;
    EXPECT_EQ(WeeksLeft({31, 12, 2026}, {true, WeekRule::FromNewYear, monday}), 0);  // week 53
    // A full week starts on Monday 29th.
    EXPECT_EQ(WeeksLeft({29, 12, 2025}, {true, WeekRule::FirstFullWeek, monday}), 0);
    EXPECT_EQ(WeeksLeft({28, 12, 2026}, {true, WeekRule::FromNewYear, monday}), 0);
    for (int rule_number = 1; rule_number <= 3; ++rule_number) {
        const auto rule = static_cast<WeekRule>(rule_number);
        for (int start = 0; start < 7; ++start) {
            for (int year = 1990; year <= 2030; ++year) {
                for (int doy = 1; doy <= DaysInYear(year, true); ++doy) {
                    const int left = WeeksLeft(DateOfDayOfYear(doy, year, true),
                                               {true, rule, WeekdayFromNumber(start)});
                    ASSERT_GE(left, 0) << year << "/" << doy << " rule " << rule_number;
                    ASSERT_LE(left, 53) << year << "/" << doy << " rule " << rule_number;
                }
            }
        }
    }
}

// A Julian date observes the same sky as the Gregorian date of that day, and shows the
// next phase in Julian digits.
TEST(DayFacts, JulianDatesSeeTheSameSky) {
    const DayFacts gregorian = DayFactsOf({7, 12, 2026}, kGregorianMondayIso, kFrankfurt);
    const DayFacts julian = DayFactsOf({24, 11, 2026}, kJulianMondayIso, kFrankfurt);
    EXPECT_EQ(julian.day_number, gregorian.day_number);
    EXPECT_EQ(julian.weekday, gregorian.weekday);
    EXPECT_EQ(julian.jewish, gregorian.jewish);
    EXPECT_EQ(julian.sunrise, gregorian.sunrise);
    EXPECT_EQ(julian.sunset, gregorian.sunset);
    EXPECT_EQ(julian.moonrise, gregorian.moonrise);
    EXPECT_EQ(julian.moonset, gregorian.moonset);
    EXPECT_EQ(julian.moon_age, gregorian.moon_age);
    EXPECT_EQ(julian.next_phase, (LocalMinute{{26, 11, 2026}, 1, 52}));
    EXPECT_EQ(julian.day_of_year, 328);

    // A day that only the Julian calendar has.
    const DayFacts leap_day = DayFactsOf({29, 2, 2100}, kJulianMondayIso, kFrankfurt);
    EXPECT_EQ(leap_day.day_number, DayNumberOf({14, 3, 2100}, true));
    EXPECT_TRUE(leap_day.sunrise.has_value());
}

TEST(DayFacts, PolarDayAndNightHaveNoSunriseOrSunset) {
    const Place longyearbyen{78.22, -15.65, 1.0, {}};
    for (const CivilDate& date : {CivilDate{21, 12, 2026}, CivilDate{21, 6, 2026}}) {
        const DayFacts f = DayFactsOf(date, kGregorianMondayIso, longyearbyen);
        EXPECT_FALSE(f.sunrise.has_value()) << date.month;
        EXPECT_FALSE(f.sunset.has_value()) << date.month;
        EXPECT_GE(f.moon_age, 0);
        EXPECT_LE(f.moon_age, 360);
    }
}

TEST(DayFacts, LocalMinuteOfCarriesAcrossMidnight) {
    const UtMoment late{{31, 12, 2026}, 23, 59, 59};
    EXPECT_EQ(LocalMinuteOf(late, 0, true), (LocalMinute{{31, 12, 2026}, 23, 59}));  // truncated
    EXPECT_EQ(LocalMinuteOf(late, 1, true), (LocalMinute{{1, 1, 2027}, 0, 59}));
    const UtMoment early{{1, 3, 2024}, 0, 30, 0};
    EXPECT_EQ(LocalMinuteOf(early, -5, true), (LocalMinute{{29, 2, 2024}, 19, 30}));
    EXPECT_EQ(LocalMinuteOf(early, 5.75, true), (LocalMinute{{1, 3, 2024}, 6, 15}));
    EXPECT_EQ(LocalMinuteOf(early, -5, false), (LocalMinute{{16, 2, 2024}, 19, 30}));
}

// Every day of several years: the next phase lies ahead within half a lunation and is
// the kind the age calls for, and the facts stay in range.
TEST(DayFacts, EveryDayOfSomeYearsIsConsistent) {
    for (bool gregorian : {true, false}) {
        const Reckoning reckoning{gregorian, WeekRule::FourDaysInJanuary, Weekday::Monday};
        for (int year : {1900, 2026, 2100}) {
            for (int doy = 1; doy <= DaysInYear(year, gregorian); ++doy) {
                const CivilDate date = DateOfDayOfYear(doy, year, gregorian);
                const DayFacts f = DayFactsOf(date, reckoning, kFrankfurt);
                ASSERT_EQ(f.day_of_year + f.days_left, DaysInYear(year, gregorian));
                ASSERT_GE(f.moon_age, 0);
                ASSERT_LE(f.moon_age, 360);
                ASSERT_EQ(f.next_phase_new, f.moon_age >= 180) << DateText(date);
                const int ahead = DayNumberOf(f.next_phase.date, gregorian) - f.day_number;
                ASSERT_GE(ahead, 0) << DateText(date);
                ASSERT_LE(ahead, 16) << DateText(date) << (gregorian ? " G" : " J");
                ASSERT_TRUE(f.sunrise && f.sunset) << DateText(date);
                ASSERT_LT(f.sunrise->hour * 60 + f.sunrise->minute,
                          f.sunset->hour * 60 + f.sunset->minute);
                ASSERT_FALSE(f.jewish_month_name.empty());
                ASSERT_GE(f.weeks_left, 0);
            }
        }
    }
}

}  // namespace
}  // namespace yorbel::calendar
