#include "cli/calendar_source.h"

#include <unistd.h>

#include <cstdlib>

#include "cli/args.h"
#include "data/occurrences.h"
#include "data/table_file.h"

namespace yorbel::cli {

namespace fs = std::filesystem;

namespace {

fs::path ProgramFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self.parent_path();
}

// Table-store errors name the file already; the command adds its own name.
template <class Load>
void ReadOrFail(Load&& load) {
    try {
        load();
    } catch (const data::Error& e) {
        throw Failure(e.what());
    }
}

}  // namespace

std::optional<fs::path> DefaultGroupFile() {
    fs::path data_home;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') {
        data_home = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        data_home = fs::path(home) / ".local" / "share";
    }
    std::error_code ec;
    if (!data_home.empty()) {
        const fs::path user_copy = data_home / "Brenmark" / "Yorbel" / data::kGroupFileEnglish;
        if (fs::is_regular_file(user_copy, ec)) return user_copy;
    }
    const fs::path shipped = ProgramFolder() / data::kGroupFileEnglish;
    if (fs::is_regular_file(shipped, ec)) return shipped;
    return std::nullopt;
}

CalendarSource::CalendarSource(const fs::path& calendar_file,
                               const std::optional<std::string>& groups_file,
                               std::ostream& warnings)
    : warnings_(warnings), groups_(fs::path()), tables_(groups_.CdsGroups()) {
    ReadOrFail([&] { tables_.OpenCalendar(calendar_file); });
    const std::optional<fs::path> groups =
        groups_file ? fs::path(*groups_file) : DefaultGroupFile();
    if (groups) {
        ReadOrFail([&] { data::LoadTable(groups_.CdsGroups(), *groups); });
    } else {
        warnings_ << "warning: no group file found; every group counts as hidden\n";
    }
}

data::Table& CalendarSource::Occurrences(int year, bool gregorian) {
    if (year_ != year || gregorian_ != gregorian) {
        for (const data::SkippedEvent& s : data::GenerateOccurrences(tables_, year, gregorian)) {
            if (!warned_.insert(s.ev_no).second) continue;
            warnings_ << "warning: event " << s.ev_no << " \"" << s.name
                      << "\" skipped: " << s.reason.what() << '\n';
        }
        year_ = year;
        gregorian_ = gregorian;
    }
    return tables_.CdsEvDates();
}

}  // namespace yorbel::cli
