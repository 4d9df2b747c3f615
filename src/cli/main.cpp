// yorbel-cli: the calendar computations for scripts. Dispatches to one command per file.
#include <array>
#include <iostream>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/process_exit.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

using yorbel::cli::Command;

// A new command adds one line here.
const std::array kCommands{
    yorbel::cli::DayCommand(),    yorbel::cli::EasterCommand(),      yorbel::cli::ImportCommand(),
    yorbel::cli::ExportCommand(), yorbel::cli::OccurrencesCommand(), yorbel::cli::CountCommand(),
#ifdef YORBEL_RENDER
    yorbel::cli::RenderCommand(),
#endif
};

// A command lives for one task and then exits: memory it frees is better kept for its next
// allocations than handed back to the system and asked for again, page by page. (A large
// calendar is read into tens of megabytes, and each new page costs the kernel a fault.)
void KeepFreedMemory() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_TOP_PAD, 16 << 20);
#endif
}

void PrintUsage(std::ostream& out) {
    out << "Usage: yorbel-cli COMMAND [ARGUMENTS] [--help]\n\n";
    for (const Command& c : kCommands) out << c.usage << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    KeepFreedMemory();
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty() || words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        PrintUsage(words.empty() ? std::cerr : std::cout);
        return words.empty() ? 2 : 0;
    }
    for (const Command& command : kCommands) {
        if (command.name != words[0]) continue;
        try {
            const int status = command.run(std::span(words).subspan(1), std::cout);
            std::cout.flush();
            if (!std::cout) {
                std::cerr << "yorbel-cli " << command.name << ": cannot write the output\n";
                return 1;
            }
            yorbel::cli::ExitProcess(status);
        } catch (const yorbel::cli::UsageError& e) {
            std::cerr << "yorbel-cli " << command.name << ": " << e.what() << " (see --help)\n";
            return 2;
        } catch (const std::exception& e) {
            std::cerr << "yorbel-cli " << command.name << ": " << e.what() << '\n';
            return 1;
        }
    }
    std::cerr << "yorbel-cli: unknown command '" << words[0] << "' (see --help)\n";
    return 2;
}
