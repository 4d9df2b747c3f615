// Writing iCalendar (RFC 5545) text: all-day events only.
//
// Output is UTF-8 with CRLF line ends, content lines folded at 75 octets without
// splitting a character, and TEXT values escaped, so any conforming reader takes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/dates.h"

namespace yorbel::exchange {

// One all-day VEVENT. Dates are Gregorian, as iCalendar requires.
struct AllDayEvent {
    std::string uid;
    std::string summary;
    std::string category;  // empty: no CATEGORIES property
    calendar::CivilDate first;
    calendar::CivilDate end;  // the day after the last day (DTEND is exclusive)
};

// A TEXT value with backslash, semicolon, comma and line breaks escaped. Other control
// characters cannot appear in iCalendar text and are left out.
std::string EscapeIcsText(std::string_view text);

// Appends one content line, folded so that no physical line exceeds 75 octets, each
// ended with CRLF.
void AppendContentLine(std::string& out, std::string_view line);

// A UTC date-time "YYYYMMDDTHHMMSSZ" for seconds since 1970-01-01 00:00 UTC.
std::string IcsStamp(std::int64_t seconds);

// The DTSTAMP of an export: the time of export, or SOURCE_DATE_EPOCH when it is set, so
// that exporting the same calendar twice can give the same bytes.
std::string ExportStamp();

// A complete VCALENDAR holding the events in the order given, each stamped `stamp`.
std::string WriteICalendar(const std::vector<AllDayEvent>& events, std::string_view stamp);

}  // namespace yorbel::exchange
