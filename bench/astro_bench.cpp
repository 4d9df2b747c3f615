// Sun and moon for one day, and everything the day sheet asks of the astronomy for every
// day of a year.
#include <benchmark/benchmark.h>

#include "calendar/astro.h"
#include "calendar/dates.h"

namespace {

using namespace yorbel::calendar;

constexpr double kLatitude = 50.1122;
constexpr double kLongitudeWest = -8.6819;
constexpr double kZone = 1;
constexpr CivilDate kDay{7, 12, 2026};

void BM_SunRiseSet(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(SunRiseSet(kDay, kLongitudeWest, kLatitude));
}
BENCHMARK(BM_SunRiseSet);

void BM_MoonRiseSet(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(MoonRiseSet(kDay, kLongitudeWest, kLatitude, kZone));
}
BENCHMARK(BM_MoonRiseSet);

void BM_NextMoonPhase(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(NextMoonPhase(kDay));
}
BENCHMARK(BM_NextMoonPhase);

void BM_YearOfDays(benchmark::State& state) {
    const DayNumber first = DayNumberOf({1, 1, 2026}, true);
    for (auto _ : state) {
        for (DayNumber n = first; n < first + 365; ++n) {
            const CivilDate date = DateOfDayNumber(n, true);
            benchmark::DoNotOptimize(SunRiseSet(date, kLongitudeWest, kLatitude));
            benchmark::DoNotOptimize(MoonRiseSet(date, kLongitudeWest, kLatitude, kZone));
            benchmark::DoNotOptimize(NextMoonPhase(date));
        }
    }
}
BENCHMARK(BM_YearOfDays)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
