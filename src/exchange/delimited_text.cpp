#include "exchange/delimited_text.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
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

// A text could not be written back within one line. A file's lines hold none, but a
// line a caller passes may.
void RefuseLineBreak(const data::FieldDef& def, std::string_view text) {
    if (text.find('\n') != std::string_view::npos)
        throw Error(data::CoreError("ImportLineBreak"), {}, AtField(def.name));
}

// A whole number, blanks around it and a plus sign allowed.
std::int32_t ReadNumber(const data::FieldDef& def, std::string_view text) {
    std::string_view digits = TrimBlanks(text);
    if (digits.starts_with('+') && digits.size() > 1 && digits[1] != '-') digits.remove_prefix(1);
    std::int32_t number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) {
        throw Error(data::CoreError("ImportNotANumber"), {data::QuotedValue(text)},
                    AtField(def.name));
    }
    return number;
}

// "True" or "False" in any case, blanks around it allowed.
bool ReadTruthValue(const data::FieldDef& def, std::string_view text) {
    const std::string_view word = TrimBlanks(text);
    if (EqualsIgnoringAsciiCase(word, kTrue)) return true;
    if (EqualsIgnoringAsciiCase(word, kFalse)) return false;
    throw Error(data::CoreError("ImportNotATruthValue"), {data::QuotedValue(text)},
                AtField(def.name));
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

// The number of lines of a text, for the room its rows take.
std::size_t LineCount(std::string_view text) {
    std::size_t lines = 1;
    for (const char *p = text.data(), *end = p + text.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))));
         ++p)
        ++lines;
    return lines;
}

// The rows of an import, gathered as the table's stored columns and appended in batches:
// posting them one by one would cost more than reading them. Each line is one row.
class ImportedRows {
  public:
    explicit ImportedRows(const data::Table& table) : table_(table) {
        for (int f = 0; f < table.FieldCount(); ++f) {
            const bool stored = table.Field(FieldNo(f)).role == FieldRole::Stored;
            column_of_.push_back(stored ? static_cast<int>(columns_.size()) : -1);
            if (!stored) continue;
            columns_.emplace_back();
            text_.push_back(table.Field(FieldNo(f)).kind == FieldKind::Text);
        }
    }

    // The values of one line go to the stored fields in field order, skipping
    // the auto-increment field; fields without a value stay empty. A value that does not
    // fit its field throws, leaving a partial row, and so do more values than fields.
    void AddLine(const std::vector<std::string>& values, std::size_t columns) {
        std::size_t next = 0;
        for (int f = 0; f < table_.FieldCount() && next < values.size(); ++f) {
            const data::FieldDef& def = table_.Field(FieldNo(f));
            if (!TakesColumn(def)) continue;
            const std::string& value = values[next++];
            if (def.role == FieldRole::Stored) AddValue(columns_[column_of_[f]], def, value);
        }
        for (std::size_t i = 0; i < columns_.size(); ++i)
            if (columns_[i].nulls.size() == count_) AddNull(columns_[i], text_[i]);
        if (next < values.size()) {
            throw Error(data::CoreError("ImportTooManyColumns"),
                        {std::to_string(columns), std::to_string(next)});
        }
        ++count_;
    }

    // The refusal of the first text of the partial row that its field would refuse.
    std::optional<Error> TextFaultOfPartialRow() const {
        for (int f = 0; f < table_.FieldCount(); ++f) {
            if (column_of_[f] < 0 || table_.Field(FieldNo(f)).kind != FieldKind::Text) continue;
            const data::Table::Column& c = columns_[column_of_[f]];
            if (c.nulls.size() > count_ && !c.nulls[count_])
                if (auto fault = table_.TextFault(FieldNo(f), c.texts[count_])) return fault;
        }
        return std::nullopt;
    }

    void DropPartialRow() { KeepRows(count_); }

