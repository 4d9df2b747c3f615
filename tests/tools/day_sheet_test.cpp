// The day sheet: the facts of a date in both languages, the events of shown groups, and
// the popup menu's new, edit and delete on the year window's calendar.
#include "tools/day_sheet.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include "app/language_file.h"
#include "app/settings.h"
#include "data/events.h"
#include "desktop/main_window.h"
#include "support/test_app.h"
#include "support/year_for_tools.h"
#include "tools/civil_date_edit.h"
#include "tools/event_editor.h"
#include "tools/event_list.h"
#include "ui/tool_placement.h"

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

// The event numbers behind the list's lines, line by line.
std::vector<int> EventNumbers(const gui::DaySheet& sheet) {
    std::vector<int> numbers;
    const auto* list = test::Child<QListWidget>(sheet, "lbEvNames");
    for (int row = 0; row < list->count(); ++row)
        numbers.push_back(list->item(row)->data(Qt::UserRole).toInt());
    return numbers;
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
    void followsTheMarkAndInspectMode();
    void onlyTheActiveWindowShowsItsSheet();
    void opensBesideTheGridAndUnderTheEditor();
    void sheetOpenedWithItsWindowStaysWithTheFrame();
};

void DaySheetTest::factsOfSeventhDecember2026() {
    test::TestApp app;
    // The default settings: weeks start on Monday, week 1 is the first with four days.
    auto year = test::OpenYear(app, 2026, 7, 12);
    gui::DaySheet sheet(*year, {7, 12, 2026});
    QCOMPARE(test::Child<QLabel>(sheet, "lbDay")->text(),
             QStringLiteral("Monday, 7. December 2026"));
    QCOMPARE(test::Child<QLabel>(sheet, "lbDays")->text(),
             QStringLiteral("Day 341 / 24 days left"));
    QCOMPARE(test::Child<QLabel>(sheet, "lbWeeks")->text(),
             QStringLiteral("Week 50 / 3 weeks left"));
    QCOMPARE(test::Child<QLabel>(sheet, "lbJD")->text(), QStringLiteral("Julian day 2461382"));
    QCOMPARE(test::Child<QLabel>(sheet, "lbJw")->text(), QStringLiteral("27 Kislev 5787"));
    QVERIFY(test::Child<QLabel>(sheet, "lbDay")->font().bold());
    QCOMPARE(sheet.windowTitle(), app.Context().Text("FrmDayInfo", "Caption"));
    // Kept above its year window as its tool window, not above every window.
    QVERIFY(sheet.windowFlags() & Qt::Tool);
    QVERIFY(!(sheet.windowFlags() & Qt::WindowStaysOnTopHint));

    // A January date still in the last week of the year before shows the full count.
    sheet.ShowDate({1, 1, 2021});
    QCOMPARE(test::Child<QLabel>(sheet, "lbWeeks")->text(),
             QStringLiteral("Week 53 / 52 weeks left"));
    // Polar night: no sunrise or sunset to show.
    app.Context().Settings.LatD = 78;
    sheet.ShowDate({7, 12, 2026});
    QCOMPARE(test::Child<QLabel>(sheet, "lbSaSu")->text(), QString::fromUtf8("\u2014 - \u2014"));
    // A day beyond the month's end (a marked 29 February carried into a common year).
    sheet.ShowDate({29, 2, 2027});
    QCOMPARE(sheet.Date(), (cal::CivilDate{28, 2, 2027}));
}

void DaySheetTest::germanNamesUnderTheGermanInterface() {
    test::TestApp app;
    app.Context().Language =
        app::LanguageFile::Load(std::string(YORBEL_BIN_DIR) + "/" +
                                std::string(app::LanguageFileName(app::Language::German)));
    app.Context().Settings.Language = 0;
    auto year = test::OpenYear(app, 2026, 7, 12);
    gui::DaySheet sheet(*year, {7, 12, 2026});
    QCOMPARE(test::Child<QLabel>(sheet, "lbDay")->text(),
             QStringLiteral("Montag, 7. Dezember 2026"));
    QCOMPARE(test::Child<QLabel>(sheet, "lbDays")->text(),
             QString::fromUtf8("Tag 341 / 24 Tage übrig"));
    QCOMPARE(sheet.windowTitle(), QStringLiteral("Kalenderblatt"));
    QVERIFY(test::Child<QLabel>(sheet, "lbMaMu")->text().contains(QStringLiteral("mond ")));
}

