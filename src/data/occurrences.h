// The occurrences of a calendar's events in one civil year, and the questions the year
// view asks of them: the colour of a day, the first event on it, and which groups colour
// the year.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/error.h"
#include "data/events.h"

namespace yorbel::data {

// An event whose rule could not be expanded; the other events were generated.
struct SkippedEvent {
    std::int32_t ev_no = 0;
    std::string name;
    Error reason;
};

// Rebuilds CdsEvDates with every occurrence of every event in the year: events in Ev_no
// order (a pending event row is committed first), each event's dates in date order, for
// shown and hidden groups alike. Each row holds Ed_ev_no, Ed_gp_no and Ed_date. Events
// with a malformed rule are skipped and returned, so the caller can name them once.
std::vector<SkippedEvent> GenerateOccurrences(EventTables& tables, int year, bool gregorian);

// Gp_color of the first occurrence on the date (date-index order) whose group is shown,
// or default_color. Occurrences whose group has no row count as not shown. Reads the
// groups live, so hiding a group or changing its colour needs no regeneration. Neither
// this nor FirstEventOn moves the table's cursor.
std::int32_t DayColor(const Table& ev_dates, std::string_view date_text,
                      std::int32_t default_color);

// A group that gives at least one day of the year its colour, with that colour.
struct ColoringGroup {
    std::int32_t group_no = 0;
    std::int32_t color = 0;
    bool operator==(const ColoringGroup&) const = default;
};

// The groups whose colour DayColor gives to some day, by group number: what a legend of
// the painted year has to explain. A shown group whose every day is taken by an earlier
// occurrence paints nothing and is left out. Does not move the table's cursor.
std::vector<ColoringGroup> GroupsColoringDays(const Table& ev_dates);

// Ed_ev_no of the first occurrence on the date, of any group; none without one.
std::optional<std::int32_t> FirstEventOn(const Table& ev_dates, std::string_view date_text);

// Whether the current occurrence row's group is shown (Ed_show is 1).
bool OccurrenceShown(const Table& ev_dates);
// The same for a row found by a const query.
bool OccurrenceShown(const Table& ev_dates, Table::RowId row);

}  // namespace yorbel::data
