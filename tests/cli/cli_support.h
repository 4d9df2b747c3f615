// Runs the built yorbel-cli the way scripts do, for the tests of its commands.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace yorbel::cli::testing {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Arguments are passed through the shell, single-quoted; `env` is put in front of the
// command as NAME=value assignments. Standard error goes through `err_file`, which is
// left for the caller to remove.
inline CliResult RunCliProgram(const std::vector<std::string>& args,
                               const std::filesystem::path& err_file, const std::string& env = "") {
    std::string command = env + " '" + YORBEL_BIN_DIR + "/yorbel-cli'";
    for (const std::string& a : args) command += " '" + a + "'";
    command += " 2>'" + err_file.string() + "'";
    CliResult r;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return r;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        r.out.append(buffer, got);
    const int raw = ::pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream err(err_file);
    std::stringstream text;
    text << err.rdbuf();
    r.err = text.str();
    return r;
}

}  // namespace yorbel::cli::testing
