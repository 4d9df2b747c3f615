#include "data/rule_dates.h"

#include <gtest/gtest.h>

#include "calendar/jewish.h"
#include "data/events.h"

namespace yorbel::data {
namespace {

constexpr bool kGregorian = true;
constexpr bool kJulian = false;

std::vector<std::string> DatesIn(int ev_type, int repeat, std::string_view from,
                                 std::string_view to, int year, bool gregorian = kGregorian) {
    auto rule = ParseRule(ev_type, repeat, from, to, gregorian);
    EXPECT_TRUE(rule.ok()) << from << " " << to;
    std::vector<std::string> out;
    if (rule.ok()) RuleDatesIn(rule.value(), year, JewishBoundsOf(year, gregorian), gregorian, out);
    return out;
}

using Dates = std::vector<std::string>;

// The fault's key, field and argument, as "key field arg".
std::string FaultOf(int ev_type, int repeat, std::string_view from, std::string_view to = "",
                    bool gregorian = kGregorian) {
    auto rule = ParseRule(ev_type, repeat, from, to, gregorian);
    EXPECT_FALSE(rule.ok()) << from << " " << to;
    if (rule.ok()) return "";
    const Error& e = rule.fault();
    return e.Key() + " " + e.Position().field + " " + (e.Args().empty() ? "" : e.Args()[0]);
}

std::string KeyOf(const std::string& fault) {
    return fault.substr(0, fault.find(' '));
}

TEST(ParseRule, RejectsMalformedTextsWithTheReason) {
    EXPECT_EQ(FaultOf(0, RepeatEaster, "abc"), "RuleNotNumber Ev_from abc");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatEaster, "")), "RuleNotNumber");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatEaster, "3x")), "RuleNotNumber");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatAdvent, "-")), "RuleNotNumber");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatNone, "2024013")), "RuleBadDate");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatNone, "20230229")), "RuleBadDate");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatYearly, "20241301")), "RuleBadDate");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatYearly, "20240230")), "RuleBadDate");
    EXPECT_EQ(FaultOf(1, RepeatNone, "20240101", "2024x231"), "RuleBadDate Ev_to 2024x231");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatWeekOfMonth, "070203")), "RuleBadCode");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatWeekOfMonth, "010003")), "RuleBadCode");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatWeekOfMonth, "010213")), "RuleBadCode");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatWeekOfMonth, "01020")), "RuleBadCode");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatWeekOfMonth, "0102a3")), "RuleNotNumber");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatNearDate, "000601", "20241111")), "RuleBadCode");
    EXPECT_EQ(FaultOf(0, RepeatNearDate, "000101", ""), "RuleBadDate Ev_to ");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatJewish, "1401")), "RuleBadCode");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatJewish, "0001")), "RuleBadCode");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatJewish, "0731")), "RuleBadCode");
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatJewish, "07a1")), "RuleNotNumber");
    EXPECT_EQ(FaultOf(0, 7, "20240101"), "RuleBadRepeat Ev_repeat 7");
}

TEST(ParseRule, AcceptsWhatTheEditorAndForgivingReadersWrite) {
    // A period ignores whatever repeat code the editor's list held.
    EXPECT_TRUE(ParseRule(1, 9, "20240101", "20240102", kGregorian).ok());
    // Any Ev_Type other than 0 is a period.
    EXPECT_TRUE(std::holds_alternative<PeriodRule>(
        ParseRule(2, RepeatNone, "20240101", "20240102", kGregorian).value()));
    // The yearly date's year is ignored, so 29 February of any year is fine.
    EXPECT_TRUE(ParseRule(0, RepeatYearly, "20230229", "", kGregorian).ok());
    // A Julian leap day of a Gregorian common year is a date in the Julian system only.
    EXPECT_TRUE(ParseRule(0, RepeatNone, "19000229", "", kJulian).ok());
    EXPECT_EQ(KeyOf(FaultOf(0, RepeatNone, "19000229")), "RuleBadDate");
    // "-0" and "+3" are numbers.
    EXPECT_EQ(std::get<EasterRule>(ParseRule(0, RepeatEaster, "-0", "", kGregorian).value()).offset,
              0);
    EXPECT_EQ(std::get<EasterRule>(ParseRule(0, RepeatEaster, "+3", "", kGregorian).value()).offset,
              3);
    // Only "01" is after; any other direction text is before.
    auto before = ParseRule(0, RepeatNearDate, "0001xx", "20241111", kGregorian);
    ASSERT_TRUE(before.ok());
    EXPECT_FALSE(std::get<NearDateRule>(before.value()).after);
    EXPECT_TRUE(std::get<NearDateRule>(
                    ParseRule(0, RepeatNearDate, "000101", "20241111", kGregorian).value())
                    .after);
}

