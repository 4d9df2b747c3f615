#include "exchange/ical_reader.h"

#include <libical/ical.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>

#include "calendar/time_zone.h"
#include "data/error.h"
#include "text/ascii_case.h"

namespace yorbel::exchange {
namespace {

using calendar::DayNumber;

// Steps one recurrence may take while it is expanded. Daily rules over a century need
// some tens of thousands; a rule that repeats every second would otherwise run for
// minutes on a file nobody meant that way.
constexpr int kMaxExpansionSteps = 200000;

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

struct IteratorFree {
    void operator()(icalrecur_iterator* it) const { icalrecur_iterator_free(it); }
};
using IteratorPtr = std::unique_ptr<icalrecur_iterator, IteratorFree>;

using text::EqualsIgnoringAsciiCase;

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Calls visit(line, number) for each line of the text until it returns false.
template <class Visit>
void ForEachLine(std::string_view text, Visit visit) {
    int number = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        if (!visit(TrimRight(text.substr(pos, end - pos)), ++number)) return;
        pos = end + 1;
    }
}

// The lines (1-based) that open a VEVENT, in file order, and the number that close one.
// Continuation lines of a folded property begin with a blank, so they never match.
struct EventLines {
    std::vector<int> begins;
    std::size_t ends = 0;  // END:VEVENT lines
};

EventLines EventLinesOf(std::string_view text) {
    EventLines lines;
    ForEachLine(text, [&lines](std::string_view line, int number) {
        if (EqualsIgnoringAsciiCase(line, "BEGIN:VEVENT")) lines.begins.push_back(number);
        if (EqualsIgnoringAsciiCase(line, "END:VEVENT")) ++lines.ends;
        return true;
    });
    return lines;
}

// The day as its digits are written, without any zone.
DayNumber WrittenDay(const icaltimetype& t) {
    return calendar::DayNumberOf({t.day, t.month, t.year}, true);
}

bool UsableTime(const icaltimetype& t) {
    return !icaltime_is_null_time(t) && t.year >= calendar::kMinYear &&
           t.year <= calendar::kMaxYear && calendar::IsValidDate({t.day, t.month, t.year}, true);
}

// Days are counted on the calendar's own clock, the zone the rest of the program shows
// times in (the system's database through our time-zone code), so an event falls on the
// day the day sheet would show for its moment. libical only turns a time of the file
// (its VTIMEZONE, its TZID or UTC) into that moment; a floating time and a date belong
// to no zone and keep the day they name.
class DayClock {
  public:
    explicit DayClock(const CalendarZone& zone)
        : named_(calendar::NamedZone::Find(zone.name)),
          fixed_seconds_(std::isfinite(zone.hours) ? std::llround(zone.hours * 3600) : 0) {}

    DayNumber DayOf(const icaltimetype& t) const {
        if (t.is_date || t.zone == nullptr) return WrittenDay(t);
        const auto ut = static_cast<std::int64_t>(
            icaltime_as_timet_with_zone(t, static_cast<const icaltimezone*>(t.zone)));
        std::int64_t offset = fixed_seconds_;
        if (named_) {
            if (const auto o = named_->OffsetAt(ut)) offset = o->seconds;
        }
        return calendar::UtDayNumberOf(ut + offset);
    }

  private:
    std::optional<calendar::NamedZone> named_;
    std::int64_t fixed_seconds_;
};

// The days from start to end (exclusive: an all-day DTEND is the day after, a timed one
// ending at midnight ends the day before).
IcsDays DaysOf(const icaltimetype& start, const icaltimetype& end, const DayClock& clock) {
    const DayNumber first = clock.DayOf(start);
    if (!UsableTime(end) || icaltime_compare(end, start) <= 0) return {first, first};
    if (start.is_date || end.is_date) return {first, std::max(first, WrittenDay(end) - 1)};
    icaltimetype before = end;
    icaltime_adjust(&before, 0, 0, 0, -1);
    return {first, std::max(first, clock.DayOf(before))};
}

// An occurrence as EXDATE and RECURRENCE-ID name it: a date, or a moment (a floating
// time as written).
struct InstanceKey {
    bool is_date = false;
    std::int64_t value = 0;
    friend auto operator<=>(const InstanceKey&, const InstanceKey&) = default;
};

InstanceKey KeyOf(const icaltimetype& t) {
    if (t.is_date) return {true, WrittenDay(t)};
    return {false, static_cast<std::int64_t>(
                       icaltime_as_timet_with_zone(t, static_cast<const icaltimezone*>(t.zone)))};
}

// Removing an occurrence named by date also takes a timed occurrence on that day, as
// several producers write EXDATE;VALUE=DATE for timed events.
struct Exclusions {
    std::set<InstanceKey> keys;
    std::set<DayNumber> dates;

