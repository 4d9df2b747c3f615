#include <array>

#include "calendar/dates.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/output.h"

namespace yorbel::cli {

namespace {

constexpr std::string_view kUsage =
    "yorbel-cli easter YEAR [--julian]\n"
    "    Easter Sunday of YEAR (1-9999) as YYYY-MM-DD; with --julian a Julian-calendar date.\n";

int RunEaster(std::span<const std::string> words, std::ostream& out) {
    constexpr std::array<OptionSpec, 1> kOptions{{{"julian", false}}};
    const Args args = Args::Parse(words, kOptions);
    if (args.help()) {
        out << kUsage;
        return 0;
    }
    if (args.positional().size() != 1) throw UsageError("expects exactly one YEAR");
    const int year =
        ReadInteger("YEAR", args.positional()[0], calendar::kMinYear, calendar::kMaxYear);
    out << IsoDate(calendar::EasterSunday(year, !args.flag("julian"))) << '\n';
    return 0;
}

}  // namespace

Command EasterCommand() {
    return {"easter", kUsage, RunEaster};
}

}  // namespace yorbel::cli
