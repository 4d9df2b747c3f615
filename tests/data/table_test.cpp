#include "data/table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace yorbel::data {
namespace {

// Tables are not movable (lookups point at them), so the sample is built in place.
struct Items : Table {
    Items()
        : Table("Items", {FieldDef::AutoIncrement("no"), FieldDef::Text("name", 10),
                          FieldDef::Integer("group"), FieldDef::Boolean("flag")}) {
        AddIndex("Ix_no", {"no"}, {.primary = true, .unique = false});
        AddIndex("Ix_name", {"name"});
    }
};

void AddItem(Table& t, const std::string& name, std::int32_t group) {
    t.Append();
    t.SetText("name", name);
    t.SetInteger("group", group);
    t.Post();
}

std::vector<std::string> Walk(Table& t, const char* field = "name") {
    std::vector<std::string> out;
    for (t.First(); !t.Eof(); t.Next()) out.push_back(t.AsText(field));
    return out;
}

TEST(TableTest, PendingRowIsPostedOrDroppedByAMove) {
    Items t;
    AddItem(t, "a", 1);

    t.Append();  // never changed: dropped by the move
    t.First();
    EXPECT_EQ(t.RecordCount(), 1);

    t.Append();
    t.SetText("name", "b");
    EXPECT_EQ(t.RecordCount(), 1) << "a pending row is not visible yet";
    EXPECT_TRUE(t.IsNull("no")) << "the number comes with the post";
    t.First();  // changed: posted by the move
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(Walk(t), (std::vector<std::string>{"a", "b"}));

    t.First();
    t.Edit();
    t.SetText("name", "a2");
    t.Cancel();
    EXPECT_EQ(t.AsText("name"), "a");
    t.Edit();
    t.SetText("name", "a3");
    t.Next();  // an edited row is posted by the move as well
    t.First();
    EXPECT_EQ(t.AsText("name"), "a3");
}

TEST(TableTest, AutoIncrementNumbersNeverComeBack) {
    Items t;
    AddItem(t, "a", 1);
    AddItem(t, "b", 1);
    AddItem(t, "c", 1);
    EXPECT_EQ(t.AsInteger("no"), 3);
    t.Delete();  // the highest number goes
    AddItem(t, "d", 1);
    EXPECT_EQ(t.AsInteger("no"), 4);
}

TEST(TableTest, EqualKeysKeepAppendOrderThroughEditsAndDeletes) {
    Table t("Dates", {FieldDef::Integer("ev"), FieldDef::Text("date", 8)});
    t.AddIndex("Ix_date", {"date"});
    t.SetCurrentIndex("Ix_date");
    const char* dates[] = {"20260105", "20260101", "20260105", "20260103", "20260105", "20260101"};
    for (int i = 0; i < 6; ++i) {
        t.Append();
        t.SetInteger("ev", i);
        t.SetText("date", dates[i]);
        t.Post();
    }
    EXPECT_EQ(Walk(t, "ev"), (std::vector<std::string>{"1", "5", "3", "0", "2", "4"}));
    // Change one row's key and delete another: the rest keep their relative order.
    ASSERT_TRUE(t.GoToKey(Value{std::string("20260103")}));
    t.Edit();
    t.SetText("date", "20260105");
    t.Post();
    ASSERT_TRUE(t.GoToKey(Value{std::string("20260101")}));
    EXPECT_EQ(t.AsInteger("ev"), 1) << "a search finds the first appended of equal keys";
    t.Delete();
    EXPECT_EQ(Walk(t, "ev"), (std::vector<std::string>{"5", "0", "2", "3", "4"}));
    t.SetCurrentIndex("");
    EXPECT_EQ(Walk(t, "ev"), (std::vector<std::string>{"0", "2", "3", "4", "5"}));
}

TEST(TableTest, GoToKeyFailureKeepsPosition) {
    Items t;
    for (const char* n : {"x", "y", "z"}) AddItem(t, n, 0);
    t.SetCurrentIndex("Ix_name");
    ASSERT_TRUE(t.GoToKey(Value{std::string("y")}));
    EXPECT_FALSE(t.GoToKey(Value{std::string("q")}));
    EXPECT_EQ(t.AsText("name"), "y");
    EXPECT_EQ(t.Position(), 1);
    t.Next();
    EXPECT_EQ(t.AsText("name"), "z");
    t.Next();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.AsText("name"), "z");
    EXPECT_THROW(t.GoToKey(Value{std::int32_t{3}}), Error) << "a number is no key of a text index";
}

