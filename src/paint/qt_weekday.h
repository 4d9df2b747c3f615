// The one place where our weekdays meet Qt's numbering (1 Monday … 7 Sunday), for the
// locale's weekday names.
#pragma once

#include "calendar/dates.h"

namespace yorbel::gui {

constexpr int QtDayOf(calendar::Weekday weekday) {
    return weekday == calendar::Weekday::Sunday ? 7 : calendar::NumberOf(weekday);
}

}  // namespace yorbel::gui
