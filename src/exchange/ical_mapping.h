// Which of Yorbel's own rules says the same as an iCalendar event.
//
// An imported calendar should stay a calendar of rules: an event whose days a rule kind
// of Yorbel gives exactly becomes that rule; anything else is expanded into single days
// over a span the user chooses. What a VEVENT says is read by ical_reader.h; this part
// only decides, so it knows nothing of the file format's library.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/dates.h"
#include "data/rule_dates.h"

namespace yorbel::exchange {

// The days an occurrence covers, both included, as day numbers (the same in either
// calendar system).
struct IcsDays {
    calendar::DayNumber first = 0;
    calendar::DayNumber last = 0;
    friend bool operator==(const IcsDays&, const IcsDays&) = default;
};

// A recurrence rule, as far as a rule of Yorbel could say the same.
struct IcsRepeat {
    bool yearly = false;  // FREQ=YEARLY (anything else is never mapped)
    int interval = 1;
    bool bounded = false;         // COUNT or UNTIL
    std::vector<int> months;      // BYMONTH, 1–12
    std::vector<int> month_days;  // BYMONTHDAY
    struct Day {
        calendar::Weekday weekday;
        int position = 0;  // 0: every such weekday; 1–5 or -1…-5: the n-th or n-th last
    };
    std::vector<Day> days;     // BYDAY
    bool other_parts = false;  // BYYEARDAY, BYWEEKNO, BYSETPOS, BYHOUR, RSCALE, ...
};

// The rule of an event that starts on `start` (Gregorian date in the calendar's zone)
// and repeats as `repeat` (none: once), or none when no rule kind gives exactly its days:
//   one day, no repeat                    -> once-only date
//   several days, no repeat               -> period
//   yearly on the start's day and month   -> yearly date (not 29 February, which an
//                                            iCalendar rule skips in common years)
//   yearly, BYMONTH=m, BYDAY=nWD, n 1–4 or -1, the start being such a day
//                                         -> n-th or last weekday of the month
// `exceptions`: the event has EXDATE, RDATE or moved single occurrences, which no rule
// holds. Yearly rules are taken over only for a Gregorian calendar: a Julian calendar's
// yearly date falls on other days.
std::optional<data::Rule> MapToRule(const IcsDays& days, const std::optional<IcsRepeat>& repeat,
                                    bool exceptions, bool gregorian);

// The rule of one expanded occurrence: a once-only date, or a period for several days.
data::Rule SingleOccurrenceRule(const IcsDays& days, bool gregorian);

// The name as stored: control characters (line breaks, tabs) become spaces, and a name
// longer than max_chars characters is cut at the last space that keeps it within them
// (in the middle of a word only when it has no space). Sets *shortened when it was cut.
std::string StoredName(std::string_view summary, std::size_t max_chars, bool* shortened);

}  // namespace yorbel::exchange
