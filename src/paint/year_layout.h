// Where the year grid's parts lie: twelve month blocks, four to a row, each 8 by 8 cells
// (month name, weekday heads, up to six week rows; column 0 holds week numbers). Months
// are numbered 1 (January) to 12 (December).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <optional>

namespace yorbel::gui {

// For each month, column 0–6 and row 0–5 of the day area, the day drawn there (0: empty).
class DayGrid {
  public:
    void Clear() { cells_.fill(0); }
    int Day(int month, int column, int row) const { return cells_[Index(month, column, row)]; }
    void Set(int month, int column, int row, int day) { cells_[Index(month, column, row)] = day; }
    // Column and row of a day, scanning rows first; nullopt when the day is not drawn.
    std::optional<QPoint> Find(int month, int day) const;

  private:
    static int Index(int month, int column, int row) {
        return ((month - 1) * 6 + row) * 7 + column;
    }
    std::array<int, 12 * 7 * 6> cells_{};
};

// A drawn day of the grid.
struct HitDay {
    int Month = 0;  // 1–12
    int Day = 0;    // 1–31
};

// Measures of one drawing of the year, in the painter's pixels.
struct YearLayout {
    int Margin = 10;
    int MonthWidth = 0;
    int MonthHeight = 0;
    int RowHeight = 0;
    int CellWidth = 0;

    // Top-left corner of a month's block.
    QPoint MonthOrigin(int month) const;
    // Cell at column 0–7 and row 0–7 of a month block.
    QRect CellRect(int month, int column, int row) const;
    // The cell a day of the grid was drawn in; empty when the grid does not hold the day.
    QRect DayCellRect(const DayGrid& grid, int month, int day) const;
    // The day whose cell holds the point; none over names, heads, week numbers, margins
    // and empty cells.
    std::optional<HitDay> HitTest(const DayGrid& grid, QPoint point) const;
};

// The window's own layout allows for a caption this high inside the height it is given,
// because the grid's measures were made for a window measured with its frame.
inline constexpr int kCaptionAllowance = 30;

// Screen layout for a window of the given outer width and height.
YearLayout ScreenLayout(int width, int height);

// Page layout: portrait pages use only the upper part of height PW / 1.4.
struct PageLayout {
    YearLayout Layout;
    int UsedHeight = 0;
};
PageLayout PrintLayout(int page_width, int page_height);

// Window size that fits a font: the width of the week-column label and the font height.
QSize AdaptedWindowSize(int week_label_width, int font_height);

}  // namespace yorbel::gui
