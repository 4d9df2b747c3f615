// Delimited text export and import of a calendar with 100,000 events, and the iCalendar
// text of a year with as many occurrences.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "data/events.h"
#include "data/groups.h"
#include "exchange/delimited_text.h"
#include "exchange/icalendar_export.h"

namespace {

namespace fs = std::filesystem;
using namespace yorbel;

constexpr int kEvents = 100000;

struct Setting {
    fs::path dir = fs::temp_directory_path() / "yorbel_exchange_bench";
    std::unique_ptr<data::Groups> groups;

    Setting() {
        fs::create_directories(dir);
        groups = std::make_unique<data::Groups>(dir);
        groups->LoadGroups(true);
        data::Table& t = groups->CdsGroups();
        for (int g = 1; g <= 10; ++g) {
            t.Append();
            t.SetText(data::Gp_name, "Group " + std::to_string(g));
            t.SetInteger(data::Gp_show, g == 10 ? 0 : 1);  // one group in ten hidden
            t.Post();
        }
    }
    ~Setting() { fs::remove_all(dir); }

    // Names with commas and quotes now and then, so the quoting paths run too.
    static void Fill(data::EventTables& cal) {
        data::Table& e = cal.CdsEvents();
        for (int i = 0; i < kEvents; ++i) {
            const int month = i % 12 + 1;
            e.Append();
            e.SetText(data::Ev_name, i % 7 == 0 ? "Meeting, \"team\" " + std::to_string(i)
                                                : "Event number " + std::to_string(i));
            e.SetInteger(data::Ev_Type, 0);
            e.SetInteger(data::Ev_repeat, 0);
            e.SetText(data::Ev_from,
                      "2026" + std::string(month < 10 ? "0" : "") + std::to_string(month) + "15");
            e.SetInteger(data::Ev_gp_no, i % 10 + 1);
            e.Post();
        }
    }

    exchange::GroupShownQuery Shown() {
        return [this](std::int32_t g) { return groups->IsGroupShown(g); };
    }
};

void BM_ExportTable(benchmark::State& state) {
    Setting s;
    data::EventTables cal(s.groups->CdsGroups());
    Setting::Fill(cal);
    const fs::path file = s.dir / "out.csv";
    for (auto _ : state) {
        exchange::ExportTable(cal.CdsEvents(), file, ",", "Ev_gp_no", s.Shown());
    }
    state.counters["events"] = kEvents;
    state.counters["bytes"] = static_cast<double>(fs::file_size(file));
}
BENCHMARK(BM_ExportTable)->Unit(benchmark::kMillisecond);

void BM_ImportFile(benchmark::State& state) {
    Setting s;
    const fs::path file = s.dir / "in.csv";
    {
        data::EventTables source(s.groups->CdsGroups());
        Setting::Fill(source);
        exchange::ExportTable(source.CdsEvents(), file, ",", "Ev_gp_no",
                              [](std::int32_t) { return true; });
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto cal = std::make_unique<data::EventTables>(s.groups->CdsGroups());
        state.ResumeTiming();
        const int added = exchange::ImportFile(cal->CdsEvents(), file, ",");
        benchmark::DoNotOptimize(added);
        state.PauseTiming();
        cal.reset();
        state.ResumeTiming();
    }
    state.counters["events"] = kEvents;
}
BENCHMARK(BM_ImportFile)->Unit(benchmark::kMillisecond);

void BM_ExportICalendar(benchmark::State& state) {
    Setting s;
    data::EventTables cal(s.groups->CdsGroups());
    Setting::Fill(cal);
    // One occurrence per event, as the generator gives for these one-time events.
    data::Table& events = cal.CdsEvents();
    data::Table& dates = cal.CdsEvDates();
    for (events.First(); !events.Eof(); events.Next()) {
        dates.Append();
        dates.SetInteger(data::Ed_ev_no, events.AsInteger(data::Ev_no));
        dates.SetInteger(data::Ed_gp_no, events.AsInteger(data::Ev_gp_no));
        dates.SetText(data::Ed_date, events.AsText(data::Ev_from));
        dates.Post();
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            exchange::ExportICalendar(cal, *s.groups, 2026, true, "bench.yrb"));
    }
    state.counters["occurrences"] = kEvents;
}
BENCHMARK(BM_ExportICalendar)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
