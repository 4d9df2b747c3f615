// The record formats of yorbel-cli: CSV fields and JSON strings that other programs read.
#include "cli/output.h"

#include <gtest/gtest.h>

#include "cli/args.h"

namespace yorbel::cli {
namespace {

TEST(CliOutput, CsvFieldsAreQuotedOnlyWhenTheyMustBe) {
    EXPECT_EQ(CsvField("New Year"), "New Year");
    EXPECT_EQ(CsvField(""), "");
    // Each of these characters alone would split or end the record.
    EXPECT_EQ(CsvField("Martin Luther King, Jr."), "\"Martin Luther King, Jr.\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvField("cr\rhere"), "\"cr\rhere\"");
}

TEST(CliOutput, JsonStringsEscapeWhatJsonForbids) {
    EXPECT_EQ(JsonString("K\xC3\xB6ln"), "\"K\xC3\xB6ln\"");
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("\n\r\t"), "\"\\n\\r\\t\"");
    EXPECT_EQ(JsonString(std::string("\x01\x1f", 2)), "\"\\u0001\\u001f\"");
}

TEST(CliOutput, FormatNamesAndDates) {
    EXPECT_EQ(ReadFormat("csv"), Format::Csv);
    EXPECT_EQ(ReadFormat("json"), Format::Json);
    EXPECT_THROW(ReadFormat("xml"), UsageError);
    EXPECT_EQ(IsoDate({5, 4, 2026}), "2026-04-05");
    EXPECT_EQ(IsoDate({1, 1, 1}), "0001-01-01");
}

}  // namespace
}  // namespace yorbel::cli