TEST(YearlyDateIn, LeapDayFallsOnTheLastDayOfFebruaryInCommonYears) {
    EXPECT_EQ(YearlyDateIn(2024, "20200229", kGregorian).value(), "20240229");
    EXPECT_EQ(YearlyDateIn(2023, "20200229", kGregorian).value(), "20230228");
    EXPECT_EQ(YearlyDateIn(1900, "20200229", kGregorian).value(), "19000228");
    EXPECT_EQ(YearlyDateIn(1900, "20200229", kJulian).value(), "19000229");
    EXPECT_EQ(YearlyDateIn(1850, "20261231", kGregorian).value(), "18501231");
    EXPECT_EQ(YearlyDateIn(2024, "2020022", kGregorian).fault().Key(), "RuleBadDate");
}

TEST(EasterOffsetDate, BothSystemsAndOffsetsIntoOtherYears) {
    EXPECT_EQ(EasterOffsetDate(2026, 0, kGregorian), "20260405");
    EXPECT_EQ(EasterOffsetDate(2026, -2, kGregorian), "20260403");
    EXPECT_EQ(EasterOffsetDate(2026, 49, kGregorian), "20260524");
    EXPECT_EQ(EasterOffsetDate(2026, 0, kJulian), "20260330");
    EXPECT_EQ(EasterOffsetDate(2024, 0, kJulian), "20240422");
    EXPECT_EQ(EasterOffsetDate(2026, -100, kGregorian), "20251226");
    EXPECT_EQ(EasterOffsetDate(9999, 300, kGregorian), std::nullopt);
    EXPECT_EQ(EasterOffsetDate(2026, -99999999, kGregorian), std::nullopt);
    // The generator keeps a date outside the year; it is never painted there.
    EXPECT_EQ(DatesIn(0, RepeatEaster, "-100", "", 2026), (Dates{"20251226"}));
}

TEST(AdventOffsetDate, CountsBackFromTheFourthSundayAndStopsAtTheYearsEdge) {
    EXPECT_EQ(AdventOffsetDate(2026, 0, kGregorian), "20261220");
    EXPECT_EQ(AdventOffsetDate(2026, 1, kGregorian), "20261219");
    EXPECT_EQ(AdventOffsetDate(2026, 7, kGregorian), "20261213");
    EXPECT_EQ(AdventOffsetDate(2023, 0, kGregorian), "20231224");
    // Julian 24 December 2026 is a Wednesday.
    EXPECT_EQ(AdventOffsetDate(2026, 0, kJulian), "20261221");
    // Day 354 of 2026 is the fourth Sunday; 353 days earlier is 1 January.
    EXPECT_EQ(AdventOffsetDate(2026, 353, kGregorian), "20260101");
    EXPECT_EQ(AdventOffsetDate(2026, 354, kGregorian), std::nullopt);
    EXPECT_EQ(AdventOffsetDate(2026, 366, kGregorian), std::nullopt);
    EXPECT_EQ(AdventOffsetDate(2026, -11, kGregorian), "20261231");
    EXPECT_EQ(AdventOffsetDate(2026, -12, kGregorian), std::nullopt);
    EXPECT_TRUE(DatesIn(0, RepeatAdvent, "366", "", 2026).empty());
}

TEST(WeekdayNearDate, StrictlyAfterOrBeforeTheReference) {
    // 11 November 2018 is a Sunday: the first Sunday after it is a week later.
    EXPECT_EQ(WeekdayNearDate(2018, "000101", "20001111", kGregorian).value(), "20181118");
    EXPECT_EQ(WeekdayNearDate(2018, "000100", "20001111", kGregorian).value(), "20181104");
    EXPECT_EQ(WeekdayNearDate(2018, "000201", "20001111", kGregorian).value(), "20181125");
    EXPECT_EQ(WeekdayNearDate(2018, "000500", "20001111", kGregorian).value(), "20181007");
    // Julian 11 November 2018 is a Saturday.
    EXPECT_EQ(WeekdayNearDate(2018, "000101", "20001111", kJulian).value(), "20181112");
    // A reference 29 February in a common year is 1 March (a Wednesday in 2023).
    EXPECT_EQ(WeekdayNearDate(2023, "030101", "20240229", kGregorian).value(), "20230308");
    EXPECT_EQ(WeekdayNearDate(2023, "020100", "20240229", kGregorian).value(), "20230228");
    EXPECT_EQ(WeekdayNearDate(2024, "040101", "20230229", kGregorian).value(), "20240307");
}