    void Add(const icaltimetype& t) {
        keys.insert(KeyOf(t));
        if (t.is_date) dates.insert(WrittenDay(t));
    }
    bool Excludes(const icaltimetype& t) const {
        return keys.count(KeyOf(t)) > 0 || dates.count(WrittenDay(t)) > 0;
    }
};

template <class Array>
std::vector<int> ByValues(const Array& values) {
    std::vector<int> out;
    for (short v : values) {
        if (v == ICAL_RECURRENCE_ARRAY_MAX) break;
        out.push_back(v);
    }
    return out;
}

IcsRepeat RepeatOf(const icalrecurrencetype& r) {
    IcsRepeat out;
    out.yearly = r.freq == ICAL_YEARLY_RECURRENCE;
    out.interval = r.interval;
    out.bounded = r.count > 0 || !icaltime_is_null_time(r.until);
    for (int month : ByValues(r.by_month)) {
        out.months.push_back(icalrecurrencetype_month_month(static_cast<short>(month)));
        out.other_parts =
            out.other_parts || icalrecurrencetype_month_is_leap(static_cast<short>(month));
    }
    out.month_days = ByValues(r.by_month_day);
    for (int day : ByValues(r.by_day)) {
        const auto code = static_cast<short>(day);
        // libical counts weekdays from 1 (Sunday).
        const int weekday = static_cast<int>(icalrecurrencetype_day_day_of_week(code)) - 1;
        out.days.push_back(
            {calendar::WeekdayFromNumber(weekday), icalrecurrencetype_day_position(code)});
    }
    out.other_parts = out.other_parts || !ByValues(r.by_second).empty() ||
                      !ByValues(r.by_minute).empty() || !ByValues(r.by_hour).empty() ||
                      !ByValues(r.by_year_day).empty() || !ByValues(r.by_week_no).empty() ||
                      !ByValues(r.by_set_pos).empty() ||
                      (r.rscale != nullptr && !EqualsIgnoringAsciiCase(r.rscale, "GREGORIAN"));
    return out;
}

std::vector<icalproperty*> PropertiesOf(icalcomponent* event, icalproperty_kind kind) {
    std::vector<icalproperty*> out;
    for (icalproperty* p = icalcomponent_get_first_property(event, kind); p != nullptr;
         p = icalcomponent_get_next_property(event, kind))
        out.push_back(p);
    return out;
}

// The time of a date-valued property, its TZID resolved in the calendar.
icaltimetype TimeOf(icalproperty* p, icalcomponent* event) {
    icaltimetype t = icalproperty_get_datetime_with_component(p, event);
    if (icaltime_is_null_time(t) && icalproperty_isa(p) == ICAL_RDATE_PROPERTY)
        t = icalproperty_get_rdate(p).period.start;  // RDATE;VALUE=PERIOD
    return t;
}

// One VEVENT and the single occurrences other VEVENTs of its UID move or cancel.
struct Source {
    icalcomponent* event = nullptr;
    int line = 0;
    std::vector<icalcomponent*> overrides;
};

class EventReader {
  public:
    explicit EventReader(const IcsReadOptions& options) : options_(options), clock_(options.zone) {}

