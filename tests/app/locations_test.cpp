#include "app/locations.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "app/settings.h"
#include "calendar/time_zone.h"

namespace yorbel::app {
namespace {

// Pads to 49 characters; UTF-8 continuation bytes take no column.
std::string Padded(std::string name) {
    int chars = 0;
    for (char c : name) chars += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0 : 1;
    return name + std::string(kLocationNameWidth - chars, ' ');
}

const std::string kFrankfurt = Padded("Frankfurt/Main") + "500644N0084055E +010";

City ParseCity(std::string_view line, std::string_view sep = ",") {
    auto parsed = ParseCityLine(line, sep);
    EXPECT_TRUE(std::holds_alternative<City>(parsed)) << line;
    return std::holds_alternative<City>(parsed) ? std::get<City>(parsed) : City{};
}

LineProblem ProblemOf(std::string_view line) {
    auto parsed = ParseCityLine(line, ",");
    EXPECT_TRUE(std::holds_alternative<LineProblem>(parsed)) << line;
    return std::holds_alternative<LineProblem>(parsed) ? std::get<LineProblem>(parsed)
                                                       : LineProblem::TooShort;
}

TEST(CityLine, DefaultFrankfurtLineFillsTheBoxesAndGivesThePosition) {
    City city = ParseCity(kFrankfurt, ",");
    EXPECT_EQ(city.name, "Frankfurt/Main");
    EXPECT_EQ(city.line, kFrankfurt);
    const PositionTexts expected{"50", "06", "44", true, "008", "40", "55", false, "+01,0"};
    EXPECT_EQ(city.texts, expected);
    EXPECT_NEAR(city.latitude, 50.1122, 1e-4);
    EXPECT_NEAR(city.longitude, -8.6819, 1e-4);  // east is negative
    EXPECT_DOUBLE_EQ(city.zone_hours, 1.0);
    EXPECT_EQ(ParseCity(kFrankfurt, ".").texts.Zone, "+01.0");
}

TEST(CityLine, SouthWestAndNegativeFractionalZones) {
    City south = ParseCity(Padded("Sydney") + "335515S1511100E +100");
    EXPECT_FALSE(south.texts.North);
    EXPECT_LT(south.latitude, 0);
    EXPECT_LT(south.longitude, 0);

    City newfoundland = ParseCity(Padded("St. John's") + "473506N0524052W -035");
    EXPECT_TRUE(newfoundland.texts.West);
    EXPECT_NEAR(newfoundland.longitude, 52.6811, 1e-4);
    EXPECT_EQ(newfoundland.texts.Zone, "-03,5");
    EXPECT_DOUBLE_EQ(newfoundland.zone_hours, -3.5);  // the sign covers the tenths too

    // Any letter but N and W counts as south and east, as the dialog reads them.
    City other = ParseCity(Padded("Nowhere") + "100000x0100000y +000");
    EXPECT_LT(other.latitude, 0);
    EXPECT_LT(other.longitude, 0);
}

TEST(CityLine, ColumnsCountCharactersNotBytes) {
    City zurich = ParseCity(Padded("Zürich") + "472207N0083227E +010");
    EXPECT_EQ(zurich.name, "Zürich");
    EXPECT_EQ(zurich.texts.LatD, "47");
    EXPECT_EQ(zurich.texts.LongS, "27");
}

// The zone name follows the fixed columns after a blank; a line without one still reads,
// and a stored line without one still names the listed line that has one.
TEST(CityLine, ZoneNameAfterTheFixedColumns) {
    const City berlin = ParseCity(kFrankfurt + " Europe/Berlin");
    EXPECT_EQ(berlin.zone_name, "Europe/Berlin");
    EXPECT_EQ(berlin.texts, ParseCity(kFrankfurt).texts);
    EXPECT_EQ(ParseCity(kFrankfurt + "  ").zone_name, "");
    EXPECT_EQ(ParseCity(Padded("Zürich") + "472207N0083227E +010 Europe/Zurich").zone_name,
              "Europe/Zurich");
    for (const char* tail : {"Europe/Berlin", " ../../etc/passwd", " /etc/localtime",
                             " Europe/Berlin x", " Europe\\Berlin"}) {
        EXPECT_EQ(ProblemOf(kFrankfurt + tail), LineProblem::BadZone) << tail;
    }

    EXPECT_TRUE(SameCityLine(kFrankfurt, kFrankfurt + " Europe/Berlin"));
    EXPECT_TRUE(SameCityLine(kFrankfurt + " Europe/Berlin", kFrankfurt));
    EXPECT_FALSE(SameCityLine(kFrankfurt + " Europe/Paris", kFrankfurt + " Europe/Berlin"));
    EXPECT_FALSE(SameCityLine(Padded("Frankfurt/Oder") + "500644N0084055E +010", kFrankfurt));
    EXPECT_FALSE(SameCityLine("", kFrankfurt));
}

TEST(CityLine, BrokenLinesNameTheirProblem) {
    EXPECT_EQ(ProblemOf(""), LineProblem::TooShort);
    EXPECT_EQ(ProblemOf(kFrankfurt.substr(0, 68)), LineProblem::TooShort);
    EXPECT_EQ(ProblemOf(Padded("") + "500644N0084055E +010"), LineProblem::MissingName);
    EXPECT_EQ(ProblemOf(Padded("A") + "5O0644N0084055E +010"), LineProblem::BadNumber);
    // One character shifted to the right.
    EXPECT_EQ(ProblemOf(Padded("A") + " 500644N0084055E +010"), LineProblem::BadNumber);
    EXPECT_EQ(ProblemOf(Padded("A") + "500660N0084055E +010"), LineProblem::LatitudeOutOfRange);
    EXPECT_EQ(ProblemOf(Padded("A") + "900001N0084055E +010"), LineProblem::LatitudeOutOfRange);
    EXPECT_EQ(ProblemOf(Padded("A") + "500644N1800001E +010"), LineProblem::LongitudeOutOfRange);
    EXPECT_EQ(ProblemOf(Padded("A") + "500644N0084055E 0010"), LineProblem::BadZone);
    EXPECT_EQ(ProblemOf(Padded("A") + "500644N0084055Ex+010"), LineProblem::BadZone);
    EXPECT_EQ(ProblemOf(Padded("A") + "500644N0084055E +150"), LineProblem::BadZone);
    // The extremes are valid.
    ParseCity(Padded("Pole") + "900000S1800000W -120");
    ParseCity(Padded("Line Islands") + "015222N1572830W +140");
}

TEST(CityLine, FillingFromShortOrEmptyLinesNeverOverruns) {
    EXPECT_EQ(PositionFromCityLine("", ","), PositionTexts{});
    PositionTexts partial = PositionFromCityLine(Padded("X") + "5006", ",");
    EXPECT_EQ(partial.LatD, "50");
    EXPECT_EQ(partial.LatM, "06");
    EXPECT_EQ(partial.LatS, "");
    EXPECT_EQ(partial.Zone, "");
}

TEST(CountryLine, CodeAndName) {
    auto parsed = ParseCountryLine(Padded("Germany") + "GMY");
    ASSERT_TRUE(std::holds_alternative<Country>(parsed));
    EXPECT_EQ(std::get<Country>(parsed).name, "Germany");
    EXPECT_EQ(std::get<Country>(parsed).code, "GMY");

    // The code becomes part of a path: nothing but letters and digits.
    EXPECT_EQ(std::get<LineProblem>(ParseCountryLine(Padded("Up") + "../")), LineProblem::BadCode);
    EXPECT_EQ(std::get<LineProblem>(ParseCountryLine(Padded("Nope") + "GM")),
              LineProblem::TooShort);
    EXPECT_EQ(std::get<LineProblem>(ParseCountryLine(Padded("") + "GMY")),
              LineProblem::MissingName);
    EXPECT_EQ(CountryCodeOf(""), std::nullopt);
}

class LocationFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("yorbel_locations_" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_ / "geo");
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / "geo" / name, std::ios::binary) << bytes;
    }
    std::filesystem::path dir_;
};

