#include "data/day_events.h"

#include <variant>

namespace yorbel::data {

std::vector<DayEvent> ShownEventsOn(const Table& ev_dates, std::string_view date_text) {
    // Read by position, so the cursor that others rely on stays where it is.
    const auto date_at = [&ev_dates](int position) {
        Value date = ev_dates.ValueAt(position, Ed_date);
        auto* text = std::get_if<std::string>(&date);
        return text ? std::move(*text) : std::string();
    };
    const int count = ev_dates.RecordCount();
    // In date order the day's rows lie together and are found by halving; in any other
    // order every row is looked at.
    const bool by_date = ev_dates.CurrentIndex() == "Ix_Ed_date";
    int first = 0;
    if (by_date) {
        int last = count;
        while (first < last) {
            const int middle = first + (last - first) / 2;
            if (date_at(middle) < date_text) {
                first = middle + 1;
            } else {
                last = middle;
            }
        }
    }
    std::vector<DayEvent> events;
    for (int position = first; position < count; ++position) {
        if (date_at(position) != date_text) {
            if (by_date) break;
            continue;
        }
        const Value shown = ev_dates.ValueAt(position, Ed_show);
        if (const auto* flag = std::get_if<std::int32_t>(&shown); !flag || *flag != 1) continue;
        const Value number = ev_dates.ValueAt(position, Ed_ev_no);
        const Value name = ev_dates.ValueAt(position, Ed_ev_name);
        const auto* ev_no = std::get_if<std::int32_t>(&number);
        const auto* text = std::get_if<std::string>(&name);
        events.push_back({ev_no ? *ev_no : 0, text ? *text : std::string()});
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
