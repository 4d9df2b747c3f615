// The toolbar images and the application icon, drawn as vector shapes so they stay sharp
// at every screen scale; a disabled button gets a grey version of the same drawing.
#pragma once

#include <QIcon>

namespace yorbel::gui {

enum class ToolIcon {
    New,
    Open,
    Save,
    Print,
    Today,
    Filter,
    Calc,
    Inspect,
    PrevYear,
    NextYear,
    App
};

QIcon MakeToolIcon(ToolIcon kind);

}  // namespace yorbel::gui
