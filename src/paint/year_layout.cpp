#include "paint/year_layout.h"

#include <algorithm>
#include <cstdlib>

namespace yorbel::gui {

namespace {

// Rows 0 and 1 of a block hold the month name and the weekday heads; column 0 holds the
// week numbers. The days fill the 7 by 6 cells after them.
constexpr int kHeadRows = 2;
constexpr int kWeekColumns = 1;
constexpr int kDayColumns = 7;
constexpr int kDayRows = 6;
constexpr int kBlocksPerRow = 4;

}  // namespace

std::optional<QPoint> DayGrid::Find(int month, int day) const {
    if (month < 1 || month > 12 || day <= 0) return std::nullopt;
    for (int row = 0; row < kDayRows; ++row)
        for (int column = 0; column < kDayColumns; ++column)
            if (Day(month, column, row) == day) return QPoint(column, row);
    return std::nullopt;
}

QPoint YearLayout::MonthOrigin(int month) const {
    const int block = month - 1;
    return {Margin + (block % kBlocksPerRow) * (Margin + MonthWidth),
            Margin + (block / kBlocksPerRow) * (Margin + MonthHeight)};
}

QRect YearLayout::CellRect(int month, int column, int row) const {
    const QPoint origin = MonthOrigin(month);
    return {origin.x() + column * CellWidth, origin.y() + row * RowHeight, CellWidth, RowHeight};
}

QRect YearLayout::DayCellRect(const DayGrid& grid, int month, int day) const {
    const std::optional<QPoint> at = grid.Find(month, day);
    if (!at) return {};
    return CellRect(month, at->x() + kWeekColumns, at->y() + kHeadRows);
}

std::optional<HitDay> YearLayout::HitTest(const DayGrid& grid, QPoint point) const {
    const int x = point.x();
    const int y = point.y();
    if (x < Margin || y < Margin || CellWidth <= 0 || RowHeight <= 0) return std::nullopt;
    // A block starts every margin-plus-block after the first margin. A divisor of exactly
    // that pitch finds the block for any margin; the day-area test below then rejects the
    // gaps, names, heads and week numbers.
    const int block_column = (x - Margin) / (Margin + MonthWidth);
    const int block_row = (y - Margin) / (Margin + MonthHeight);
    if (block_column >= kBlocksPerRow || block_row >= 12 / kBlocksPerRow) return std::nullopt;
    const int month = block_row * kBlocksPerRow + block_column + 1;
    const QPoint origin = MonthOrigin(month);
    const int left = origin.x() + kWeekColumns * CellWidth;
    const int top = origin.y() + kHeadRows * RowHeight;
    if (x < left || y < top) return std::nullopt;
    const int column = (x - left) / CellWidth;
    const int row = (y - top) / RowHeight;
    if (column >= kDayColumns || row >= kDayRows) return std::nullopt;
    const int day = grid.Day(month, column, row);
    if (day <= 0) return std::nullopt;
    return HitDay{month, day};
}

YearLayout ScreenLayout(int width, int height) {
    YearLayout layout;
    layout.Margin = 10;
    // A window too small for the grid draws nothing rather than negative cells.
    layout.MonthWidth = std::max(0, (width - 50) / 4);
    layout.MonthHeight = std::max(0, (height - 70) / 3);
    layout.RowHeight = layout.MonthHeight / 8;
    layout.CellWidth = layout.MonthWidth / 8;
    return layout;
}

PageLayout PrintLayout(int page_width, int page_height) {
    PageLayout page;
    const double ratio = page_height > 0 ? static_cast<double>(page_width) / page_height : 0.0;
    page.UsedHeight = ratio < 1.4 ? static_cast<int>(page_width * 0.7142857142857143) : page_height;
    YearLayout& layout = page.Layout;
    layout.Margin = static_cast<int>(page_width * 0.017);
    layout.MonthWidth = std::max(0, (page_width - 5 * layout.Margin) / 4);
    layout.MonthHeight = std::max(0, (page.UsedHeight - 4 * layout.Margin - 30) / 3);
    layout.RowHeight = layout.MonthHeight / 8;
    layout.CellWidth = layout.MonthWidth / 8;
    return page;
}

QSize AdaptedWindowSize(int week_label_width, int font_height) {
    return {week_label_width * 36 + 50, std::abs(font_height) * 30 + 40};
}

}  // namespace yorbel::gui
