// Colours are stored as Windows colour values (0x00BBGGRR) in settings and group files;
// the windows turn them into QColor here, in one place.
#pragma once

#include <QColor>
#include <QIcon>
#include <cstdint>

class QPainter;
class QRect;

namespace yorbel::gui {

// A plain value gives its red, green and blue bytes. A system-colour reference (high byte
// 0x80, the index of a system colour in the low byte) becomes the matching colour of the
// application palette; an unknown index gives the window background.
QColor WinColorToQColor(std::int32_t value);

// The stored form of an opaque colour.
std::int32_t QColorToWinColor(const QColor& color);

// A square of the colour with a dark border, so that white and light colours show on a
// white ground as well.
void PaintSwatch(QPainter& painter, const QRect& square, std::int32_t value);

// A small swatch (see PaintSwatch) for a list entry.
QIcon ColorSwatch(std::int32_t value);

}  // namespace yorbel::gui
