// Readable gtest output for the calendar value types.
#pragma once

#include <ostream>

#include "calendar/dates.h"
#include "calendar/jewish.h"

namespace yorbel::calendar {

inline void PrintTo(const CivilDate& d, std::ostream* os) {
    *os << d.year << "-" << d.month << "-" << d.day;
}
inline void PrintTo(Weekday w, std::ostream* os) {
    *os << NumberOf(w) << " (0 Sunday)";
}
inline void PrintTo(const JewishDate& d, std::ostream* os) {
    *os << d.day << "/" << d.month << "/" << d.year;
}

}  // namespace yorbel::calendar
