// Everything known about one day, as the day sheet, the inspector hint and the command
// line show it: computed once by one pure function, formatted by each caller in its own
// language.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar/astro.h"
#include "calendar/dates.h"
#include "calendar/jewish.h"

namespace yorbel::calendar {

// The calendar settings a year window passes to the date arithmetic.
struct Reckoning {
    bool gregorian = true;
    WeekRule week_one_rule = WeekRule::FourDaysInJanuary;
    Weekday week_start = Weekday::Monday;
};

// Where the sun and moon are observed, and the zone their times are shown in.
struct Place {
    double latitude = 0;        // degrees, north positive
    double longitude_west = 0;  // degrees, WEST positive (east is negative)
    double zone_hours = 0;      // added to universal time for display
    // A zone of the system's time-zone database ("Europe/Berlin"), whose clocks follow
    // summer time; empty for the fixed zone_hours, which also stand in when the name is
    // unknown.
    std::string zone_name;
};

// Which clock the times of a day are given in.
enum class ClockRule {
    kFixedOffset,   // zone_hours all year
    kNamedZone,     // the named zone's clock, summer time included
    kZoneNotFound,  // the name is unknown here (or there is no database): zone_hours
};

// A local date and clock time to the minute; the date in the chosen calendar system.
struct LocalMinute {
    CivilDate date;
    int hour = 0;
    int minute = 0;
    friend bool operator==(const LocalMinute&, const LocalMinute&) = default;
};

struct DayFacts {
    CivilDate date;  // as given, in the chosen system
    Weekday weekday = Weekday::Sunday;
    int day_of_year = 0;  // 1–366
    int days_left = 0;    // days of the year after this one
    int week = 0;         // week number under the week-1 rule
    int weeks_left = 0;   // see WeeksLeft
    DayNumber day_number = 0;
    JewishDate jewish;
    std::string_view jewish_month_name;
    // Local clock times, empty where the body does not rise or set that day.
    std::optional<ClockHm> sunrise, sunset, moonrise, moonset;
    double moon_age = 0;          // degrees, 0–360, at the start of the day
    bool next_phase_new = false;  // true: next new moon; false: next full moon
    LocalMinute next_phase;       // local time, minutes truncated
    ClockRule clock_rule = ClockRule::kFixedOffset;
    double clock_zone_hours = 0;  // the offset in effect at the day's local noon
    bool summer_time = false;     // at the day's local noon
};

// Weeks left in the year after the week of `date`: the week number of 28 December minus
// the date's week number; a January date that still belongs to the previous year's last
// week (difference below 1) gets the full count. The last days of December can lie in a
// week after that of 28 December (rules 1 and 3); they have 0 weeks left, not -1.
int WeeksLeft(const CivilDate& date, const Reckoning& reckoning);

// A moment of universal time moved into the zone and truncated to the minute, with its
// date in the chosen system.
LocalMinute LocalMinuteOf(const UtMoment& ut, double zone_hours, bool gregorian);

// All facts of a date that exists in the chosen system (callers check with IsValidDate).
DayFacts DayFactsOf(const CivilDate& date, const Reckoning& reckoning, const Place& place);

}  // namespace yorbel::calendar
