#include "exchange/delimited_text.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

#include "data/atomic_file.h"
#include "data/regular_file.h"
#include "exchange/delimited_line.h"
#include "text/ascii_case.h"
#include "text/text_encoding.h"

namespace yorbel::exchange {
namespace {

using data::Error;
using data::FieldKind;
using data::FieldNo;
using data::FieldRole;

constexpr std::string_view kTrue = "True";
constexpr std::string_view kFalse = "False";

// Output is collected and written in pieces of about this size.
constexpr std::size_t kWriteChunk = 1 << 16;

using text::EqualsIgnoringAsciiCase;

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

data::ErrorPosition InFile(const std::string& file, int line = 0) {
    data::ErrorPosition p;
    p.file = file;
    p.line = line;
    return p;
}

data::ErrorPosition AtField(const std::string& field) {
    data::ErrorPosition p;
    p.field = field;
    return p;
}

void AppendValue(std::string& line, const data::Value& value, std::string_view separator) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        AppendTextColumn(line, *text, separator);
    } else if (const auto* number = std::get_if<std::int32_t>(&value)) {
        char buf[16];
        const auto result = std::to_chars(buf, buf + sizeof buf, *number);
        line.append(buf, result.ptr);
    } else if (const auto* truth = std::get_if<bool>(&value)) {
        line += *truth ? kTrue : kFalse;
    }
}

// Columns go to the stored fields in order; the auto-increment field has none.
bool TakesColumn(const data::FieldDef& def) {
    return !(def.kind == FieldKind::AutoIncrement && def.role == FieldRole::Stored);
}

// The name of the field that takes the column at this 0-based position.
std::string FieldOfColumn(const data::Table& table, std::size_t column) {
    for (int f = 0; f < table.FieldCount(); ++f) {
        const data::FieldDef& def = table.Field(FieldNo(f));
        if (TakesColumn(def) && column-- == 0) return def.name;
    }
    return {};
}

// The number of columns a line of the table has.
std::size_t ColumnCount(const data::Table& table) {
    std::size_t columns = 0;
    for (int f = 0; f < table.FieldCount(); ++f) columns += TakesColumn(table.Field(FieldNo(f)));
    return columns;
}

// Splits a line, keeping no more values than one past the table's columns: enough to
// tell that there are too many.
std::size_t SplitForTable(const data::Table& table, std::string_view line,
                          std::string_view separator, std::vector<std::string>& values) {
    return SplitColumns(line, separator, values, ColumnCount(table) + 1);
}

// `columns` is the line's count, for the message when there are too many.
void AssignColumns(data::Table& table, const std::vector<std::string>& values,
                   std::size_t columns) {
    std::size_t next = 0;
    const int count = table.FieldCount();
    for (int f = 0; f < count && next < values.size(); ++f) {
        const data::FieldDef& def = table.Field(FieldNo(f));
        if (!TakesColumn(def)) continue;
        const std::string& value = values[next++];
        if (def.role == FieldRole::Stored) SetFieldFromText(table, FieldNo(f), value);
    }
    if (next < values.size()) {
        throw Error(data::CoreError("ImportTooManyColumns"),
                    {std::to_string(columns), std::to_string(next)});
    }
}

}  // namespace

std::string FormatRow(const data::Table& table, std::string_view separator) {
    std::string line;
    const int count = table.FieldCount();
    for (int f = 0; f < count; ++f) {
        const data::FieldDef& def = table.Field(FieldNo(f));
        if (!TakesColumn(def)) continue;
        AppendValue(line, table.Get(FieldNo(f)), separator);
        if (f + 1 < count) line += separator;
    }
    line += kLineEnd;
    return line;
}

