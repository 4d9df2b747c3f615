// Integer date arithmetic in the Julian and the Gregorian calendar.
//
// The day number (chronological Julian day number) is the pivot: every conversion,
// weekday and difference goes through it. Nothing here validates its arguments; callers
// pass dates that exist in the chosen system. The one validity check, IsValidDate, runs
// where dates enter from outside (files, typed text, command-line arguments).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace yorbel::calendar {

// A date of the chosen calendar system. In the Julian system these are Julian digits.
struct CivilDate {
    std::int32_t day = 1;
    std::int32_t month = 1;
    std::int32_t year = 1;
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

// Chronological Julian day number; differences are day counts.
using DayNumber = std::int32_t;

// Smallest and largest year the program accepts from outside.
inline constexpr int kMinYear = 1;
inline constexpr int kMaxYear = 9999;

// The days of the week, numbered as the stored event rules, the week-start setting and the
// command line number them: 0 Sunday … 6 Saturday.
enum class Weekday : std::uint8_t {
    Sunday,
    Monday,
    Tuesday,
    Wednesday,
    Thursday,
    Friday,
    Saturday
};

constexpr int NumberOf(Weekday weekday) {
    return static_cast<int>(weekday);
}

// The weekday of a number counted from Sunday, folded into the week (7 is Sunday again,
// -1 Saturday), so a damaged stored number still names a weekday.
constexpr Weekday WeekdayFromNumber(std::int64_t sunday_based) {
    return static_cast<Weekday>((sunday_based % 7 + 7) % 7);
}

// The weekday `days` after (before, for negative `days`) the given one.
constexpr Weekday operator+(Weekday weekday, int days) {
    return WeekdayFromNumber(static_cast<std::int64_t>(NumberOf(weekday)) + days);
}

// Days from `from` forward to the next `to`, 0–6.
constexpr int DaysUntil(Weekday from, Weekday to) {
    return NumberOf(WeekdayFromNumber(NumberOf(to) - NumberOf(from)));
}

bool IsLeapYear(int year, bool gregorian);
int DaysInMonth(int year, int month, bool gregorian);  // 28–31; 0 for a month outside 1–12
int DaysInYear(int year, bool gregorian);              // 365 or 366

// True when the date exists in the system and its year lies in kMinYear..kMaxYear.
bool IsValidDate(const CivilDate& date, bool gregorian);

DayNumber DayNumberOf(const CivilDate& date, bool gregorian);
CivilDate DateOfDayNumber(DayNumber n, bool gregorian);

Weekday WeekdayOf(const CivilDate& date, bool gregorian);

// 64-bit, so that callers counting far outside the domain need not narrow first.
constexpr Weekday WeekdayOfDayNumber(std::int64_t n) {
    return WeekdayFromNumber(n + 1);  // day number 0 was a Monday
}

int DayOfYear(const CivilDate& date, bool gregorian);  // 1–366
CivilDate DateOfDayOfYear(int day_of_year, int year, bool gregorian);

// Weekday of a day of the year; Gregorian rules only.
Weekday WeekdayOfDayOfYear(int year, int day_of_year);

// Which week is week 1 of a year. The numbers are the rules' numbers in the options and on
// the command line.
enum class WeekRule {
    // The seven days from 1 January, then every further seven days; the week start plays
    // no part, and the last one or two days of December form week 53.
    FromNewYear = 1,
    // The first week with four or more of its days in January (with weeks starting on
    // Monday that is the ISO 8601 week). Days before it are in the last week of the year
    // before, and the last days of December can be week 1 of the next year.
    FourDaysInJanuary = 2,
    // The first full week of January. Days before it are in the last week of the year
    // before, and December never spills into the next year's week 1.
    FirstFullWeek = 3,
};

// Week number 1–53 with weeks beginning on `week_start`; 0 for a value that is no rule.
int WeekNumber(const CivilDate& date, WeekRule rule, Weekday week_start, bool gregorian);

CivilDate EasterSunday(int year, bool gregorian);

// Day of the year of the fourth Sunday of Advent (the Sunday on or before 24 December).
int FourthAdvent(int year, bool gregorian);

// The n-th (1–4) or, for n of 5 and above, the last given weekday of a month, found in the
// calendar of the chosen system (n below 1 counts as 1).
CivilDate NthWeekdayOfMonth(int year, int month, Weekday weekday, int n, bool gregorian);

// "yyyymmdd", zero-padded.
std::string DateText(const CivilDate& date);

// The numbers in characters 1–4, 5–6 and 7–8; nullopt unless the text is exactly eight
// decimal digits. The date itself is not checked against a calendar.
std::optional<CivilDate> ParseDateText(std::string_view text);

}  // namespace yorbel::calendar
