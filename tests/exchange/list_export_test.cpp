#include "exchange/list_export.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace yorbel::exchange {
namespace {

namespace fs = std::filesystem;

std::string Dotted(const calendar::CivilDate& d) {
    return std::to_string(d.day) + "." + std::to_string(d.month) + "." + std::to_string(d.year);
}

TEST(ListExportTest, WritesTheRowsOfShownGroupsInListOrder) {
    const std::vector<data::ListRow> rows{
        {7, 1, "20260330", "20260405", "Trip, \"long\""},
        {3, 2, "20260101", "", "Hidden meanwhile"},
        {2, 1, "20260101", "", "New Year"},
    };
    const fs::path file =
        fs::temp_directory_path() / ("yorbel_list_export_" + std::to_string(::getpid()) + ".csv");
    const int written =
        ExportList(rows, file, ",", Dotted, [](std::int32_t group) { return group == 1; });
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    fs::remove(file);
    EXPECT_EQ(written, 2);
    EXPECT_EQ(text,
              "7,1,20260330,20260405,30.3.2026,5.4.2026,1,\"Trip, \"\"long\"\"\"\r\n"
              "2,1,20260101,,1.1.2026,,1,New Year\r\n");
}

}  // namespace
}  // namespace yorbel::exchange
