#include <array>
#include <filesystem>

#include "cli/args.h"
#include "cli/calendar_files.h"
#include "cli/commands.h"
#include "exchange/delimited_text.h"

namespace yorbel::cli {

namespace {

constexpr std::string_view kUsage =
    "yorbel-cli export CALENDAR CSVFILE [--groups FILE]\n"
    "    Writes the events of shown groups, one comma-separated line each (name, type,\n"
    "    repeat, from, to, group), in UTF-8. Prints how many events were written.\n";

int RunExport(std::span<const std::string> words, std::ostream& out) {
    constexpr std::array<OptionSpec, 1> kOptions{{{"groups", true}}};
    const Args args = Args::Parse(words, kOptions);
    if (args.help()) {
        out << kUsage;
        return 0;
    }
    if (args.positional().size() != 2) throw UsageError("expects CALENDAR and CSVFILE");
    const std::filesystem::path calendar_file = args.positional()[0];
    if (calendar_file.empty()) throw UsageError("CALENDAR is empty");

    const auto groups = OpenGroups(args.value("groups"));
    const auto calendar = OpenCalendarFile(*groups, calendar_file);
    const int written =
        exchange::ExportTable(calendar->CdsEvents(), args.positional()[1], ",", "Ev_gp_no",
                              [&](std::int32_t g) { return groups->IsGroupShown(g); });
    out << written << (written == 1 ? " event written\n" : " events written\n");
    return 0;
}

}  // namespace

Command ExportCommand() {
    return {"export", kUsage, RunExport};
}

}  // namespace yorbel::cli
