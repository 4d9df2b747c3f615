// The part of the year grid's style that comes from the settings, shared by the year
// window and the pictures of the command line so that both draw alike.
#pragma once

#include "app/settings.h"
#include "paint/year_painter.h"

namespace yorbel::gui {

// Calendar system, week rules, colours and font of the settings; the texts of the style
// (week label, names) stay.
void ApplyDisplaySettings(YearStyle& style, const app::Settings& settings);

}  // namespace yorbel::gui
