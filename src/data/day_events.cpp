#include "data/day_events.h"

#include "data/occurrences.h"

namespace yorbel::data {

std::vector<DayEvent> ShownEventsOn(Table& ev_dates, std::string_view date_text) {
    std::vector<DayEvent> events;
    ev_dates.SetCurrentIndex("Ix_Ed_date");
    const std::string date(date_text);
    if (!ev_dates.GoToKey(Value{date})) return events;
    while (!ev_dates.Eof() && ev_dates.AsText(Ed_date) == date) {
        if (OccurrenceShown(ev_dates))
            events.push_back({ev_dates.AsInteger(Ed_ev_no), ev_dates.AsText(Ed_ev_name)});
        ev_dates.Next();
    }
    return events;
}

bool DeleteEvent(EventTables& tables, std::int32_t ev_no) {
    Table& events = tables.CdsEvents();
    events.SetCurrentIndex("Ix_Ev_no");
    if (!events.GoToKey(Value{ev_no})) return false;
    events.Delete();
    // Its occurrences go too, so nothing shows the event until the next generation.
    Table& dates = tables.CdsEvDates();
    dates.SetCurrentIndex("Ix_Ed_Ev_no");
    while (dates.GoToKey(Value{ev_no})) dates.Delete();
    dates.SetCurrentIndex("Ix_Ed_date");
    tables.SetModified();
    return true;
}

}  // namespace yorbel::data
