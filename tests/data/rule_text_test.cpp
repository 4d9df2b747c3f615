#include "data/rule_text.h"

#include <gtest/gtest.h>

#include "data/event_value.h"
#include "data/events.h"
#include "data/groups.h"
#include "event_rows.h"
#include "test_folder.h"

namespace yorbel::data {
namespace {

TEST(EncodeRule, ReadsBackAsTheTextItWasParsedFrom) {
    struct Case {
        int type, repeat;
        const char* from;
        std::optional<std::string> to;
        bool gregorian = true;
    };
    const Case cases[] = {
        {1, RepeatNone, "20261230", "20270102"},
        {1, RepeatNone, "19000229", "19000301", false},  // a Julian leap day
        {0, RepeatNone, "20260315", std::nullopt},
        {0, RepeatYearly, "20200704", std::nullopt},
        {0, RepeatYearly, "19990229", std::nullopt},  // the year lacks the day; kept as written
        {0, RepeatWeekOfMonth, "010503", std::nullopt},
        {0, RepeatEaster, "-2", std::nullopt},
        {0, RepeatEaster, "0", std::nullopt},
        {0, RepeatEaster, "49", std::nullopt},
        {0, RepeatAdvent, "366", std::nullopt},
        {0, RepeatNearDate, "000101", "20261111"},
        {0, RepeatNearDate, "050200", "20261224"},
        {0, RepeatJewish, "0515", std::nullopt},
        {0, RepeatJewish, "0614", std::nullopt},
        {0, RepeatJewish, "1314", std::nullopt},  // the Adar of Purim
    };
    for (const Case& c : cases) {
        const Checked<Rule> rule =
            ParseRule(c.type, c.repeat, c.from, c.to.value_or(""), c.gregorian);
        ASSERT_TRUE(rule.ok()) << c.from;
        EXPECT_EQ(EncodeRule(rule.value()), (RuleTexts{c.type, c.repeat, c.from, c.to})) << c.from;
    }
}

class EventValueTest : public ::testing::Test {
  protected:
    void SetUp() override { cal_.OpenCalendar({}); }
    Table& Events() { return cal_.CdsEvents(); }
    int Add(int repeat, const std::string& from, const std::string& to, int group) {
        const int ev_no = Events().NextAutoIncrement();
        testing::AppendEvent(Events(), "event", 0, repeat, from, to, group);
        Events().Post();
        return ev_no;
    }

    testing::TestFolder folder_;
    Groups groups_{folder_.path()};
    EventTables cal_{groups_.CdsGroups()};
};

TEST_F(EventValueTest, ReadsByKeyWithoutMovingTheCursor) {
    Add(RepeatEaster, "-0", "", 1);
    const int second = Add(RepeatNearDate, "000101", "19991111", 77);
    Events().First();
    const std::optional<EventValue> event = EventOfKey(Events(), second);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->group, 77);
    EXPECT_EQ(event->rule, (RuleTexts{0, RepeatNearDate, "000101", "19991111"}));
    EXPECT_EQ(Events().Position(), 0);
    EXPECT_FALSE(EventOfKey(Events(), 99));
}

TEST_F(EventValueTest, StoresOnlyWhatTheEditChanged) {
    const int easter = Add(RepeatEaster, "-0", "20200101", 77);
    // Rule left as loaded, no group chosen: the texts and the foreign group stay.
    ASSERT_TRUE(StoreEvent(Events(), easter, EventEdit{"renamed", std::nullopt, std::nullopt}));
    EXPECT_EQ(EventOfKey(Events(), easter)->rule, (RuleTexts{0, RepeatEaster, "-0", "20200101"}));
    EXPECT_EQ(EventOfKey(Events(), easter)->group, 77);
    // A new rule that does not use Ev_to leaves it as it was.
    ASSERT_TRUE(StoreEvent(Events(), easter, EventEdit{"renamed", 1, Rule{AdventRule{3}}}));
    const EventValue changed = *EventOfKey(Events(), easter);
    EXPECT_EQ(changed.name, "renamed");
    EXPECT_EQ(changed.group, 1);
    EXPECT_EQ(changed.rule, (RuleTexts{0, RepeatAdvent, "3", "20200101"}));

    const int added = Events().NextAutoIncrement();
    ASSERT_TRUE(StoreEvent(Events(), std::nullopt,
                           EventEdit{"new", std::nullopt, Rule{JewishRule{13, 14}}}));
    EXPECT_EQ(Events().GetState(), Table::State::Browse);  // posted, not left pending
    const EventValue stored = *EventOfKey(Events(), added);
    EXPECT_FALSE(stored.group);
    EXPECT_EQ(stored.rule, (RuleTexts{0, RepeatJewish, "1314", std::nullopt}));
    EXPECT_FALSE(StoreEvent(Events(), 99, EventEdit{"none", 1, std::nullopt}));
    EXPECT_EQ(Events().RecordCount(), 2);
}

}  // namespace
}  // namespace yorbel::data
