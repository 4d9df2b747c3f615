#include "exchange/list_export.h"

#include "data/atomic_file.h"
#include "exchange/delimited_line.h"

namespace yorbel::exchange {

namespace {

// An empty date text (the last day of a single day) has no display text.
std::string Displayed(const std::string& text, const DisplayDate& display) {
    const auto date = calendar::ParseDateText(text);
    return date ? display(*date) : std::string();
}

void AppendRow(std::string& out, const data::ListRow& row, std::string_view separator,
               const DisplayDate& display) {
    out += std::to_string(row.ev_no);
    out += separator;
    out += std::to_string(row.gp_no);
    out += separator;
    for (const std::string* text : {&row.from, &row.to}) {
        AppendTextColumn(out, *text, separator);
        out += separator;
    }
    for (const std::string* text : {&row.from, &row.to}) {
        AppendTextColumn(out, Displayed(*text, display), separator);
        out += separator;
    }
    out += '1';  // only rows of shown groups are written
    out += separator;
    AppendTextColumn(out, row.name, separator);
    out += kLineEnd;
}

// Returns the number of rows appended.
int AppendShownRows(std::string& out, const std::vector<data::ListRow>& rows,
                    std::string_view separator, const DisplayDate& display,
                    const GroupShownQuery& is_group_shown) {
    int written = 0;
    for (const data::ListRow& row : rows) {
        if (!is_group_shown(row.gp_no)) continue;
        AppendRow(out, row, separator, display);
        ++written;
    }
    return written;
}

}  // namespace

std::string ListText(const std::vector<data::ListRow>& rows, std::string_view separator,
                     const DisplayDate& display, const GroupShownQuery& is_group_shown) {
    std::string text;
    AppendShownRows(text, rows, separator, display, is_group_shown);
    return text;
}

int ExportList(const std::vector<data::ListRow>& rows, const std::filesystem::path& path,
               std::string_view separator, const DisplayDate& display,
               const GroupShownQuery& is_group_shown) {
    std::string text;
    const int written = AppendShownRows(text, rows, separator, display, is_group_shown);
    data::WriteFileAtomically(path, text);
    return written;
}

}  // namespace yorbel::exchange
