// The arithmetic Jewish calendar: molad of Tishri, the four postponements, and
// conversion to and from day numbers (which makes it independent of Julian or Gregorian
// reckoning on the civil side).
#pragma once

#include <cstdint>
#include <string_view>

#include "calendar/dates.h"

namespace yorbel::calendar {

// Year of the world, month counted from Tishri (1–12, or 1–13 in a leap year), day 1–30.
struct JewishDate {
    std::int32_t year = 1;
    std::int32_t month = 1;
    std::int32_t day = 1;
    friend bool operator==(const JewishDate&, const JewishDate&) = default;
};

// A year argument is made non-negative and 0 is taken as 1 by every operation.
bool JewishIsLeap(int year);
DayNumber JewishNewYear(int year);           // day number of 1 Tishri
int JewishYearLength(int year);              // 353–355 or 383–385
int JewishMonthLength(int year, int month);  // 29 or 30; 0 outside the year
DayNumber JewishToDayNumber(const JewishDate& date);
JewishDate DayNumberToJewish(DayNumber n);              // below 1 Tishri 1 gives 1 Tishri 1
std::string_view JewishMonthName(int year, int month);  // empty outside the year

}  // namespace yorbel::calendar
