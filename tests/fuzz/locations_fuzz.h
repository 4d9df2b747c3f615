// The body of the location-file fuzz target, shared by the libFuzzer program
// (scripts/fuzz.sh locations) and by the regression test that replays its corpus.
//
// The input is a location file's bytes, read once as a country list and once as a city
// list through a file, as the options read them. Beyond not crashing, it checks what must
// hold for any file: every line is either an entry or a warning with its number, in file
// order; entries are UTF-8 of one line; a country's code is three letters or digits and
// found again in its line; a city's position lies on the globe, its zone within ±14
// hours, and parsing its stored line again gives the same city.
#pragma once

#include <unistd.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <variant>

#include "app/locations.h"
#include "text/text_encoding.h"

namespace yorbel::app::fuzz {

inline void RequireLocation(bool condition) {
    if (!condition) std::abort();
}

// The number of lines as the lists count them: an LF ends one; a last line needs none.
inline int LineCount(std::string_view bytes) {
    int lines = 0;
    for (std::size_t start = 0; start < bytes.size(); ++lines) {
        const std::size_t end = bytes.find('\n', start);
        start = end == std::string_view::npos ? bytes.size() : end + 1;
    }
    return lines;
}

template <typename Entry>
void CheckNumbering(const LocationList<Entry>& list, int lines) {
    RequireLocation(static_cast<int>(list.entries.size() + list.warnings.size()) == lines);
    int previous = 0;
    for (const LineWarning& w : list.warnings) {
        RequireLocation(w.line > previous && w.line <= lines);
        previous = w.line;
    }
}

inline void CheckEntryLine(const std::string& line, const std::string& name) {
    RequireLocation(exchange::IsValidUtf8(line) && line.find('\n') == std::string::npos);
    RequireLocation(!name.empty() && name == EntryName(line));
    RequireLocation(name.back() != ' ' && name.back() != '\t');
}

inline void FuzzLocations(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // One file per process, so parallel fuzzing jobs do not share it.
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("yorbel_locations_fuzz_" + std::to_string(::getpid()) + ".txt");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    // A byte-order mark is no line of its own: the reader drops it before counting.
    const std::string_view kMark = "\xEF\xBB\xBF";
    const int lines = LineCount(bytes.substr(bytes.substr(0, 3) == kMark ? 3 : 0));

    const CountryListResult countries = ReadCountryList(path);
    RequireLocation(std::holds_alternative<LocationList<Country>>(countries));
    const auto& country_list = std::get<LocationList<Country>>(countries);
    CheckNumbering(country_list, lines);
    for (const Country& c : country_list.entries) {
        CheckEntryLine(c.line, c.name);
        RequireLocation(CountryCodeOf(c.line) == c.code && c.code.size() == 3);
        for (char ch : c.code) RequireLocation(std::isalnum(static_cast<unsigned char>(ch)));
    }

    const CityListResult cities = ReadCityList(path, ",");
    std::filesystem::remove(path);
    RequireLocation(std::holds_alternative<LocationList<City>>(cities));
    const auto& city_list = std::get<LocationList<City>>(cities);
    CheckNumbering(city_list, lines);
    for (const City& c : city_list.entries) {
        CheckEntryLine(c.line, c.name);
        RequireLocation(c.latitude >= -90 && c.latitude <= 90);
        RequireLocation(c.longitude >= -180 && c.longitude <= 180);
        RequireLocation(c.zone_hours >= -14 && c.zone_hours <= 14);
        const auto again = ParseCityLine(c.line, ",");
        RequireLocation(std::holds_alternative<City>(again));
        const City& same = std::get<City>(again);
        RequireLocation(same.texts == c.texts && same.latitude == c.latitude &&
                        same.longitude == c.longitude && same.zone_hours == c.zone_hours);
        RequireLocation(PositionFromCityLine(c.line, ",") == c.texts);
    }
}

}  // namespace yorbel::app::fuzz
