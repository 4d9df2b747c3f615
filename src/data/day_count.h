// The day calculator: the days between two dates, both included, the days of counted
// weekdays among them, the dates on which events of counted groups fall, and the two
// combined as the chosen mode says.
//
// Event dates come from the same rule-date operations as the year view, and a day counts
// as an event date exactly when the year view of its year shows an event on it, so the
// calculator, the event list and the year view agree on every date.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "calendar/dates.h"
#include "data/occurrences.h"
#include "data/rule_dates.h"
#include "data/table.h"

namespace yorbel::data {

enum class CountMode {
    Or,      // days with a counted weekday or a counted event
    And,     // days with a counted weekday and a counted event
    AndNot,  // days with a counted weekday and no counted event
};

struct DayCountRequest {
    calendar::CivilDate from;  // digits of the chosen calendar system
    calendar::CivilDate to;
    std::array<bool, 7> skipped_weekdays{};    // Sunday-based: [0] Sunday … [6] Saturday
    std::vector<std::int32_t> skipped_groups;  // events of these groups are not counted
    CountMode mode = CountMode::Or;
    bool gregorian = true;
};

struct DayCount {
    int total = 0;     // days from `from` to `to`, both included
    int weekdays = 0;  // of them, days whose weekday is not skipped
    // Distinct dates in the range with an event of a counted group, by Sunday-based weekday.
    std::array<int, 7> event_days{};
    int combined = 0;  // by the mode
    // Events whose rule is malformed; they were left out of the count.
    std::vector<SkippedEvent> skipped;
};

// Counts over the committed rows of the events table. An event counts unless its group
// number is skipped (an event without a group always counts). Refuses a date that does
// not exist in the calendar system ("CountBadDate") and a `from` after `to`
// ("CountFromAfterTo"). Reads only.
Checked<DayCount> CountDays(const Table& events, const DayCountRequest& request);

}  // namespace yorbel::data