TEST(WeekdayNearDate, DatesSpillingOverTheTurnOfTheYearComeFromTheNeighbouringYear) {
    // Monday before 2 January 2026 is in 2025; 2 January 2027 gives 28 December 2026.
    EXPECT_EQ(DatesIn(0, RepeatNearDate, "010100", "20000102", 2026), (Dates{"20261228"}));
    // Sunday after 28 December 2026 is in 2027; 28 December 2025 gives 4 January 2026.
    EXPECT_EQ(DatesIn(0, RepeatNearDate, "000101", "20001228", 2026), (Dates{"20260104"}));
    // Fifth Friday after 31 December, and in the Julian system.
    EXPECT_EQ(DatesIn(0, RepeatNearDate, "050501", "20001231", 2026).at(0).substr(0, 4), "2026");
    EXPECT_EQ(DatesIn(0, RepeatNearDate, "050500", "20000101", 2026, kJulian).at(0).substr(0, 4),
              "2026");
}

TEST(JewishDates, BoundsOfACivilYear) {
    EXPECT_EQ(JewishFirst(2024, kGregorian), "57840420");
    EXPECT_EQ(JewishLast(2024, kGregorian), "57850330");
    EXPECT_EQ(JewishFirst(2025, kGregorian), "57850401");
    EXPECT_EQ(JewishLast(2025, kGregorian), "57860411");
    // Julian 1 January 2024 is Gregorian 14 January.
    EXPECT_EQ(JewishFirst(2024, kJulian), "57840504");
}

TEST(JewishDates, OccurZeroOnceOrTwiceInACivilYear) {
    // 15 Nisan: the candidate in 5785 lies after 31 December 2024 and is dropped.
    EXPECT_EQ(DatesIn(0, RepeatJewish, "0715", "", 2024), (Dates{"20240423"}));
    EXPECT_EQ(DatesIn(0, RepeatJewish, "0715", "", 2024, kJulian), (Dates{"20240410"}));
    // 10 Tevet falls at both ends of 2025.
    EXPECT_EQ(DatesIn(0, RepeatJewish, "0410", "", 2025), (Dates{"20250110", "20251230"}));
    // 5 Tevet 5785 is in January 2025: none in 2024.
    EXPECT_TRUE(DatesIn(0, RepeatJewish, "0405", "", 2024).empty());
    EXPECT_EQ(DatesIn(0, RepeatJewish, "0325", "", 2024), (Dates{"20241226"}));
}

TEST(JewishDates, LeapYearsShiftTheLaterMonthsAndShortMonthsRollOver) {
    // 5784 is leap: month 06 is the first Adar, 12 is Elul (the thirteenth month).
    EXPECT_EQ(DatesIn(0, RepeatJewish, "0614", "", 2024), (Dates{"20240223"}));
    EXPECT_EQ(DatesIn(0, RepeatJewish, "1229", "", 2024), (Dates{"20241002"}));
    EXPECT_EQ(DatesIn(0, RepeatJewish, "0614", "", 2025), (Dates{"20250314"}));
    // Tevet has 29 days; its 30th is 1 Shevat.
    EXPECT_EQ(DatesIn(0, RepeatJewish, "0430", "", 2025), (Dates{"20250130"}));
    EXPECT_EQ(JewishToCivilDate("5785", "0715", kGregorian).value(), "20250413");
    EXPECT_EQ(JewishToCivilDate("57x5", "0715", kGregorian).fault().Key(), "RuleNotNumber");
}

TEST(JewishDates, TheLaterAdarIsTheSecondOneInALeapYear) {
    // 5787 is leap: Purim 2027 is 14 Adar II; 5786 is common: 14 Adar.
    EXPECT_EQ(DatesIn(0, RepeatJewish, "1314", "", 2027), (Dates{"20270323"}));
    EXPECT_EQ(DatesIn(0, RepeatJewish, "1314", "", 2026), (Dates{"20260303"}));
    EXPECT_EQ(DatesIn(0, RepeatJewish, "0614", "", 2027), (Dates{"20270221"}));
    EXPECT_EQ(DatesIn(0, RepeatJewish, "1314", "", 2024, kJulian), (Dates{"20240311"}));
    // Adar II has 29 days; its 30th is 1 Nisan.
    EXPECT_EQ(DatesIn(0, RepeatJewish, "1330", "", 2027), (Dates{"20270408"}));
    EXPECT_EQ(JewishToCivilDate("5784", "1314", kGregorian).value(), "20240324");
}

