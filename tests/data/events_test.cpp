#include "data/events.h"

#include <gtest/gtest.h>

#include "data/groups.h"
#include "data/table_file.h"
#include "event_rows.h"
#include "test_folder.h"

namespace yorbel::data {
namespace {
using testing::FileBytes;
using testing::TestFolder;
using testing::WriteBytes;

void AddEvent(Table& ev, const std::string& name, int repeat, const std::string& from, int group) {
    testing::AppendEvent(ev, name, 0, repeat, from, "", group);
    ev.Post();
}

void AddOccurrence(Table& ed, int ev_no, int gp_no, const std::string& date) {
    ed.Append();
    ed.SetInteger(Ed_ev_no, ev_no);
    ed.SetInteger(Ed_gp_no, gp_no);
    ed.SetText(Ed_date, date);
    ed.Post();
}

class EventTablesTest : public ::testing::Test {
  protected:
    TestFolder folder_;
    Groups groups_{folder_.path()};
    EventTables cal_{groups_.CdsGroups()};
};

TEST_F(EventTablesTest, NewCalendarSavesAndReopensWithNumbersKept) {
    cal_.OpenCalendar({});
    EXPECT_TRUE(cal_.FileName().empty());
    EXPECT_FALSE(cal_.SaveCalendar()) << "an untitled calendar needs a name first";

    const auto file = folder_ / "cal.yrb";
    cal_.SaveCalendarAs(file);  // no events: a valid, empty calendar
    EventTables other(groups_.CdsGroups());
    other.OpenCalendar(file);
    EXPECT_EQ(other.CdsEvents().RecordCount(), 0);

    Table& ev = cal_.CdsEvents();
    AddEvent(ev, "a", RepeatYearly, "20260101", 1);
    AddEvent(ev, "b", RepeatEaster, "-2", 1);
    AddEvent(ev, "c", RepeatNone, "20260301", 1);
    ev.Delete();  // number 3 is used up
    ev.Append();  // left pending by the editor: saving commits it as number 4
    ev.SetText(Ev_name, "d");
    cal_.SetModified();
    ASSERT_TRUE(cal_.SaveCalendar());
    EXPECT_FALSE(cal_.Modified());
    EXPECT_EQ(cal_.FileName(), file);

    other.SetModified();
    other.OpenCalendar(file);
    EXPECT_FALSE(other.Modified());
    Table& back = other.CdsEvents();
    EXPECT_EQ(back.CurrentIndex(), "Ix_Ev_no");
    std::vector<std::int32_t> numbers;
    for (back.First(); !back.Eof(); back.Next()) numbers.push_back(back.AsInteger(Ev_no));
    EXPECT_EQ(numbers, (std::vector<std::int32_t>{1, 2, 4}));
    EXPECT_TRUE(back.IsNull(Ev_to)) << "unused rule texts stay null";
    AddEvent(back, "e", RepeatNone, "20270101", 2);
    EXPECT_EQ(back.AsInteger(Ev_no), 5);
}

TEST_F(EventTablesTest, FailedOpenAndSaveChangeNothing) {
    const auto file = folder_ / "cal.yrb";
    cal_.OpenCalendar({});
    AddEvent(cal_.CdsEvents(), "a", RepeatNone, "20260101", 1);
    cal_.SaveCalendarAs(file);
    AddEvent(cal_.CdsEvents(), "b", RepeatNone, "20260102", 1);
    cal_.SetModified();

    EXPECT_THROW(cal_.SaveCalendarAs(folder_ / "missing" / "x.yrb"), Error);
    EXPECT_EQ(cal_.FileName(), file);
    EXPECT_TRUE(cal_.Modified());

    WriteBytes(folder_ / "notes.txt", "not a calendar");
    EXPECT_THROW(cal_.OpenCalendar(folder_ / "notes.txt"), Error);
    EXPECT_EQ(FileBytes(folder_ / "notes.txt"), "not a calendar");
    // A group file is a table file, but not a calendar.
    groups_.LoadGroups(true);
    EXPECT_THROW(cal_.OpenCalendar(groups_.FileName()), Error);
    EXPECT_EQ(cal_.FileName(), file);
    EXPECT_TRUE(cal_.Modified());
    EXPECT_EQ(cal_.CdsEvents().RecordCount(), 2);
}

TEST_F(EventTablesTest, OccurrenceLookupsReadGroupsAndEventsLive) {
    groups_.LoadGroups(false);
    Table& gp = groups_.CdsGroups();
    for (auto [name, color, show] :
         {std::tuple{"Holidays", 255, 1}, std::tuple{"Private", 65280, 0}}) {
        gp.Append();
        gp.SetText(Gp_name, name);
        gp.SetInteger(Gp_color, color);
        gp.SetInteger(Gp_show, show);
        gp.SetBoolean(Gp_free, true);
        gp.Post();
    }
    cal_.OpenCalendar({});
    AddEvent(cal_.CdsEvents(), "Party", RepeatNone, "20260105", 2);
    AddEvent(cal_.CdsEvents(), "Trip", RepeatNone, "20260105", 1);
    Table& ed = cal_.CdsEvDates();
    AddOccurrence(ed, 1, 2, "20260105");
    AddOccurrence(ed, 2, 1, "20260105");
    AddOccurrence(ed, 9, 7, "20260101");  // neither event nor group exists

    ASSERT_TRUE(ed.GoToKey(Value{std::string("20260105")}));
    EXPECT_EQ(ed.AsText(Ed_ev_name), "Party");
    EXPECT_EQ(ed.AsInteger(Ed_show), 0);
    ed.Next();
    EXPECT_EQ(ed.AsText(Ed_ev_name), "Trip");
    EXPECT_EQ(ed.AsInteger(Ed_color), 255);
    EXPECT_TRUE(ed.AsBoolean(Ed_free));
    ASSERT_TRUE(ed.GoToKey(Value{std::string("20260101")}));
    EXPECT_TRUE(ed.IsNull(Ed_color));
    EXPECT_TRUE(ed.IsNull(Ed_show));
    EXPECT_TRUE(ed.IsNull(Ed_ev_name));

    // Showing a group takes effect without regenerating.
    ASSERT_TRUE(groups_.IsGroupShown(1));
    ASSERT_FALSE(groups_.IsGroupShown(2));
    gp.SetCurrentIndex("Ix_Gp_no");
    ASSERT_TRUE(gp.GoToKey(Value{std::int32_t{2}}));
    gp.Edit();
    gp.SetInteger(Gp_show, 1);
    gp.Post();
    ASSERT_TRUE(ed.GoToKey(Value{std::string("20260105")}));
    EXPECT_EQ(ed.AsInteger(Ed_show), 1);

    cal_.ResetOccurrenceTable();
    EXPECT_EQ(ed.RecordCount(), 0);
    EXPECT_EQ(ed.CurrentIndex(), "Ix_Ed_date");
}

}  // namespace
}  // namespace yorbel::data
