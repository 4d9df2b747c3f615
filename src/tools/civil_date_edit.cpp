#include "tools/civil_date_edit.h"

#include <QCalendar>
#include <QCalendarWidget>
#include <QDate>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace yorbel::gui {

namespace cal = yorbel::calendar;

namespace {

constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

QSpinBox* MakeBox(QWidget* parent, const char* name, int low, int high) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(low, high);
    box->setAlignment(Qt::AlignRight);
    // Whole numbers only; the box refuses anything else as it is typed.
    box->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    return box;
}

QCalendar SystemCalendar(bool gregorian) {
    return QCalendar(gregorian ? QCalendar::System::Gregorian : QCalendar::System::Julian);
}

}  // namespace

CivilDateEdit::CivilDateEdit(QWidget* parent)
    : QWidget(parent),
      day_(MakeBox(this, "day", 1, 31)),
      month_(MakeBox(this, "month", 1, 12)),
      year_(MakeBox(this, "year", kFirstYear, kLastYear)),
      popup_(new QToolButton(this)) {
    popup_->setObjectName(QStringLiteral("popup"));
    popup_->setArrowType(Qt::DownArrow);
    popup_->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(day_);
    layout->addWidget(new QLabel(QStringLiteral("."), this));
    layout->addWidget(month_);
    layout->addWidget(new QLabel(QStringLiteral("."), this));
    layout->addWidget(year_);
    layout->addWidget(popup_);
    setFocusProxy(day_);
    setTabOrder(day_, month_);
    setTabOrder(month_, year_);

    auto changed = [this] {
        if (updating_) return;
        FitDayRange();
        emit dateChanged();
    };
    connect(day_, &QSpinBox::valueChanged, this, changed);
    connect(month_, &QSpinBox::valueChanged, this, changed);
    connect(year_, &QSpinBox::valueChanged, this, changed);
    connect(popup_, &QToolButton::clicked, this, &CivilDateEdit::ShowPopup);
}

void CivilDateEdit::SetGregorian(bool gregorian) {
    if (gregorian == gregorian_) return;
    gregorian_ = gregorian;
    FitDayRange();
}

void CivilDateEdit::SetDate(const cal::CivilDate& date) {
    const cal::CivilDate before = Date();
    {
        updating_ = true;
        const QSignalBlocker b1(day_), b2(month_), b3(year_);
        year_->setValue(std::clamp(date.year, kFirstYear, kLastYear));
        month_->setValue(std::clamp(date.month, 1, 12));
        day_->setMaximum(cal::DaysInMonth(year_->value(), month_->value(), gregorian_));
        day_->setValue(std::clamp(date.day, 1, day_->maximum()));
        updating_ = false;
    }
    if (Date() != before) emit dateChanged();
}

cal::CivilDate CivilDateEdit::Date() const {
    return cal::CivilDate{day_->value(), month_->value(), year_->value()};
}

void CivilDateEdit::FitDayRange() {
    // Lowering the maximum moves a day beyond the month's end back to its last day.
    day_->setMaximum(cal::DaysInMonth(year_->value(), month_->value(), gregorian_));
}

void CivilDateEdit::ShowPopup() {
    const QCalendar system = SystemCalendar(gregorian_);
    auto* frame = new QFrame(this, Qt::Popup);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* picker = new QCalendarWidget(frame);
    picker->setCalendar(system);
    // Its week numbers would follow neither the chosen system nor the week-1 rule.
    picker->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    picker->setDateRange(QDate(kFirstYear, 1, 1, system), QDate(kLastYear, 12, 31, system));
    const cal::CivilDate shown = Date();
    picker->setSelectedDate(QDate(shown.year, shown.month, shown.day, system));
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(picker);
    connect(picker, &QCalendarWidget::activated, frame, [this, frame, system](QDate chosen) {
        const QCalendar::YearMonthDay parts = system.partsFromDate(chosen);
        SetDate(cal::CivilDate{parts.day, parts.month, parts.year});
        frame->close();
    });
    connect(picker, &QCalendarWidget::clicked, picker, &QCalendarWidget::activated);
    frame->adjustSize();
    frame->move(mapToGlobal(QPoint(0, height())));
    frame->show();
    picker->setFocus();
}

}  // namespace yorbel::gui