void DaySheetTest::listsEventsOfShownGroupsOnly() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 7, 12);
    data::Table& events = year->Calendar().CdsEvents();
    const int first =
        AddEvent(events, "Nikolaus", data::RepeatYearly, "20000206", test::kShownGroup);
    AddEvent(events, "hidden", data::RepeatNone, "20260206", test::kHiddenGroup);
    const int third =
        AddEvent(events, "second shown", data::RepeatNone, "20260206", test::kShownGroup);
    year->ShowYear(2026);
    gui::DaySheet sheet(*year, {6, 2, 2026});
    QListWidget* const list = test::Child<QListWidget>(sheet, "lbEvNames");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Nikolaus"));
    QCOMPARE(list->item(1)->text(), QStringLiteral("second shown"));
    QCOMPARE(EventNumbers(sheet), (std::vector<int>{first, third}));
    sheet.ShowDate({7, 2, 2026});
    QCOMPARE(list->count(), 0);
    QVERIFY(EventNumbers(sheet).empty());
}

void DaySheetTest::deleteRemovesTheEventFromEveryDay() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 7, 12);
    data::Table& events = year->Calendar().CdsEvents();
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
    year->ShowYear(2026);
    QCOMPARE(test::DatesOf(*year, period_no).size(), std::size_t{26});

    gui::DaySheet sheet(*year, {1, 8, 2026});
    QListWidget* const list = test::Child<QListWidget>(sheet, "lbEvNames");
    QCOMPARE(list->count(), 2);

    // Nothing selected: nothing to delete, nothing asked.
    sheet.DeleteSelectedEvent();
    QVERIFY(app.Dialogs().asked.isEmpty());

    list->setCurrentRow(0);
    app.Dialogs().ask_answers = {QMessageBox::Cancel};
    sheet.DeleteSelectedEvent();
    QCOMPARE(app.Dialogs().asked.value(0), app.Context().Text("FrmDayInfo", "ReallyDelete"));
    QCOMPARE(events.RecordCount(), 2);
    QVERIFY(!year->Calendar().Modified());

    list->setCurrentRow(0);
    app.Dialogs().ask_answers = {QMessageBox::Ok};
    sheet.DeleteSelectedEvent();
    QCOMPARE(events.RecordCount(), 1);
    QVERIFY(year->Calendar().Modified());
    QVERIFY(test::DatesOf(*year, period_no).empty());
    QCOMPARE(test::DatesOf(*year, other), std::vector<std::string>{"20260801"});
    QCOMPARE(list->count(), 1);
    QCOMPARE(sheet.Date(), (cal::CivilDate{1, 8, 2026}));
    for (const cal::CivilDate& day : {cal::CivilDate{20, 7, 2026}, cal::CivilDate{14, 8, 2026}}) {
        sheet.ShowDate(day);
        QCOMPARE(list->count(), 0);
    }
}

void DaySheetTest::newAndEditFromThePopup() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 15, 3);
    gui::DaySheet sheet(*year, {15, 3, 2026});
    QListWidget* const list = test::Child<QListWidget>(sheet, "lbEvNames");
    QMenu* const menu = test::Child<QMenu>(sheet, "pmEdit");

    // The popup offers edit and delete only on a selected line.
    QMetaObject::invokeMethod(list, "customContextMenuRequested", Q_ARG(QPoint, QPoint(5, 5)));
    menu->hide();
    const auto action = [menu](const char* name) { return menu->findChild<QAction*>(name); };
    QVERIFY(action("iNew")->isEnabled());
    QVERIFY(!action("iEdit")->isEnabled());
    QVERIFY(!action("iDelete")->isEnabled());

    test::OnNextEditor([](gui::EventEditor& editor) {
        test::Child<QLineEdit>(editor, "ebEvent")->setText(QStringLiteral("Ides of March"));
        QComboBox* group = test::Child<QComboBox>(editor, "DblcbGroup");
        group->setCurrentIndex(group->findData(test::kShownGroup));
        QTest::mouseClick(test::Child<QPushButton>(editor, "btnOk"), Qt::LeftButton);
    });
    action("iNew")->trigger();
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Ides of March"));

    list->setCurrentRow(0);
    QMetaObject::invokeMethod(list, "customContextMenuRequested", Q_ARG(QPoint, QPoint(5, 5)));
    menu->hide();
    QVERIFY(action("iEdit")->isEnabled());
    QVERIFY(action("iDelete")->isEnabled());

    test::OnNextEditor([](gui::EventEditor& editor) {
        test::Child<gui::CivilDateEdit>(editor, "DtpFrom")->SetDate({16, 3, 2026});
        QTest::mouseClick(test::Child<QPushButton>(editor, "btnOk"), Qt::LeftButton);
    });
    action("iEdit")->trigger();
    QCOMPARE(list->count(), 0);  // moved to the next day
    QCOMPARE(test::DatesOf(*year, 1), std::vector<std::string>{"20260316"});

    // A new event starts on the sheet's date, which need not be the marked day.
    sheet.ShowDate({20, 3, 2026});
    test::OnNextEditor([](gui::EventEditor& editor) {
        QTest::mouseClick(test::Child<QPushButton>(editor, "btnOk"), Qt::LeftButton);
    });
    action("iNew")->trigger();
    QCOMPARE(test::DatesOf(*year, 2), std::vector<std::string>{"20260320"});
}

