#include "calendar/dayfacts.h"

#include <cmath>
#include <cstdint>

namespace yorbel::calendar {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::optional<ClockHm> LocalClock(const std::optional<double>& ut_hours, double zone_hours) {
    if (!ut_hours) return std::nullopt;
    return ClockTime(*ut_hours, zone_hours);
}

// Floor division, for moments moved before midnight by a negative zone.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

int WeeksLeft(const CivilDate& date, const Reckoning& reckoning) {
    const int week =
        WeekNumber(date, reckoning.week_one_rule, reckoning.week_start, reckoning.gregorian);
    const int last = WeekNumber({28, 12, date.year}, reckoning.week_one_rule, reckoning.week_start,
                                reckoning.gregorian);
    const int left = last - week;
    if (left < 1 && date.month == 1) return last;
    return left < 0 ? 0 : left;
}

LocalMinute LocalMinuteOf(const UtMoment& ut, double zone_hours, bool gregorian) {
    // Zones are whole seconds in practice; rounding the offset keeps 1.0 h from becoming
    // 3599.999… seconds and losing a minute to the truncation.
    const std::int64_t zone_seconds = std::llround(zone_hours * 3600.0);
    const std::int64_t seconds = ut.hour * 3600 + ut.minute * 60 + ut.second + zone_seconds;
    const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
    const std::int64_t of_day = seconds - days * kSecondsPerDay;
    const DayNumber n = DayNumberOf(ut.date, true) + static_cast<DayNumber>(days);
    return {DateOfDayNumber(n, gregorian), static_cast<int>(of_day / 3600),
            static_cast<int>(of_day % 3600 / 60)};
}

DayFacts DayFactsOf(const CivilDate& date, const Reckoning& reckoning, const Place& place) {
    const bool g = reckoning.gregorian;
    DayFacts f;
    f.date = date;
    f.weekday = WeekdayOf(date, g);
    f.day_of_year = DayOfYear(date, g);
    f.days_left = DaysInYear(date.year, g) - f.day_of_year;
    f.week = WeekNumber(date, reckoning.week_one_rule, reckoning.week_start, g);
    f.weeks_left = WeeksLeft(date, reckoning);
    f.day_number = DayNumberOf(date, g);
    f.jewish = DayNumberToJewish(f.day_number);
    f.jewish_month_name = JewishMonthName(f.jewish.year, f.jewish.month);

    // The sky does not depend on the reckoning: observe the same day, Gregorian digits.
    const CivilDate sky_day = g ? date : DateOfDayNumber(f.day_number, true);
    const RiseSet sun = SunRiseSet(sky_day, place.longitude_west, place.latitude);
    f.sunrise = LocalClock(sun.rise, place.zone_hours);
    f.sunset = LocalClock(sun.set, place.zone_hours);
    const MoonDay moon =
        MoonRiseSet(sky_day, place.longitude_west, place.latitude, place.zone_hours);
    f.moonrise = LocalClock(moon.times.rise, place.zone_hours);
    f.moonset = LocalClock(moon.times.set, place.zone_hours);
    f.moon_age = moon.age;
    const MoonPhase phase = NextMoonPhase(sky_day);
    f.next_phase_new = phase.new_moon;
    f.next_phase = LocalMinuteOf(phase.when, place.zone_hours, g);
    return f;
}

}  // namespace yorbel::calendar
