// A calendar file and the groups its occurrences are judged by, read for yorbel-cli
// commands. Nothing is ever written back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include "data/events.h"
#include "data/groups.h"

namespace yorbel::cli {

// The group file used without --groups: the desktop program's per-user copy,
// $XDG_DATA_HOME/Brenmark/Yorbel/Groups_e.yrg (XDG_DATA_HOME defaulting to
// ~/.local/share), when it exists; else the shipped Groups_e.yrg beside yorbel-cli; else
// none. The English file is taken because the stored language lives in the desktop
// program's settings, which the command line does not read.
std::optional<std::filesystem::path> DefaultGroupFile();

// Help text describing that choice, for the commands' usage.
inline constexpr std::string_view kGroupFileHelp =
    "    Without --groups the group file is the desktop program's per-user copy\n"
    "    $XDG_DATA_HOME/Brenmark/Yorbel/Groups_e.yrg (XDG_DATA_HOME defaults to\n"
    "    ~/.local/share; English, as the stored language is not read), else the shipped\n"
    "    Groups_e.yrg beside yorbel-cli; without either every group counts as hidden.\n";

class CalendarSource {
  public:
    // Throws Failure when a file cannot be read. Warnings (no group file) go to `warnings`.
    CalendarSource(const std::filesystem::path& calendar_file,
                   const std::optional<std::string>& groups_file, std::ostream& warnings);
    CalendarSource(const CalendarSource&) = delete;
    CalendarSource& operator=(const CalendarSource&) = delete;

    // The occurrences of the year (generated when the year changes). Events with a
    // malformed rule are named in `warnings`, each once.
    data::Table& Occurrences(int year, bool gregorian);

  private:
    std::ostream& warnings_;
    data::Groups groups_;
    data::EventTables tables_;
    std::optional<int> year_;
    bool gregorian_ = true;
    std::set<std::int32_t> warned_;
};

}  // namespace yorbel::cli
