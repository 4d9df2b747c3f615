// The year window's event commands, which open the event editor: new event, edit event
// and edit event by key. The year window implements its link through these, and the day
// sheet and the list window reach them through the link.
#pragma once

#include <QString>
#include <optional>

#include "calendar/dates.h"

namespace yorbel::data {
class Error;
}

namespace yorbel::gui {

struct AppContext;
class YearWindowLink;

// The marked day in the shown year; none when no day is marked. A marked 29 February
// carried into a common year becomes 28 February.
std::optional<calendar::CivilDate> MarkedDate(const YearWindowLink& year);

// New event on the marked day (1 January of the shown year when none is marked); on OK
// the calendar is marked changed. The year is shown again whatever the outcome, which
// commits the editor's pending row. True when an event was added.
bool RunNewEvent(YearWindowLink& year);

// Edits the first event of the marked day (hidden groups included); nothing without a
// marked day or an event on it. True when the event was changed.
bool RunEditEvent(YearWindowLink& year);

// Edits the event with that number; on OK marks the calendar changed and shows the year
// again. False when no event has the number or the editor was cancelled.
bool RunEditEventByKey(YearWindowLink& year, int ev_no, const calendar::CivilDate& default_date);

// A core error in the interface's language (section "Errors"), English when the
// language file has no text for it.
QString ErrorMessage(const AppContext& context, const data::Error& error);

}  // namespace yorbel::gui
