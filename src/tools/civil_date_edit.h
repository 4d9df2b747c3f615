// A date editor that holds a CivilDate of the chosen calendar system: day, month and year
// spin boxes plus a button that drops down a month calendar in the same system. Unlike a
// QDateEdit (proleptic Gregorian only) it can hold every Julian-system date, such as
// 29 February 1900.
#pragma once

#include <QWidget>

#include "calendar/dates.h"

class QSpinBox;
class QToolButton;

namespace yorbel::gui {

class CivilDateEdit : public QWidget {
    Q_OBJECT

  public:
    explicit CivilDateEdit(QWidget* parent = nullptr);

    // Switching the system keeps the digits; a day the new system lacks (29 February
    // 1900 becoming Gregorian) is moved back to the month's last day.
    void SetGregorian(bool gregorian);
    bool Gregorian() const { return gregorian_; }

    // Years are kept within 1–9999 and days within the month's length.
    void SetDate(const calendar::CivilDate& date);
    calendar::CivilDate Date() const;

    // The spin boxes, for tests and for keyboard focus order.
    QSpinBox* DayBox() const { return day_; }
    QSpinBox* MonthBox() const { return month_; }
    QSpinBox* YearBox() const { return year_; }
    QToolButton* PopupButton() const { return popup_; }

    Q_SIGNAL void dateChanged();

  private:
    void FitDayRange();
    void ShowPopup();

    bool gregorian_ = true;
    bool updating_ = false;
    QSpinBox* day_;
    QSpinBox* month_;
    QSpinBox* year_;
    QToolButton* popup_;
};

}  // namespace yorbel::gui
