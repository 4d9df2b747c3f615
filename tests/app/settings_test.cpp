#include "app/settings.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace yorbel::app {
namespace {

using Names = std::vector<std::string>;

const Names kFirstRunWrites = {"Kw1",
                               "Wt1",
                               "greg",
                               "VFarbeSonntag",
                               "HFarbeSonntag",
                               "OpenLastActive",
                               "LastActiveFile",
                               "YearFontName",
                               "YearFontSize",
                               "AdaptToFont",
                               "ZoneName"};
const Names kTo61 = {"Version", "LatD",  "LatM", "LatS",  "LongD",
                     "LongM",   "LongS", "Zone", "North", "West"};
const Names kTo65 = {"Version",      "Country",      "City",        "CustomPos",
                     "VFarbeWochen", "HFarbeWochen", "DayViewOpen", "DayViewX",
                     "DayViewY",     "VFarbeMark",   "HFarbeMark"};
const Names kTo66 = {"Version"};
const Names kTo67 = {"Version", "Language"};
// The order of the options' values, for reading at start and writing at close.
const Names kOptionsOrder = {"Kw1",           "Wt1",           "greg",
                             "VFarbeSonntag", "HFarbeSonntag", "OpenLastActive",
                             "YearFontName",  "YearFontSize",  "AdaptToFont",
                             "LatD",          "LatM",          "LatS",
                             "LongD",         "LongM",         "LongS",
                             "Zone",          "North",         "West",
                             "Country",       "City",          "CustomPos",
                             "VFarbeWochen",  "HFarbeWochen",  "DayViewOpen",
                             "VFarbeMark",    "HFarbeMark",    "Language",
                             "ZoneName"};

Names Concat(std::initializer_list<Names> parts) {
    Names all;
    for (const Names& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// A store as a user left it at level `version` (none when empty), every value changed
// from its default.
MemorySettingsStore UserStore(std::string_view version) {
    MemorySettingsStore store;
    if (!version.empty()) store.Put("Version", std::string(version));
    store.Put("Kw1", 2);
    store.Put("Wt1", 0);
    store.Put("greg", 0);
    store.Put("VFarbeSonntag", 0x0000FF00);
    store.Put("HFarbeSonntag", 0x00EEEEEE);
    store.Put("OpenLastActive", 1);
    store.Put("LastActiveFile", std::string("/home/u/Termine.yrb"));
    store.Put("YearFontName", std::string("DejaVu Sans"));
    store.Put("YearFontSize", -16);
    store.Put("AdaptToFont", 0);
    store.Put("LatD", 40.0);
    store.Put("LatM", 42.0);
    store.Put("LatS", 51.0);
    store.Put("LongD", 74.0);
    store.Put("LongM", 0.0);
    store.Put("LongS", 21.0);
    store.Put("Zone", -5.0);
    store.Put("North", 1);
    store.Put("West", 1);
    store.Put("Country", std::string("United States"));
    store.Put("City", std::string("New York"));
    store.Put("CustomPos", 1);
    store.Put("VFarbeWochen", 0x00112233);
    store.Put("HFarbeWochen", 0x00445566);
    store.Put("DayViewOpen", 1);
    store.Put("DayViewX", 10);
    store.Put("DayViewY", 20);
    store.Put("VFarbeMark", 0x00FFFFFF);
    store.Put("HFarbeMark", 0x00800000);
    store.Put("Language", 0);
    return store;
}

// The settings UserStore holds.
Settings UserSettings() {
    Settings s;
    s.Kw1 = 2;
    s.Wt1 = 0;
    s.greg = 0;
    s.VFarbeSonntag = 0x0000FF00;
    s.HFarbeSonntag = 0x00EEEEEE;
    s.OpenLastActive = true;
    s.YearFontName = "DejaVu Sans";
    s.YearFontSize = -16;
    s.AdaptToFont = false;
    s.LatD = 40, s.LatM = 42, s.LatS = 51;
    s.LongD = 74, s.LongM = 0, s.LongS = 21;
    s.Zone = -5;
    s.North = true;
    s.West = true;
    s.Country = "United States";
    s.City = "New York";
    s.CustomPos = true;
    s.VFarbeWochen = 0x00112233;
    s.HFarbeWochen = 0x00445566;
    s.DayViewOpen = true;
    s.VFarbeMark = 0x00FFFFFF;
    s.HFarbeMark = 0x00800000;
    s.Language = 0;
    s.ZoneName = "";  // stored before zone names: New York keeps its fixed hours
    return s;
}

TEST(RecentFiles, KeepEightNewestFirstOnceEach) {
    MemorySettingsStore store;
    Names paths;
    for (int i = 1; i <= 9; ++i) paths = WithRecentFile(paths, "/c/" + std::to_string(i));
    paths = WithRecentFile(paths, "/c/5");
    WriteRecentFiles(store, paths);
    EXPECT_EQ(ReadRecentFiles(store),
              (Names{"/c/5", "/c/9", "/c/8", "/c/7", "/c/6", "/c/4", "/c/3", "/c/2"}));
    // A shorter list clears the entries it no longer fills; unreadable ones are skipped.
    WriteRecentFiles(store, {"/c/1"});
    store.Put("RecentFile3", std::int32_t{7});
    EXPECT_EQ(ReadRecentFiles(store), (Names{"/c/1"}));
}

TEST(SettingsStart, FirstRunStoresEveryDefault) {
    MemorySettingsStore store;
    const SettingsStart start = StartSettings(store);

    EXPECT_TRUE(start.first_run);
    EXPECT_TRUE(start.reset.empty());
    EXPECT_EQ(store.writes(), Concat({kFirstRunWrites, kTo61, kTo65, kTo66, kTo67}));
    EXPECT_EQ(store.size(), 32u);
    EXPECT_EQ(store.ReadString("Version").value, "6.7");
    EXPECT_EQ(store.ReadInt("Language").value, 1);
    EXPECT_EQ(store.ReadString("LastActiveFile").value, "");
    EXPECT_EQ(store.ReadInt("DayViewX").value, 400);
    EXPECT_EQ(store.ReadInt("DayViewY").value, 100);
    EXPECT_EQ(store.ReadReal("LongS").value, 55.0);  // positions are reals

    const Settings& s = start.settings;
    EXPECT_EQ(s, Settings{});
    EXPECT_EQ(s.Country.size(), 52u);
    EXPECT_EQ(s.City.substr(49), "500644N0084055E +010 Europe/Berlin");
    EXPECT_EQ(store.ReadString("ZoneName").value, "Europe/Berlin");
    EXPECT_EQ(s.YearFontName, "MS Sans Serif");
    EXPECT_EQ(s.VFarbeWochen, 0x858585);
    EXPECT_EQ(s.HFarbeMark, 0x00FFFF);
}

TEST(SettingsStart, EachStoredLevelRunsOnlyTheStepsAfterIt) {
    struct Case {
        const char* version;
        Names writes;
    };
    const Case cases[] = {
        {"6.1", Concat({kTo65, kTo66, kTo67})},
        {"6.5", Concat({kTo66, kTo67})},
        {"6.6", kTo67},
        {"6.7", {}},
        {"", Concat({kTo61, kTo65, kTo66, kTo67})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("Version \"") + c.version + "\"");
        MemorySettingsStore store = UserStore(c.version);
        const SettingsStart start = StartSettings(store);
        EXPECT_FALSE(start.first_run);
        EXPECT_EQ(start.found_version, c.version);
        EXPECT_EQ(store.writes(), c.writes);
        EXPECT_EQ(store.ReadString("Version").value, "6.7");
        EXPECT_TRUE(start.reset.empty());
    }
}

TEST(SettingsStart, UpgradeKeepsTheValuesOfEarlierLevels) {
    MemorySettingsStore store = UserStore("6.6");
    Settings expected = UserSettings();
    expected.Language = 1;  // every upgrade to 6.7 switches to English
    EXPECT_EQ(StartSettings(store).settings, expected);

    // From 6.1 the location stays, and what 6.5 introduced takes its defaults.
    store = UserStore("6.1");
    const Settings s = StartSettings(store).settings;
    EXPECT_EQ(s.LatD, 40);
    EXPECT_TRUE(s.West);
    EXPECT_EQ(s.Kw1, 2);
    EXPECT_EQ(s.Country, DefaultCountryLine());
    EXPECT_FALSE(s.CustomPos);
    EXPECT_EQ(s.HFarbeMark, 0x00FFFF);
    EXPECT_EQ(ReadDayViewPosition(store, 1), 400);
    EXPECT_EQ(ReadLastActiveFile(store), "/home/u/Termine.yrb");
}

TEST(SettingsStart, MissingVersionResetsEverythingOfTheUpgrades) {
    MemorySettingsStore store = UserStore("");
    const Settings s = StartSettings(store).settings;

    Settings expected;  // the upgrade steps overwrite all but the first-run values
    const Settings user = UserSettings();
    expected.Kw1 = user.Kw1;
    expected.Wt1 = user.Wt1;
    expected.greg = user.greg;
    expected.VFarbeSonntag = user.VFarbeSonntag;
    expected.HFarbeSonntag = user.HFarbeSonntag;
    expected.OpenLastActive = user.OpenLastActive;
    expected.YearFontName = user.YearFontName;
    expected.YearFontSize = user.YearFontSize;
    expected.AdaptToFont = user.AdaptToFont;
    EXPECT_EQ(s, expected);

    // An unreadable level is treated the same way.
    MemorySettingsStore odd = UserStore("");
    odd.Put("Version", 67);
    EXPECT_EQ(StartSettings(odd).settings, expected);
    EXPECT_EQ(odd.writes(), Concat({kTo61, kTo65, kTo66, kTo67}));
}

TEST(SettingsStart, LaterLevelIsReadAsItStands) {
    MemorySettingsStore store = UserStore("7.0");
    const SettingsStart start = StartSettings(store);
    EXPECT_EQ(start.found_version, "7.0");
    EXPECT_TRUE(store.writes().empty());
    EXPECT_EQ(store.ReadString("Version").value, "7.0");
    EXPECT_EQ(start.settings, UserSettings());
}

TEST(SettingsStart, UnreadableValuesTakeTheirDefaultsAndAreReportedOnce) {
    MemorySettingsStore store = UserStore("7.0");
    store.Remove("Kw1");                           // missing number
    store.Put("Wt1", 9);                           // no such weekday
    store.Put("AdaptToFont", std::string("yes"));  // truth of another kind
    store.Put("LatD", std::int32_t{50});           // real of another kind
    store.Put("Zone", std::numeric_limits<double>::quiet_NaN());
    store.Put("City", 12);    // text of another kind
    store.Remove("Country");  // missing text: empty, no reset
    store.Put("Language", 2);

    const SettingsStart start = StartSettings(store);
    EXPECT_EQ(start.reset,
              (Names{"Kw1", "Wt1", "AdaptToFont", "LatD", "Zone", "City", "Language"}));
    const Settings& s = start.settings;
    const Settings defaults;
    EXPECT_EQ(s.Kw1, defaults.Kw1);
    EXPECT_EQ(s.Wt1, defaults.Wt1);
    EXPECT_EQ(s.AdaptToFont, defaults.AdaptToFont);
    EXPECT_EQ(s.LatD, defaults.LatD);
    EXPECT_EQ(s.Zone, defaults.Zone);
    EXPECT_EQ(s.City, defaults.City);
    EXPECT_EQ(s.Language, defaults.Language);
    EXPECT_EQ(s.Country, "");
    EXPECT_EQ(s.greg, 0);  // readable values are kept
    EXPECT_EQ(s.LatM, 42);
    EXPECT_EQ(s.YearFontName, "DejaVu Sans");

    // The defaults were stored, so the next start is clean.
    EXPECT_EQ(store.writes(), start.reset);
    const SettingsStart again = StartSettings(store);
    EXPECT_TRUE(again.reset.empty());
    EXPECT_EQ(again.settings, s);
}

TEST(SettingsWrite, WritesTheOptionsInOrderAndNothingWithoutTheKey) {
    MemorySettingsStore store = UserStore("6.7");
    const Settings s;
    ASSERT_TRUE(WriteSettings(store, s));
    EXPECT_EQ(store.writes(), kOptionsOrder);
    EXPECT_EQ(StartSettings(store).settings, s);
    EXPECT_EQ(store.ReadString("LastActiveFile").value, "/home/u/Termine.yrb");  // untouched
    EXPECT_EQ(store.ReadInt("DayViewX").value, 10);

    Settings none;
    none.Country.clear();  // nothing chosen in the lists
    none.City.clear();
    ASSERT_TRUE(WriteSettings(store, none));
    EXPECT_EQ(store.ReadString("Country").value, "");

    MemorySettingsStore absent;
    EXPECT_FALSE(WriteSettings(absent, s));
    EXPECT_TRUE(absent.writes().empty());
    EXPECT_FALSE(absent.KeyExists());
}

TEST(SettingsWrite, LastActiveFileAndDaySheetPosition) {
    MemorySettingsStore store;
    EXPECT_EQ(ReadLastActiveFile(store), "");
    EXPECT_EQ(ReadDayViewPosition(store, 1), 400);  // defaults before anything is stored
    EXPECT_EQ(ReadDayViewPosition(store, 2), 100);

    WriteLastActiveFile(store, "/data/Ferien 2027.yrb");
    EXPECT_EQ(ReadLastActiveFile(store), "/data/Ferien 2027.yrb");
    WriteDayViewPosition(store, 1, -30);  // left of a second screen
    WriteDayViewPosition(store, 2, 777);
    EXPECT_EQ(ReadDayViewPosition(store, 1), -30);
    EXPECT_EQ(ReadDayViewPosition(store, 2), 777);

    store.ClearWrites();
    WriteDayViewPosition(store, 3, 5);
    WriteDayViewPosition(store, 0, 5);
    EXPECT_TRUE(store.writes().empty());
    EXPECT_EQ(ReadDayViewPosition(store, 3), 0);
    EXPECT_EQ(ReadDayViewPosition(store, 0), 0);
}

TEST(SettingsQueries, WeekStartFollowsTheStoredItem) {
    Settings s;
    s.Wt1 = 0;
    EXPECT_EQ(WeekStartDay(s), calendar::Weekday::Sunday);
    s.Wt1 = 1;
    EXPECT_EQ(WeekStartDay(s), calendar::Weekday::Monday);
    s.Wt1 = 6;
    EXPECT_EQ(WeekStartDay(s), calendar::Weekday::Saturday);
}

// The stored items map onto the rules, languages and colours they name, not onto
// neighbours.
TEST(SettingsQueries, StoredChoicesNameWhatTheOptionsShow) {
    Settings s;
    s.Kw1 = 0;
    EXPECT_EQ(WeekOneRule(s), calendar::WeekRule::FromNewYear);
    s.Kw1 = 2;
    EXPECT_EQ(WeekOneRule(s), calendar::WeekRule::FirstFullWeek);
    s.Language = 0;
    EXPECT_EQ(LanguageOf(s), Language::German);
    s.Language = 1;
    EXPECT_EQ(LanguageOf(s), Language::English);

    s.VFarbeSonntag = 1;
    s.HFarbeSonntag = 2;
    s.VFarbeWochen = 3;
    s.HFarbeWochen = 4;
    s.VFarbeMark = 5;
    s.HFarbeMark = 6;
    EXPECT_EQ(DisplayColor(s, ColorRole::SundayText), 1);
    EXPECT_EQ(DisplayColor(s, ColorRole::SundayBackground), 2);
    EXPECT_EQ(DisplayColor(s, ColorRole::WeekText), 3);
    EXPECT_EQ(DisplayColor(s, ColorRole::WeekBackground), 4);
    EXPECT_EQ(DisplayColor(s, ColorRole::MarkText), 5);
    EXPECT_EQ(DisplayColor(s, ColorRole::MarkBackground), 6);
}

TEST(SettingsQueries, PositionIsNorthAndWestPositive) {
    Settings s;  // Frankfurt/Main: 50° 6' 44" N, 8° 40' 55" E
    EXPECT_NEAR(LatitudeDegrees(s), 50.1122, 1e-4);
    EXPECT_NEAR(LongitudeDegrees(s), -8.6819, 1e-4);
    EXPECT_EQ(ZoneHours(s), 1.0);

    s.North = false;
    s.West = true;
    EXPECT_NEAR(LatitudeDegrees(s), -50.1122, 1e-4);
    EXPECT_NEAR(LongitudeDegrees(s), 8.6819, 1e-4);

    s.LongD = 0, s.LongM = 30, s.LongS = 0;  // minutes and seconds count on their own
    EXPECT_DOUBLE_EQ(LongitudeDegrees(s), 0.5);
    s.Zone = 5.5;
    EXPECT_EQ(ZoneHours(s), 5.5);
}

TEST(SettingsQueries, LocationTextTakesTheNameColumns) {
    Settings s;
    EXPECT_EQ(LocationText(s), "Frankfurt/Main, Germany");

    // Names are counted in characters, so an umlaut does not shift the columns.
    s.City = "München" + std::string(42, ' ') + "480813N0113430E +010";
    EXPECT_EQ(LocationText(s), "München, Germany");
    // A name filling all 49 columns is kept whole and the data columns are cut off.
    s.City = std::string(49, 'x') + "480813N0113430E +010";
    EXPECT_EQ(LocationText(s), std::string(49, 'x') + ", Germany");

    s.City.clear();
    s.Country.clear();
    EXPECT_EQ(LocationText(s), ", ");
}

TEST(SettingsQueries, ShortestNumberTextReadsBackExactly) {
    EXPECT_EQ(ShortestNumberText(50), "50");
    EXPECT_EQ(ShortestNumberText(5.5), "5.5");
    EXPECT_EQ(ShortestNumberText(-5), "-5");
    for (double v : {0.1, 1.0 / 3.0, 8.6819444444, -0.0001}) {
        const std::string text = ShortestNumberText(v);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_EQ(back, v) << text;
    }
}

}  // namespace
}  // namespace yorbel::app
