// Rows of a calendar's events table, written the way the event editor fills them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "data/events.h"

namespace yorbel::data::testing {

// Appends an event and leaves it pending, so the caller decides when it is posted. An
// empty `to` and no group leave those fields empty.
inline void AppendEvent(Table& events, const std::string& name, int type, int repeat,
                        const std::string& from, const std::string& to = "",
                        std::optional<std::int32_t> group = std::nullopt) {
    events.Append();
    events.SetText(Ev_name, name);
    events.SetInteger(Ev_Type, type);
    events.SetInteger(Ev_repeat, repeat);
    events.SetText(Ev_from, from);
    if (!to.empty()) events.SetText(Ev_to, to);
    if (group) events.SetInteger(Ev_gp_no, *group);
}

}  // namespace yorbel::data::testing
