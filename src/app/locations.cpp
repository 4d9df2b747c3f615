#include "app/locations.h"

#include <cmath>
#include <fstream>
#include <system_error>

namespace yorbel::app {
namespace {

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

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

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1, cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2, cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3, cp = c & 0x07;
        } else {
            return false;
        }
        if (s.size() - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            auto b = static_cast<unsigned char>(s[i + k]);
            if (!IsContinuationByte(b)) return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += 1 + extra;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Windows-1252 0x80–0x9F; the five unassigned bytes keep their C1 code points.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string NameOf(std::string_view line) {
    std::string_view name = Chars(line, 1, kLocationNameWidth);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    return std::string(name);
}

// Reads a file line by line (LF or CR LF ends, a UTF-8 byte order mark dropped) and
// hands each line with its number to `take`. False when the file cannot be read.
template <typename Take>
bool ForEachLine(const std::filesystem::path& path, Take take) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (number == 1 && raw.starts_with("\xEF\xBB\xBF")) raw.erase(0, 3);
        take(number, LineAsUtf8(raw));
    }
    return !in.bad();
}

}  // namespace

std::string LineAsUtf8(std::string_view raw) {
    if (IsValidUtf8(raw)) return std::string(raw);
    std::string out;
    out.reserve(raw.size() * 2);
    for (char ch : raw) {
        auto c = static_cast<unsigned char>(ch);
        char32_t cp = (c >= 0x80 && c < 0xA0) ? kCp1252High[c - 0x80] : c;
        AppendUtf8(out, cp);
    }
    return out;
}

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

double DegreesOf(int degrees, int minutes, int seconds, bool positive) {
    double value = degrees + minutes / 60.0 + seconds / 3600.0;
    return positive ? value : -value;
}

std::string_view ProblemKey(LineProblem problem) {
    switch (problem) {
    case LineProblem::TooShort: return "LocationLineTooShort";
    case LineProblem::MissingName: return "LocationLineNoName";
    case LineProblem::BadCode: return "LocationLineBadCode";
    case LineProblem::BadNumber: return "LocationLineBadNumber";
    case LineProblem::LatitudeOutOfRange: return "LocationLineBadLatitude";
    case LineProblem::LongitudeOutOfRange: return "LocationLineBadLongitude";
    case LineProblem::BadZone: return "LocationLineBadZone";
    }
    return "LocationLineTooShort";
}

std::string EntryName(std::string_view line) { return NameOf(line); }

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
    auto lat_d = Digits(c.substr(0, 2)), lat_m = Digits(c.substr(2, 2)), lat_s = Digits(c.substr(4, 2));
    auto long_d = Digits(c.substr(7, 3)), long_m = Digits(c.substr(10, 2)), long_s = Digits(c.substr(12, 2));
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

    city.texts = PositionFromCityLine(line, decimal_separator);
    city.latitude = DegreesOf(*lat_d, *lat_m, *lat_s, city.texts.North);
    city.longitude = DegreesOf(*long_d, *long_m, *long_s, city.texts.West);
    city.zone_hours = (sign == '-' ? -zone_tenths : zone_tenths) / 10.0;
    return city;
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
    bool read = ForEachLine(path, [&](int number, const std::string& line) {
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

CityListResult ReadCityList(const std::filesystem::path& path,
                            std::string_view decimal_separator) {
    return ReadList<City>(path, [&](std::string_view line) {
        return ParseCityLine(line, decimal_separator);
    });
}

}  // namespace yorbel::app
