#include "data/rule_dates.h"

#include <algorithm>
#include <charconv>

#include "calendar/jewish.h"
#include "data/events.h"

namespace yorbel::data {

using calendar::CivilDate;
using calendar::DateOfDayNumber;
using calendar::DateText;
using calendar::DayNumber;
using calendar::DayNumberOf;

namespace {

// field: the events table field the text came from.
Error Fault(const ErrorText& message, std::string_view text, const char* field = "Ev_from") {
    return Error(message, {std::string(text)}, ErrorPosition{{}, 0, field});
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Value of a run of decimal digits; nullopt if any character is not a digit.
std::optional<int> Digits(std::string_view text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), IsDigit)) return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// A signed decimal integer: optional "+" or "-", then digits ("-0" is 0).
std::optional<int> SignedNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    auto value = Digits(text);
    if (!value) return std::nullopt;
    return negative ? -*value : *value;
}

Checked<CivilDate> ParseFullDate(std::string_view text, bool gregorian, const char* field) {
    auto date = calendar::ParseDateText(text);
    if (!date || !calendar::IsValidDate(*date, gregorian))
        return Fault(CoreError("RuleBadDate"), text, field);
    return *date;
}

// Day and month of a date text; the year digits must be digits but are not used.
// 29 February is accepted whatever the year.
Checked<DayMonth> ParseDayMonth(std::string_view text, const char* field) {
    auto date = calendar::ParseDateText(text);
    if (!date || date->month < 1 || date->month > 12 || date->day < 1 ||
        date->day > calendar::DaysInMonth(2000, date->month, true))
        return Fault(CoreError("RuleBadDate"), text, field);
    return DayMonth{date->day, date->month, date->year};
}

// The two leading codes "wwnn" of a six-character rule text: weekday 0–6, count 1–5.
struct WeekdayCount {
    int weekday;
    int count;
};
Checked<WeekdayCount> ParseWeekdayCount(std::string_view text) {
    if (text.size() != 6) return Fault(CoreError("RuleBadCode"), text);
    auto weekday = Digits(text.substr(0, 2));
    auto count = Digits(text.substr(2, 2));
    if (!weekday || !count) return Fault(CoreError("RuleNotNumber"), text);
    if (*weekday > 6 || *count < 1 || *count > 5) return Fault(CoreError("RuleBadCode"), text);
    return WeekdayCount{*weekday, *count};
}

Checked<Rule> ParseWeekOfMonth(std::string_view text) {
    auto head = ParseWeekdayCount(text);
    if (!head.ok()) return head.fault();
    auto month = Digits(text.substr(4, 2));
    if (!month) return Fault(CoreError("RuleNotNumber"), text);
    if (*month < 1 || *month > 12) return Fault(CoreError("RuleBadCode"), text);
    return Rule{WeekOfMonthRule{head.value().weekday, head.value().count, *month}};
}

Checked<NearDateRule> ParseNearDate(std::string_view rule_text, std::string_view reference) {
    auto head = ParseWeekdayCount(rule_text);
    if (!head.ok()) return head.fault();
    auto ref = ParseDayMonth(reference, "Ev_to");
    if (!ref.ok()) return ref.fault();
    // Only exactly "01" means after; the editor writes "00" for before.
    return NearDateRule{head.value().weekday, head.value().count, rule_text.substr(4, 2) == "01",
                        ref.value()};
}

Checked<JewishRule> ParseJewishMonthDay(std::string_view text) {
    if (text.size() != 4) return Fault(CoreError("RuleBadCode"), text);
    auto month = Digits(text.substr(0, 2));
    auto day = Digits(text.substr(2, 2));
    if (!month || !day) return Fault(CoreError("RuleNotNumber"), text);
    if (*month < 1 || (*month > 12 && *month != kJewishLaterAdar) || *day < 1 || *day > 30)
        return Fault(CoreError("RuleBadCode"), text);
    return JewishRule{*month, *day};
}

// The month of a Jewish year that a rule's month code stands for.
int JewishMonthInYear(int rule_month, bool leap) {
    if (rule_month == kJewishLaterAdar) return leap ? 7 : 6;
    return leap && rule_month > 6 ? rule_month + 1 : rule_month;
}

CivilDate NearDate(int year, const NearDateRule& rule, bool gregorian) {
    CivilDate reference{rule.reference.day, rule.reference.month, year};
    if (reference.month == 2 && reference.day == 29 && !calendar::IsLeapYear(year, gregorian))
        reference = CivilDate{1, 3, year};
    DayNumber e = DayNumberOf(reference, gregorian);
    const int f = calendar::WeekdayOf(reference, gregorian);  // Saturday-based
    const int c = calendar::SaturdayBased(rule.weekday);
    // Days to the nearest wanted weekday strictly after (before) the reference: 1–7.
    int step = rule.after ? (c - f + 7) % 7 : (f - c + 7) % 7;
    if (step == 0) step = 7;
    const int distance = step + 7 * (rule.count - 1);
    e += rule.after ? distance : -distance;
    return DateOfDayNumber(e, gregorian);
}

