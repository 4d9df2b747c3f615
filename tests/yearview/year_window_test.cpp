// The year window with a real calendar: hit testing against the drawn grid, marking,
// inspect mode and its hint, keyboard navigation, the caption and broken rules.
#include "yearview/year_window.h"

#include <QMenu>
#include <QtTest>
#include <memory>
#include <optional>
#include <string>

#include "data/event_rules.h"
#include "data/events.h"
#include "paint/win_color.h"
#include "support/test_app.h"

using namespace yorbel;
using namespace yorbel::gui;
using test::EventRow;

namespace {

// A window on a calendar, shown at a fixed size, the year 2026, 15 March marked.
std::unique_ptr<YearWindow> OpenWindow(test::TestApp& app, const QString& path,
                                       bool read_only = false) {
    auto window =
        std::make_unique<YearWindow>(app.Context(), 2026, read_only, 1, 15, 3, app::CalendarLock{});
    window->resize(1000, 640);
    QString error;
    if (!window->OpenCalendar(path, &error)) return nullptr;
    window->show();
    return window;
}

QPoint CellCentre(const YearWindow& window, int month, int day) {
    return window.DayCellRect(month, day).center();
}

// A plain pointer move without buttons, as the platform sends it while the pointer is
// over the window.
void MoveMouse(QWidget* widget, QPoint point) {
    QMouseEvent move(QEvent::MouseMove, point, widget->mapToGlobal(point), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

QStringList EventNames(const YearWindow& window) {
    QStringList names;
    const data::Table& events = window.EventsTable();
    for (int i = 0; i < events.RecordCount(); ++i)
        names << QString::fromStdString(data::TextOrEmpty(events.ValueAt(i, data::Ev_name)));
    return names;
}

}  // namespace

class YearWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestApp> app_;
    QString calendar_;

  private slots:
    void init() {
        app_ = std::make_unique<test::TestApp>();
        calendar_ =
            app_->MakeCalendar(QStringLiteral("Plan.yrb"),
                               {EventRow{"Hidden first", 0, 1, "20200214", "", test::kHiddenGroup},
                                EventRow{"Valentine", 0, 1, "20200214", ""},
                                EventRow{"Holiday", 1, 0, "20260803", "20260807"}});
    }

    void hitTestFindsEveryDrawnDay() {
        auto window = OpenWindow(*app_, calendar_);
        QVERIFY(window);
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= 28; ++day) {
                const QRect cell = window->DayCellRect(month, day);
                QVERIFY(!cell.isEmpty());
                for (const QPoint p : {cell.topLeft(), cell.center(), cell.bottomRight()}) {
                    const auto hit = window->HitTest(p);
                    QVERIFY2(hit && hit->Month == month && hit->Day == day,
                             qPrintable(QStringLiteral("%1/%2").arg(day).arg(month)));
                }
            }
        // Month names, weekday heads, week numbers, margins and empty cells are no day.
        const YearLayout& layout = window->Layout();
        QVERIFY(!window->HitTest(layout.CellRect(1, 3, 0).center()));  // month name
        QVERIFY(!window->HitTest(layout.CellRect(1, 3, 1).center()));  // weekday head
        QVERIFY(!window->HitTest(layout.CellRect(1, 0, 2).center()));  // week number
        QVERIFY(!window->HitTest(QPoint(2, 2)));
        QVERIFY(!window->HitTest(layout.CellRect(1, 1, 2).center()));  // before 1 January 2026
        QVERIFY(!window->HitTest(QPoint(-5, 40)));
        QVERIFY(!window->HitTest(QPoint(5000, 5000)));
    }

