#include "calendar/dates.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace yorbel::calendar {

namespace {

// Intermediates are 64-bit so that years far outside the domain (below 1, or huge
// values read from a damaged file) give some result instead of signed overflow. Inside
// the domain every value equals the 32-bit computation. "/" and "%" truncate toward
// zero, as the formulas require.
using i64 = std::int64_t;

constexpr std::array<int, 12> kMonthLength{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

constexpr bool ValidMonth(int month) {
    return month >= 1 && month <= 12;
}

// A result that cannot be a 32-bit value is out of the domain anyway; wrap it rather than
// invoke undefined behaviour.
constexpr std::int32_t Narrow(i64 v) {
    return static_cast<std::int32_t>(v);
}

constexpr int Mod7(i64 v) {
    return static_cast<int>(((v % 7) + 7) % 7);
}

DayNumber GregorianCalendarDayNumber(i64 day, i64 month, i64 year) {
    // Fliegel and Van Flandern.
    const i64 a = (month - 14) / 12;
    return Narrow(day - 32075 + (1461 * (year + 4800 + a)) / 4 + (367 * (month - 2 - 12 * a)) / 12 -
                  (3 * ((year + 4900 + a) / 100)) / 4);
}

DayNumber JulianCalendarDayNumber(i64 day, i64 month, i64 year) {
    i64 y = year;
    i64 m = month + 1;
    if (month <= 2) {
        y = year - 1;
        m = month + 13;
    }
    return Narrow((1461 * y) / 4 + (153 * m) / 5 + day + 1720995);
}

CivilDate GregorianCalendarDateOf(i64 n) {
    // Fliegel and Van Flandern.
    i64 l = n + 68569;
    const i64 c = (4 * l) / 146097;
    l = l - (146097 * c + 3) / 4;
    const i64 i = (4000 * (l + 1)) / 1461001;
    l = l - (1461 * i) / 4 + 31;
    const i64 j = (80 * l) / 2447;
    const i64 day = l - (2447 * j) / 80;
    l = j / 11;
    const i64 month = j + 2 - 12 * l;
    const i64 year = 100 * (c - 49) + i + l;
    return {Narrow(day), Narrow(month), Narrow(year)};
}

CivilDate JulianCalendarDateOf(i64 n) {
    // Meeus, for the Julian calendar. The floors are of non-negative quotients inside the
    // domain; std::floor keeps them exact for doubles of this size.
    const i64 b = n + 1524;
    const i64 c = static_cast<i64>(std::floor((static_cast<double>(b) - 122.1) / 365.25));
    const i64 d = static_cast<i64>(std::floor(365.25 * static_cast<double>(c)));
    const i64 e = static_cast<i64>(std::floor(static_cast<double>(b - d) / 30.6001));
    const i64 day = b - d - static_cast<i64>(std::floor(30.6001 * static_cast<double>(e)));
    const i64 month = e < 14 ? e - 1 : e - 13;
    const i64 year = month > 2 ? c - 4716 : c - 4715;
    return {Narrow(day), Narrow(month), Narrow(year)};
}

// Start of week 1 of a year under rule 2 or 3, as a day number.
i64 WeekOneStart(int year, WeekRule rule, Weekday week_start, bool gregorian) {
    const CivilDate new_year{1, 1, year};
    const i64 d = DayNumberOf(new_year, gregorian);
    // e: the last week-start day on or before 1 January.
    const i64 e = d - DaysUntil(week_start, WeekdayOf(new_year, gregorian));
    // That week counts when four or more of its days lie in January, that is when 1 January
    // is one of its first four days; as a full week only when it starts on 1 January.
    if (rule == WeekRule::FourDaysInJanuary) return d - e < 4 ? e : e + 7;
    return e == d ? e : e + 7;
}

// Weekday of a day of the year in the Julian calendar.
Weekday JulianWeekdayOfDayOfYear(int year, int day_of_year) {
    return WeekdayOf({1, 1, year}, false) + Mod7(static_cast<i64>(day_of_year) - 1);
}

}  // namespace

bool IsLeapYear(int year, bool gregorian) {
    if (!gregorian) return year % 4 == 0;
    return year % 4 == 0 && !(year % 100 == 0 && year % 400 != 0);
}

int DaysInMonth(int year, int month, bool gregorian) {
    if (!ValidMonth(month)) return 0;
    return kMonthLength[month - 1] + (month == 2 && IsLeapYear(year, gregorian) ? 1 : 0);
}

int DaysInYear(int year, bool gregorian) {
    return IsLeapYear(year, gregorian) ? 366 : 365;
}

bool IsValidDate(const CivilDate& date, bool gregorian) {
    return date.year >= kMinYear && date.year <= kMaxYear && ValidMonth(date.month) &&
           date.day >= 1 && date.day <= DaysInMonth(date.year, date.month, gregorian);
}

DayNumber DayNumberOf(const CivilDate& date, bool gregorian) {
    return gregorian ? GregorianCalendarDayNumber(date.day, date.month, date.year)
                     : JulianCalendarDayNumber(date.day, date.month, date.year);
}

CivilDate DateOfDayNumber(DayNumber n, bool gregorian) {
    return gregorian ? GregorianCalendarDateOf(n) : JulianCalendarDateOf(n);
}

Weekday WeekdayOf(const CivilDate& date, bool gregorian) {
    // Zeller's congruence, which counts from Saturday.
    i64 m = date.month;
    i64 y = date.year;
    if (date.month <= 2) {
        m += 12;
        y -= 1;
    }
    const i64 k = y % 100;
    const i64 j = y / 100;
    const i64 q = (13 * (m + 1)) / 5;
    i64 h = gregorian ? (date.day + q + k + k / 4 + j / 4 - 2 * j) % 7
                      : (date.day + q + k + k / 4 + 5 - j) % 7;
    return WeekdayFromNumber(h - 1);
}

int DayOfYear(const CivilDate& date, bool gregorian) {
    if (gregorian) {
        const i64 s = (static_cast<i64>(date.month) + 10) / 13;  // 1 from March on
        const i64 leap = IsLeapYear(date.year, true) ? 1 : 0;
        return Narrow(date.day + (3055 * (static_cast<i64>(date.month) + 2)) / 100 - 91 - 2 * s +
                      s * leap);
    }
    i64 result = date.day;
    for (int m = 1; m < date.month && m <= 12; ++m) result += kMonthLength[m - 1];
    if (date.month > 2 && IsLeapYear(date.year, false)) ++result;
    return Narrow(result);
}

CivilDate DateOfDayOfYear(int day_of_year, int year, bool gregorian) {
    int month = 1;
    int rest = day_of_year;
    while (month < 12) {
        const int length = DaysInMonth(year, month, gregorian);
        if (rest <= length) break;
        rest -= length;
        ++month;
    }
    return {rest, month, year};
}

Weekday WeekdayOfDayOfYear(int year, int day_of_year) {
    const i64 k = (static_cast<i64>(year) - 1) % 100;
    const i64 j = (static_cast<i64>(year) - 1) / 100;
    const i64 h = (day_of_year + k + k / 4 + j / 4 + 5 * j + 28) % 7;
    // Only years below 1 can make the remainder negative.
    return WeekdayFromNumber(h);
}

int WeekNumber(const CivilDate& date, WeekRule rule, Weekday week_start, bool gregorian) {
    const i64 g = DayNumberOf(date, gregorian);
    const int year = date.year;
    switch (rule) {
        case WeekRule::FromNewYear:
            return Narrow((g - DayNumberOf({1, 1, year}, gregorian)) / 7 + 1);
        case WeekRule::FourDaysInJanuary: {
            i64 f = WeekOneStart(year, rule, week_start, gregorian);
            if (g < f) f = WeekOneStart(year - 1, rule, week_start, gregorian);
            const i64 h = (g - f) / 7 + 1;
            if (h > 52 && g >= WeekOneStart(year + 1, rule, week_start, gregorian)) return 1;
            return Narrow(h);
        }
        case WeekRule::FirstFullWeek: {
            i64 f = WeekOneStart(year, rule, week_start, gregorian);
            if (g < f) f = WeekOneStart(year - 1, rule, week_start, gregorian);
            return Narrow((g - f) / 7 + 1);
        }
    }
    return 0;  // a value that is no rule
}

CivilDate EasterSunday(int year, bool gregorian) {
    const i64 y = year;
    if (gregorian) {
        // Anonymous Gregorian algorithm (Meeus, Jones, Butcher).
        const i64 a = y % 19;
        const i64 b = y / 100;
        const i64 c = y % 100;
        const i64 d = b / 4;
        const i64 e = b % 4;
        const i64 f = (b + 8) / 25;
        const i64 g = (b - f + 1) / 3;
        const i64 h = (19 * a + b - d - g + 15) % 30;
        const i64 i = c / 4;
        const i64 k = c % 4;
        const i64 l = (32 + 2 * e + 2 * i - h - k) % 7;
        const i64 m = (a + 11 * h + 22 * l) / 451;
        const i64 x = h + l - 7 * m + 114;
        return {Narrow(x % 31 + 1), Narrow(x / 31), year};
    }
    // Meeus' Julian algorithm.
    const i64 a = y % 4;
    const i64 b = y % 7;
    const i64 c = y % 19;
    const i64 d = (19 * c + 15) % 30;
    const i64 e = (2 * a + 4 * b - d + 34) % 7;
    const i64 x = d + e + 114;
    return {Narrow(x % 31 + 1), Narrow(x / 31), year};
}

int FourthAdvent(int year, bool gregorian) {
    const CivilDate christmas_eve{24, 12, year};
    return DayOfYear(christmas_eve, gregorian) -
           DaysUntil(Weekday::Sunday, WeekdayOf(christmas_eve, gregorian));
}

CivilDate NthWeekdayOfMonth(int year, int month, Weekday weekday, int n, bool gregorian) {
    // The weekday of a day of the year must come from the system's own calendar: Julian
    // digits read with Gregorian weekdays would land on the wrong day of the week.
    const auto weekday_at = [&](int day_of_year) {
        return gregorian ? WeekdayOfDayOfYear(year, day_of_year)
                         : JulianWeekdayOfDayOfYear(year, day_of_year);
    };
    // At most six steps find the weekday; the bound only guards against bad arguments.
    if (n <= 4) {
        int doy = DayOfYear({1, month, year}, gregorian);
        for (int step = 0; step < 7 && weekday_at(doy) != weekday; ++step) ++doy;
        return DateOfDayOfYear(doy + 7 * (n < 1 ? 0 : n - 1), year, gregorian);
    }
    int doy = DayOfYear({DaysInMonth(year, month, gregorian), month, year}, gregorian);
    for (int step = 0; step < 7 && weekday_at(doy) != weekday; ++step) --doy;
    return DateOfDayOfYear(doy, year, gregorian);
}

std::string DateText(const CivilDate& date) {
    // Every occurrence of a year passes through here, so the usual case avoids printf.
    if (date.year >= 0 && date.year <= 9999 && date.month >= 0 && date.month <= 99 &&
        date.day >= 0 && date.day <= 99) {
        std::string text(8, '0');
        text[0] = static_cast<char>('0' + date.year / 1000);
        text[1] = static_cast<char>('0' + date.year / 100 % 10);
        text[2] = static_cast<char>('0' + date.year / 10 % 10);
        text[3] = static_cast<char>('0' + date.year % 10);
        text[4] = static_cast<char>('0' + date.month / 10);
        text[5] = static_cast<char>('0' + date.month % 10);
        text[6] = static_cast<char>('0' + date.day / 10);
        text[7] = static_cast<char>('0' + date.day % 10);
        return text;
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", date.year, date.month, date.day);
    return buffer;
}

std::optional<CivilDate> ParseDateText(std::string_view text) {
    if (text.size() != 8) return std::nullopt;
    int digits[8];
    for (std::size_t i = 0; i < 8; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        digits[i] = text[i] - '0';
    }
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const int month = digits[4] * 10 + digits[5];
    const int day = digits[6] * 10 + digits[7];
    return CivilDate{day, month, year};
}

}  // namespace yorbel::calendar
