// The body of the table-file fuzz target, shared by the libFuzzer program (scripts/fuzz.sh)
// and by the regression test that replays the stored corpus.
//
// The input is a file's bytes, loaded as a calendar, as a group file and into a bare
// table. Beyond not crashing, it checks what must hold for any file: a refused file
// leaves the table as it was; a loaded one can be read field by field, saved, and loaded
// again to the same rows.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/events.h"
#include "data/groups.h"
#include "data/table_file.h"

namespace yorbel::data::fuzz {

inline void Require(bool condition) {
    if (!condition) std::abort();
}

// A folder of this process for the files under test; in memory where there is /dev/shm.
inline const std::filesystem::path& FuzzFolder() {
    static const std::filesystem::path folder = [] {
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? "/dev/shm"
                                               : std::filesystem::temp_directory_path();
        auto path = base / ("yorbel_table_fuzz_" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

inline void RequireSameRows(const Table& a, const Table& b) {
    Require(a.RecordCount() == b.RecordCount() && a.FieldCount() == b.FieldCount());
    for (int row = 0; row < a.RecordCount(); ++row) {
        for (int f = 0; f < a.FieldCount(); ++f)
            Require(a.ValueAt(row, FieldNo(f)) == b.ValueAt(row, FieldNo(f)));
    }
}

// Loads `file` into `table`, which may hold rows beforehand, and checks the outcome;
// `spare` is an empty table of the same shape for the second load.
inline void CheckLoad(Table& table, const std::filesystem::path& file, Table& spare) {
    const int before = table.RecordCount();
    try {
        LoadTable(table, file);
    } catch (const Error&) {
        Require(table.RecordCount() == before);
        return;
    }
    for (table.First(); !table.Eof(); table.Next()) {
        for (int f = 0; f < table.FieldCount(); ++f) (void)table.Get(FieldNo(f));
    }
    const auto copy = FuzzFolder() / "copy.yrb";
    SaveTable(table, copy);
    LoadTable(spare, copy);
    RequireSameRows(table, spare);
}

inline void FuzzTableFile(const std::uint8_t* data, std::size_t size) {
    const auto file = FuzzFolder() / "input.yrb";
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    Groups groups(FuzzFolder()), spare_groups(FuzzFolder());
    Table& gp = groups.CdsGroups();
    gp.Append();
    gp.SetText(Gp_name, "kept");
    gp.Post();
    CheckLoad(gp, file, spare_groups.CdsGroups());

    EventTables calendar(gp), spare_calendar(gp);
    Table& ev = calendar.CdsEvents();
    ev.Append();
    ev.SetText(Ev_name, "kept");
    ev.Post();
    CheckLoad(ev, file, spare_calendar.CdsEvents());

    Table bare("Bare", {}), spare_bare("Bare", {});
    CheckLoad(bare, file, spare_bare);
}

}  // namespace yorbel::data::fuzz
