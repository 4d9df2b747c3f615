// Output formats shared by the yorbel-cli commands: the --format choice, JSON strings and
// CSV fields.
#pragma once

#include <string>
#include <string_view>

#include "calendar/dates.h"

namespace yorbel::cli {

enum class Format { Text, Json, Csv };

// The value of --format ("text", "json" or "csv"); throws UsageError otherwise.
Format ReadFormat(std::string_view text);

// A JSON string literal with quotes; control characters, quotes and backslashes escaped.
std::string JsonString(std::string_view text);

// A CSV field, quoted (with doubled quotes) when it holds a comma, quote or line break.
std::string CsvField(std::string_view text);

// "YYYY-MM-DD".
std::string IsoDate(const calendar::CivilDate& date);

}  // namespace yorbel::cli
