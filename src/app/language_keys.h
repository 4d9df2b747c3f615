// Every text the program reads from a language file, by section and key. A window that
// reads a new key adds it here and to both language files; the tests check that each
// file holds a text for every key listed, so no window shows "Resource not found" for a
// text that was forgotten.
#pragma once

#include <span>
#include <string_view>

namespace yorbel::app {

struct LanguageKey {
    std::string_view section;
    std::string_view key;
};

std::span<const LanguageKey> LanguageKeys();

}  // namespace yorbel::app
