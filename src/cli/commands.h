// The yorbel-cli commands. Each lives in a file of its own and is listed once in main.cpp.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace yorbel::cli {

struct Command {
    std::string_view name;
    std::string_view usage;  // synopsis and description, printed by --help
    // The words after the command name. Returns the exit status; throws UsageError
    // (status 2) or any other exception (status 1).
    int (*run)(std::span<const std::string> words, std::ostream& out);
};

Command DayCommand();
Command EasterCommand();
Command ImportCommand();
Command ExportCommand();
Command OccurrencesCommand();
Command CountCommand();
Command RenderCommand();  // only in a build with Qt (YORBEL_RENDER)

}  // namespace yorbel::cli
