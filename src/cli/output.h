// Output formats shared by the yorbel-cli commands: the --format choice, JSON strings and
// CSV fields.
#pragma once

#include <array>
#include <charconv>
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
// The same, appended to `out` (for long listings).
void AppendCsvField(std::string& out, std::string_view text);

// Appends each piece to `s`; whole numbers in decimal.
inline void Put(std::string& s, std::string_view piece) {
    s += piece;
}
inline void Put(std::string& s, int number) {
    char digits[16];
    s.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}
template <class... Pieces>
void Append(std::string& s, const Pieces&... pieces) {
    (Put(s, pieces), ...);
}

template <class... Pieces>
std::string Concat(const Pieces&... pieces) {
    std::string s;
    Append(s, pieces...);
    return s;
}

// Weekday names of the text output, Sunday first.
inline constexpr std::array<std::string_view, 7> kWeekdayNames{
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// "YYYY-MM-DD".
std::string IsoDate(const calendar::CivilDate& date);

}  // namespace yorbel::cli
