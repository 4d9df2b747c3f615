#include "cli/output.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "cli/args.h"

namespace yorbel::cli {

Format ReadFormat(std::string_view text) {
    constexpr std::array<std::string_view, 3> kNames{"text", "json", "csv"};
    constexpr std::array<Format, 3> kFormats{Format::Text, Format::Json, Format::Csv};
    return kFormats[static_cast<std::size_t>(ReadChoice("--format", text, kNames))];
}

std::string JsonString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                    out += escape;
                } else {
                    out += c;  // UTF-8 passes through unchanged
                }
        }
    }
    out += '"';
    return out;
}

std::string CsvField(std::string_view text) {
    std::string out;
    AppendCsvField(out, text);
    return out;
}

void AppendCsvField(std::string& out, std::string_view text) {
    const auto special = [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; };
    if (std::none_of(text.begin(), text.end(), special)) {
        out += text;
        return;
    }
    out += '"';
    for (std::size_t quote; (quote = text.find('"')) != std::string_view::npos;) {
        out.append(text.substr(0, quote + 1));
        out += '"';
        text.remove_prefix(quote + 1);
    }
    out += text;
    out += '"';
}

std::string IsoDate(const calendar::CivilDate& date) {
    // Every listed occurrence passes through here, so printf is left to odd dates. Eight
    // characters leave each field at its least width: the dashes go between them.
    std::string text = calendar::DateText(date);
    if (text.size() == 8) {
        text.insert(6, 1, '-');
        text.insert(4, 1, '-');
        return text;
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buffer;
}

}  // namespace yorbel::cli