    void Reserve(std::size_t rows) {
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            columns_[i].nulls.reserve(rows);
            if (text_[i])
                columns_[i].texts.reserve(rows);
            else
                columns_[i].ints.reserve(rows);
        }
    }

    std::size_t Count() const { return count_; }

    // Appends the whole rows gathered to the table and starts gathering anew; returns the
    // number of rows appended so far. When the table refuses one, the rows before it are
    // appended and its error is thrown with its line.
    int AppendTo(data::Table& table, const std::string& file) {
        try {
            table.AppendColumns(std::move(columns_), count_);
        } catch (const Error& e) {
            const int row = e.Position().line;  // in this batch, from 1
            if (row < 1 || static_cast<std::size_t>(row) > count_) throw;
            KeepRows(static_cast<std::size_t>(row) - 1);
            table.AppendColumns(std::move(columns_), count_);
            throw Error(
                e.Key(), e.EnglishTemplate(), e.Args(),
                data::ErrorPosition(file, static_cast<int>(appended_) + row, e.Position().field));
        }
        appended_ += count_;
        KeepRows(0);
        return static_cast<int>(appended_);
    }

  private:
    static void AddNull(data::Table::Column& c, bool text) {
        c.nulls.push_back(1);
        if (text)
            c.texts.emplace_back();
        else
            c.ints.push_back(0);
    }

    // As SetFieldFromText: an empty text is null.
    static void AddValue(data::Table::Column& c, const data::FieldDef& def,
                         const std::string& text) {
        if (text.empty()) {
            AddNull(c, def.kind == FieldKind::Text);
            return;
        }
        switch (def.kind) {
            case FieldKind::Text:
                RefuseLineBreak(def, text);
                c.texts.push_back(text);
                break;
            case FieldKind::Integer:
            case FieldKind::AutoIncrement:
                c.ints.push_back(ReadNumber(def, text));
                break;
            case FieldKind::Boolean:
                c.ints.push_back(ReadTruthValue(def, text) ? 1 : 0);
                break;
        }
        c.nulls.push_back(0);
    }

    void KeepRows(std::size_t rows) {
        for (data::Table::Column& c : columns_) {
            c.nulls.resize(std::min(c.nulls.size(), rows));
            c.ints.resize(std::min(c.ints.size(), rows));
            c.texts.resize(std::min(c.texts.size(), rows));
        }
        count_ = rows;
    }

    const data::Table& table_;
    std::vector<int> column_of_;  // field -> its column in columns_, -1 for derived fields
    std::vector<data::Table::Column> columns_;
    std::vector<bool> text_;    // by column
    std::size_t count_ = 0;     // whole rows gathered
    std::size_t appended_ = 0;  // rows appended before them
};

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
            RefuseLineBreak(def, text);
            table.SetText(field, text);
            return;
        case FieldKind::Integer:
        case FieldKind::AutoIncrement:
            table.SetInteger(field, ReadNumber(def, text));
            return;
        case FieldKind::Boolean:
            table.SetBoolean(field, ReadTruthValue(def, text));
            return;
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
    if (reader.AtEnd()) return 0;
    table.CheckBrowse();  // a pending row is stored (or refused) before any line is read
    std::vector<std::string> values;
    // One past the table's columns: enough to tell that a line has too many.
    const std::size_t kept_columns = ColumnCount(table) + 1;
    ImportedRows rows(table);
    // Rows go to the table in batches small enough to stay in the processor's caches.
    constexpr std::size_t kBatch = 4096;
    rows.Reserve(std::min(LineCount(text), kBatch));
    while (!reader.AtEnd()) {
        const std::string_view line = reader.ReadLine();
        try {
            const std::size_t columns = SplitColumns(line, separator, values, kept_columns);
            if (!line.empty() && columns < required_columns) {
                throw Error(data::CoreError("ImportTooFewColumns"),
                            {std::to_string(columns), std::to_string(required_columns)},
                            AtField(FieldOfColumn(table, columns)));
            }
            rows.AddLine(values, columns);
        } catch (const Error& e) {
            // A half-filled row would be a new event nobody wrote: drop it. Its texts read
            // before the fault were refused first, as setting them one by one would.
            const std::optional<Error> text_fault = rows.TextFaultOfPartialRow();
            rows.DropPartialRow();
            rows.AppendTo(table, file);
            throw(text_fault ? *text_fault : e).WithPosition(InFile(file, reader.LineNumber()));
        }
        if (rows.Count() == kBatch) rows.AppendTo(table, file);
    }
    return rows.AppendTo(table, file);
}

int ImportFile(data::Table& table, const std::filesystem::path& path, std::string_view separator,
               std::size_t required_columns) {
    // The raw bytes are gone once decoded, so a large file is held once, not twice.
    const std::string text = text::DecodeTextFile(data::ReadRegularFile(path));
    return ImportText(table, text, separator, required_columns, path.string());
}

}  // namespace yorbel::exchange
