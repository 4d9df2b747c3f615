#include "cli/exchange_args.h"

#include <vector>

namespace yorbel::cli {

std::optional<ExchangeArgs> ParseExchangeArgs(std::span<const std::string> words,
                                              std::string_view usage, std::ostream& out,
                                              std::span<const OptionSpec> more_options) {
    std::vector<OptionSpec> options{{"groups", true}};
    options.insert(options.end(), more_options.begin(), more_options.end());
    Args args = Args::Parse(words, options);
    if (args.help()) {
        out << usage;
        return std::nullopt;
    }
    if (args.positional().size() != 2) throw UsageError("expects CALENDAR and CSVFILE");
    ExchangeArgs parsed{args.positional()[0], args.positional()[1], args.value("groups"),
                        std::move(args)};
    if (parsed.calendar_file.empty()) throw UsageError("CALENDAR is empty");
    return parsed;
}

}  // namespace yorbel::cli
