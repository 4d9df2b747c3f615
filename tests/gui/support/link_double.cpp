#include "support/link_double.h"

#include <QApplication>
#include <QTimer>

#include "app/qt/app_context.h"
#include "app/settings.h"
#include "data/day_events.h"
#include "data/groups.h"
#include "data/occurrences.h"
#include "tools/event_commands.h"
#include "tools/event_editor.h"

namespace yorbel::test {

void OnNextEditor(std::function<void(gui::TFrmEvent&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* editor = qobject_cast<gui::TFrmEvent*>(top); editor && editor->isVisible()) {
                act(*editor);
                return;
            }
        }
    });
}

LinkDouble::LinkDouble(gui::AppContext& context, int year)
    : context_(context), tables_(context.Groups->CdsGroups()), year_(year) {
    tables_.OpenCalendar({});
}

int LinkDouble::WeekStart() const {
    return app::WeekStartDay(context_.Settings);
}
int LinkDouble::WeekOneRule() const {
    return app::WeekOneRule(context_.Settings);
}

bool LinkDouble::ShowYear(int year) {
    year_ = year;
    ++shows_;
    data::GenerateOccurrences(tables_, year, gregorian_);
    return true;
}

void LinkDouble::DeleteEventByKey(int ev_no) {
    if (data::DeleteEvent(tables_, ev_no)) ShowYear(year_);
}

bool LinkDouble::NewEvent() {
    return gui::RunNewEvent(*this);
}
bool LinkDouble::EditEvent() {
    return gui::RunEditEvent(*this);
}
bool LinkDouble::EditEventByKey(int ev_no, const calendar::CivilDate& default_date) {
    return gui::RunEditEventByKey(*this, ev_no, default_date);
}

std::vector<std::string> LinkDouble::DatesOf(int ev_no) {
    std::vector<std::string> dates;
    data::Table& rows = tables_.CdsEvDates();
    rows.SetCurrentIndex("");
    for (rows.First(); !rows.Eof(); rows.Next())
        if (rows.AsInteger(data::Ed_ev_no) == ev_no) dates.push_back(rows.AsText(data::Ed_date));
    rows.SetCurrentIndex("Ix_Ed_date");
    return dates;
}

}  // namespace yorbel::test
