// Named time zones of the system's time-zone database (/usr/share/zoneinfo), which know
// when a place's clocks change for summer time. Moments are seconds of universal time
// since 1970-01-01 00:00.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/dates.h"

namespace date {
class time_zone;
}

namespace yorbel::calendar {

struct ZoneOffset {
    std::int64_t seconds = 0;  // added to universal time to give clock time
    bool summer_time = false;
};

class NamedZone {
  public:
    // The zone of that name ("Europe/Berlin"); empty when the database does not know it,
    // or when the system has no database at all.
    static std::optional<NamedZone> Find(std::string_view name);

    // Empty only for moments the database cannot place (far outside years 1–9999).
    std::optional<ZoneOffset> OffsetAt(std::int64_t ut_seconds) const;

    // The moment the local civil day of a Gregorian date begins. Where the clocks jump
    // over midnight the day begins at the jump; where midnight comes twice, at the first.
    std::optional<std::int64_t> DayStart(const CivilDate& gregorian_date) const;

  private:
    explicit NamedZone(const date::time_zone* zone) : zone_(zone) {}
    const date::time_zone* zone_;  // owned by the library's database, which lives on
};

// "UT+1", "UT-3:30", "UT+5:45", "UT": the offset as clocks are described, to the minute.
std::string UtOffsetText(double zone_hours);

// Seconds of universal time at 0 h UT of a Gregorian date.
std::int64_t UtSecondsOf(const CivilDate& gregorian_date);

// The day a moment falls on at UT; moments before 1970 too (the inverse of UtSecondsOf).
DayNumber UtDayNumberOf(std::int64_t ut_seconds);

}  // namespace yorbel::calendar
