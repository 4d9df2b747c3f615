#include "data/utf8.h"

#include <cstddef>

namespace yorbel::data {

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

}  // namespace yorbel::data
