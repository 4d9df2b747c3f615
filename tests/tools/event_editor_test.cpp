// The event editor: every rule kind written in the stored encoding and expanded into the
// right days, rules loaded back into the controls, edits that keep what was not changed,
// and the inputs it refuses.
#include "tools/event_editor.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/events.h"
#include "data/groups.h"
#include "support/test_app.h"
#include "support/year_for_tools.h"
#include "tools/civil_date_edit.h"

using namespace yorbel;
namespace cal = yorbel::calendar;

namespace {

struct StoredRow {
    std::string name;
    int type = 0;
    int repeat = 0;
    std::string from;
    std::optional<std::string> to;  // none: null
    std::optional<int> group;
};

StoredRow ReadRow(data::Table& events, int ev_no) {
    events.SetCurrentIndex("Ix_Ev_no");
    if (!events.GoToKey(data::Value{std::int32_t{ev_no}})) return {};
    StoredRow row;
    row.name = events.AsText(data::Ev_name);
    row.type = events.AsInteger(data::Ev_Type);
    row.repeat = events.AsInteger(data::Ev_repeat);
    row.from = events.AsText(data::Ev_from);
    if (!events.IsNull(data::Ev_to)) row.to = events.AsText(data::Ev_to);
    if (!events.IsNull(data::Ev_gp_no)) row.group = events.AsInteger(data::Ev_gp_no);
    return row;
}

// Adds a row as a calendar file or an import would hold it; returns its number.
int AddRow(data::Table& events, const StoredRow& row) {
    const int ev_no = events.NextAutoIncrement();
    events.Append();
    events.SetText(data::Ev_name, row.name);
    events.SetInteger(data::Ev_Type, row.type);
    events.SetInteger(data::Ev_repeat, row.repeat);
    events.SetText(data::Ev_from, row.from);
    if (row.to) events.SetText(data::Ev_to, *row.to);
    events.SetInteger(data::Ev_gp_no, row.group.value_or(test::kShownGroup));
    events.Post();
    return ev_no;
}

void Ok(gui::TFrmEvent& editor) {
    QTest::mouseClick(editor.btnOk(), Qt::LeftButton);
}

}  // namespace

class EventEditorTest : public QObject {
    Q_OBJECT

  private slots:
    void newEventOfEveryRuleKind();
    void newEventStartsOnTheMarkedDay();
    void storedRulesLoadIntoTheControls();
    void editingOnlyTheNameKeepsTheRule();
    void periodDisablesTheRuleList();
    void julianLeapDayRoundTrip();
    void refusedInput();
    void cancelWritesNothing();
};

