// A year window without a window: the calendar tables, the settings copies and the marked
// day, with the event commands of the real year window. Tool windows are tested on it.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "calendar/dates.h"
#include "data/events.h"
#include "yearview/year_window_link.h"

namespace yorbel::gui {
class TFrmEvent;
}

namespace yorbel::test {

// Runs act on the event editor that the next modal call opens; act closes it.
void OnNextEditor(std::function<void(gui::TFrmEvent&)> act);

class LinkDouble : public gui::YearWindowLink {
  public:
    LinkDouble(gui::AppContext& context, int year);

    data::EventTables& Calendar() override { return tables_; }
    const gui::AppContext& Context() const override { return context_; }
    QWidget* Widget() override { return &widget_; }
    bool Gregorian() const override { return gregorian_; }
    int WeekStart() const override;
    int WeekOneRule() const override;
    int ShownYear() const override { return year_; }
    bool ShowYear(int year) override;
    void SetModified() override { tables_.SetModified(); }
    int SelectedMonth() const override { return month_; }
    int SelectedDay() const override { return day_; }
    void DeleteEventByKey(int ev_no) override;
    bool NewEvent() override;
    bool EditEvent() override;
    bool EditEventByKey(int ev_no, const calendar::CivilDate& default_date) override;

    void SetGregorian(bool gregorian) { gregorian_ = gregorian; }
    void Mark(int month_index, int day) {
        month_ = month_index;
        day_ = day;
    }
    int ShowCount() const { return shows_; }
    // Dates ("yyyymmdd") of the event's occurrences in the shown year, in table order.
    std::vector<std::string> DatesOf(int ev_no);

  private:
    gui::AppContext& context_;
    data::EventTables tables_;
    QWidget widget_;
    bool gregorian_ = true;
    int year_;
    int month_ = 0;
    int day_ = 0;
    int shows_ = 0;
};

}  // namespace yorbel::test
