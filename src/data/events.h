// One calendar's tables: the events (the whole content of a calendar file) and the
// occurrences of the shown year (rebuilt from the events, never saved).
//
// Rule encoding in Ev_from / Ev_to of a single-day event (Ev_Type 0), by Ev_repeat:
//   0 RepeatNone         Ev_from "yyyymmdd": the one date
//   1 RepeatYearly       Ev_from "yyyymmdd": day and month recur every year
//   2 RepeatWeekOfMonth  Ev_from "wwnnmm": Sunday-based weekday, count 1–5 (5 = last), month
//   3 RepeatEaster       Ev_from signed integer: days after Easter Sunday
//   4 RepeatAdvent       Ev_from integer 0–366: days before the fourth Sunday of Advent
//   5 RepeatNearDate     Ev_from "wwnnxx": weekday, count, "01" after / else before;
//                        Ev_to "yyyymmdd": the reference day and month
//   6 RepeatJewish       Ev_from "mmdd": Jewish month (01 Tishri … 12, 06 the first
//                        Adar of a leap year, 13 the Adar of Purim) and day
// A period (Ev_Type ≠ 0) runs from Ev_from to Ev_to, both "yyyymmdd" and included.
// Texts are not checked when stored; the readers decide what a broken rule gives.
#pragma once

#include <cstddef>
#include <filesystem>

#include "data/index_names.h"
#include "data/table.h"

namespace yorbel::data {

// Fields of CdsEvents, in table order.
inline constexpr FieldNo Ev_no{0};      // auto-increment event number
inline constexpr FieldNo Ev_name{1};    // text 80
inline constexpr FieldNo Ev_Type{2};    // 0 single day, other: period
inline constexpr FieldNo Ev_repeat{3};  // repeat code of a single day
inline constexpr FieldNo Ev_from{4};    // text 8, rule text 1
inline constexpr FieldNo Ev_to{5};      // text 8, rule text 2
inline constexpr FieldNo Ev_gp_no{6};   // group number (Gp_no)

// The columns a line of delimited text needs to describe an event: name, type, repeat
// and from (Ev_no has no column); Ev_to and Ev_gp_no may be left out.
inline constexpr std::size_t kEventRuleColumns = 4;

// Fields of CdsEvDates, in table order.
inline constexpr FieldNo Ed_ev_no{0};    // Ev_no of the event
inline constexpr FieldNo Ed_gp_no{1};    // the event's group at generation
inline constexpr FieldNo Ed_date{2};     // "yyyymmdd"
inline constexpr FieldNo Ed_color{3};    // lookup Gp_color by Ed_gp_no
inline constexpr FieldNo Ed_ev_name{4};  // lookup Ev_name by Ed_ev_no
inline constexpr FieldNo Ed_show{5};     // lookup Gp_show by Ed_gp_no
inline constexpr FieldNo Ed_free{6};     // lookup Gp_free by Ed_gp_no

enum RepeatCode : int {
    RepeatNone = 0,
    RepeatYearly = 1,
    RepeatWeekOfMonth = 2,
    RepeatEaster = 3,
    RepeatAdvent = 4,
    RepeatNearDate = 5,
    RepeatJewish = 6,
};

class EventTables {
  public:
    // groups: the program-wide CdsGroups, read live by the occurrence lookups; it must
    // outlive this object.
    explicit EventTables(const Table& groups);
    EventTables(const EventTables&) = delete;
    EventTables& operator=(const EventTables&) = delete;

    // Events; indexes Ix_Ev_no (primary, current) and Ix_Ev_name.
    Table& CdsEvents() { return events_; }
    const Table& CdsEvents() const { return events_; }
    // Occurrences; indexes Ix_Ed_Ev_no (primary) and Ix_Ed_date (current).
    Table& CdsEvDates() { return dates_; }
    const Table& CdsEvDates() const { return dates_; }

    // An empty path gives a new, untitled calendar; otherwise the file is loaded. Sets
    // FileName, clears Modified and the occurrences. Throws Error when the file cannot be
    // loaded, leaving everything as it was.
    void OpenCalendar(const std::filesystem::path& path);

    // Drops all occurrences; Ix_Ed_date becomes current.
    void ResetOccurrenceTable();

    // Saves to FileName and clears Modified. False (and nothing done) when the calendar
    // has no file name yet: the caller asks for one and uses SaveCalendarAs. Throws Error
    // when the file cannot be written; the old file and Modified stay as they were.
    bool SaveCalendar();
    // Saves to path; on success it becomes FileName and Modified is cleared.
    void SaveCalendarAs(const std::filesystem::path& path);

    // Full path of the calendar file, empty for one never saved.
    const std::filesystem::path& FileName() const { return file_name_; }
    // True when the events were changed since they were created, loaded or saved; the
    // commands that change events set it.
    bool Modified() const { return modified_; }
    void SetModified(bool modified = true) { modified_ = modified; }

  private:
    Table events_;
    Table dates_;
    std::filesystem::path file_name_;
    bool modified_ = false;
};

}  // namespace yorbel::data
