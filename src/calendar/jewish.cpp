#include "calendar/jewish.h"

#include <array>
#include <cstdlib>

namespace yorbel::calendar {

namespace {

// Years and day counts are 64-bit inside so that any 32-bit year argument (absolute
// value of INT_MIN included) stays free of overflow; day numbers of years up to about
// 5.8 million fit the 32-bit DayNumber.
using i64 = std::int64_t;

constexpr i64 kPartsPerHour = 1080;
constexpr i64 kPartsPerDay = 24 * kPartsPerHour;

constexpr i64 Parts(i64 weeks, i64 days, i64 hours, i64 parts) {
    return ((weeks * 7 + days) * 24 + hours) * kPartsPerHour + parts;
}

constexpr i64 kEpoch = Parts(0, 2, 5, 204);        // molad of Tishri of year 1
constexpr i64 kCommonYear = Parts(50, 4, 8, 876);  // 12 months
constexpr i64 kLeapYear = Parts(54, 5, 21, 589);   // 13 months
constexpr i64 kCycle = Parts(991, 2, 16, 595);     // 19 years, 235 months

static_assert(kCycle == 12 * kCommonYear + 7 * kLeapYear, "a cycle is 12 common and 7 leap years");

// Day count c of the molad reckoning is day number kDayCountBase + c.
constexpr i64 kDayCountBase = 347996;
constexpr DayNumber kFirstNewYear = 347998;

// Mean length of a 19-year cycle, for the first estimate of a year.
constexpr double kMeanCycleDays = 6939.689621913581;

// Indexed by the years already elapsed in the current cycle.
constexpr std::array<i64, 19> kLeapsElapsed{0, 0, 0, 1, 1, 1, 2, 2, 3, 3,
                                            3, 4, 4, 4, 5, 5, 5, 6, 6};
constexpr std::array<i64, 19> kCommonsElapsed{0, 1, 2, 2, 3, 4,  4,  5,  5, 6,
                                              7, 7, 8, 9, 9, 10, 11, 11, 12};

constexpr std::array<int, 12> kCommonMonths{30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 30, 29};
constexpr std::array<int, 13> kLeapMonths{30, 29, 30, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29};

constexpr std::array<std::string_view, 12> kCommonNames{"Tishri", "Heshvan", "Kislev", "Tevet",
                                                        "Shevat", "Adar",    "Nisan",  "Iyar",
                                                        "Sivan",  "Tammuz",  "Av",     "Elul"};
constexpr std::array<std::string_view, 13> kLeapNames{
    "Tishri", "Heshvan", "Kislev", "Tevet",  "Shevat", "Adar I", "Adar II",
    "Nisan",  "Iyar",    "Sivan",  "Tammuz", "Av",     "Elul"};

// Every operation first makes its year non-negative and takes 0 as 1.
constexpr i64 NormalYear(i64 year) {
    const i64 y = year < 0 ? -year : year;
    return y == 0 ? 1 : y;
}

constexpr bool IsLeap(i64 year) {
    switch (NormalYear(year) % 19) {
        case 0:
        case 3:
        case 6:
        case 8:
        case 11:
        case 14:
        case 17:
            return true;
        default:
            return false;
    }
}

// 1 Tishri never falls on a Sunday, Wednesday or Friday: the Day of Atonement would then
// fall on a Friday or a Sunday, next to the Sabbath, or the seventh day of Tabernacles on
// a Sabbath.
constexpr bool ForbiddenNewYearDay(Weekday weekday) {
    using enum Weekday;
    return weekday == Sunday || weekday == Wednesday || weekday == Friday;
}

// Weekday of a day count of the molad reckoning (its day 2 is a Monday).
constexpr Weekday WeekdayOfCount(i64 count) {
    return WeekdayFromNumber(count - 1);
}

// Day count (not day number) of 1 Tishri of a year: the day of the molad (mean new moon)
// of Tishri, moved on by the four postponements. The molad's day begins at 6 pm, so its
// hour 18 is noon.
constexpr i64 NewYearCount(i64 raw_year) {
    const i64 year = NormalYear(raw_year);
    const i64 k = year - 1;
    const i64 p = k % 19;
    const i64 molad = kEpoch + kCommonYear * kCommonsElapsed[p] + kLeapYear * kLeapsElapsed[p] +
                      kCycle * (k / 19);
    const i64 d = molad / kPartsPerDay;
    const i64 rest = molad % kPartsPerDay;
    const i64 h = rest / kPartsPerHour;
    const i64 q = rest % kPartsPerHour;
    const Weekday w = WeekdayOfCount(d);
    const bool common = !IsLeap(year);

    // A forbidden weekday moves the New Year one day on (to an allowed one, as the three
    // forbidden days are never adjacent).
    if (ForbiddenNewYearDay(w)) return d + 1;
    if (h < 18) {
        const i64 hq = h * kPartsPerHour + q;
        // A common year whose molad falls on Tuesday at or after 9 h 204 parts would, from
        // Tuesday, reach the next New Year only after 356 days; Wednesday is forbidden, so
        // it moves two days to Thursday.
        if (common && w == Weekday::Tuesday && hq >= 9 * kPartsPerHour + 204) return d + 2;
        // A year after a leap year whose molad falls on Monday at or after 15 h 589 parts:
        // keeping Monday would leave the leap year before only 382 days, so it moves to
        // Tuesday.
        if (IsLeap(year - 1) && common && w == Weekday::Monday && hq >= 15 * kPartsPerHour + 589)
            return d + 1;
        return d;
    }
    // A molad at noon or later moves the New Year to the next day, and on once more when
    // that day is forbidden.
    const i64 next = d + 1;
    return ForbiddenNewYearDay(WeekdayOfCount(next)) ? next + 1 : next;
}

constexpr i64 NewYearNumber(i64 year) {
    return kDayCountBase + NewYearCount(year);
}

static_assert(NewYearNumber(1) == kFirstNewYear);

// The length of a year from the weekdays of its New Year and the next. After the
// postponements a New Year falls only on Monday, Tuesday, Thursday or Saturday, and a year
// is deficient, regular or complete: 353, 354 or 355 days, or 383, 384 or 385 in a leap
// year. Within each kind the three lengths differ modulo 7, so the pair of weekdays fixes
// the length. The table holds the fourteen kinds of year that occur; a 0 marks a length
// the pair cannot have in that kind, and a pair not listed never occurs.
constexpr int YearLength(i64 year) {
    const Weekday now = WeekdayOfDayNumber(NewYearNumber(year));
    const Weekday next = WeekdayOfDayNumber(NewYearNumber(NormalYear(year) + 1));
    const bool leap = IsLeap(year);
    struct Row {
        Weekday now, next;
        int common, leap;
    };
    using enum Weekday;
    // clang-format off
    constexpr Row kTable[] = {
        {Saturday, Saturday, 0, 385}, {Saturday, Tuesday, 353, 0}, {Saturday, Thursday, 355, 383},
        {Monday, Saturday, 355, 383}, {Monday, Monday, 0, 385},    {Monday, Thursday, 353, 0},
        {Tuesday, Saturday, 354, 0},  {Tuesday, Monday, 0, 384},
        {Thursday, Monday, 354, 0},   {Thursday, Tuesday, 355, 383}, {Thursday, Thursday, 0, 385},
    };
    // clang-format on
    for (const Row& row : kTable) {
        if (row.now == now && row.next == next) return leap ? row.leap : row.common;
    }
    return 0;
}

// Month length given the year's kind and length, so that a walk over the months of one
// year computes the year length once.
constexpr int MonthLength(bool leap, int year_length, i64 month) {
    const i64 months = leap ? 13 : 12;
    if (month < 1 || month > months) return 0;
    const bool valid = leap ? (year_length >= 383 && year_length <= 385)
                            : (year_length >= 353 && year_length <= 355);
    if (!valid) return 0;
    if (month == 3 && (year_length == 353 || year_length == 383)) return 29;  // short Kislev
    if (month == 2 && (year_length == 355 || year_length == 385)) return 30;  // long Heshvan
    return leap ? kLeapMonths[month - 1] : kCommonMonths[month - 1];
}

}  // namespace

bool JewishIsLeap(int year) {
    return IsLeap(year);
}

DayNumber JewishNewYear(int year) {
    return static_cast<DayNumber>(NewYearNumber(year));
}

int JewishYearLength(int year) {
    return YearLength(year);
}

int JewishMonthLength(int year, int month) {
    return MonthLength(IsLeap(year), YearLength(year), month);
}

DayNumber JewishToDayNumber(const JewishDate& date) {
    const bool leap = IsLeap(date.year);
    const int length = YearLength(date.year);
    i64 n = NewYearNumber(date.year);
    // Months beyond the year have length 0, so the walk needs at most 13 of them.
    for (i64 m = 1; m < date.month && m <= 13; ++m) n += MonthLength(leap, length, m);
    return static_cast<DayNumber>(n + date.day - 1);
}

JewishDate DayNumberToJewish(DayNumber number) {
    const i64 n = number < kFirstNewYear ? kFirstNewYear : number;

    // Estimate a year at or below the one sought, then walk up to it.
    i64 c = 19 * static_cast<i64>(static_cast<double>(n - kDayCountBase) / kMeanCycleDays);
    if (c < 1) c = 1;
    while (NewYearNumber(c) <= n) c += 19;
    i64 year = c - 19;
    if (year < 1) year = 1;
    while (NewYearNumber(year) < n) ++year;
    if (NewYearNumber(year) > n) --year;

    const bool leap = IsLeap(year);
    const int length = YearLength(year);
    const int months = leap ? 13 : 12;
    i64 start = NewYearNumber(year);
    int month = 1;
    for (; month < months; ++month) {
        const i64 next = start + MonthLength(leap, length, month);
        if (next > n) break;
        start = next;
    }
    return {static_cast<std::int32_t>(year), month, static_cast<std::int32_t>(n - start + 1)};
}

std::string_view JewishMonthName(int year, int month) {
    if (IsLeap(year)) return month >= 1 && month <= 13 ? kLeapNames[month - 1] : std::string_view{};
    return month >= 1 && month <= 12 ? kCommonNames[month - 1] : std::string_view{};
}

}  // namespace yorbel::calendar
