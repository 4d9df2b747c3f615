// Sun and moon for one calendar day and one place: rising and setting, the moon's age
// and the next new or full moon. Pocket-calculator spherical astronomy in double
// precision, aiming at about a minute of time.
//
// Conventions: dates are Gregorian civil dates (whatever system the user reckons in);
// longitude in degrees, WEST positive; latitude in degrees, north positive; results in
// hours of universal time. The sun's rising and setting of a date are those of the place's
// own mean solar day (from its mean midnight). The moon's are those of the local civil day
// in the place's zone, from 00:00 to 24:00 there: about once a month that day has no
// moonrise, or no moonset, and the result leaves it empty. Where a body stays above or
// below the horizon all day there is no rising or setting and the result is empty. Dates of years
// outside 1–9999 give no meaningful result but never fail.
#pragma once

#include <optional>

#include "calendar/dates.h"

namespace yorbel::calendar {

struct RiseSet {
    std::optional<double> rise;  // hours UT, 0–24
    std::optional<double> set;
};

struct MoonDay {
    RiseSet times;
    double age = 0;  // elongation from the sun at the start of the day, 0–360 degrees
};

// A moment in universal time, to the whole second.
struct UtMoment {
    CivilDate date;  // Gregorian
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const UtMoment&, const UtMoment&) = default;
};

struct MoonPhase {
    bool new_moon = false;  // true: the next new moon; false: the next full moon
    UtMoment when;
};

// Time of day to the nearest minute.
struct ClockHm {
    int hour = 0;
    int minute = 0;
    friend bool operator==(const ClockHm&, const ClockHm&) = default;
};

RiseSet SunRiseSet(const CivilDate& gregorian_date, double longitude_west, double latitude);
// zone_hours: added to universal time to give the place's civil time.
MoonDay MoonRiseSet(const CivilDate& gregorian_date, double longitude_west, double latitude,
                    double zone_hours);

// The moon's age (MoonDay::age) at the start of the day.
double MoonAgeOf(const CivilDate& gregorian_date);

// The moon's rising and setting in a local civil day that begins `start_hours` after 0 h
// UT of the date (negative east of Greenwich) and lasts `day_hours` (24; 23 or 25 on a
// day the clocks change). Hours after 0 h UT of the date, not wrapped into 0–24, so that
// each names its own moment.
RiseSet MoonRiseSetInDay(const CivilDate& gregorian_date, double longitude_west, double latitude,
                         double start_hours, double day_hours);

// The next new moon when the moon's age at the start of the day is 180 or more, else the
// next full moon.
MoonPhase NextMoonPhase(const CivilDate& gregorian_date);

// (hours + zone) brought into 0–24 and rounded to the nearest minute (24:00 becomes 00:00).
ClockHm ClockTime(double hours, double zone);

}  // namespace yorbel::calendar
