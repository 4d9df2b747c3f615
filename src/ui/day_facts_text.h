// The facts of one day as the day sheet and the inspector hint show them: each line
// formatted from the core's day facts with the language texts and the locale's names.
#pragma once

#include <QLocale>
#include <QString>
#include <optional>

#include "calendar/dayfacts.h"
#include "paint/qt_weekday.h"

namespace yorbel::app {
class LanguageFile;
struct Settings;
}  // namespace yorbel::app

namespace yorbel::gui {

// The locale whose weekday and month names the windows show: German names under the
// German interface, English ones under the English interface (the system's own variant
// when it speaks that language).
QLocale NamesLocale(const app::Settings& settings);

// "hh:nn", or a dash where the body neither rises nor sets that day.
QString ClockText(const std::optional<calendar::ClockHm>& time);

struct DayFactsText {
    QString Day;     // "Montag, 7. Dezember 2026"
    QString Days;    // "Tag 341 / 24 Tage übrig"
    QString Weeks;   // "Woche 50 / 3 Wochen übrig"
    QString JD;      // "Julianischer Tag 2461382"
    QString Jewish;  // "27 Kislev 5787"
    QString Sun;     // "08:12 - 16:21"
    QString Moon;    // "23:40 - 12:58, Neumond 09.12.26 01:52"
    QString Zone;    // "UT+1", "Europe/Berlin, Sommerzeit"
};

// `place` is the one the facts were computed for; its zone name is shown.
DayFactsText FormatDayFacts(const calendar::DayFacts& facts, const calendar::Place& place,
                            const app::LanguageFile& language, const QLocale& names);

}  // namespace yorbel::gui
