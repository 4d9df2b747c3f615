// yorbel-cli render, run as a program: the picture's size and format, event colours at
// the cells the year window's layout puts their days in, and failures that leave an
// existing output alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../data/event_rows.h"
#include "cli/year_picture.h"
#include "cli_support.h"
#include "data/events.h"
#include "data/groups.h"
#include "data/table_file.h"

namespace {

namespace fs = std::filesystem;
using namespace yorbel::data;
using Result = yorbel::cli::testing::CliResult;

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class CliRender : public ::testing::Test {
  protected:
    fs::path folder = fs::temp_directory_path() /
                      ("yorbel_cli_render_" + std::to_string(::getpid()) + "_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::path calendar = folder / "test.yrb";
    fs::path groups = folder / "groups.yrg";

    void SetUp() override {
        fs::create_directories(folder);
        Groups g(folder);
        Table& gt = g.CdsGroups();
        // Windows colour values (0x00BBGGRR): red, green, and blue in a hidden group.
        for (const auto& [color, show] :
             {std::pair{0x0000FF, 1}, std::pair{0x00FF00, 1}, std::pair{0xFF0000, 0}}) {
            gt.Append();
            gt.SetText(Gp_name, "group " + std::to_string(color));
            gt.SetInteger(Gp_color, color);
            gt.SetInteger(Gp_show, show);
            gt.Post();
        }
        SaveTable(gt, groups);
        EventTables tables(gt);
        Table& e = tables.CdsEvents();
        auto add = [&](int repeat, const std::string& from, const std::string& to, int group) {
            yorbel::data::testing::AppendEvent(e, "event", to.empty() ? 0 : 1, repeat, from, to,
                                               group);
            e.Post();
        };
        add(0, "20270314", "", 1);  // a Sunday
        add(RepeatYearly, "19990501", "", 2);
        add(0, "20271230", "20280102", 2);  // a period across the new year
        add(0, "20270606", "", 3);          // hidden: no colour
        tables.SaveCalendarAs(calendar);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    Result Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"render", calendar.string(), "--groups", groups.string()});
        return yorbel::cli::testing::RunCliProgram(args, folder / "stderr.txt");
    }
};

TEST_F(CliRender, PngOfTheAskedSizeShowsEventColoursAtTheirDays) {
    const fs::path png = folder / "year.png";
    const Result r = Run({"--year", "2027", "-o", png.string(), "--size", "900x600"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage image(QString::fromStdString(png.string()));
    ASSERT_EQ(image.size(), QSize(900, 600));

    // Where the days are: the window's layout for the size, and the grid its painter fills.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    yorbel::cli::YearPictureSpec picture;
    picture.year = 2027;
    picture.size = QSize(900, 600);
    QImage scratch(picture.size.value(), QImage::Format_RGB32);
    QPainter painter(&scratch);
    yorbel::gui::DayGrid grid;
    const yorbel::gui::YearLayout layout = DrawYearPicture(painter, picture, grid);

    // The lower left corner of a day's cell is clear of its right-aligned number.
    const auto colour_of = [&](int month, int day) {
        const QRect cell = layout.DayCellRect(grid, month, day);
        if (cell.isEmpty()) return QColor();
        return image.pixelColor(cell.left() + 1, cell.bottom() - 1);
    };
    EXPECT_EQ(colour_of(3, 14), QColor(Qt::red));
    EXPECT_EQ(colour_of(5, 1), QColor(Qt::green));
    EXPECT_EQ(colour_of(12, 30), QColor(Qt::green));
    EXPECT_EQ(colour_of(12, 31), QColor(Qt::green));
    EXPECT_EQ(colour_of(6, 6), QColor(Qt::white));
    EXPECT_EQ(colour_of(5, 2), QColor(Qt::white));
}

TEST_F(CliRender, PdfIsOnePageAndSvgIsVectors) {
    const fs::path pdf = folder / "year.PDF";
    Result r = Run({"--year=2027", "--output", pdf.string(), "--language", "de"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bytes = FileBytes(pdf);
    ASSERT_TRUE(bytes.starts_with("%PDF"));
    std::size_t pages = 0;
    for (std::size_t at = bytes.find("/Type /Page"); at != std::string::npos;
         at = bytes.find("/Type /Page", at + 1))
        pages += bytes.compare(at, 12, "/Type /Pages") != 0;
    EXPECT_EQ(pages, 1u);

    const fs::path svg = folder / "year.svg";
    r = Run({"--year", "2027", "-o", svg.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(FileBytes(svg).find("<svg"), std::string::npos);
}

TEST_F(CliRender, FailuresLeaveAnExistingOutputAlone) {
    const fs::path png = folder / "year.png";
    std::ofstream(png) << "old";
    EXPECT_EQ(Run({"--year", "2027", "-o", (folder / "year.gif").string()}).status, 2);
    EXPECT_EQ(Run({"-o", png.string()}).status, 2);
    EXPECT_EQ(Run({"--year", "2027", "-o", png.string(), "--size", "900"}).status, 2);
    EXPECT_EQ(Run({"--year", "2027", "-o", png.string(), "--language", "fr"}).status, 2);

    std::ofstream(calendar, std::ios::trunc) << "not a table file";
    const Result r = Run({"--year", "2027", "-o", png.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(FileBytes(png), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4)
        << "no temporary file is left behind";
}

}  // namespace
