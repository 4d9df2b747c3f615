// Character sets of text files that come from outside.
//
// Files are written in UTF-8 without a byte order mark. Older programs wrote the
// Windows-1252 code page, and a file edited by hand often mixes the two (an old file
// with new lines added, or one stray byte pasted in), so the character set is decided
// line by line: a line that is valid UTF-8 is UTF-8, any other line is Windows-1252 and
// converted. That keeps the umlauts of both kinds of line instead of rejecting them or
// garbling the valid ones.
#pragma once

#include <string>
#include <string_view>

namespace yorbel::text {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Every byte as its Windows-1252 character, in UTF-8. The five bytes the code page leaves
// undefined (81, 8D, 8F, 90, 9D) become the control characters of the same number, as
// Windows itself converts them, so no byte is lost.
std::string Windows1252ToUtf8(std::string_view bytes);

// The text of a whole file's bytes as UTF-8: a leading byte order mark removed, then each
// line (an LF ends one) as it stands when it is valid UTF-8, else converted from
// Windows-1252.
std::string DecodeTextFile(std::string_view bytes);

// Number of bytes of the UTF-8 sequence that starts with this lead byte (1 for ASCII and
// for bytes that cannot start a sequence).
int Utf8SequenceLength(unsigned char lead);

}  // namespace yorbel::text
