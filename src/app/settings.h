// The user's settings: where they are stored, what a first start and an older stored
// level write, how they are read at start and written when the options dialog closes,
// and the queries every window uses.
//
// The logic talks to a small value store (SettingsStore): the program uses one backed by
// QSettings("Brenmark", "Yorbel") (src/desktop), the tests an in-memory one.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/language_file.h"
#include "calendar/dates.h"
#include "calendar/dayfacts.h"

namespace yorbel::app {

// ---------------------------------------------------------------------------------------
// Value store

enum class ReadStatus { Ok, Missing, WrongKind };

template <class T>
struct StoredValue {
    ReadStatus status = ReadStatus::Missing;
    T value{};
    bool ok() const { return status == ReadStatus::Ok; }
};

// One key of named values. Truth values are stored as integers (non-zero reads as true),
// colours as integers holding a Windows colour (0x00BBGGRR).
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // Whether the key exists; asking never creates it.
    virtual bool KeyExists() const = 0;
    virtual bool CreateKey() = 0;

    virtual StoredValue<std::string> ReadString(std::string_view name) const = 0;
    virtual StoredValue<std::int32_t> ReadInt(std::string_view name) const = 0;
    virtual StoredValue<double> ReadReal(std::string_view name) const = 0;
    StoredValue<bool> ReadBool(std::string_view name) const;

    // False when the store refused the value.
    virtual bool WriteString(std::string_view name, std::string_view value) = 0;
    virtual bool WriteInt(std::string_view name, std::int32_t value) = 0;
    virtual bool WriteReal(std::string_view name, double value) = 0;
    bool WriteBool(std::string_view name, bool value) { return WriteInt(name, value ? 1 : 0); }
};

// A store in memory, for tests and for running without any persistent store. Values
// keep the kind they were written with; reading one as another kind is WrongKind.
class MemorySettingsStore final : public SettingsStore {
  public:
    using Value = std::variant<std::string, std::int32_t, double>;

    bool KeyExists() const override { return key_exists_; }
    bool CreateKey() override;
    StoredValue<std::string> ReadString(std::string_view name) const override;
    StoredValue<std::int32_t> ReadInt(std::string_view name) const override;
    StoredValue<double> ReadReal(std::string_view name) const override;
    bool WriteString(std::string_view name, std::string_view value) override;
    bool WriteInt(std::string_view name, std::int32_t value) override;
    bool WriteReal(std::string_view name, double value) override;

    // Test access: put or remove a value without it counting as a write.
    void Put(std::string_view name, Value value);
    void Remove(std::string_view name);
    const Value* Find(std::string_view name) const;
    std::size_t size() const { return values_.size(); }

    // Names in the order they were written, for checking write orders.
    const std::vector<std::string>& writes() const { return writes_; }
    void ClearWrites() { writes_.clear(); }

  private:
    bool Write(std::string_view name, Value value);

    bool key_exists_ = false;
    std::map<std::string, Value, std::less<>> values_;
    std::vector<std::string> writes_;
};

// ---------------------------------------------------------------------------------------
// Settings

// Level that the current program writes; older stored levels are upgraded to it.
inline constexpr std::string_view kSettingsVersion = "6.7";

// The country and city lines of Frankfurt/Main as the location files hold them.
std::string DefaultCountryLine();  // "Germany", blanks to 49 characters, "GMY"
// "Frankfurt/Main", blanks to 49, "500644N0084055E +010 Europe/Berlin"
std::string DefaultCityLine();

