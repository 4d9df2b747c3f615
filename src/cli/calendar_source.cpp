#include "cli/calendar_source.h"

#include "cli/calendar_files.h"
#include "cli/error_text.h"
#include "data/occurrences.h"

namespace yorbel::cli {

void WarnSkipped(std::ostream& warnings, const data::SkippedEvent& skipped) {
    warnings << "warning: event " << skipped.ev_no << " \"" << skipped.name
             << "\" skipped: " << ErrorText(skipped.reason) << '\n';
}

CalendarSource::CalendarSource(const std::filesystem::path& calendar_file,
                               const std::optional<std::string>& groups_file,
                               std::ostream& warnings)
    : warnings_(warnings),
      groups_(OpenGroups(groups_file)),
      tables_(OpenCalendarFile(*groups_, calendar_file)) {}

data::Table& CalendarSource::Occurrences(int year, bool gregorian) {
    if (year_ != year || gregorian_ != gregorian) {
        for (const data::SkippedEvent& s : data::GenerateOccurrences(*tables_, year, gregorian)) {
            if (!warned_.insert(s.ev_no).second) continue;
            WarnSkipped(warnings_, s);
        }
        year_ = year;
        gregorian_ = gregorian;
    }
    return tables_->CdsEvDates();
}

}  // namespace yorbel::cli
