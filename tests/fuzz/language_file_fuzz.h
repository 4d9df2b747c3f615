// The body of the language-file fuzz target, shared by the libFuzzer program
// (scripts/fuzz.sh language_file) and by the regression test that replays its corpus.
//
// The input is a language file's bytes. Beyond not crashing, it checks what must hold for
// any file: every section, key and text is UTF-8 of one line with no blanks at the ends
// of names; each text is found under its section and key in any letter case; and the
// texts, written out as a language file again, read back the same.
#pragma once

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "app/language_file.h"
#include "text/text_encoding.h"

namespace yorbel::app::fuzz {

inline void RequireLanguage(bool condition) {
    if (!condition) std::abort();
}

inline std::string UpperAscii(std::string_view s) {
    std::string upper(s);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// Section name (as spelled first) -> key -> text.
using LanguageTexts = std::map<std::string, std::map<std::string, std::string>>;

inline LanguageTexts TextsOf(const LanguageFile& file) {
    LanguageTexts texts;
    file.ForEach([&](std::string_view section, std::string_view key, std::string_view value) {
        texts[std::string(section)][std::string(key)] = std::string(value);
    });
    return texts;
}

inline void FuzzLanguageFile(const std::uint8_t* data, std::size_t size) {
    const auto file =
        LanguageFile::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    RequireLanguage(file.IsLoaded());

    const auto blank_at_end = [](std::string_view s) {
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
        return !s.empty() && (blank(s.front()) || blank(s.back()));
    };
    const LanguageTexts texts = TextsOf(file);
    std::string written;
    for (const auto& [section, keys] : texts) {
        RequireLanguage(text::IsValidUtf8(section) && !blank_at_end(section));
        RequireLanguage(section.find_first_of("]\n") == std::string::npos);
        written += "[" + section + "]\n";
        for (const auto& [key, value] : keys) {
            RequireLanguage(text::IsValidUtf8(key) && text::IsValidUtf8(value));
            RequireLanguage(!key.empty() && !blank_at_end(key));
            RequireLanguage(key.find_first_of("=\n") == std::string::npos);
            RequireLanguage(key.front() != ';' && key.front() != '#' && key.front() != '[');
            RequireLanguage(value.find('\n') == std::string::npos);
            RequireLanguage(file.Has(section, key) && file.Text(section, key) == value);
            RequireLanguage(file.Text(UpperAscii(section), UpperAscii(key)) == value);
            // Quotes keep blanks at the ends of the text.
            written += key + "=\"" + value + "\"\n";
        }
    }
    RequireLanguage(TextsOf(LanguageFile::FromBytes(written)) == texts);
}

}  // namespace yorbel::app::fuzz