TEST(TableTest, FindRowsAnswersFromAnyIndexWithoutMovingTheCursor) {
    Items t;
    AddItem(t, "b", 1);
    AddItem(t, "a", 2);
    AddItem(t, "b", 3);
    t.SetCurrentIndex("Ix_no");
    t.MoveTo(1);
    t.Edit();
    t.SetInteger("group", 20);
    t.Post();  // an edit makes the name index rebuild on its next use
    const auto rows = t.FindRows("Ix_name", Value{std::string("b")});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(t.ValueOf(rows[0], t.FieldByName("group")), Value{std::int32_t{1}});
    EXPECT_EQ(t.ValueOf(rows[1], t.FieldByName("group")), Value{std::int32_t{3}});
    EXPECT_TRUE(t.FindRows("Ix_name", Value{std::string("c")}).empty());
    EXPECT_THROW(t.FindRows("Ix_name", Value{std::int32_t{1}}), Error);
    EXPECT_EQ(t.CurrentIndex(), "Ix_no");
    EXPECT_EQ(t.Position(), 1);
    EXPECT_EQ(t.AsInteger("group"), 20);
    t.Append();
    t.SetText("name", "b");
    EXPECT_EQ(t.FindRows("Ix_name", Value{std::string("b")}).size(), 2u)
        << "a pending row is not found";
    EXPECT_EQ(t.GetState(), Table::State::Insert);
}

TEST(TableTest, UniqueIndexRefusesDuplicatesAndKeepsThePendingRow) {
    Items t;
    t.AddIndex("Ix_group", {"group"}, {.primary = false, .unique = true});
    AddItem(t, "a", 1);
    AddItem(t, "b", 2);
    t.Append();
    t.SetText("name", "c");
    t.SetInteger("group", 1);
    EXPECT_THROW(t.Post(), Error);
    EXPECT_EQ(t.GetState(), Table::State::Insert);
    EXPECT_THROW(t.First(), Error) << "a move cannot post it either";
    t.SetInteger("group", 3);
    t.Post();
    EXPECT_EQ(t.AsInteger("no"), 3) << "the refused post used no number";

    // Editing a row to its own key is fine; to another row's key is not.
    t.SetCurrentIndex("Ix_group");
    ASSERT_TRUE(t.GoToKey(Value{std::int32_t{2}}));
    t.Edit();
    t.SetText("name", "b2");
    t.Post();
    t.Edit();
    t.SetInteger("group", 3);
    EXPECT_THROW(t.Post(), Error);
    t.Cancel();

    EXPECT_THROW(t.AddIndex("Ix_flag", {"flag"}, {.primary = false, .unique = true}), Error)
        << "three null flags cannot get a unique index";
    EXPECT_FALSE(t.HasIndex("Ix_flag"));
}

