// The events of one day as the inspector hint and the day sheet list them, and the
// deletion of an event from a calendar.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/events.h"

namespace yorbel::data {

struct DayEvent {
    std::int32_t ev_no = 0;
    std::string name;
};

// The occurrences on the date whose group is shown, in date-index order (the order of
// generation). Does not move the table's cursor.
std::vector<DayEvent> ShownEventsOn(const Table& ev_dates, std::string_view date_text);

// Removes the event with that number and its occurrences and marks the calendar modified.
// False when no event has the number.
bool DeleteEvent(EventTables& tables, std::int32_t ev_no);

}  // namespace yorbel::data
