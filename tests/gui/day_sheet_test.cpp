// The day sheet: the facts of a date in both languages, the events of shown groups, and
// the popup menu's new, edit and delete on the year window's calendar.
#include "tools/day_sheet.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "app/language_file.h"
#include "app/settings.h"
#include "data/events.h"
#include "support/link_double.h"
#include "support/test_app.h"
#include "tools/civil_date_edit.h"
#include "tools/event_editor.h"

using namespace yorbel;
namespace cal = yorbel::calendar;

namespace {

int AddEvent(data::Table& events, const char* name, int repeat, const char* from, int group) {
    const int ev_no = events.NextAutoIncrement();
    events.Append();
    events.SetText(data::Ev_name, name);
    events.SetInteger(data::Ev_Type, 0);
    events.SetInteger(data::Ev_repeat, repeat);
    events.SetText(data::Ev_from, from);
    events.SetInteger(data::Ev_gp_no, group);
    events.Post();
    return ev_no;
}

}  // namespace

class DaySheetTest : public QObject {
    Q_OBJECT

  private slots:
    void factsOfSeventhDecember2026();
    void germanNamesUnderTheGermanInterface();
    void listsEventsOfShownGroupsOnly();
    void deleteRemovesTheEventFromEveryDay();
    void newAndEditFromThePopup();
    void keepsItsPlaceInTheSettings();
};

void DaySheetTest::factsOfSeventhDecember2026() {
    test::TestApp app;
    // The default settings: weeks start on Monday, week 1 is the first with four days.
    test::LinkDouble year(app.Context(), 2026);
    gui::TFrmDayInfo sheet(year, {7, 12, 2026});
    QCOMPARE(sheet.lbDay()->text(), QStringLiteral("Monday, 7. December 2026"));
    QCOMPARE(sheet.lbDays()->text(), QStringLiteral("Day 341 / 24 days left"));
    QCOMPARE(sheet.lbWeeks()->text(), QStringLiteral("Week 50 / 3 weeks left"));
    QCOMPARE(sheet.lbJD()->text(), QStringLiteral("Julian day 2461382"));
    QCOMPARE(sheet.lbJw()->text(), QStringLiteral("27 Kislev 5787"));
    QVERIFY(sheet.lbDay()->font().bold());
    QCOMPARE(sheet.windowTitle(), app.Context().Text("FrmDayInfo", "Caption"));
    QVERIFY(sheet.windowFlags() & Qt::WindowStaysOnTopHint);

    // A January date still in the last week of the year before shows the full count.
    sheet.ShowDate({1, 1, 2021});
    QCOMPARE(sheet.lbWeeks()->text(), QStringLiteral("Week 53 / 52 weeks left"));
    // A day beyond the month's end (a marked 29 February carried into a common year).
    sheet.ShowDate({29, 2, 2027});
    QCOMPARE(sheet.Date(), (cal::CivilDate{28, 2, 2027}));
}

void DaySheetTest::germanNamesUnderTheGermanInterface() {
    test::TestApp app;
    app.Context().Language = app::LanguageFile::Load(std::string(YORBEL_BIN_DIR) + "/" +
                                                     std::string(app::LanguageFileName(0)));
    app.Context().Settings.Language = 0;
    test::LinkDouble year(app.Context(), 2026);
    gui::TFrmDayInfo sheet(year, {7, 12, 2026});
    QCOMPARE(sheet.lbDay()->text(), QStringLiteral("Montag, 7. Dezember 2026"));
    QCOMPARE(sheet.lbDays()->text(), QString::fromUtf8("Tag 341 / 24 Tage übrig"));
    QCOMPARE(sheet.windowTitle(), QStringLiteral("Kalenderblatt"));
    QVERIFY(sheet.lbMaMu()->text().contains(QStringLiteral("mond ")));
}

void DaySheetTest::listsEventsOfShownGroupsOnly() {
    test::TestApp app;
    test::LinkDouble year(app.Context(), 2026);
    data::Table& events = year.Calendar().CdsEvents();
    const int first =
        AddEvent(events, "Nikolaus", data::RepeatYearly, "20000206", test::kShownGroup);
    AddEvent(events, "hidden", data::RepeatNone, "20260206", test::kHiddenGroup);
    const int third =
        AddEvent(events, "second shown", data::RepeatNone, "20260206", test::kShownGroup);
    year.ShowYear(2026);
    gui::TFrmDayInfo sheet(year, {6, 2, 2026});
    QCOMPARE(sheet.lbEvNames()->count(), 2);
    QCOMPARE(sheet.lbEvNames()->item(0)->text(), QStringLiteral("Nikolaus"));
    QCOMPARE(sheet.lbEvNames()->item(1)->text(), QStringLiteral("second shown"));
    QCOMPARE(sheet.EventNumbers(), (std::vector<std::int32_t>{first, third}));
    sheet.ShowDate({7, 2, 2026});
    QCOMPARE(sheet.lbEvNames()->count(), 0);
    QVERIFY(sheet.EventNumbers().empty());
}

