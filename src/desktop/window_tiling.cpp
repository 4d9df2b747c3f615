#include "desktop/window_tiling.h"

#include <algorithm>

namespace yorbel::gui {

std::vector<QRect> TileRects(const std::vector<std::optional<QSize>>& fixed_sizes,
                             const QSize& area, int scroll_bar, Qt::Orientation along) {
    const bool row = along == Qt::Horizontal;
    const auto length = [row](const QSize& size) { return row ? size.width() : size.height(); };
    const auto depth = [row](const QSize& size) { return row ? size.height() : size.width(); };

    const int count = static_cast<int>(fixed_sizes.size());
    int fixed_length = 0;
    int growing = 0;
    for (const std::optional<QSize>& size : fixed_sizes) {
        if (size)
            fixed_length += length(*size);
        else
            ++growing;
    }
    // Growing windows share what the fixed ones leave, but never less than an even share.
    const int share = count > 0 ? length(area) / count : 0;
    const int room = length(area) - fixed_length;
    const int each = growing > 0 ? std::max(share, room / growing) : 0;
    const int spare = growing > 0 && room / growing >= share ? room - each * growing : 0;
    // A row longer than the area brings a scroll bar across it, which the growing take room from.
    const bool overflows = fixed_length + each * growing + spare > length(area);
    const int grown_depth = std::max(0, depth(area) - (overflows ? scroll_bar : 0));

    std::vector<QRect> rects;
    int offset = 0;
    int grown = 0;
    for (const std::optional<QSize>& size : fixed_sizes) {
        int along_length = 0;
        int across = 0;
        if (size) {
            along_length = length(*size);
            across = depth(*size);
        } else {
            along_length = each + (++grown == growing ? spare : 0);  // the last takes the rest
            across = grown_depth;
        }
        rects.push_back(row ? QRect(offset, 0, along_length, across)
                            : QRect(0, offset, across, along_length));
        offset += along_length;
    }
    return rects;
}

}  // namespace yorbel::gui