void EventEditorTest::newEventOfEveryRuleKind() {
    struct Case {
        const char* name;
        std::function<void(gui::TFrmEvent&)> fill;
        StoredRow stored;
        std::vector<std::string> dates2026;
    };
    const std::vector<Case> cases = {
        {"once",
         [](gui::TFrmEvent& e) {
             e.DtpFrom()->SetDate({15, 3, 2026});
         },
         {"once", 0, data::RepeatNone, "20260315", std::nullopt, {}},
         {"20260315"}},
        {"once in another year",
         [](gui::TFrmEvent& e) {
             e.DtpFrom()->SetDate({15, 3, 2025});
         },
         {"once in another year", 0, data::RepeatNone, "20250315", std::nullopt, {}},
         {}},
        {"yearly",
         [](gui::TFrmEvent& e) {
             e.cbRepeat()->setCurrentIndex(data::RepeatYearly);
             e.DtpFrom()->SetDate({4, 7, 2020});
         },
         {"yearly", 0, data::RepeatYearly, "20200704", std::nullopt, {}},
         {"20260704"}},
        {"second Monday of March",
         [](gui::TFrmEvent& e) {
             e.cbRepeat()->setCurrentIndex(data::RepeatWeekOfMonth);
             e.cbWoche()->setCurrentIndex(1);
             e.cbTag()->setCurrentIndex(1);
             e.cbMonat()->setCurrentIndex(2);
         },
         {"second Monday of March", 0, data::RepeatWeekOfMonth, "010203", std::nullopt, {}},
         {"20260309"}},
        {"Good Friday",
         [](gui::TFrmEvent& e) {
             e.cbRepeat()->setCurrentIndex(data::RepeatEaster);
             e.ebDays()->setValue(2);
             e.rbVor()->click();
         },
         {"Good Friday", 0, data::RepeatEaster, "-2", std::nullopt, {}},
         {"20260403"}},
        {"Whit Sunday",
         [](gui::TFrmEvent& e) {
             e.cbRepeat()->setCurrentIndex(data::RepeatEaster);
             e.ebDays()->setValue(49);
             e.rbNach()->click();
         },
         {"Whit Sunday", 0, data::RepeatEaster, "49", std::nullopt, {}},
         {"20260524"}},
        {"Saturday before fourth Advent",
         [](gui::TFrmEvent& e) {
             e.cbRepeat()->setCurrentIndex(data::RepeatAdvent);
             e.ebDays()->setValue(1);
         },
         {"Saturday before fourth Advent", 0, data::RepeatAdvent, "1", std::nullopt, {}},
         {"20261219"}},
        {"first Sunday after 11 November",
         [](gui::TFrmEvent& e) {
             e.cbRepeat()->setCurrentIndex(data::RepeatNearDate);
             e.cbWoche()->setCurrentIndex(0);
             e.cbTag()->setCurrentIndex(0);
             e.RbNachDad()->click();
             e.DtpDad()->SetDate({11, 11, 2026});
         },
         {"first Sunday after 11 November", 0, data::RepeatNearDate, "000101", "20261111", {}},
         {"20261115"}},
        {"second Friday before Christmas",
         [](gui::TFrmEvent& e) {
             e.cbRepeat()->setCurrentIndex(data::RepeatNearDate);
             e.cbWoche()->setCurrentIndex(1);
             e.cbTag()->setCurrentIndex(5);
             e.RbVorDad()->click();
             e.DtpDad()->SetDate({24, 12, 2026});
         },
         {"second Friday before Christmas", 0, data::RepeatNearDate, "050200", "20261224", {}},
         {"20261211"}},
        {"15 Shevat",
         [](gui::TFrmEvent& e) {
             e.cbRepeat()->setCurrentIndex(data::RepeatJewish);
             e.cbJMonth()->setCurrentIndex(4);
             e.cbJDay()->setCurrentIndex(14);
         },
         {"15 Shevat", 0, data::RepeatJewish, "0515", std::nullopt, {}},
         {"20260202"}},
        {"Purim",
         [](gui::TFrmEvent& e) {
             e.cbRepeat()->setCurrentIndex(data::RepeatJewish);
             // The Adar of Purim is the item after Adar.
             QTest::keyClicks(e.cbJMonth(), QStringLiteral("Adar"));
             QTest::keyClick(e.cbJMonth(), Qt::Key_Down);
             QTest::keyClicks(e.cbJDay(), QStringLiteral("14"));
         },
         {"Purim", 0, data::RepeatJewish, "1314", std::nullopt, {}},
         {"20260303"}},
        {"period over the turn of the year",
         [](gui::TFrmEvent& e) {
             e.rbTypePeriod()->click();
             e.DtpFrom()->SetDate({30, 12, 2026});
             e.DtpTo()->SetDate({2, 1, 2027});
         },
         {"period over the turn of the year", 1, data::RepeatNone, "20261230", "20270102", {}},
         {"20261230", "20261231"}},
    };

    test::TestApp app;
    const int current_group = app.Context().Groups->CdsGroups().AsInteger(data::Gp_no);
    for (const Case& c : cases) {
        auto year = test::OpenYear(app, 2026, 7, 12);
        const std::string name = c.name;
        test::OnNextEditor([&](gui::TFrmEvent& editor) {
            editor.ebEvent()->setText(QString::fromStdString(name));
            c.fill(editor);
            Ok(editor);
        });
        QVERIFY2(year->NewEvent(), c.name);
        QVERIFY2(year->Calendar().Modified(), c.name);
        QCOMPARE(year->Calendar().CdsEvents().RecordCount(), 1);
        StoredRow expected = c.stored;
        expected.group = current_group;
        const StoredRow row = ReadRow(year->Calendar().CdsEvents(), 1);
        QVERIFY2(row.name == expected.name && row.type == expected.type &&
                     row.repeat == expected.repeat && row.from == expected.from &&
                     row.to == expected.to && row.group == expected.group,
                 (std::string(c.name) + ": stored " + row.from + " / " + row.to.value_or("null"))
                     .c_str());
        QVERIFY2(test::DatesOf(*year, 1) == c.dates2026, c.name);
    }
}

