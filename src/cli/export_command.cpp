#include "cli/calendar_files.h"
#include "cli/commands.h"
#include "cli/exchange_args.h"
#include "exchange/delimited_text.h"

namespace yorbel::cli {

namespace {

constexpr std::string_view kUsage =
    "yorbel-cli export CALENDAR CSVFILE [--groups FILE]\n"
    "    Writes the events of shown groups, one comma-separated line each (name, type,\n"
    "    repeat, from, to, group), in UTF-8. Prints how many events were written.\n";

int RunExport(std::span<const std::string> words, std::ostream& out) {
    const auto args = ParseExchangeArgs(words, kUsage, out);
    if (!args) return 0;

    const auto groups = OpenGroups(args->groups_file);
    const auto calendar = OpenCalendarFile(*groups, args->calendar_file);
    const int written =
        exchange::ExportTable(calendar->CdsEvents(), args->csv_file, ",", "Ev_gp_no",
                              [&](std::int32_t g) { return groups->IsGroupShown(g); });
    out << written << (written == 1 ? " event written\n" : " events written\n");
    return 0;
}

}  // namespace

Command ExportCommand() {
    return {"export", kUsage, RunExport};
}

}  // namespace yorbel::cli
