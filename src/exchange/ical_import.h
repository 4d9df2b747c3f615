// Import of iCalendar files into a calendar's events table.
//
// Each VEVENT becomes the rule of Yorbel that says the same (ical_mapping.h), or, where
// no rule does, one once-only date (or period) per occurrence within a span of years the
// user chooses. SUMMARY gives the name, CATEGORIES the group of that name when the groups
// have one, else the chosen group; DESCRIPTION is not kept. The report lists, with the
// file's line and the UID, every event that was expanded, shortened or not imported.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/error.h"
#include "data/table.h"
#include "exchange/ical_reader.h"

namespace yorbel::exchange {

struct IcsImportOptions {
    std::optional<std::int32_t> group;  // for events no category places; none: no group
    int expand_from = 0;                // years of the calendar's system, both included
    int expand_to = 0;
    bool gregorian = true;
    CalendarZone zone;
};

struct IcsImportReport {
    int events = 0;          // VEVENTs read (moved single occurrences not counted)
    int mapped = 0;          // taken over as a rule
    int expanded = 0;        // expanded into single dates
    int expanded_dates = 0;  // the dates (or periods) they gave
    int skipped = 0;         // nothing of them imported
    int added = 0;           // rows added to the events table
    // One message per expanded, shortened or skipped event, in file order; each names
    // the file and the line of its BEGIN:VEVENT.
    std::vector<data::Error> notes;

    // "IcsSummary": the counts above as one message.
    data::Error Summary() const;
};

// Appends the events of the (UTF-8) text to the events table. `groups` is CdsGroups.
// Throws data::Error "IcsNotICalendar" for a text that is not iCalendar, leaving the
// table as it was; an event that cannot be imported leaves no row and is reported.
IcsImportReport ImportICalendarText(data::Table& events, const data::Table& groups,
                                    const std::string& text, const IcsImportOptions& options,
                                    const std::string& file = {});

// A file to import: its text decoded (text/text_encoding.h), and whether it is meant as
// iCalendar, by its first line or else by a name ending in .ics (which, when the content
// is no iCalendar, ImportICalendarText then reports as such rather than reading it as
// delimited text).
struct ImportSource {
    std::string text;
    bool icalendar = false;
};

// Reads a regular file; throws data::Error when it is none or cannot be read.
ImportSource ReadImportFile(const std::filesystem::path& path);

// The version of the iCalendar library the import was built with, for the about box.
std::string IcalLibraryVersion();

}  // namespace yorbel::exchange