void EventEditorTest::newEventStartsOnTheMarkedDay() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 7, 12);
    data::Table& events = year->Calendar().CdsEvents();
    gui::TFrmEvent editor(year->Widget(), app.Context(), events, true, false, {7, 12, 2026});
    for (gui::CivilDateEdit* picker : {editor.DtpFrom(), editor.DtpTo(), editor.DtpDad()})
        QCOMPARE(picker->Date(), (cal::CivilDate{7, 12, 2026}));
    QCOMPARE(editor.cbRepeat()->currentIndex(), 0);
    QVERIFY(editor.rbTypeDay()->isChecked());
    QCOMPARE(editor.ebEvent()->text(), app.Context().Text("FrmEvent", "ebEvent"));
    QCOMPARE(editor.DblcbGroup()->currentData().toInt(),
             app.Context().Groups->CdsGroups().AsInteger(data::Gp_no));
    QCOMPARE(editor.cbRepeat()->count(), 7);
    QCOMPARE(editor.cbJMonth()->itemText(0), QStringLiteral("Tishri"));
    QVERIFY(!editor.cbRepeat()->isEditable());
    // Defaults of the direction buttons: before Easter, after the reference day.
    QVERIFY(editor.rbVor()->isChecked());
    QVERIFY(editor.RbNachDad()->isChecked());
}

