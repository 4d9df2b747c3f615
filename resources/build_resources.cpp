// Build-time tool: turns the text sources under resources/ into the table files shipped
// beside the program.
//
//   build_resources groups SOURCE.txt english|german OUT_FOLDER
//       Writes Groups_e.yrg or Groups_d.yrg into OUT_FOLDER from lines
//       "name;#RRGGBB;free 0|1;shown 0|1" ('#' lines and blank lines are comments).
//       The n-th group line gets group number n; the tool fails if the table store
//       numbers them otherwise, since the sample calendars rely on these numbers.
//
// Any fault ends the tool with a message naming the file and line and exit status 1, so
// a broken source stops the build instead of shipping a broken file.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/groups.h"
#include "data/table.h"
#include "data/table_file.h"

namespace fs = std::filesystem;
using namespace yorbel;

namespace {

struct SourceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const fs::path& file, int line, const std::string& what) {
    throw SourceError(file.string() + (line > 0 ? ":" + std::to_string(line) : "") + ": " + what);
}

std::vector<std::string> Split(std::string_view line, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t end = line.find(separator, start);
        parts.emplace_back(line.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "#RRGGBB" as the stored colour value 0x00BBGGRR.
std::int32_t ColourValue(const std::string& text, const fs::path& file, int line) {
    if (text.size() != 7 || text[0] != '#') Fail(file, line, "colour must be #RRGGBB: " + text);
    std::int32_t rgb = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        int d = HexDigit(text[i]);
        if (d < 0) Fail(file, line, "colour must be #RRGGBB: " + text);
        rgb = rgb * 16 + d;
    }
    const std::int32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return (b << 16) | (g << 8) | r;
}

bool Flag(const std::string& text, const fs::path& file, int line) {
    if (text != "0" && text != "1") Fail(file, line, "flag must be 0 or 1: " + text);
    return text == "1";
}

int BuildGroups(const fs::path& source, bool english, const fs::path& out_folder) {
    std::ifstream in(source, std::ios::binary);
    if (!in) Fail(source, 0, "cannot open");
    fs::create_directories(out_folder);
    data::Groups groups(out_folder);
    // A file left by an earlier build would keep its numbering; start from nothing.
    fs::remove(out_folder / (english ? data::kGroupFileEnglish : data::kGroupFileGerman));
    if (auto error = groups.LoadGroups(english)) throw *error;
    data::Table& table = groups.CdsGroups();

    std::string line;
    int line_no = 0;
    std::int32_t expected_no = 0;
    while (std::getline(in, line)) {
        ++line_no;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        auto parts = Split(line, ';');
        if (parts.size() != 4 || parts[0].empty()) {
            Fail(source, line_no, "expected name;#RRGGBB;free;shown");
        }
        table.Append();
        table.Set(data::Gp_name, parts[0]);
        table.SetInteger(data::Gp_color, ColourValue(parts[1], source, line_no));
        table.SetBoolean(data::Gp_free, Flag(parts[2], source, line_no));
        table.SetInteger(data::Gp_show, Flag(parts[3], source, line_no) ? 1 : 0);
        table.Post();
        if (table.AsInteger(data::Gp_no) != ++expected_no) {
            Fail(source, line_no, "group got number " + std::to_string(table.AsInteger(data::Gp_no)) +
                                      ", expected " + std::to_string(expected_no));
        }
    }
    groups.SaveGroups();
    std::cout << groups.FileName().string() << ": " << expected_no << " groups\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 4 && args[0] == "groups" && (args[2] == "english" || args[2] == "german")) {
            return BuildGroups(args[1], args[2] == "english", args[3]);
        }
        std::cerr << "usage: build_resources groups SOURCE english|german OUT_FOLDER\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "build_resources: " << e.what() << '\n';
        return 1;
    }
}
