// One event as the windows read and change it: a value taken from the events table
// without moving its cursor, and the change a dialog hands back for the calendar's
// owner to write.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "data/rule_dates.h"
#include "data/rule_text.h"
#include "data/table.h"

namespace yorbel::data {

// A stored event, apart from its number, with its rule texts as they are (they may not
// parse).
struct EventValue {
    std::string name;
    std::optional<std::int32_t> group;
    RuleTexts rule;
};

// The event with that number; none when there is none. Reads committed rows only and
// leaves the cursor where it is.
std::optional<EventValue> EventOfKey(const Table& events, std::int32_t ev_no);

// What the event editor confirmed.
struct EventEdit {
    std::string name;
    // None: no group chosen; a new event gets none, an edited one keeps its number (a
    // group missing from the groups table is not lost).
    std::optional<std::int32_t> group;
    // None: the rule was left as loaded, so its stored texts stay exactly as they were
    // (a foreign or unreadable text is not normalised). Ev_to is written only by the
    // rules that use it.
    std::optional<Rule> rule;
};

// Writes the change into the event with that number, or into a new row without one,
// and posts it. False when no event has the number. Throws Error when the row cannot be
// posted; the row is then left unchanged.
bool StoreEvent(Table& events, std::optional<std::int32_t> ev_no, const EventEdit& edit);

}  // namespace yorbel::data
