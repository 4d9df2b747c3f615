// Year view timings: drawing a year whose days carry many events, and the whole refresh
// (regeneration + drawing) of a year window.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <string>

#include "app/settings.h"
#include "data/events.h"
#include "data/groups.h"
#include "data/occurrences.h"
#include "paint/year_painter.h"
#include "ui/app_context.h"
#include "yearview/year_window.h"

namespace {

using namespace yorbel;

// Two decimal digits, 0–99.
std::string Two(int v) {
    return {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
}

// Appends `count` events of several rule kinds spread over the year, in eight groups.
void FillEvents(data::EventTables& tables, int count) {
    data::Table& t = tables.CdsEvents();
    for (int i = 0; i < count; ++i) {
        const int month = i % 12 + 1;
        const int day = i % 28 + 1;
        t.Append();
        t.SetText(data::Ev_name, "Event " + std::to_string(i));
        t.SetInteger(data::Ev_gp_no, i % 8 + 1);
        switch (i % 4) {
            case 0:  // yearly date
                t.SetInteger(data::Ev_Type, 0);
                t.SetInteger(data::Ev_repeat, data::RepeatYearly);
                t.SetText(data::Ev_from, "2020" + Two(month) + Two(day));
                break;
            case 1:  // n-th weekday of a month
                t.SetInteger(data::Ev_Type, 0);
                t.SetInteger(data::Ev_repeat, data::RepeatWeekOfMonth);
                t.SetText(data::Ev_from, Two(i % 7) + Two(i % 5 + 1) + Two(month));
                break;
            case 2:  // days after Easter
                t.SetInteger(data::Ev_Type, 0);
                t.SetInteger(data::Ev_repeat, data::RepeatEaster);
                t.SetText(data::Ev_from, std::to_string(i % 120 - 60));
                break;
            default:  // a period of up to a week
                t.SetInteger(data::Ev_Type, 1);
                t.SetInteger(data::Ev_repeat, 0);
                t.SetText(data::Ev_from, "2026" + Two(month) + Two(day));
                t.SetText(data::Ev_to, "2026" + Two(month) + Two(std::min(28, day + i % 7)));
                break;
        }
        t.Post();
    }
}

// Eight groups, the fourth hidden.
struct GroupsFixture {
    QTemporaryDir dir;
    std::unique_ptr<data::Groups> groups;

    GroupsFixture() {
        groups = std::make_unique<data::Groups>(dir.path().toStdString());
        groups->LoadGroups(true);
        data::Table& g = groups->CdsGroups();
        for (int i = 0; i < 8; ++i) {
            g.Append();
            g.SetText(data::Gp_name, "Group " + std::to_string(i));
            g.SetInteger(data::Gp_color, 0x203040 * (i + 1));
            g.SetBoolean(data::Gp_free, false);
            g.SetInteger(data::Gp_show, i == 3 ? 0 : 1);
            g.Post();
        }
    }
};

void BM_DrawYear(benchmark::State& state) {
    GroupsFixture groups;
    data::EventTables tables(groups.groups->CdsGroups());
    tables.OpenCalendar({});
    FillEvents(tables, static_cast<int>(state.range(0)));
    data::GenerateOccurrences(tables, 2026, true);
    gui::YearStyle style;
    style.FontName = QStringLiteral("DejaVu Sans");
    style.WeekLabel = QStringLiteral("Wk");
    gui::FillLocaleNames(style);
    data::Table& dates = tables.CdsEvDates();
    const gui::YearPainter painter(style, [&dates](const std::string& date, std::int32_t fallback) {
        return data::DayColor(dates, date, fallback);
    });
    const gui::YearLayout layout = gui::ScreenLayout(1200, 800);
    QImage image(1200, 800, QImage::Format_RGB32);
    const QFont font = gui::YearFont(style.FontName, layout.RowHeight);
    for (auto _ : state) {
        QPainter p(&image);
        p.setFont(font);
        p.fillRect(image.rect(), Qt::white);
        gui::DayGrid grid;
        painter.DrawMonths(p, layout, 2026, grid, 3, 15, true);
        benchmark::DoNotOptimize(grid);
    }
    state.counters["occurrences"] = dates.RecordCount();
}
BENCHMARK(BM_DrawYear)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ShowYear(benchmark::State& state) {
    GroupsFixture groups;
    app::MemorySettingsStore store;
    gui::AppContext context;
    context.Settings = app::StartSettings(store).settings;
    context.Settings.AdaptToFont = false;
    context.Settings.YearFontName = "DejaVu Sans";
    context.Groups = groups.groups.get();
    gui::PlatformDialogs dialogs;
    context.Ui = &dialogs;
    gui::YearWindow window(context, 2026, false, 1, 15, 3, app::CalendarLock{});
    window.resize(1200, 800);
    window.OpenCalendar(QString(), nullptr);
    FillEvents(window.Calendar(), static_cast<int>(state.range(0)));
    int year = 2026;
    for (auto _ : state) {
        window.ShowYear(year);
        year = year == 2026 ? 2027 : 2026;
    }
    state.counters["occurrences"] = window.Calendar().CdsEvDates().RecordCount();
}
BENCHMARK(BM_ShowYear)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
