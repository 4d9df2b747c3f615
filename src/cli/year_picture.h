// The year view drawn by the year window's own painter onto any paint device, and the
// PNG, SVG or one-page PDF file that `yorbel-cli render` makes of it.
#pragma once

#include <QSize>
#include <filesystem>
#include <optional>
#include <string>

#include "paint/year_painter.h"

namespace yorbel::cli {

// What to draw and how big. Without a size the picture has the size the year window
// takes when it adapts to its font, and that font; with one, the font follows the row
// height, as in a window resized by hand.
struct YearPictureSpec {
    gui::YearStyle style;
    gui::DayColorSource day_color;
    int year = 0;
    std::optional<QSize> size;

    QSize PixelSize() const;
};

// Draws the year onto the painter's device as the year window draws its bitmap: white
// ground, the window's layout and font, no mark. Returns the layout; fills `grid`.
gui::YearLayout DrawYearPicture(QPainter& painter, const YearPictureSpec& picture,
                                gui::DayGrid& grid);

enum class PictureFormat { Png, Svg, Pdf };

// The format named by a file's extension (case ignored); nullopt for any other.
std::optional<PictureFormat> PictureFormatOf(const std::filesystem::path& file);

// The content of the picture file. Needs a QGuiApplication.
std::string YearPictureBytes(PictureFormat format, const YearPictureSpec& picture);

}  // namespace yorbel::cli
