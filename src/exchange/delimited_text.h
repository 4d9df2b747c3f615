// Delimited text export and import of any table, through its field list.
//
// A file holds one line per row and one column per field, in field order, the
// auto-increment field left out (its numbers belong to the table the row lands in).
// Text is quoted as delimited_line.h describes; integers are decimal, truth values
// "True" or "False", nulls empty columns. Derived fields (lookups, calculated fields) are
// written like stored ones; on import their columns are read past, since such a field
// cannot hold a value of its own. Files are written in UTF-8 without a byte order mark;
// on import a byte order mark is skipped and each line that is not valid UTF-8 is read as
// Windows-1252 (text_encoding.h).
//
// Failures are data::Error values naming the file and, on import, the line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "data/table.h"

namespace yorbel::exchange {

// Answers whether the group with this number is shown.
using GroupShownQuery = std::function<bool(std::int32_t group_no)>;

// The current row as one line, CR LF included. A separator follows every written field
// that is not the table's last field.
std::string FormatRow(const data::Table& table, std::string_view separator);

// Assigns one value to a field of the pending row: an empty text makes it null; text
// fields take the text; integer fields the text read as a whole number; truth-value
// fields "True" or "False" (in any case). A value that does not fit the field throws, and
// so does a text with a line break, which could not be written back as one line.
void SetFieldFromText(data::Table& table, data::FieldNo field, std::string_view text);

// Assigns the columns of one line (without its line end) to the fields of the pending row in
// field order, skipping the auto-increment field. Fields without a column stay as they
// are; more columns than fields throw.
void ParseLine(data::Table& table, std::string_view line, std::string_view separator);

// Writes the rows whose group (the integer in `group_field`) is shown, in the table's
// current order, to the file, which is created or replaced whole (data/atomic_file.h). A
// row with a null group is not shown. Afterwards the last row is current. Returns the
// number of rows written. On a failure the error is thrown and the file is as it was.
int ExportTable(data::Table& table, const std::filesystem::path& path, std::string_view separator,
                std::string_view group_field, const GroupShownQuery& is_group_shown);

// Appends and posts one row per line of the text; returns the number of rows added. A line that is
// not empty needs at least `required_columns` columns (the ones a row cannot do without); later
// columns may be left out and leave their fields empty. An empty line is a row with every field
// empty. On the first line that cannot be read the row begun for it is dropped, the rows before it
// stay, and the error is thrown with the line number (and `file` as its file).
int ImportText(data::Table& table, std::string_view text, std::string_view separator,
               std::size_t required_columns = 0, const std::string& file = {});

// ImportText on the decoded content of a file.
int ImportFile(data::Table& table, const std::filesystem::path& path, std::string_view separator,
               std::size_t required_columns = 0);

}  // namespace yorbel::exchange
