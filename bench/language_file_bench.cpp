// Windows fetch their texts when they are built and messages when they are shown, so a
// lookup and the load of a whole language file should both be cheap. Run from the
// folder that holds the language files (make bench runs from <build>/bin).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "app/language_file.h"
#include "app/language_keys.h"

namespace {

using yorbel::app::LanguageFile;

constexpr const char* kFile = "english.spr";

void BM_LoadLanguageFile(benchmark::State& state) {
    for (auto _ : state) {
        LanguageFile file = LanguageFile::Load(kFile);
        if (!file.IsLoaded()) {
            state.SkipWithError("english.spr not found in the working folder");
            break;
        }
        benchmark::DoNotOptimize(file);
    }
}
BENCHMARK(BM_LoadLanguageFile);

// Every key that the windows read, once each.
void BM_LookupEveryKey(benchmark::State& state) {
    const LanguageFile file = LanguageFile::Load(kFile);
    const auto keys = yorbel::app::LanguageKeys();
    for (auto _ : state) {
        std::size_t total = 0;
        for (const auto& k : keys) total += file.Text(k.section, k.key).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(keys.size()));
}
BENCHMARK(BM_LookupEveryKey);

void BM_LookupMissing(benchmark::State& state) {
    const LanguageFile file = LanguageFile::Load(kFile);
    for (auto _ : state) benchmark::DoNotOptimize(file.Text("FRMOPTIONS", "NoSuchKeyAnywhere"));
}
BENCHMARK(BM_LookupMissing);

}  // namespace

BENCHMARK_MAIN();