TEST_F(LocationFiles, BadLinesAreSkippedWithTheirLineNumbers) {
    Write("GMY.txt", "\xEF\xBB\xBF" + kFrankfurt + "\r\n" + "short\r\n\r\n" + Padded("Berlin") +
                         "523119N0132406E +010\n" + Padded("Bad") + "52311xN0132406E +010");
    auto result = ReadCityList(CityListPath(dir_, "GMY"), ",");
    ASSERT_TRUE(std::holds_alternative<LocationList<City>>(result));
    const auto& list = std::get<LocationList<City>>(result);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].line, kFrankfurt);  // byte order mark and CR dropped
    EXPECT_EQ(list.entries[1].name, "Berlin");
    const std::vector<LineWarning> expected{
        {2, LineProblem::TooShort}, {3, LineProblem::TooShort}, {5, LineProblem::BadNumber}};
    EXPECT_EQ(list.warnings, expected);
}

TEST_F(LocationFiles, Windows1252FilesKeepTheirUmlauts) {
    Write("CHE.txt", "Z\xFCrich" + std::string(43, ' ') + "472207N0083227E +010\r\n");
    auto result = ReadCityList(CityListPath(dir_, "CHE"), ",");
    ASSERT_TRUE(std::holds_alternative<LocationList<City>>(result));
    const auto& list = std::get<LocationList<City>>(result);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].name, "Zürich");
    EXPECT_EQ(list.entries[0].texts.LongS, "27");
}

