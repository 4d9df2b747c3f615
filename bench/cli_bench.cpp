// yorbel-cli as a whole process, the way scripts call it: a year of day facts as JSON.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

// The benchmark lives in <build>/bench, the program in <build>/bin.
std::filesystem::path CliPath() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin" /
           "yorbel-cli";
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
    if (!std::filesystem::exists(cli)) {
        state.SkipWithError("yorbel-cli is not built");
        return;
    }
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

}  // namespace

BENCHMARK_MAIN();
