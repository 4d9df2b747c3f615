#include <array>
#include <cstdio>

#include "calendar/dayfacts.h"
#include "calendar/time_zone.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/day_events.h"
#include "cli/output.h"

namespace yorbel::cli {

namespace {

using calendar::DayFacts;

constexpr std::string_view kUsage =
    "yorbel-cli day FROM [TO] [--julian] [--week-start sun|mon|tue|wed|thu|fri|sat]\n"
    "               [--week-rule 1|2|3] [--lat DEG] [--lon DEG] [--zone HOURS | --tz NAME]\n"
    "               [--calendar FILE] [--groups FILE] [--format text|json|csv]\n"
    "    Everything known about each day from FROM to TO inclusive (YYYY-MM-DD, digits of\n"
    "    the chosen calendar). Defaults: Gregorian, week start mon, week rule 2,\n"
    "    Frankfurt/Main (--lat 50.1122 --lon 8.6819), zone +1. --lat is north positive,\n"
    "    --lon east positive. --zone gives fixed hours (-14 to 14) added to universal time;\n"
    "    --tz a zone of the system's time-zone database (\"Europe/Berlin\"), whose clocks\n"
    "    follow summer time. Times are local clock times; a body that does not rise or\n"
    "    set within the local day (in the zone) shows none (null in JSON, empty in CSV).\n"
    "    With --tz, JSON adds \"zone\": {name, hours, summer_time}, as at the day's noon.\n"
    "    Events are the day's occurrences of shown groups in the calendar file (in CSV\n"
    "    joined by \"; \").\n";

constexpr std::array<OptionSpec, 10> kOptions{{
    {"julian", false},
    {"week-start", true},
    {"week-rule", true},
    {"lat", true},
    {"lon", true},
    {"zone", true},
    {"tz", true},
    {"calendar", true},
    {"groups", true},
    {"format", true},
}};

constexpr double kDefaultLatitude = 50.1122;
constexpr double kDefaultLongitudeEast = 8.6819;
constexpr double kDefaultZone = 1;
// No civil time is further from universal time (UTC+14 in the Line Islands); anything
// beyond is a typing slip and would put the sun's times on the wrong day.
constexpr double kMaxZoneHours = 14;

struct DayOptions {
    calendar::Reckoning reckoning;
    calendar::Place place;
    Format format = Format::Text;
    EventSource events;
};

DayOptions ReadOptions(const Args& args) {
    DayOptions o;
    o.reckoning.gregorian = !args.flag("julian");
    if (auto v = args.value("week-start")) {
        o.reckoning.week_start =
            calendar::WeekdayFromNumber(ReadChoice("--week-start", *v, kWeekdayKeys));
    }
    if (auto v = args.value("week-rule"))
        o.reckoning.week_one_rule =
            static_cast<calendar::WeekRule>(ReadInteger("--week-rule", *v, 1, 3));
    o.place.latitude = kDefaultLatitude;
    o.place.longitude_west = -kDefaultLongitudeEast;
    o.place.zone_hours = kDefaultZone;
    if (auto v = args.value("lat")) o.place.latitude = ReadNumber("--lat", *v, -90, 90);
    if (auto v = args.value("lon")) o.place.longitude_west = -ReadNumber("--lon", *v, -180, 180);
    if (auto v = args.value("zone"))
        o.place.zone_hours = ReadNumber("--zone", *v, -kMaxZoneHours, kMaxZoneHours);
    if (auto v = args.value("tz")) {
        if (args.value("zone")) throw UsageError("--zone and --tz exclude each other");
        if (!calendar::NamedZone::Find(*v)) {
            std::string message = "--tz: no time zone \"";
            Append(message, *v, "\" in the system's time-zone database");
            throw UsageError(message);
        }
        o.place.zone_name = *v;
    }
    if (auto v = args.value("format")) o.format = ReadFormat(*v);
    o.events.calendar_file = args.value("calendar");
    o.events.groups_file = args.value("groups");
    o.events.gregorian = o.reckoning.gregorian;
    return o;
}

std::string Clock(const std::optional<calendar::ClockHm>& t, std::string_view none) {
    if (!t) return std::string(none);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d", t->hour, t->minute);
    return buffer;
}

std::string PhaseTime(const calendar::LocalMinute& m, char separator) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%c%02d:%02d", separator, m.hour, m.minute);
    return IsoDate(m.date) + buffer;
}

std::string Number(double value, const char* format) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string JsonClock(const std::optional<calendar::ClockHm>& t) {
    std::string s = "null";
    if (t) {
        s = "\"";
        Append(s, Clock(t, ""), "\"");
    }
    return s;
}

std::string_view PhaseKind(const DayFacts& f) {
    return f.next_phase_new ? "new" : "full";
}

// "UT+1" or "Europe/Berlin, summer time (UT+2)".
std::string ZoneText(const DayFacts& f, const calendar::Place& place) {
    if (f.clock_rule != calendar::ClockRule::kNamedZone)
        return calendar::UtOffsetText(f.clock_zone_hours);
    std::string s = place.zone_name;
    Append(s, f.summer_time ? ", summer time (" : ", standard time (",
           calendar::UtOffsetText(f.clock_zone_hours), ")");
    return s;
}

std::string AsJson(const DayFacts& f, const calendar::Place& place,
                   const std::vector<std::string>& events) {
    std::string s = "{\"date\":\"";
    Append(s, IsoDate(f.date), "\",\"weekday\":", NumberOf(f.weekday),
           ",\"day_of_year\":", f.day_of_year, ",\"days_left\":", f.days_left, ",\"week\":", f.week,
           ",\"weeks_left\":", f.weeks_left, ",\"day_number\":", f.day_number);
    Append(s, ",\"jewish\":{\"year\":", f.jewish.year, ",\"month\":", f.jewish.month,
           ",\"day\":", f.jewish.day, ",\"month_name\":", JsonString(f.jewish_month_name), "}");
    Append(s, ",\"sunrise\":", JsonClock(f.sunrise), ",\"sunset\":", JsonClock(f.sunset),
           ",\"moonrise\":", JsonClock(f.moonrise), ",\"moonset\":", JsonClock(f.moonset));
    Append(s, ",\"moon_age\":", Number(f.moon_age, "%.3f"), ",\"next_phase\":{\"kind\":\"",
           PhaseKind(f), "\",\"time\":\"", PhaseTime(f.next_phase, 'T'), "\"}");
    // Only with --tz, so that the records of a fixed zone stay as they always were.
    if (!place.zone_name.empty()) {
        Append(s, ",\"zone\":{\"name\":", JsonString(place.zone_name),
               ",\"hours\":", Number(f.clock_zone_hours, "%g"),
               ",\"summer_time\":", f.summer_time ? "true" : "false", "}");
    }
    s += ",\"events\":[";
    for (std::size_t i = 0; i < events.size(); ++i) Append(s, i ? "," : "", JsonString(events[i]));
    s += "]}\n";
    return s;
}

constexpr std::string_view kCsvHeader =
    "date,weekday,day_of_year,days_left,week,weeks_left,day_number,jewish_year,jewish_month,jewish_"
    "day,"
    "jewish_month_name,sunrise,sunset,moonrise,moonset,moon_age,next_phase_kind,next_phase_time,"
    "events\n";

std::string AsCsv(const DayFacts& f, const std::vector<std::string>& events) {
    std::string joined;
    for (const std::string& e : events) Append(joined, joined.empty() ? "" : "; ", e);
    std::string s = IsoDate(f.date);
    for (int v : {NumberOf(f.weekday), f.day_of_year, f.days_left, f.week, f.weeks_left,
                  f.day_number, f.jewish.year, f.jewish.month, f.jewish.day}) {
        Append(s, ",", v);
    }
    Append(s, ",", CsvField(f.jewish_month_name));
    for (const auto& t : {f.sunrise, f.sunset, f.moonrise, f.moonset}) Append(s, ",", Clock(t, ""));
    Append(s, ",", Number(f.moon_age, "%.3f"), ",", PhaseKind(f), ",", PhaseTime(f.next_phase, 'T'),
           ",", CsvField(joined), "\n");
    return s;
}

std::string AsText(const DayFacts& f, const calendar::Place& place,
                   const std::vector<std::string>& events) {
    std::string s(kWeekdayNames[static_cast<std::size_t>(NumberOf(f.weekday))]);
    Append(s, " ", IsoDate(f.date), "\n");
    Append(s, "  day ", f.day_of_year, " (", f.days_left, " left), week ", f.week, " (",
           f.weeks_left, " left), day number ", f.day_number, "\n");
    Append(s, "  Jewish date ", f.jewish.day, " ", f.jewish_month_name, " ", f.jewish.year, "\n");
    Append(s, "  sun  ", Clock(f.sunrise, "none"), " - ", Clock(f.sunset, "none"), "\n");
    Append(s, "  moon ", Clock(f.moonrise, "none"), " - ", Clock(f.moonset, "none"), ", age ",
           Number(f.moon_age, "%.1f"), " degrees\n");
    Append(s, "  next ", PhaseKind(f), " moon ", PhaseTime(f.next_phase, ' '), "\n");
    Append(s, "  clock ", ZoneText(f, place), "\n");
    if (events.empty()) s += "  no events\n";
    for (const std::string& e : events) Append(s, "  * ", e, "\n");
    return s;
}

int RunDay(std::span<const std::string> words, std::ostream& out) {
    const Args args = Args::Parse(words, kOptions);
    if (args.help()) {
        out << kUsage;
        return 0;
    }
    const DayOptions o = ReadOptions(args);
    const auto& dates = args.positional();
    if (dates.empty() || dates.size() > 2) throw UsageError("expects FROM and an optional TO date");
    const bool g = o.reckoning.gregorian;
    const calendar::DayNumber from = calendar::DayNumberOf(ReadDate("FROM", dates[0], g), g);
    const calendar::DayNumber to =
        dates.size() == 2 ? calendar::DayNumberOf(ReadDate("TO", dates[1], g), g) : from;
    if (to < from) {
        std::string message = "TO ";
        Append(message, dates[1], " lies before FROM ", dates[0]);
        throw UsageError(message);
    }

    const EventNames events_on = OpenEventNames(o.events);
    if (o.format == Format::Csv) out << kCsvHeader;
    for (calendar::DayNumber n = from; n <= to; ++n) {
        const calendar::CivilDate date = calendar::DateOfDayNumber(n, g);
        const DayFacts facts = calendar::DayFactsOf(date, o.reckoning, o.place);
        const std::vector<std::string> events = events_on(date);
        switch (o.format) {
            case Format::Json:
                out << AsJson(facts, o.place, events);
                break;
            case Format::Csv:
                out << AsCsv(facts, events);
                break;
            case Format::Text:
                out << (n == from ? "" : "\n") << AsText(facts, o.place, events);
                break;
        }
    }
    return 0;
}

}  // namespace

Command DayCommand() {
    return {"day", kUsage, RunDay};
}

}  // namespace yorbel::cli
