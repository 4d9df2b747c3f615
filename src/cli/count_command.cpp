#include <array>
#include <cctype>
#include <iostream>
#include <limits>
#include <memory>

#include "cli/args.h"
#include "cli/calendar_files.h"
#include "cli/calendar_source.h"
#include "cli/commands.h"
#include "cli/error_text.h"
#include "cli/output.h"
#include "data/day_count.h"

namespace yorbel::cli {

namespace {

constexpr std::string_view kUsageHead =
    "yorbel-cli count FROM TO [--calendar FILE] [--skip-weekday LIST] [--skip-group LIST]\n"
    "                 [--mode or|and|and-not] [--julian] [--groups FILE] [--format text|json]\n"
    "    The day calculator: the days from FROM to TO, both included (YYYY-MM-DD, digits of\n"
    "    the chosen calendar), the days of counted weekdays among them, the distinct dates\n"
    "    on which events of counted groups of the calendar file fall (every rule kind, as\n"
    "    the year view shows them), and the two combined:\n"
    "      or       days with a counted weekday or a counted event (the default)\n"
    "      and      days with a counted weekday and a counted event\n"
    "      and-not  days with a counted weekday and no counted event\n"
    "    --skip-weekday: weekdays not counted, comma-separated names or numbers (sat,sun or\n"
    "    6,0; 0 = Sunday). --skip-group: comma-separated group numbers whose events are not\n"
    "    counted; events of every other group, and events without a group, count.\n"
    "    JSON keys: from, to, total, weekdays, event_days (7 numbers, Sunday first),\n"
    "    combined. Events whose rule is malformed are left out and named on stderr.\n";

constexpr std::array<OptionSpec, 7> kOptions{{
    {"calendar", true},
    {"skip-weekday", true},
    {"skip-group", true},
    {"mode", true},
    {"julian", false},
    {"groups", true},
    {"format", true},
}};

constexpr std::array<std::string_view, 3> kModeNames{"or", "and", "and-not"};
constexpr std::array<data::CountMode, 3> kModes{data::CountMode::Or, data::CountMode::And,
                                                data::CountMode::AndNot};
constexpr std::array<std::string_view, 3> kModeWords{
    "Days with a counted weekday or a counted event",
    "Days with a counted weekday and a counted event",
    "Days with a counted weekday and no counted event",
};

// The items of a comma-separated list; an empty list has none, an empty item is refused.
std::vector<std::string> ListItems(std::string_view what, std::string_view list) {
    std::vector<std::string> items;
    if (list.empty()) return items;
    for (std::size_t start = 0;;) {
        const std::size_t comma = list.find(',', start);
        const std::string_view item = list.substr(start, comma - start);
        if (item.empty()) throw UsageError(Concat(what, ": '", list, "' has an empty item"));
        items.emplace_back(item);
        if (comma == std::string_view::npos) return items;
        start = comma + 1;
    }
}

std::array<bool, 7> ReadWeekdays(std::string_view list) {
    std::array<bool, 7> skipped{};
    for (std::string item : ListItems("--skip-weekday", list)) {
        for (char& c : item) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const bool number = std::isdigit(static_cast<unsigned char>(item[0])) != 0;
        const int weekday = number ? ReadInteger("--skip-weekday", item, 0, 6)
                                   : ReadChoice("--skip-weekday", item, kWeekdayKeys);
        skipped[static_cast<std::size_t>(weekday)] = true;
    }
    return skipped;
}

std::vector<std::int32_t> ReadGroups(std::string_view list) {
    std::vector<std::int32_t> groups;
    for (const std::string& item : ListItems("--skip-group", list))
        groups.push_back(ReadInteger("--skip-group", item, 1, std::numeric_limits<int>::max()));
    return groups;
}

std::string AsJson(const data::DayCountRequest& r, const data::DayCount& c) {
    std::string s = "{\"from\":\"";
    Append(s, IsoDate(r.from), "\",\"to\":\"", IsoDate(r.to), "\",\"total\":", c.total,
           ",\"weekdays\":", c.weekdays, ",\"event_days\":[");
    for (std::size_t d = 0; d < 7; ++d) Append(s, d ? "," : "", c.event_days[d]);
    Append(s, "],\"combined\":", c.combined, "}\n");
    return s;
}

std::string AsText(const data::DayCountRequest& r, const data::DayCount& c, std::size_t mode) {
    std::string s = "Days from ";
    Append(s, IsoDate(r.from), " to ", IsoDate(r.to), ": ", c.total, "\n");
    Append(s, "Days on counted weekdays: ", c.weekdays, "\n");
    for (std::size_t d = 0; d < 7; ++d)
        Append(s, "Event days on ", kWeekdayNames[d], ": ", c.event_days[d], "\n");
    Append(s, kModeWords[mode], ": ", c.combined, "\n");
    return s;
}

int RunCount(std::span<const std::string> words, std::ostream& out) {
    const Args args = Args::Parse(words, kOptions);
    if (args.help()) {
        out << kUsageHead << kGroupFileHelp;
        return 0;
    }
    const auto& dates = args.positional();
    if (dates.size() != 2) throw UsageError("expects the dates FROM and TO");
    data::DayCountRequest request;
    request.gregorian = !args.flag("julian");
    request.from = ReadDate("FROM", dates[0], request.gregorian);
    request.to = ReadDate("TO", dates[1], request.gregorian);
    if (calendar::DayNumberOf(request.to, request.gregorian) <
        calendar::DayNumberOf(request.from, request.gregorian))
        throw UsageError(Concat("TO ", dates[1], " lies before FROM ", dates[0]));
    if (auto v = args.value("skip-weekday")) request.skipped_weekdays = ReadWeekdays(*v);
    if (auto v = args.value("skip-group")) request.skipped_groups = ReadGroups(*v);
    std::size_t mode = 0;
    if (auto v = args.value("mode"))
        mode = static_cast<std::size_t>(ReadChoice("--mode", *v, kModeNames));
    request.mode = kModes[mode];
    constexpr std::array<std::string_view, 2> kFormats{"text", "json"};
    const bool json =
        args.value("format") && ReadChoice("--format", *args.value("format"), kFormats) == 1;

    // Without a calendar there are no events; the groups are read only to load one.
    std::unique_ptr<data::Groups> groups;
    std::unique_ptr<data::EventTables> calendar;
    if (const auto file = args.value("calendar")) {
        // An empty name would open a new, empty calendar and count no events.
        if (file->empty()) throw UsageError("--calendar: the file name is empty");
        groups = OpenGroups(args.value("groups"));
        calendar = OpenCalendarFile(*groups, *file);
    } else {
        groups = NoGroups();
        calendar = std::make_unique<data::EventTables>(groups->CdsGroups());
    }
    const auto count = data::CountDays(calendar->CdsEvents(), request);
    if (!count.ok()) throw UsageError(ErrorText(count.fault()));
    for (const data::SkippedEvent& s : count.value().skipped) WarnSkipped(std::cerr, s);
    out << (json ? AsJson(request, count.value()) : AsText(request, count.value(), mode));
    return 0;
}

}  // namespace

Command CountCommand() {
    static const std::string usage = Concat(kUsageHead, kGroupFileHelp);
    return {"count", usage, RunCount};
}

}  // namespace yorbel::cli
