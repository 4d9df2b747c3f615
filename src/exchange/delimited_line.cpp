#include "exchange/delimited_line.h"

#include "text/text_encoding.h"

namespace yorbel::exchange {

std::string_view LineReader::ReadLine() {
    const std::size_t start = pos_;
    const std::size_t end = text_.find(kLineEnd, start);
    ++line_number_;
    if (end == std::string_view::npos) {
        pos_ = text_.size();
        return text_.substr(start);
    }
    pos_ = end + kLineEnd.size();
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

// Reads the quoted value that starts after the opening quote at `pos`; returns the
// position where the next value starts (the line's size when the line is finished).
std::size_t ReadQuotedValue(std::string_view line, std::size_t pos, std::string_view separator,
                            std::string& value) {
    const std::size_t n = line.size();
    std::size_t i = pos + 1;
    while (i < n) {
        const char c = line[i];
        if (c != '"') {
            value += c;
            ++i;
            continue;
        }
        if (i + 1 == n) return n;  // closing quote at the end of the line
        if (line[i + 1] == '"') {
            value += '"';
            i += 2;
            continue;
        }
        if (!separator.empty() && line.substr(i + 1).starts_with(separator)) {
            return i + 1 + separator.size();
        }
        // A stray character after a closing quote is dropped along with the quote. Skip
        // the whole character, not a byte of it, so the value stays valid UTF-8.
        i += 1 +
             static_cast<std::size_t>(Utf8SequenceLength(static_cast<unsigned char>(line[i + 1])));
    }
    return n;  // never closed: the value runs to the end of the line
}

}  // namespace

void SplitColumns(std::string_view line, std::string_view separator,
                  std::vector<std::string>& values) {
    std::size_t count = 0;
    auto next_value = [&]() -> std::string& {
        if (count == values.size()) values.emplace_back();
        std::string& v = values[count++];
        v.clear();
        return v;
    };

    const std::size_t n = line.size();
    std::size_t pos = 0;
    do {
        std::string& value = next_value();
        if (pos < n && line[pos] == '"') {
            pos = ReadQuotedValue(line, pos, separator, value);
            continue;
        }
        const std::size_t end =
            separator.empty() ? std::string_view::npos : line.find(separator, pos);
        if (end == std::string_view::npos) {
            value.assign(line.substr(pos));
            pos = n;
        } else {
            value.assign(line.substr(pos, end - pos));
            pos = end + separator.size();
        }
    } while (pos < n);
    values.resize(count);
}

}  // namespace yorbel::exchange
