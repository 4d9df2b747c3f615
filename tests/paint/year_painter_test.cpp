// The year grid's layout and painting, drawn into images and read back pixel by pixel.
#include "paint/year_painter.h"

#include <QImage>
#include <QPainter>
#include <QtTest>
#include <map>
#include <string>
#include <vector>

#include "paint/win_color.h"

using namespace yorbel::gui;

namespace {

constexpr int kMonday = 1;  // weekday numbers, 0 Sunday
constexpr int kSunday = 0;

YearStyle TestStyle(int week_start = kMonday, bool gregorian = true) {
    YearStyle style;
    style.Gregorian = gregorian;
    style.WeekStart = yorbel::calendar::WeekdayFromNumber(week_start);
    style.WeekOneRule = yorbel::calendar::WeekRule::FourDaysInJanuary;
    style.FontName = QStringLiteral("DejaVu Sans");
    style.WeekLabel = QStringLiteral("Wk");
    FillLocaleNames(style);
    return style;
}

// Most common colour inside a rectangle: the cell's background, whatever the digits.
QRgb Background(const QImage& image, const QRect& cell) {
    std::map<QRgb, int> counts;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) ++counts[image.pixel(x, y)];
    return std::max_element(counts.begin(), counts.end(),
                            [](auto& a, auto& b) { return a.second < b.second; })
        ->first;
}

bool HasColour(const QImage& image, const QRect& cell, QColor colour, int tolerance = 60) {
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                tolerance)
                return true;
        }
    return false;
}

struct Drawing {
    QImage image;
    DayGrid grid;
    YearLayout layout;
};

Drawing Draw(const YearStyle& style, const DayColorSource& colours, int year, int marked_month,
             int marked_day, bool marks) {
    Drawing d;
    d.layout = ScreenLayout(1000, 700);
    d.image = QImage(1000, 700, QImage::Format_RGB32);
    d.image.fill(Qt::white);
    QPainter painter(&d.image);
    painter.setFont(YearFont(style.FontName, d.layout.RowHeight));
    YearPainter(style, colours)
        .DrawMonths(painter, d.layout, year, d.grid, marked_month, marked_day, marks);
    return d;
}

QRect Cell(const Drawing& d, int month, int day) {
    const auto at = d.grid.Find(month, day);
    if (!at) return {};
    return d.layout.CellRect(month, at->x() + 1, at->y() + 2);
}

}  // namespace

class YearPainterTest : public QObject {
    Q_OBJECT

  private slots:
    void gridPlacesDaysUnderTheirWeekdays_data() {
        QTest::addColumn<int>("weekStart");
        QTest::addColumn<bool>("gregorian");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        // 1 January 2026 is a Thursday.
        QTest::newRow("Thursday start, Monday weeks")
            << kMonday << true << 2026 << 1 << 1 << 3 << 0;
        // 1 February 2026 is a Sunday: last column with Monday weeks, first with Sunday weeks.
        QTest::newRow("Sunday 1st, Monday weeks") << kMonday << true << 2026 << 2 << 1 << 6 << 0;
        QTest::newRow("Sunday 1st, Sunday weeks") << kSunday << true << 2026 << 2 << 1 << 0 << 0;
        // March 2026 begins on a Sunday and has 31 days: it needs all six rows.
        QTest::newRow("six rows") << kMonday << true << 2026 << 3 << 31 << 1 << 5;
        // 29 February 1900 exists only in the Julian calendar.
        QTest::newRow("Julian leap day") << kMonday << false << 1900 << 2 << 29 << -1 << -1;
    }

    void gridPlacesDaysUnderTheirWeekdays() {
        QFETCH(int, weekStart);
        QFETCH(bool, gregorian);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(int, column);
        QFETCH(int, row);
        const YearStyle style = TestStyle(weekStart, gregorian);
        const Drawing d = Draw(style, {}, year, 0, 0, true);
        const auto at = d.grid.Find(month, day);
        QVERIFY(at.has_value());
        if (column >= 0) {
            QCOMPARE(at->x(), column);
            QCOMPARE(at->y(), row);
        }
        // Every day of every month is drawn exactly once, and nothing else is.
        for (int m = 1; m <= 12; ++m) {
            std::map<int, int> seen;
            for (int r = 0; r < 6; ++r)
                for (int c = 0; c < 7; ++c)
                    if (d.grid.Day(m, c, r) > 0) ++seen[d.grid.Day(m, c, r)];
            QVERIFY(!seen.empty());
            QCOMPARE(seen.begin()->first, 1);
            QCOMPARE(static_cast<int>(seen.size()), seen.rbegin()->first);
            for (const auto& [_, count] : seen) QCOMPARE(count, 1);
        }
    }

