// Where Window › Tile puts the year windows: in a row (side by side) or a column (one
// above another) across the frame's area. A window whose size follows its font keeps its
// size, so it is never clipped; the frame scrolls when such windows need more room than it
// has. The other windows share what is left and their grids grow to it.
#pragma once

#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

namespace yorbel::gui {

// One outer rectangle per window, in order; fixed_sizes holds the outer size of each window
// that keeps its size, none for a window that takes the room it is given. area is the
// frame's room without scroll bars; scroll_bar is the width a scroll bar takes from it.
// along is Qt::Horizontal for side by side, Qt::Vertical for one above another.
std::vector<QRect> TileRects(const std::vector<std::optional<QSize>>& fixed_sizes,
                             const QSize& area, int scroll_bar, Qt::Orientation along);

}  // namespace yorbel::gui
