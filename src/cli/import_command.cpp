#include <filesystem>
#include <iostream>

#include "cli/calendar_files.h"
#include "cli/calendar_lock.h"
#include "cli/commands.h"
#include "cli/exchange_args.h"
#include "cli/process_exit.h"
#include "data/events.h"
#include "exchange/delimited_text.h"

namespace yorbel::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "yorbel-cli import CALENDAR CSVFILE [--groups FILE]\n"
    "    Appends one event per line of the comma-separated file (name, type, repeat, from,\n"
    "    to, group) to the calendar, creating the calendar file when it is missing, and\n"
    "    saves it. Prints how many events were added. A line that cannot be read stops\n"
    "    the import with its line number, and the calendar file is left unchanged.\n"
    "    The calendar's lock is held while it is read and saved: a calendar that a window\n"
    "    of the desktop program holds for writing is refused; another yorbel-cli command\n"
    "    holding it is waited for up to 10 seconds.\n";

int RunImport(std::span<const std::string> words, std::ostream& out) {
    const auto args = ParseExchangeArgs(words, kUsage, out);
    if (!args) return 0;
    const fs::path& calendar_file = args->calendar_file;

    // The groups play no part in an import; a named group file is still checked.
    auto groups = args->groups_file ? OpenGroups(args->groups_file) : NoGroups();
    // Held from before the read until after the save, so that an import running at the
    // same time cannot save over this one, nor a desktop window edit the file meanwhile.
    const app::CalendarLock lock = LockCalendarForWriting(calendar_file, std::cerr);
    std::error_code ec;
    const bool exists = fs::exists(calendar_file, ec);
    auto calendar = OpenCalendarFile(*groups, exists ? calendar_file : fs::path());

    // On a failure nothing is saved: a partly imported file would be imported twice
    // once the bad line is mended and the command run again.
    const int added =
        exchange::ImportFile(calendar->CdsEvents(), args->csv_file, ",", data::kEventRuleColumns);
    if (added > 0) calendar->SetModified();
    if (calendar->Modified() || !exists) calendar->SaveCalendarAs(calendar_file);
    out << added << (added == 1 ? " event added\n" : " events added\n");
    // The lock is released on return; the tables, once saved, are left to the exit.
    KeepUntilExit(std::shared_ptr<data::EventTables>(calendar.release()));
    KeepUntilExit(std::shared_ptr<data::Groups>(groups.release()));
    return 0;
}

}  // namespace

Command ImportCommand() {
    return {"import", kUsage, RunImport};
}

}  // namespace yorbel::cli
