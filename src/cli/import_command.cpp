#include <array>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <limits>

#include "calendar/time_zone.h"
#include "cli/args.h"
#include "cli/calendar_files.h"
#include "cli/calendar_lock.h"
#include "cli/commands.h"
#include "cli/exchange_args.h"
#include "cli/process_exit.h"
#include "data/events.h"
#include "data/index_names.h"
#include "exchange/delimited_text.h"
#include "exchange/ical_import.h"

namespace yorbel::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "yorbel-cli import CALENDAR FILE [--groups FILE] [--group N] [--expand-from Y]\n"
    "                  [--expand-to Y] [--julian] [--tz NAME]\n"
    "    Appends the events of FILE to the calendar and saves it. FILE is an iCalendar\n"
    "    file when its first line is BEGIN:VCALENDAR, whatever its name; otherwise it is\n"
    "    comma-separated text, one event per line (name, type, repeat, from, to, group).\n"
    "    Prints how many events were added.\n"
    "  Comma-separated text: the calendar file is created when it is missing. A line that\n"
    "    cannot be read stops the import with its line number, and the calendar file is\n"
    "    left unchanged.\n"
    "  iCalendar: each event becomes the rule of Yorbel that says the same (a date, a\n"
    "    period, a yearly date, the n-th or last weekday of a month); any other event is\n"
    "    expanded into single days over the years --expand-from to --expand-to (default:\n"
    "    this year and the next two). An event whose category names a group goes into\n"
    "    that group, any other into group N (default: the lowest group number of the\n"
    "    group file). Timed events fall on their day in the zone --tz (default: the zone\n"
    "    of the desktop program's settings). --julian: the calendar counts Julian dates.\n"
    "    A line of the report names each event that was expanded, shortened or not\n"
    "    imported; the exit status is 1 when an event could not be imported. A calendar\n"
    "    that gets no event is left as it was (and not created).\n"
    "    The calendar's lock is held while it is read and saved: a calendar that a window\n"
    "    of the desktop program holds for writing is refused; another yorbel-cli command\n"
    "    holding it is waited for up to 10 seconds.\n";

constexpr std::array<OptionSpec, 5> kIcsOptions{
    {{"group", true}, {"expand-from", true}, {"expand-to", true}, {"julian", false}, {"tz", true}}};

// The years an iCalendar import expands over by default: this one and the next two.
constexpr int kDefaultExpandYears = 3;

int CurrentYear() {
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    return static_cast<int>(std::chrono::year_month_day(today).year());
}

// The settings' zone, as the desktop program counts days in it.
exchange::CalendarZone StoredZone() {
    exchange::CalendarZone zone;
    zone.name = StoredSetting("ZoneName").value_or("Europe/Berlin");
    zone.hours = 1;
    if (const auto hours = StoredSetting("Zone")) {
        try {
            zone.hours = std::stod(*hours);
        } catch (const std::exception&) {
            // An unreadable value keeps the default, as the desktop program does.
        }
    }
    return zone;
}

exchange::IcsImportOptions IcsOptions(const Args& args, const data::Groups& groups) {
    exchange::IcsImportOptions o;
    o.gregorian = !args.flag("julian");
    o.zone = StoredZone();
    if (const auto tz = args.value("tz")) {
        if (!calendar::NamedZone::Find(*tz))
            throw UsageError("--tz: no time zone \"" + *tz +
                             "\" in the system's time-zone database");
        o.zone.name = *tz;
    }
    o.expand_from = CurrentYear();
    if (const auto v = args.value("expand-from"))
        o.expand_from = ReadInteger("--expand-from", *v, calendar::kMinYear, calendar::kMaxYear);
    o.expand_to = o.expand_from + kDefaultExpandYears - 1;
    if (const auto v = args.value("expand-to"))
        o.expand_to = ReadInteger("--expand-to", *v, calendar::kMinYear, calendar::kMaxYear);
    o.expand_to = std::min(o.expand_to, calendar::kMaxYear);
    if (o.expand_to < o.expand_from) throw UsageError("--expand-to lies before --expand-from");

    const data::Table& table = groups.CdsGroups();
    if (const auto v = args.value("group")) {
        const int group = ReadInteger("--group", *v, 1, std::numeric_limits<std::int32_t>::max());
        if (groups.GroupName(group).empty())  // every group has a name
            throw UsageError("--group: the group file has no group " + *v);
        o.group = group;
    } else {
        // The group the desktop program's import dialog proposes: the lowest number.
        for (const data::Table::RowId row : table.RowsInOrderOf(data::kIxGpNo)) {
            const data::Value no = table.ValueOf(row, data::Gp_no);
            if (const auto* number = std::get_if<std::int32_t>(&no)) {
                o.group = *number;
                break;
            }
        }
    }
    return o;
}

// Refuses iCalendar options for a comma-separated file, whose lines carry their group.
void CheckNoIcsOptions(const Args& args) {
    for (const OptionSpec& option : kIcsOptions) {
        if (option.takes_value ? args.value(option.name).has_value() : args.flag(option.name))
            throw UsageError("--" + std::string(option.name) + " applies to iCalendar files only");
    }
}

int RunImport(std::span<const std::string> words, std::ostream& out) {
    const auto args = ParseExchangeArgs(words, kUsage, out, kIcsOptions);
    if (!args) return 0;
    const fs::path& calendar_file = args->calendar_file;
    const fs::path& source = args->csv_file;

    // Held from before the read until after the save, so that an import running at the
    // same time cannot save over this one, nor a desktop window edit the file meanwhile.
    const app::CalendarLock lock = LockCalendarForWriting(calendar_file, std::cerr);
    const auto [text, ics] = exchange::ReadImportFile(source);
    if (!ics) CheckNoIcsOptions(args->options);

    // Categories pick groups in an iCalendar file; otherwise the groups play no part,
    // though a named group file is still checked.
    auto groups = ics || args->groups_file ? OpenGroups(args->groups_file) : NoGroups();
    std::error_code ec;
    const bool exists = fs::exists(calendar_file, ec);
    auto calendar = OpenCalendarFile(*groups, exists ? calendar_file : fs::path());

    int added = 0;
    int status = 0;
    if (ics) {
        const exchange::IcsImportReport report =
            exchange::ImportICalendarText(calendar->CdsEvents(), groups->CdsGroups(), text,
                                          IcsOptions(args->options, *groups), source.string());
        for (const data::Error& note : report.notes) out << note.what() << '\n';
        out << report.Summary().what() << '\n';
        added = report.added;
        status = report.skipped > 0 ? 1 : 0;
    } else {
        // On a failure nothing is saved: a partly imported file would be imported twice
        // once the bad line is mended and the command run again.
        added = exchange::ImportText(calendar->CdsEvents(), text, ",", data::kEventRuleColumns,
                                     source.string());
    }
    if (added > 0) calendar->SetModified();
    // A new calendar is created for delimited text even when empty, as always; an
    // iCalendar file that gave nothing leaves no trace.
    if (calendar->Modified() || (!exists && !ics)) calendar->SaveCalendarAs(calendar_file);
    out << added << (added == 1 ? " event added\n" : " events added\n");
    // The lock is released on return; the tables, once saved, are left to the exit.
    KeepUntilExit(std::shared_ptr<data::EventTables>(calendar.release()));
    KeepUntilExit(std::shared_ptr<data::Groups>(groups.release()));
    return status;
}

}  // namespace

Command ImportCommand() {
    return {"import", kUsage, RunImport};
}

}  // namespace yorbel::cli
