#include "ui/day_facts_text.h"

#include "app/language_file.h"
#include "app/settings.h"
#include "calendar/time_zone.h"

namespace yorbel::gui {

namespace cal = yorbel::calendar;

namespace {

constexpr const char* kDayInfo = "FrmDayInfo";

QString TwoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString Text(const app::LanguageFile& language, const char* key) {
    return QString::fromStdString(language.Text(kDayInfo, key));
}

}  // namespace

QLocale NamesLocale(const app::Settings& settings) {
    const QLocale::Language wanted =
        app::LanguageOf(settings) == app::Language::German ? QLocale::German : QLocale::English;
    const QLocale system = QLocale::system();
    if (system.language() == wanted) return system;
    return QLocale(wanted, wanted == QLocale::German ? QLocale::Germany : QLocale::UnitedKingdom);
}

QString ClockText(const std::optional<cal::ClockHm>& time) {
    return time ? TwoDigits(time->hour) + QLatin1Char(':') + TwoDigits(time->minute)
                : QStringLiteral("\u2014");
}

DayFactsText FormatDayFacts(const cal::DayFacts& facts, const cal::Place& place,
                            const app::LanguageFile& language, const QLocale& names) {
    DayFactsText t;
    t.Day = QStringLiteral("%1, %2. %3 %4")
                .arg(names.dayName(QtDayOf(facts.weekday), QLocale::LongFormat))
                .arg(facts.date.day)
                .arg(names.monthName(facts.date.month, QLocale::LongFormat))
                .arg(facts.date.year);
    t.Days = QStringLiteral("%1 %2 / %3 %4")
                 .arg(Text(language, "Day"))
                 .arg(facts.day_of_year)
                 .arg(facts.days_left)
                 .arg(Text(language, "DaysLeft"));
    t.Weeks = QStringLiteral("%1 %2 / %3 %4")
                  .arg(Text(language, "Week"))
                  .arg(facts.week)
                  .arg(facts.weeks_left)
                  .arg(Text(language, "WeeksLeft"));
    t.JD = QStringLiteral("%1 %2").arg(Text(language, "lbJD")).arg(facts.day_number);
    t.Jewish = QStringLiteral("%1 %2 %3")
                   .arg(facts.jewish.day)
                   .arg(QString::fromUtf8(facts.jewish_month_name.data(),
                                          static_cast<qsizetype>(facts.jewish_month_name.size())))
                   .arg(facts.jewish.year);
    t.Sun = QStringLiteral("%1 - %2").arg(ClockText(facts.sunrise), ClockText(facts.sunset));
    const cal::LocalMinute& phase = facts.next_phase;
    t.Moon = QStringLiteral("%1 - %2, %3 %4.%5.%6 %7:%8")
                 .arg(ClockText(facts.moonrise), ClockText(facts.moonset),
                      Text(language, facts.next_phase_new ? "NewMoon" : "FullMoon"),
                      TwoDigits(phase.date.day), TwoDigits(phase.date.month),
                      TwoDigits(((phase.date.year % 100) + 100) % 100), TwoDigits(phase.hour),
                      TwoDigits(phase.minute));
    const QString offset = QString::fromStdString(cal::UtOffsetText(facts.clock_zone_hours));
    const QString zone_name = QString::fromStdString(place.zone_name);
    switch (facts.clock_rule) {
        case cal::ClockRule::kFixedOffset:
            t.Zone = offset;
            break;
        case cal::ClockRule::kNamedZone:
            t.Zone = QStringLiteral("%1, %2").arg(
                zone_name, Text(language, facts.summer_time ? "SummerTime" : "StandardTime"));
            break;
        case cal::ClockRule::kZoneNotFound:
            t.Zone =
                QStringLiteral("%1 (%2)").arg(offset, Text(language, "ZoneUnknown").arg(zone_name));
            break;
    }
    return t;
}

}  // namespace yorbel::gui
