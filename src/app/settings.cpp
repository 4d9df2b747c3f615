#include "app/settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <type_traits>

#include "app/locations.h"
#include "calendar/angles.h"
#include "calendar/dates.h"

namespace yorbel::app {

// ---------------------------------------------------------------------------------------
// Value store

StoredValue<bool> SettingsStore::ReadBool(std::string_view name) const {
    const StoredValue<std::int32_t> n = ReadInt(name);
    return {n.status, n.value != 0};
}

bool MemorySettingsStore::CreateKey() {
    key_exists_ = true;
    return true;
}

namespace {

template <class T>
StoredValue<T> ReadAs(const MemorySettingsStore::Value* value) {
    if (value == nullptr) return {ReadStatus::Missing, T{}};
    if (const T* v = std::get_if<T>(value)) return {ReadStatus::Ok, *v};
    return {ReadStatus::WrongKind, T{}};
}

}  // namespace

StoredValue<std::string> MemorySettingsStore::ReadString(std::string_view name) const {
    return ReadAs<std::string>(Find(name));
}

StoredValue<std::int32_t> MemorySettingsStore::ReadInt(std::string_view name) const {
    return ReadAs<std::int32_t>(Find(name));
}

StoredValue<double> MemorySettingsStore::ReadReal(std::string_view name) const {
    return ReadAs<double>(Find(name));
}

bool MemorySettingsStore::WriteString(std::string_view name, std::string_view value) {
    return Write(name, std::string(value));
}

bool MemorySettingsStore::WriteInt(std::string_view name, std::int32_t value) {
    return Write(name, value);
}

bool MemorySettingsStore::WriteReal(std::string_view name, double value) {
    return Write(name, value);
}

bool MemorySettingsStore::Write(std::string_view name, Value value) {
    key_exists_ = true;  // writing into a key creates it, as the registry does
    Put(name, std::move(value));
    writes_.emplace_back(name);
    return true;
}

void MemorySettingsStore::Put(std::string_view name, Value value) {
    key_exists_ = true;
    values_.insert_or_assign(std::string(name), std::move(value));
}

void MemorySettingsStore::Remove(std::string_view name) {
    const auto it = values_.find(name);
    if (it != values_.end()) values_.erase(it);
}

const MemorySettingsStore::Value* MemorySettingsStore::Find(std::string_view name) const {
    const auto it = values_.find(name);
    return it == values_.end() ? nullptr : &it->second;
}

// ---------------------------------------------------------------------------------------
// Settings

namespace {

std::string PadName(std::string_view name, std::string_view data) {
    std::string line(name);
    line.resize(kLocationNameWidth, ' ');
    line += data;
    return line;
}

// The values that the options hold, in the one order in which they are read at start
// and written at the options' close. Integers carry their valid range: a stored number
// outside it (a choice no list has) counts as unreadable.
struct IntField {
    std::string_view name;
    std::int32_t Settings::*member;
    std::int32_t min = std::numeric_limits<std::int32_t>::min();
    std::int32_t max = std::numeric_limits<std::int32_t>::max();
};
struct BoolField {
    std::string_view name;
    bool Settings::*member;
};
struct RealField {
    std::string_view name;
    double Settings::*member;
};
struct StringField {
    std::string_view name;
    std::string Settings::*member;
};
using Field = std::variant<IntField, BoolField, RealField, StringField>;

const std::array<Field, 28> kFields = {{
    IntField{"Kw1", &Settings::Kw1, 0, 2},
    IntField{"Wt1", &Settings::Wt1, 0, 6},
    IntField{"greg", &Settings::greg, 0, 1},
    IntField{"VFarbeSonntag", &Settings::VFarbeSonntag},
    IntField{"HFarbeSonntag", &Settings::HFarbeSonntag},
    BoolField{"OpenLastActive", &Settings::OpenLastActive},
    StringField{"YearFontName", &Settings::YearFontName},
    IntField{"YearFontSize", &Settings::YearFontSize},
    BoolField{"AdaptToFont", &Settings::AdaptToFont},
    RealField{"LatD", &Settings::LatD},
    RealField{"LatM", &Settings::LatM},
    RealField{"LatS", &Settings::LatS},
    RealField{"LongD", &Settings::LongD},
    RealField{"LongM", &Settings::LongM},
    RealField{"LongS", &Settings::LongS},
    RealField{"Zone", &Settings::Zone},
    BoolField{"North", &Settings::North},
    BoolField{"West", &Settings::West},
    StringField{"Country", &Settings::Country},
    StringField{"City", &Settings::City},
    BoolField{"CustomPos", &Settings::CustomPos},
    IntField{"VFarbeWochen", &Settings::VFarbeWochen},
    IntField{"HFarbeWochen", &Settings::HFarbeWochen},
    BoolField{"DayViewOpen", &Settings::DayViewOpen},
    IntField{"VFarbeMark", &Settings::VFarbeMark},
    IntField{"HFarbeMark", &Settings::HFarbeMark},
    IntField{"Language", &Settings::Language, 0, 1},
    StringField{"ZoneName", &Settings::ZoneName},
}};

// Reads one value into `s`, which holds the defaults; false when the value could not be
// read and the default stays.
bool ReadField(const SettingsStore& store, const Field& field, Settings& s) {
    return std::visit(
        [&](const auto& f) -> bool {
            using F = std::decay_t<decltype(f)>;
            if constexpr (std::is_same_v<F, IntField>) {
                const auto v = store.ReadInt(f.name);
                if (!v.ok() || v.value < f.min || v.value > f.max) return false;
                s.*f.member = v.value;
            } else if constexpr (std::is_same_v<F, BoolField>) {
                const auto v = store.ReadBool(f.name);
                if (!v.ok()) return false;
                s.*f.member = v.value;
            } else if constexpr (std::is_same_v<F, RealField>) {
                const auto v = store.ReadReal(f.name);
                if (!v.ok() || !std::isfinite(v.value)) return false;
                s.*f.member = v.value;
            } else {
                // A missing text reads as empty (a location line then selects nothing);
                // only a value of another kind is unreadable.
                const auto v = store.ReadString(f.name);
                if (v.status == ReadStatus::WrongKind) return false;
                s.*f.member = v.value;
            }
            return true;
        },
        field);
}

void WriteField(SettingsStore& store, const Field& field, const Settings& s) {
    std::visit(
        [&](const auto& f) {
            using F = std::decay_t<decltype(f)>;
            if constexpr (std::is_same_v<F, IntField>) {
                store.WriteInt(f.name, s.*f.member);
            } else if constexpr (std::is_same_v<F, BoolField>) {
                store.WriteBool(f.name, s.*f.member);
            } else if constexpr (std::is_same_v<F, RealField>) {
                store.WriteReal(f.name, s.*f.member);
            } else {
                store.WriteString(f.name, s.*f.member);
            }
        },
        field);
}

std::string_view FieldName(const Field& field) {
    return std::visit([](const auto& f) { return f.name; }, field);
}

// Writes the defaults of the named options in the order given, each as the kind its
// field has above.
void WriteDefaults(SettingsStore& store, std::initializer_list<std::string_view> names) {
    const Settings defaults;
    for (const std::string_view name : names) {
        const auto field = std::ranges::find(kFields, name, FieldName);
        if (field == kFields.end()) throw std::logic_error("no option " + std::string(name));
        WriteField(store, *field, defaults);
    }
}

constexpr std::int32_t kDefaultDayViewX = 400;
constexpr std::int32_t kDefaultDayViewY = 100;

void WriteFirstRunValues(SettingsStore& store) {
    WriteDefaults(store,
                  {"Kw1", "Wt1", "greg", "VFarbeSonntag", "HFarbeSonntag", "OpenLastActive"});
    store.WriteString("LastActiveFile", "");
    WriteDefaults(store, {"YearFontName", "YearFontSize", "AdaptToFont", "ZoneName"});
}

void UpgradeTo61(SettingsStore& store) {
    store.WriteString("Version", "6.1");
    WriteDefaults(store,
                  {"LatD", "LatM", "LatS", "LongD", "LongM", "LongS", "Zone", "North", "West"});
}

void UpgradeTo65(SettingsStore& store) {
    store.WriteString("Version", "6.5");
    WriteDefaults(store,
                  {"Country", "City", "CustomPos", "VFarbeWochen", "HFarbeWochen", "DayViewOpen"});
    store.WriteInt("DayViewX", kDefaultDayViewX);
    store.WriteInt("DayViewY", kDefaultDayViewY);
    WriteDefaults(store, {"VFarbeMark", "HFarbeMark"});
}

void UpgradeTo66(SettingsStore& store) {
    store.WriteString("Version", "6.6");
}

void UpgradeTo67(SettingsStore& store) {
    store.WriteString("Version", "6.7");
    WriteDefaults(store, {"Language"});
}

// Runs the upgrade steps that follow the stored level. An empty or missing level runs
// them all; an unknown one (a later program's) runs none.
void Upgrade(SettingsStore& store, std::string_view from) {
    int first = 0;
    if (from.empty()) {
        first = 1;
    } else if (from == "6.1") {
        first = 2;
    } else if (from == "6.5") {
        first = 3;
    } else if (from == "6.6") {
        first = 4;
    } else {
        return;
    }
    if (first <= 1) UpgradeTo61(store);
    if (first <= 2) UpgradeTo65(store);
    if (first <= 3) UpgradeTo66(store);
    UpgradeTo67(store);
}

}  // namespace

std::string DefaultCountryLine() {
    return PadName("Germany", "GMY");
}

std::string DefaultCityLine() {
    return PadName("Frankfurt/Main", "500644N0084055E +010 Europe/Berlin");
}

SettingsStart StartSettings(SettingsStore& store) {
    SettingsStart start;
    if (!store.KeyExists()) {
        start.first_run = true;
        store.CreateKey();
        WriteFirstRunValues(store);
        Upgrade(store, "");
    } else {
        const auto version = store.ReadString("Version");
        if (version.ok()) {
            start.found_version = version.value;
            Upgrade(store, version.value);
        } else {
            Upgrade(store, "");  // no level, or one that cannot be read
        }
    }

    const bool can_repair = store.KeyExists();
    for (const Field& field : kFields) {
        if (!ReadField(store, field, start.settings)) {
            start.reset.emplace_back(FieldName(field));
            if (can_repair) WriteField(store, field, start.settings);
        }
    }
    // A key from before zone names: the default place goes on its zone's clock, any other
    // place keeps the fixed hours its user chose.
    if (store.ReadString("ZoneName").status == ReadStatus::Missing) {
        const Settings& s = start.settings;
        const bool default_place =
            !s.CustomPos && s.Zone == 1 && SameCityLine(s.City, DefaultCityLine());
        start.settings.ZoneName = default_place ? Settings{}.ZoneName : std::string();
    }
    return start;
}

bool WriteSettings(SettingsStore& store, const Settings& settings) {
    if (!store.KeyExists()) return false;
    for (const Field& field : kFields) WriteField(store, field, settings);
    return true;
}

std::string ReadLastActiveFile(const SettingsStore& store) {
    const auto v = store.ReadString("LastActiveFile");
    return v.ok() ? v.value : std::string();
}

void WriteLastActiveFile(SettingsStore& store, std::string_view path) {
    store.WriteString("LastActiveFile", path);
}

std::int32_t ReadDayViewPosition(const SettingsStore& store, int which) {
    if (which != 1 && which != 2) return 0;
    const auto v = store.ReadInt(which == 1 ? "DayViewX" : "DayViewY");
    if (v.ok()) return v.value;
    return which == 1 ? kDefaultDayViewX : kDefaultDayViewY;
}

void WriteDayViewPosition(SettingsStore& store, int which, std::int32_t value) {
    if (which == 1) store.WriteInt("DayViewX", value);
    if (which == 2) store.WriteInt("DayViewY", value);
}

// ---------------------------------------------------------------------------------------
// Queries

calendar::WeekRule WeekOneRule(const Settings& s) {
    return static_cast<calendar::WeekRule>(s.Kw1 + 1);  // the options list the rules in order
}

calendar::Weekday WeekStartDay(const Settings& s) {
    return calendar::WeekdayFromNumber(s.Wt1);
}

bool Gregorian(const Settings& s) {
    return s.greg == 1;
}

Language LanguageOf(const Settings& s) {
    return s.Language == 0 ? Language::German : Language::English;
}

std::int32_t DisplayColor(const Settings& s, ColorRole role) {
    switch (role) {
        case ColorRole::SundayText:
            return s.VFarbeSonntag;
        case ColorRole::SundayBackground:
            return s.HFarbeSonntag;
        case ColorRole::WeekText:
            return s.VFarbeWochen;
        case ColorRole::WeekBackground:
            return s.HFarbeWochen;
        case ColorRole::MarkText:
            return s.VFarbeMark;
        case ColorRole::MarkBackground:
            return s.HFarbeMark;
    }
    return 0;  // not a role
}

double LatitudeDegrees(const Settings& s) {
    const double deg = calendar::DegreesOf(s.LatD, s.LatM, s.LatS);
    return s.North ? deg : -deg;
}

double LongitudeDegrees(const Settings& s) {
    const double deg = calendar::DegreesOf(s.LongD, s.LongM, s.LongS);
    return s.West ? deg : -deg;
}

double ZoneHours(const Settings& s) {
    return s.Zone;
}

calendar::Place PlaceOf(const Settings& s) {
    return {LatitudeDegrees(s), LongitudeDegrees(s), ZoneHours(s), s.ZoneName};
}

std::string LocationText(const Settings& s) {
    return EntryName(s.City) + ", " + EntryName(s.Country);
}

std::string ShortestNumberText(double value) {
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (ec != std::errc()) return {};
    return std::string(buffer.data(), end);
}

std::vector<std::string> ReadRecentFiles(const SettingsStore& store) {
    std::vector<std::string> paths;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const auto entry = store.ReadString("RecentFile" + std::to_string(i));
        if (entry.ok() && !entry.value.empty() &&
            std::find(paths.begin(), paths.end(), entry.value) == paths.end())
            paths.push_back(entry.value);
    }
    return paths;
}

void WriteRecentFiles(SettingsStore& store, const std::vector<std::string>& paths) {
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const auto index = static_cast<std::size_t>(i - 1);
        store.WriteString("RecentFile" + std::to_string(i),
                          index < paths.size() ? paths[index] : std::string());
    }
}

std::vector<std::string> WithRecentFile(std::vector<std::string> paths, const std::string& path) {
    std::erase(paths, path);
    paths.insert(paths.begin(), path);
    if (paths.size() > static_cast<std::size_t>(kRecentFileCount))
        paths.resize(static_cast<std::size_t>(kRecentFileCount));
    return paths;
}

std::string ReadLastFolder(const SettingsStore& store) {
    const auto folder = store.ReadString("LastFolder");
    return folder.ok() ? folder.value : std::string();
}

void WriteLastFolder(SettingsStore& store, std::string_view folder) {
    store.WriteString("LastFolder", folder);
}

}  // namespace yorbel::app
