#include "cli/day_events.h"

#include "cli/args.h"

namespace yorbel::cli {

EventNames OpenEventNames(const EventSource& source) {
    if (!source.calendar_file) {
        return [](const calendar::CivilDate&) { return std::vector<std::string>{}; };
    }
    // Reading the calendar file and expanding its rules into occurrences belongs to the
    // data layer; until it is linked in, refuse rather than report a day without events.
    throw Failure("--calendar: reading calendar files is not available in this build");
}

}  // namespace yorbel::cli
