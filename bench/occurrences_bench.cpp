// Occurrence generation and day colours for calendars of mixed events.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "calendar/dates.h"
#include "data/groups.h"
#include "data/occurrences.h"

namespace {

using namespace yorbel;
using namespace yorbel::data;

constexpr int kYear = 2026;
constexpr int kGroups = 20;

// Two decimal digits, 0–99.
std::string Two(int v) {
    return {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
}

// A calendar of `count` events of every rule kind, spread over the year, in 20 groups of
// which every fourth is hidden. Periods last 1 to 30 days.
struct Calendar {
    Groups groups{"/nonexistent-folder"};
    EventTables tables{groups.CdsGroups()};

    explicit Calendar(int count) {
        Table& g = groups.CdsGroups();
        for (int i = 0; i < kGroups; ++i) {
            g.Append();
            g.SetText(Gp_name, "Group " + std::to_string(i));
            g.SetInteger(Gp_color, i * 0x0A0B0C);
            g.SetInteger(Gp_show, i % 4 == 3 ? 0 : 1);
            g.Post();
        }
        std::mt19937 random(7);
        auto pick = [&](int lo, int hi) {
            return std::uniform_int_distribution<int>(lo, hi)(random);
        };
        Table& e = tables.CdsEvents();
        for (int i = 0; i < count; ++i) {
            const calendar::CivilDate day =
                calendar::DateOfDayOfYear(pick(1, 365), kYear + pick(-1, 1), true);
            const std::string date = calendar::DateText(day);
            int type = 0, repeat = 0;
            std::string from, to;
            switch (i % 8) {
                case 0: {
                    type = 1;
                    from = date;
                    const auto n = calendar::DayNumberOf(day, true) + pick(0, 29);
                    to = calendar::DateText(calendar::DateOfDayNumber(n, true));
                    break;
                }
                case 1:
                    repeat = RepeatNone;
                    from = date;
                    break;
                case 2:
                    repeat = RepeatYearly;
                    from = date;
                    break;
                case 3:
                    repeat = RepeatWeekOfMonth;
                    from = Two(pick(0, 6)) + Two(pick(1, 5)) + Two(pick(1, 12));
                    break;
                case 4:
                    repeat = RepeatEaster;
                    from = std::to_string(pick(-60, 60));
                    break;
                case 5:
                    repeat = RepeatAdvent;
                    from = std::to_string(pick(0, 40));
                    break;
                case 6:
                    repeat = RepeatNearDate;
                    from = Two(pick(0, 6)) + Two(pick(1, 5)) + (pick(0, 1) ? "01" : "00");
                    to = date;
                    break;
                default:
                    repeat = RepeatJewish;
                    from = Two(pick(1, 12)) + Two(pick(1, 30));
                    break;
            }
            e.Append();
            e.SetText(Ev_name, "Event " + std::to_string(i));
            e.SetInteger(Ev_Type, type);
            e.SetInteger(Ev_repeat, repeat);
            e.SetText(Ev_from, from);
            if (!to.empty()) e.SetText(Ev_to, to);
            e.SetInteger(Ev_gp_no, pick(1, kGroups));
            e.Post();
        }
    }
};

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
