// Occurrence generation and day colours for calendars of mixed events.
#include <benchmark/benchmark.h>

#include "calendar/dates.h"
#include "data/groups.h"
#include "data/occurrences.h"
#include "mixed_calendar.h"

namespace {

using namespace yorbel;
using namespace yorbel::data;
using yorbel::bench::Calendar;
using yorbel::bench::kYear;

void BM_GenerateOccurrences(benchmark::State& state) {
    Calendar cal(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto skipped = GenerateOccurrences(cal.tables, kYear, true);
        benchmark::DoNotOptimize(skipped);
    }
    state.counters["occurrences"] = cal.tables.CdsEvDates().RecordCount();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_GenerateOccurrences)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Colours every day of the year, as a repaint does.
void BM_DayColorWholeYear(benchmark::State& state) {
    Calendar cal(static_cast<int>(state.range(0)));
    GenerateOccurrences(cal.tables, kYear, true);
    std::vector<std::string> days;
    for (int d = 1; d <= 365; ++d)
        days.push_back(calendar::DateText(calendar::DateOfDayOfYear(d, kYear, true)));
    Table& dates = cal.tables.CdsEvDates();
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (const auto& day : days) sum += DayColor(dates, day, -1);
        benchmark::DoNotOptimize(sum);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DayColorWholeYear)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
