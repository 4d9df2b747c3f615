#include "calendar/time_zone.h"

#include <date/tz.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>

namespace yorbel::calendar {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

DayNumber UnixEpoch() {
    static const DayNumber kUnixEpoch = DayNumberOf({1, 1, 1970}, true);
    return kUnixEpoch;
}

}  // namespace

std::string UtOffsetText(double zone_hours) {
    const long long minutes = std::isfinite(zone_hours) ? std::llround(zone_hours * 60) : 0;
    if (minutes == 0) return "UT";
    std::string text = minutes < 0 ? "UT-" : "UT+";
    text += std::to_string(std::llabs(minutes) / 60);
    if (const long long m = std::llabs(minutes) % 60; m != 0) {
        text += m < 10 ? ":0" : ":";
        text += std::to_string(m);
    }
    return text;
}

std::int64_t UtSecondsOf(const CivilDate& gregorian_date) {
    return static_cast<std::int64_t>(DayNumberOf(gregorian_date, true) - UnixEpoch()) *
           kSecondsPerDay;
}

DayNumber UtDayNumberOf(std::int64_t ut_seconds) {
    const std::int64_t days =
        ut_seconds / kSecondsPerDay - (ut_seconds % kSecondsPerDay < 0 ? 1 : 0);
    return UnixEpoch() + static_cast<DayNumber>(days);
}

// The library throws for an unknown name and for a missing or unreadable database; both
// mean the caller keeps its fixed offset.
std::optional<NamedZone> NamedZone::Find(std::string_view name) {
    if (name.empty()) return std::nullopt;
    try {
        return NamedZone(date::locate_zone(name));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<ZoneOffset> NamedZone::OffsetAt(std::int64_t ut_seconds) const {
    try {
        const date::sys_info info =
            zone_->get_info(date::sys_seconds{std::chrono::seconds{ut_seconds}});
        return ZoneOffset{info.offset.count(), info.save != std::chrono::minutes{0}};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::int64_t> NamedZone::DayStart(const CivilDate& gregorian_date) const {
    const std::int64_t midnight = UtSecondsOf(gregorian_date);  // as local time
    try {
        const date::local_info info =
            zone_->get_info(date::local_seconds{std::chrono::seconds{midnight}});
        if (info.result == date::local_info::nonexistent) {
            return info.first.end.time_since_epoch().count();
        }
        return midnight - info.first.offset.count();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace yorbel::calendar