    void pressMarksAndPressOutsideChangesNothing() {
        auto window = OpenWindow(*app_, calendar_);
        QTest::mouseClick(window.get(), Qt::LeftButton, {}, CellCentre(*window, 7, 20));
        QCOMPARE(window->SelectedMonth(), 7);
        QCOMPARE(window->SelectedDay(), 20);
        // The mark is painted in the mark colour; the old mark is gone.
        const QImage bitmap = window->Bitmap().toImage();
        const qreal ratio = window->Bitmap().devicePixelRatio();
        const auto pixel = [&](int month, int day) {
            const QRect cell = window->DayCellRect(month, day);
            return bitmap.pixelColor(QPoint(cell.left() + 1, cell.top() + 1) * ratio);
        };
        QCOMPARE(pixel(7, 20), QColor(Qt::yellow));
        QCOMPARE(pixel(3, 15), QColor(Qt::white));
        // Events of shown groups colour their days; a hidden group's event before a shown
        // one on the same day does not hide it.
        QCOMPARE(pixel(8, 5), WinColorToQColor(test::kShownColor));
        QCOMPARE(pixel(2, 14), WinColorToQColor(test::kShownColor));

        window->SetInspectMode(true);
        QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY(window->InspectMode());
        QCOMPARE(window->SelectedDay(), 0);
        // A right press on a day marks it (before the popup menu) and ends inspect mode.
        QTest::mousePress(window.get(), Qt::RightButton, {}, CellCentre(*window, 2, 14));
        QVERIFY(!window->InspectMode());
        QCOMPARE(window->SelectedMonth(), 2);
        QCOMPARE(window->SelectedDay(), 14);
    }

    void inspectorHintListsShownEventsOnly() {
        auto window = OpenWindow(*app_, calendar_);
        window->SetInspectMode(true);
        QCOMPARE(window->SelectedDay(), 0);
        MoveMouse(window.get(), CellCentre(*window, 2, 14));
        QVERIFY(window->HintVisible());
        QCOMPARE(window->HoverMonth(), 2);
        QCOMPARE(window->HoverDay(), 14);
        const QStringList lines = window->HintText().split(QLatin1Char('\n'));
        QVERIFY2(lines.size() >= 11, qPrintable(window->HintText()));
        QVERIFY(lines[0].contains(QStringLiteral("14. ")) &&
                lines[0].endsWith(QStringLiteral("2026")));
        QVERIFY(lines[0].startsWith(QLocale::system().dayName(6)));  // a Saturday
        QVERIFY(lines[2].startsWith(QStringLiteral("Week 7 / ")));
        QVERIFY(lines[3].startsWith(QStringLiteral("Day 45 / 320")));
        QVERIFY(lines[6].startsWith(QStringLiteral("S: ")));
        QVERIFY(lines[7].startsWith(QStringLiteral("M: ")));
        QCOMPARE(lines[8], QStringLiteral("Europe/Berlin, standard time"));  // whose clock
        QCOMPARE(lines.mid(10), QStringList{QStringLiteral("Valentine")});

        // The hint box stays inside the window near its right and bottom edges.
        MoveMouse(window.get(), CellCentre(*window, 12, 30));
        QCOMPARE(window->HoverMonth(), 12);
        const QWidget* hint = window->findChild<QWidget*>(QStringLiteral("mmHint"));
        QVERIFY(hint);
        QVERIFY(window->rect().contains(hint->geometry()));

        // Off the day area the frame and the box go away.
        MoveMouse(window.get(), QPoint(3, 3));
        QVERIFY(!window->HintVisible());
        QCOMPARE(window->HoverDay(), 0);
    }

    void keyboardMovesTheMarkAndTheYear() {
        auto window = OpenWindow(*app_, calendar_);
        window->setFocus();
        QTest::keyClick(window.get(), Qt::Key_Right);
        QCOMPARE(window->SelectedDay(), 16);
        QTest::keyClick(window.get(), Qt::Key_Down);
        QCOMPARE(window->SelectedDay(), 23);
        QTest::keyClick(window.get(), Qt::Key_Up);
        QTest::keyClick(window.get(), Qt::Key_Up);
        QTest::keyClick(window.get(), Qt::Key_Up);
        QCOMPARE(window->SelectedMonth(), 3);  // 23 March - 21 days
        QCOMPARE(window->SelectedDay(), 2);
        QTest::keyClick(window.get(), Qt::Key_PageDown);
        QCOMPARE(window->ShownYear(), 2027);
        QCOMPARE(window->SelectedMonth(), 3);  // the mark keeps its day and month
        QCOMPARE(window->SelectedDay(), 2);
        QTest::keyClick(window.get(), Qt::Key_PageUp);
        QTest::keyClick(window.get(), Qt::Key_PageUp);
        QCOMPARE(window->ShownYear(), 2025);

        // Moving past the end of the year shows the next one.
        QTest::mouseClick(window.get(), Qt::LeftButton, {}, CellCentre(*window, 12, 31));
        QTest::keyClick(window.get(), Qt::Key_Right);
        QCOMPARE(window->ShownYear(), 2026);
        QCOMPARE(window->SelectedMonth(), 1);
        QCOMPARE(window->SelectedDay(), 1);
        // The year range ends at 1 and 9999.
        QVERIFY(!window->ShowYear(0));
        QVERIFY(!window->ShowYear(10000));
        QVERIFY(window->ShowYear(9999));
        QTest::keyClick(window.get(), Qt::Key_PageDown);
        QCOMPARE(window->ShownYear(), 9999);
    }

