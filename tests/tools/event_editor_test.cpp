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

#include "data/event_value.h"
#include "data/events.h"
#include "data/groups.h"
#include "paint/win_color.h"
#include "support/test_app.h"
#include "support/year_for_tools.h"
#include "tools/civil_date_edit.h"

using namespace yorbel;
namespace cal = yorbel::calendar;
using test::Child;

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

void Ok(gui::EventEditor& editor) {
    QTest::mouseClick(Child<QPushButton>(editor, "btnOk"), Qt::LeftButton);
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
        std::function<void(gui::EventEditor&)> fill;
        StoredRow stored;
        std::vector<std::string> dates2026;
    };
    const std::vector<Case> cases = {
        {"once",
         [](gui::EventEditor& e) {
             Child<gui::CivilDateEdit>(e, "DtpFrom")->SetDate({15, 3, 2026});
         },
         {"once", 0, data::RepeatNone, "20260315", std::nullopt, {}},
         {"20260315"}},
        {"once in another year",
         [](gui::EventEditor& e) {
             Child<gui::CivilDateEdit>(e, "DtpFrom")->SetDate({15, 3, 2025});
         },
         {"once in another year", 0, data::RepeatNone, "20250315", std::nullopt, {}},
         {}},
        {"yearly",
         [](gui::EventEditor& e) {
             Child<QComboBox>(e, "cbRepeat")->setCurrentIndex(data::RepeatYearly);
             Child<gui::CivilDateEdit>(e, "DtpFrom")->SetDate({4, 7, 2020});
         },
         {"yearly", 0, data::RepeatYearly, "20200704", std::nullopt, {}},
         {"20260704"}},
        {"second Monday of March",
         [](gui::EventEditor& e) {
             Child<QComboBox>(e, "cbRepeat")->setCurrentIndex(data::RepeatWeekOfMonth);
             Child<QComboBox>(e, "cbWoche")->setCurrentIndex(1);
             Child<QComboBox>(e, "cbTag")->setCurrentIndex(1);
             Child<QComboBox>(e, "cbMonat")->setCurrentIndex(2);
         },
         {"second Monday of March", 0, data::RepeatWeekOfMonth, "010203", std::nullopt, {}},
         {"20260309"}},
        {"Good Friday",
         [](gui::EventEditor& e) {
             Child<QComboBox>(e, "cbRepeat")->setCurrentIndex(data::RepeatEaster);
             Child<QSpinBox>(e, "ebDays")->setValue(2);
             Child<QRadioButton>(e, "rbVor")->click();
         },
         {"Good Friday", 0, data::RepeatEaster, "-2", std::nullopt, {}},
         {"20260403"}},
        {"Whit Sunday",
         [](gui::EventEditor& e) {
             Child<QComboBox>(e, "cbRepeat")->setCurrentIndex(data::RepeatEaster);
             Child<QSpinBox>(e, "ebDays")->setValue(49);
             Child<QRadioButton>(e, "rbNach")->click();
         },
         {"Whit Sunday", 0, data::RepeatEaster, "49", std::nullopt, {}},
         {"20260524"}},
        {"Saturday before fourth Advent",
         [](gui::EventEditor& e) {
             Child<QComboBox>(e, "cbRepeat")->setCurrentIndex(data::RepeatAdvent);
             Child<QSpinBox>(e, "ebDays")->setValue(1);
         },
         {"Saturday before fourth Advent", 0, data::RepeatAdvent, "1", std::nullopt, {}},
         {"20261219"}},
        {"first Sunday after 11 November",
         [](gui::EventEditor& e) {
             Child<QComboBox>(e, "cbRepeat")->setCurrentIndex(data::RepeatNearDate);
             Child<QComboBox>(e, "cbWoche")->setCurrentIndex(0);
             Child<QComboBox>(e, "cbTag")->setCurrentIndex(0);
             Child<QRadioButton>(e, "RbNachDad")->click();
             Child<gui::CivilDateEdit>(e, "DtpDad")->SetDate({11, 11, 2026});
         },
         {"first Sunday after 11 November", 0, data::RepeatNearDate, "000101", "20261111", {}},
         {"20261115"}},
        {"second Friday before Christmas",
         [](gui::EventEditor& e) {
             Child<QComboBox>(e, "cbRepeat")->setCurrentIndex(data::RepeatNearDate);
             Child<QComboBox>(e, "cbWoche")->setCurrentIndex(1);
             Child<QComboBox>(e, "cbTag")->setCurrentIndex(5);
             Child<QRadioButton>(e, "RbVorDad")->click();
             Child<gui::CivilDateEdit>(e, "DtpDad")->SetDate({24, 12, 2026});
         },
         {"second Friday before Christmas", 0, data::RepeatNearDate, "050200", "20261224", {}},
         {"20261211"}},
        {"15 Shevat",
         [](gui::EventEditor& e) {
             Child<QComboBox>(e, "cbRepeat")->setCurrentIndex(data::RepeatJewish);
             Child<QComboBox>(e, "cbJMonth")->setCurrentIndex(4);
             Child<QComboBox>(e, "cbJDay")->setCurrentIndex(14);
         },
         {"15 Shevat", 0, data::RepeatJewish, "0515", std::nullopt, {}},
         {"20260202"}},
        {"Purim",
         [](gui::EventEditor& e) {
             Child<QComboBox>(e, "cbRepeat")->setCurrentIndex(data::RepeatJewish);
             // The Adar of Purim is the item after Adar.
             QTest::keyClicks(Child<QComboBox>(e, "cbJMonth"), QStringLiteral("Adar"));
             QTest::keyClick(Child<QComboBox>(e, "cbJMonth"), Qt::Key_Down);
             QTest::keyClicks(Child<QComboBox>(e, "cbJDay"), QStringLiteral("14"));
         },
         {"Purim", 0, data::RepeatJewish, "1314", std::nullopt, {}},
         {"20260303"}},
        {"period over the turn of the year",
         [](gui::EventEditor& e) {
             Child<QRadioButton>(e, "rbType_Item2")->click();
             Child<gui::CivilDateEdit>(e, "DtpFrom")->SetDate({30, 12, 2026});
             Child<gui::CivilDateEdit>(e, "DtpTo")->SetDate({2, 1, 2027});
         },
         {"period over the turn of the year", 1, data::RepeatNone, "20261230", "20270102", {}},
         {"20261230", "20261231"}},
    };

    test::TestApp app;
    const int current_group = app.Context().Groups->CdsGroups().AsInteger(data::Gp_no);
    for (const Case& c : cases) {
        auto year = test::OpenYear(app, 2026, 7, 12);
        const std::string name = c.name;
        test::OnNextEditor([&](gui::EventEditor& editor) {
            Child<QLineEdit>(editor, "ebEvent")->setText(QString::fromStdString(name));
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
    gui::EventEditor editor(year->Widget(), app.Context(), true, std::nullopt, {7, 12, 2026});
    for (gui::CivilDateEdit* picker :
         {Child<gui::CivilDateEdit>(editor, "DtpFrom"), Child<gui::CivilDateEdit>(editor, "DtpTo"),
          Child<gui::CivilDateEdit>(editor, "DtpDad")})
        QCOMPARE(picker->Date(), (cal::CivilDate{7, 12, 2026}));
    QCOMPARE(Child<QComboBox>(editor, "cbRepeat")->currentIndex(), 0);
    QVERIFY(Child<QRadioButton>(editor, "rbType_Item1")->isChecked());
    QCOMPARE(Child<QLineEdit>(editor, "ebEvent")->text(),
             app.Context().Text("FrmEvent", "ebEvent"));
    QCOMPARE(Child<QComboBox>(editor, "DblcbGroup")->currentData().toInt(),
             app.Context().Groups->CdsGroups().AsInteger(data::Gp_no));
    auto* groups = Child<QComboBox>(editor, "DblcbGroup");
    QCOMPARE(test::SwatchColor(groups->itemIcon(groups->findData(test::kShownGroup))),
             gui::WinColorToQColor(test::kShownColor));
    QCOMPARE(Child<QComboBox>(editor, "cbRepeat")->count(), 7);
    QCOMPARE(Child<QComboBox>(editor, "cbJMonth")->itemText(0), QStringLiteral("Tishri"));
    QVERIFY(!Child<QComboBox>(editor, "cbRepeat")->isEditable());
    // Defaults of the direction buttons: before Easter, after the reference day.
    QVERIFY(Child<QRadioButton>(editor, "rbVor")->isChecked());
    QVERIFY(Child<QRadioButton>(editor, "RbNachDad")->isChecked());
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
        return std::make_unique<gui::EventEditor>(year->Widget(), app.Context(), true,
                                                  data::EventOfKey(events, ev_no),
                                                  cal::CivilDate{7, 12, 2026});
    };
    {
        auto e = open(easter0);
        QVERIFY(Child<QRadioButton>(*e, "rbVor")->isChecked());
        QCOMPARE(Child<QSpinBox>(*e, "ebDays")->value(), 0);
        QVERIFY(Child<QGroupBox>(*e, "gbDays")->isVisibleTo(e.get()));
        QVERIFY(Child<QRadioButton>(*e, "rbVor")->isVisibleTo(e.get()));
    }
    {
        auto e = open(easter3);
        QVERIFY(Child<QRadioButton>(*e, "rbNach")->isChecked());
        QCOMPARE(Child<QSpinBox>(*e, "ebDays")->value(), 3);
    }
    {
        auto e = open(near_after);
        QVERIFY(Child<QRadioButton>(*e, "RbNachDad")->isChecked());
        QVERIFY(!Child<QRadioButton>(*e, "RbVorDad")->isChecked());
        QCOMPARE(Child<QComboBox>(*e, "cbTag")->currentIndex(), 3);
        QCOMPARE(Child<QComboBox>(*e, "cbWoche")->currentIndex(), 1);
        QCOMPARE(Child<gui::CivilDateEdit>(*e, "DtpDad")->Date(), (cal::CivilDate{11, 11, 2019}));
        QVERIFY(Child<QGroupBox>(*e, "gbWoMo")->isVisibleTo(e.get()));
        QVERIFY(!Child<QComboBox>(*e, "cbMonat")->isVisibleTo(e.get()));
    }
    {
        auto e = open(near_before);
        QVERIFY(Child<QRadioButton>(*e, "RbVorDad")->isChecked());
        QVERIFY(!Child<QRadioButton>(*e, "RbNachDad")->isChecked());
        QCOMPARE(Child<QComboBox>(*e, "cbWoche")->currentIndex(), 2);
    }
    {
        auto e = open(jewish);
        QCOMPARE(Child<QComboBox>(*e, "cbJMonth")->currentIndex(), 5);
        QCOMPARE(Child<QComboBox>(*e, "cbJDay")->currentIndex(), 13);
        QVERIFY(Child<QGroupBox>(*e, "gbJwDate")->isVisibleTo(e.get()));
        QVERIFY(!Child<QGroupBox>(*e, "GbEvTime")->isVisibleTo(e.get()));
    }
    {
        auto e = open(purim);
        QCOMPARE(Child<QComboBox>(*e, "cbJMonth")->currentText(),
                 app.Context().Text("Misc", "JwMo_13"));
        QCOMPARE(Child<QComboBox>(*e, "cbJMonth")->currentIndex(), 6);
    }
    {
        auto e = open(yearly);  // shown in the year it was entered in, leap day included
        QCOMPARE(Child<gui::CivilDateEdit>(*e, "DtpFrom")->Date(), (cal::CivilDate{29, 2, 2024}));
        QVERIFY(!Child<gui::CivilDateEdit>(*e, "DtpTo")->isVisibleTo(e.get()));
    }
    {
        auto e = open(week);
        QCOMPARE(Child<QComboBox>(*e, "cbTag")->currentIndex(), 0);
        QCOMPARE(Child<QComboBox>(*e, "cbWoche")->currentIndex(), 4);
        QCOMPARE(Child<QComboBox>(*e, "cbMonat")->currentIndex(), 9);
        QVERIFY(Child<QComboBox>(*e, "cbMonat")->isVisibleTo(e.get()));
        QVERIFY(!Child<gui::CivilDateEdit>(*e, "DtpDad")->isVisibleTo(e.get()));
    }
    {
        auto e = open(period);
        QVERIFY(Child<QRadioButton>(*e, "rbType_Item2")->isChecked());
        QVERIFY(!Child<QComboBox>(*e, "cbRepeat")->isEnabled());
        QCOMPARE(Child<gui::CivilDateEdit>(*e, "DtpFrom")->Date(), (cal::CivilDate{5, 1, 2026}));
        QCOMPARE(Child<gui::CivilDateEdit>(*e, "DtpTo")->Date(), (cal::CivilDate{10, 1, 2026}));
        QVERIFY(Child<gui::CivilDateEdit>(*e, "DtpTo")->isVisibleTo(e.get()));
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
        test::OnNextEditor([](gui::EventEditor& editor) {
            Child<QLineEdit>(editor, "ebEvent")
                ->setText(Child<QLineEdit>(editor, "ebEvent")->text() +
                          QStringLiteral(" (renamed)"));
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
    test::OnNextEditor([](gui::EventEditor& editor) {
        Child<QSpinBox>(editor, "ebDays")->setValue(2);
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
    test::OnNextEditor([&shown](gui::EventEditor& editor) {
        shown = Child<gui::CivilDateEdit>(editor, "DtpFrom")->Date();
        Child<QLineEdit>(editor, "ebEvent")->setText(QStringLiteral("first on 5 January"));
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
        gui::EventEditor editor(year->Widget(), app.Context(), true, std::nullopt, {7, 12, 2026});
        Child<QComboBox>(editor, "cbRepeat")->setCurrentIndex(rule);
        Child<QRadioButton>(editor, "rbType_Item2")->click();
        QVERIFY(!Child<QComboBox>(editor, "cbRepeat")->isEnabled());
        QVERIFY(Child<QGroupBox>(editor, "GbEvTime")->isVisibleTo(&editor));
        QVERIFY(Child<gui::CivilDateEdit>(editor, "DtpTo")->isVisibleTo(&editor));
        for (QGroupBox* other :
             {Child<QGroupBox>(editor, "gbWoMo"), Child<QGroupBox>(editor, "gbDays"),
              Child<QGroupBox>(editor, "gbJwDate")})
            QVERIFY(!other->isVisibleTo(&editor));
        Child<QRadioButton>(editor, "rbType_Item1")->click();
        QVERIFY(Child<QComboBox>(editor, "cbRepeat")->isEnabled());
        const int shown = int(Child<QGroupBox>(editor, "GbEvTime")->isVisibleTo(&editor)) +
                          int(Child<QGroupBox>(editor, "gbWoMo")->isVisibleTo(&editor)) +
                          int(Child<QGroupBox>(editor, "gbDays")->isVisibleTo(&editor)) +
                          int(Child<QGroupBox>(editor, "gbJwDate")->isVisibleTo(&editor));
        QCOMPARE(shown, 1);
    }
}

void EventEditorTest::julianLeapDayRoundTrip() {
    test::TestApp app;
    app.Context().Settings.greg = 0;  // Julian
    auto year = test::OpenYear(app, 1900, 28, 2);
    test::OnNextEditor([](gui::EventEditor& editor) {
        gui::CivilDateEdit* from = Child<gui::CivilDateEdit>(editor, "DtpFrom");
        from->DayBox()->setValue(29);  // 28 February 1900 was preset
        Child<QLineEdit>(editor, "ebEvent")->setText(QStringLiteral("leap day"));
        Ok(editor);
    });
    QVERIFY(year->NewEvent());
    data::Table& events = year->Calendar().CdsEvents();
    QCOMPARE(ReadRow(events, 1).from, std::string("19000229"));
    QCOMPARE(test::DatesOf(*year, 1), std::vector<std::string>{"19000229"});

    cal::CivilDate loaded;
    test::OnNextEditor([&loaded](gui::EventEditor& editor) {
        loaded = Child<gui::CivilDateEdit>(editor, "DtpFrom")->Date();
        Child<gui::CivilDateEdit>(editor, "DtpFrom")
            ->YearBox()
            ->setValue(2100);  // also a Julian leap year
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
        gui::EventEditor editor(year->Widget(), app.Context(), true, std::nullopt, {7, 12, 2026});
        Child<QRadioButton>(editor, "rbType_Item2")->click();
        Child<gui::CivilDateEdit>(editor, "DtpFrom")->SetDate({10, 5, 2026});
        Child<gui::CivilDateEdit>(editor, "DtpTo")->SetDate({9, 5, 2026});
        Ok(editor);
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(app.Dialogs().told.value(0),
                 app.Context().Text("FrmEvent", "PeriodEndBeforeStart"));
        QCOMPARE(events.GetState(), data::Table::State::Browse);
        // A one-day period is fine.
        Child<gui::CivilDateEdit>(editor, "DtpTo")->SetDate({10, 5, 2026});
        Ok(editor);
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        const std::optional<data::Rule> rule = editor.Value().rule;
        QVERIFY(rule && *rule == data::Rule(data::PeriodRule{{10, 5, 2026}, {10, 5, 2026}}));
    }
    {
        gui::EventEditor editor(year->Widget(), app.Context(), true, std::nullopt, {7, 12, 2026});
        Child<QComboBox>(editor, "cbRepeat")->setCurrentIndex(data::RepeatAdvent);
        Child<QSpinBox>(editor, "ebDays")->setFocus();
        Child<QSpinBox>(editor, "ebDays")->selectAll();
        QTest::keyClick(Child<QSpinBox>(editor, "ebDays"), Qt::Key_Backspace);  // an empty count
        Ok(editor);
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(app.Dialogs().told.value(1), app.Context().Text("FrmEvent", "DaysOutOfRange"));
        QTest::keyClicks(Child<QSpinBox>(editor, "ebDays"),
                         QStringLiteral("400"));  // the box takes at most 366
        QVERIFY(Child<QSpinBox>(editor, "ebDays")->value() <= 366);
    }
}

void EventEditorTest::cancelWritesNothing() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 7, 12);
    QSignalSpy shown(year.get(), &gui::YearWindow::yearShown);
    test::OnNextEditor([](gui::EventEditor& editor) {
        QTest::mouseClick(Child<QPushButton>(editor, "btnCancel"), Qt::LeftButton);
    });
    QVERIFY(!year->NewEvent());
    QCOMPARE(year->Calendar().CdsEvents().RecordCount(), 0);
    QVERIFY(!year->Calendar().Modified());
    QCOMPARE(shown.count(), 1);  // the year is shown again all the same
}

QTEST_MAIN(EventEditorTest)
#include "event_editor_test.moc"
