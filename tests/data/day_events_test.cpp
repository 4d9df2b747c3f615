#include "data/day_events.h"

#include <gtest/gtest.h>

#include "data/groups.h"
#include "data/occurrences.h"
#include "event_rows.h"
#include "test_folder.h"

namespace yorbel::data {
namespace {

class DayEventsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        groups_.LoadGroups(true);
        Table& gp = groups_.CdsGroups();
        for (const auto& [name, shown] : {std::pair{"Shown", 1}, std::pair{"Hidden", 0}}) {
            gp.Append();
            gp.SetText(Gp_name, name);
            gp.SetInteger(Gp_color, 0x00FF00);
            gp.SetBoolean(Gp_free, false);
            gp.SetInteger(Gp_show, shown);
            gp.Post();
        }
        cal_.OpenCalendar({});
    }
    void Add(const std::string& name, const std::string& from, int group) {
        Table& ev = cal_.CdsEvents();
        testing::AppendEvent(ev, name, 0, RepeatYearly, from, "", group);
        ev.Post();
    }
    static std::vector<std::string> Names(const std::vector<DayEvent>& events) {
        std::vector<std::string> names;
        for (const DayEvent& e : events) names.push_back(e.name);
        return names;
    }

    testing::TestFolder folder_;
    Groups groups_{folder_.path()};
    EventTables cal_{groups_.CdsGroups()};
};

TEST_F(DayEventsTest, ListsShownGroupsInGenerationOrder) {
    Add("Hidden first", "20200214", 2);
    Add("Valentine", "20200214", 1);
    Add("No group row", "20200214", 99);
    Add("Second", "20200214", 1);
    Add("Next day", "20200215", 1);
    GenerateOccurrences(cal_, 2026, true);
    Table& dates = cal_.CdsEvDates();
    dates.MoveTo(4);
    const std::vector<DayEvent> events = ShownEventsOn(dates, "20260214");
    EXPECT_EQ(Names(events), (std::vector<std::string>{"Valentine", "Second"}));
    EXPECT_EQ(events[0].ev_no, 2);
    EXPECT_TRUE(ShownEventsOn(dates, "20260216").empty());
    EXPECT_TRUE(ShownEventsOn(dates, "20260101").empty());
    EXPECT_EQ(dates.Position(), 4) << "the query moved the cursor";
    // Another order gives the same day.
    dates.SetCurrentIndex("");
    EXPECT_EQ(Names(ShownEventsOn(dates, "20260214")), Names(events));
}

TEST_F(DayEventsTest, DeletingAnEventRemovesItsDaysAndMarksTheCalendar) {
    Add("Keep", "20200301", 1);
    Add("Drop", "20200301", 1);
    GenerateOccurrences(cal_, 2026, true);
    EXPECT_FALSE(cal_.Modified());
    EXPECT_FALSE(DeleteEvent(cal_, 42));
    EXPECT_FALSE(cal_.Modified());
    EXPECT_TRUE(DeleteEvent(cal_, 2));
    EXPECT_TRUE(cal_.Modified());
    EXPECT_EQ(cal_.CdsEvents().RecordCount(), 1);
    EXPECT_EQ(Names(ShownEventsOn(cal_.CdsEvDates(), "20260301")),
              std::vector<std::string>{"Keep"});
    EXPECT_EQ(cal_.CdsEvDates().CurrentIndex(), "Ix_Ed_date");
}

}  // namespace
}  // namespace yorbel::data
