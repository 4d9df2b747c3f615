// DaySheet: the day sheet, a small tool window of one year window, kept above it, that
// shows everything known about one date (weekday, day and week counts, day number, Jewish
// date, sun and moon) and the events of shown groups on it. Its popup menu creates, edits
// and deletes events through the year window.
#pragma once

#include <QWidget>

#include "calendar/dates.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;

namespace yorbel::gui {

struct AppContext;
class YearWindowLink;

class DaySheet : public QWidget {
    Q_OBJECT

  public:
    // A sheet for the year window, placed where the last one was closed (DayViewX,
    // DayViewY), showing the date. It lives as a child of the year window's widget.
    DaySheet(YearWindowLink& year, const calendar::CivilDate& date);
    ~DaySheet() override;

    // Recomputes every line for the date (a day beyond the month's end is taken as its
    // last day).
    void ShowDate(const calendar::CivilDate& date);
    const calendar::CivilDate& Date() const { return date_; }

    // The popup menu's commands, also run by the menu items: a new event on the date,
    // and edit or delete of the event on the selected line (nothing without one).
    void NewEvent();
    void EditSelectedEvent();
    void DeleteSelectedEvent();
    // The texts of the current language file (again after a language change).
    void ApplyTexts();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void DrawIcons();
    void StorePosition();
    int SelectedEvent() const;  // -1 without a selected line

    YearWindowLink& year_;
    // Kept apart from the year window: the sheet may outlive that window's own part
    // while both are destroyed, and still stores its position.
    const AppContext& context_;
    calendar::CivilDate date_;

    QLabel* dayLabel_;
    QLabel* dayCountLabel_;
    QLabel* weekCountLabel_;
    QLabel* julianDayLabel_;
    QLabel* jewishDateLabel_;
    QLabel* sunIcon_;
    QLabel* sunLabel_;
    QLabel* moonIcon_;
    QLabel* moonLabel_;
    QLabel* zoneLabel_;       // whose clock the times are on
    QListWidget* eventList_;  // each line carries its event number
    QMenu* eventMenu_;
    QAction* newAction_;
    QAction* editAction_;
    QAction* deleteAction_;
};

}  // namespace yorbel::gui
