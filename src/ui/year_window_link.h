// What a tool window (event editor, day sheet, event list) may ask of the year window it
// belongs to: commands by event number and date, the facts of a day as values, and the
// window's copies of the settings. The year window implements it and alone writes its
// calendar; tool windows include only this header, so no include cycle runs between
// them and the year view, and no tool window moves a cursor of the calendar's tables.
#pragma once

#include <vector>

#include "calendar/dates.h"
#include "data/day_events.h"
#include "data/table.h"

class QWidget;

namespace yorbel::gui {

struct AppContext;

class YearWindowLink {
  public:
    virtual ~YearWindowLink() = default;

    // Language texts, settings, groups and dialogs of the run.
    virtual const AppContext& Context() const = 0;
    // The year window, the parent of its tool windows.
    virtual QWidget* Widget() = 0;
    // The parent of a modal dialog on this calendar: the tool window the user works in,
    // else the year window. The window system stacks a dialog above its parent, so one
    // opened from a tool window never opens beneath that tool window.
    virtual QWidget* DialogParent() = 0;

    // The year window's copies of the settings, taken when it was built and after the
    // options dialog.
    virtual bool Gregorian() const = 0;
    virtual calendar::Weekday WeekStart() const = 0;
    virtual calendar::WeekRule WeekOneRule() const = 0;
    virtual int ShownYear() const = 0;

    // The occurrences on the date whose group is shown, in the order the year window
    // lists them (the shown year's occurrences only).
    virtual std::vector<data::DayEvent> EventsOn(const calendar::CivilDate& date) const = 0;
    // The calendar's events, to read (the event list, the day calculator).
    virtual const data::Table& EventsTable() const = 0;

    // Each command below shows the year again afterwards and marks the calendar changed
    // when it changed it.
    // The event editor in new mode with the date preset. True when an event was added.
    virtual bool NewEventOn(const calendar::CivilDate& date) = 0;
    // The event editor in edit mode for the event with that number, the date preset in
    // the pickers its rule does not use. False when there is no such event or the editor
    // was cancelled.
    virtual bool EditEventByKey(int ev_no, const calendar::CivilDate& date) = 0;
    // Deletes the event and its occurrences. False when there is no such event.
    virtual bool DeleteEventByKey(int ev_no) = 0;
};

}  // namespace yorbel::gui
