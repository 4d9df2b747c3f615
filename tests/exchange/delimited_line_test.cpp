#include "exchange/delimited_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace yorbel::exchange {
namespace {

std::vector<std::string> Lines(std::string_view text) {
    LineReader reader(text);
    std::vector<std::string> lines;
    while (!reader.AtEnd()) lines.emplace_back(reader.ReadLine());
    return lines;
}

std::vector<std::string> Split(std::string_view line, std::string_view sep = ",") {
    std::vector<std::string> values;
    SplitColumns(line, sep, values);
    return values;
}

std::size_t Columns(std::string_view line, std::string_view sep = ",") {
    std::vector<std::string> values;
    return SplitColumns(line, sep, values);
}

using Strings = std::vector<std::string>;

TEST(LineReaderTest, CrLfOrLfEndsALineAndALoneCrStays) {
    EXPECT_EQ(Lines("a\r\nb\r\n"), (Strings{"a", "b"}));
    EXPECT_EQ(Lines("a\nb\rc\r\nd\n"), (Strings{"a", "b\rc", "d"}));
    EXPECT_EQ(Lines("a\r\r\nb"), (Strings{"a\r", "b"}));  // only the CR of the end goes
    EXPECT_EQ(Lines("x\r"), (Strings{"x\r"}));
    EXPECT_EQ(Lines("\n\r\n\n"), (Strings{"", "", ""}));
}

TEST(LineReaderTest, LastLineWithoutCrLfAndEmptyLines) {
    EXPECT_EQ(Lines("a\r\nlast"), (Strings{"a", "last"}));
    EXPECT_EQ(Lines("a\r\n\r\nb\r\n"), (Strings{"a", "", "b"}));
    EXPECT_EQ(Lines("\r\n"), (Strings{""}));
    EXPECT_TRUE(Lines("").empty());
}

TEST(LineReaderTest, LongLinesAreReadWholeAndCounted) {
    const std::string long_line(5000, 'x');
    const std::string text = long_line + "\r\nshort";
    LineReader reader(text);
    EXPECT_EQ(reader.ReadLine(), long_line);
    EXPECT_EQ(reader.LineNumber(), 1);
    EXPECT_EQ(reader.ReadLine(), "short");
    EXPECT_EQ(reader.LineNumber(), 2);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(DoubleQuotesTest, DoublesEveryQuote) {
    EXPECT_EQ(DoubleQuotes(""), "");
    EXPECT_EQ(DoubleQuotes("say \"hi\""), "say \"\"hi\"\"");
    EXPECT_EQ(DoubleQuotes("\"\""), "\"\"\"\"");
}

TEST(AppendTextColumnTest, QuotesOnlyWhenNeeded) {
    auto column = [](std::string_view v, std::string_view sep = ",") {
        std::string line;
        AppendTextColumn(line, v, sep);
        return line;
    };
    EXPECT_EQ(column("plain text"), "plain text");
    EXPECT_EQ(column("Smith, John"), "\"Smith, John\"");
    EXPECT_EQ(column("the \"best\""), "\"the \"\"best\"\"\"");
    EXPECT_EQ(column("a;b"), "a;b");
    EXPECT_EQ(column("a;b", ";"), "\"a;b\"");
    EXPECT_EQ(column("a::b", "::"), "\"a::b\"");
}

TEST(SplitColumnsTest, UnquotedValuesKeepSpacesAndQuotes) {
    EXPECT_EQ(Split("a,b,c"), (Strings{"a", "b", "c"}));
    EXPECT_EQ(Split(" a , b"), (Strings{" a ", " b"}));
    EXPECT_EQ(Split("ab\"c\",d"), (Strings{"ab\"c\"", "d"}));
    EXPECT_EQ(Split("a,,c"), (Strings{"a", "", "c"}));
}

TEST(SplitColumnsTest, EmptyLineAndTrailingSeparator) {
    EXPECT_EQ(Split(""), (Strings{""}));
    EXPECT_EQ(Split("a,"), (Strings{"a"}));
    EXPECT_EQ(Split(","), (Strings{""}));
    EXPECT_EQ(Split("\"a\","), (Strings{"a"}));
    // The empty column after a last separator has no value but still counts.
    EXPECT_EQ(Columns(""), 1u);
    EXPECT_EQ(Columns("a,"), 2u);
    EXPECT_EQ(Columns("\"a\","), 2u);
    EXPECT_EQ(Columns(",,"), 3u);
    EXPECT_EQ(Columns("a::", "::"), 2u);
    EXPECT_EQ(Columns("\"a,"), 1u);  // inside an unclosed quote the comma is text
    EXPECT_EQ(Columns("\"a\"x,"), 1u);

    // Values past the limit are counted, not kept.
    std::vector<std::string> values;
    EXPECT_EQ(SplitColumns("a,\"b,c\",d,\"e\",", ",", values, 2), 5u);
    EXPECT_EQ(values, (Strings{"a", "b,c"}));
}

TEST(SplitColumnsTest, QuotedValues) {
    EXPECT_EQ(Split("\"Smith, John\",1"), (Strings{"Smith, John", "1"}));
    EXPECT_EQ(Split("\"say \"\"hi\"\"\",2"), (Strings{"say \"hi\"", "2"}));
    EXPECT_EQ(Split("\"\",x"), (Strings{"", "x"}));
    EXPECT_EQ(Split("1,\"last\""), (Strings{"1", "last"}));
    EXPECT_EQ(Split("\"unclosed, still going"), (Strings{"unclosed, still going"}));
    EXPECT_EQ(Split("\""), (Strings{""}));
}

TEST(SplitColumnsTest, CharacterAfterClosingQuoteIsDroppedAndValueGoesOn) {
    EXPECT_EQ(Split("\"ab\"c,1"), (Strings{"ab,1"}));
    EXPECT_EQ(Split("\"ab\"c\",1"), (Strings{"ab", "1"}));
    // A multi-byte character after the quote goes as a whole, leaving valid UTF-8.
    EXPECT_EQ(Split("\"ab\"\xC3\xA4x\",1"), (Strings{"abx", "1"}));
}

TEST(SplitColumnsTest, OtherSeparators) {
    EXPECT_EQ(Split("a;b,c", ";"), (Strings{"a", "b,c"}));
    EXPECT_EQ(Split("a::\"b::c\"::d", "::"), (Strings{"a", "b::c", "d"}));
    EXPECT_EQ(Split("a,b", ""), (Strings{"a,b"}));
}

TEST(SplitColumnsTest, ValuesRoundTripThroughAppendTextColumn) {
    const Strings values = {"",        "plain",    "a,b",      "\"",
                            "\"\"x\"", " spaced ", "x\"y,z\"", "\xC3\xA4,"};
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) line += ',';
        AppendTextColumn(line, values[i], ",");
    }
    // The leading empty column is kept; SplitColumns yields exactly the values again.
    EXPECT_EQ(Split(line), values);
}

}  // namespace
}  // namespace yorbel::exchange
