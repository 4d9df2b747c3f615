// TFrmDayInfo: the day sheet, a small always-on-top tool window of one year window that
// shows everything known about one date (weekday, day and week counts, day number, Jewish
// date, sun and moon) and the events of shown groups on it. Its popup menu creates, edits
// and deletes events through the year window.
#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

#include "calendar/dates.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;

namespace yorbel::gui {

struct AppContext;
class YearWindowLink;

class TFrmDayInfo : public QWidget {
    Q_OBJECT

  public:
    // A sheet for the year window, placed where the last one was closed (DayViewX,
    // DayViewY), showing the date. It lives as a child of the year window's widget.
    TFrmDayInfo(YearWindowLink& year, const calendar::CivilDate& date);
    ~TFrmDayInfo() override;

    // Recomputes every line for the date (a day beyond the month's end is taken as its
    // last day).
    void ShowDate(const calendar::CivilDate& date);
    const calendar::CivilDate& Date() const { return date_; }

    // The event numbers behind the list's lines, line by line.
    const std::vector<std::int32_t>& EventNumbers() const { return numbers_; }

    // The popup menu's commands, also run by the menu items.
    void iNewClick();
    void iEditClick();
    void iDeleteClick();

    QLabel* lbDay() const { return lbDay_; }
    QLabel* lbDays() const { return lbDays_; }
    QLabel* lbWeeks() const { return lbWeeks_; }
    QLabel* lbJD() const { return lbJD_; }
    QLabel* lbJw() const { return lbJw_; }
    QLabel* lbSaSu() const { return lbSaSu_; }
    QLabel* lbMaMu() const { return lbMaMu_; }
    QListWidget* lbEvNames() const { return lbEvNames_; }
    QMenu* pmEdit() const { return pmEdit_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void ApplyTexts();
    void DrawIcons();
    void StorePosition();
    int SelectedEvent() const;  // -1 without a selected line

    YearWindowLink& year_;
    // Kept apart from the year window: the sheet may outlive that window's own part
    // while both are destroyed, and still stores its position.
    const AppContext& context_;
    calendar::CivilDate date_;
    std::vector<std::int32_t> numbers_;

    QLabel* lbDay_;
    QLabel* lbDays_;
    QLabel* lbWeeks_;
    QLabel* lbJD_;
    QLabel* lbJw_;
    QLabel* sunIcon_;
    QLabel* lbSaSu_;
    QLabel* moonIcon_;
    QLabel* lbMaMu_;
    QListWidget* lbEvNames_;
    QMenu* pmEdit_;
    QAction* iNew_;
    QAction* iEdit_;
    QAction* iDelete_;
};

}  // namespace yorbel::gui