void DaySheetTest::keepsItsPlaceInTheSettings() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 7, 12);
    {
        QPointer<gui::DaySheet> sheet = new gui::DaySheet(*year, {7, 12, 2026});
        sheet->move(123, 77);
        sheet->show();
        sheet->close();  // closing frees it
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(sheet.isNull());
    }
    QCOMPARE(app::ReadDayViewPosition(app.Store(), 1), 123);
    QCOMPARE(app::ReadDayViewPosition(app.Store(), 2), 77);
    gui::DaySheet again(*year, {7, 12, 2026});
    QCOMPARE(again.pos(), QPoint(123, 77));
}

void DaySheetTest::followsTheMarkAndInspectMode() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 15, 3);
    QVERIFY(!year->CurrentDaySheet());
    const auto centre = [&year](int month, int day) {
        return year->DayCellRect(month + 1, day).center();
    };

    QTest::mouseDClick(year.get(), Qt::LeftButton, {}, centre(11, 7));
    QPointer<gui::DaySheet> sheet = year->CurrentDaySheet();
    QVERIFY(sheet && sheet->isVisible());
    QCOMPARE(sheet->Date(), (cal::CivilDate{7, 12, 2026}));

    // Closing frees it; Enter opens a new one on the marked day.
    sheet->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(sheet.isNull() && !year->CurrentDaySheet());
    QTest::keyClick(year.get(), Qt::Key_Return);
    sheet = year->CurrentDaySheet();
    QVERIFY(sheet && sheet->isVisible());
    QCOMPARE(sheet->Date(), (cal::CivilDate{7, 12, 2026}));

    QTest::mouseClick(year.get(), Qt::LeftButton, {}, centre(7, 1));
    QCOMPARE(sheet->Date(), (cal::CivilDate{1, 8, 2026}));
    QTest::keyClick(year.get(), Qt::Key_Right);
    QCOMPARE(sheet->Date(), (cal::CivilDate{2, 8, 2026}));
    year->ShowYear(2027);  // the mark keeps its day and month
    QCOMPARE(sheet->Date(), (cal::CivilDate{2, 8, 2027}));

    // In inspect mode the sheet follows the pointer and the hint box stays hidden.
    year->SetInspectMode(true);
    const QPoint at = centre(1, 3);
    QMouseEvent move(QEvent::MouseMove, at, year->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(year.get(), &move);
    QCOMPARE(sheet->Date(), (cal::CivilDate{3, 2, 2027}));
    QVERIFY(!year->HintVisible());
    // Regeneration leaves the inspected day on the sheet.
    year->ShowYear(2027);
    QCOMPARE(sheet->Date(), (cal::CivilDate{3, 2, 2027}));

    // With no day marked the command shows 1 January.
    year->PopupMenu()->findChild<QAction*>("iInfoWin")->trigger();
    QCOMPARE(sheet->Date(), (cal::CivilDate{1, 1, 2027}));
}

