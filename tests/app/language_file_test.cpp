#include "app/language_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "../data/blocking_reads.h"
#include "../data/test_folder.h"

namespace yorbel::app {
namespace {

namespace fs = std::filesystem;

class TempFile {
  public:
    explicit TempFile(std::string_view bytes)
        : path_(
              fs::temp_directory_path() /
              ("yorbel_lang_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".spr")) {
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    ~TempFile() { fs::remove(path_); }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

TEST(LanguageFile, EachLineKeepsItsOwnCharacterSet) {
    // An old line among UTF-8 ones, and a byte order mark before the first section.
    const auto file = LanguageFile::FromBytes(
        "\xEF\xBB\xBF[Misc]\r\n"
        "new=M\xC3\xBCller\r\n"
        "old=M\xFCller\r\n");
    EXPECT_EQ(file.Text("Misc", "new"), "M\xC3\xBCller");
    EXPECT_EQ(file.Text("Misc", "old"), "M\xC3\xBCller");
}

TEST(LanguageFile, SectionsAndKeysIgnoreLetterCase) {
    const auto file = LanguageFile::FromBytes(
        "[FrmMain]\r\n"
        "iOpen=Open...\r\n"
        "[FRMYEAR]\r\n"
        "SAVECHANGES=Save the changes?\r\n");
    EXPECT_EQ(file.Text("FrmMain", "iOpen"), "Open...");
    EXPECT_EQ(file.Text("frmmain", "IOPEN"), "Open...");
    EXPECT_EQ(file.Text("FrmYear", "SaveChanges"), "Save the changes?");
    EXPECT_TRUE(file.Has("frmyear", "savechanges"));
}

TEST(LanguageFile, EverythingMissingReadsResourceNotFound) {
    const auto file = LanguageFile::FromBytes("[FrmMain]\niOpen=Open...\n");
    EXPECT_EQ(file.Text("FrmMain", "iSave"), kResourceNotFound);  // missing key
    EXPECT_EQ(file.Text("FrmList", "iOpen"), kResourceNotFound);  // missing section
    EXPECT_EQ(file.Text("FrmMain", "iOpe"), kResourceNotFound);   // prefix is no match
    EXPECT_FALSE(file.Has("FrmMain", "iSave"));

    const auto none = LanguageFile::Load(fs::temp_directory_path() / "yorbel_no_such_file.spr");
    EXPECT_FALSE(none.IsLoaded());
    EXPECT_EQ(none.Text("FrmMain", "iOpen"), kResourceNotFound);
    EXPECT_EQ(LanguageFile().Text("Misc", "JwMo_1"), kResourceNotFound);
}

TEST(LanguageFile, ReadsLinesAsIniFilesAreRead) {
    const auto file = LanguageFile::FromBytes(
        "Orphan=before any section\n"
        "; a comment = not a key\n"
        "  [ FrmYear ]  \n"
        "  YearStr =  \" - year\"  \n"
        "Kw = Wk \n"
        "Kw=second definition\n"
        "no equals sign here\n"
        "=no key\n"
        "Empty=\n"
        "Filter=Calendars (*.yrb)|*.yrb|All files (*.*)|*.*\n"
        "Math=a = b\n"
        "[frmyear]\n"
        "Added=to the first section\n"
        "Kw=third definition\n");
    EXPECT_EQ(file.Text("FrmYear", "YearStr"), " - year");  // quotes keep the blanks
    EXPECT_EQ(file.Text("FrmYear", "Kw"), "Wk");            // first definition wins
    EXPECT_EQ(file.Text("FrmYear", "Empty"), "");
    EXPECT_EQ(file.Text("FrmYear", "Filter"), "Calendars (*.yrb)|*.yrb|All files (*.*)|*.*");
    EXPECT_EQ(file.Text("FrmYear", "Math"), "a = b");  // split at the first '='
    EXPECT_EQ(file.Text("FrmYear", "Added"), "to the first section");
    EXPECT_FALSE(file.Has("FrmYear", "; a comment"));

    std::set<std::string> keys;
    file.ForEach([&](std::string_view section, std::string_view key, std::string_view) {
        EXPECT_EQ(section, "FrmYear");  // spelled as where it first stood
        keys.emplace(key);
    });
    EXPECT_EQ(keys, (std::set<std::string>{"YearStr", "Kw", "Empty", "Filter", "Math", "Added"}));
}

TEST(LanguageFile, LoadsUtf8AndWindows1252Files) {
    const TempFile utf8(
        "\xEF\xBB\xBF[Misc]\r\nJwMo_1=Tishri\r\n[FrmMain]\r\niOpen=\xC3\x96"
        "ffnen...\r\n");
    const auto a = LanguageFile::Load(utf8.path());
    EXPECT_TRUE(a.IsLoaded());
    EXPECT_EQ(a.Text("Misc", "JwMo_1"), "Tishri");  // the byte order mark is no part of "[Misc]"
    EXPECT_EQ(a.Text("FrmMain", "iOpen"), "Öffnen...");

    const TempFile cp1252(
        "[FrmMain]\r\niOpen=\xD6"
        "ffnen...\r\niTileHoriz=\xDC"
        "bereinander\r\n");
    const auto b = LanguageFile::Load(cp1252.path());
    EXPECT_EQ(b.Text("FrmMain", "iOpen"), "Öffnen...");
    EXPECT_EQ(b.Text("FrmMain", "iTileHoriz"), "Übereinander");

    // The file is only read.
    const auto before = fs::last_write_time(cp1252.path());
    const auto size = fs::file_size(cp1252.path());
    (void)b.Text("FrmMain", "missing");
    EXPECT_EQ(fs::last_write_time(cp1252.path()), before);
    EXPECT_EQ(fs::file_size(cp1252.path()), size);
}

}  // namespace
}  // namespace yorbel::app

namespace yorbel::app {
namespace {

// A folder or a FIFO where the language file should be: no texts and a reason, at once.
TEST(LanguageFile, WhatIsNotARegularFileReadsAsMissingWithItsReason) {
    data::testing::TestFolder folder;
    fs::create_directory(folder / "english.spr");
    const fs::path fifo = data::testing::MakeFifo(folder / "deutsch.spr");
    for (const fs::path& path : {folder / "english.spr", fifo}) {
        EXPECT_TRUE(data::testing::ReturnsAtOnce([&] {
            const auto file = LanguageFile::Load(path);
            return !file.IsLoaded() && file.Problem() && file.Problem()->Key() == "NotAFile";
        })) << path;
    }
}

}  // namespace
}  // namespace yorbel::app
