// The events of a day for `yorbel-cli day`: the names of the day's occurrences of shown
// groups, in date-index order.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calendar/dates.h"

namespace yorbel::cli {

using EventNames = std::function<std::vector<std::string>(const calendar::CivilDate&)>;

struct EventSource {
    std::optional<std::string> calendar_file;  // --calendar
    std::optional<std::string> groups_file;    // --groups
    bool gregorian = true;
};

// Without a calendar file every day has no events. Throws Failure when the files cannot
// be read.
EventNames OpenEventNames(const EventSource& source);

}  // namespace yorbel::cli