TEST(TableTest, FieldValuesAreCheckedWhenSet) {
    Table t("T", {FieldDef::AutoIncrement("no"), FieldDef::Text("name", 3, true),
                  FieldDef::Integer("n")});
    EXPECT_THROW(t.SetText("name", "x"), Error) << "no pending row";
    t.Append();
    EXPECT_THROW(t.SetText("n", "1"), Error);
    EXPECT_THROW(t.SetInteger("name", 1), Error);
    EXPECT_THROW(t.SetInteger("no", 5), Error) << "numbers are the table's";
    EXPECT_THROW(t.SetText("name", "abcd"), Error);
    t.SetText("name", "äöü");  // three characters, six bytes
    t.SetNull("name");
    t.SetInteger("n", 1);
    EXPECT_THROW(t.Post(), Error) << "a required field is empty";
    t.SetText("name", "x");
    t.Post();
    EXPECT_TRUE(t.IsNull("no") == false);
    EXPECT_THROW(t.AsBoolean("n"), Error);
    EXPECT_THROW(t.FieldByName("missing"), Error);
    EXPECT_EQ(t.FieldByName("NAME"), FieldNo(1)) << "field names ignore case";
    EXPECT_THROW(Table("Bad", {FieldDef::Integer("a"), FieldDef::Integer("A")}), Error);
}

TEST(TableTest, LookupsReadLiveAndGiveNullForMissingKeys) {
    Table groups("Groups", {FieldDef::AutoIncrement("Gp_no"), FieldDef::Integer("Gp_color")});
    groups.AddIndex("Ix_Gp_no", {"Gp_no"}, {.primary = false, .unique = true});
    for (int color : {100, 200}) {
        groups.Append();
        groups.SetInteger("Gp_color", color);
        groups.Post();
    }
    Table dates("Dates", {FieldDef::Integer("gp"),
                          FieldDef::Lookup("color", "gp", groups, "Gp_no", "Gp_color")});
    for (std::int32_t gp : {2, 7}) {
        dates.Append();
        dates.SetInteger("gp", gp);
        dates.Post();
    }
    dates.Append();  // a row without a group number
    dates.SetNull("gp");
    dates.Post();
    EXPECT_EQ(dates.Field(FieldNo(1)).kind, FieldKind::Integer);
    EXPECT_EQ(dates.ValueAt(0, FieldNo(1)), Value{std::int32_t{200}});
    EXPECT_TRUE(IsNullValue(dates.ValueAt(1, FieldNo(1))));
    EXPECT_TRUE(IsNullValue(dates.ValueAt(2, FieldNo(1))));

    groups.Last();
    groups.Edit();
    groups.SetInteger("Gp_color", 250);
    groups.Post();
    EXPECT_EQ(dates.ValueAt(0, FieldNo(1)), Value{std::int32_t{250}}) << "no copy is kept";
    groups.Delete();
    EXPECT_TRUE(IsNullValue(dates.ValueAt(0, FieldNo(1))));
    EXPECT_THROW(dates.SetInteger("color", 1), Error);
}

// Rows appended as columns must be checked, found by the indexes and iterated in order
// with the rows that were there, exactly as rows posted one by one.
TEST(TableTest, AppendedColumnsJoinTheIndexesOrNothingIsAppended) {
    Table t("T", {FieldDef::Integer("no", true), FieldDef::Text("date", 8)});
    t.AddIndex("Ix_date", {"date"});
    t.SetCurrentIndex("Ix_date");
    t.Append();
    t.SetInteger("no", 1);
    t.SetText("date", "20260105");
    t.Post();
    auto columns = [](std::vector<std::int32_t> nos, std::vector<std::string> dates) {
        std::vector<Table::Column> c(2);
        c[0].ints = std::move(nos);
        c[0].nulls.assign(c[0].ints.size(), 0);
        c[1].nulls.assign(dates.size(), 0);
        for (std::size_t i = 0; i < dates.size(); ++i) c[1].nulls[i] = dates[i].empty();
        c[1].texts = std::move(dates);
        return c;
    };
    t.AppendColumns(columns({2, 3, 4}, {"20260109", "", "20260101"}), 3);
    EXPECT_EQ(t.FindRows("Ix_date", Value{std::string("20260109")}).size(), 1u);
    std::string order;
    for (t.First(); !t.Eof(); t.Next()) order += std::to_string(t.AsInteger("no"));
    EXPECT_EQ(order, "3412") << "nulls first, then by date";

    auto bad = columns({5, 6}, {"20260102", "2026\x01"});
    EXPECT_THROW(t.AppendColumns(std::move(bad), 2), Error);
    auto missing = columns({7}, {"20260103"});
    missing[0].nulls[0] = 1;
    EXPECT_THROW(t.AppendColumns(std::move(missing), 1), Error) << "a required field";
    EXPECT_EQ(t.RecordCount(), 4);
}

