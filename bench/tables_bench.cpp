// Table store costs at calendar sizes: saving and loading calendar files, filling the
// occurrence table (two indexes, about three occurrences per event) and day searches.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "data/events.h"
#include "data/groups.h"
#include "data/table_file.h"

namespace {
namespace fs = std::filesystem;
using namespace yorbel::data;

fs::path BenchFolder() {
    fs::path p = fs::temp_directory_path() / ("yorbel_tables_bench_" + std::to_string(::getpid()));
    fs::create_directories(p);
    return p;
}

std::string DateOfDay(int day_of_year) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    while (day_of_year >= kDays[month]) day_of_year -= kDays[month++];
    char buf[32];
    std::snprintf(buf, sizeof buf, "2026%02d%02d", month + 1, day_of_year + 1);
    return buf;
}

// Events of every rule kind, as the editor stores them.
void FillEvents(Table& ev, int count) {
    std::mt19937 rng(42);
    const char* weekday_rules[] = {"010203", "000511", "060101"};
    for (int i = 0; i < count; ++i) {
        const int kind = i % 8;
        ev.Append();
        ev.SetText(Ev_name, "Event number " + std::to_string(i));
        ev.SetInteger(Ev_Type, kind == 7 ? 1 : 0);
        ev.SetInteger(Ev_repeat, kind == 7 ? 0 : kind);
        ev.SetInteger(Ev_gp_no, static_cast<std::int32_t>(rng() % 20 + 1));
        switch (kind) {
            case 2:
                ev.SetText(Ev_from, weekday_rules[i % 3]);
                break;
            case 3:
                ev.SetText(Ev_from, std::to_string(static_cast<int>(rng() % 100) - 50));
                break;
            case 4:
                ev.SetText(Ev_from, std::to_string(rng() % 30));
                break;
            case 5:
                ev.SetText(Ev_from, "000101");
                ev.SetText(Ev_to, "20261111");
                break;
            case 6:
                ev.SetText(Ev_from, "0515");
                break;
            case 7: {
                const int start = static_cast<int>(rng() % 330);
                ev.SetText(Ev_from, DateOfDay(start));
                ev.SetText(Ev_to, DateOfDay(start + static_cast<int>(rng() % 30)));
                break;
            }
            default:
                ev.SetText(Ev_from, DateOfDay(static_cast<int>(rng() % 365)));
                break;
        }
        ev.Post();
    }
}

void FillGroups(Table& gp) {
    for (int g = 1; g <= 20; ++g) {
        gp.Append();
        gp.SetText(Gp_name, "Group " + std::to_string(g));
        gp.SetInteger(Gp_color, g * 1000);
        gp.SetBoolean(Gp_free, false);
        gp.SetInteger(Gp_show, g % 4 == 0 ? 0 : 1);
        gp.Post();
    }
}

// Three occurrences per event on pseudo-random days, events in number order: the shape
// of a generated year.
std::vector<std::string> OccurrenceDates(int events) {
    std::mt19937 rng(7);
    std::vector<std::string> dates;
    dates.reserve(static_cast<std::size_t>(events) * 3);
    for (int i = 0; i < events * 3; ++i) dates.push_back(DateOfDay(static_cast<int>(rng() % 365)));
    return dates;
}

void FillOccurrences(EventTables& cal, const std::vector<std::string>& dates) {
    cal.ResetOccurrenceTable();
    Table& ed = cal.CdsEvDates();
    for (std::size_t i = 0; i < dates.size(); ++i) {
        ed.Append();
        ed.SetInteger(Ed_ev_no, static_cast<std::int32_t>(i / 3 + 1));
        ed.SetInteger(Ed_gp_no, static_cast<std::int32_t>(i % 20 + 1));
        ed.SetText(Ed_date, dates[i]);
        ed.Post();
    }
}

void BM_SaveCalendar(benchmark::State& state) {
    const fs::path folder = BenchFolder();
    Groups groups(folder);
    EventTables cal(groups.CdsGroups());
    FillEvents(cal.CdsEvents(), static_cast<int>(state.range(0)));
    for (auto _ : state) cal.SaveCalendarAs(folder / "save.yrb");
    state.counters["bytes"] = static_cast<double>(fs::file_size(folder / "save.yrb"));
    state.SetComplexityN(state.range(0));
    fs::remove_all(folder);
}
BENCHMARK(BM_SaveCalendar)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_LoadCalendar(benchmark::State& state) {
    const fs::path folder = BenchFolder();
    Groups groups(folder);
    EventTables cal(groups.CdsGroups());
    FillEvents(cal.CdsEvents(), static_cast<int>(state.range(0)));
    cal.SaveCalendarAs(folder / "load.yrb");
    EventTables other(groups.CdsGroups());
    for (auto _ : state) {
        other.OpenCalendar(folder / "load.yrb");
        benchmark::DoNotOptimize(other.CdsEvents().RecordCount());
    }
    state.SetComplexityN(state.range(0));
    fs::remove_all(folder);
}
BENCHMARK(BM_LoadCalendar)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// Filling the occurrence table and the first search, which sorts the date index.
void BM_FillOccurrences(benchmark::State& state) {
    const fs::path folder = BenchFolder();
    Groups groups(folder);
    EventTables cal(groups.CdsGroups());
    const auto dates = OccurrenceDates(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        FillOccurrences(cal, dates);
        benchmark::DoNotOptimize(cal.CdsEvDates().GoToKey(Value{std::string("20260101")}));
    }
    state.counters["rows"] = static_cast<double>(dates.size());
    state.SetComplexityN(state.range(0));
    fs::remove_all(folder);
}
BENCHMARK(BM_FillOccurrences)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// Every day of the year: search the date, walk to the first occurrence of a shown group
// and read its colour (the work of a day cell's colour).
void BM_DaySearchesOfAYear(benchmark::State& state) {
    const fs::path folder = BenchFolder();
    Groups groups(folder);
    groups.LoadGroups(true);
    FillGroups(groups.CdsGroups());
    EventTables cal(groups.CdsGroups());
    FillOccurrences(cal, OccurrenceDates(static_cast<int>(state.range(0))));
    Table& ed = cal.CdsEvDates();
    ed.GoToKey(Value{std::string("20260101")});
    std::vector<Value> days;
    for (int d = 0; d < 365; ++d) days.emplace_back(DateOfDay(d));
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (const Value& day : days) {
            if (!ed.GoToKey(day)) continue;
            const std::string& text = std::get<std::string>(day);
            while (!ed.Eof() && ed.AsText(Ed_date) == text) {
                Value show = ed.Get(Ed_show);
                if (show == Value{std::int32_t{1}}) {
                    sum += ed.AsInteger(Ed_color);
                    break;
                }
                ed.Next();
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetComplexityN(state.range(0));
    fs::remove_all(folder);
}
BENCHMARK(BM_DaySearchesOfAYear)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();

}  // namespace

BENCHMARK_MAIN();