    void julianFebruary1900HasTwentyNineDaysGregorianTwentyEight() {
        QVERIFY(Draw(TestStyle(kMonday, false), {}, 1900, 0, 0, true).grid.Find(2, 29));
        QVERIFY(!Draw(TestStyle(kMonday, true), {}, 1900, 0, 0, true).grid.Find(2, 29));
    }

    void sundayEventAndMarkColours() {
        YearStyle style = TestStyle();
        style.SundayText = 0x0000FF;  // red
        style.SundayBack = 0xE0E0FF;  // pale red
        const std::int32_t green = 0x00A000;
        // 8 February 2026 (a Sunday) and 10 February carry a shown event.
        const DayColorSource colours = [green](const std::string& date, std::int32_t fallback) {
            return date == "20260208" || date == "20260210" ? green : fallback;
        };
        const Drawing d = Draw(style, colours, 2026, 2, 12, true);

        // A plain Sunday: Sunday background, Sunday digits.
        QCOMPARE(QColor(Background(d.image, Cell(d, 2, 1))), WinColorToQColor(style.SundayBack));
        QVERIFY(HasColour(d.image, Cell(d, 2, 1), Qt::red));
        // An event replaces the Sunday background but keeps the red digits.
        QCOMPARE(QColor(Background(d.image, Cell(d, 2, 8))), WinColorToQColor(green));
        QVERIFY(HasColour(d.image, Cell(d, 2, 8), Qt::red));
        // A weekday with an event: event background, black digits.
        QCOMPARE(QColor(Background(d.image, Cell(d, 2, 10))), WinColorToQColor(green));
        QVERIFY(!HasColour(d.image, Cell(d, 2, 10), Qt::red));
        // The mark: yellow, whatever the event.
        QCOMPARE(QColor(Background(d.image, Cell(d, 2, 12))), QColor(Qt::yellow));
        QCOMPARE(QColor(Background(d.image, Cell(d, 2, 11))), QColor(Qt::white));
    }

    void marksAreNotDrawnWhenDisabled() {
        const Drawing d = Draw(TestStyle(), {}, 2026, 5, 15, false);
        QCOMPARE(QColor(Background(d.image, Cell(d, 5, 15))), QColor(Qt::white));
    }

    void inspectorFrameKeepsTheCell() {
        YearStyle style = TestStyle();
        Drawing d = Draw(style, {}, 2026, 0, 0, true);
        const QRect cell = Cell(d, 4, 14);
        const QImage before = d.image.copy(cell.adjusted(1, 1, -1, -1));
        QPainter painter(&d.image);
        painter.setFont(YearFont(style.FontName, d.layout.RowHeight));
        const YearPainter year(style, {});
        QCOMPARE(year.RedrawDay(painter, d.layout, d.grid, 2026, 4, 14, CellState::Frame), cell);
        painter.end();
        QCOMPARE(d.image.pixelColor(cell.topLeft()), QColor(0, 0, 128));
        QCOMPARE(d.image.pixelColor(cell.bottomRight()), QColor(0, 0, 128));
        QCOMPARE(d.image.copy(cell.adjusted(1, 1, -1, -1)), before);
        // A day the grid does not hold is not drawn anywhere.
        QPainter again(&d.image);
        QVERIFY(year.RedrawDay(again, d.layout, d.grid, 2026, 2, 30, CellState::Marked).isEmpty());
        QVERIFY(year.RedrawDay(again, d.layout, d.grid, 2026, 13, 1, CellState::Marked).isEmpty());
    }

    void weekColumnShowsWeekNumbers() {
        YearStyle style = TestStyle();
        style.WeekBack = 0xFFE0E0;  // pale blue
        const Drawing d = Draw(style, {}, 2026, 0, 0, true);
        // Rows 1 to 7 of column 0 carry the week background, row 0 (month name) does not.
        QCOMPARE(QColor(Background(d.image, d.layout.CellRect(5, 0, 3))),
                 WinColorToQColor(style.WeekBack));
        QCOMPARE(QColor(Background(d.image, d.layout.CellRect(5, 0, 0))), QColor(Qt::white));
        // A week number is drawn in the week text colour (grey).
        QVERIFY(
            HasColour(d.image, d.layout.CellRect(5, 0, 3), WinColorToQColor(style.WeekText), 40));
    }

