#include "cli/exchange_args.h"

#include <array>

#include "cli/args.h"

namespace yorbel::cli {

std::optional<ExchangeArgs> ParseExchangeArgs(std::span<const std::string> words,
                                              std::string_view usage, std::ostream& out) {
    constexpr std::array<OptionSpec, 1> kOptions{{{"groups", true}}};
    const Args args = Args::Parse(words, kOptions);
    if (args.help()) {
        out << usage;
        return std::nullopt;
    }
    if (args.positional().size() != 2) throw UsageError("expects CALENDAR and CSVFILE");
    ExchangeArgs parsed{args.positional()[0], args.positional()[1], args.value("groups")};
    if (parsed.calendar_file.empty()) throw UsageError("CALENDAR is empty");
    return parsed;
}

}  // namespace yorbel::cli
