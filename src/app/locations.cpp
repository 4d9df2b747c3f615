#include "app/locations.h"

#include "calendar/angles.h"
#include "data/error.h"
#include "data/regular_file.h"
#include "text/text_encoding.h"

namespace yorbel::app {
namespace {

bool IsContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Byte offset of the character at 0-based character index `index` (or the size when the
// line is shorter). Counting lead bytes keeps a stray byte from shifting more than itself.
std::size_t ByteOffsetOfChar(std::string_view line, int index) {
    int seen = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (IsContinuationByte(static_cast<unsigned char>(line[i]))) continue;
        if (seen == index) return i;
        ++seen;
    }
    return line.size();
}

int CharCount(std::string_view line) {
    int n = 0;
    for (char c : line) n += IsContinuationByte(static_cast<unsigned char>(c)) ? 0 : 1;
    return n;
}

// Characters first..first+count-1 (1-based); shorter or empty past the end of the line.
std::string_view Chars(std::string_view line, int first, int count) {
    std::size_t from = ByteOffsetOfChar(line, first - 1);
    std::size_t to = ByteOffsetOfChar(line, first - 1 + count);
    return line.substr(from, to - from);
}

// The fixed columns of a list line: everything after the name.
std::string_view Columns(std::string_view line) {
    return line.substr(ByteOffsetOfChar(line, kLocationNameWidth));
}

// The number in an all-digit field; nullopt for anything else.
std::optional<int> Digits(std::string_view text) {
    if (text.empty()) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsCodeCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// "Europe/Berlin", "America/Argentina/Buenos_Aires", "Etc/GMT+5": what the time-zone
// database names zones with; anything else (a path, text of another program) is refused.
bool IsZoneName(std::string_view name) {
    constexpr std::size_t kLongestZoneName = 64;
    if (name.empty() || name.size() > kLongestZoneName || name.front() == '/') return false;
    for (char c : name) {
        if (!IsCodeCharacter(c) && c != '/' && c != '_' && c != '+' && c != '-') return false;
    }
    return name.find("..") == std::string_view::npos;
}

// The zone name after the fixed columns: none when the line ends there (trailing blanks
// allowed); nullopt when what follows is not a blank and a zone name.
std::optional<std::string> ZoneNameAfterColumns(std::string_view rest) {
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.remove_suffix(1);
    if (rest.empty()) return std::string();
    if (rest.front() != ' ' || !IsZoneName(rest.substr(1))) return std::nullopt;
    return std::string(rest.substr(1));
}

std::string NameOf(std::string_view line) {
    std::string_view name = Chars(line, 1, kLocationNameWidth);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    return std::string(name);
}

// Reads a whole file as UTF-8 (see text/text_encoding.h) and hands each line, LF or
// CR LF ended, with its number to `take`. False when the file cannot be read.
template <typename Take>
bool ForEachLine(const std::filesystem::path& path, Take take) {
    std::string bytes;
    try {
        bytes = data::ReadRegularFile(path);
    } catch (const data::Error&) {
        return false;
    }
    const std::string text = text::DecodeTextFile(bytes);
    std::string_view rest = text;
    int number = 0;
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        take(++number, line);
    }
    return true;
}

}  // namespace

PositionTexts PositionFromCityLine(std::string_view line, std::string_view decimal_separator) {
    PositionTexts t;
    t.LatD = Chars(line, 50, 2);
    t.LatM = Chars(line, 52, 2);
    t.LatS = Chars(line, 54, 2);
    t.North = Chars(line, 56, 1) == "N";
    t.LongD = Chars(line, 57, 3);
    t.LongM = Chars(line, 60, 2);
    t.LongS = Chars(line, 62, 2);
    t.West = Chars(line, 64, 1) == "W";
    // A line without zone columns leaves the box empty rather than holding a lone
    // separator.
    std::string_view hours = Chars(line, 66, 3), tenths = Chars(line, 69, 1);
    if (!hours.empty() || !tenths.empty()) {
        t.Zone = std::string(hours) + std::string(decimal_separator) + std::string(tenths);
    }
    return t;
}

std::string_view ProblemKey(LineProblem problem) {
    switch (problem) {
        case LineProblem::TooShort:
            return "LocationLineTooShort";
        case LineProblem::MissingName:
            return "LocationLineNoName";
        case LineProblem::BadCode:
            return "LocationLineBadCode";
        case LineProblem::BadNumber:
            return "LocationLineBadNumber";
        case LineProblem::LatitudeOutOfRange:
            return "LocationLineBadLatitude";
        case LineProblem::LongitudeOutOfRange:
            return "LocationLineBadLongitude";
        case LineProblem::BadZone:
            return "LocationLineBadZone";
    }
    return "LocationLineTooShort";
}

std::string EntryName(std::string_view line) {
    return NameOf(line);
}

std::optional<std::string> CountryCodeOf(std::string_view country_line) {
    std::string_view code = Chars(country_line, 50, 3);
    if (code.size() != 3) return std::nullopt;
    for (char c : code) {
        if (!IsCodeCharacter(c)) return std::nullopt;
    }
    return std::string(code);
}

std::variant<Country, LineProblem> ParseCountryLine(std::string_view line) {
    if (CharCount(line) < kCountryLineLength) return LineProblem::TooShort;
    Country country{std::string(line), NameOf(line), {}};
    if (country.name.empty()) return LineProblem::MissingName;
    auto code = CountryCodeOf(line);
    if (!code) return LineProblem::BadCode;
    country.code = *code;
    return country;
}

std::variant<City, LineProblem> ParseCityLine(std::string_view line,
                                              std::string_view decimal_separator) {
    if (CharCount(line) < kCityLineLength) return LineProblem::TooShort;
    City city;
    city.line = line;
    city.name = NameOf(line);
    if (city.name.empty()) return LineProblem::MissingName;

    // Past the name every column is one byte wide; a wider character there is caught by
    // the digit checks.
    std::string_view c = Columns(line);
    auto lat_d = Digits(c.substr(0, 2)), lat_m = Digits(c.substr(2, 2)),
         lat_s = Digits(c.substr(4, 2));
    auto long_d = Digits(c.substr(7, 3)), long_m = Digits(c.substr(10, 2)),
         long_s = Digits(c.substr(12, 2));
    auto zone_h = Digits(c.substr(17, 2)), zone_t = Digits(c.substr(19, 1));
    if (!lat_d || !lat_m || !lat_s || !long_d || !long_m || !long_s || !zone_h || !zone_t) {
        return LineProblem::BadNumber;
    }
    if (*lat_m > 59 || *lat_s > 59 || *lat_d * 3600 + *lat_m * 60 + *lat_s > 90 * 3600) {
        return LineProblem::LatitudeOutOfRange;
    }
    if (*long_m > 59 || *long_s > 59 || *long_d * 3600 + *long_m * 60 + *long_s > 180 * 3600) {
        return LineProblem::LongitudeOutOfRange;
    }
    char sign = c[16];
    int zone_tenths = *zone_h * 10 + *zone_t;
    if (c[15] != ' ' || (sign != '+' && sign != '-') || zone_tenths > 140) {
        return LineProblem::BadZone;
    }
    auto zone_name = ZoneNameAfterColumns(c.substr(20));
    if (!zone_name) return LineProblem::BadZone;
    city.zone_name = std::move(*zone_name);

    city.texts = PositionFromCityLine(line, decimal_separator);
    const double latitude = calendar::DegreesOf(*lat_d, *lat_m, *lat_s);
    const double longitude = calendar::DegreesOf(*long_d, *long_m, *long_s);
    city.latitude = city.texts.North ? latitude : -latitude;
    city.longitude = city.texts.West ? longitude : -longitude;
    city.zone_hours = (sign == '-' ? -zone_tenths : zone_tenths) / 10.0;
    return city;
}

bool SameCityLine(std::string_view stored, std::string_view listed) {
    if (stored == listed) return true;
    const std::size_t fixed_stored = ByteOffsetOfChar(stored, kCityLineLength);
    const std::size_t fixed_listed = ByteOffsetOfChar(listed, kCityLineLength);
    if (stored.substr(0, fixed_stored) != listed.substr(0, fixed_listed)) return false;
    const auto blank = [](std::string_view rest) {
        return rest.find_first_not_of(" \t") == std::string_view::npos;
    };
    return blank(stored.substr(fixed_stored)) || blank(listed.substr(fixed_listed));
}

std::filesystem::path CountryListPath(const std::filesystem::path& program_folder) {
    return program_folder / "geo" / "Country.txt";
}

std::filesystem::path CityListPath(const std::filesystem::path& program_folder,
                                   std::string_view code) {
    return program_folder / "geo" / (std::string(code) + ".txt");
}

namespace {

template <typename Entry, typename Parse>
std::variant<LocationList<Entry>, LocationFileError> ReadList(const std::filesystem::path& path,
                                                              Parse parse) {
    LocationList<Entry> list;
    bool read = ForEachLine(path, [&](int number, std::string_view line) {
        auto parsed = parse(line);
        if (auto* entry = std::get_if<Entry>(&parsed)) {
            list.entries.push_back(std::move(*entry));
        } else {
            list.warnings.push_back({number, std::get<LineProblem>(parsed)});
        }
    });
    if (!read) return LocationFileError{"LocationFileMissing", path};
    return list;
}

}  // namespace

CountryListResult ReadCountryList(const std::filesystem::path& path) {
    return ReadList<Country>(path, [](std::string_view line) { return ParseCountryLine(line); });
}

CityListResult ReadCityList(const std::filesystem::path& path, std::string_view decimal_separator) {
    return ReadList<City>(
        path, [&](std::string_view line) { return ParseCityLine(line, decimal_separator); });
}

}  // namespace yorbel::app
