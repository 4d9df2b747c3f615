// The arguments shared by the commands that move events between a calendar file and a
// comma-separated (or, for import, iCalendar) file: CALENDAR FILE [--groups FILE].
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "cli/args.h"

namespace yorbel::cli {

struct ExchangeArgs {
    std::filesystem::path calendar_file;
    std::filesystem::path csv_file;
    std::optional<std::string> groups_file;
    Args options;  // all options, for the ones a command adds
};

// Empty when --help was given; `usage` has then been written to `out`. Throws
// UsageError for a wrong number of arguments or an empty CALENDAR. `more_options` are
// accepted besides --groups.
std::optional<ExchangeArgs> ParseExchangeArgs(std::span<const std::string> words,
                                              std::string_view usage, std::ostream& out,
                                              std::span<const OptionSpec> more_options = {});

}  // namespace yorbel::cli