void DaySheetTest::deleteRemovesTheEventFromEveryDay() {
    test::TestApp app;
    test::LinkDouble year(app.Context(), 2026);
    data::Table& events = year.Calendar().CdsEvents();
    const int period_no = events.NextAutoIncrement();
    events.Append();
    events.SetText(data::Ev_name, "holidays");
    events.SetInteger(data::Ev_Type, 1);
    events.SetInteger(data::Ev_repeat, 0);
    events.SetText(data::Ev_from, "20260720");
    events.SetText(data::Ev_to, "20260814");
    events.SetInteger(data::Ev_gp_no, test::kShownGroup);
    events.Post();
    const int other = AddEvent(events, "other", data::RepeatNone, "20260801", test::kShownGroup);
    year.ShowYear(2026);
    QCOMPARE(year.DatesOf(period_no).size(), std::size_t{26});

    gui::TFrmDayInfo sheet(year, {1, 8, 2026});
    QCOMPARE(sheet.lbEvNames()->count(), 2);

    // Nothing selected: nothing to delete, nothing asked.
    sheet.iDeleteClick();
    QVERIFY(app.Dialogs().asked.isEmpty());

    sheet.lbEvNames()->setCurrentRow(0);
    app.Dialogs().ask_answers = {QMessageBox::Cancel};
    sheet.iDeleteClick();
    QCOMPARE(app.Dialogs().asked.value(0), app.Context().Text("FrmDayInfo", "ReallyDelete"));
    QCOMPARE(events.RecordCount(), 2);
    QVERIFY(!year.Calendar().Modified());

    sheet.lbEvNames()->setCurrentRow(0);
    app.Dialogs().ask_answers = {QMessageBox::Ok};
    sheet.iDeleteClick();
    QCOMPARE(events.RecordCount(), 1);
    QVERIFY(year.Calendar().Modified());
    QVERIFY(year.DatesOf(period_no).empty());
    QCOMPARE(year.DatesOf(other), std::vector<std::string>{"20260801"});
    QCOMPARE(sheet.lbEvNames()->count(), 1);
    QCOMPARE(sheet.Date(), (cal::CivilDate{1, 8, 2026}));
    for (const cal::CivilDate& day : {cal::CivilDate{20, 7, 2026}, cal::CivilDate{14, 8, 2026}}) {
        sheet.ShowDate(day);
        QCOMPARE(sheet.lbEvNames()->count(), 0);
    }
}

void DaySheetTest::newAndEditFromThePopup() {
    test::TestApp app;
    test::LinkDouble year(app.Context(), 2026);
    year.Mark(2, 15);
    gui::TFrmDayInfo sheet(year, {15, 3, 2026});

    // The popup offers edit and delete only on a selected line.
    QMetaObject::invokeMethod(sheet.lbEvNames(), "customContextMenuRequested",
                              Q_ARG(QPoint, QPoint(5, 5)));
    sheet.pmEdit()->hide();
    const auto action = [&sheet](const char* name) {
        return sheet.pmEdit()->findChild<QAction*>(name);
    };
    QVERIFY(action("iNew")->isEnabled());
    QVERIFY(!action("iEdit")->isEnabled());
    QVERIFY(!action("iDelete")->isEnabled());

    test::OnNextEditor([](gui::TFrmEvent& editor) {
        editor.ebEvent()->setText(QStringLiteral("Ides of March"));
        editor.DblcbGroup()->setCurrentIndex(editor.DblcbGroup()->findData(test::kShownGroup));
        QTest::mouseClick(editor.btnOk(), Qt::LeftButton);
    });
    action("iNew")->trigger();
    QCOMPARE(sheet.lbEvNames()->count(), 1);
    QCOMPARE(sheet.lbEvNames()->item(0)->text(), QStringLiteral("Ides of March"));

    sheet.lbEvNames()->setCurrentRow(0);
    QMetaObject::invokeMethod(sheet.lbEvNames(), "customContextMenuRequested",
                              Q_ARG(QPoint, QPoint(5, 5)));
    sheet.pmEdit()->hide();
    QVERIFY(action("iEdit")->isEnabled());
    QVERIFY(action("iDelete")->isEnabled());

    test::OnNextEditor([](gui::TFrmEvent& editor) {
        editor.DtpFrom()->SetDate({16, 3, 2026});
        QTest::mouseClick(editor.btnOk(), Qt::LeftButton);
    });
    action("iEdit")->trigger();
    QCOMPARE(sheet.lbEvNames()->count(), 0);  // moved to the next day
    QCOMPARE(year.DatesOf(1), std::vector<std::string>{"20260316"});
}

void DaySheetTest::keepsItsPlaceInTheSettings() {
    test::TestApp app;
    test::LinkDouble year(app.Context(), 2026);
    {
        QPointer<gui::TFrmDayInfo> sheet = new gui::TFrmDayInfo(year, {7, 12, 2026});
        sheet->move(123, 77);
        sheet->show();
        sheet->close();  // closing frees it
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(sheet.isNull());
    }
    QCOMPARE(app::ReadDayViewPosition(app.Store(), 1), 123);
    QCOMPARE(app::ReadDayViewPosition(app.Store(), 2), 77);
    gui::TFrmDayInfo again(year, {7, 12, 2026});
    QCOMPARE(again.pos(), QPoint(123, 77));
}

QTEST_MAIN(DaySheetTest)
#include "day_sheet_test.moc"
