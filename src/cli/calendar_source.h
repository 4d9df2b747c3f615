// A calendar file and the groups its occurrences are judged by, for the yorbel-cli
// commands that show occurrences. Nothing is written to the calendar file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>

#include "data/events.h"
#include "data/groups.h"
#include "data/occurrences.h"

namespace yorbel::cli {

// Usage lines on where the groups come from.
inline constexpr std::string_view kGroupFileHelp =
    "    Without --groups the desktop program's group file for its stored language is\n"
    "    used (the per-user copy, else the one shipped beside the program).\n";

// Names an event left out because its rule is malformed, as one line of warnings.
void WarnSkipped(std::ostream& warnings, const data::SkippedEvent& skipped);

class CalendarSource {
  public:
    // Throws when a file cannot be read (OpenGroups, OpenCalendarFile).
    CalendarSource(const std::filesystem::path& calendar_file,
                   const std::optional<std::string>& groups_file, std::ostream& warnings);
    CalendarSource(const CalendarSource&) = delete;
    CalendarSource& operator=(const CalendarSource&) = delete;

    // The occurrences of the year (generated when the year changes). Events with a
    // malformed rule are named in the warnings, each once.
    data::Table& Occurrences(int year, bool gregorian);

    // The tables and groups themselves, for outputs that read more than the rows.
    data::EventTables& CalendarTables() { return *tables_; }
    data::Groups& CalendarGroups() { return *groups_; }

  private:
    std::ostream& warnings_;
    std::unique_ptr<data::Groups> groups_;  // outlives the tables, which read it live
    std::unique_ptr<data::EventTables> tables_;
    std::optional<int> year_;
    bool gregorian_ = true;
    std::set<std::int32_t> warned_;
};

}  // namespace yorbel::cli
