// Reading the events of an iCalendar (RFC 5545) file with libical, and deciding for each
// whether a rule of Yorbel holds it (ical_mapping.h) or its days are expanded. Folding,
// escapes, parameters, time zones and recurrences are libical's work; nothing of
// libical shows in this header.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/rule_dates.h"
#include "exchange/ical_mapping.h"

namespace yorbel::exchange {

// The clock a calendar's days are counted on: a named zone of the system's database,
// else (no name, or a name it does not know) the fixed offset.
struct CalendarZone {
    std::string name;
    double hours = 0;
};

struct IcsReadOptions {
    CalendarZone zone;
    bool gregorian = true;  // the calendar's system: rules and dates are stored in it
    IcsDays span;           // the days expanded events are expanded over
};

// One VEVENT as read, with what becomes of it.
struct IcsEvent {
    enum class Fate {
        Mapped,    // `rule` says the same as the event
        Expanded,  // `occurrences` are its days within the span (maybe none)
        NoDate,    // no usable start date: nothing of it is taken
    };
    Fate fate = Fate::NoDate;
    int line = 0;  // of its BEGIN:VEVENT
    std::string uid;
    std::string summary;
    std::vector<std::string> categories;
    std::optional<data::Rule> rule;
    std::vector<IcsDays> occurrences;  // in day order
    // The expansion stopped at its limit of steps; `occurrences` end early.
    bool expansion_cut = false;
};

// Whether the text is meant as iCalendar: its first line that is not blank is
// BEGIN:VCALENDAR. The line number of that line is stored in *first_line (1-based).
bool IsICalendarText(std::string_view text, int* first_line = nullptr);

// Throws data::Error "IcsNotICalendar" (with `file` and the line) unless
// IsICalendarText.
void CheckICalendarText(std::string_view text, const std::string& file);

// Whether the file's name ends in ".ics" (in any case).
bool HasICalendarExtension(const std::filesystem::path& file);

// The events of every VCALENDAR of the (UTF-8) text, in file order. A single occurrence
// moved or cancelled by a VEVENT with RECURRENCE-ID belongs to its recurring event and is
// no event of its own. Throws data::Error "IcsNotICalendar" (with `file` and the line)
// when the text is not iCalendar, "IcsIncomplete" when its calendar does not end,
// "IcsDamaged" when an event of it cannot be read at all.
std::vector<IcsEvent> ReadIcsEvents(const std::string& text, const IcsReadOptions& options,
                                    const std::string& file);

}  // namespace yorbel::exchange
