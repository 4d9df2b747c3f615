#include "data/list_rows.h"

#include <gtest/gtest.h>

#include "data/groups.h"
#include "event_rows.h"

namespace yorbel::data {
namespace {

class ListRowsTest : public ::testing::Test {
  protected:
    Groups groups{"/nonexistent-folder"};
    EventTables tables{groups.CdsGroups()};

    void SetUp() override {
        for (int show : {1, 0}) {  // group 1 shown, group 2 hidden
            Table& g = groups.CdsGroups();
            g.Append();
            g.SetText(Gp_name, "g" + std::to_string(show));
            g.SetInteger(Gp_show, show);
            g.Post();
        }
    }

    void Add(const std::string& name, int type, int repeat, const std::string& from,
             const std::string& to = "", std::optional<std::int32_t> group = 1) {
        testing::AppendEvent(tables.CdsEvents(), name, type, repeat, from, to, group);
        tables.CdsEvents().Post();
    }

    // Rows as "ev_no:from-to name".
    static std::vector<std::string> Texts(const std::vector<ListRow>& rows) {
        std::vector<std::string> texts;
        for (const ListRow& r : rows)
            texts.push_back(std::to_string(r.ev_no) + ":" + r.from + "-" + r.to + " " + r.name);
        return texts;
    }
};

TEST_F(ListRowsTest, ShownGroupsOnlyWithTheirDatesInTheYear) {
    Add("Tevet fast", 0, RepeatJewish, "0410");       // 1: twice in 2023
    Add("Hidden", 0, RepeatNone, "20230301", "", 2);  // 2
    Add("Unknown group", 0, RepeatNone, "20230301", "", 99);
    Add("No group", 0, RepeatNone, "20230301", "", std::nullopt);
    Add("Other year", 0, RepeatNone, "20240301");    // 5
    Add("Long trip", 1, 0, "20220601", "20240301");  // 6
    Add("Broken", 0, RepeatYearly, "2023");          // 7
    Add("Birthday", 0, RepeatYearly, "19800229");    // 8
    const EventList list = ListRowsOf(tables.CdsEvents(), groups.CdsGroups(), 2023, true);
    EXPECT_EQ(Texts(list.rows),
              (std::vector<std::string>{"6:20220601-20240301 Long trip", "1:20230103- Tevet fast",
                                        "8:20230228- Birthday", "1:20231222- Tevet fast"}));
    ASSERT_EQ(list.skipped.size(), 1u);
    EXPECT_EQ(list.skipped[0].ev_no, 7);
}

TEST_F(ListRowsTest, SortsByEachColumnKeepingEqualKeysInOrder) {
    Add("b", 0, RepeatNone, "20260105");
    Add("a", 1, 0, "20260101", "20260110");
    Add("b", 0, RepeatNone, "20260102");
    std::vector<ListRow> rows = ListRowsOf(tables.CdsEvents(), groups.CdsGroups(), 2026, true).rows;
    SortListRows(rows, ListOrder::Name);
    EXPECT_EQ(Texts(rows), (std::vector<std::string>{"2:20260101-20260110 a", "3:20260102- b",
                                                     "1:20260105- b"}));
    SortListRows(rows, ListOrder::To);
    EXPECT_EQ(Texts(rows), (std::vector<std::string>{"3:20260102- b", "1:20260105- b",
                                                     "2:20260101-20260110 a"}));
}

}  // namespace
}  // namespace yorbel::data
