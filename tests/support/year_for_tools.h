// A year window for the tool-window tests: a new calendar with the event editor
// installed, and the means to drive the editor's modal run.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/test_app.h"
#include "yearview/year_window.h"

namespace yorbel::gui {
class EventEditor;
}

namespace yorbel::test {

// An untitled calendar shown in the year with the day marked (month 1-12). Julian when
// the context's settings say so.
std::unique_ptr<gui::YearWindow> OpenYear(TestApp& app, int year, int day, int month);

// Marks the day as a mouse press does (month index 0-11).
void Mark(gui::YearWindow& year, int month_index, int day);

// A window's control by its object name (also its language-file key); a missing one
// ends the test run.
template <class T>
T* Child(const QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QLatin1String(name));
    if (!child) qFatal("no control %s", name);
    return child;
}

// Runs act on the event editor that the next modal call opens; act closes it.
void OnNextEditor(std::function<void(gui::EventEditor&)> act);

// Dates ("yyyymmdd") of the event's occurrences in the shown year, in generation order.
std::vector<std::string> DatesOf(gui::YearWindow& year, int ev_no);

}  // namespace yorbel::test
