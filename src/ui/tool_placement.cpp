#include "ui/tool_placement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <tuple>

namespace yorbel::gui {

namespace {

constexpr int kGap = 8;  // clear of the year window's frame border

long long Area(const QRect& r) {
    return r.isEmpty() ? 0 : static_cast<long long>(r.width()) * r.height();
}

// Before the window system has framed a new window its frame is unknown; the frame of
// the program's main window is the best guess for it.
QSize FrameSize(const QWidget& tool, const QWidget& grid_owner) {
    const QSize own = tool.frameGeometry().size();
    if (own != tool.size()) return own;
    const QWidget* top = grid_owner.window();
    return own + (top->frameGeometry().size() - top->size());
}

}  // namespace

QPoint PlaceBeside(const QRect& grid, const QSize& frame, const QRect& available,
                   const std::vector<QRect>& others) {
    const int w = frame.width();
    const int h = frame.height();
    // Beside the grid, level with its top or its left, or after a tool window already there.
    std::vector<int> tops{grid.top()};
    std::vector<int> lefts{grid.left()};
    for (const QRect& other : others) {
        tops.push_back(other.bottom() + 1 + kGap);
        lefts.push_back(other.right() + 1 + kGap);
    }
    std::vector<QPoint> wanted;
    for (int top : tops) wanted.emplace_back(grid.right() + 1 + kGap, top);
    for (int top : tops) wanted.emplace_back(grid.left() - kGap - w, top);
    for (int left : lefts) wanted.emplace_back(left, grid.bottom() + 1 + kGap);
    for (int left : lefts) wanted.emplace_back(left, grid.top() - kGap - h);

    // Each wish pushed onto the screen; where no wish fits, the push decides what is covered.
    const auto on_screen = [&](QPoint at) {
        const int right_most = std::max(available.left(), available.right() + 1 - w);
        const int bottom_most = std::max(available.top(), available.bottom() + 1 - h);
        return QPoint(std::clamp(at.x(), available.left(), right_most),
                      std::clamp(at.y(), available.top(), bottom_most));
    };
    QPoint best;
    std::tuple<long long, long long> best_cover{LLONG_MAX, LLONG_MAX};
    for (const QPoint& wish : wanted) {
        const QRect place(on_screen(wish), frame);
        long long other_cover = 0;
        for (const QRect& other : others) other_cover += Area(place & other);
        const std::tuple<long long, long long> cover{Area(place & grid), other_cover};
        if (cover < best_cover) {
            best = place.topLeft();
            best_cover = cover;
        }
    }
    return best;
}

QRect ShownScreenRect(const QWidget& widget) {
    if (!widget.isVisible()) return {};  // not yet where it will be
    QRect shown(widget.mapToGlobal(QPoint(0, 0)), widget.size());
    for (const QWidget* inner = &widget; !inner->isWindow() && inner->parentWidget();) {
        inner = inner->parentWidget();
        shown &= QRect(inner->mapToGlobal(QPoint(0, 0)), inner->size());
    }
    return shown;
}

void PlaceToolWindow(QWidget& tool, const QWidget& grid_owner, const std::vector<QRect>& others) {
    const QRect grid = ShownScreenRect(grid_owner);
    const QScreen* screen = grid_owner.screen();
    if (grid.isEmpty() || !screen) return;
    tool.move(PlaceBeside(grid, FrameSize(tool, grid_owner), screen->availableGeometry(), others));
}

void KeepToolWindowOffGrid(QWidget& tool, const QWidget& grid_owner,
                           const std::vector<QRect>& others) {
    if (QRect(tool.pos(), FrameSize(tool, grid_owner)).intersects(ShownScreenRect(grid_owner)))
        PlaceToolWindow(tool, grid_owner, others);
}

}  // namespace yorbel::gui
