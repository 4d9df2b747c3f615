// Well-formed UTF-8, the one encoding of texts inside the program and its table files.
#pragma once

#include <string_view>

namespace yorbel::data {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Number of bytes of the UTF-8 sequence that starts with this lead byte (1 for ASCII and
// for bytes that cannot start a sequence).
int Utf8SequenceLength(unsigned char lead);

}  // namespace yorbel::data