// Bulk appends number the rows and refuse a repeated key as Post would, at the first
// row that repeats one (also behind a row refused for its value), appending nothing.
TEST(TableTest, AppendedColumnsAreNumberedAndKeepUniqueKeys) {
    Items t;
    t.AddIndex("Ix_group", {"group"}, {.primary = false, .unique = true});
    AddItem(t, "a", 10);
    auto rows = [](std::vector<std::string> names, std::vector<std::int32_t> groups) {
        std::vector<Table::Column> c(4);
        c[1].texts = std::move(names);
        c[1].nulls.assign(c[1].texts.size(), 0);
        c[2].ints = std::move(groups);
        c[2].nulls.assign(c[2].ints.size(), 0);
        c[3].ints.assign(c[2].ints.size(), 0);
        c[3].nulls.assign(c[2].ints.size(), 1);
        return c;
    };
    for (const auto& [groups, line] : {std::pair{std::vector<std::int32_t>{30, 10, 20}, 2},
                                       std::pair{std::vector<std::int32_t>{30, 30, 40}, 2}}) {
        auto refused = rows({"b", "c", "much too long"}, groups);
        try {
            t.AppendColumns(std::move(refused), 3);
            ADD_FAILURE();
        } catch (const Error& e) {
            EXPECT_EQ(e.Key(), "KeyViolation");
            EXPECT_EQ(e.Position().line, line);
        }
        EXPECT_EQ(refused[1].texts[1], "c") << "the columns are left as they were";
        EXPECT_EQ(t.RecordCount(), 1);
    }
    t.AppendColumns(rows({"b", "c"}, {30, 20}), 2);
    EXPECT_EQ(Walk(t, "no"), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(t.FindRows("Ix_group", Value{std::int32_t{20}}).size(), 1u);
    AddItem(t, "d", 40);
    EXPECT_EQ(t.AsInteger("no"), 4);
}

// Texts are checked a word at a time: a bad byte must be refused at every offset.
TEST(TableTest, RefusesABadByteAnywhereInALongText) {
    Table t("T", {FieldDef::Text("name", 40)});
    t.Append();
    for (std::size_t at = 0; at < 24; ++at) {
        for (const char bad : {'\x01', '\x1F', '\x7F', '\xFC'}) {
            std::string text(24, 'x');
            text[at] = bad;
            EXPECT_THROW(t.SetText("name", text), Error) << "offset " << at << " byte " << int(bad);
        }
        std::string text(24, ' ');
        text.replace(at, 1, "~\xC3\xBC");
        EXPECT_NO_THROW(t.SetText("name", text)) << "offset " << at;
    }
}

// Numbered rows are found where their number says; a guess must still give the first of
// equal keys, and numbers with gaps or below the first must fall back to a search.
TEST(TableTest, LookupsFindTheFirstRowOfAKeyAmongGapsAndRepeats) {
    Table events("Events", {FieldDef::Integer("no"), FieldDef::Text("name", 10)});
    events.AddIndex("Ix_no", {"no"});
    const std::vector<std::pair<std::int32_t, std::string>> rows{
        {-4, "m"}, {-3, "n"}, {-1, "a"}, {-1, "b"}, {0, "c"}, {5, "d"}, {5, "e"}};
    for (const auto& [no, name] : rows) {
        events.Append();
        events.SetInteger("no", no);
        events.SetText("name", name);
        events.Post();
    }
    Table dates("Dates",
                {FieldDef::Integer("ev"), FieldDef::Lookup("name", "ev", events, "no", "name")});
    for (std::int32_t ev : {-4, -3, -1, 0, 5, 1, 2, 3}) {
        dates.Append();
        dates.SetInteger("ev", ev);
        dates.Post();
    }
    std::string names;
    for (int i = 0; i < dates.RecordCount(); ++i) {
        const Value name = dates.ValueAt(i, FieldNo(1));
        names += IsNullValue(name) ? "-" : std::get<std::string>(name);
    }
    EXPECT_EQ(names, "mnacd---");
}

TEST(TableTest, CalculatedFieldsFollowTheRowBeingRead) {
    Table t("T", {FieldDef::Text("from", 8), FieldDef::Calculated("shown", FieldKind::Text, 20)});
    int calls = 0;
    t.SetCalcHandler([&calls](Table& row) {
        ++calls;
        std::string from = row.AsText("from");
        if (from.size() == 8)
            row.SetText("shown",
                        from.substr(6, 2) + "." + from.substr(4, 2) + "." + from.substr(0, 4));
    });
    for (const char* d : {"20261224", "bad", "20260101"}) {
        t.Append();
        t.SetText("from", d);
        EXPECT_EQ(t.AsText("shown"), std::string(d) == "bad" ? "" : t.AsText("shown"));
        t.Post();
    }
    EXPECT_EQ(t.AsText("shown"), "01.01.2026");
    t.First();
    EXPECT_EQ(t.AsText("shown"), "24.12.2026");
    const int before = calls;
    EXPECT_EQ(t.AsText("shown"), "24.12.2026");
    EXPECT_EQ(calls, before) << "one call per row fetched";
    EXPECT_TRUE(IsNullValue(t.ValueAt(1, FieldNo(1))));
    EXPECT_EQ(t.AsText("shown"), "24.12.2026") << "reading another row leaves the current one";
    t.Edit();
    t.SetText("from", "20270305");
    EXPECT_EQ(t.AsText("shown"), "05.03.2027") << "a pending change is seen";
    EXPECT_THROW(t.SetText("shown", "x"), Error) << "only the handler writes it";
}

TEST(TableTest, DeleteMovesToTheNextRowAndClearRestartsNumbers) {
    Items t;
    for (const char* n : {"a", "b", "c"}) AddItem(t, n, 0);
    t.First();
    t.Next();
    t.Delete();
    EXPECT_EQ(t.AsText("name"), "c");
    t.Delete();
    EXPECT_EQ(t.AsText("name"), "a") << "after the last row the one before becomes current";
    t.Delete();
    EXPECT_TRUE(t.Eof());
    EXPECT_THROW(t.Delete(), Error);
    t.Append();
    t.Delete();  // a new pending row is only dropped
    EXPECT_EQ(t.RecordCount(), 0);
    t.Clear();
    AddItem(t, "z", 0);
    EXPECT_EQ(t.AsInteger("no"), 1);
}

// Large enough for the radix sort: negative numbers must come before positive ones, and
// nulls before both.
TEST(TableTest, IntegerIndexOrdersNegativeBeforePositiveKeys) {
    Items t;
    std::vector<std::int32_t> keys{INT32_MIN, INT32_MAX, 0, -1, 1};
    for (int i = 0; i < 80; ++i) keys.push_back((i % 2 ? -1 : 1) * (i * 7919 % 1000));
    for (std::int32_t k : keys) AddItem(t, "k", k);
    t.Append();
    t.SetText("name", "null");
    t.Post();
    t.AddIndex("Ix_group", {"group"});
    t.SetCurrentIndex("Ix_group");
    t.First();
    EXPECT_TRUE(t.IsNull("group"));
    std::vector<std::int32_t> seen;
    for (t.Next(); !t.Eof(); t.Next()) seen.push_back(t.AsInteger("group"));
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(seen, keys);
}

}  // namespace
}  // namespace yorbel::data
