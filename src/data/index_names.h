// The names of the indexes the program gives its tables. Callers select and search
// indexes by these names; the names appear in messages, so they stay as they are.
#pragma once

#include <string_view>

namespace yorbel::data {

// CdsEvents
inline constexpr std::string_view kIxEvNo = "Ix_Ev_no";      // Ev_no, primary
inline constexpr std::string_view kIxEvName = "Ix_Ev_name";  // Ev_name

// CdsEvDates
inline constexpr std::string_view kIxEdEvNo = "Ix_Ed_Ev_no";  // Ed_ev_no, primary
inline constexpr std::string_view kIxEdDate = "Ix_Ed_date";   // Ed_date

// CdsGroups
inline constexpr std::string_view kIxGpNo = "Ix_Gp_no";      // Gp_no, unique
inline constexpr std::string_view kIxGpName = "Ix_Gp_name";  // Gp_name, unique

}  // namespace yorbel::data
