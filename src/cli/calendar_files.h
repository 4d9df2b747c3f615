// Calendar and group files for the yorbel-cli commands that read them.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "data/events.h"
#include "data/groups.h"

namespace yorbel::cli {

// The folder of the files shipped with the program (language, group and location files),
// found from the program's own location; empty when that is unknown.
std::filesystem::path ProgramFolder();

// A value of the desktop program's settings file (section General, as written there);
// none when the file or the key is missing.
std::optional<std::string> StoredSetting(std::string_view key);

// The stored interface language from the desktop program's settings file: false for
// German (Language=0), true for English, which is also the first-start default.
bool StoredLanguageIsEnglish();

// The groups named by --groups, or else the desktop program's own group file: the
// per-user copy for the stored interface language, else the copy shipped beside the
// program. No file is changed or created. A per-user copy that cannot be read gives way
// to the shipped one, with a warning on stderr; any other group file that cannot be read
// throws.
std::unique_ptr<data::Groups> OpenGroups(const std::optional<std::string>& groups_file);

// A groups table that reads no file, for commands that need none.
std::unique_ptr<data::Groups> NoGroups();

// The calendar file loaded into its tables; throws when it cannot be read.
std::unique_ptr<data::EventTables> OpenCalendarFile(const data::Groups& groups,
                                                    const std::filesystem::path& file);

// The file name a calendar is known by: its name without the folder.
std::string CalendarName(const std::filesystem::path& file);

}  // namespace yorbel::cli