void DaySheetTest::onlyTheActiveWindowShowsItsSheet() {
    test::TestApp app;
    const QString first = app.MakeCalendar(QStringLiteral("First.yrb"), {});
    const QString second = app.MakeCalendar(QStringLiteral("Second.yrb"), {});
    gui::MainWindow main(app.Context());
    main.show();
    gui::YearWindow* one = main.OpenCalendarFile(first, false);
    gui::YearWindow* two = main.OpenCalendarFile(second, false);
    QVERIFY(one && two);
    const QList<QMdiSubWindow*> subs = main.MdiArea()->subWindowList(QMdiArea::CreationOrder);
    main.MdiArea()->setActiveSubWindow(subs.value(0));
    QVERIFY(main.Action("iInfoWin")->isEnabled());
    main.Action("iInfoWin")->trigger();
    QPointer<gui::DaySheet> sheet = one->CurrentDaySheet();
    QVERIFY(sheet && sheet->isVisible());

    main.MdiArea()->setActiveSubWindow(subs.value(1));
    QVERIFY(sheet->isHidden());
    QVERIFY(!two->CurrentDaySheet());
    main.MdiArea()->setActiveSubWindow(subs.value(0));
    QVERIFY(sheet->isVisible());

    for (gui::YearWindow* year : main.YearWindows()) year->SetCloseApproved();
}

void DaySheetTest::opensBesideTheGridAndUnderTheEditor() {
    test::TestApp app;
    app.Context().EventEditor = gui::OpenEventEditor;
    gui::MainWindow main(app.Context());
    main.show();
    gui::YearWindow* year =
        main.OpenCalendarFile(app.MakeCalendar(QStringLiteral("Plan.yrb"), {}), false);
    QVERIFY(year);
    // A small window leaves the screen room beside it.
    QMdiSubWindow* sub = main.MdiArea()->activeSubWindow();
    sub->setGeometry(0, 0, 380, 300);
    const QRect grid = gui::ShownScreenRect(*year);
    const QRect screen = year->screen()->availableGeometry();
    // The last sheet was closed where the grid now is.
    app::WriteDayViewPosition(app.Store(), 1, grid.center().x());
    app::WriteDayViewPosition(app.Store(), 2, grid.center().y());

    QTest::mouseDClick(year, Qt::LeftButton, {}, year->DayCellRect(3, 15).center());
    gui::DaySheet* sheet = year->CurrentDaySheet();
    QVERIFY(sheet && sheet->isVisible());
    QVERIFY(!sheet->frameGeometry().intersects(grid));
    QVERIFY(sheet->x() > grid.right());  // the right side first
    QVERIFY(screen.contains(sheet->frameGeometry()));

    // The list goes beside the grid too.
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(&main, Qt::Key_D, Qt::ControlModifier);
    gui::EventListWindow* list = year->CurrentEventList();
    QVERIFY(list && list->isVisible());
    QVERIFY(!list->frameGeometry().intersects(grid));

    // The editor opened from the sheet belongs to the sheet, so the window system keeps it
    // above the sheet; a sheet kept above every window would hide it.
    sheet->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), sheet);
    bool modal = false;
    bool over_sheet = false;
    test::OnNextEditor([&](gui::EventEditor& editor) {
        modal = editor.isModal();
        over_sheet = editor.windowHandle()->transientParent() == sheet->windowHandle();
        editor.reject();
    });
    test::Child<QMenu>(*sheet, "pmEdit")->findChild<QAction*>("iNew")->trigger();
    QVERIFY(modal);
    QVERIFY(over_sheet);
    QVERIFY(!(sheet->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(!(list->windowFlags() & Qt::WindowStaysOnTopHint));
}

// A sheet made before its window sat in the frame belonged to a top level that the frame
// replaced, and the window system put it under the frame.
void DaySheetTest::sheetOpenedWithItsWindowStaysWithTheFrame() {
    test::TestApp app;
    app.Context().Settings.DayViewOpen = true;
    gui::MainWindow main(app.Context());
    main.show();
    gui::YearWindow* year =
        main.OpenCalendarFile(app.MakeCalendar(QStringLiteral("Plan.yrb"), {}), false);
    QVERIFY(year);
    gui::DaySheet* sheet = year->CurrentDaySheet();
    QVERIFY(sheet && sheet->isVisible());
    QCOMPARE(sheet->windowHandle()->transientParent(), main.windowHandle());
}

QTEST_MAIN(DaySheetTest)
#include "day_sheet_test.moc"
