// Reading the location files: the options dialog reads the country list at start and a
// city list on every change of country, on the user-interface thread. Run from the
// folder that holds geo/ (make bench runs from <build>/bin).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/locations.h"

namespace {

using namespace yorbel::app;

void BM_ReadCountryList(benchmark::State& state) {
    const auto path = CountryListPath(std::filesystem::current_path());
    for (auto _ : state) {
        auto list = ReadCountryList(path);
        if (!std::holds_alternative<LocationList<Country>>(list)) {
            state.SkipWithError("geo/Country.txt not found: run from <build>/bin");
            break;
        }
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_ReadCountryList);

// The largest city list shipped (United States of America, 774 cities).
void BM_ReadLargestCityList(benchmark::State& state) {
    const auto path = CityListPath(std::filesystem::current_path(), "USA");
    for (auto _ : state) {
        auto list = ReadCityList(path, ",");
        if (!std::holds_alternative<LocationList<City>>(list)) {
            state.SkipWithError("geo/USA.txt not found: run from <build>/bin");
            break;
        }
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_ReadLargestCityList);

}  // namespace

BENCHMARK_MAIN();