    IcsEvent Read(const Source& source) const {
        icalcomponent* event = source.event;
        IcsEvent out;
        out.line = source.line;
        if (const char* uid = icalcomponent_get_uid(event)) out.uid = uid;
        if (const char* summary = icalcomponent_get_summary(event)) out.summary = summary;
        for (icalproperty* p : PropertiesOf(event, ICAL_CATEGORIES_PROPERTY)) {
            if (const char* c = icalproperty_get_categories(p)) out.categories.emplace_back(c);
        }
        const icaltimetype start = icalcomponent_get_dtstart(event);
        if (!UsableTime(start)) return out;  // NoDate
        const IcsDays days = DaysOf(start, icalcomponent_get_dtend(event), clock_);

        const std::vector<icalproperty*> rules = PropertiesOf(event, ICAL_RRULE_PROPERTY);
        std::optional<IcsRepeat> repeat;
        if (!rules.empty()) repeat = RepeatOf(icalproperty_get_rrule(rules.front()));
        const bool exceptions = rules.size() > 1 || !source.overrides.empty() ||
                                icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY) ||
                                icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY);
        out.rule = MapToRule(days, repeat, exceptions, options_.gregorian);
        if (out.rule) {
            out.fate = IcsEvent::Fate::Mapped;
            return out;
        }
        out.fate = IcsEvent::Fate::Expanded;
        out.occurrences = Expand(source, start, rules, days.last - days.first, &out.expansion_cut);
        return out;
    }

  private:
    bool InSpan(const IcsDays& d) const {
        return d.last >= options_.span.first && d.first <= options_.span.last;
    }

    std::vector<IcsDays> Expand(const Source& source, const icaltimetype& start,
                                const std::vector<icalproperty*>& rules, DayNumber length,
                                bool* cut) const {
        icalcomponent* event = source.event;
        // DTSTART is always an occurrence, whether or not the rule would give it.
        std::map<InstanceKey, icaltimetype> instances{{KeyOf(start), start}};
        for (icalproperty* p : rules) {
            const icalrecurrencetype rule = icalproperty_get_rrule(p);
            IteratorPtr it(icalrecur_iterator_new(rule, start));
            if (!it) continue;
            // A rule that began long before the span starts near it (libical cannot do so
            // while counting occurrences); a daily rule since year 1 is not walked through.
            const DayNumber near = options_.span.first - length - 2;
            if (rule.count == 0 && WrittenDay(start) < near) {
                icaltimetype jump = start;
                const calendar::CivilDate d = calendar::DateOfDayNumber(near, true);
                jump.year = d.year;
                jump.month = d.month;
                jump.day = d.day;
                if (!icalrecur_iterator_set_start(it.get(), jump))
                    it.reset(icalrecur_iterator_new(rule, start));
            }
            int steps = 0;
            for (icaltimetype t = icalrecur_iterator_next(it.get()); !icaltime_is_null_time(t);
                 t = icalrecur_iterator_next(it.get())) {
                if (++steps > kMaxExpansionSteps) {
                    *cut = true;
                    break;
                }
                t.zone = start.zone;
                if (!UsableTime(t) || clock_.DayOf(t) > options_.span.last) break;
                instances.emplace(KeyOf(t), t);
            }
        }
        for (icalproperty* p : PropertiesOf(event, ICAL_RDATE_PROPERTY)) {
            const icaltimetype t = TimeOf(p, event);
            if (UsableTime(t)) instances.emplace(KeyOf(t), t);
        }
        Exclusions excluded;
        for (icalproperty* p : PropertiesOf(event, ICAL_EXDATE_PROPERTY)) {
            const icaltimetype t = TimeOf(p, event);
            if (UsableTime(t)) excluded.Add(t);
        }
        std::vector<IcsDays> out;
        for (icalcomponent* moved : source.overrides) {
            excluded.Add(icalcomponent_get_recurrenceid(moved));
            const icaltimetype moved_start = icalcomponent_get_dtstart(moved);
            if (icalcomponent_get_status(moved) == ICAL_STATUS_CANCELLED ||
                !UsableTime(moved_start))
                continue;
            const IcsDays d = DaysOf(moved_start, icalcomponent_get_dtend(moved), clock_);
            if (InSpan(d)) out.push_back(d);
        }
        for (const auto& [key, t] : instances) {
            if (excluded.Excludes(t)) continue;
            const DayNumber first = clock_.DayOf(t);
            const IcsDays d{first, first + length};
            if (InSpan(d)) out.push_back(d);
        }
        // Several occurrences on one day (an hourly rule) are one day of the calendar.
        std::sort(out.begin(), out.end(), [](const IcsDays& a, const IcsDays& b) {
            return std::pair(a.first, a.last) < std::pair(b.first, b.last);
        });
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }

    const IcsReadOptions& options_;
    DayClock clock_;
};

[[noreturn]] void ThrowAt(const data::ErrorText& text, const std::string& file, int line) {
    throw data::Error(text, {}, data::ErrorPosition(file, line));
}

