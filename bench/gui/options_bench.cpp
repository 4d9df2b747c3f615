// Options timings: opening the dialog (country and city lists read, every control
// filled), choosing another country (its city list read and shown), and the settings
// taken over by three open year windows of 10,000 events each.
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/settings.h"
#include "data/events.h"
#include "data/groups.h"
#include "desktop/main_window.h"
#include "desktop/options_dialog.h"
#include "desktop/settings_commands.h"
#include "support/bench_context.h"
#include "ui/app_context.h"
#include "yearview/year_window.h"

namespace {

using namespace yorbel;

using Fixture = bench::BenchContext;

void BM_OptionsDialogOpen(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        gui::OptionsDialog dialog(nullptr, f.context);
        benchmark::DoNotOptimize(dialog.PositionSummary());
    }
}
BENCHMARK(BM_OptionsDialogOpen)->Unit(benchmark::kMillisecond);

// Back and forth between the largest city list and Germany's.
void BM_OptionsCountryChange(benchmark::State& state) {
    Fixture f;
    gui::OptionsDialog dialog(nullptr, f.context);
    auto* countries = dialog.findChild<QComboBox*>(QStringLiteral("cbLand"));
    auto* cities = dialog.findChild<QComboBox*>(QStringLiteral("cbOrt"));
    const int large = countries->findText(QStringLiteral("United States of America"));
    const int germany = countries->findText(QStringLiteral("Germany"));
    bool flip = false;
    for (auto _ : state) {
        const int index = flip ? germany : large;
        flip = !flip;
        countries->setCurrentIndex(index);
        emit countries->activated(index);
    }
    state.counters["cities"] = cities->count();
}
BENCHMARK(BM_OptionsCountryChange)->Unit(benchmark::kMillisecond);

std::string Two(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

void BM_ApplySettingsToThreeWindows(benchmark::State& state) {
    Fixture f;
    gui::MainWindow main(f.context);
    main.show();  // hidden windows could skip their painting
    for (int w = 0; w < 3; ++w) {
        gui::YearWindow* year = main.OpenCalendarFile(QString(), false);
        data::Table& t = year->Calendar().CdsEvents();
        for (int i = 0; i < 10000; ++i) {
            t.Append();
            t.SetText(data::Ev_name, "Event " + std::to_string(i));
            t.SetInteger(data::Ev_gp_no, 1);
            t.SetInteger(data::Ev_Type, 0);
            t.SetInteger(data::Ev_repeat, data::RepeatYearly);
            t.SetText(data::Ev_from, "2020" + Two(i % 12 + 1) + Two(i % 28 + 1));
            t.Post();
        }
        year->ShowYear(2026);
    }
    int rule = 0;
    for (auto _ : state) {
        f.context.Settings.Kw1 = rule++ % 3;
        gui::ApplySettingsToWindows(main);
    }
    for (gui::YearWindow* year : main.YearWindows()) year->SetCloseApproved();
}
BENCHMARK(BM_ApplySettingsToThreeWindows)->Unit(benchmark::kMillisecond);

}  // namespace
