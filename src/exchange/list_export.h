// Export of an event list: its rows as delimited text, in the list's order.
//
// One line per row of a shown group, eight columns: El_ev_no, El_gp_no, El_from, El_to,
// El_dispFrom, El_dispTo, El_show, El_name. The date columns hold the stored "yyyymmdd"
// texts, the display columns the same dates as the user reads them, El_show the group's
// shown mark (1). Texts are quoted as delimited_line.h describes; every line ends CR LF.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/dates.h"
#include "data/list_rows.h"
#include "exchange/delimited_text.h"

namespace yorbel::exchange {

// A date as the user reads it (the window's short date format).
using DisplayDate = std::function<std::string(const calendar::CivilDate&)>;

// The lines of the rows whose group is shown. An empty date text gives empty date and
// display columns.
std::string ListText(const std::vector<data::ListRow>& rows, std::string_view separator,
                     const DisplayDate& display, const GroupShownQuery& is_group_shown);

// ListText written to the file, which is created or replaced whole (data/atomic_file.h).
// Returns the number of rows written; on a failure the error is thrown and the file is as
// it was.
int ExportList(const std::vector<data::ListRow>& rows, const std::filesystem::path& path,
               std::string_view separator, const DisplayDate& display,
               const GroupShownQuery& is_group_shown);

}  // namespace yorbel::exchange
