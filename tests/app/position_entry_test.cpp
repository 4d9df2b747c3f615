#include "app/position_entry.h"

#include <gtest/gtest.h>

using namespace yorbel::app;

namespace {

PositionTexts Texts(std::string lat_d, std::string long_d, std::string zone) {
    return PositionTexts{lat_d, "0", "0", true, long_d, "0", "0", false, zone};
}

std::optional<PositionBox> Refused(const PositionTexts& texts, std::string_view separator = ",") {
    const auto read = ReadPosition(texts, separator);
    if (const auto* r = std::get_if<PositionRefusal>(&read)) return r->box;
    return std::nullopt;
}

}  // namespace

TEST(PositionEntry, RefusesWhatNoPlaceHasAndNamesTheBox) {
    EXPECT_EQ(Refused(Texts("90", "180", "+14")), std::nullopt);
    EXPECT_EQ(Refused(Texts("91", "8", "1")), PositionBox::LatD);
    EXPECT_EQ(Refused(Texts("-5", "8", "1")), PositionBox::LatD);  // the sign is the N box
    EXPECT_EQ(Refused(Texts("50", "180,5", "1")), PositionBox::LongD);
    EXPECT_EQ(Refused(Texts("50", "8", "-14,1")), PositionBox::Zone);
    EXPECT_EQ(Refused(Texts("50", "8", "")), PositionBox::Zone);
    EXPECT_EQ(Refused(Texts("50", "8", "1 h")), PositionBox::Zone);
    PositionTexts minutes = Texts("50", "8", "1");
    minutes.LongM = "60";
    EXPECT_EQ(Refused(minutes), PositionBox::LongM);
    minutes.LongM = "59";
    minutes.LatD = "90";
    minutes.LatS = "1";  // past the pole, though every box is in range
    EXPECT_EQ(Refused(minutes), PositionBox::LatD);
}

TEST(PositionEntry, ReadsEitherSeparatorAndShowsThePositionAsPeopleReadIt) {
    PositionTexts t{"50", "06", "44", true, "008", "40", "55", false, "+01,0"};
    const auto read = ReadPosition(t, ",");
    ASSERT_TRUE(std::holds_alternative<PositionValues>(read));
    EXPECT_EQ(PositionText(std::get<PositionValues>(read)), "50° 06′ 44″ N, 8° 40′ 55″ E, UT+1");
    t = {"33", "51", "59.6", false, "151", "12", "0", true, "-5.5"};
    const auto south = ReadPosition(t, ",");
    ASSERT_TRUE(std::holds_alternative<PositionValues>(south));
    // Seconds round into the next minute rather than showing 60″.
    EXPECT_EQ(PositionText(std::get<PositionValues>(south)),
              "33° 52′ 00″ S, 151° 12′ 00″ W, UT-5.5");
}
