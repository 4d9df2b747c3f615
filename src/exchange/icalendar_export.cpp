#include "exchange/icalendar_export.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <unordered_map>

namespace yorbel::exchange {
namespace {

using calendar::CivilDate;
using data::Table;

struct EventInfo {
    std::string name;
    bool period = false;
};

struct GroupInfo {
    bool shown = false;
    std::string name;
};

// FNV-1a: small, stable across runs and platforms, enough to tell calendars apart.
std::uint64_t StableHash(std::string_view text) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    return h;
}

std::string MakeUid(std::int32_t event_no, const CivilDate& first, std::uint64_t calendar_hash) {
    char buf[80];
    std::snprintf(buf, sizeof buf, "%d-%04d%02d%02d-%016llx@yorbel", event_no, first.year,
                  first.month, first.day, static_cast<unsigned long long>(calendar_hash));
    return buf;
}

EventInfo ReadEvent(Table& events, std::int32_t event_no) {
    EventInfo info;
    if (!events.GoToKey(data::Value{event_no})) return info;
    info.name = events.AsText(data::Ev_name);
    info.period = !events.IsNull(data::Ev_Type) && events.AsInteger(data::Ev_Type) != 0;
    return info;
}

GroupInfo ReadGroup(data::Groups& groups, std::int32_t group_no) {
    GroupInfo info;
    info.shown = groups.IsGroupShown(group_no);
    if (info.shown) info.name = groups.GroupName(group_no);
    return info;
}

}  // namespace

std::vector<AllDayEvent> CollectAllDayEvents(data::EventTables& calendar, data::Groups& groups,
                                             int year, bool gregorian,
                                             std::string_view calendar_name) {
    Table& events = calendar.CdsEvents();
    Table& dates = calendar.CdsEvDates();
    const std::uint64_t calendar_hash = StableHash(calendar_name);

    // Event lookups need the number index; the window's choice is restored afterwards.
    const std::string events_index = events.CurrentIndex();
    events.SetCurrentIndex(data::kIxEvNo);

    std::unordered_map<std::int32_t, EventInfo> event_info;
    std::unordered_map<std::int32_t, GroupInfo> group_info;
    // The last spanning event of each period, extended while its days follow on.
    std::unordered_map<std::int32_t, std::size_t> open_period;
    std::vector<AllDayEvent> out;

    for (dates.First(); !dates.Eof(); dates.Next()) {
        if (dates.IsNull(data::Ed_gp_no) || dates.IsNull(data::Ed_ev_no)) continue;
        const std::int32_t group_no = dates.AsInteger(data::Ed_gp_no);
        auto group = group_info.find(group_no);
        if (group == group_info.end())
            group = group_info.emplace(group_no, ReadGroup(groups, group_no)).first;
        if (!group->second.shown) continue;

        const std::optional<CivilDate> date = calendar::ParseDateText(dates.AsText(data::Ed_date));
        if (!date || date->year != year || !calendar::IsValidDate(*date, gregorian)) continue;
        const calendar::DayNumber day = calendar::DayNumberOf(*date, gregorian);
        // iCalendar dates are Gregorian; the day number is the same in both systems.
        const CivilDate first = calendar::DateOfDayNumber(day, true);
        const CivilDate next = calendar::DateOfDayNumber(day + 1, true);

        const std::int32_t event_no = dates.AsInteger(data::Ed_ev_no);
        auto event = event_info.find(event_no);
        if (event == event_info.end())
            event = event_info.emplace(event_no, ReadEvent(events, event_no)).first;

        if (event->second.period) {
            const auto open = open_period.find(event_no);
            if (open != open_period.end() && out[open->second].end == first) {
                out[open->second].end = next;
                continue;
            }
        }
        out.push_back({MakeUid(event_no, first, calendar_hash), event->second.name,
                       group->second.name, first, next});
        if (event->second.period) open_period[event_no] = out.size() - 1;
    }

    events.SetCurrentIndex(events_index);
    return out;
}

std::string ExportICalendar(data::EventTables& calendar, data::Groups& groups, int year,
                            bool gregorian, std::string_view calendar_name) {
    return WriteICalendar(CollectAllDayEvents(calendar, groups, year, gregorian, calendar_name),
                          ExportStamp());
}

}  // namespace yorbel::exchange