TEST(JewishDates, ADayRunOnIntoTheNextMonthStaysInTheYear) {
    // 30 Tevet 5793 is 1 Shevat, which is 1 January 2033.
    EXPECT_EQ(DatesIn(0, RepeatJewish, "0430", "", 2033), (Dates{"20330101"}));
    EXPECT_EQ(DatesIn(0, RepeatJewish, "0430", "", 2032), (Dates{"20320114"}));
}

TEST(JewishDates, RulesOccurUpToTheLastCivilYear) {
    // From civil 6240 on the Jewish year has five digits.
    for (int year : {6238, 6239, 6240, 6241, 9998, 9999}) {
        for (bool gregorian : {kGregorian, kJulian}) {
            const Dates passover = DatesIn(0, RepeatJewish, "0715", "", year, gregorian);
            ASSERT_EQ(passover.size(), 1u) << year;
            const auto civil = calendar::ParseDateText(passover[0]);
            ASSERT_TRUE(civil && civil->year == year) << passover[0];
            const calendar::JewishDate j =
                calendar::DayNumberToJewish(calendar::DayNumberOf(*civil, gregorian));
            EXPECT_EQ(calendar::JewishMonthName(j.year, j.month), "Nisan") << year;
            EXPECT_EQ(j.day, 15) << year;
            for (const std::string& d : DatesIn(0, RepeatJewish, "0410", "", year, gregorian))
                EXPECT_EQ(d.substr(0, 4), std::to_string(year)) << year;
        }
    }
    EXPECT_EQ(JewishFirst(6240, kGregorian).size(), 9u);
    EXPECT_EQ(JewishToCivilDate("10001", "0715", kGregorian).value().size(), 8u);
}

TEST(RuleDatesIn, PeriodsGiveOnlyTheirDaysInTheYear) {
    EXPECT_EQ(DatesIn(1, 0, "20251228", "20260103", 2026),
              (Dates{"20260101", "20260102", "20260103"}));
    EXPECT_EQ(DatesIn(1, 0, "20251228", "20260103", 2025),
              (Dates{"20251228", "20251229", "20251230", "20251231"}));
    EXPECT_TRUE(DatesIn(1, 0, "20260105", "20260101", 2026).empty());
    EXPECT_TRUE(DatesIn(1, 0, "20251228", "20260103", 2027).empty());
    EXPECT_EQ(DatesIn(1, 0, "20230101", "20251231", 2024).size(), 366u);
    EXPECT_EQ(DatesIn(1, 0, "19000227", "19000301", 1900, kJulian),
              (Dates{"19000227", "19000228", "19000229", "19000301"}));
    EXPECT_EQ(DatesIn(1, 0, "19000227", "19000301", 1900, kGregorian),
              (Dates{"19000227", "19000228", "19000301"}));
}

TEST(RuleDatesIn, SingleDayRules) {
    EXPECT_EQ(DatesIn(0, RepeatNone, "20260314", "", 2026), (Dates{"20260314"}));
    EXPECT_TRUE(DatesIn(0, RepeatNone, "20250314", "", 2026).empty());
    EXPECT_EQ(DatesIn(0, RepeatNone, "19000229", "", 1900, kJulian), (Dates{"19000229"}));
    // The yearly event also occurs before the year it was entered in.
    EXPECT_EQ(DatesIn(0, RepeatYearly, "20300704", "", 2026), (Dates{"20260704"}));
    // Mondays of March 2026: 2, 9, 16, 23, 30.
    EXPECT_EQ(DatesIn(0, RepeatWeekOfMonth, "010403", "", 2026), (Dates{"20260323"}));
    EXPECT_EQ(DatesIn(0, RepeatWeekOfMonth, "010503", "", 2026), (Dates{"20260330"}));
    EXPECT_EQ(DatesIn(0, RepeatWeekOfMonth, "010103", "", 2026), (Dates{"20260302"}));
}

}  // namespace
}  // namespace yorbel::data
