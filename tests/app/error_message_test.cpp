#include "app/error_message.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/captions.h"
#include "app/settings.h"
#include "data/error_keys.h"
#include "data/events.h"
#include "data/groups.h"

namespace yorbel::app {
namespace {

namespace fs = std::filesystem;

const fs::path kResources = fs::path(YORBEL_SOURCE_DIR) / "resources";

data::Error MissingFile() {
    return data::Error(data::CoreError("FileNotFound"), {"a.yrb"}, {"a.yrb", 3, "Ev_from"});
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(ErrorMessage, ShowsTheMessageAndItsPositionInTheInterfaceLanguage) {
    // The position follows the fault, before what to do; the file is named once.
    const LanguageFile de = LanguageFile::Load(kResources / "deutsch.spr");
    EXPECT_EQ(ErrorMessage(de, MissingFile()),
              "Die Datei a.yrb existiert nicht (Zeile 3, Feld von). Prüfen Sie Namen und Ordner.");
    // An error without a position gets no brackets.
    EXPECT_EQ(ErrorMessage(de, data::Error(data::CoreError("ImportNotANumber"), {"12x"})),
              "\"12x\" ist keine ganze Zahl. Schreiben Sie die Spalte in Ziffern, und "
              "importieren Sie erneut.");

    const LanguageFile en = LanguageFile::Load(kResources / "english.spr");
    EXPECT_EQ(ErrorMessage(en, MissingFile()),
              "The file a.yrb does not exist (line 3, box From). Check its name and folder.");
}

TEST(ErrorMessage, ADamagedCalendarNamesTheBoxAndTheFileOnce) {
    const fs::path file =
        fs::temp_directory_path() / ("yorbel_error_message_" + std::to_string(::getpid()) + ".yrb");
    data::Groups groups{fs::path()};
    data::EventTables calendar(groups.CdsGroups());
    calendar.CdsEvents().Append();
    calendar.CdsEvents().SetText(data::Ev_name, "Birthday");
    calendar.CdsEvents().Post();
    calendar.SaveCalendarAs(file);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "UPDATE rows SET Ev_Type = 'x'", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    std::optional<data::Error> fault;
    try {
        calendar.OpenCalendar(file);
    } catch (const data::Error& e) {
        fault = e;
    }
    fs::remove(file);
    ASSERT_TRUE(fault);
    ASSERT_EQ(fault->Position().field, "Ev_Type");  // the core keeps the stored name

    for (const auto& [language, box] :
         {std::pair{"english.spr", "box Kind)"}, std::pair{"deutsch.spr", "Feld Art)"}}) {
        const std::string text = ErrorMessage(LanguageFile::Load(kResources / language), *fault);
        EXPECT_EQ(text.find("Ev_Type"), std::string::npos) << text;
        EXPECT_NE(text.find(box), std::string::npos) << text;
        EXPECT_EQ(Count(text, file.string()), 1u) << text;
    }
}

TEST(ErrorMessage, TheReasonAGroupFileFailedIsTranslatedAndNamesTheFileOnce) {
    const fs::path folder =
        fs::temp_directory_path() / ("yorbel_error_groups_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / data::kGroupFileGerman) << "not a table file";
    data::Groups groups(folder);
    const std::optional<data::Error> notice = groups.LoadGroups(false);
    fs::remove_all(folder);
    ASSERT_TRUE(notice);
    const std::string text = ErrorMessage(LanguageFile::Load(kResources / "deutsch.spr"), *notice);
    // Named once, and once more within its backup's name.
    EXPECT_EQ(Count(text, (folder / data::kGroupFileGerman).string() + " "), 1u) << text;
    EXPECT_NE(text.find("keine Yorbel-Tabellendatei"), std::string::npos) << text;
    EXPECT_EQ(text.find("Kalenderdatei"), std::string::npos) << "the reason's own advice: " << text;
}

TEST(SettingCaptions, ResetSettingsAreNamedAsTheOptionsDialogShowsThem) {
    // A stored key without any values: every one is reset.
    MemorySettingsStore store;
    store.CreateKey();
    store.Put("Version", std::string(kSettingsVersion));
    const SettingsStart start = StartSettings(store);
    ASSERT_GT(start.reset.size(), 20u);
    for (const char* language : {"english.spr", "deutsch.spr"}) {
        const std::vector<std::string> places =
            SettingCaptions(LanguageFile::Load(kResources / language), start.reset);
        for (const std::string& place : places) {
            EXPECT_EQ(std::ranges::find(start.reset, place), start.reset.end()) << place;
            EXPECT_EQ(place.find(kResourceNotFound), std::string::npos) << place;
        }
    }
    const LanguageFile en = LanguageFile::Load(kResources / "english.spr");
    EXPECT_EQ(SettingCaptions(en, std::vector<std::string>{"LatD", "LatS", "HFarbeMark"}),
              (std::vector<std::string>{"Time and Place › Latitude", "Display › Mark Background"}));
}

TEST(ErrorMessage, FallsBackToEnglishForWhatTheFileLacks) {
    // An older or hand-edited language file: the message is translated, the position
    // words are not; a message it lacks altogether is shown in English, never as
    // "Resource not found".
    const LanguageFile partial =
        LanguageFile::FromBytes("[Errors]\nFileNotFound=Die Datei %1 existiert nicht\n");
    EXPECT_EQ(ErrorMessage(partial, MissingFile()),
              "Die Datei a.yrb existiert nicht (line 3, box Ev_from)");

    const data::Error other(data::CoreError("FileReadOnly"), {"b.yrb"}, {"b.yrb"});
    EXPECT_EQ(ErrorMessage(partial, other), other.what());
    EXPECT_EQ(ErrorMessage(LanguageFile(), other), other.what());
}

TEST(ErrorMessage, ArgumentsAreInsertedAsTheyAre) {
    // A file name or typed value that looks like a placeholder is shown, not expanded.
    const LanguageFile de = LanguageFile::Load(kResources / "deutsch.spr");
    const data::Error e(data::CoreError("TableFileDamaged"), {"100%1.yrb", "%2 %%"});
    EXPECT_EQ(ErrorMessage(de, e),
              "Die Tabellendatei 100%1.yrb ist beschädigt: %2 %%. Öffnen Sie stattdessen eine "
              "Sicherungskopie der Datei.");
}

}  // namespace
}  // namespace yorbel::app