TEST_F(LocationFiles, MissingFilesAreErrorValuesWithThePath) {
    auto countries = ReadCountryList(CountryListPath(dir_));
    ASSERT_TRUE(std::holds_alternative<LocationFileError>(countries));
    EXPECT_EQ(std::get<LocationFileError>(countries).path, dir_ / "geo" / "Country.txt");
    EXPECT_EQ(std::get<LocationFileError>(countries).key, "LocationFileMissing");

    // A folder where the file should be is no file either.
    std::filesystem::create_directories(dir_ / "geo" / "XYZ.txt");
    EXPECT_TRUE(
        std::holds_alternative<LocationFileError>(ReadCityList(CityListPath(dir_, "XYZ"), ",")));
}

TEST(ShippedLocationFiles, EveryFileParsesWithoutWarningsAndGermanyHoldsTheDefault) {
    // The copies beside the programs, which is where the program reads them.
    const std::filesystem::path folder = YORBEL_BIN_DIR;
    auto countries = ReadCountryList(CountryListPath(folder));
    ASSERT_TRUE(std::holds_alternative<LocationList<Country>>(countries));
    const auto& list = std::get<LocationList<Country>>(countries);
    EXPECT_TRUE(list.warnings.empty());
    EXPECT_GT(list.entries.size(), 200u);

    std::set<std::string> codes;
    std::size_t cities = 0;
    bool default_found = false;
    for (const Country& country : list.entries) {
        EXPECT_TRUE(codes.insert(country.code).second) << "code twice: " << country.code;
        auto result = ReadCityList(CityListPath(folder, country.code), ",");
        ASSERT_TRUE(std::holds_alternative<LocationList<City>>(result)) << country.code;
        const auto& city_list = std::get<LocationList<City>>(result);
        EXPECT_TRUE(city_list.warnings.empty()) << country.code;
        EXPECT_FALSE(city_list.entries.empty()) << country.code;
        std::set<std::string> names;
        for (const City& city : city_list.entries) {
            EXPECT_TRUE(names.insert(city.name).second) << country.code << ": " << city.name;
            default_found |= country.line == DefaultCountryLine() && city.line == DefaultCityLine();
            // Every place but the Antarctic stations has a zone the system knows.
            if (country.code != "ATA") {
                EXPECT_FALSE(city.zone_name.empty()) << city.line;
            }
            if (!city.zone_name.empty() && !calendar::NamedZone::Find(city.zone_name))
                ADD_FAILURE() << "zone unknown here: " << city.line;
        }
        cities += city_list.entries.size();
    }
    EXPECT_TRUE(default_found);
    EXPECT_GT(cities, 7000u);
}

}  // namespace
}  // namespace yorbel::app
