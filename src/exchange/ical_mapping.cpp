#include "exchange/ical_mapping.h"

#include <algorithm>

#include "text/text_encoding.h"

namespace yorbel::exchange {
namespace {

using calendar::CivilDate;

bool IsSingleDay(const IcsDays& days) {
    return days.last <= days.first;
}

// A list of BY values that is empty or holds only `value`.
bool OnlyOrNone(const std::vector<int>& values, int value) {
    for (int v : values) {
        if (v != value) return false;
    }
    return true;
}

// Every year, with nothing that a yearly rule of Yorbel could not hold.
bool PlainlyYearly(const IcsRepeat& r) {
    return r.yearly && r.interval == 1 && !r.bounded && !r.other_parts;
}

std::optional<data::Rule> YearlyDate(const CivilDate& start, const IcsRepeat& r) {
    if (!r.days.empty() || !OnlyOrNone(r.months, start.month) ||
        !OnlyOrNone(r.month_days, start.day))
        return std::nullopt;
    // A yearly rule of Yorbel puts 29 February on the 28th in common years; iCalendar
    // leaves those years out.
    if (start.month == 2 && start.day == 29) return std::nullopt;
    return data::YearlyRule{{start.day, start.month, start.year}};
}

std::optional<data::Rule> WeekdayOfMonth(const CivilDate& start, const IcsRepeat& r) {
    if (r.months.size() != 1 || r.days.size() != 1 || !r.month_days.empty()) return std::nullopt;
    const int month = r.months.front();
    const IcsRepeat::Day day = r.days.front();
    const bool last = day.position == -1;
    if (!last && (day.position < 1 || day.position > 4)) return std::nullopt;
    const int count = last ? 5 : day.position;
    // The start is the first occurrence; one that is not such a day would be an extra
    // date the rule cannot give.
    if (calendar::NthWeekdayOfMonth(start.year, month, day.weekday, count, true) != start)
        return std::nullopt;
    return data::WeekOfMonthRule{calendar::NumberOf(day.weekday), count, month};
}

}  // namespace

data::Rule SingleOccurrenceRule(const IcsDays& days, bool gregorian) {
    const CivilDate first = calendar::DateOfDayNumber(days.first, gregorian);
    if (IsSingleDay(days)) return data::OnceRule{first};
    return data::PeriodRule{first, calendar::DateOfDayNumber(days.last, gregorian)};
}

std::optional<data::Rule> MapToRule(const IcsDays& days, const std::optional<IcsRepeat>& repeat,
                                    bool exceptions, bool gregorian) {
    if (exceptions) return std::nullopt;
    if (!repeat) return SingleOccurrenceRule(days, gregorian);
    if (!gregorian || !IsSingleDay(days) || !PlainlyYearly(*repeat)) return std::nullopt;
    const CivilDate start = calendar::DateOfDayNumber(days.first, true);
    if (repeat->days.empty()) return YearlyDate(start, *repeat);
    return WeekdayOfMonth(start, *repeat);
}

std::string StoredName(std::string_view summary, std::size_t max_chars, bool* shortened) {
    std::string name(summary);
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    const auto trim = [](std::string& s) {
        const auto first = s.find_first_not_of(' ');
        if (first == std::string::npos) {
            s.clear();
            return;
        }
        s.erase(s.find_last_not_of(' ') + 1);
        s.erase(0, first);
    };
    trim(name);
    // Byte position after max_chars characters, if the name has more.
    std::size_t cut = 0;
    std::size_t chars = 0;
    while (cut < name.size() && chars < max_chars) {
        cut += static_cast<std::size_t>(
            text::Utf8SequenceLength(static_cast<unsigned char>(name[cut])));
        ++chars;
    }
    cut = std::min(cut, name.size());  // a broken last character
    if (shortened) *shortened = cut < name.size();
    if (cut >= name.size()) return name;
    if (name[cut] != ' ') {
        const std::size_t space = name.rfind(' ', cut);
        if (space != std::string::npos && space > 0) cut = space;
    }
    name.erase(cut);
    trim(name);
    return name;
}

}  // namespace yorbel::exchange
