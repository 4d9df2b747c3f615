// Build-time tool: turns the text sources under resources/ into the table files shipped
// beside the program.
//
//   build_resources groups SOURCE.txt english|german OUT_FOLDER
//       Writes Groups_e.yrg or Groups_d.yrg into OUT_FOLDER from lines
//       "name;#RRGGBB;free 0|1;shown 0|1" ('#' lines and blank lines are comments).
//       The n-th group line gets group number n; the tool fails if the table store
//       numbers them otherwise, since the sample calendars rely on these numbers.
//   build_resources calendar SOURCE.csv OUT.yrb GROUPFILE...
//       Imports the delimited text into a new calendar and saves it; fails when an event
//       names a group that one of the group files lacks.
//
// Any fault ends the tool with a message naming the file and line and exit status 1, so
// a broken source stops the build instead of shipping a broken file.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/events.h"
#include "data/groups.h"
#include "data/table.h"
#include "data/table_file.h"
#include "exchange/delimited_text.h"

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
            Fail(source, line_no,
                 "group got number " + std::to_string(table.AsInteger(data::Gp_no)) +
                     ", expected " + std::to_string(expected_no));
        }
    }
    groups.SaveGroups();
    std::cout << groups.FileName().string() << ": " << expected_no << " groups\n";
    return 0;
}

// The group numbers a group file holds.
std::set<std::int32_t> GroupNumbers(const fs::path& group_file) {
    data::Table table("CdsGroups", {});
    data::LoadTable(table, group_file);
    std::set<std::int32_t> numbers;
    const data::FieldNo no = table.FieldByName("Gp_no");
    for (table.First(); !table.IsEmpty() && !table.Eof(); table.Next()) {
        numbers.insert(table.AsInteger(no));
    }
    return numbers;
}

int BuildCalendar(const fs::path& source, const fs::path& out,
                  const std::vector<fs::path>& group_files) {
    std::vector<std::set<std::int32_t>> numbers;
    for (const auto& file : group_files) numbers.push_back(GroupNumbers(file));

    // The occurrence lookups need a groups table; an empty one will do, since nothing
    // is generated here.
    const data::Groups no_groups(out.parent_path());
    data::EventTables tables(no_groups.CdsGroups());
    tables.OpenCalendar({});
    data::Table& events = tables.CdsEvents();
    const int added = exchange::ImportFile(events, source, ",");
    if (added == 0) Fail(source, 0, "no events");

    int line = 0;
    for (events.First(); !events.Eof(); events.Next()) {
        ++line;
        if (events.IsNull(data::Ev_gp_no)) Fail(source, line, "event without a group");
        const std::int32_t group = events.AsInteger(data::Ev_gp_no);
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            if (!numbers[i].contains(group)) {
                Fail(source, line,
                     "group " + std::to_string(group) + " is not in " + group_files[i].string());
            }
        }
    }
    fs::create_directories(out.parent_path());
    tables.SaveCalendarAs(out);
    std::cout << out.string() << ": " << added << " events\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 4 && args[0] == "groups" &&
            (args[2] == "english" || args[2] == "german")) {
            return BuildGroups(args[1], args[2] == "english", args[3]);
        }
        if (args.size() >= 4 && args[0] == "calendar") {
            return BuildCalendar(args[1], args[2], {args.begin() + 3, args.end()});
        }
        std::cerr << "usage: build_resources groups SOURCE english|german OUT_FOLDER\n"
                     "       build_resources calendar SOURCE.csv OUT.yrb GROUPFILE...\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "build_resources: " << e.what() << '\n';
        return 1;
    }
}
