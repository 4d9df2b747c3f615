// Character sets of text files that come from outside.
//
// Files are written in UTF-8 without a byte order mark. Older programs wrote the
// Windows-1252 code page, so a file that is not valid UTF-8 is taken to be Windows-1252
// and converted; that keeps the umlauts of such files instead of rejecting them.
#pragma once

#include <string>
#include <string_view>

namespace yorbel::exchange {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Every byte as its Windows-1252 character, in UTF-8. The five bytes the code page leaves
// undefined (81, 8D, 8F, 90, 9D) become the control characters of the same number, as
// Windows itself converts them, so no byte is lost.
std::string Windows1252ToUtf8(std::string_view bytes);

// The text of a file's bytes as UTF-8: valid UTF-8 as it stands (a leading byte order
// mark removed), anything else converted from Windows-1252.
std::string DecodeTextFile(std::string_view bytes);

// Number of bytes of the UTF-8 sequence that starts with this lead byte (1 for ASCII and
// for bytes that cannot start a sequence).
int Utf8SequenceLength(unsigned char lead);

}  // namespace yorbel::exchange
