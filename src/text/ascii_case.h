// Comparing names whose letter case does not matter (file keywords, group names) where
// only the ASCII letters have a case to ignore.
#pragma once

#include <cstddef>
#include <string_view>

namespace yorbel::text {

constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

}  // namespace yorbel::text