// Every stored value except Version, LastActiveFile, DayViewX and DayViewY, which are
// read and written at their own moments. Members carry the stored names; defaults are
// the values a first start stores.
struct Settings {
    std::int32_t Kw1 =
        1;  // week-1 rule item: 0 week of 1 January, 1 first with >3 days, 2 first full
    std::int32_t Wt1 = 1;                   // first weekday, 0 Sunday … 6 Saturday
    std::int32_t greg = 1;                  // 0 Julian, 1 Gregorian
    std::int32_t VFarbeSonntag = 255;       // Sunday text colour (red)
    std::int32_t HFarbeSonntag = 0xFFFFFF;  // Sunday background (white)
    bool OpenLastActive = false;
    std::string YearFontName = "MS Sans Serif";
    std::int32_t YearFontSize = -13;  // negative: character height in pixels
    bool AdaptToFont = true;
    double LatD = 50, LatM = 6, LatS = 44;
    double LongD = 8, LongM = 40, LongS = 55;
    double Zone = 1;  // hours to add to universal time
    bool North = true;
    bool West = false;
    std::string Country = DefaultCountryLine();  // chosen country line, empty for none
    std::string City = DefaultCityLine();        // chosen city line, empty for none
    bool CustomPos = false;
    std::int32_t VFarbeWochen = 8750469;   // week text colour (grey 0x858585)
    std::int32_t HFarbeWochen = 0xFFFFFF;  // week background (white)
    bool DayViewOpen = false;
    std::int32_t VFarbeMark = 0;         // mark text colour (black)
    std::int32_t HFarbeMark = 0x00FFFF;  // mark background (yellow)
    std::int32_t Language = 1;           // 0 German, 1 English
    // Time-zone name whose clock the times are shown on, summer time included; empty
    // for the fixed Zone hours (which also stand in for a name the system does not know).
    // A key stored before there was one reads the default place's name when it holds the
    // default place, else none.
    std::string ZoneName = "Europe/Berlin";

    friend bool operator==(const Settings&, const Settings&) = default;
};

// Outcome of reading the settings at start.
struct SettingsStart {
    Settings settings;
    bool first_run = false;     // the key did not exist
    std::string found_version;  // Version as found; empty on a first run or when missing
    // Values that were missing or unreadable: they took their defaults, which were also
    // written back so that the user hears about them once. Stored names, in read order.
    std::vector<std::string> reset;
};

// First run or upgrade as needed, then every value read. Never fails: whatever cannot be
// read takes its default and is listed in `reset`.
SettingsStart StartSettings(SettingsStore& store);

// Writes every value of `settings` in the fixed order (options dialog closing). Writes
// nothing and returns false when the key does not exist.
bool WriteSettings(SettingsStore& store, const Settings& settings);

// The calendar that was active at the last exit; empty for none or an untitled one.
std::string ReadLastActiveFile(const SettingsStore& store);
void WriteLastActiveFile(SettingsStore& store, std::string_view path);

// Day sheet position: which 1 is DayViewX (left), 2 DayViewY (top). A missing or
// unreadable value gives its default (400, 100); any other `which` gives 0 and writes
// nothing.
std::int32_t ReadDayViewPosition(const SettingsStore& store, int which);
void WriteDayViewPosition(SettingsStore& store, int which, std::int32_t value);

// The calendars last opened or saved, newest first, at most kRecentFileCount, stored as
// RecentFile1 … RecentFile8. Empty or unreadable entries are skipped.
inline constexpr int kRecentFileCount = 8;
std::vector<std::string> ReadRecentFiles(const SettingsStore& store);
void WriteRecentFiles(SettingsStore& store, const std::vector<std::string>& paths);
// `path` moved to the front of `paths` (once), the list cut to kRecentFileCount.
std::vector<std::string> WithRecentFile(std::vector<std::string> paths, const std::string& path);

// The folder the file dialogs start in (LastFolder); empty when none is stored yet.
std::string ReadLastFolder(const SettingsStore& store);
void WriteLastFolder(SettingsStore& store, std::string_view folder);

// ---------------------------------------------------------------------------------------
// Queries

calendar::WeekRule WeekOneRule(const Settings& s);
calendar::Weekday WeekStartDay(const Settings& s);
bool Gregorian(const Settings& s);
Language LanguageOf(const Settings& s);  // a stored 0 is German, anything else English

// The colours the year window paints with.
enum class ColorRole {
    SundayText,
    SundayBackground,
    WeekText,
    WeekBackground,
    MarkText,
    MarkBackground
};
std::int32_t DisplayColor(const Settings& s, ColorRole role);

double LatitudeDegrees(const Settings& s);   // north positive
double LongitudeDegrees(const Settings& s);  // WEST positive, east negative
double ZoneHours(const Settings& s);
// Where the sun and moon are observed and whose clock shows their times.
calendar::Place PlaceOf(const Settings& s);
// "City, Country": the name part (first 49 characters, trailing blanks dropped) of the
// chosen city line and of the chosen country line.
std::string LocationText(const Settings& s);

// The shortest decimal text that reads back as the same number ("50", "5.5", "-8.25"),
// with '.' as separator; the options boxes show the stored reals in this form.
std::string ShortestNumberText(double value);

}  // namespace yorbel::app
