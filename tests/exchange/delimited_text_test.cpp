#include "exchange/delimited_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <tuple>

#include "../data/blocking_reads.h"

namespace yorbel::exchange {
namespace {

namespace fs = std::filesystem;
using data::FieldDef;
using data::Table;
using data::Value;

// A table shaped like the events table, plus a truth value: No, Name, Kind, From, Group, Flag.
std::unique_ptr<Table> MakeTable() {
    return std::make_unique<Table>(
        "Items", std::vector<FieldDef>{FieldDef::AutoIncrement("No"), FieldDef::Text("Name", 80),
                                       FieldDef::Integer("Kind"), FieldDef::Text("From", 8),
                                       FieldDef::Integer("Group"), FieldDef::Boolean("Flag")});
}

void AddRow(Table& t, std::string name, Value kind, std::string from, Value group, Value flag) {
    t.Append();
    if (!name.empty()) t.SetText("Name", std::move(name));
    t.Set("Kind", std::move(kind));
    if (!from.empty()) t.SetText("From", std::move(from));
    t.Set("Group", std::move(group));
    t.Set("Flag", std::move(flag));
    t.Post();
}

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

class DelimitedTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("yorbel_delimited_" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

const GroupShownQuery kAllShown = [](std::int32_t) { return true; };

TEST(FormatRowTest, WritesEveryKindAndQuotesOnlyText) {
    auto t = MakeTable();
    AddRow(*t, "Smith, \"Jr\"", 1, "20260101", -7, true);
    EXPECT_EQ(FormatRow(*t, ","), "\"Smith, \"\"Jr\"\"\",1,20260101,-7,True\r\n");
    AddRow(*t, "plain", Value{}, "", Value{}, false);
    EXPECT_EQ(FormatRow(*t, ","), "plain,,,,False\r\n");
    EXPECT_EQ(FormatRow(*t, ";"), "plain;;;;False\r\n");
}

TEST(FormatRowTest, AutoIncrementLastStillLeavesSeparatorAndDerivedFieldsAreWritten) {
    Table groups("G", {FieldDef::AutoIncrement("Gno"), FieldDef::Text("Gname", 20)});
    groups.Append();
    groups.SetText("Gname", "Work, late");
    groups.Post();
    Table t(
        "T",
        {FieldDef::Integer("G"), FieldDef::Lookup("GroupName", "G", groups, "Gno", "Gname"),
         FieldDef::Calculated("Twice", data::FieldKind::Integer), FieldDef::AutoIncrement("No")});
    t.SetCalcHandler([](Table& tb) {
        if (!tb.IsNull("G")) tb.SetInteger("Twice", 2 * tb.AsInteger("G"));
    });
    t.Append();
    t.SetInteger("G", 1);
    t.Post();
    EXPECT_EQ(FormatRow(t, ","), "1,\"Work, late\",2,\r\n");

    // Reading such a line back skips the derived columns and keeps the numbering.
    t.Append();
    ParseLine(t, "1,\"Work, late\",2,", ",");
    t.Post();
    EXPECT_EQ(t.AsInteger("G"), 1);
    EXPECT_EQ(t.AsInteger("No"), 2);
}

TEST(SetFieldFromTextTest, ReadsNumbersAndTruthValuesStrictly) {
    auto t = MakeTable();
    t->Append();
    const auto kind = t->FieldByName("Kind");
    const auto flag = t->FieldByName("Flag");
    SetFieldFromText(*t, kind, "-42");
    EXPECT_EQ(t->AsInteger(kind), -42);
    SetFieldFromText(*t, kind, " +7 ");
    EXPECT_EQ(t->AsInteger(kind), 7);
    SetFieldFromText(*t, kind, "2147483647");
    EXPECT_EQ(t->AsInteger(kind), 2147483647);
    SetFieldFromText(*t, kind, "");
    EXPECT_TRUE(t->IsNull(kind));
    for (const char* bad : {"abc", "1.5", "12a", "2147483648", "+", "+-1", "0x10", " "}) {
        EXPECT_THROW(SetFieldFromText(*t, kind, bad), data::Error) << bad;
    }
    SetFieldFromText(*t, flag, "true");
    EXPECT_TRUE(t->AsBoolean(flag));
    SetFieldFromText(*t, flag, "FALSE");
    EXPECT_FALSE(t->AsBoolean(flag));
    EXPECT_THROW(SetFieldFromText(*t, flag, "yes"), data::Error);

    const auto name = t->FieldByName("Name");
    SetFieldFromText(*t, name, "  spaces stay ");
    EXPECT_EQ(t->AsText(name), "  spaces stay ");
    EXPECT_THROW(SetFieldFromText(*t, name, std::string(81, 'x')), data::Error);
}

TEST(ParseLineTest, AssignsColumnsInFieldOrder) {
    auto t = MakeTable();
    t->Append();
    ParseLine(*t, "\"ab\"c,1", ",");
    EXPECT_EQ(t->AsText("Name"), "ab,1");
    EXPECT_TRUE(t->IsNull("Kind"));

    t->Cancel();
    t->Append();
    ParseLine(*t, "x,3,", ",");
    EXPECT_EQ(t->AsInteger("Kind"), 3);
    EXPECT_TRUE(t->IsNull("From"));
    EXPECT_TRUE(t->IsNull("Group"));

    EXPECT_THROW(ParseLine(*t, "a,1,20260101,2,True,extra", ","), data::Error);
    // Dropping the character after a closing quote must not smuggle a CR LF into a value.
    EXPECT_THROW(ParseLine(*t, "\"a\r\"x\nb\",1", ","), data::Error);
}

TEST_F(DelimitedTextTest, ImportReadsEveryLineShapeAndNumbersRowsAnew) {
    auto t = MakeTable();
    AddRow(*t, "existing", 0, "20260101", 1, Value{});
    const fs::path file = dir_ / "in.csv";
    WriteBytes(file,
               "first,0,20260101,1,True\r\n"
               "\r\n"
               "\"with \"\"quotes\"\", and comma\",1,,2\r\n"
               "last without end,0,20261231,3");
    EXPECT_EQ(ImportFile(*t, file, ","), 4);
    ASSERT_EQ(t->RecordCount(), 5);

    t->First();
    std::vector<std::string> names;
    std::set<std::int32_t> numbers;
    for (; !t->Eof(); t->Next()) {
        names.push_back(t->AsText("Name"));
        numbers.insert(t->AsInteger("No"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"existing", "first", "",
                                               "with \"quotes\", and comma", "last without end"}));
    EXPECT_EQ(numbers.size(), 5u);  // each row its own new number

    t->MoveTo(2);  // the empty line: a row with every field empty
    EXPECT_TRUE(t->IsNull("Name"));
    EXPECT_TRUE(t->IsNull("Kind"));
    EXPECT_TRUE(t->IsNull("Flag"));

    // A control character in a value (here a lone CR) cannot be stored, so a save could
    // not write a file that no load reads back: the line is refused with its number.
    WriteBytes(file, "kept,0\r\nlone\rCR,0\r\n");
    try {
        ImportFile(*t, file, ",");
        ADD_FAILURE() << "a lone CR was imported";
    } catch (const data::Error& e) {
        EXPECT_EQ(e.Key(), "TextControlCharacter");
        EXPECT_EQ(e.Position().line, 2);
    }
}

TEST_F(DelimitedTextTest, FailingLineIsReportedAndDroppedWhileEarlierRowsStay) {
    auto t = MakeTable();
    const fs::path file = dir_ / "bad.csv";
    WriteBytes(file, "one,0\r\ntwo,1\r\nthree,abc,20260101\r\nfour,0\r\n");
    try {
        ImportFile(*t, file, ",");
        FAIL() << "the import should fail";
    } catch (const data::Error& e) {
        EXPECT_EQ(e.Position().line, 3);
        EXPECT_EQ(e.Position().file, file.string());
        EXPECT_EQ(e.Position().field, "Kind");
        EXPECT_NE(std::string(e.what()).find("abc"), std::string::npos);
    }
    EXPECT_EQ(t->GetState(), Table::State::Browse);
    ASSERT_EQ(t->RecordCount(), 2);
    t->Last();
    EXPECT_EQ(t->AsText("Name"), "two");

    // Too many columns is reported the same way.
    EXPECT_THROW(ImportText(*t, "a,1,2,3,True,surplus", ","), data::Error);
    EXPECT_EQ(t->RecordCount(), 2);
}

// Rows are stored together after reading, yet a line is refused as if stored alone: the
// first refused line (a repeated key, a bad text before a bad number) is the one named,
// and the lines before it stay.
TEST_F(DelimitedTextTest, FirstRefusedLineIsNamedWhenRowsAreStoredTogether) {
    // Many lines are stored in several batches; a key may repeat one of an earlier batch.
    std::string many;
    for (int i = 1; i < 9000; ++i) many += "e," + std::to_string(i) + "\n";
    many += "late,17\n";
    for (const auto& [text, key, line] :
         {std::tuple{std::string("a,1\nb,2\nc,1\nd,x"), "KeyViolation", 3},
          std::tuple{std::string("a,1\nb,2\nc\x01,x"), "TextControlCharacter", 3},
          std::tuple{std::string("a,1\nb,1,2,3,True,5"), "TooManyColumns", 2},
          std::tuple{many, "KeyViolation", 9000}}) {
        auto t = MakeTable();
        t->AddIndex("Ix_kind", {"Kind"}, {.primary = false, .unique = true});
        try {
            ImportText(*t, text, ",");
            ADD_FAILURE() << line;
        } catch (const data::Error& e) {
            EXPECT_NE(e.Key().find(key), std::string::npos) << e.Key();
            EXPECT_EQ(e.Position().line, line);
        }
        EXPECT_EQ(t->RecordCount(), line - 1);
        t->Last();
        EXPECT_EQ(t->AsInteger("No"), line - 1);
    }
}

TEST_F(DelimitedTextTest, LinuxLinesImportAndShortLinesAreRefusedByNumber) {
    // Name, kind and from are needed; group and flag may be left out.
    auto t = MakeTable();
    EXPECT_EQ(ImportText(*t, "full,0,20260101,1,True\nshort,1,20260102\n\nx,0,\n", ",", 3), 4);
    t->MoveTo(1);
    EXPECT_EQ(t->AsText("From"), "20260102");
    EXPECT_TRUE(t->IsNull("Group"));
    t->Last();
    EXPECT_EQ(t->AsText("Name"), "x");  // the third column is there, though empty

    for (const auto& [text, line] :
         {std::pair{"word", 1}, std::pair{"a,0,20260101\nb,0,20260101\nc,1\nd,0,20260101", 3},
          std::pair{"a,0,20260101\n,\n", 2}}) {
        auto fresh = MakeTable();
        try {
            ImportText(*fresh, text, ",", 3);
            ADD_FAILURE() << text;
        } catch (const data::Error& e) {
            EXPECT_EQ(e.Key(), "ImportTooFewColumns") << text;
            EXPECT_EQ(e.Position().line, line) << text;
        }
        EXPECT_EQ(fresh->RecordCount(), line - 1) << text;
    }
}

TEST_F(DelimitedTextTest, EachLineIsDecodedOnItsOwn) {
    auto t = MakeTable();
    const fs::path file = dir_ / "mixed.csv";
    WriteBytes(file,
               "\xEF\xBB\xBFM\xC3\xBCller,0\r\n"
               "M\xFCnchen \x80,0\r\n"
               "Stra\xC3\x9F"
               "e,1\n");
    ASSERT_EQ(ImportFile(*t, file, ","), 3);
    t->First();
    EXPECT_EQ(t->AsText("Name"), "M\xC3\xBCller");
    t->Next();
    EXPECT_EQ(t->AsText("Name"), "M\xC3\xBCnchen \xE2\x82\xAC");
    t->Next();
    EXPECT_EQ(t->AsText("Name"),
              "Stra\xC3\x9F"
              "e");
}

TEST_F(DelimitedTextTest, MessagesQuoteOnlyTheStartOfAHugeValue) {
    std::string umlauts;
    for (int i = 0; i < 100000; ++i) umlauts += "\xC3\xA4";
    const std::string quoted = umlauts.substr(0, 2 * data::kQuotedValueLength) + "\xE2\x80\xA6";
    for (const std::string& line : {umlauts + ",0", "x," + umlauts, "x,0,,0," + umlauts}) {
        auto t = MakeTable();
        try {
            ImportText(*t, line, ",");
            ADD_FAILURE();
        } catch (const data::Error& e) {
            const std::string message = e.what();
            EXPECT_LT(message.size(), 300u) << e.Key();
            EXPECT_NE(message.find(quoted), std::string::npos) << e.Key();
        }
    }
}

TEST_F(DelimitedTextTest, MissingFilesAreReportedByName) {
    auto t = MakeTable();
    const fs::path missing = dir_ / "nowhere.csv";
    try {
        ImportFile(*t, missing, ",");
        FAIL();
    } catch (const data::Error& e) {
        EXPECT_NE(std::string(e.what()).find("nowhere.csv"), std::string::npos);
    }
    EXPECT_THROW(ImportFile(*t, dir_, ","), data::Error);  // a folder, not a file
    const fs::path fifo = data::testing::MakeFifo(dir_ / "pipe.csv");
    EXPECT_TRUE(data::testing::ReturnsAtOnce([&] {
        try {
            ImportFile(*t, fifo, ",");
        } catch (const data::Error& e) {
            return e.Key() == "NotAFile";
        }
        return false;
    }));
    EXPECT_EQ(t->RecordCount(), 0);

    const fs::path unwritable = dir_ / "no_such_folder" / "out.csv";
    try {
        ExportTable(*t, unwritable, ",", "Group", kAllShown);
        FAIL();
    } catch (const data::Error& e) {
        EXPECT_NE(std::string(e.what()).find("out.csv"), std::string::npos);
    }
}

TEST_F(DelimitedTextTest, ExportLeavesOutHiddenAndUnknownGroups) {
    auto t = MakeTable();
    AddRow(*t, "shown", 0, "20260101", 1, Value{});
    AddRow(*t, "hidden", 0, "20260102", 2, Value{});
    AddRow(*t, "no group", 0, "20260103", Value{}, Value{});
    AddRow(*t, "unknown group", 0, "20260104", 99, Value{});
    AddRow(*t, "shown too", 0, "20260105", 1, Value{});
    const fs::path file = dir_ / "out.csv";
    EXPECT_EQ(ExportTable(*t, file, ",", "Group", [](std::int32_t g) { return g == 1; }), 2);
    EXPECT_EQ(ReadBytes(file), "shown,0,20260101,1,\r\nshown too,0,20260105,1,\r\n");
    EXPECT_EQ(t->AsText("Name"), "shown too");  // the last row is current afterwards
}

TEST_F(DelimitedTextTest, ExportFailingMidwayLeavesTheOldFileAsItWas) {
    auto t = MakeTable();
    for (int i = 0; i < 5000; ++i)
        AddRow(*t, "row " + std::to_string(i), 0, "20260101", i, Value{});
    const fs::path file = dir_ / "out.csv";
    WriteBytes(file, "the old export\r\n");
    EXPECT_THROW(ExportTable(*t, file, ",", "Group",
                             [](std::int32_t g) {
                                 if (g == 4000) throw data::Error("Test", "stopped");
                                 return true;
                             }),
                 data::Error);
    EXPECT_EQ(ReadBytes(file), "the old export\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(DelimitedTextTest, ExportThenImportGivesTheSameRowsWithNewNumbers) {
    auto source = MakeTable();
    AddRow(*source, "Smith, John", 0, "19800512", 2, true);
    AddRow(*source, "\"quoted\" start", 1, "20260101", 3, false);
    AddRow(*source, " K\xC3\xB6ln, \xE2\x82\xAC ", 5, "000101", 2, Value{});
    AddRow(*source, "", Value{}, "", 1, Value{});
    AddRow(*source, std::string(80, ','), 6, "0515", 4, true);
    const fs::path file = dir_ / "trip.csv";
    ExportTable(*source, file, ",", "Group", kAllShown);

    auto target = MakeTable();
    AddRow(*target, "already there", 0, "20000101", 1, Value{});
    AddRow(*target, "and another", 0, "20000102", 1, Value{});
    ASSERT_EQ(ImportFile(*target, file, ","), 5);

    source->First();
    target->MoveTo(2);
    for (; !source->Eof(); source->Next(), target->Next()) {
        for (const char* f : {"Name", "Kind", "From", "Group", "Flag"}) {
            EXPECT_EQ(target->Get(f), source->Get(f)) << f << " of " << source->AsText("Name");
        }
        EXPECT_EQ(target->AsInteger("No"), source->AsInteger("No") + 2);
    }
    // Exporting what was imported gives the same bytes, without a byte order mark.
    const fs::path again = dir_ / "again.csv";
    target->First();
    target->Delete();
    target->First();
    target->Delete();
    ExportTable(*target, again, ",", "Group", kAllShown);
    EXPECT_EQ(ReadBytes(again), ReadBytes(file));
    EXPECT_FALSE(ReadBytes(file).starts_with("\xEF\xBB\xBF"));
}

}  // namespace
}  // namespace yorbel::exchange
