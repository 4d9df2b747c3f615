#include "support/year_for_tools.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "data/events.h"
#include "tools/event_editor.h"

namespace yorbel::test {

std::unique_ptr<gui::YearWindow> OpenYear(TestApp& app, int year, int day, int month) {
    app.Context().EventEditor = gui::OpenEventEditor;
    auto window = std::make_unique<gui::YearWindow>(app.Context(), year, false, 1, day, month,
                                                    app::CalendarLock{});
    window->resize(1000, 640);
    if (!window->OpenCalendar(QString(), nullptr)) return nullptr;
    window->show();
    return window;
}

void Mark(gui::YearWindow& year, int month_index, int day) {
    QTest::mouseClick(&year, Qt::LeftButton, {}, year.DayCellRect(month_index + 1, day).center());
}

void OnNextEditor(std::function<void(gui::EventEditor&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* editor = qobject_cast<gui::EventEditor*>(top);
                editor && editor->isVisible()) {
                act(*editor);
                return;
            }
        }
    });
}

std::vector<std::string> DatesOf(gui::YearWindow& year, int ev_no) {
    std::vector<std::string> dates;
    data::Table& rows = year.Calendar().CdsEvDates();
    rows.SetCurrentIndex("");
    for (rows.First(); !rows.Eof(); rows.Next())
        if (rows.AsInteger(data::Ed_ev_no) == ev_no) dates.push_back(rows.AsText(data::Ed_date));
    rows.SetCurrentIndex("Ix_Ed_date");
    return dates;
}

}  // namespace yorbel::test