void SetFieldFromText(data::Table& table, FieldNo field, std::string_view text) {
    if (text.empty()) {
        table.SetNull(field);
        return;
    }
    const data::FieldDef& def = table.Field(field);
    switch (def.kind) {
        case FieldKind::Text:
            // It could not be written back within one line. A file's lines hold none, but a
            // line a caller passes may.
            if (text.find('\n') != std::string_view::npos) {
                throw Error(data::CoreError("ImportLineBreak"), {}, AtField(def.name));
            }
            table.SetText(field, text);
            return;
        case FieldKind::Integer:
        case FieldKind::AutoIncrement: {
            std::string_view digits = TrimBlanks(text);
            if (digits.starts_with('+') && digits.size() > 1 && digits[1] != '-')
                digits.remove_prefix(1);
            std::int32_t number = 0;
            const auto [end, ec] =
                std::from_chars(digits.data(), digits.data() + digits.size(), number);
            if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) {
                throw Error(data::CoreError("ImportNotANumber"), {data::QuotedValue(text)},
                            AtField(def.name));
            }
            table.SetInteger(field, number);
            return;
        }
        case FieldKind::Boolean: {
            const std::string_view word = TrimBlanks(text);
            if (EqualsIgnoringAsciiCase(word, kTrue) || EqualsIgnoringAsciiCase(word, kFalse)) {
                table.SetBoolean(field, EqualsIgnoringAsciiCase(word, kTrue));
                return;
            }
            throw Error(data::CoreError("ImportNotATruthValue"), {data::QuotedValue(text)},
                        AtField(def.name));
        }
    }
}

void ParseLine(data::Table& table, std::string_view line, std::string_view separator) {
    std::vector<std::string> values;
    const std::size_t columns = SplitForTable(table, line, separator, values);
    AssignColumns(table, values, columns);
}

int ExportTable(data::Table& table, const std::filesystem::path& path, std::string_view separator,
                std::string_view group_field, const GroupShownQuery& is_group_shown) {
    const FieldNo group = table.FieldByName(group_field);
    data::AtomicFile out(path);
    std::string buffer;
    int written = 0;
    try {
        for (table.First(); !table.Eof(); table.Next()) {
            const data::Value g = table.Get(group);
            const auto* number = std::get_if<std::int32_t>(&g);
            if (number == nullptr || !is_group_shown(*number)) continue;
            buffer += FormatRow(table, separator);
            ++written;
            if (buffer.size() >= kWriteChunk) {
                out.Write(buffer);
                buffer.clear();
            }
        }
    } catch (const Error& e) {
        throw e.WithPosition(InFile(path.string()));
    }
    out.Write(buffer);
    out.Commit();
    return written;
}

int ImportText(data::Table& table, std::string_view text, std::string_view separator,
               std::size_t required_columns, const std::string& file) {
    LineReader reader(text);
    std::vector<std::string> values;
    // One past the table's columns: enough to tell that a line has too many.
    const std::size_t kept_columns = ColumnCount(table) + 1;
    int added = 0;
    while (!reader.AtEnd()) {
        const std::string_view line = reader.ReadLine();
        table.Append();
        try {
            const std::size_t columns = SplitColumns(line, separator, values, kept_columns);
            if (!line.empty() && columns < required_columns) {
                throw Error(data::CoreError("ImportTooFewColumns"),
                            {std::to_string(columns), std::to_string(required_columns)},
                            AtField(FieldOfColumn(table, columns)));
            }
            AssignColumns(table, values, columns);
            table.Post();
        } catch (const Error& e) {
            // A half-filled row would be a new event nobody wrote: drop it.
            table.Cancel();
            throw e.WithPosition(InFile(file, reader.LineNumber()));
        }
        ++added;
    }
    return added;
}

int ImportFile(data::Table& table, const std::filesystem::path& path, std::string_view separator,
               std::size_t required_columns) {
    // The raw bytes are gone once decoded, so a large file is held once, not twice.
    const std::string text = text::DecodeTextFile(data::ReadRegularFile(path));
    return ImportText(table, text, separator, required_columns, path.string());
}

}  // namespace yorbel::exchange
