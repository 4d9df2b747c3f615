#include "exchange/delimited_line.h"

#include <algorithm>

#include "text/text_encoding.h"

namespace yorbel::exchange {

std::string_view LineReader::ReadLine() {
    const std::size_t start = pos_;
    std::size_t end = text_.find('\n', start);
    ++line_number_;
    if (end == std::string_view::npos) {
        pos_ = text_.size();
        return text_.substr(start);
    }
    pos_ = end + 1;
    if (end > start && text_[end - 1] == '\r') --end;
    return text_.substr(start, end - start);
}

std::string DoubleQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out;
}

void AppendTextColumn(std::string& line, std::string_view value, std::string_view separator) {
    const bool quote = value.find('"') != std::string_view::npos ||
                       (!separator.empty() && value.find(separator) != std::string_view::npos);
    if (!quote) {
        line += value;
        return;
    }
    line += '"';
    line += DoubleQuotes(value);
    line += '"';
}

namespace {

// Reads the quoted value whose opening quote is at `pos`; returns the position after it:
// that of the separator that follows the closing quote, or the line's size.
std::size_t ReadQuotedValue(std::string_view line, std::size_t pos, std::string_view separator,
                            std::string& value) {
    const std::size_t n = line.size();
    std::size_t i = pos + 1;
    while (i < n) {
        // The text up to the next quote goes in whole.
        const std::size_t quote = std::min(line.find('"', i), n);
        value.append(line.substr(i, quote - i));
        i = quote;
        if (i == n) break;
        if (i + 1 == n) return n;  // closing quote at the end of the line
        if (line[i + 1] == '"') {
            value += '"';
            i += 2;
            continue;
        }
        if (!separator.empty() && line.substr(i + 1).starts_with(separator)) return i + 1;
        // A stray character after a closing quote is dropped along with the quote. Skip
        // the whole character, not a byte of it, so the value stays valid UTF-8.
        i += 1 + static_cast<std::size_t>(
                     text::Utf8SequenceLength(static_cast<unsigned char>(line[i + 1])));
    }
    return n;  // never closed: the value runs to the end of the line
}

}  // namespace

std::size_t SplitColumns(std::string_view line, std::string_view separator,
                         std::vector<std::string>& values, std::size_t max_values) {
    std::size_t count = 0;
    std::string dropped;
    auto next_value = [&]() -> std::string& {
        if (count >= max_values) {
            ++count;
            dropped.clear();
            return dropped;
        }
        if (count == values.size()) values.emplace_back();
        std::string& v = values[count++];
        v.clear();
        return v;
    };

    const std::size_t n = line.size();
    std::size_t pos = 0;
    bool ends_with_separator = false;
    do {
        std::string& value = next_value();
        if (pos < n && line[pos] == '"') {
            pos = ReadQuotedValue(line, pos, separator, value);
        } else {
            // A separator of one character, as most are, is found by that character alone.
            const std::size_t end = separator.empty()       ? std::string_view::npos
                                    : separator.size() == 1 ? line.find(separator[0], pos)
                                                            : line.find(separator, pos);
            const std::size_t value_end = end == std::string_view::npos ? n : end;
            value.assign(line.substr(pos, value_end - pos));
            pos = value_end;
        }
        if (pos < n) {  // a separator follows the value
            pos += separator.size();
            ends_with_separator = pos == n;
        }
    } while (pos < n);
    values.resize(std::min(count, max_values));
    return count + (ends_with_separator ? 1 : 0);
}

}  // namespace yorbel::exchange
