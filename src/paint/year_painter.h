// Painting of the year grid laid out by year_layout.h, months 1–12. The same code draws
// into the screen bitmap, onto a printer page or into a PDF.
#pragma once

#include <QColor>
#include <QFont>
#include <QLocale>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "calendar/dates.h"
#include "paint/page_text.h"
#include "paint/year_layout.h"

class QPainter;
class QPaintDevice;

namespace yorbel::gui {

enum class CellState { Normal, Frame, Marked };

// What the grid shows and how, copied from the settings by the window.
struct YearStyle {
    bool Gregorian = true;
    calendar::Weekday WeekStart = calendar::Weekday::Monday;
    calendar::WeekRule WeekOneRule = calendar::WeekRule::FourDaysInJanuary;
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
    std::array<QString, 7> WeekdayHeads;  // Sunday first, two characters each
    std::array<QString, 12> MonthNames;   // January first
};

// Weekday heads and month names of a locale.
void FillLocaleNames(YearStyle& style, const QLocale& locale = QLocale::system());

// The background of a day: the colour of its first shown event, else the fallback.
// Date text "yyyymmdd", Windows colour values.
using DayColorSource =
    std::function<std::int32_t(const std::string& date_text, std::int32_t fallback)>;

// A font of the given family and height (negative: character height in pixels; positive:
// height of a text line, as the grid sets it from the row height).
QFont YearFont(const QString& family, int height, const QPaintDevice* device = nullptr);
// YearFont with a line height of at most height, lowered until a weekday head fits the
// cell width, so the texts of narrow cells never run into each other.
QFont FittedYearFont(const QString& family, int height, int cell_width,
                     const QPaintDevice* device = nullptr);

class YearPainter {
  public:
    YearPainter(const YearStyle& style, DayColorSource day_color)
        : style_(style), day_color_(std::move(day_color)) {}

    // Draws the twelve months of the year and fills the grid; selected_month 0 marks
    // nothing. The painter's font is used as set.
    void DrawMonths(QPainter& painter, const YearLayout& layout, int year, DayGrid& grid,
                    int selected_month, int selected_day, bool marks_enabled) const;

    // Draws one day cell at (left, top).
    void DrawDayCell(QPainter& painter, const YearLayout& layout, int year, int month, int day,
                     CellState state, int top, int left, calendar::Weekday weekday,
                     bool marks_enabled) const;

    // Redraws the cell of a day found in the grid; returns its rectangle, or an empty one
    // when the day is not drawn.
    QRect RedrawDay(QPainter& painter, const YearLayout& layout, const DayGrid& grid, int year,
                    int month, int day, CellState state) const;

    // Draws the year onto a page of the painter's device size, with the title above the
    // grid and the legend below it; marks are never printed. The grid gives up page height
    // to title and legend only where the page has none to spare (wide landscape).
    void PrintYear(QPainter& painter, int year, const PageText& text = {}) const;

  private:
    void DrawMonth(QPainter& painter, const YearLayout& layout, int year, int month, DayGrid& grid,
                   int selected_month, int selected_day, bool marks_enabled) const;
    void DrawWeekNumber(QPainter& painter, const QRect& cell, int year, int month, int day) const;

    const YearStyle& style_;
    DayColorSource day_color_;
};

}  // namespace yorbel::gui