void EventEditorTest::storedRulesLoadIntoTheControls() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 7, 12);
    data::Table& events = year->Calendar().CdsEvents();
    const int easter0 = AddRow(events, {"Easter", 0, data::RepeatEaster, "0", std::nullopt, {}});
    const int easter3 = AddRow(events, {"Easter+3", 0, data::RepeatEaster, "3", std::nullopt, {}});
    const int near_after =
        AddRow(events, {"after", 0, data::RepeatNearDate, "030201", "20191111", {}});
    const int near_before =
        AddRow(events, {"before", 0, data::RepeatNearDate, "060300", "20190301", {}});
    const int jewish = AddRow(events, {"Adar", 0, data::RepeatJewish, "0614", std::nullopt, {}});
    const int purim = AddRow(events, {"Purim", 0, data::RepeatJewish, "1314", std::nullopt, {}});
    const int yearly =
        AddRow(events, {"yearly", 0, data::RepeatYearly, "20240229", std::nullopt, {}});
    const int week =
        AddRow(events, {"week", 0, data::RepeatWeekOfMonth, "000510", std::nullopt, {}});
    const int period =
        AddRow(events, {"period", 1, data::RepeatAdvent, "20260105", "20260110", {}});

    const auto open = [&](int ev_no) {
        events.SetCurrentIndex("Ix_Ev_no");
        events.GoToKey(data::Value{std::int32_t{ev_no}});
        return std::make_unique<gui::TFrmEvent>(year->Widget(), app.Context(), events, true, true,
                                                cal::CivilDate{7, 12, 2026});
    };
    {
        auto e = open(easter0);
        QVERIFY(e->rbVor()->isChecked());
        QCOMPARE(e->ebDays()->value(), 0);
        QVERIFY(e->gbDays()->isVisibleTo(e.get()));
        QVERIFY(e->rbVor()->isVisibleTo(e.get()));
    }
    {
        auto e = open(easter3);
        QVERIFY(e->rbNach()->isChecked());
        QCOMPARE(e->ebDays()->value(), 3);
    }
    {
        auto e = open(near_after);
        QVERIFY(e->RbNachDad()->isChecked());
        QVERIFY(!e->RbVorDad()->isChecked());
        QCOMPARE(e->cbTag()->currentIndex(), 3);
        QCOMPARE(e->cbWoche()->currentIndex(), 1);
        QCOMPARE(e->DtpDad()->Date(), (cal::CivilDate{11, 11, 2019}));
        QVERIFY(e->gbWoMo()->isVisibleTo(e.get()));
        QVERIFY(!e->cbMonat()->isVisibleTo(e.get()));
    }
    {
        auto e = open(near_before);
        QVERIFY(e->RbVorDad()->isChecked());
        QVERIFY(!e->RbNachDad()->isChecked());
        QCOMPARE(e->cbWoche()->currentIndex(), 2);
    }
    {
        auto e = open(jewish);
        QCOMPARE(e->cbJMonth()->currentIndex(), 5);
        QCOMPARE(e->cbJDay()->currentIndex(), 13);
        QVERIFY(e->gbJwDate()->isVisibleTo(e.get()));
        QVERIFY(!e->GbEvTime()->isVisibleTo(e.get()));
    }
    {
        auto e = open(purim);
        QCOMPARE(e->cbJMonth()->currentText(), app.Context().Text("Misc", "JwMo_13"));
        QCOMPARE(e->cbJMonth()->currentIndex(), 6);
    }
    {
        auto e = open(yearly);  // shown in the year it was entered in, leap day included
        QCOMPARE(e->DtpFrom()->Date(), (cal::CivilDate{29, 2, 2024}));
        QVERIFY(!e->DtpTo()->isVisibleTo(e.get()));
    }
    {
        auto e = open(week);
        QCOMPARE(e->cbTag()->currentIndex(), 0);
        QCOMPARE(e->cbWoche()->currentIndex(), 4);
        QCOMPARE(e->cbMonat()->currentIndex(), 9);
        QVERIFY(e->cbMonat()->isVisibleTo(e.get()));
        QVERIFY(!e->DtpDad()->isVisibleTo(e.get()));
    }
    {
        auto e = open(period);
        QVERIFY(e->rbTypePeriod()->isChecked());
        QVERIFY(!e->cbRepeat()->isEnabled());
        QCOMPARE(e->DtpFrom()->Date(), (cal::CivilDate{5, 1, 2026}));
        QCOMPARE(e->DtpTo()->Date(), (cal::CivilDate{10, 1, 2026}));
        QVERIFY(e->DtpTo()->isVisibleTo(e.get()));
    }
}

