// Location files: the country list "geo/Country.txt" and one city list per country,
// "geo/<code>.txt", plain text with fixed columns (positions counted from 1, in
// characters, not bytes):
//
//   country line   1–49 name, blank-padded; 50–52 country code
//   city line      1–49 name, blank-padded; 50–55 latitude DDMMSS; 56 "N" (else south);
//                  57–63 longitude DDDMMSS; 64 "W" (else east); 65 blank;
//                  66–68 zone sign and hours; 69 zone tenths; optionally 70 blank and
//                  from 71 the IANA time-zone name ("Europe/Berlin"), which knows the
//                  place's summer time (readers of the fixed columns alone stop at 69)
//
// Files are UTF-8; a line that is not valid UTF-8 is read as Windows-1252. The lists
// keep the valid lines whole (the settings store the chosen lines whole) and report the
// lines they skip. A file that cannot be opened is an error value, never an exception:
// the caller keeps what it has.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace yorbel::app {

inline constexpr int kLocationNameWidth = 49;
inline constexpr int kCountryLineLength = 52;
inline constexpr int kCityLineLength = 69;

// The options dialog's position boxes as filled from a city line; texts as they stand
// in the line, leading zeros included.
struct PositionTexts {
    std::string LatD, LatM, LatS;
    bool North = false;
    std::string LongD, LongM, LongS;
    bool West = false;
    std::string Zone;  // "+01" + decimal separator + "0"
    friend bool operator==(const PositionTexts&, const PositionTexts&) = default;
};

// Fills the position from a city line as the options dialog does: characters taken
// from their columns as they stand; columns beyond the end of the line give empty
// texts (an empty line, for "no city selected", gives all boxes empty and neither flag).
PositionTexts PositionFromCityLine(std::string_view line, std::string_view decimal_separator);

struct City {
    std::string line;  // the whole line, as the city list shows and the settings store it
    std::string name;  // characters 1–49 without trailing blanks
    PositionTexts texts;
    double latitude = 0;   // north positive
    double longitude = 0;  // WEST positive, as the sun and moon computations take it
    double zone_hours = 0;
    std::string zone_name;  // empty where the line names none
};

// Whether a stored city line names the listed one: the same line, or the same fixed
// columns where one of them carries no zone name (a line stored before lines had one).
bool SameCityLine(std::string_view stored, std::string_view listed);

struct Country {
    std::string line;
    std::string name;
    std::string code;  // characters 50–52; letters and digits only, so it is safe in a path
};

enum class LineProblem {
    TooShort,     // shorter than the fixed columns
    MissingName,  // characters 1–49 are blank
    BadCode,      // country code not three letters or digits
    BadNumber,    // a digit column holds something else
    LatitudeOutOfRange,
    LongitudeOutOfRange,
    BadZone,  // sign not "+" or "-", column 65 not blank, beyond ±14 hours, or a zone
              // name that is not a blank and letters, digits, "/", "_", "+", "-"
};

// The language key ("FrmOptions" section) that describes a problem.
std::string_view ProblemKey(LineProblem problem);

struct LineWarning {
    int line = 0;  // 1-based line number in the file
    LineProblem problem = LineProblem::TooShort;
    friend bool operator==(const LineWarning&, const LineWarning&) = default;
};

// Validates one line (without its line end).
std::variant<Country, LineProblem> ParseCountryLine(std::string_view line);
std::variant<City, LineProblem> ParseCityLine(std::string_view line,
                                              std::string_view decimal_separator);

// A location file that could not be read. The message is the language text
// "FrmOptions"/`key` with %1 replaced by the path.
struct LocationFileError {
    std::string key = "LocationFileMissing";
    std::filesystem::path path;
};

template <typename Entry>
struct LocationList {
    std::vector<Entry> entries;  // file order
    std::vector<LineWarning> warnings;
};

using CountryListResult = std::variant<LocationList<Country>, LocationFileError>;
using CityListResult = std::variant<LocationList<City>, LocationFileError>;

// "<program folder>/geo/Country.txt" and "<program folder>/geo/<code>.txt".
std::filesystem::path CountryListPath(const std::filesystem::path& program_folder);
std::filesystem::path CityListPath(const std::filesystem::path& program_folder,
                                   std::string_view code);

CountryListResult ReadCountryList(const std::filesystem::path& path);
CityListResult ReadCityList(const std::filesystem::path& path, std::string_view decimal_separator);

// The first 49 characters of a list line without trailing blanks (the name that the
// status bar's location text is made of).
std::string EntryName(std::string_view line);

// The code at characters 50–52 of a country line, if it is usable as a file name.
std::optional<std::string> CountryCodeOf(std::string_view country_line);

}  // namespace yorbel::app
