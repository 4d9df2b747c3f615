#include "data/events.h"

#include "data/table_file.h"

namespace yorbel::data {

namespace {

std::vector<FieldDef> EventFields() {
    return {FieldDef::AutoIncrement("Ev_no"), FieldDef::Text("Ev_name", 80),
            FieldDef::Integer("Ev_Type"),     FieldDef::Integer("Ev_repeat"),
            FieldDef::Text("Ev_from", 8),     FieldDef::Text("Ev_to", 8),
            FieldDef::Integer("Ev_gp_no")};
}

std::vector<FieldDef> OccurrenceFields(const Table& events, const Table& groups) {
    return {FieldDef::Integer("Ed_ev_no"),
            FieldDef::Integer("Ed_gp_no"),
            FieldDef::Text("Ed_date", 8),
            FieldDef::Lookup("Ed_color", "Ed_gp_no", groups, "Gp_no", "Gp_color"),
            FieldDef::Lookup("Ed_ev_name", "Ed_ev_no", events, "Ev_no", "Ev_name"),
            FieldDef::Lookup("Ed_show", "Ed_gp_no", groups, "Gp_no", "Gp_show"),
            FieldDef::Lookup("Ed_free", "Ed_gp_no", groups, "Gp_no", "Gp_free")};
}

}  // namespace

EventTables::EventTables(const Table& groups)
    : events_("CdsEvents", EventFields()), dates_("CdsEvDates", OccurrenceFields(events_, groups)) {
    events_.AddIndex(std::string(kIxEvNo), {"Ev_no"}, {.primary = true, .unique = false});
    events_.AddIndex(std::string(kIxEvName), {"Ev_name"});
    events_.SetCurrentIndex(kIxEvNo);
    dates_.AddIndex(std::string(kIxEdEvNo), {"Ed_ev_no"}, {.primary = true, .unique = false});
    dates_.AddIndex(std::string(kIxEdDate), {"Ed_date"});
    dates_.SetCurrentIndex(kIxEdDate);
}

void EventTables::OpenCalendar(const std::filesystem::path& path) {
    if (path.empty()) {
        events_.Clear();
    } else {
        LoadTable(events_, path);  // leaves the table as it was when it fails
    }
    events_.SetCurrentIndex(kIxEvNo);
    events_.First();
    ResetOccurrenceTable();
    file_name_ = path;
    modified_ = false;
}

void EventTables::ResetOccurrenceTable() {
    dates_.Clear();
    dates_.SetCurrentIndex(kIxEdDate);
}

bool EventTables::SaveCalendar() {
    if (file_name_.empty()) return false;
    SaveTable(events_, file_name_);
    modified_ = false;
    return true;
}

void EventTables::SaveCalendarAs(const std::filesystem::path& path) {
    SaveTable(events_, path);
    file_name_ = path;
    modified_ = false;
}

}  // namespace yorbel::data
