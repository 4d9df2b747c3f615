#include "data/day_events.h"

#include <variant>

#include "data/index_names.h"
#include "data/occurrences.h"

namespace yorbel::data {

std::vector<DayEvent> ShownEventsOn(const Table& ev_dates, std::string_view date_text) {
    std::vector<DayEvent> events;
    for (const Table::RowId row : ev_dates.FindRows(kIxEdDate, Value{std::string(date_text)})) {
        if (!OccurrenceShown(ev_dates, row)) continue;
        const Value ev_no = ev_dates.ValueOf(row, Ed_ev_no);
        const auto* n = std::get_if<std::int32_t>(&ev_no);
        const Value name = ev_dates.ValueOf(row, Ed_ev_name);
        const auto* text = std::get_if<std::string>(&name);
        events.push_back({n ? *n : 0, text ? *text : std::string()});
    }
    return events;
}

bool DeleteEvent(EventTables& tables, std::int32_t ev_no) {
    Table& events = tables.CdsEvents();
    events.SetCurrentIndex(kIxEvNo);
    if (!events.GoToKey(Value{ev_no})) return false;
    events.Delete();
    // Its occurrences go too, so nothing shows the event until the next generation.
    Table& dates = tables.CdsEvDates();
    dates.SetCurrentIndex(kIxEdEvNo);
    while (dates.GoToKey(Value{ev_no})) dates.Delete();
    dates.SetCurrentIndex(kIxEdDate);
    tables.SetModified();
    return true;
}

}  // namespace yorbel::data
