// The body of the delimited-text fuzz target, shared by the libFuzzer program
// (scripts/fuzz.sh) and by the regression test that replays the stored corpus.
//
// The first input byte picks the separator and the columns a line needs; the rest is a
// file's bytes. Beyond not crashing, it checks what must hold for any file: decoded text
// is UTF-8, line by line as a whole; every line's values survive being written as a line
// and split again, and a limit on the kept values keeps a prefix of them; an import into
// a table shaped like the events table either takes every line or stops at a reported
// line with the rows before it kept; and the imported rows, written and read again, come
// back equal.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/table.h"
#include "exchange/delimited_line.h"
#include "exchange/delimited_text.h"
#include "text/text_encoding.h"

namespace yorbel::exchange::fuzz {

inline void Require(bool condition) {
    if (!condition) std::abort();
}

inline std::unique_ptr<data::Table> MakeEventsLikeTable() {
    using data::FieldDef;
    return std::make_unique<data::Table>(
        "Fuzz", std::vector<FieldDef>{FieldDef::AutoIncrement("No"), FieldDef::Text("Name", 80),
                                      FieldDef::Integer("Type"), FieldDef::Integer("Repeat"),
                                      FieldDef::Text("From", 8), FieldDef::Text("To", 8),
                                      FieldDef::Integer("Group"), FieldDef::Boolean("Flag")});
}

inline void CheckImport(const std::string& text, std::string_view separator,
                        std::size_t required_columns) {
    LineReader counter(text);
    int lines = 0;
    while (!counter.AtEnd()) {
        counter.ReadLine();
        ++lines;
    }

    auto table = MakeEventsLikeTable();
    int added = 0;
    try {
        added = ImportText(*table, text, separator, required_columns);
        Require(added == lines);
    } catch (const data::Error& e) {
        Require(e.Position().line >= 1 && e.Position().line <= lines);
        added = e.Position().line - 1;
        if (e.Key() == "ImportTooFewColumns") {
            LineReader at_error(text);
            std::string_view line;
            for (int i = 0; i < e.Position().line; ++i) line = at_error.ReadLine();
            std::vector<std::string> values;
            Require(!line.empty() && SplitColumns(line, separator, values) < required_columns);
        }
    }
    Require(table->RecordCount() == added);
    Require(table->GetState() == data::Table::State::Browse);

    std::string written;
    for (table->First(); !table->Eof(); table->Next()) written += FormatRow(*table, separator);
    auto again = MakeEventsLikeTable();
    Require(ImportText(*again, written, separator, required_columns) == added);
    table->First();
    again->First();
    for (; !table->Eof(); table->Next(), again->Next()) {
        for (int f = 0; f < table->FieldCount(); ++f) {
            Require(table->Get(data::FieldNo(f)) == again->Get(data::FieldNo(f)));
        }
    }
}

inline void FuzzDelimitedText(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    constexpr std::string_view kSeparators[] = {",", ";", "\t", "|"};
    const std::string_view separator = kSeparators[data[0] % 4];
    const std::size_t required_columns = data[0] / 4 % 6;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string text = text::DecodeTextFile(bytes);
    Require(text::IsValidUtf8(text));
    // Lines decoded one by one give the same text (past a leading byte order mark).
    std::string by_lines;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size() - 1) + 1;
        const std::string_view raw = bytes.substr(start, end - start);
        by_lines += start == 0 ? text::DecodeTextFile(raw)
                               : text::DecodeTextFile("x" + std::string(raw)).substr(1);
        start = end;
    }
    Require(by_lines == text);

    std::vector<std::string> values, again, kept;
    LineReader reader(text);
    while (!reader.AtEnd()) {
        const std::string_view line = reader.ReadLine();
        Require(line.find('\n') == std::string_view::npos);
        const std::size_t columns = SplitColumns(line, separator, values);
        Require(!values.empty() && columns >= values.size() && columns <= values.size() + 1);
        for (const std::string& v : values) Require(text::IsValidUtf8(v));
        const std::size_t limit = values.size() / 2;
        Require(SplitColumns(line, separator, kept, limit) == columns);
        Require(std::equal(kept.begin(), kept.end(), values.begin()) && kept.size() == limit);

        std::string rewritten;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0) rewritten += separator;
            AppendTextColumn(rewritten, values[i], separator);
        }
        SplitColumns(rewritten, separator, again);
        // A trailing empty value is written as a trailing separator, which reads back as
        // no value at all; both leave the field empty.
        for (auto* v : {&values, &again}) {
            while (v->size() > 1 && v->back().empty()) v->pop_back();
        }
        Require(again == values);
    }
    CheckImport(text, separator, required_columns);
}

}  // namespace yorbel::exchange::fuzz
