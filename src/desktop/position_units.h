// The signs behind the degree, minute and second boxes of a position: the options
// dialog shows them on its location page and names a refused box by them.
#pragma once

namespace yorbel::gui {

inline constexpr const char* kUnitSigns[3] = {"\u00B0", "\u2032", "\u2033"};

}  // namespace yorbel::gui