    void markedLeapDaySurvivesACommonYear() {
        auto window = OpenWindow(*app_, calendar_);
        QVERIFY(window->ShowYear(2028));
        QTest::mouseClick(window.get(), Qt::LeftButton, {}, CellCentre(*window, 2, 29));
        QVERIFY(window->ShowYear(2027));
        QCOMPARE(window->SelectedDay(), 29);
        QVERIFY(window->DayCellRect(2, 29).isEmpty());
        // The arrow keys go on from the month's last day.
        window->setFocus();
        QTest::keyClick(window.get(), Qt::Key_Right);
        QCOMPARE(window->SelectedMonth(), 3);
        QCOMPARE(window->SelectedDay(), 1);
    }

    void eventCommandsGoThroughTheEditorAndRefresh() {
        std::optional<int> asked_ev;
        std::string asked_name;
        calendar::CivilDate asked_date;
        app_->Context().EventEditor =
            [&](YearWindowLink&, const std::optional<data::EventValue>& event,
                const calendar::CivilDate& date) -> std::optional<data::EventEdit> {
            asked_ev = event ? std::optional<int>(1) : std::nullopt;  // edit mode
            asked_date = date;
            if (event) {
                asked_name = event->name;
                return std::nullopt;  // the edit is cancelled
            }
            return data::EventEdit{"Added", test::kShownGroup, data::OnceRule{date}};
        };
        auto window = OpenWindow(*app_, calendar_);
        QVERIFY(window->PopupMenu()->actions()[0]->isEnabled());

        // New event on the day a right click marked: the window writes the value, paints
        // it, and the calendar counts as changed.
        QTest::mousePress(window.get(), Qt::RightButton, {}, CellCentre(*window, 10, 21));
        QVERIFY(window->NewEvent());
        QVERIFY(!asked_ev);
        QCOMPARE(asked_date, (calendar::CivilDate{21, 10, 2026}));
        QVERIFY(window->isWindowModified());
        QCOMPARE(window->Calendar().CdsEvents().RecordCount(), 4);
        const QRect cell = window->DayCellRect(10, 21);
        QCOMPARE(window->Bitmap().toImage().pixelColor((cell.topLeft() + QPoint(1, 1)) *
                                                       window->Bitmap().devicePixelRatio()),
                 QColor(Qt::yellow));  // still marked
        QTest::mouseClick(window.get(), Qt::LeftButton, {}, CellCentre(*window, 10, 22));
        QCOMPARE(window->Bitmap().toImage().pixelColor((cell.topLeft() + QPoint(1, 1)) *
                                                       window->Bitmap().devicePixelRatio()),
                 WinColorToQColor(test::kShownColor));

        // Edit event takes the first event of the day, of a hidden group too.
        QTest::mouseClick(window.get(), Qt::LeftButton, {}, CellCentre(*window, 2, 14));
        QVERIFY(!window->EditEvent());  // cancelled
        QCOMPARE(asked_ev, std::optional<int>(1));
        QCOMPARE(asked_name, std::string("Hidden first"));
        // A day without events asks nothing.
        asked_ev.reset();
        QTest::mouseClick(window.get(), Qt::LeftButton, {}, CellCentre(*window, 2, 16));
        QVERIFY(!window->EditEvent());
        QVERIFY(!asked_ev);
    }

