// The iCalendar import dialog, filled in by keys: group, expansion years, Enter.
#include "ui/ics_import_dialog.h"

#include <QComboBox>
#include <QSpinBox>
#include <QTest>

#include "support/test_app.h"
#include "support/year_for_tools.h"

using namespace yorbel;

class IcsImportDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void keysChooseGroupAndYears();
};

void IcsImportDialogTest::keysChooseGroupAndYears() {
    test::TestApp app;
    gui::IcsImportDialog dialog(nullptr, app.Context(), {std::nullopt, 2026, 2028});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* group = test::Child<QComboBox>(dialog, "cbGroup");
    auto* from = test::Child<QSpinBox>(dialog, "ebFrom");
    auto* to = test::Child<QSpinBox>(dialog, "ebTo");
    // Without a proposed group the lowest number is offered.
    QCOMPARE(dialog.Choice(), (gui::IcsImportChoice{test::kShownGroup, 2026, 2028}));

    QTest::keyClick(group, Qt::Key_Down);
    QTest::keyClick(from, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(from, QStringLiteral("2030"));
    // The last year follows a first year typed past it, and cannot be typed before it.
    QCOMPARE(to->value(), 2030);
    QTest::keyClick(to, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(to, QStringLiteral("2029"));
    QTest::keyClick(to, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Choice(), (gui::IcsImportChoice{test::kHiddenGroup, 2030, 2030}));
}

QTEST_MAIN(IcsImportDialogTest)
#include "ics_import_dialog_test.moc"
