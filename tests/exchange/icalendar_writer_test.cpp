#include "exchange/icalendar_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace yorbel::exchange {
namespace {

std::vector<std::string> PhysicalLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends with CRLF";
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(IcsTextTest, EscapesSpecialCharacters) {
    EXPECT_EQ(EscapeIcsText("a,b;c\\d"), "a\\,b\\;c\\\\d");
    EXPECT_EQ(EscapeIcsText("one\r\ntwo\nthree\rfour"), "one\\ntwo\\nthree\\nfour");
    EXPECT_EQ(EscapeIcsText(std::string("tab\tbell\x07nul\0end", 17)), "tab\tbellnulend");
    EXPECT_EQ(EscapeIcsText("K\xC3\xB6ln"), "K\xC3\xB6ln");
}

TEST(IcsFoldingTest, FoldsAt75OctetsWithoutSplittingCharacters) {
    std::string out;
    AppendContentLine(out, std::string(75, 'a'));
    EXPECT_EQ(out, std::string(75, 'a') + "\r\n");

    // Plain ASCII gives no character boundary to step back to: every line, the leading
    // space of a continuation included, is exactly 75 octets until the last.
    out.clear();
    AppendContentLine(out, std::string(200, 'b'));
    const auto ascii_lines = PhysicalLines(out);
    ASSERT_EQ(ascii_lines.size(), 3u);
    EXPECT_EQ(ascii_lines[0], std::string(75, 'b'));
    EXPECT_EQ(ascii_lines[1], " " + std::string(74, 'b'));
    EXPECT_EQ(ascii_lines[2], " " + std::string(51, 'b'));

    std::string long_value = "SUMMARY:";
    for (int i = 0; i < 100; ++i) long_value += "\xC3\xA4";  // 2-byte characters
    long_value += "\xF0\x9F\x8E\x84 end";
    out.clear();
    AppendContentLine(out, long_value);

    std::string unfolded;
    for (const std::string& line : PhysicalLines(out)) {
        EXPECT_LE(line.size(), 75u);
        std::string_view piece = line;
        if (!unfolded.empty()) {
            ASSERT_EQ(piece.front(), ' ');
            piece.remove_prefix(1);
        }
        // No piece starts with a continuation byte, so no character was split.
        ASSERT_FALSE(piece.empty());
        EXPECT_NE(static_cast<unsigned char>(piece.front()) & 0xC0, 0x80);
        unfolded += piece;
    }
    EXPECT_EQ(unfolded, long_value);
}

TEST(IcsDocumentTest, WritesAllDayEvents) {
    const std::string text = WriteICalendar(
        {{"1-20260101@x", "New Year", "Holidays, public", {1, 1, 2026}, {2, 1, 2026}}},
        IcsStamp(1767225600));
    const auto lines = PhysicalLines(text);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines.front(), "BEGIN:VCALENDAR");
    EXPECT_EQ(lines.back(), "END:VCALENDAR");
    auto has = [&](const std::string& l) {
        return std::find(lines.begin(), lines.end(), l) != lines.end();
    };
    EXPECT_TRUE(has("VERSION:2.0"));
    EXPECT_TRUE(has("DTSTART;VALUE=DATE:20260101"));
    EXPECT_TRUE(has("DTEND;VALUE=DATE:20260102"));
    EXPECT_TRUE(has("CATEGORIES:Holidays\\, public"));
    EXPECT_TRUE(has("UID:1-20260101@x"));
    EXPECT_TRUE(has("DTSTAMP:20260101T000000Z"));
}

TEST(IcsDocumentTest, StampsTheExportTimeOrSourceDateEpoch) {
    EXPECT_EQ(IcsStamp(951782400 + 13 * 3600 + 5 * 60 + 9), "20000229T130509Z");
    ::setenv("SOURCE_DATE_EPOCH", "1767225600", 1);
    EXPECT_EQ(ExportStamp(), "20260101T000000Z");
    // A value that is not a plain count of seconds is not taken for one.
    for (const char* bad : {"-1", "17e8", "99999999999999", ""}) {
        ::setenv("SOURCE_DATE_EPOCH", bad, 1);
        EXPECT_GE(ExportStamp(), "2026") << bad;
        EXPECT_LT(ExportStamp(), "9999") << bad;
    }
    ::unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_GE(ExportStamp(), "2026");
}

}  // namespace
}  // namespace yorbel::exchange
