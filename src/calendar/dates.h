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

// Saturday-based weekday (0 Saturday … 6 Friday) to Sunday-based (0 Sunday … 6 Saturday)
// and back.
constexpr int SundayBased(int saturday_based) { return saturday_based == 0 ? 6 : saturday_based - 1; }
constexpr int SaturdayBased(int sunday_based) { return sunday_based == 6 ? 0 : sunday_based + 1; }

bool IsLeapYear(int year, bool gregorian);
int DaysInMonth(int year, int month, bool gregorian);  // 28–31; 0 for a month outside 1–12
int DaysInYear(int year, bool gregorian);              // 365 or 366

// True when the date exists in the system and its year lies in kMinYear..kMaxYear.
bool IsValidDate(const CivilDate& date, bool gregorian);

DayNumber DayNumberOf(const CivilDate& date, bool gregorian);
CivilDate DateOfDayNumber(DayNumber n, bool gregorian);

// Saturday-based weekday (0 Saturday … 6 Friday).
int WeekdayOf(const CivilDate& date, bool gregorian);

int DayOfYear(const CivilDate& date, bool gregorian);  // 1–366
CivilDate DateOfDayOfYear(int day_of_year, int year, bool gregorian);

// Sunday-based weekday of a day of the year; Gregorian rules only.
int WeekdayOfDayOfYear(int year, int day_of_year);

// Week number 1–53 under week-1 rule 1, 2 or 3 with the given Saturday-based week
// start; 0 for a rule outside 1–3.
int WeekNumber(const CivilDate& date, int week_one_rule, int week_start, bool gregorian);

CivilDate EasterSunday(int year, bool gregorian);

// Day of the year of the fourth Sunday of Advent (the Sunday on or before 24 December).
int FourthAdvent(int year, bool gregorian);

// The n-th (1–4) or, for n of 5 and above, the last Sunday-based weekday of a month,
// found in the calendar of the chosen system (n below 1 counts as 1).
CivilDate NthWeekdayOfMonth(int year, int month, int sunday_weekday, int n, bool gregorian);

// "yyyymmdd", zero-padded.
std::string DateText(const CivilDate& date);

// The numbers in characters 1–4, 5–6 and 7–8; nullopt unless the text is exactly eight
// decimal digits. The date itself is not checked against a calendar.
std::optional<CivilDate> ParseDateText(std::string_view text);

}  // namespace yorbel::calendar
