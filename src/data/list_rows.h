// The event list of a year: every event of a shown group with the dates on which it
// falls in the year, as rows a list window shows and the list export writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/occurrences.h"
#include "data/table.h"

namespace yorbel::data {

// One listed occurrence.
struct ListRow {
    std::int32_t ev_no = 0;  // Ev_no of the event
    std::int32_t gp_no = 0;  // its group, which is shown
    std::string from;        // "yyyymmdd": the day, or the first day of a period
    std::string to;          // "yyyymmdd": the last day of a period; empty for a single day
    std::string name;        // Ev_name
};

struct EventList {
    std::vector<ListRow> rows;
    // Events of shown groups whose rule is malformed; they are not listed.
    std::vector<SkippedEvent> skipped;
};

// The orders a list can be sorted in; rows with equal keys keep their order.
enum class ListOrder { From, To, Name };

// The rows of the year, sorted by ListOrder::From. Events are read in the events table's
// current order (committed rows only); an event is listed when its group is in `groups`
// with a non-zero Gp_show. A single-day rule gives a row per date the year view shows for
// it in the year (a Jewish date can give two); a period with days in the year gives one row
// with both its dates. Reads only.
EventList ListRowsOf(const Table& events, const Table& groups, int year, bool gregorian);

// Sorts by the order's key, comparing texts as the table store's indexes do (by bytes).
void SortListRows(std::vector<ListRow>& rows, ListOrder order);

}  // namespace yorbel::data
