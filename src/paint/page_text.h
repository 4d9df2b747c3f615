// What a printed year carries besides the grid: a title line above it (calendar and year)
// and a legend below it that names the group of every colour on the page.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

class QPainter;
class QPaintDevice;

namespace yorbel::gui {

// A group the legend explains: a swatch of its colour, then its name.
struct LegendEntry {
    QString Name;
    std::int32_t Color = 0;  // Windows colour value
};

struct PageText {
    QString Title;
    std::vector<LegendEntry> Legend;
};

// The title and legend measured for one page. Empty parts take no room, so a page without
// them is the bare grid.
class PageTextPainter {
  public:
    // line_height: the height of one legend line (the title is half as high again);
    // margin: the page margin, kept to the left and right and between bands and grid.
    PageTextPainter(const PageText& text, const QString& font_family, int line_height,
                    int page_width, int margin, const QPaintDevice* device);

    // Room above the grid (top margin and title line).
    int TitleBand() const { return titleBand_; }
    // Room below the grid (the gap to it and the legend lines).
    int LegendBand() const { return legendBand_; }

    // The title, centred on the page in the title band.
    void DrawTitle(QPainter& painter) const;
    // The legend, wrapped into lines, its first line a margin below grid_bottom.
    void DrawLegend(QPainter& painter, int grid_bottom) const;

    // Where the legend's entries lie relative to the legend's top-left corner, one
    // rectangle (swatch and name) per entry, in legend order.
    const std::vector<QRect>& EntryRects() const { return entryRects_; }

  private:
    QString title_;                     // elided to the page width
    std::vector<LegendEntry> entries_;  // names elided to the page width
    int pageWidth_;
    int margin_;
    QFont titleFont_;
    QFont legendFont_;
    int titleHeight_ = 0;
    int lineHeight_ = 0;
    int swatch_ = 0;
    int gap_ = 0;
    int titleBand_ = 0;
    int legendBand_ = 0;
    std::vector<QRect> entryRects_;
};

}  // namespace yorbel::gui
