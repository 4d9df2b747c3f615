#include "calendar/astro.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "calendar/dates.h"

namespace yorbel::calendar {
namespace {

constexpr double kFrankfurtLatitude = 50 + 6 / 60.0 + 44 / 3600.0;
constexpr double kFrankfurtLongitudeWest = -(8 + 40 / 60.0 + 55 / 3600.0);

std::string Hm(std::optional<double> ut, double zone) {
    if (!ut) return "none";
    const ClockHm c = ClockTime(*ut, zone);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", c.hour, c.minute);
    return text;
}

double Wrap24(double hours) {
    return hours - 24 * std::floor(hours / 24);
}

std::string Moment(const UtMoment& m) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", m.date.year, m.date.month,
                  m.date.day, m.hour, m.minute);
    return text;
}

TEST(SunAndMoon, FrankfurtDaysToTheMinute) {
    struct Row {
        CivilDate date;
        const char *sunrise, *sunset, *moonrise, *moonset;
        double age;
        bool new_moon;
        const char* phase;
    };
    const Row rows[] = {
        // The moon sets at 23:59 on 20 June and at 00:11 on 22 June, none on 21 June.
        {{21, 6, 2026}, "04:16", "20:39", "12:03", "none", 79.0, false, "2026-06-29 23:55"},
        {{22, 6, 2026}, "04:16", "20:39", "13:17", "00:11", 91.0, false, "2026-06-29 23:55"},
        {{7, 12, 2026}, "08:10", "16:23", "06:58", "14:47", 337.4, true, "2026-12-09 00:52"},
        {{21, 12, 2026}, "08:22", "16:25", "13:40", "05:23", 137.2, false, "2026-12-24 01:38"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(DateText(r.date));
        const RiseSet sun = SunRiseSet(r.date, kFrankfurtLongitudeWest, kFrankfurtLatitude);
        const MoonDay moon = MoonRiseSet(r.date, kFrankfurtLongitudeWest, kFrankfurtLatitude, 1);
        EXPECT_EQ(Hm(sun.rise, 1), r.sunrise);
        EXPECT_EQ(Hm(sun.set, 1), r.sunset);
        EXPECT_EQ(Hm(moon.times.rise, 1), r.moonrise);
        EXPECT_EQ(Hm(moon.times.set, 1), r.moonset);
        EXPECT_NEAR(moon.age, r.age, 0.05);
        const MoonPhase phase = NextMoonPhase(r.date);
        EXPECT_EQ(phase.new_moon, r.new_moon);
        EXPECT_EQ(Moment(phase.when), r.phase);
    }
}

TEST(ClockTime, RoundsToTheNearestMinuteAndWrapsIntoTheDay) {
    const auto hms = [](int h, int m, int s) { return h + (m + s / 60.0) / 60.0; };
    EXPECT_EQ(ClockTime(12.5, 0), (ClockHm{12, 30}));
    EXPECT_EQ(ClockTime(hms(12, 29, 30), 0), (ClockHm{12, 30}));
    EXPECT_EQ(ClockTime(hms(12, 29, 29), 0), (ClockHm{12, 29}));
    EXPECT_EQ(ClockTime(hms(23, 59, 45), 0), (ClockHm{0, 0}));
    EXPECT_EQ(ClockTime(hms(9, 59, 30), 0), (ClockHm{10, 0}));
    EXPECT_EQ(ClockTime(23.5, 1), (ClockHm{0, 30}));    // the zone pushes past midnight
    EXPECT_EQ(ClockTime(0.25, -1), (ClockHm{23, 15}));  // and back before it
    EXPECT_EQ(ClockTime(24, 0), (ClockHm{0, 0}));
    EXPECT_EQ(ClockTime(19.75, 10), (ClockHm{5, 45}));
}

TEST(NextMoonPhase, PhaseInTheFirstSecondsAfterMidnightStaysOnItsDay) {
    // By this lunar theory the new moon of April 2027 falls on the 7th at 00:00:01 UT,
    // inside the 50 seconds by which the search starts after midnight.
    for (const CivilDate from : {CivilDate{1, 4, 2027}, CivilDate{6, 4, 2027}}) {
        const MoonPhase phase = NextMoonPhase(from);
        EXPECT_TRUE(phase.new_moon);
        EXPECT_EQ(Moment(phase.when), "2027-04-07 00:00") << DateText(from);
    }
}

TEST(NextMoonPhase, NeverSkipsALunation) {
    // From these days a 14-day step lands just short of the phase and the next one beyond
    // it, in the following half of the lunation.
    EXPECT_EQ(Moment(NextMoonPhase({8, 12, 1900}).when), "1900-12-22 00:05");
    EXPECT_EQ(Moment(NextMoonPhase({20, 7, 1822}).when), "1822-08-03 00:38");
}

// Over years of days: the search kind follows the age at the start of the day, the phase
// lies ahead within half a lunation, and every day before it finds the same moment.
TEST(NextMoonPhase, FindsTheSamePhaseFromEveryDayBeforeIt) {
    for (int year : {1, 1900, 2026, 2027, 9999}) {
        const DayNumber first = DayNumberOf({1, 1, year}, true);
        const DayNumber last = DayNumberOf({31, 12, year}, true);
        std::optional<MoonPhase> previous;
        for (DayNumber n = first; n <= last; ++n) {
            const CivilDate date = DateOfDayNumber(n, true);
            SCOPED_TRACE(DateText(date));
            const MoonPhase phase = NextMoonPhase(date);
            EXPECT_EQ(phase.new_moon, MoonRiseSet(date, 0, 0, 0).age >= 180);
            const DayNumber phase_day = DayNumberOf(phase.when.date, true);
            ASSERT_GE(phase_day, n);
            ASSERT_LE(phase_day, n + 16);
            ASSERT_GE(phase.when.hour, 0);
            ASSERT_LT(phase.when.hour, 24);
            ASSERT_GE(phase.when.minute, 0);
            ASSERT_LT(phase.when.minute, 60);
            ASSERT_GE(phase.when.second, 0);
            ASSERT_LT(phase.when.second, 60);
            if (previous && previous->new_moon == phase.new_moon &&
                DayNumberOf(previous->when.date, true) >= n) {
                const auto seconds = [](const UtMoment& m) {
                    return DayNumberOf(m.date, true) * 86400.0 + m.hour * 3600 + m.minute * 60 +
                           m.second;
                };
                EXPECT_NEAR(seconds(phase.when), seconds(previous->when), 30);
            }
            previous = phase;
        }
    }
}

// --- independent references ---------------------------------------------------------
// Low-precision positions from almanac formulae (sun about 0.01°, moon about 0.3°), used
// only to check that at a reported time the body really stands on the horizon.

constexpr double kRad = std::numbers::pi / 180;

double AltitudeOf(double ra, double dec, double jd, double longitude_east, double latitude) {
    const double gmst = 280.46061837 + 360.98564736629 * (jd - 2451545.0);
    const double ha = (gmst + longitude_east) * kRad - ra;
    const double phi = latitude * kRad;
    return std::asin(std::sin(phi) * std::sin(dec) + std::cos(phi) * std::cos(dec) * std::cos(ha)) /
           kRad;
}

// Altitude of the sun's centre above the standard rising altitude −0°50′.
double SunAboveHorizon(double jd, double longitude_east, double latitude) {
    const double n = jd - 2451545.0;
    const double g = (357.528 + 0.9856003 * n) * kRad;
    const double lambda =
        (280.460 + 0.9856474 * n + 1.915 * std::sin(g) + 0.020 * std::sin(2 * g)) * kRad;
    const double eps = (23.439 - 0.0000004 * n) * kRad;
    const double ra = std::atan2(std::cos(eps) * std::sin(lambda), std::cos(lambda));
    const double dec = std::asin(std::sin(eps) * std::sin(lambda));
    return AltitudeOf(ra, dec, jd, longitude_east, latitude) + 0.8333;
}

// Altitude of the moon's centre above its rising altitude (parallax less refraction and
// semi-diameter).
double MoonAboveHorizon(double jd, double longitude_east, double latitude) {
    const double t = (jd - 2451545.0) / 36525;
    const auto s = [](double d) { return std::sin(d * kRad); };
    const auto c = [](double d) { return std::cos(d * kRad); };
    const double lambda = 218.32 + 481267.881 * t + 6.29 * s(135.0 + 477198.87 * t) -
                          1.27 * s(259.3 - 413335.36 * t) + 0.66 * s(235.7 + 890534.22 * t) +
                          0.21 * s(269.9 + 954397.74 * t) - 0.19 * s(357.5 + 35999.05 * t) -
                          0.11 * s(186.5 + 966404.03 * t);
    const double beta = 5.13 * s(93.3 + 483202.02 * t) + 0.28 * s(228.2 + 960400.89 * t) -
                        0.28 * s(318.3 + 6003.15 * t) - 0.17 * s(217.6 - 407332.21 * t);
    const double parallax = 0.9508 + 0.0518 * c(135.0 + 477198.87 * t) +
                            0.0095 * c(259.3 - 413335.38 * t) + 0.0078 * c(235.7 + 890534.23 * t) +
                            0.0028 * c(269.9 + 954397.70 * t);
    const double eps = (23.439 - 0.013 * t) * kRad;
    const double l = lambda * kRad, b = beta * kRad;
    const double x = std::cos(b) * std::cos(l);
    const double y = std::cos(eps) * std::cos(b) * std::sin(l) - std::sin(eps) * std::sin(b);
    const double z = std::sin(eps) * std::cos(b) * std::sin(l) + std::cos(eps) * std::sin(b);
    return AltitudeOf(std::atan2(y, x), std::asin(z), jd, longitude_east, latitude) -
           (0.7275 * parallax - 0.5667);
}

using Altitude = std::function<double(double jd)>;

// The rising (or setting) of the body within ±window days of jd nearest to it, if any,
// bracketed on a grid of scan days and then bisected.
std::optional<double> Crossing(const Altitude& above, double jd, bool rising, double window,
                               double scan = 1.0 / 1440) {
    std::optional<double> best;
    double a = jd - window;
    double fa = above(a);
    for (; a < jd + window; a += scan) {
        const double fb = above(a + scan);
        if (rising ? (fa < 0 && fb >= 0) : (fa > 0 && fb <= 0)) {
            double lo = a, hi = a + scan;
            for (int i = 0; i < 30; ++i) {
                const double mid = (lo + hi) / 2;
                ((above(mid) < 0) == (fa < 0) ? lo : hi) = mid;
            }
            const double found = (lo + hi) / 2;
            if (!best || std::fabs(found - jd) < std::fabs(*best - jd)) best = found;
        }
        fa = fb;
    }
    return best;
}

struct Place {
    const char* name;
    double latitude;
    double longitude_east;
};

// A reported UT time of day as a moment: the day of the date is the place's mean solar day,
// from its mean midnight on.
double MomentInLocalDay(DayNumber n, double ut, double longitude_east) {
    const double midnight = -longitude_east / 15;
    while (ut < midnight) ut += 24;
    while (ut >= midnight + 24) ut -= 24;
    return n - 0.5 + ut / 24;
}

// Sunrises in Sydney, Delhi or Tokyo fall on the previous evening in UT, sunsets in New York
// or Honolulu after the next midnight; those times must not move by the difference of
// sidereal and solar hours, and east of Greenwich the day must stay the place's own day.
TEST(SunRiseSet, AgreesWithAnIndependentSolarPositionAllYear) {
    constexpr double kToleranceMinutes = 1.0;
    const Place places[] = {{"Frankfurt", kFrankfurtLatitude, -kFrankfurtLongitudeWest},
                            {"Sydney", -33.87, 151.21},
                            {"Delhi", 28.61, 77.21},
                            {"Tokyo", 35.68, 139.69},
                            {"New York", 40.71, -74.01},
                            {"Honolulu", 21.31, -157.86},
                            {"Helsinki", 60.17, 24.94},
                            {"Quito", -0.18, -78.47}};
    for (const Place& p : places) {
        const Altitude above = [&](double jd) {
            return SunAboveHorizon(jd, p.longitude_east, p.latitude);
        };
        for (int year : {1990, 2026}) {
            for (DayNumber n = DayNumberOf({1, 1, year}, true);
                 n < DayNumberOf({1, 1, year + 1}, true); ++n) {
                const CivilDate date = DateOfDayNumber(n, true);
                const RiseSet sun = SunRiseSet(date, -p.longitude_east, p.latitude);
                ASSERT_TRUE(sun.rise && sun.set) << p.name << ' ' << DateText(date);
                for (bool rising : {true, false}) {
                    const double at =
                        MomentInLocalDay(n, rising ? *sun.rise : *sun.set, p.longitude_east);
                    const auto truth = Crossing(above, at, rising, 0.02);
                    ASSERT_TRUE(truth)
                        << p.name << ' ' << DateText(date) << (rising ? " rise" : " set");
                    EXPECT_NEAR(at * 1440, *truth * 1440, kToleranceMinutes)
                        << p.name << ' ' << DateText(date) << (rising ? " rise" : " set");
                }
            }
        }
    }
}

// True risings or settings of the moon from jd `from` to `to`, each bracketed on a 10-minute
// grid (the moon never rises and sets within 10 minutes below 62° latitude) and bisected.
std::vector<double> MoonCrossings(double from, double to, double longitude_east, double latitude,
                                  bool rising) {
    const Altitude above = [&](double jd) {
        return MoonAboveHorizon(jd, longitude_east, latitude);
    };
    constexpr double kScan = 10.0 / 1440;
    std::vector<double> found;
    double fa = above(from);
    for (double a = from; a < to; a += kScan) {
        const double fb = above(a + kScan);
        if (rising ? (fa < 0 && fb >= 0) : (fa >= 0 && fb < 0)) {
            double lo = a, hi = a + kScan;
            for (int i = 0; i < 20; ++i) {
                const double mid = (lo + hi) / 2;
                ((above(mid) < 0) == rising ? lo : hi) = mid;
            }
            found.push_back((lo + hi) / 2);
        }
        fa = fb;
    }
    return found;
}

// The moon rises about 50 minutes later each day, so about once a month a local day has
// no rising (or setting), and near midnight a time from the neighbouring day's position
// is easily hours out. Every time shown must be a true event of that local civil day, and
// every true event not within the tolerance of the day's ends must be shown.
TEST(MoonRiseSet, AgreesWithAnIndependentLunarPositionAllYear) {
    struct ZonedPlace {
        Place place;
        double zone;
        double tolerance_minutes;
    };
    const ZonedPlace places[] = {
        {{"Frankfurt", kFrankfurtLatitude, -kFrankfurtLongitudeWest}, 1, 6},
        {{"Sydney", -33.87, 151.21}, 10, 6},
        {{"Delhi", 28.61, 77.21}, 5.5, 6},
        {{"Tokyo", 35.68, 139.69}, 9, 6},
        {{"New York", 40.71, -74.01}, -5, 6},
        {{"Quito", -0.18, -78.47}, -5, 6},
        {{"Anchorage", 61.22, -149.90}, -9, 15},
    };
    const DayNumber first = DayNumberOf({1, 1, 2026}, true);
    const DayNumber last = DayNumberOf({1, 3, 2027}, true);
    for (const ZonedPlace& z : places) {
        const Place& p = z.place;
        const double tolerance = z.tolerance_minutes / 1440;
        // Local midnight of day number n as a Julian date.
        const auto midnight = [&](DayNumber n) { return n - 0.5 - z.zone / 24; };
        int shown = 0;
        for (bool rising : {true, false}) {
            const std::vector<double> truth = MoonCrossings(midnight(first) - 1, midnight(last) + 1,
                                                            p.longitude_east, p.latitude, rising);
            for (DayNumber n = first; n < last; ++n) {
                const CivilDate date = DateOfDayNumber(n, true);
                const MoonDay moon = MoonRiseSet(date, -p.longitude_east, p.latitude, z.zone);
                const std::optional<double> ut = rising ? moon.times.rise : moon.times.set;
                const double begin = midnight(n), end = midnight(n + 1);
                const std::string what =
                    std::string(p.name) + ' ' + DateText(date) + (rising ? " rise " : " set ");
                if (ut) {
                    ++shown;
                    const double at = begin + Wrap24(*ut + z.zone) / 24;
                    const auto nearest = std::min_element(
                        truth.begin(), truth.end(),
                        [&](double a, double b) { return std::fabs(a - at) < std::fabs(b - at); });
                    ASSERT_NE(nearest, truth.end());
                    EXPECT_NEAR(at * 1440, *nearest * 1440, z.tolerance_minutes)
                        << what << Hm(ut, z.zone);
                }
                for (double t : truth) {
                    if (t >= begin + tolerance && t < end - tolerance) {
                        EXPECT_TRUE(ut) << what << "missing";
                    }
                }
            }
        }
        EXPECT_GT(shown, 700) << p.name;
    }
}

// Days an independent ephemeris showed wrong: a rising of the neighbouring day, and times
// near midnight two hours out.
TEST(MoonRiseSet, NearMidnightGivesTheLocalDaysOwnEvent) {
    const double anchorage_west = 149.90, anchorage_latitude = 61.22, anchorage_zone = -9;
    const auto minutes = [](std::optional<double> ut, double zone) {
        return ut ? Wrap24(*ut + zone) * 60 : -1000.0;
    };
    EXPECT_FALSE(
        MoonRiseSet({6, 4, 2026}, kFrankfurtLongitudeWest, kFrankfurtLatitude, 1).times.rise);
    const MoonDay feb =
        MoonRiseSet({25, 2, 2027}, anchorage_west, anchorage_latitude, anchorage_zone);
    EXPECT_NEAR(minutes(feb.times.rise, anchorage_zone), 1 * 60 + 3, 15);
    const MoonDay march =
        MoonRiseSet({22, 3, 2026}, anchorage_west, anchorage_latitude, anchorage_zone);
    EXPECT_NEAR(minutes(march.times.set, anchorage_zone), 0 * 60 + 50, 15);
}

TEST(RiseSet, PolarDayAndNightHaveNoTimes) {
    const double tromso_lat = 69.65, tromso_west = -18.96;
    for (const CivilDate date : {CivilDate{21, 6, 2026}, CivilDate{21, 12, 2026}}) {
        SCOPED_TRACE(DateText(date));
        for (double latitude : {tromso_lat, 80.0, -80.0, 90.0, -90.0}) {
            const RiseSet sun = SunRiseSet(date, tromso_west, latitude);
            EXPECT_FALSE(sun.rise) << latitude;
            EXPECT_FALSE(sun.set) << latitude;
        }
    }
    // At 80° the moon, whose declination swings by ±28°, stays up or down for days twice a
    // month.
    // Only the days its stay begins or ends have a rising without a setting or the reverse.
    int days_without = 0, days_with_one = 0;
    for (DayNumber n = DayNumberOf({1, 1, 2026}, true); n < DayNumberOf({1, 2, 2026}, true); ++n) {
        const MoonDay moon = MoonRiseSet(DateOfDayNumber(n, true), 0, 80, 0);
        if (moon.times.rise.has_value() != moon.times.set.has_value()) ++days_with_one;
        if (!moon.times.rise && !moon.times.set) ++days_without;
    }
    EXPECT_GE(days_without, 10);
    EXPECT_LE(days_with_one, 6);
}

// Every day of years across the range at latitudes from pole to pole: any time given is a
// finite time of day, the age is in 0–360, and nothing fails.
TEST(RiseSet, EveryDayGivesTimesOfDayOrNone) {
    const double latitudes[] = {-89.9, -66.6, -45, -10, 0, 23.44, 50.1, 65.7, 78.2, 89.9};
    const double longitudes[] = {-179.9, -8.68, 0, 74, 151.2};
    const auto in_day = [](std::optional<double> t) {
        return !t || (std::isfinite(*t) && *t >= 0 && *t <= 24);
    };
    for (int year : {1, 1582, 2000, 2026, 9999}) {
        for (DayNumber n = DayNumberOf({1, 1, year}, true); n < DayNumberOf({1, 1, year + 1}, true);
             n += 3) {
            const CivilDate date = DateOfDayNumber(n, true);
            for (double latitude : latitudes) {
                for (double longitude : longitudes) {
                    const RiseSet sun = SunRiseSet(date, longitude, latitude);
                    const MoonDay moon = MoonRiseSet(date, longitude, latitude, -longitude / 15);
                    ASSERT_TRUE(in_day(sun.rise) && in_day(sun.set) && in_day(moon.times.rise) &&
                                in_day(moon.times.set))
                        << DateText(date) << ' ' << latitude << ' ' << longitude;
                    ASSERT_TRUE(moon.age >= 0 && moon.age <= 360) << DateText(date);
                }
            }
        }
    }
}

// Years outside the calendar's range are refused where they enter; should one reach the
// astronomy anyway it must return, without NaN times.
TEST(RiseSet, YearsOutsideTheRangeDoNotFail) {
    for (int year : {0, -4712, 100000, 2000000000, -2000000000}) {
        const CivilDate date{15, 3, year};
        const RiseSet sun = SunRiseSet(date, -8.68, 50.1);
        const MoonDay moon = MoonRiseSet(date, -8.68, 50.1, 1);
        for (auto t : {sun.rise, sun.set, moon.times.rise, moon.times.set}) {
            EXPECT_TRUE(!t || std::isfinite(*t)) << year;
        }
        const MoonPhase phase = NextMoonPhase(date);
        EXPECT_GE(phase.when.hour, 0);
        EXPECT_LT(phase.when.hour, 24);
    }
}

}  // namespace
}  // namespace yorbel::calendar
