#include "cli/calendar_files.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string_view>

#include "app/resource_folder.h"
#include "cli/error_text.h"
#include "data/table_file.h"

namespace yorbel::cli {
namespace {

namespace fs = std::filesystem;

// XDG base folder from its variable, else $HOME + fallback; empty when neither is set.
fs::path BaseFolder(const char* variable, const char* fallback) {
    if (const char* v = std::getenv(variable); v != nullptr && *v != '\0') return v;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return fs::path(home) / fallback;
    return {};
}

// Where the desktop program keeps its writable group files (its per-user data folder).
fs::path UserDataFolder() {
    const fs::path base = BaseFolder("XDG_DATA_HOME", ".local/share");
    return base.empty() ? fs::path() : base / "Brenmark" / "Yorbel";
}

}  // namespace

std::optional<std::string> StoredSetting(std::string_view key) {
    const fs::path base = BaseFolder("XDG_CONFIG_HOME", ".config");
    if (base.empty()) return std::nullopt;
    std::ifstream in(base / "Brenmark" / "Yorbel.conf");
    bool general = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with('[')) {
            general = line == "[General]";
        } else if (general && line.size() > key.size() && line.starts_with(key) &&
                   line[key.size()] == '=') {
            return line.substr(key.size() + 1);
        }
    }
    return std::nullopt;
}

bool StoredLanguageIsEnglish() {
    return StoredSetting("Language") != "0";
}

fs::path ProgramFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : app::ResourceFolder(exe.parent_path());
}

std::unique_ptr<data::Groups> NoGroups() {
    return std::make_unique<data::Groups>(fs::path());
}

std::unique_ptr<data::Groups> OpenGroups(const std::optional<std::string>& groups_file) {
    if (groups_file) {
        auto groups = std::make_unique<data::Groups>(fs::path(*groups_file).parent_path());
        data::LoadTable(groups->CdsGroups(), *groups_file);
        return groups;
    }
    const fs::path folder = UserDataFolder();
    if (folder.empty())
        throw std::runtime_error("no per-user data folder (HOME is not set); use --groups FILE");
    // Only read: the per-user copy is seeded, and a damaged one set aside, by the desktop
    // program, which can tell the user; here the shipped groups stand in.
    auto groups = std::make_unique<data::Groups>(folder, ProgramFolder());
    if (const auto warning = groups->ReadGroups(StoredLanguageIsEnglish())) {
        std::cerr << "yorbel-cli: " << ErrorText(*warning) << '\n';
    }
    return groups;
}

std::unique_ptr<data::EventTables> OpenCalendarFile(const data::Groups& groups,
                                                    const fs::path& file) {
    auto calendar = std::make_unique<data::EventTables>(groups.CdsGroups());
    calendar->OpenCalendar(file);
    return calendar;
}

std::string CalendarName(const fs::path& file) {
    return file.filename().string();
}

}  // namespace yorbel::cli
