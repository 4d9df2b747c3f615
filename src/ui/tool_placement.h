// Where a tool window (day sheet, event list) of a year window goes: beside the year grid
// the user works on, never over it while the screen has room.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace yorbel::gui {

// Top-left corner for a window of outer size frame on the screen area available: right of
// grid, else left of it, else below it, each clear of the windows in others where that is
// possible; with no room anywhere, the place that covers the least of grid (then of others).
QPoint PlaceBeside(const QRect& grid, const QSize& frame, const QRect& available,
                   const std::vector<QRect>& others = {});

// The part of a widget its window shows, in screen coordinates (an MDI child scrolled
// partly out of its area counts only with its visible part); empty while it is hidden.
QRect ShownScreenRect(const QWidget& widget);

// Moves the tool window beside grid_owner's visible part (see PlaceBeside); others are
// the frames of further tool windows to keep clear of.
void PlaceToolWindow(QWidget& tool, const QWidget& grid_owner,
                     const std::vector<QRect>& others = {});
// PlaceToolWindow only when the tool window covers the grid now: a place the user chose
// that leaves the grid clear is kept.
void KeepToolWindowOffGrid(QWidget& tool, const QWidget& grid_owner,
                           const std::vector<QRect>& others = {});

}  // namespace yorbel::gui