// The VEVENTs of every VCALENDAR under the root, in file order.
std::vector<icalcomponent*> EventsOf(icalcomponent* root) {
    std::vector<icalcomponent*> calendars;
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(root);
    } else {
        for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
             c != nullptr; c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT))
            calendars.push_back(c);
    }
    std::vector<icalcomponent*> events;
    for (icalcomponent* calendar : calendars) {
        for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
             e != nullptr; e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
            events.push_back(e);
    }
    return events;
}

// Groups the events: a VEVENT with RECURRENCE-ID joins the event of its UID when the file
// has one; otherwise it stands alone.
std::vector<Source> SourcesOf(const std::vector<icalcomponent*>& events,
                              const std::vector<int>& lines) {
    std::vector<Source> sources;
    std::unordered_map<std::string, std::size_t> master_of_uid;
    std::vector<std::pair<icalcomponent*, int>> moved;
    for (std::size_t i = 0; i < events.size(); ++i) {
        icalcomponent* e = events[i];
        const int line = lines[i];
        const char* uid = icalcomponent_get_uid(e);
        if (uid != nullptr && icalcomponent_get_first_property(e, ICAL_RECURRENCEID_PROPERTY)) {
            moved.emplace_back(e, line);
            continue;
        }
        if (uid != nullptr) master_of_uid.emplace(uid, sources.size());
        sources.push_back({e, line, {}});
    }
    for (const auto& [e, line] : moved) {
        const auto master = master_of_uid.find(icalcomponent_get_uid(e));
        if (master != master_of_uid.end()) {
            sources[master->second].overrides.push_back(e);
        } else {
            sources.push_back({e, line, {}});
        }
    }
    std::stable_sort(sources.begin(), sources.end(),
                     [](const Source& a, const Source& b) { return a.line < b.line; });
    return sources;
}

}  // namespace

bool IsICalendarText(std::string_view text, int* first_line) {
    bool found = false;
    int at = 1;
    ForEachLine(text, [&](std::string_view line, int number) {
        if (line.find_first_not_of(" \t") == std::string_view::npos) return true;
        at = number;
        found = EqualsIgnoringAsciiCase(line, "BEGIN:VCALENDAR");
        return false;
    });
    if (first_line) *first_line = at;
    return found;
}

namespace {

int FirstLineOf(std::string_view text) {
    int line = 1;
    IsICalendarText(text, &line);
    return line;
}

}  // namespace

void CheckICalendarText(std::string_view text, const std::string& file) {
    int first_line = 1;
    if (!IsICalendarText(text, &first_line))
        ThrowAt(data::CoreError("IcsNotICalendar"), file, first_line);
}

bool HasICalendarExtension(const std::filesystem::path& file) {
    return EqualsIgnoringAsciiCase(file.extension().string(), ".ics");
}

std::vector<IcsEvent> ReadIcsEvents(const std::string& text, const IcsReadOptions& options,
                                    const std::string& file) {
    CheckICalendarText(text, file);
    // Faults in single properties become X-LIC-ERROR properties, never an abort.
    icalerror_set_errors_are_fatal(0);
    const ComponentPtr root(icalparser_parse_string(text.c_str()));
    // libical gives nothing for a calendar that does not end, as in a cut-off file; the
    // events it could read may be incomplete too, so none is taken.
    if (!root) ThrowAt(data::CoreError("IcsIncomplete"), file, FirstLineOf(text));
    const std::vector<icalcomponent*> events = EventsOf(root.get());
    // libical passes over what it cannot make sense of, an event included: an event that
    // begins in the file but is not among those read means the file is damaged, and what
    // was read of it cannot be trusted either.
    const EventLines lines = EventLinesOf(text);
    const std::size_t begun = std::max(lines.begins.size(), lines.ends);
    if (lines.begins.size() != events.size() || lines.ends != events.size()) {
        throw data::Error(data::CoreError("IcsDamaged"),
                          {std::to_string(begun), std::to_string(events.size())},
                          data::ErrorPosition(file));
    }
    const EventReader reader(options);
    std::vector<IcsEvent> out;
    out.reserve(events.size());
    for (const Source& source : SourcesOf(events, lines.begins)) out.push_back(reader.Read(source));
    return out;
}

std::string IcalLibraryVersion() {
    return ICAL_VERSION;
}

}  // namespace yorbel::exchange
