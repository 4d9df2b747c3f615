#include "calendar/dayfacts.h"

#include <cmath>
#include <cstdint>

#include "calendar/time_zone.h"

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

constexpr double kSecondsPerHour = 3600;

// Sun, moon and phase in the fixed zone.
void ObserveInFixedZone(const CivilDate& sky_day, const Place& place, bool gregorian, DayFacts& f) {
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
    f.next_phase = LocalMinuteOf(phase.when, place.zone_hours, gregorian);
    f.clock_zone_hours = place.zone_hours;
}

// Sun, moon and phase on the named zone's clock: each time with the offset in effect at
// its own moment, the moon searched through the local day as the zone bounds it (23 or 25
// hours when the clocks change). False when the database cannot place the day.
bool ObserveInNamedZone(const CivilDate& sky_day, const Place& place, const NamedZone& zone,
                        bool gregorian, DayFacts& f) {
    const std::int64_t zero_hours = UtSecondsOf(sky_day);
    const auto start = zone.DayStart(sky_day);
    const auto end = zone.DayStart(DateOfDayNumber(DayNumberOf(sky_day, true) + 1, true));
    if (!start || !end) return false;
    // Hours after 0 h UT of the day, not wrapped, to the clock time at that moment.
    bool placed = true;
    const auto clock = [&](const std::optional<double>& hours) -> std::optional<ClockHm> {
        if (!hours) return std::nullopt;
        const auto offset = zone.OffsetAt(
            zero_hours + static_cast<std::int64_t>(std::floor(*hours * kSecondsPerHour)));
        if (!offset) {
            placed = false;
            return std::nullopt;
        }
        return ClockTime(*hours, static_cast<double>(offset->seconds) / kSecondsPerHour);
    };

    // The sun's times belong to the place's mean solar day, which starts at its mean
    // midnight; that day names the moment behind each wrapped time.
    const RiseSet sun = SunRiseSet(sky_day, place.longitude_west, place.latitude);
    const double mean_midnight = place.longitude_west / 15;
    const auto in_mean_day = [&](const std::optional<double>& hours) -> std::optional<double> {
        if (!hours) return std::nullopt;
        return mean_midnight + std::fmod(std::fmod(*hours - mean_midnight, 24) + 24, 24);
    };
    f.sunrise = clock(in_mean_day(sun.rise));
    f.sunset = clock(in_mean_day(sun.set));

    const double start_hours = static_cast<double>(*start - zero_hours) / kSecondsPerHour;
    const double day_hours = static_cast<double>(*end - *start) / kSecondsPerHour;
    const RiseSet moon =
        MoonRiseSetInDay(sky_day, place.longitude_west, place.latitude, start_hours, day_hours);
    f.moonrise = clock(moon.rise);
    f.moonset = clock(moon.set);
    f.moon_age = MoonAgeOf(sky_day);

    const MoonPhase phase = NextMoonPhase(sky_day);
    f.next_phase_new = phase.new_moon;
    const std::int64_t phase_moment = UtSecondsOf(phase.when.date) + phase.when.hour * 3600 +
                                      phase.when.minute * 60 + phase.when.second;
    const auto phase_offset = zone.OffsetAt(phase_moment);
    const auto noon_offset = zone.OffsetAt(*start + (*end - *start) / 2);
    if (!phase_offset || !noon_offset || !placed) return false;
    f.next_phase = LocalMinuteOf(
        phase.when, static_cast<double>(phase_offset->seconds) / kSecondsPerHour, gregorian);
    f.clock_zone_hours = static_cast<double>(noon_offset->seconds) / kSecondsPerHour;
    f.summer_time = noon_offset->summer_time;
    return true;
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
    if (!place.zone_name.empty()) {
        const auto zone = NamedZone::Find(place.zone_name);
        if (zone && ObserveInNamedZone(sky_day, place, *zone, g, f)) {
            f.clock_rule = ClockRule::kNamedZone;
            return f;
        }
        f.clock_rule = ClockRule::kZoneNotFound;
    }
    ObserveInFixedZone(sky_day, place, g, f);
    return f;
}

}  // namespace yorbel::calendar
