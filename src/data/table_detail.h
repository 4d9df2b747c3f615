// Small helpers shared by the files that implement class Table; nothing else uses them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "data/table.h"

namespace yorbel::data::table_detail {

inline bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

inline const char* KindWord(FieldKind kind) {
    switch (kind) {
        case FieldKind::AutoIncrement:
        case FieldKind::Integer:
            return "number";
        case FieldKind::Text:
            return "text";
        case FieldKind::Boolean:
            return "truth value";
    }
    return "?";
}

inline bool ValueFitsKind(FieldKind kind, const Value& v) {
    if (IsNullValue(v)) return true;
    switch (kind) {
        case FieldKind::AutoIncrement:
        case FieldKind::Integer:
            return std::holds_alternative<std::int32_t>(v);
        case FieldKind::Text:
            return std::holds_alternative<std::string>(v);
        case FieldKind::Boolean:
            return std::holds_alternative<bool>(v);
    }
    return false;
}

inline std::string ValueText(const Value& v) {
    if (auto* i = std::get_if<std::int32_t>(&v)) return std::to_string(*i);
    if (auto* b = std::get_if<bool>(&v)) return *b ? "True" : "False";
    if (auto* s = std::get_if<std::string>(&v)) return *s;
    return "";
}

// A value read for its text alone gives its string up rather than a copy.
inline std::string ValueText(Value&& v) {
    if (auto* s = std::get_if<std::string>(&v)) return std::move(*s);
    return ValueText(static_cast<const Value&>(v));
}

inline bool IntegerLike(FieldKind k) {
    return k == FieldKind::Integer || k == FieldKind::AutoIncrement;
}

}  // namespace yorbel::data::table_detail