std::string JewishText(DayNumber n) {
    const calendar::JewishDate j = calendar::DayNumberToJewish(n);
    // Same layout as a civil date text: four, two and two digits.
    return DateText(CivilDate{j.day, j.month, j.year});
}

bool InYearRange(int year) {
    return year >= calendar::kMinYear && year <= calendar::kMaxYear;
}

}  // namespace

Checked<Rule> ParseRule(int ev_type, int ev_repeat, std::string_view ev_from,
                        std::string_view ev_to, bool gregorian) {
    if (ev_type != 0) {
        auto first = ParseFullDate(ev_from, gregorian, "Ev_from");
        if (!first.ok()) return first.fault();
        auto last = ParseFullDate(ev_to, gregorian, "Ev_to");
        if (!last.ok()) return last.fault();
        return Rule{PeriodRule{first.value(), last.value()}};
    }
    switch (ev_repeat) {
        case RepeatNone: {
            auto date = ParseFullDate(ev_from, gregorian, "Ev_from");
            if (!date.ok()) return date.fault();
            return Rule{OnceRule{date.value()}};
        }
        case RepeatYearly: {
            auto date = ParseDayMonth(ev_from, "Ev_from");
            if (!date.ok()) return date.fault();
            return Rule{YearlyRule{date.value()}};
        }
        case RepeatWeekOfMonth:
            return ParseWeekOfMonth(ev_from);
        case RepeatEaster: {
            auto offset = SignedNumber(ev_from);
            if (!offset) return Fault(CoreError("RuleNotNumber"), ev_from);
            return Rule{EasterRule{*offset}};
        }
        case RepeatAdvent: {
            auto count = SignedNumber(ev_from);
            if (!count) return Fault(CoreError("RuleNotNumber"), ev_from);
            return Rule{AdventRule{*count}};
        }
        case RepeatNearDate: {
            auto rule = ParseNearDate(ev_from, ev_to);
            if (!rule.ok()) return rule.fault();
            return Rule{rule.value()};
        }
        case RepeatJewish: {
            auto rule = ParseJewishMonthDay(ev_from);
            if (!rule.ok()) return rule.fault();
            return Rule{rule.value()};
        }
        default:
            return Fault(CoreError("RuleBadRepeat"), std::to_string(ev_repeat), "Ev_repeat");
    }
}

std::string JewishFirst(int year, bool gregorian) {
    return JewishText(DayNumberOf(CivilDate{1, 1, year}, gregorian));
}

std::string JewishLast(int year, bool gregorian) {
    return JewishText(DayNumberOf(CivilDate{31, 12, year}, gregorian));
}

JewishBounds JewishBoundsOf(int year, bool gregorian) {
    JewishBounds bounds;
    bounds.first_day = DayNumberOf(CivilDate{1, 1, year}, gregorian);
    bounds.last_day = DayNumberOf(CivilDate{31, 12, year}, gregorian);
    const int first_year = calendar::DayNumberToJewish(bounds.first_day).year;
    const int last_year = calendar::DayNumberToJewish(bounds.last_day).year;
    bounds.year_count = first_year == last_year ? 1 : 2;
    for (int i = 0; i < bounds.year_count; ++i) {
        JewishBounds::Year& y = bounds.years[i];
        y.year = i == 0 ? first_year : last_year;
        y.leap = calendar::JewishIsLeap(y.year);
        y.month_start[0] = calendar::JewishNewYear(y.year);
        for (std::size_t m = 1; m < y.month_start.size(); ++m)
            y.month_start[m] =
                y.month_start[m - 1] + calendar::JewishMonthLength(y.year, static_cast<int>(m));
    }
    return bounds;
}

std::string YearlyDateIn(int year, DayMonth date, bool gregorian) {
    int day = date.day;
    if (date.month == 2 && day == 29 && !calendar::IsLeapYear(year, gregorian)) day = 28;
    return DateText(CivilDate{day, date.month, year});
}

Checked<std::string> YearlyDateIn(int year, std::string_view date_text, bool gregorian) {
    auto date = ParseDayMonth(date_text, "Ev_from");
    if (!date.ok()) return date.fault();
    return YearlyDateIn(year, date.value(), gregorian);
}

std::optional<std::string> EasterOffsetDate(int year, int offset, bool gregorian) {
    // No offset beyond this many days can reach a year in 1–9999 from another one.
    constexpr int kFarthest = 4'000'000;
    if (offset < -kFarthest || offset > kFarthest) return std::nullopt;
    const DayNumber easter = DayNumberOf(calendar::EasterSunday(year, gregorian), gregorian);
    const CivilDate date = DateOfDayNumber(easter + offset, gregorian);
    if (!InYearRange(date.year)) return std::nullopt;
    return DateText(date);
}

