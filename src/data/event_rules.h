// The rules of a calendar's events read by position, without moving the events table's
// cursor, for the computations that only look (the event list, the day count).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "data/occurrences.h"
#include "data/rule_dates.h"
#include "data/table.h"

namespace yorbel::data {

// The integer of a field value; none when it is null or no integer.
std::optional<std::int32_t> OptionalInteger(const Value& value);
// The text of a field value; empty when it is null or no text.
std::string TextOrEmpty(Value value);

// The rule of the committed event row at `position` of the events table's current order,
// read as the occurrence generator reads it (a null type or repeat counts as 0).
Checked<Rule> EventRuleAt(const Table& events, int position, bool gregorian);

// What an event with a malformed rule is reported with: the fault placed at its event.
SkippedEvent SkippedEventAt(const Table& events, int position, Error reason);

}  // namespace yorbel::data
