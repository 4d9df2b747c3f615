// yorbel-cli as a whole process, the way scripts call it: a year of day facts as JSON,
// a calendar of 100,000 events imported and listed for a year, an iCalendar file of
// 10,000 events imported, and a year of a calendar of 10,000 events rendered to a PNG.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/table_file.h"
#include "mixed_calendar.h"

extern char** environ;

namespace {

// The benchmark lives in <build>/bench, the program in <build>/bin.
std::filesystem::path CliPath() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin" /
           "yorbel-cli";
}

// False, and the benchmark skipped, when the program is not built.
bool CliBuilt(benchmark::State& state, const std::filesystem::path& cli) {
    if (std::filesystem::exists(cli)) return true;
    state.SkipWithError("yorbel-cli is not built");
    return false;
}

// A new folder of this process for a benchmark's files.
std::filesystem::path ScratchFolder(const std::string& name) {
    const auto dir =
        std::filesystem::temp_directory_path() / (name + "_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

// Runs the program with its output thrown away; returns its exit status.
int RunQuiet(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_CliDayOfAYearAsJson(benchmark::State& state) {
    const std::filesystem::path cli = CliPath();
    if (!CliBuilt(state, cli)) return;
    const std::vector<std::string> args{cli.string(), "day",      "2026-01-01",
                                        "2026-12-31", "--format", "json"};
    for (auto _ : state) {
        if (RunQuiet(args) != 0) {
            state.SkipWithError("yorbel-cli failed");
            return;
        }
    }
}
BENCHMARK(BM_CliDayOfAYearAsJson)->Unit(benchmark::kMillisecond)->UseRealTime();

// Processor time (user and system) of the finished child processes so far, in seconds.
double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One event in three repeats yearly; one name in seven needs CSV quoting.
void WriteEventsCsv(const std::filesystem::path& file, int events) {
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < events; ++i) {
        const int month = i % 12 + 1;
        const int day = i % 28 + 1;
        const std::string date = std::string(i % 3 == 0 ? "2000" : "2026") +
                                 (month < 10 ? "0" : "") + std::to_string(month) +
                                 (day < 10 ? "0" : "") + std::to_string(day);
        out << (i % 7 == 0 ? "\"Meeting, \"\"team\"\" " + std::to_string(i) + "\""
                           : "Event number " + std::to_string(i))
            << ",0," << (i % 3 == 0 ? 1 : 0) << "," << date << ",," << i % 10 + 1 << "\r\n";
    }
}

// A new scratch folder that is also the programs' home, configuration and data folder, so
// the group file they use is a private copy.
std::filesystem::path PrivateHome(const std::string& prefix) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / (prefix + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    setenv("HOME", dir.c_str(), 1);
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    return dir;
}

void BM_CliImportThenListAYear(benchmark::State& state) {
    const std::filesystem::path cli = CliPath();
    if (!CliBuilt(state, cli)) return;
    namespace fs = std::filesystem;
    const fs::path dir = PrivateHome("yorbel_cli_bench_");
    const fs::path csv = dir / "events.csv";
    const fs::path calendar = dir / "events.yrb";
    WriteEventsCsv(csv, 100000);
    const std::vector<std::string> import{cli.string(), "import", calendar.string(), csv.string()};
    const std::vector<std::string> list{
        cli.string(), "occurrences", calendar.string(), "--year", "2026", "--format", "csv"};
    const double cpu_before = ChildCpuSeconds();
    for (auto _ : state) {
        fs::remove(calendar);
        if (RunQuiet(import) != 0 || RunQuiet(list) != 0) {
            state.SkipWithError("yorbel-cli failed");
            break;
        }
    }
    state.counters["cpu_ms_per_pair"] = benchmark::Counter((ChildCpuSeconds() - cpu_before) * 1000 /
                                                           static_cast<double>(state.iterations()));
    fs::remove_all(dir);
}
BENCHMARK(BM_CliImportThenListAYear)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliRenderAYearOf10000Events(benchmark::State& state) {
    const std::filesystem::path cli = CliPath();
    if (!CliBuilt(state, cli)) return;
    namespace fs = std::filesystem;
    const fs::path dir = PrivateHome("yorbel_cli_render_bench_");
    const fs::path csv = dir / "events.csv";
    const fs::path calendar = dir / "events.yrb";
    WriteEventsCsv(csv, 10000);
    if (RunQuiet({cli.string(), "import", calendar.string(), csv.string()}) != 0) {
        state.SkipWithError("yorbel-cli import failed");
        return;
    }
    const std::vector<std::string> render{
        cli.string(), "render", calendar.string(),           "--year",
        "2026",       "-o",     (dir / "year.png").string(), "--size",
        "1600x1000"};
    for (auto _ : state) {
        if (RunQuiet(render) != 0) {
            state.SkipWithError("yorbel-cli render failed");
            break;
        }
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_CliRenderAYearOf10000Events)->Unit(benchmark::kMillisecond)->UseRealTime();

// An iCalendar file of `events` events as published calendars hold them: mostly all-day
// days and periods, one in ten a yearly date, one in twenty the n-th weekday of a month,
// one in ten a timed event in a zone of the file's own VTIMEZONE, and one in twenty a
// weekly rule with an exception that has to be expanded.
void WriteEventsIcs(const std::filesystem::path& file, int events) {
    std::ofstream out(file, std::ios::binary);
    out << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//EN\r\n"
           "BEGIN:VTIMEZONE\r\nTZID:W. Europe Standard Time\r\n"
           "BEGIN:STANDARD\r\nDTSTART:16011028T030000\r\nRRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH="
           "10\r\n"
           "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\n"
           "BEGIN:DAYLIGHT\r\nDTSTART:16010325T020000\r\nRRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3\r\n"
           "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";
    char date[16];
    for (int i = 0; i < events; ++i) {
        std::snprintf(date, sizeof date, "2026%02d%02d", i % 12 + 1, i % 28 + 1);
        out << "BEGIN:VEVENT\r\nUID:event-" << i << "@bench.example\r\nDTSTAMP:20260101T000000Z\r\n"
            << "SUMMARY:Event number " << i << "\\, with a name long enough to be folded once\r\n"
            << " by the writer\r\nCATEGORIES:Holidays\r\n";
        switch (i % 20) {
            case 0:
            case 1:
                out << "DTSTART;VALUE=DATE:" << date << "\r\nRRULE:FREQ=YEARLY\r\n";
                break;
            case 2:
                out << "DTSTART;VALUE=DATE:20260510\r\nRRULE:FREQ=YEARLY;BYMONTH=5;BYDAY=2SU\r\n";
                break;
            case 3:
            case 4:
                out << "DTSTART;TZID=W. Europe Standard Time:" << date
                    << "T183000\r\nDTEND;TZID=W. Europe Standard Time:" << date << "T200000\r\n";
                break;
            case 5:
                out << "DTSTART;VALUE=DATE:" << date << "\r\nRRULE:FREQ=WEEKLY;COUNT=10\r\n"
                    << "EXDATE;VALUE=DATE:" << date << "\r\n";
                break;
            case 6:
            case 7:
                out << "DTSTART;VALUE=DATE:" << date << "\r\nDTEND;VALUE=DATE:20261231\r\n";
                break;
            default:
                out << "DTSTART;VALUE=DATE:" << date << "\r\n";
        }
        out << "END:VEVENT\r\n";
    }
    out << "END:VCALENDAR\r\n";
}

void BM_CliImportICalendarOf10000Events(benchmark::State& state) {
    const std::filesystem::path cli = CliPath();
    if (!CliBuilt(state, cli)) return;
    namespace fs = std::filesystem;
    const fs::path dir = PrivateHome("yorbel_cli_ics_bench_");
    const fs::path ics = dir / "events.ics";
    const fs::path calendar = dir / "events.yrb";
    WriteEventsIcs(ics, 10000);
    const std::vector<std::string> import{cli.string(),  "import",        calendar.string(),
                                          ics.string(),  "--expand-from", "2026",
                                          "--expand-to", "2028"};
    // On a machine shared with other work the wall time waits for the processor; the
    // processor time is what the import itself costs.
    const double cpu_before = ChildCpuSeconds();
    for (auto _ : state) {
        fs::remove(calendar);
        if (RunQuiet(import) != 0) {
            state.SkipWithError("yorbel-cli import failed");
            break;
        }
    }
    state.counters["cpu_ms_per_import"] = benchmark::Counter(
        (ChildCpuSeconds() - cpu_before) * 1000 / static_cast<double>(state.iterations()));
    fs::remove_all(dir);
}
BENCHMARK(BM_CliImportICalendarOf10000Events)->Unit(benchmark::kMillisecond)->UseRealTime();

// The day calculator over a year of a calendar of 10,000 mixed events.
void BM_CliCountAYear(benchmark::State& state) {
    const std::filesystem::path cli = CliPath();
    if (!CliBuilt(state, cli)) return;
    namespace fs = std::filesystem;
    const fs::path dir = ScratchFolder("yorbel_cli_count_bench");
    const fs::path calendar = dir / "events.yrb";
    const fs::path groups = dir / "groups.yrg";
    {
        yorbel::bench::Calendar mixed(10000);
        yorbel::data::SaveTable(mixed.groups.CdsGroups(), groups);
        mixed.tables.SaveCalendarAs(calendar);
    }
    const std::vector<std::string> count{cli.string(), "count",         "2026-01-01",
                                         "2026-12-31", "--calendar",    calendar.string(),
                                         "--groups",   groups.string(), "--skip-weekday",
                                         "sat,sun",    "--format",      "json"};
    for (auto _ : state) {
        if (RunQuiet(count) != 0) {
            state.SkipWithError("yorbel-cli failed");
            break;
        }
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_CliCountAYear)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