    void captionNamesFileYearAndChanges() {
        auto window = OpenWindow(*app_, calendar_);
        QCOMPARE(window->windowTitle(), QStringLiteral("Plan[*] - Year 2026"));
        QVERIFY(!window->isWindowModified());
        window->SetModified();
        QVERIFY(window->isWindowModified());
        window->ShowYear(2030);
        QCOMPARE(window->windowTitle(), QStringLiteral("Plan[*] - Year 2030"));

        YearWindow untitled(app_->Context(), 2026, false, 7, 1, 1, app::CalendarLock{});
        QVERIFY(untitled.OpenCalendar(QString(), nullptr));
        QCOMPARE(untitled.windowTitle(), QStringLiteral("Untitled 7[*] - Year 2026"));
    }

    void brokenRulesAreNamedOnce() {
        const QString path = app_->MakeCalendar(
            QStringLiteral("Broken.yrb"),
            {EventRow{"Good", 0, 1, "20200101", ""}, EventRow{"Bad Easter", 0, 3, "x7", ""},
             EventRow{"After", 0, 1, "20200102", ""}});
        test::ScriptedDialogs& dialogs = app_->Dialogs();
        dialogs.ask_answers = {QMessageBox::Cancel};  // Keep
        auto window = OpenWindow(*app_, path);
        QVERIFY(window);
        QCOMPARE(dialogs.asked.size(), 1);
        QVERIFY(dialogs.asked[0].contains(QStringLiteral("Bad Easter")));
        QVERIFY(!dialogs.asked[0].contains(QStringLiteral("Good")));
        // Kept: every event stays and nothing counts as changed.
        QCOMPARE(EventNames(*window), QStringList({"Good", "Bad Easter", "After"}));
        QVERIFY(!window->Modified());
        QVERIFY(!window->isWindowModified());
        // The events after the broken one still have their days.
        const auto colour = window->Bitmap().toImage().pixelColor(
            (window->DayCellRect(1, 2).topLeft() + QPoint(1, 1)) *
            window->Bitmap().devicePixelRatio());
        QCOMPARE(colour, WinColorToQColor(test::kShownColor));
        window->ShowYear(2027);
        QCOMPARE(dialogs.asked.size(), 1);
        QCOMPARE(dialogs.unexpected, 0);
    }

    void brokenEventsAreDeletedOnlyWhenAskedTo() {
        const QString path = app_->MakeCalendar(
            QStringLiteral("Broken.yrb"),
            {EventRow{"Good", 0, 1, "20200101", ""}, EventRow{"Bad Easter", 0, 3, "x7", ""}});
        test::ScriptedDialogs& dialogs = app_->Dialogs();
        // A read-only window cannot delete, so it only tells.
        QVERIFY(OpenWindow(*app_, path, true));
        QCOMPARE(dialogs.told.size(), 1);
        QVERIFY(dialogs.asked.isEmpty());

        dialogs.ask_answers = {QMessageBox::Discard};
        auto window = OpenWindow(*app_, path);
        QVERIFY(window);
        QCOMPARE(dialogs.asked.size(), 1);
        QCOMPARE(EventNames(*window), QStringList({"Good"}));
        QVERIFY(window->Modified());
        QVERIFY(window->isWindowModified());
        window->ShowYear(2027);
        QCOMPARE(dialogs.asked.size(), 1);
        QCOMPARE(dialogs.told.size(), 1);
        QCOMPARE(dialogs.unexpected, 0);
    }

    void unreadableFileOpensNoWindow() {
        QFile junk(app_->Path(QStringLiteral("junk.yrb")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("this is not a calendar");
        junk.close();
        YearWindow window(app_->Context(), 2026, false, 1, 1, 1, app::CalendarLock{});
        QString error;
        QVERIFY(!window.OpenCalendar(junk.fileName(), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!window.OpenCalendar(app_->Path(QStringLiteral("missing.yrb")), &error));
    }
};

QTEST_MAIN(YearWindowTest)
#include "year_window_test.moc"
