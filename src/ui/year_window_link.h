// What a tool window (event editor, day sheet, event list) may ask of the year window it
// belongs to. The year window implements it; tool windows include only this header, so
// no include cycle runs between them and the year view.
#pragma once

#include "calendar/dates.h"

class QWidget;

namespace yorbel::data {
class EventTables;
}

namespace yorbel::gui {

struct AppContext;

class YearWindowLink {
  public:
    virtual ~YearWindowLink() = default;

    // The calendar the year window owns: its events and occurrences tables.
    virtual data::EventTables& Calendar() = 0;
    // Language texts, settings, groups and dialogs of the run.
    virtual const AppContext& Context() const = 0;
    // The year window as a parent for dialogs.
    virtual QWidget* Widget() = 0;

    // The year window's copies of the settings, taken when it was built and after the
    // options dialog.
    virtual bool Gregorian() const = 0;
    virtual calendar::Weekday WeekStart() const = 0;
    virtual calendar::WeekRule WeekOneRule() const = 0;

    virtual int ShownYear() const = 0;
    // Regenerates the occurrences of the year and repaints; the refresh after any change
    // of events. Years outside 1..9999 are refused (false).
    virtual bool ShowYear(int year) = 0;
    // Marks the calendar as changed since it was loaded or saved.
    virtual void SetModified() = 0;

    // The marked day (month index 0-11, day), or day 0 when none is marked.
    virtual int SelectedMonth() const = 0;
    virtual int SelectedDay() const = 0;

    // Deletes the event and its occurrences, marks the calendar changed and shows the
    // year again.
    virtual void DeleteEventByKey(int ev_no) = 0;

    // The event editor in new mode with the marked day preset; the year is shown again
    // whatever the outcome. True when an event was added.
    virtual bool NewEvent() = 0;
    // The event editor in edit mode for the first event of the marked day; nothing when
    // the day has none. True when the event was changed.
    virtual bool EditEvent() = 0;
    // The event editor in edit mode for the event with that number, default_date preset
    // in the pickers its rule does not use. False when there is no such event or the
    // editor was cancelled.
    virtual bool EditEventByKey(int ev_no, const calendar::CivilDate& default_date) = 0;
};

}  // namespace yorbel::gui
