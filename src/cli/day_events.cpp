#include "cli/day_events.h"

#include <iostream>
#include <memory>

#include "cli/args.h"
#include "cli/calendar_source.h"
#include "data/occurrences.h"

namespace yorbel::cli {

EventNames OpenEventNames(const EventSource& source) {
    if (!source.calendar_file) {
        return [](const calendar::CivilDate&) { return std::vector<std::string>{}; };
    }
    auto calendar =
        std::make_shared<CalendarSource>(*source.calendar_file, source.groups_file, std::cerr);
    const bool gregorian = source.gregorian;
    return [calendar, gregorian](const calendar::CivilDate& date) {
        data::Table& dates = calendar->Occurrences(date.year, gregorian);
        const std::string text = calendar::DateText(date);
        std::vector<std::string> names;
        if (!dates.GoToKey(data::Value{text})) return names;
        // Equal dates follow one another in the date index, in generation order.
        for (; !dates.Eof() && dates.AsText(data::Ed_date) == text; dates.Next())
            if (data::OccurrenceShown(dates)) names.push_back(dates.AsText(data::Ed_ev_name));
        return names;
    };
}

}  // namespace yorbel::cli
