// Colours are stored as Windows colour values (0x00BBGGRR) in settings and group files;
// the windows turn them into QColor here, in one place.
#pragma once

#include <QColor>
#include <QIcon>
#include <cstdint>

namespace yorbel::gui {

// A plain value gives its red, green and blue bytes. A system-colour reference (high byte
// 0x80, the index of a system colour in the low byte) becomes the matching colour of the
// application palette; an unknown index gives the window background.
QColor WinColorToQColor(std::int32_t value);

// The stored form of an opaque colour.
std::int32_t QColorToWinColor(const QColor& color);

// The border that sets a colour swatch off from a white ground.
inline const QColor kSwatchBorder(64, 64, 64);

// A small square of the colour with a dark border, so that white and light colours show
// in a list as well.
QIcon ColorSwatch(std::int32_t value);

}  // namespace yorbel::gui
