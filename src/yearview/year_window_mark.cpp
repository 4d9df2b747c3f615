// The year window's mark and inspector: the marked day, moved by mouse and keys, the
// tool windows that follow it, and the hovered day's frame with its hint.
#include <QApplication>
#include <QContextMenuEvent>
#include <QDate>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStringList>
#include <algorithm>

#include "calendar/dayfacts.h"
#include "data/day_events.h"
#include "tools/day_calculator.h"
#include "tools/day_sheet.h"
#include "tools/event_list.h"
#include "ui/app_context.h"
#include "ui/day_facts_text.h"
#include "ui/tool_placement.h"
#include "yearview/inspector_hint.h"
#include "yearview/year_window.h"

namespace yorbel::gui {

namespace cal = yorbel::calendar;

void YearWindow::SelectDay(int month, int day) {
    RedrawCell(selectedMonth_, selectedDay_, CellState::Normal);
    RedrawCell(month, day, CellState::Marked);
    selectedMonth_ = month;
    selectedDay_ = day;
    if (daySheet_) daySheet_->ShowDate(cal::CivilDate{day, month, shownYear_});
}

void YearWindow::ShowDaySheet() {
    const cal::CivilDate date = MarkedDate().value_or(cal::CivilDate{1, 1, shownYear_});
    if (daySheet_) {
        daySheet_->ShowDate(date);
    } else {
        daySheet_ = new DaySheet(*this, date);
    }
    daySheet_->show();
    daySheet_->raise();
    KeepToolWindowsOffGrid();
}

DaySheet* YearWindow::CurrentDaySheet() const {
    return daySheet_.data();
}

void YearWindow::ShowEventList() {
    if (eventList_) {
        eventList_->show();
        eventList_->raise();
        KeepToolWindowsOffGrid();
        return;
    }
    // A new list has no place of its own yet: beside the grid, clear of the day sheet.
    eventList_ = new EventListWindow(*this);
    eventList_->show();
    std::vector<QRect> others;
    if (daySheet_ && daySheet_->isVisible()) others.push_back(daySheet_->frameGeometry());
    PlaceToolWindow(*eventList_, *this, others);
}

EventListWindow* YearWindow::CurrentEventList() const {
    return eventList_.data();
}

void YearWindow::ShowDayCalculator() {
    DayCalculatorDialog calculator(*this);
    calculator.exec();
}

// A hidden list stays hidden until the user asks for it again.
void YearWindow::HideToolWindows() {
    if (daySheet_) daySheet_->hide();
    if (eventList_) eventList_->hide();
}

// A sheet coming back with its window may find the grid moved under it; one that stayed
// shown stays where the user keeps it.
void YearWindow::ShowToolWindows() {
    if (!daySheet_ || !daySheet_->isHidden()) return;
    daySheet_->show();
    KeepToolWindowsOffGrid();
}

// The sheet first, so the list goes beside the grid and clear of the sheet.
void YearWindow::KeepToolWindowsOffGrid() {
    std::vector<QRect> placed;
    for (QWidget* tool :
         {static_cast<QWidget*>(daySheet_.data()), static_cast<QWidget*>(eventList_.data())}) {
        if (!tool || tool->isHidden()) continue;
        KeepToolWindowOffGrid(*tool, *this, placed);
        placed.push_back(tool->frameGeometry());
    }
}

QWidget* YearWindow::DialogParent() {
    const QWidget* active = QApplication::activeWindow();
    if (active && active == daySheet_.data()) return daySheet_.data();
    if (active && active == eventList_.data()) return eventList_.data();
    return this;
}

void YearWindow::ClearHover() {
    const int month = hoverMonth_;
    const int day = hoverDay_;
    hoverMonth_ = 0;
    hoverDay_ = 0;
    RedrawCell(month, day, CellState::Normal);
}

void YearWindow::SetInspectMode(bool on) {
    if (on) {
        RedrawCell(selectedMonth_, selectedDay_, CellState::Normal);
        selectedDay_ = 0;
        selectedMonth_ = 0;
    } else {
        ClearHover();
        hint_->hide();
    }
    const bool changed = inspectMode_ != on;
    inspectMode_ = on;
    if (changed) emit inspectModeChanged(on);
}

void YearWindow::ShowToday() {
    const QDate today = QDate::currentDate();
    SetInspectMode(false);
    SelectDay(today.month(), today.day());
    if (today.year() != shownYear_) ShowYear(today.year());
    emit yearShown(shownYear_);
}

void YearWindow::MoveMark(int days) {
    // Without a mark, keys start from 1 January; a marked day the shown year lacks
    // (29 February) counts as the month's last day.
    cal::CivilDate from{1, 1, shownYear_};
    if (selectedDay_ > 0) {
        from = {
            std::min(selectedDay_, cal::DaysInMonth(shownYear_, selectedMonth_, style_.Gregorian)),
            selectedMonth_, shownYear_};
    }
    const cal::CivilDate to = cal::DateOfDayNumber(
        cal::DayNumberOf(from, style_.Gregorian) + (selectedDay_ > 0 ? days : 0), style_.Gregorian);
    if (to.year < cal::kMinYear || to.year > cal::kMaxYear) return;
    SetInspectMode(false);
    if (to.year != shownYear_) {
        selectedMonth_ = to.month;
        selectedDay_ = to.day;
        ShowYear(to.year);
    } else {
        SelectDay(to.month, to.day);
    }
}

void YearWindow::mousePressEvent(QMouseEvent* event) {
    setFocus();
    const std::optional<HitDay> hit = HitTest(event->position().toPoint());
    if (!hit) return;
    SetInspectMode(false);
    SelectDay(hit->Month, hit->Day);
}

void YearWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    if (iInfoWin_->isEnabled()) iInfoWin_->trigger();
}

void YearWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!inspectMode_) return;
    const QPoint point = event->position().toPoint();
    const std::optional<HitDay> hit = HitTest(point);
    if (!hit) {
        hint_->hide();
        ClearHover();
        return;
    }
    const bool marked = hit->Month == selectedMonth_ && hit->Day == selectedDay_;
    const bool framed = hit->Month == hoverMonth_ && hit->Day == hoverDay_;
    if (daySheet_ && !framed) daySheet_->ShowDate(cal::CivilDate{hit->Day, hit->Month, shownYear_});
    PlaceHint(point, *hit);
    if (marked || framed) return;
    ClearHover();
    RedrawCell(hit->Month, hit->Day, CellState::Frame);
    hoverMonth_ = hit->Month;
    hoverDay_ = hit->Day;
}

void YearWindow::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (!inspectMode_) return;
    hint_->hide();
    ClearHover();
}

void YearWindow::PlaceHint(QPoint point, const HitDay& hit) {
    // With a day sheet open, the sheet shows the facts instead.
    if (daySheet_) {
        hint_->hide();
        return;
    }
    const bool marked = hit.Month == selectedMonth_ && hit.Day == selectedDay_;
    const bool framed = hit.Month == hoverMonth_ && hit.Day == hoverDay_;
    if (!(marked || framed) || hint_->isHidden()) {
        const cal::CivilDate date{hit.Day, hit.Month, shownYear_};
        const app::Settings& s = context_.Settings;
        const cal::Reckoning reckoning{style_.Gregorian, style_.WeekOneRule, style_.WeekStart};
        const cal::Place place = app::PlaceOf(s);
        QStringList events;
        for (const data::DayEvent& event :
             data::ShownEventsOn(calendar_->CdsEvDates(), cal::DateText(date)))
            events << QString::fromStdString(event.name);
        hint_->SetDay(FormatDayFacts(cal::DayFactsOf(date, reckoning, place), place,
                                     context_.Language, NamesLocale(s)),
                      events);
    }
    hint_->ShowBeside(point);
}

QString YearWindow::HintText() const {
    return hint_->Text();
}

bool YearWindow::HintVisible() const {
    return hint_->isVisible();
}

void YearWindow::contextMenuEvent(QContextMenuEvent* event) {
    iInspect_->setChecked(inspectMode_);
    pmYear_->popup(event->globalPos());
}

void YearWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            MoveMark(-1);
            break;
        case Qt::Key_Right:
            MoveMark(+1);
            break;
        case Qt::Key_Up:
            MoveMark(-7);
            break;
        case Qt::Key_Down:
            MoveMark(+7);
            break;
        case Qt::Key_PageUp:
            ShowYear(shownYear_ - 1);
            break;
        case Qt::Key_PageDown:
            ShowYear(shownYear_ + 1);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (iInfoWin_->isEnabled()) iInfoWin_->trigger();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

}  // namespace yorbel::gui