std::optional<std::string> AdventOffsetDate(int year, int count, bool gregorian) {
    const long long day_of_year =
        static_cast<long long>(calendar::FourthAdvent(year, gregorian)) - count;
    if (day_of_year < 1 || day_of_year > calendar::DaysInYear(year, gregorian)) return std::nullopt;
    return DateText(calendar::DateOfDayOfYear(static_cast<int>(day_of_year), year, gregorian));
}

std::string WeekdayNearDate(int year, const NearDateRule& rule, bool gregorian) {
    return DateText(NearDate(year, rule, gregorian));
}

Checked<std::string> WeekdayNearDate(int year, std::string_view rule_text,
                                     std::string_view reference_text, bool gregorian) {
    auto rule = ParseNearDate(rule_text, reference_text);
    if (!rule.ok()) return rule.fault();
    return WeekdayNearDate(year, rule.value(), gregorian);
}

std::string JewishToCivilDate(int jewish_year, const JewishRule& date, bool gregorian) {
    const int month = JewishMonthInYear(date.month, calendar::JewishIsLeap(jewish_year));
    const DayNumber n = calendar::JewishToDayNumber({jewish_year, month, date.day});
    return DateText(DateOfDayNumber(n, gregorian));
}

Checked<std::string> JewishToCivilDate(std::string_view jewish_year, std::string_view month_day,
                                       bool gregorian) {
    auto year = Digits(jewish_year);
    if (!year) return Fault(CoreError("RuleNotNumber"), jewish_year, "");
    if (jewish_year.size() < 4 || jewish_year.size() > 5 || *year < 1)
        return Fault(CoreError("RuleBadCode"), jewish_year, "");
    auto date = ParseJewishMonthDay(month_day);
    if (!date.ok()) return date.fault();
    return JewishToCivilDate(*year, date.value(), gregorian);
}

namespace {

struct DatesIn {
    int year;
    const JewishBounds& jewish;
    bool gregorian;
    std::vector<std::string>& out;

    void operator()(const PeriodRule& r) const {
        if (r.first.year > year || r.last.year < year) return;
        // Only the days in the year are wanted, so walk just that stretch.
        const DayNumber from =
            std::max(DayNumberOf(r.first, gregorian), DayNumberOf({1, 1, year}, gregorian));
        const DayNumber to =
            std::min(DayNumberOf(r.last, gregorian), DayNumberOf({31, 12, year}, gregorian));
        for (DayNumber n = from; n <= to; ++n)
            out.push_back(DateText(DateOfDayNumber(n, gregorian)));
    }
    void operator()(const OnceRule& r) const {
        if (r.date.year == year) out.push_back(DateText(r.date));
    }
    void operator()(const YearlyRule& r) const {
        out.push_back(YearlyDateIn(year, r.date, gregorian));
    }
    void operator()(const WeekOfMonthRule& r) const {
        out.push_back(
            DateText(calendar::NthWeekdayOfMonth(year, r.month, r.weekday, r.count, gregorian)));
    }
    void operator()(const EasterRule& r) const {
        if (auto date = EasterOffsetDate(year, r.offset, gregorian))
            out.push_back(std::move(*date));
    }
    void operator()(const AdventRule& r) const {
        if (auto date = AdventOffsetDate(year, r.count, gregorian)) out.push_back(std::move(*date));
    }
    void operator()(const NearDateRule& r) const {
        // At most 35 days from the reference, so the neighbouring year's date lies in this one.
        CivilDate date = NearDate(year, r, gregorian);
        if (date.year > year)
            date = NearDate(year - 1, r, gregorian);
        else if (date.year < year)
            date = NearDate(year + 1, r, gregorian);
        out.push_back(DateText(date));
    }
    void operator()(const JewishRule& r) const {
        // The civil year touches one or two Jewish years; the date may fall in either.
        // Comparing day numbers keeps a day run on into the next month in its place.
        for (int i = 0; i < jewish.year_count; ++i) {
            const JewishBounds::Year& y = jewish.years[i];
            const DayNumber n = y.month_start[JewishMonthInYear(r.month, y.leap) - 1] + r.day - 1;
            if (n >= jewish.first_day && n <= jewish.last_day)
                out.push_back(DateText(DateOfDayNumber(n, gregorian)));
        }
    }
};

}  // namespace

void RuleDatesIn(const Rule& rule, int year, const JewishBounds& jewish, bool gregorian,
                 std::vector<std::string>& out) {
    std::visit(DatesIn{year, jewish, gregorian, out}, rule);
}

}  // namespace yorbel::data
