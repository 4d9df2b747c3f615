#include "paint/year_style_settings.h"

namespace yorbel::gui {

void ApplyDisplaySettings(YearStyle& style, const app::Settings& s) {
    style.Gregorian = app::Gregorian(s);
    style.WeekStart = app::WeekStartDay(s);
    style.WeekOneRule = app::WeekOneRule(s);
    style.SundayText = app::DisplayColor(s, app::ColorRole::SundayText);
    style.SundayBack = app::DisplayColor(s, app::ColorRole::SundayBackground);
    style.WeekText = app::DisplayColor(s, app::ColorRole::WeekText);
    style.WeekBack = app::DisplayColor(s, app::ColorRole::WeekBackground);
    style.MarkText = app::DisplayColor(s, app::ColorRole::MarkText);
    style.MarkBack = app::DisplayColor(s, app::ColorRole::MarkBackground);
    style.FontName = QString::fromStdString(s.YearFontName);
    style.FontSize = s.YearFontSize;
    style.AdaptToFont = s.AdaptToFont;
}

}  // namespace yorbel::gui
