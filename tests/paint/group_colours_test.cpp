// The shipped groups' colours against what a day cell shows without a group: a group's
// days must not look plain, Sunday, marked or selected.
#include <QGuiApplication>
#include <QPalette>
#include <QtTest>
#include <cmath>
#include <filesystem>

#include "app/settings.h"
#include "data/groups.h"
#include "data/table_file.h"
#include "paint/win_color.h"

using namespace yorbel;

namespace {

struct Lab {
    double l, a, b;
};

Lab ToLab(const QColor& color) {
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double r = linear(color.redF()), g = linear(color.greenF()), b = linear(color.blueF());
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

// CIE76: about 2 is a just noticeable difference, above 20 two colours read as different.
double DeltaE(const QColor& one, const QColor& other) {
    const Lab p = ToLab(one), q = ToLab(other);
    return std::hypot(p.l - q.l, p.a - q.a, p.b - q.b);
}

constexpr double kDistinct = 20;

}  // namespace

class GroupColoursTest : public QObject {
    Q_OBJECT

  private slots:
    void shippedColoursStandApartFromTheDefaults() {
        const app::Settings defaults;
        const std::pair<const char*, QColor> seen[] = {
            {"a plain day", Qt::white},
            {"the Sunday text", gui::WinColorToQColor(defaults.VFarbeSonntag)},
            {"the Sunday background", gui::WinColorToQColor(defaults.HFarbeSonntag)},
            {"the mark", gui::WinColorToQColor(defaults.HFarbeMark)},
            {"the week numbers", gui::WinColorToQColor(defaults.VFarbeWochen)},
            {"a selection", QGuiApplication::palette().color(QPalette::Highlight)},
            {"an inactive selection",
             QGuiApplication::palette().color(QPalette::Inactive, QPalette::Highlight)},
        };
        for (const char* file : {"Groups_e.yrg", "Groups_d.yrg"}) {
            data::Groups groups{std::filesystem::path()};
            data::LoadTable(groups.CdsGroups(), std::filesystem::path(YORBEL_BIN_DIR) / file);
            data::Table& table = groups.CdsGroups();
            QVERIFY(table.RecordCount() >= 6);
            for (table.First(); !table.Eof(); table.Next()) {
                const QColor colour = gui::WinColorToQColor(table.AsInteger(data::Gp_color));
                const std::string name = table.AsText(data::Gp_name);
                for (const auto& [what, other] : seen) {
                    QVERIFY2(DeltaE(colour, other) > kDistinct,
                             qPrintable(QStringLiteral("%1 %2 looks like %3 %4")
                                            .arg(QString::fromStdString(name), colour.name(),
                                                 QLatin1String(what), other.name())));
                }
            }
        }
    }
};

QTEST_MAIN(GroupColoursTest)
#include "group_colours_test.moc"
