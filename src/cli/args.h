// Command-line words to positional arguments and options, shared by every yorbel-cli
// command, and the typed readers for their values.
//
// An option takes its value as the next word or after "=" ("--lon -74.01" and
// "--lon=-74.01"); a word that looks like a negative number is a value, never an option.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/dates.h"

namespace yorbel::cli {

// Bad arguments: the command stops with the message and exit status 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Anything else that stops a command (unreadable file, ...): exit status 1.
class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::string_view name;  // without the leading "--"
    bool takes_value = false;
};

class Args {
  public:
    // Throws UsageError for an unknown option, a missing value, or a value given to a
    // flag. "--help" is always accepted.
    static Args Parse(std::span<const std::string> words, std::span<const OptionSpec> options);

    const std::vector<std::string>& positional() const { return positional_; }
    bool help() const { return help_; }
    bool flag(std::string_view name) const;
    // The option's value (the last one when it was given more than once).
    std::optional<std::string> value(std::string_view name) const;

  private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string, std::less<>> values_;
    bool help_ = false;
};

// The weekday words of the options, Sunday first, as the Sunday-based weekday numbers.
inline constexpr std::array<std::string_view, 7> kWeekdayKeys{"sun", "mon", "tue", "wed",
                                                              "thu", "fri", "sat"};

// True for words such as "-74.01", "-5" or "-.5": values, not options.
bool IsNegativeNumber(std::string_view word);

// Typed readers; each throws UsageError naming the option (or argument) and the text.
double ReadNumber(std::string_view what, std::string_view text, double low, double high);
int ReadInteger(std::string_view what, std::string_view text, int low, int high);
// One of `choices`; returns its index.
int ReadChoice(std::string_view what, std::string_view text,
               std::span<const std::string_view> choices);
// "YYYY-MM-DD" that exists in the chosen system, year 1–9999.
calendar::CivilDate ReadDate(std::string_view what, std::string_view text, bool gregorian);

}  // namespace yorbel::cli
