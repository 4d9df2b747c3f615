#include "text/text_encoding.h"

#include <gtest/gtest.h>

namespace yorbel::text {
namespace {

TEST(TextEncodingTest, RecognisesWellFormedUtf8) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ASCII"));
    EXPECT_TRUE(
        IsValidUtf8("Gr\xC3\xBC\xC3\x9F"
                    "e \xE2\x82\xAC \xF0\x9F\x8E\x84"));
    EXPECT_FALSE(
        IsValidUtf8("M\xFC"
                    "nchen"));                      // Windows-1252 ü
    EXPECT_FALSE(IsValidUtf8("\xC3"));              // cut short
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82x"));         // bad continuation
}

// Long ASCII runs are passed a word at a time: a fault must be found at every offset,
// and a sequence that straddles two words must still be read whole.
TEST(TextEncodingTest, FindsAFaultAtAnyOffsetOfALongText) {
    for (std::size_t at = 0; at < 20; ++at) {
        std::string text(24, 'a');
        text[at] = '\xFC';
        EXPECT_FALSE(IsValidUtf8(text)) << "offset " << at;
        text.replace(at, 2, "\xC3\xBC");
        EXPECT_TRUE(IsValidUtf8(text)) << "offset " << at;
    }
}

TEST(TextEncodingTest, ConvertsWindows1252) {
    EXPECT_EQ(Windows1252ToUtf8("M\xFCnchen \x80 \x84"
                                "a\x93 \x9F"),
              "M\xC3\xBCnchen \xE2\x82\xAC \xE2\x80\x9E"
              "a\xE2\x80\x9C \xC5\xB8");
    // Undefined bytes survive as control characters instead of vanishing.
    EXPECT_EQ(Windows1252ToUtf8("\x81\x8D\x8F\x90\x9D"),
              "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    EXPECT_TRUE(IsValidUtf8(Windows1252ToUtf8(std::string("\x00\x7F\x80\xFF", 4))));
}

TEST(TextEncodingTest, DecodesAFileByItsContent) {
    EXPECT_EQ(DecodeTextFile("Gr\xC3\xBC\xC3\x9F"
                             "e"),
              "Gr\xC3\xBC\xC3\x9F"
              "e");
    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBFname"), "name");
    EXPECT_EQ(DecodeTextFile("Gr\xFC\xDF"
                             "e"),
              "Gr\xC3\xBC\xC3\x9F"
              "e");
    // A stray byte makes its own line Windows-1252, valid-looking pairs included, and
    // leaves the other lines alone.
    EXPECT_EQ(DecodeTextFile("M\xC3\xBCller\r\nM\xFCller\nM\xC3\xBCller\n\xC3\xBC \xFC"),
              "M\xC3\xBCller\r\nM\xC3\xBCller\nM\xC3\xBCller\n\xC3\x83\xC2\xBC \xC3\xBC");
    // The byte order mark goes before the first line is judged.
    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBFM\xFCller\n"), "M\xC3\xBCller\n");
    EXPECT_EQ(DecodeTextFile("a\n\xEF\xBB\xBF"), "a\n\xEF\xBB\xBF");
}

}  // namespace
}  // namespace yorbel::text
