#include "paint/year_style_settings.h"

namespace yorbel::gui {

void ApplyDisplaySettings(YearStyle& style, const app::Settings& s) {
    style.Gregorian = app::Gregorian(s);
    style.WeekStart = app::WeekStartDay(s);
    style.WeekOneRule = app::WeekOneRule(s);
    style.SundayText = app::DisplayColor(s, 1);
    style.SundayBack = app::DisplayColor(s, 2);
    style.WeekText = app::DisplayColor(s, 3);
    style.WeekBack = app::DisplayColor(s, 4);
    style.MarkText = app::DisplayColor(s, 5);
    style.MarkBack = app::DisplayColor(s, 6);
    style.FontName = QString::fromStdString(s.YearFontName);
    style.FontSize = s.YearFontSize;
    style.AdaptToFont = s.AdaptToFont;
}

}  // namespace yorbel::gui
