#include "text/text_encoding.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace yorbel::text {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Windows-1252 bytes 80–9F; the rest of the upper half equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80–87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88–8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90–97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98–9F
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {  // the code page reaches no further than the Basic Multilingual Plane
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the UTF-8 form of Windows-1252 bytes, so that text is converted into one
// allocation of the right size.
std::size_t Utf8LengthOfWindows1252(std::string_view bytes) {
    std::size_t length = bytes.size();
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0xA0 || (b >= 0x80 && kHighControls[b - 0x80] < 0x800)) {
            length += 1;
        } else if (b >= 0x80) {
            length += 2;
        }
    }
    return length;
}

void AppendWindows1252(std::string& out, std::string_view bytes) {
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            out += ch;
        } else if (b < 0xA0) {
            AppendUtf8(out, kHighControls[b - 0x80]);
        } else {
            AppendUtf8(out, b);
        }
    }
}

}  // namespace

int Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    return 1;
}

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        // Most text is ASCII: eight such bytes are passed at once.
        if (n - i >= 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, p + i, 8);
            if ((word & 0x8080808080808080u) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        const int len = Utf8SequenceLength(b);
        if (len == 1 || n - i < static_cast<std::size_t>(len)) return false;
        // The second byte's range excludes overlong forms, surrogates and values above
        // U+10FFFF (Unicode table 3-7).
        unsigned char lo = 0x80, hi = 0xBF;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
        if (p[i + 1] < lo || p[i + 1] > hi) return false;
        for (int k = 2; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
        }
        i += len;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(Utf8LengthOfWindows1252(bytes));
    AppendWindows1252(out, bytes);
    return out;
}

std::string DecodeTextFile(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    // Valid UTF-8 as a whole is so line by line, since no line ends inside a character.
    if (IsValidUtf8(bytes)) return std::string(bytes);
    // Each line with its LF, which never occurs inside a multi-byte character of either
    // character set, and whether it is valid UTF-8.
    auto for_each_line = [bytes](auto take) {
        for (std::string_view rest = bytes; !rest.empty();) {
            const std::size_t end = rest.find('\n');
            const std::size_t length = end == std::string_view::npos ? rest.size() : end + 1;
            const std::string_view line = rest.substr(0, length);
            take(line, IsValidUtf8(line));
            rest.remove_prefix(length);
        }
    };
    // Measured first, so that the text takes one allocation of its final size: a large
    // file never needs room for its text twice over.
    std::size_t size = 0;
    for_each_line([&size](std::string_view line, bool utf8) {
        size += utf8 ? line.size() : Utf8LengthOfWindows1252(line);
    });
    std::string text;
    text.reserve(size);
    for_each_line([&text](std::string_view line, bool utf8) {
        if (utf8) {
            text += line;
        } else {
            AppendWindows1252(text, line);
        }
    });
    return text;
}

}  // namespace yorbel::text