void EventEditorTest::editingOnlyTheNameKeepsTheRule() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 7, 12);
    data::Table& events = year->Calendar().CdsEvents();
    // Texts the controls would write differently ("-0", a fresh Ev_to) and a group that
    // is not in the groups table.
    const std::vector<StoredRow> rows = {
        {"Easter", 0, data::RepeatEaster, "0", "20200101", 1},
        {"near", 0, data::RepeatNearDate, "000101", "19991111", 1},
        {"yearly", 0, data::RepeatYearly, "19990704", "20151111", 1},
        {"Jewish", 0, data::RepeatJewish, "0730", std::nullopt, 1},
        {"period", 1, data::RepeatAdvent, "20260105", "20260110", 1},
        {"foreign group", 0, data::RepeatNone, "20260105", std::nullopt, 77},
        {"Purim", 0, data::RepeatJewish, "1315", std::nullopt, 1},
    };
    std::vector<int> numbers;
    for (const StoredRow& row : rows) numbers.push_back(AddRow(events, row));
    year->ShowYear(2026);

    for (std::size_t i = 0; i < rows.size(); ++i) {
        test::OnNextEditor([](gui::TFrmEvent& editor) {
            editor.ebEvent()->setText(editor.ebEvent()->text() + QStringLiteral(" (renamed)"));
            Ok(editor);
        });
        year->Calendar().SetModified(false);
        QVERIFY(year->EditEventByKey(numbers[i], {7, 12, 2026}));
        QVERIFY(year->Calendar().Modified());
        StoredRow expected = rows[i];
        expected.name += " (renamed)";
        const StoredRow row = ReadRow(events, numbers[i]);
        QVERIFY2(row.name == expected.name && row.type == expected.type &&
                     row.repeat == expected.repeat && row.from == expected.from &&
                     row.to == expected.to && row.group == expected.group,
                 rows[i].name.c_str());
    }
    QCOMPARE(events.RecordCount(), static_cast<int>(rows.size()));

    // A changed rule is written, and Ev_to stays as it was for a rule that does not use it.
    test::OnNextEditor([](gui::TFrmEvent& editor) {
        editor.ebDays()->setValue(2);
        Ok(editor);
    });
    QVERIFY(year->EditEventByKey(numbers[0], {7, 12, 2026}));
    const StoredRow easter = ReadRow(events, numbers[0]);
    QCOMPARE(easter.from, std::string("-2"));
    QCOMPARE(easter.to, std::optional<std::string>("20200101"));
    QCOMPARE(test::DatesOf(*year, numbers[0]), std::vector<std::string>{"20260403"});

    // The edit-event command edits the first event of the marked day.
    test::Mark(*year, 0, 5);
    cal::CivilDate shown;
    test::OnNextEditor([&shown](gui::TFrmEvent& editor) {
        shown = editor.DtpFrom()->Date();
        editor.ebEvent()->setText(QStringLiteral("first on 5 January"));
        Ok(editor);
    });
    QVERIFY(year->EditEvent());
    QCOMPARE(shown, (cal::CivilDate{5, 1, 2026}));
    QCOMPARE(ReadRow(events, numbers[4]).name, std::string("first on 5 January"));
    test::Mark(*year, 0, 4);
    QVERIFY(!year->EditEvent());  // a day without events opens nothing
}

void EventEditorTest::periodDisablesTheRuleList() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 7, 12);
    for (int rule = 0; rule < 7; ++rule) {
        gui::TFrmEvent editor(year->Widget(), app.Context(), year->Calendar().CdsEvents(), true,
                              false, {7, 12, 2026});
        editor.cbRepeat()->setCurrentIndex(rule);
        editor.rbTypePeriod()->click();
        QVERIFY(!editor.cbRepeat()->isEnabled());
        QVERIFY(editor.GbEvTime()->isVisibleTo(&editor));
        QVERIFY(editor.DtpTo()->isVisibleTo(&editor));
        for (QGroupBox* other : {editor.gbWoMo(), editor.gbDays(), editor.gbJwDate()})
            QVERIFY(!other->isVisibleTo(&editor));
        editor.rbTypeDay()->click();
        QVERIFY(editor.cbRepeat()->isEnabled());
        const int shown = int(editor.GbEvTime()->isVisibleTo(&editor)) +
                          int(editor.gbWoMo()->isVisibleTo(&editor)) +
                          int(editor.gbDays()->isVisibleTo(&editor)) +
                          int(editor.gbJwDate()->isVisibleTo(&editor));
        QCOMPARE(shown, 1);
    }
}

