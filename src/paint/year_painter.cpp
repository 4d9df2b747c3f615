#include "paint/year_painter.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

#include "calendar/dates.h"
#include "paint/qt_weekday.h"
#include "paint/win_color.h"

namespace yorbel::gui {

namespace cal = yorbel::calendar;

namespace {

// Cell texts sit in the middle of their cells: on paper the cells are wide, and a number
// at one edge looks as if it belonged to the cell beside it.
constexpr int kTextFlags = Qt::AlignCenter | Qt::TextDontClip | Qt::TextSingleLine;
const QColor kInspectorFrame(0, 0, 128);

}  // namespace

void FillLocaleNames(YearStyle& style, const QLocale& locale) {
    for (int weekday = 0; weekday < 7; ++weekday)
        style.WeekdayHeads[weekday] =
            locale.dayName(QtDayOf(cal::WeekdayFromNumber(weekday)), QLocale::LongFormat).left(2);
    for (int month = 1; month <= 12; ++month)
        style.MonthNames[month - 1] = locale.standaloneMonthName(month, QLocale::LongFormat);
}

QFont YearFont(const QString& family, int height, const QPaintDevice* device) {
    QFont font(family);
    if (height < 0) {
        font.setPixelSize(-height);
        return font;
    }
    // A positive height is that of a whole text line; shrink the em size until it fits.
    font.setPixelSize(std::max(1, height));
    const int line = device ? QFontMetrics(font, device).height() : QFontMetrics(font).height();
    if (line > height && line > 0) font.setPixelSize(std::max(1, height * height / line));
    return font;
}

QFont FittedYearFont(const QString& family, int height, int cell_width,
                     const QPaintDevice* device) {
    QFont font = YearFont(family, height, device);
    const auto head_width = [device](const QFont& f) {
        const QString head = QStringLiteral("We");
        return device ? QFontMetrics(f, device).horizontalAdvance(head)
                      : QFontMetrics(f).horizontalAdvance(head);
    };
    while (height > 1 && head_width(font) > cell_width) {
        --height;
        font = YearFont(family, height, device);
    }
    return font;
}

void YearPainter::DrawMonths(QPainter& painter, const YearLayout& layout, int year, DayGrid& grid,
                             int selected_month, int selected_day, bool marks_enabled) const {
    if (layout.RowHeight <= 0 || layout.CellWidth <= 0) return;
    for (int month = 1; month <= 12; ++month)
        DrawMonth(painter, layout, year, month, grid, selected_month, selected_day, marks_enabled);
}

void YearPainter::DrawWeekNumber(QPainter& painter, const QRect& cell, int year, int month,
                                 int day) const {
    const int week = cal::WeekNumber(cal::CivilDate{day, month, year}, style_.WeekOneRule,
                                     style_.WeekStart, style_.Gregorian);
    painter.setPen(WinColorToQColor(style_.WeekText));
    painter.drawText(cell, kTextFlags, QString::number(week));
}

void YearPainter::DrawMonth(QPainter& painter, const YearLayout& layout, int year, int month,
                            DayGrid& grid, int selected_month, int selected_day,
                            bool marks_enabled) const {
    const QPoint origin = layout.MonthOrigin(month);
    const int rh = layout.RowHeight;
    const int cw = layout.CellWidth;

    painter.setPen(Qt::black);
    painter.drawText(QRect(origin.x(), origin.y(), layout.MonthWidth, rh),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine,
                     style_.MonthNames[month - 1]);

    painter.fillRect(QRect(origin.x(), origin.y() + rh, cw, 7 * rh),
                     WinColorToQColor(style_.WeekBack));
    painter.setPen(WinColorToQColor(style_.WeekText));
    painter.drawText(layout.CellRect(month, 0, 1), kTextFlags, style_.WeekLabel);
    painter.setPen(Qt::black);
    for (int i = 0; i < 7; ++i)
        painter.drawText(layout.CellRect(month, i + 1, 1), kTextFlags,
                         style_.WeekdayHeads[cal::NumberOf(style_.WeekStart + i)]);

    const bool gregorian = style_.Gregorian;
    cal::Weekday weekday = cal::WeekdayOf(cal::CivilDate{1, month, year}, gregorian);
    int column = cal::DaysUntil(style_.WeekStart, weekday);
    int row = 2;
    DrawWeekNumber(painter, layout.CellRect(month, 0, row), year, month, 1);
    const int days = cal::DaysInMonth(year, month, gregorian);
    for (int day = 1; day <= days; ++day) {
        if (column > 6) {
            ++row;
            column = 0;
            DrawWeekNumber(painter, layout.CellRect(month, 0, row), year, month, day);
        }
        const bool marked = day == selected_day && month == selected_month;
        DrawDayCell(painter, layout, year, month, day,
                    marked ? CellState::Marked : CellState::Normal, origin.y() + rh * row,
                    origin.x() + cw * (column + 1), weekday, marks_enabled);
        grid.Set(month, column, row - 2, day);
        ++column;
        weekday = weekday + 1;
    }
}

void YearPainter::DrawDayCell(QPainter& painter, const YearLayout& layout, int year, int month,
                              int day, CellState state, int top, int left, cal::Weekday weekday,
                              bool marks_enabled) const {
    if (month < 1 || day <= 0) return;
    std::int32_t text = 0x000000;
    std::int32_t back = 0xFFFFFF;
    if (weekday == cal::Weekday::Sunday) {
        text = style_.SundayText;
        back = style_.SundayBack;
    }
    if (day_color_) back = day_color_(cal::DateText(cal::CivilDate{day, month, year}), back);

    const QRect cell(left, top, layout.CellWidth, layout.RowHeight);
    switch (state) {
        case CellState::Frame:
            if (marks_enabled) {
                painter.setPen(kInspectorFrame);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(cell.adjusted(0, 0, -1, -1));
                return;
            }
            break;
        case CellState::Marked:
            if (marks_enabled) {
                text = style_.MarkText;
                back = style_.MarkBack;
            }
            break;
        case CellState::Normal:
            break;
    }
    painter.fillRect(cell, WinColorToQColor(back));
    painter.setPen(WinColorToQColor(text));
    painter.drawText(cell, kTextFlags, QString::number(day));
}

QRect YearPainter::RedrawDay(QPainter& painter, const YearLayout& layout, const DayGrid& grid,
                             int year, int month, int day, CellState state) const {
    const QRect cell = layout.DayCellRect(grid, month, day);
    if (cell.isEmpty()) return {};
    const cal::Weekday weekday = cal::WeekdayOf(cal::CivilDate{day, month, year}, style_.Gregorian);
    DrawDayCell(painter, layout, year, month, day, state, cell.top(), cell.left(), weekday, true);
    return cell;
}

void YearPainter::PrintYear(QPainter& painter, int year, const PageText& text) const {
    const QPaintDevice* device = painter.device();
    const int page_width = device->width();
    const int page_height = device->height();
    // Title and legend are sized from the rows of a grid filling the whole page; the grid
    // is then laid out in the height they leave.
    const PageLayout whole = PrintLayout(page_width, page_height);
    const PageTextPainter page_text(text, style_.FontName, whole.Layout.RowHeight, page_width,
                                    whole.Layout.Margin, device);
    // A legend of very many groups may run off the foot of the page rather than squeeze
    // the year into a strip.
    const int grid_height =
        std::max(page_height / 2, page_height - page_text.TitleBand() - page_text.LegendBand());
    const PageLayout page = PrintLayout(page_width, grid_height);
    if (page.UsedHeight <= 0 || page.Layout.CellWidth <= 0 || page.Layout.RowHeight <= 0) return;

    const QFont font = FittedYearFont(
        style_.FontName, page.Layout.RowHeight / std::max(1, grid_height / page.UsedHeight),
        page.Layout.CellWidth, device);
    painter.save();
    page_text.DrawTitle(painter);
    painter.translate(0, page_text.TitleBand());
    painter.setFont(font);
    DayGrid scratch;  // the window's grid keeps matching its screen layout
    DrawMonths(painter, page.Layout, year, scratch, 0, 0, false);
    const QPoint last_row = page.Layout.MonthOrigin(12);
    page_text.DrawLegend(painter, last_row.y() + page.Layout.MonthHeight);
    painter.restore();
}

}  // namespace yorbel::gui
