// The arguments shared by the commands that move events between a calendar file and a
// comma-separated file: CALENDAR CSVFILE [--groups FILE].
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace yorbel::cli {

struct ExchangeArgs {
    std::filesystem::path calendar_file;
    std::filesystem::path csv_file;
    std::optional<std::string> groups_file;
};

// Empty when --help was given; `usage` has then been written to `out`. Throws
// UsageError for a wrong number of arguments or an empty CALENDAR.
std::optional<ExchangeArgs> ParseExchangeArgs(std::span<const std::string> words,
                                              std::string_view usage, std::ostream& out);

}  // namespace yorbel::cli
