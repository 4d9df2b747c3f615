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
class TFrmEvent;
}

namespace yorbel::test {

// An untitled calendar shown in the year with the day marked (month 1-12). Julian when
// the context's settings say so.
std::unique_ptr<gui::TFrmYear> OpenYear(TestApp& app, int year, int day, int month);

// Marks the day as a mouse press does (month index 0-11).
void Mark(gui::TFrmYear& year, int month_index, int day);

// Runs act on the event editor that the next modal call opens; act closes it.
void OnNextEditor(std::function<void(gui::TFrmEvent&)> act);

// Dates ("yyyymmdd") of the event's occurrences in the shown year, in generation order.
std::vector<std::string> DatesOf(gui::TFrmYear& year, int ev_no);

}  // namespace yorbel::test
