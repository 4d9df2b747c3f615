// The body of the delimited-text fuzz target, shared by the libFuzzer program
// (scripts/fuzz.sh) and by the regression test that replays the stored corpus.
//
// The first input byte picks the separator; the rest is a file's bytes. Beyond not
// crashing, it checks what must hold for any file: decoded text is UTF-8, and every
// line's values survive being written as a line and split again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/delimited_line.h"
#include "exchange/text_encoding.h"

namespace yorbel::exchange::fuzz {

inline void Require(bool condition) {
    if (!condition) std::abort();
}

inline void FuzzDelimitedText(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    constexpr std::string_view kSeparators[] = {",", ";", "\t", "|"};
    const std::string_view separator = kSeparators[data[0] % 4];
    const std::string text =
        DecodeTextFile(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    Require(IsValidUtf8(text));

    std::vector<std::string> values, again;
    LineReader reader(text);
    while (!reader.AtEnd()) {
        const std::string_view line = reader.ReadLine();
        Require(line.find(kLineEnd) == std::string_view::npos);
        SplitColumns(line, separator, values);
        Require(!values.empty());
        for (const std::string& v : values) Require(IsValidUtf8(v));

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
}

}  // namespace yorbel::exchange::fuzz
