#include "tools/event_commands.h"

#include <algorithm>

#include "app/qt/app_context.h"
#include "data/error.h"
#include "data/events.h"
#include "data/occurrences.h"
#include "tools/event_editor.h"
#include "yearview/year_window_link.h"

namespace yorbel::gui {

namespace cal = yorbel::calendar;

std::optional<cal::CivilDate> MarkedDate(const YearWindowLink& year) {
    const int day = year.SelectedDay();
    const int month = year.SelectedMonth();
    if (day <= 0 || month < 0 || month > 11) return std::nullopt;
    const int shown = year.ShownYear();
    return cal::CivilDate{std::min(day, cal::DaysInMonth(shown, month + 1, year.Gregorian())),
                          month + 1, shown};
}

bool RunNewEvent(YearWindowLink& year) {
    const cal::CivilDate date = MarkedDate(year).value_or(cal::CivilDate{1, 1, year.ShownYear()});
    bool added = false;
    try {
        TFrmEvent editor(year.Widget(), year.Context(), year.Calendar().CdsEvents(),
                         year.Gregorian(), false, date);
        added = editor.exec() == QDialog::Accepted;
    } catch (const data::Error& error) {
        year.Context().Ui->Tell(year.Widget(), QMessageBox::Critical, QString(),
                                ErrorMessage(year.Context(), error));
    }
    if (added) year.SetModified();
    year.ShowYear(year.ShownYear());
    return added;
}

bool RunEditEvent(YearWindowLink& year) {
    const std::optional<cal::CivilDate> date = MarkedDate(year);
    if (!date) return false;
    const std::optional<std::int32_t> ev_no =
        data::FirstEventOn(year.Calendar().CdsEvDates(), cal::DateText(*date));
    if (!ev_no) return false;
    return RunEditEventByKey(year, *ev_no, *date);
}

bool RunEditEventByKey(YearWindowLink& year, int ev_no, const cal::CivilDate& default_date) {
    bool changed = false;
    try {
        data::Table& events = year.Calendar().CdsEvents();
        events.SetCurrentIndex("Ix_Ev_no");
        if (!events.GoToKey(data::Value{std::int32_t{ev_no}})) return false;
        TFrmEvent editor(year.Widget(), year.Context(), events, year.Gregorian(), true,
                         default_date);
        changed = editor.exec() == QDialog::Accepted;
    } catch (const data::Error& error) {
        year.Context().Ui->Tell(year.Widget(), QMessageBox::Critical, QString(),
                                ErrorMessage(year.Context(), error));
    }
    if (!changed) return false;
    year.SetModified();
    year.ShowYear(year.ShownYear());
    return true;
}

QString ErrorMessage(const AppContext& context, const data::Error& error) {
    if (!context.Language.Has("Errors", error.Key())) return QString::fromStdString(error.what());
    return QString::fromStdString(error.Format(context.Language.Text("Errors", error.Key())));
}

}  // namespace yorbel::gui
