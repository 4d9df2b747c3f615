// The day calculator: weekdays moved out of the count by clicks, and a refused period.
#include "tools/day_calculator.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "paint/win_color.h"
#include "support/test_app.h"
#include "support/year_for_tools.h"
#include "tools/civil_date_edit.h"

using namespace yorbel;

namespace {

void ClickLine(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

}  // namespace

class DayCalculatorTest : public QObject {
    Q_OBJECT

  private slots:
    void weekendsSkippedIn2026();
    void refusesFromAfterTo();
};

void DayCalculatorTest::weekendsSkippedIn2026() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 1, 1);
    gui::DayCalculatorDialog calc(*year);
    calc.show();
    QVERIFY(QTest::qWaitForWindowExposed(&calc));
    auto* result = test::Child<QLabel>(calc, "lbResult");
    auto* combined = test::Child<QLabel>(calc, "lbSubResult3");
    auto* calculate = test::Child<QPushButton>(calc, "btnCalc");
    QTest::mouseClick(calculate, Qt::LeftButton);
    QCOMPARE(result->text(), QStringLiteral("Total: 365 days"));
    QCOMPARE(combined->text(), QStringLiteral("Counted: 365 days"));
    QVERIFY(!calculate->isEnabled());

    QTest::mouseClick(test::Child<QPushButton>(calc, "btnOptions"), Qt::LeftButton);
    auto* counted = test::Child<QListWidget>(calc, "lbCntWkDays");
    auto* groups = test::Child<QListWidget>(calc, "lbCntGrps");
    for (int row = 0; row < groups->count(); ++row) {
        const QListWidgetItem* group = groups->item(row);
        QCOMPARE(test::SwatchColor(group->icon()),
                 gui::WinColorToQColor(group->data(Qt::UserRole) == test::kShownGroup
                                           ? test::kShownColor
                                           : test::kHiddenColor));
    }
    auto* hide = test::Child<QPushButton>(calc, "btnHide");
    QVERIFY(!hide->isEnabled());
    ClickLine(counted, 6);  // Saturday
    QTest::mouseClick(hide, Qt::LeftButton);
    ClickLine(counted, 0);  // Sunday
    QTest::mouseClick(hide, Qt::LeftButton);
    QCOMPARE(test::Child<QListWidget>(calc, "lbNoCntWkDays")->count(), 2);
    QCOMPARE(counted->count(), 5);
    // A move resets the result until the next calculation.
    QCOMPARE(result->text(), app.Context().Text("FrmDayCalc", "lbResult_Inval"));
    QVERIFY(calculate->isEnabled());
    QTest::mouseClick(calculate, Qt::LeftButton);
    QCOMPARE(result->text(), QStringLiteral("Total: 365 days"));
    QCOMPARE(combined->text(), QStringLiteral("Counted: 261 days"));
}

void DayCalculatorTest::refusesFromAfterTo() {
    test::TestApp app;
    auto year = test::OpenYear(app, 2026, 1, 1);
    gui::DayCalculatorDialog calc(*year);
    test::Child<gui::CivilDateEdit>(calc, "dtpFrom")->SetDate({2, 1, 2026});
    test::Child<gui::CivilDateEdit>(calc, "dtpTo")->SetDate({1, 1, 2026});
    QTest::mouseClick(test::Child<QPushButton>(calc, "btnCalc"), Qt::LeftButton);
    QCOMPARE(app.Dialogs().told.size(), 1);
    QVERIFY(app.Dialogs().told.value(0).contains(QStringLiteral("lies after")));
    QCOMPARE(test::Child<QLabel>(calc, "lbResult")->text(),
             app.Context().Text("FrmDayCalc", "lbResult_Inval"));
}

QTEST_MAIN(DayCalculatorTest)
#include "day_calculator_test.moc"
