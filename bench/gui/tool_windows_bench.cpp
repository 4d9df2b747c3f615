// Tool window timings: the day sheet redrawing its facts and events for another day (it
// does so at every cell the pointer crosses in inspect mode), and opening the event
// editor on a stored event.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/settings.h"
#include "data/events.h"
#include "data/groups.h"
#include "support/bench_context.h"
#include "tools/day_sheet.h"
#include "tools/event_editor.h"
#include "ui/app_context.h"
#include "yearview/year_window.h"

namespace {

using namespace yorbel;

std::string Two(int v) {
    std::string text = std::to_string(v);
    if (v < 10) text.insert(0, 1, '0');
    return text;
}

// A year window on an untitled calendar of `count` yearly events spread over the days of
// the year, in one shown group.
struct Fixture : bench::BenchContext {
    std::unique_ptr<gui::YearWindow> window;

    explicit Fixture(int count) {
        window =
            std::make_unique<gui::YearWindow>(context, 2026, false, 1, 15, 3, app::CalendarLock{});
        window->OpenCalendar(QString(), nullptr);
        data::Table& t = window->Calendar().CdsEvents();
        for (int i = 0; i < count; ++i) {
            t.Append();
            t.SetText(data::Ev_name, "Event " + std::to_string(i));
            t.SetInteger(data::Ev_gp_no, 1);
            t.SetInteger(data::Ev_Type, 0);
            t.SetInteger(data::Ev_repeat, data::RepeatYearly);
            t.SetText(data::Ev_from, "2020" + Two(i % 12 + 1) + Two(i % 28 + 1));
            t.Post();
        }
        window->ShowYear(2026);
    }
};

void BM_DaySheetShowDate(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    gui::DaySheet sheet(*f.window, {1, 1, 2026});
    int day = 0;
    for (auto _ : state) {
        sheet.ShowDate({day % 28 + 1, day % 12 + 1, 2026});
        ++day;
    }
    state.counters["events_per_day"] = static_cast<double>(state.range(0)) / (12 * 28);
}
BENCHMARK(BM_DaySheetShowDate)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_EventEditorOpen(benchmark::State& state) {
    Fixture f(1000);
    const std::optional<data::EventValue> event =
        data::EventOfKey(f.window->Calendar().CdsEvents(), 500);
    for (auto _ : state) {
        gui::EventEditor editor(f.window.get(), f.context, true, event, {7, 12, 2026});
        benchmark::DoNotOptimize(editor.Value());
    }
}
BENCHMARK(BM_EventEditorOpen)->Unit(benchmark::kMillisecond);

}  // namespace