    void screenAndPageLayouts() {
        const YearLayout screen = ScreenLayout(850, 430);
        QCOMPARE(screen.MonthWidth, 200);
        QCOMPARE(screen.MonthHeight, 120);
        QCOMPARE(screen.CellWidth, 25);
        QCOMPARE(screen.RowHeight, 15);
        QCOMPARE(screen.MonthOrigin(6), QPoint(10 + 210, 10 + 130));
        // A window too small for the grid gives empty measures, not negative ones.
        QCOMPARE(ScreenLayout(20, 20).CellWidth, 0);

        // Portrait: only the upper part of height PW / 1.4 is used.
        const PageLayout portrait = PrintLayout(2100, 2970);
        QCOMPARE(portrait.UsedHeight, 1500);
        QCOMPARE(portrait.Layout.Margin, 35);
        QCOMPARE(portrait.Layout.MonthWidth, (2100 - 5 * 35) / 4);
        QCOMPARE(portrait.Layout.MonthHeight, (1500 - 4 * 35 - 30) / 3);
        // Wide landscape: the whole page height.
        QCOMPARE(PrintLayout(2970, 2100).UsedHeight, 2100);

        QCOMPARE(AdaptedWindowSize(20, -13), QSize(770, 430));
    }

    // Every pixel of a screen and of a page layout (wider margins) hits exactly the day
    // whose cell holds it, and nothing outside the day cells.
    void hitTestMatchesTheDrawnCells() {
        const Drawing d = Draw(TestStyle(), {}, 2026, 0, 0, true);
        for (const YearLayout& layout : {d.layout, PrintLayout(1200, 900).Layout}) {
            const QRect area(-2, -2, layout.CellRect(12, 8, 8).right() + 20,
                             layout.CellRect(12, 8, 8).bottom() + 20);
            std::vector<int> expected(static_cast<std::size_t>(area.width() * area.height()), 0);
            const auto at = [&area](int x, int y) {
                return static_cast<std::size_t>((y - area.top()) * area.width() + x - area.left());
            };
            int days = 0;
            for (int month = 1; month <= 12; ++month)
                for (int day = 1; day <= 31; ++day) {
                    const QRect cell = layout.DayCellRect(d.grid, month, day);
                    if (cell.isEmpty()) continue;
                    ++days;
                    for (int y = cell.top(); y <= cell.bottom(); ++y)
                        for (int x = cell.left(); x <= cell.right(); ++x)
                            expected[at(x, y)] = month * 100 + day;
                }
            QCOMPARE(days, 365);
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x) {
                    const auto hit = layout.HitTest(d.grid, QPoint(x, y));
                    const int got = hit ? hit->Month * 100 + hit->Day : 0;
                    if (got != expected[at(x, y)])
                        QFAIL(qPrintable(QStringLiteral("%1,%2: %3 instead of %4")
                                             .arg(x)
                                             .arg(y)
                                             .arg(got)
                                             .arg(expected[at(x, y)])));
                }
        }
    }

    void printedPortraitPageUsesItsUpperPart() {
        YearStyle style = TestStyle();
        QImage page(1050, 1485, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            YearPainter(style, [](const std::string&, std::int32_t) {
                return 0x00A000;
            }).PrintYear(painter, 2026);
        }
        const int used = PrintLayout(1050, 1485).UsedHeight;
        bool drawnAbove = false;
        for (int y = 0; y < used && !drawnAbove; y += 3)
            for (int x = 0; x < page.width() && !drawnAbove; x += 3)
                drawnAbove = page.pixelColor(x, y) == QColor(0, 160, 0);
        QVERIFY(drawnAbove);
        for (int y = used + 1; y < page.height(); y += 5)
            for (int x = 0; x < page.width(); x += 5)
                QCOMPARE(page.pixelColor(x, y), QColor(Qt::white));
    }

    // Day numbers stand in the middle of their cells, however wide the cells are.
    void dayNumbersAreCentredInTheirCells() {
        const YearStyle style = TestStyle();
        Drawing d;
        d.layout = ScreenLayout(1600, 500);
        QVERIFY(d.layout.CellWidth > 2 * d.layout.RowHeight);
        d.image = QImage(1600, 500, QImage::Format_RGB32);
        d.image.fill(Qt::white);
        {
            QPainter painter(&d.image);
            painter.setFont(YearFont(style.FontName, d.layout.RowHeight));
            YearPainter(style, {}).DrawMonths(painter, d.layout, 2026, d.grid, 0, 0, false);
        }
        for (const int day : {6, 15}) {  // Tuesdays in January 2026: black on white
            const QRect cell = Cell(d, 1, day);
            int left = cell.right();
            int right = cell.left();
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    if (qGray(d.image.pixel(x, y)) < 128) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
            QVERIFY(left < right);
            QVERIFY2(std::abs((left + right) / 2 - cell.center().x()) <= 2,
                     qPrintable(QStringLiteral("day %1: ink %2-%3 in cell %4-%5")
                                    .arg(day)
                                    .arg(left)
                                    .arg(right)
                                    .arg(cell.left())
                                    .arg(cell.right())));
        }
    }

    // The title stands centred above the grid and the legend below it, inside the page;
    // a portrait page keeps the grid's size, a wide landscape page shrinks it to make room.
    void printedPageHasTitleAboveAndLegendBelow_data() {
        QTest::addColumn<QSize>("page");
        QTest::newRow("portrait") << QSize(1050, 1485);
        QTest::newRow("landscape") << QSize(1485, 1050);
    }

    void printedPageHasTitleAboveAndLegendBelow() {
        QFETCH(QSize, page);
        const YearStyle style = TestStyle();
        const QColor day_colour(0, 160, 0);
        const QColor legend_colour(255, 128, 0);
        PageText text{.Title = QStringLiteral("Family - Year 2026"), .Legend = {}};
        for (int i = 0; i < 25; ++i)  // more than one line holds
            text.Legend.push_back(
                {QStringLiteral("Group number %1").arg(i), QColorToWinColor(legend_colour)});
        QImage image(page, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            YearPainter(style, [&](const std::string& date, std::int32_t fallback) {
                return date == "20260101" || date == "20261231" ? QColorToWinColor(day_colour)
                                                                : fallback;
            }).PrintYear(painter, 2026, text);
        }
        const PageLayout whole = PrintLayout(page.width(), page.height());
        const PageTextPainter measures(text, style.FontName, whole.Layout.RowHeight, page.width(),
                                       whole.Layout.Margin, &image);
        QVERIFY(measures.EntryRects().back().top() > 0);

        QRect title_ink;
        QRect day_ink;
        QRect legend_ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c == day_colour) day_ink |= QRect(x, y, 1, 1);
                if (c == legend_colour) legend_ink |= QRect(x, y, 1, 1);
                if (y < measures.TitleBand() && qGray(c.rgb()) < 128)
                    title_ink |= QRect(x, y, 1, 1);
            }
        QVERIFY(!title_ink.isEmpty());
        QVERIFY(std::abs(title_ink.center().x() - page.width() / 2) <= 3);
        QVERIFY(title_ink.top() >= whole.Layout.Margin);
        QVERIFY(day_ink.top() >= measures.TitleBand());
        QVERIFY(legend_ink.top() > day_ink.bottom());
        QVERIFY(legend_ink.right() < page.width() - whole.Layout.Margin);
        QVERIFY(legend_ink.bottom() < page.height());
        if (page.height() > page.width()) {
            // 1 January's cell lies where it lay on a page without title, moved down.
            const QRect first = whole.Layout.CellRect(1, 4, 2).translated(0, measures.TitleBand());
            QCOMPARE(image.pixelColor(first.topLeft() + QPoint(2, 2)), day_colour);
            QCOMPARE(image.pixelColor(first.bottomRight() - QPoint(2, 2)), day_colour);
        }
    }

    void systemColourReferencesResolve() {
        QCOMPARE(WinColorToQColor(0x0000FF), QColor(255, 0, 0));
        QCOMPARE(WinColorToQColor(0x00FFFF), QColor(255, 255, 0));
        QCOMPARE(QColorToWinColor(QColor(0x12, 0x34, 0x56)), 0x563412);
        QVERIFY(WinColorToQColor(static_cast<std::int32_t>(0x80000018)).isValid());
    }
};

QTEST_MAIN(YearPainterTest)
#include "year_painter_test.moc"
