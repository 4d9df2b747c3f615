// Event rules and the dates they give in a civil year.
//
// An event's rule is stored as two short texts, Ev_from and Ev_to, read by character
// positions. ParseRule checks them once and turns them into a Rule value; the rule-date
// operations below compute the dates of one rule in one year. The occurrence generator,
// the event list and the day calculator all go through these functions, so an event falls
// on the same day everywhere.
//
// Everything works on digits of the chosen calendar system (Gregorian flag): a Julian
// 29 February 1900 is an ordinary date here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "calendar/dates.h"
#include "data/error.h"

namespace yorbel::data {

// Why a rule cannot be expanded is an Error whose position names the field (Ev_from,
// Ev_to or Ev_repeat) and whose key is one of:
//   "RuleNotNumber"    %1 the text   — a number was expected
//   "RuleBadDate"      %1 the text   — not a date text "yyyymmdd" of an existing date
//   "RuleBadCode"      %1 the text   — a weekday, count, month or day code out of range
//   "RuleBadRepeat"    %1 the code   — an unknown repeat code

// A value or the fault that prevented it.
template <class T>
class Checked {
  public:
    Checked(T value) : v_(std::move(value)) {}
    Checked(Error fault) : v_(std::move(fault)) {}
    bool ok() const { return v_.index() == 0; }
    const T& value() const { return std::get<0>(v_); }
    const Error& fault() const { return std::get<1>(v_); }

  private:
    std::variant<T, Error> v_;
};

// A day and month that recur every year; 29 February is allowed. The year is the one the
// stored text was written with: it places no date, but the text reads back as written.
struct DayMonth {
    int day = 1;
    int month = 1;
    int year = 2000;
    friend bool operator==(const DayMonth&, const DayMonth&) = default;
};

// The rule kinds. Weekday codes are Sunday-based (0 Sunday … 6 Saturday).
struct PeriodRule {
    calendar::CivilDate first, last;
    friend bool operator==(const PeriodRule&, const PeriodRule&) = default;
};  // both days included
struct OnceRule {
    calendar::CivilDate date;
    friend bool operator==(const OnceRule&, const OnceRule&) = default;
};  // RepeatNone
struct YearlyRule {
    DayMonth date;
    friend bool operator==(const YearlyRule&, const YearlyRule&) = default;
};  // RepeatYearly
struct WeekOfMonthRule {
    int weekday, count, month;
    friend bool operator==(const WeekOfMonthRule&, const WeekOfMonthRule&) = default;
};  // count 1–4, 5 = last
struct EasterRule {
    int offset;
    friend bool operator==(const EasterRule&, const EasterRule&) = default;
};  // days after Easter Sunday
struct AdventRule {
    int count;
    friend bool operator==(const AdventRule&, const AdventRule&) = default;
};  // days before 4th Advent
struct NearDateRule {
    int weekday, count;
    bool after;
    DayMonth reference;
    friend bool operator==(const NearDateRule&, const NearDateRule&) = default;
};  // count 1–5
struct JewishRule {
    int month, day;
    friend bool operator==(const JewishRule&, const JewishRule&) = default;
};  // month 1–12 from Tishri, or kJewishLaterAdar

// Month code of a Jewish rule for the Adar that holds Purim: the second Adar in a leap
// year, the only Adar in a common one. (Code 6 is the first Adar in a leap year.)
inline constexpr int kJewishLaterAdar = 13;

using Rule = std::variant<PeriodRule, OnceRule, YearlyRule, WeekOfMonthRule, EasterRule, AdventRule,
                          NearDateRule, JewishRule>;

// Checks an event's rule fields and reads them. Any Ev_Type other than 0 is a period;
// a period ignores Ev_repeat. Null texts are passed as empty.
Checked<Rule> ParseRule(int ev_type, int ev_repeat, std::string_view ev_from,
                        std::string_view ev_to, bool gregorian);

// The Jewish dates of 1 January and 31 December of a civil year as "yyyymmdd" (months
// counted from Tishri, thirteen in a leap year; a Jewish year beyond 9999 takes five
// digits).
std::string JewishFirst(int year, bool gregorian);
std::string JewishLast(int year, bool gregorian);

// What placing Jewish rules in one civil year needs, computed once per year: the civil
// year's day numbers and the month starts of the one or two Jewish years it touches.
struct JewishBounds {
    struct Year {
        int year = 1;
        bool leap = false;
        std::array<calendar::DayNumber, 13> month_start{};  // month 1 at index 0
    };
    calendar::DayNumber first_day = 0;  // 1 January
    calendar::DayNumber last_day = 0;   // 31 December
    std::array<Year, 2> years{};        // the Jewish years of 1 January and 31 December
    int year_count = 1;                 // 1 when both days lie in the same Jewish year
};
JewishBounds JewishBoundsOf(int year, bool gregorian);

// ---- Rule-date operations; each returns a date text "yyyymmdd". ----

// The day and month in the year. 29 February in a common year gives 28 February.
std::string YearlyDateIn(int year, DayMonth date, bool gregorian);
// Same from a date text, whose year is ignored.
Checked<std::string> YearlyDateIn(int year, std::string_view date_text, bool gregorian);

// Easter Sunday of the year plus the offset; may lie in a neighbouring year.
// None when the result falls outside the years 1–9999.
std::optional<std::string> EasterOffsetDate(int year, int offset, bool gregorian);

// The fourth Sunday of Advent of the year minus the count. None when that leaves the
// year (a count reaching before 1 January).
std::optional<std::string> AdventOffsetDate(int year, int count, bool gregorian);

// The count-th weekday strictly after or before the reference day and month in the
// year. A reference 29 February in a common year counts as 1 March.
std::string WeekdayNearDate(int year, const NearDateRule& rule, bool gregorian);
// Same from the rule text "wwnnxx" (xx exactly "01" is after, anything else before) and
// a reference date text, whose year is ignored.
Checked<std::string> WeekdayNearDate(int year, std::string_view rule_text,
                                     std::string_view reference_text, bool gregorian);

// The civil date of a Jewish date given with the twelve-month numbering of the rules:
// in a leap year months 7–12 are moved up by one (6 stays the first Adar) and
// kJewishLaterAdar is the second Adar. A day beyond the month's length runs on into the
// next month.
std::string JewishToCivilDate(int jewish_year, const JewishRule& date, bool gregorian);
// Same from the year as text of four or five digits and the month and day as "mmdd".
Checked<std::string> JewishToCivilDate(std::string_view jewish_year, std::string_view month_day,
                                       bool gregorian);

// Appends the dates of a rule in the civil year, in date order: every day of a period in
// the year, one date for most single-day rules, zero to two for a Jewish date. A single
// day may lie outside the year (Easter offsets). A weekday-near-date rule whose date
// spills over the turn of the year takes the date from the neighbouring year's reference
// day instead, so it always lies in the year.
void RuleDatesIn(const Rule& rule, int year, const JewishBounds& jewish, bool gregorian,
                 std::vector<std::string>& out);

}  // namespace yorbel::data
