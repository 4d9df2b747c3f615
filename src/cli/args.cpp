#include "cli/args.h"

#include <charconv>
#include <cmath>

#include "cli/output.h"

namespace yorbel::cli {

namespace {

std::string Quoted(std::string_view text) {
    std::string s = "'";
    Append(s, text, "'");
    return s;
}

const OptionSpec* Find(std::span<const OptionSpec> options, std::string_view name) {
    for (const OptionSpec& o : options) {
        if (o.name == name) return &o;
    }
    return nullptr;
}

// from_chars takes no leading "+", people do ("--zone +1").
std::string_view WithoutPlus(std::string_view text) {
    return text.size() > 1 && text.front() == '+' && text[1] != '-' ? text.substr(1) : text;
}

std::string Shortest(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

bool IsNegativeNumber(std::string_view word) {
    if (word.size() < 2 || word.front() != '-') return false;
    double value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size();
}

Args Args::Parse(std::span<const std::string> words, std::span<const OptionSpec> options) {
    Args args;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            args.help_ = true;
            continue;
        }
        if (word.size() < 2 || word.front() != '-' || IsNegativeNumber(word)) {
            args.positional_.push_back(word);
            continue;
        }
        if (word.rfind("--", 0) != 0) throw UsageError(Concat("unknown option ", Quoted(word)));

        const std::size_t eq = word.find('=');
        const std::string name =
            word.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        const OptionSpec* option = Find(options, name);
        if (option == nullptr) throw UsageError(Concat("unknown option '--", name, "'"));
        if (!option->takes_value) {
            if (eq != std::string::npos)
                throw UsageError(Concat("option --", name, " takes no value"));
            args.values_[name] = "";
            continue;
        }
        if (eq != std::string::npos) {
            args.values_[name] = word.substr(eq + 1);
            continue;
        }
        // The next word is the value unless it is itself an option.
        if (i + 1 >= words.size() ||
            (words[i + 1].rfind("--", 0) == 0 && words[i + 1].size() > 2)) {
            throw UsageError(Concat("option --", name, " needs a value"));
        }
        args.values_[name] = words[++i];
    }
    return args;
}

bool Args::flag(std::string_view name) const {
    return values_.find(name) != values_.end();
}

std::optional<std::string> Args::value(std::string_view name) const {
    const auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

double ReadNumber(std::string_view what, std::string_view text, double low, double high) {
    const std::string_view digits = WithoutPlus(text);
    double value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() ||
        !std::isfinite(value)) {
        throw UsageError(Concat(what, ": ", Quoted(text), " is not a number"));
    }
    if (value < low || value > high) {
        throw UsageError(Concat(what, ": ", Quoted(text), " is outside ", Shortest(low), " to ",
                                Shortest(high)));
    }
    return value;
}

int ReadInteger(std::string_view what, std::string_view text, int low, int high) {
    const std::string_view digits = WithoutPlus(text);
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec == std::errc::invalid_argument ||
        end != digits.data() + digits.size()) {
        throw UsageError(Concat(what, ": ", Quoted(text), " is not a whole number"));
    }
    if (ec == std::errc::result_out_of_range || value < low || value > high) {
        throw UsageError(Concat(what, ": ", Quoted(text), " is outside ", low, " to ", high));
    }
    return value;
}

int ReadChoice(std::string_view what, std::string_view text,
               std::span<const std::string_view> choices) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == text) return static_cast<int>(i);
    }
    std::string list;
    for (std::string_view c : choices) Append(list, list.empty() ? "" : "|", c);
    throw UsageError(Concat(what, ": ", Quoted(text), " is not one of ", list));
}

calendar::CivilDate ReadDate(std::string_view what, std::string_view text, bool gregorian) {
    const auto bad = [&](const std::string& why) {
        return UsageError(Concat(what, ": ", Quoted(text), " ", why));
    };
    const bool shaped = text.size() == 10 && text[4] == '-' && text[7] == '-';
    std::string digits;
    if (shaped) Append(digits, text.substr(0, 4), text.substr(5, 2), text.substr(8, 2));
    const std::optional<calendar::CivilDate> date = calendar::ParseDateText(digits);
    if (!shaped || !date) throw bad("is not a date of the form YYYY-MM-DD");
    if (date->year < calendar::kMinYear || date->year > calendar::kMaxYear) {
        throw bad(Concat("has a year outside ", calendar::kMinYear, " to ", calendar::kMaxYear));
    }
    if (date->month < 1 || date->month > 12) throw bad(Concat("has no month ", date->month));
    if (!calendar::IsValidDate(*date, gregorian)) {
        throw bad(
            Concat("does not exist in the ", gregorian ? "Gregorian" : "Julian", " calendar"));
    }
    return *date;
}

}  // namespace yorbel::cli