void EventEditorTest::julianLeapDayRoundTrip() {
    test::TestApp app;
    app.Context().Settings.greg = 0;  // Julian
    auto year = test::OpenYear(app, 1900, 28, 2);
    test::OnNextEditor([](gui::TFrmEvent& editor) {
        gui::CivilDateEdit* from = editor.DtpFrom();
        from->DayBox()->setValue(29);  // 28 February 1900 was preset
        editor.ebEvent()->setText(QStringLiteral("leap day"));
        Ok(editor);
    });
    QVERIFY(year->NewEvent());
    data::Table& events = year->Calendar().CdsEvents();
    QCOMPARE(ReadRow(events, 1).from, std::string("19000229"));
    QCOMPARE(test::DatesOf(*year, 1), std::vector<std::string>{"19000229"});

    cal::CivilDate loaded;
    test::OnNextEditor([&loaded](gui::TFrmEvent& editor) {
        loaded = editor.DtpFrom()->Date();
        editor.DtpFrom()->YearBox()->setValue(2100);  // also a Julian leap year
        Ok(editor);
    });
    QVERIFY(year->EditEventByKey(1, {1, 1, 1900}));
    QCOMPARE(loaded, (cal::CivilDate{29, 2, 1900}));
    QCOMPARE(ReadRow(events, 1).from, std::string("21000229"));

    // The Gregorian system has no such day: the picker moves it to the month's end.
    gui::CivilDateEdit picker;
    picker.SetGregorian(false);
    picker.SetDate({29, 2, 1900});
    QCOMPARE(picker.Date(), (cal::CivilDate{29, 2, 1900}));
    picker.SetGregorian(true);
    QCOMPARE(picker.Date(), (cal::CivilDate{28, 2, 1900}));
    picker.SetDate({31, 4, 2026});
    QCOMPARE(picker.Date(), (cal::CivilDate{30, 4, 2026}));
}

void EventEditorTest::refusedInput() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 7, 12);
    data::Table& events = year->Calendar().CdsEvents();
    {
        gui::TFrmEvent editor(year->Widget(), app.Context(), events, true, false, {7, 12, 2026});
        editor.rbTypePeriod()->click();
        editor.DtpFrom()->SetDate({10, 5, 2026});
        editor.DtpTo()->SetDate({9, 5, 2026});
        Ok(editor);
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(app.Dialogs().told.value(0),
                 app.Context().Text("FrmEvent", "PeriodEndBeforeStart"));
        QCOMPARE(events.GetState(), data::Table::State::Browse);
        // A one-day period is fine.
        editor.DtpTo()->SetDate({10, 5, 2026});
        Ok(editor);
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        events.CheckBrowse();
        QCOMPARE(events.RecordCount(), 1);
    }
    {
        gui::TFrmEvent editor(year->Widget(), app.Context(), events, true, false, {7, 12, 2026});
        editor.cbRepeat()->setCurrentIndex(data::RepeatAdvent);
        editor.ebDays()->setFocus();
        editor.ebDays()->selectAll();
        QTest::keyClick(editor.ebDays(), Qt::Key_Backspace);  // an empty count
        Ok(editor);
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(app.Dialogs().told.value(1), app.Context().Text("FrmEvent", "DaysOutOfRange"));
        QTest::keyClicks(editor.ebDays(), QStringLiteral("400"));  // the box takes at most 366
        QVERIFY(editor.ebDays()->value() <= 366);
    }
}

void EventEditorTest::cancelWritesNothing() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 7, 12);
    QSignalSpy shown(year.get(), &gui::TFrmYear::yearShown);
    test::OnNextEditor(
        [](gui::TFrmEvent& editor) { QTest::mouseClick(editor.btnCancel(), Qt::LeftButton); });
    QVERIFY(!year->NewEvent());
    QCOMPARE(year->Calendar().CdsEvents().RecordCount(), 0);
    QVERIFY(!year->Calendar().Modified());
    QCOMPARE(shown.count(), 1);  // the year is shown again all the same
}

QTEST_MAIN(EventEditorTest)
#include "event_editor_test.moc"
