// A calendar's occurrences of one year as iCalendar (RFC 5545) text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/events.h"
#include "data/groups.h"
#include "exchange/icalendar_writer.h"

namespace yorbel::exchange {

// The all-day events for the occurrences in calendar.CdsEvDates(), which must hold the
// occurrences of `year`: one event per occurrence of a single-day event, one spanning
// event per run of consecutive days of a period, only for shown groups, only for dates
// in `year` (a rule may put a date into a neighbouring year; that year's export has it).
// Dates are converted to the Gregorian calendar when `gregorian` is false. SUMMARY is
// the event's name, CATEGORIES its group's name. UIDs are built from the event number,
// the first day and `calendar_name`, so exporting the same calendar again gives the
// same UIDs. Events come in the occurrence table's current order (date order).
std::vector<AllDayEvent> CollectAllDayEvents(data::EventTables& calendar, data::Groups& groups,
                                             int year, bool gregorian,
                                             std::string_view calendar_name);

// WriteICalendar of CollectAllDayEvents.
std::string ExportICalendar(data::EventTables& calendar, data::Groups& groups, int year,
                            bool gregorian, std::string_view calendar_name);

}  // namespace yorbel::exchange
