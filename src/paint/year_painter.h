// Layout and painting of the year grid: twelve month blocks, four to a row, each 8 by 8
// cells (month name, weekday heads, up to six week rows; column 0 holds week numbers).
// The same code draws into the screen bitmap, onto a printer page or into a PDF.
#pragma once

#include <QColor>
#include <QFont>
#include <QLocale>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QPainter;
class QPaintDevice;

namespace yorbel::gui {

// Measures of one drawing of the year, in the painter's pixels.
struct YearLayout {
    int Margin = 10;
    int MonthWidth = 0;
    int MonthHeight = 0;
    int RowHeight = 0;
    int CellWidth = 0;

    // Top-left corner of month block 0 (January) … 11 (December).
    QPoint MonthOrigin(int month) const;
    // Cell at column 0–7 and row 0–7 of a month block.
    QRect CellRect(int month, int column, int row) const;
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

// For each month, column 0–6 and row 0–5 of the day area, the day drawn there (0: empty).
class DayGrid {
  public:
    void Clear() { cells_.fill(0); }
    int Day(int month, int column, int row) const { return cells_[Index(month, column, row)]; }
    void Set(int month, int column, int row, int day) { cells_[Index(month, column, row)] = day; }
    // Column and row of a day, scanning rows first; nullopt when the day is not drawn.
    std::optional<QPoint> Find(int month, int day) const;

  private:
    static int Index(int month, int column, int row) { return (month * 6 + row) * 7 + column; }
    std::array<int, 12 * 7 * 6> cells_{};
};

enum class CellState { Normal, Frame, Marked };

// What the grid shows and how, copied from the settings by the window.
struct YearStyle {
    bool Gregorian = true;
    int WeekStart = 2;  // Saturday-based
    int WeekOneRule = 2;
    // Windows colour values: Sunday, week column and mark, text and background.
    std::int32_t SundayText = 0x0000FF;
    std::int32_t SundayBack = 0xFFFFFF;
    std::int32_t WeekText = 0x858585;
    std::int32_t WeekBack = 0xFFFFFF;
    std::int32_t MarkText = 0x000000;
    std::int32_t MarkBack = 0x00FFFF;
    QString FontName;
    int FontSize = -13;  // negative: character height in pixels; positive: cell height
    bool AdaptToFont = false;
    QString WeekLabel;
    std::array<QString, 7> WeekdayHeads;  // Saturday-based, two characters each
    std::array<QString, 12> MonthNames;
};

// Weekday heads and month names of the system locale.
void FillLocaleNames(YearStyle& style);
// The same in the given locale: windows pass the interface language's.
void FillLocaleNames(YearStyle& style, const QLocale& locale);

// The background of a day: the colour of its first shown event, else the fallback.
// Date text "yyyymmdd", Windows colour values.
using DayColorSource =
    std::function<std::int32_t(const std::string& date_text, std::int32_t fallback)>;

// A font of the given family and height (negative: character height in pixels; positive:
// height of a text line, as the grid sets it from the row height).
QFont YearFont(const QString& family, int height, const QPaintDevice* device = nullptr);

class YearPainter {
  public:
    YearPainter(const YearStyle& style, DayColorSource day_color)
        : style_(style), day_color_(std::move(day_color)) {}

    // Draws months 0–11 of the year and fills the grid. The painter's font is used as set.
    void DrawMonths(QPainter& painter, const YearLayout& layout, int year, DayGrid& grid,
                    int selected_month, int selected_day, bool marks_enabled) const;

    // Draws one day cell at (left, top); weekday is Saturday-based.
    void DrawDayCell(QPainter& painter, const YearLayout& layout, int year, int month, int day,
                     CellState state, int top, int left, int weekday, bool marks_enabled) const;

    // Redraws the cell of a day found in the grid; returns its rectangle, or an empty one
    // when the day is not drawn.
    QRect RedrawDay(QPainter& painter, const YearLayout& layout, const DayGrid& grid, int year,
                    int month, int day, CellState state) const;

    // Draws the year onto a page of the painter's device size; marks are never printed.
    void PrintYear(QPainter& painter, int year) const;

  private:
    void DrawMonth(QPainter& painter, const YearLayout& layout, int year, int month, DayGrid& grid,
                   int selected_month, int selected_day, bool marks_enabled) const;
    void DrawWeekNumber(QPainter& painter, const QRect& cell, int year, int month, int day) const;

    const YearStyle& style_;
    DayColorSource day_color_;
};

}  // namespace yorbel::gui
