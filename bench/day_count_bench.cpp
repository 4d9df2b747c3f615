// The event list of a year and the day calculator over a century, for calendars of mixed
// events.
#include <benchmark/benchmark.h>

#include "data/day_count.h"
#include "data/list_rows.h"
#include "mixed_calendar.h"

namespace {

using namespace yorbel::data;
using yorbel::bench::Calendar;
using yorbel::bench::kYear;

void BM_ListRowsOfAYear(benchmark::State& state) {
    Calendar cal(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        EventList list = ListRowsOf(cal.tables.CdsEvents(), cal.groups.CdsGroups(), kYear, true);
        benchmark::DoNotOptimize(list);
    }
    state.counters["rows"] = static_cast<double>(
        ListRowsOf(cal.tables.CdsEvents(), cal.groups.CdsGroups(), kYear, true).rows.size());
}
BENCHMARK(BM_ListRowsOfAYear)->Arg(10000)->Unit(benchmark::kMillisecond);

// Weekends and one group skipped, so every part of the count is at work.
void BM_CountDaysOfACentury(benchmark::State& state) {
    Calendar cal(static_cast<int>(state.range(0)));
    DayCountRequest request;
    request.from = {1, 1, kYear - 50};
    request.to = {31, 12, kYear + 49};
    request.skipped_weekdays[0] = request.skipped_weekdays[6] = true;
    request.skipped_groups = {3};
    for (auto _ : state) {
        auto count = CountDays(cal.tables.CdsEvents(), request);
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(BM_CountDaysOfACentury)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
