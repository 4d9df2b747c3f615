// The event list: rows of shown groups in the shown year, sorting by a click on a column
// title, and edit and delete through the year window.
#include "tools/event_list.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "data/events.h"
#include "desktop/main_window.h"
#include "paint/win_color.h"
#include "support/test_app.h"
#include "support/year_for_tools.h"
#include "tools/civil_date_edit.h"
#include "tools/event_editor.h"

using namespace yorbel;

namespace {

void AddEvent(data::Table& events, const char* name, int type, int repeat, const char* from,
              const char* to, int group) {
    events.Append();
    events.SetText(data::Ev_name, name);
    events.SetInteger(data::Ev_Type, type);
    events.SetInteger(data::Ev_repeat, repeat);
    events.SetText(data::Ev_from, from);
    events.SetText(data::Ev_to, to);
    events.SetInteger(data::Ev_gp_no, group);
    events.Post();
}

QStringList Column(const gui::EventListWindow& list, int column) {
    QStringList texts;
    const gui::ListRowsModel& model = list.Model();
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.data(model.index(row, column)).toString();
    return texts;
}

// Three events of the shown group and one of the hidden group, in a year window.
std::unique_ptr<gui::YearWindow> YearWithEvents(test::TestApp& app) {
    auto year = test::OpenYear(app, 2026, 1, 1);
    data::Table& events = year->Calendar().CdsEvents();
    AddEvent(events, "Zeppelin day", 0, data::RepeatYearly, "20000301", "", test::kShownGroup);
    AddEvent(events, "hidden", 0, data::RepeatNone, "20260201", "", test::kHiddenGroup);
    AddEvent(events, "Annual leave", 1, 0, "20251220", "20270105", test::kShownGroup);
    AddEvent(events, "Meeting", 0, data::RepeatNone, "20260510", "", test::kShownGroup);
    year->ShowYear(2026);
    year->ShowEventList();
    return year;
}

}  // namespace

class EventListTest : public QObject {
    Q_OBJECT

  private slots:
    void listsShownGroupsAndSortsByColumnTitle();
    void doubleClickEditsAndDeleteAsks();
    void hiddenWhileAnotherYearWindowIsActive();
};

void EventListTest::listsShownGroupsAndSortsByColumnTitle() {
    test::TestApp app;
    auto year = YearWithEvents(app);
    gui::EventListWindow* list = year->CurrentEventList();
    QVERIFY(list);
    QAbstractItemModelTester tester(const_cast<gui::ListRowsModel*>(&list->Model()),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(Column(*list, 2),
             (QStringList{"Annual leave", "Zeppelin day", "Meeting"}));  // by first day
    QCOMPARE(Column(*list, 0).value(1), QStringLiteral("01/03/2026"));
    QCOMPARE(Column(*list, 1).value(0), QStringLiteral("05/01/2027"));
    QVERIFY(Column(*list, 1).value(1).isEmpty());
    const QVariant swatch = list->Model().data(list->Model().index(0, 2), Qt::DecorationRole);
    QCOMPARE(test::SwatchColor(swatch.value<QIcon>()), gui::WinColorToQColor(test::kShownColor));

    auto* grid = test::Child<QTableView>(*list, "dbgList");
    QHeaderView* header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    QCOMPARE(Column(*list, 2), (QStringList{"Annual leave", "Meeting", "Zeppelin day"}));

    // The next year is listed in date order again.
    year->ShowYear(2027);
    QCOMPARE(Column(*list, 2), (QStringList{"Annual leave", "Zeppelin day"}));
    QCOMPARE(Column(*list, 0).value(1), QStringLiteral("01/03/2027"));

    // With the list open, export writes its rows, not the events table.
    app.Dialogs().save_answers = {app.Path(QStringLiteral("list.csv"))};
    year->Export();
    QFile file(app.Path(QStringLiteral("list.csv")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 3);  // two rows and the end after the last
    QVERIFY(lines[1].contains("20270301") && lines[1].contains("Zeppelin day"));

    // Closing tells the year window; the next request builds a new list.
    list->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!year->CurrentEventList());
    year->ShowYear(2028);
}

void EventListTest::doubleClickEditsAndDeleteAsks() {
    test::TestApp app;
    auto year = YearWithEvents(app);
    gui::EventListWindow* list = year->CurrentEventList();
    auto* grid = test::Child<QTableView>(*list, "dbgList");
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(list));

    // Meeting (third row) moves to 12 May.
    const QPoint meeting = grid->visualRect(list->Model().index(2, 2)).center();
    test::OnNextEditor([](gui::EventEditor& editor) {
        test::Child<gui::CivilDateEdit>(editor, "DtpFrom")->SetDate({12, 5, 2026});
        QTest::mouseClick(test::Child<QPushButton>(editor, "btnOk"), Qt::LeftButton);
    });
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, meeting);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, meeting);
    QCOMPARE(Column(*list, 0).value(2), QStringLiteral("12/05/2026"));
    QVERIFY(year->Calendar().Modified());

    // Delete asks the day sheet's question; Cancel keeps the event.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(list->Model().index(0, 2)).center());
    app.Dialogs().ask_answers = {QMessageBox::Cancel};
    list->DeleteCurrent();
    QCOMPARE(app.Dialogs().asked.value(0), app.Context().Text("FrmDayInfo", "ReallyDelete"));
    QCOMPARE(list->Model().rowCount(), 3);
    app.Dialogs().ask_answers = {QMessageBox::Ok};
    list->DeleteCurrent();
    QCOMPARE(Column(*list, 2), (QStringList{"Zeppelin day", "Meeting"}));
}

void EventListTest::hiddenWhileAnotherYearWindowIsActive() {
    test::TestApp app;
    gui::MainWindow main(app.Context());
    main.show();
    QApplication::setActiveWindow(&main);
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QVERIFY(!main.Action("iList")->isEnabled());
    gui::YearWindow* one =
        main.OpenCalendarFile(app.MakeCalendar(QStringLiteral("One.yrb"), {}), false);
    gui::YearWindow* two =
        main.OpenCalendarFile(app.MakeCalendar(QStringLiteral("Two.yrb"), {}), false);
    QVERIFY(one && two);
    const QList<QMdiSubWindow*> subs = main.MdiArea()->subWindowList(QMdiArea::CreationOrder);
    main.MdiArea()->setActiveSubWindow(subs.value(0));
    QVERIFY(main.Action("iList")->isEnabled());
    QTest::keyClick(&main, Qt::Key_D, Qt::ControlModifier);
    QPointer<gui::EventListWindow> list = one->CurrentEventList();
    QVERIFY(list && list->isVisible());

    main.MdiArea()->setActiveSubWindow(subs.value(1));
    QVERIFY(list->isHidden());
    QVERIFY(!two->CurrentEventList());
    // Back on its window the list waits for the command again.
    main.MdiArea()->setActiveSubWindow(subs.value(0));
    QVERIFY(list->isHidden());
    QTest::keyClick(&main, Qt::Key_D, Qt::ControlModifier);
    QVERIFY(list->isVisible());
    QCOMPARE(one->CurrentEventList(), list.data());

    for (gui::YearWindow* year : main.YearWindows()) year->SetCloseApproved();
}

QTEST_MAIN(EventListTest)
#include "event_list_test.moc"
