// Day facts for whole years (what the day sheet, the hint and `yorbel-cli day` compute),
// and the date conversions underneath them.
#include <benchmark/benchmark.h>

#include "calendar/dayfacts.h"

namespace {

using namespace yorbel::calendar;

const Place kFrankfurt{50.1122, -8.6819, 1.0, {}};
const Place kFrankfurtOnBerlinClock{50.1122, -8.6819, 1.0, "Europe/Berlin"};

void BM_DayFactsOfAYear(benchmark::State& state) {
    const bool gregorian = state.range(0) != 0;
    const Reckoning reckoning{gregorian, WeekRule::FourDaysInJanuary, Weekday::Monday};
    for (auto _ : state) {
        for (int doy = 1; doy <= DaysInYear(2026, gregorian); ++doy) {
            benchmark::DoNotOptimize(
                DayFactsOf(DateOfDayOfYear(doy, 2026, gregorian), reckoning, kFrankfurt));
        }
    }
    state.SetItemsProcessed(state.iterations() * DaysInYear(2026, gregorian));
}
BENCHMARK(BM_DayFactsOfAYear)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The same on a named zone's clock: the zone is looked up and its day bounds and offsets
// found for every day.
void BM_DayFactsOfAYearOnNamedClock(benchmark::State& state) {
    const Reckoning reckoning{true, WeekRule::FourDaysInJanuary, Weekday::Monday};
    for (auto _ : state) {
        for (int doy = 1; doy <= 365; ++doy) {
            benchmark::DoNotOptimize(
                DayFactsOf(DateOfDayOfYear(doy, 2026, true), reckoning, kFrankfurtOnBerlinClock));
        }
    }
    state.SetItemsProcessed(state.iterations() * 365);
}
BENCHMARK(BM_DayFactsOfAYearOnNamedClock)->Unit(benchmark::kMillisecond);

void BM_DayNumberRoundTrip(benchmark::State& state) {
    const bool gregorian = state.range(0) != 0;
    DayNumber n = DayNumberOf({1, 1, 2000}, gregorian);
    for (auto _ : state) {
        const CivilDate d = DateOfDayNumber(n++, gregorian);
        benchmark::DoNotOptimize(DayNumberOf(d, gregorian));
    }
}
BENCHMARK(BM_DayNumberRoundTrip)->Arg(1)->Arg(0);

void BM_WeekNumber(benchmark::State& state) {
    DayNumber n = DayNumberOf({1, 1, 2000}, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(WeekNumber(DateOfDayNumber(n++, true), WeekRule::FourDaysInJanuary,
                                            Weekday::Monday, true));
}
BENCHMARK(BM_WeekNumber);

void BM_DayNumberToJewish(benchmark::State& state) {
    DayNumber n = DayNumberOf({1, 1, 2000}, true);
    for (auto _ : state) benchmark::DoNotOptimize(DayNumberToJewish(n++));
}
BENCHMARK(BM_DayNumberToJewish);

void BM_NthWeekdayOfMonth(benchmark::State& state) {
    const bool gregorian = state.range(0) != 0;
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            NthWeekdayOfMonth(2026, i % 12 + 1, WeekdayFromNumber(i), i % 5 + 1, gregorian));
        ++i;
    }
}
BENCHMARK(BM_NthWeekdayOfMonth)->Arg(1)->Arg(0);

}  // namespace

BENCHMARK_MAIN();
