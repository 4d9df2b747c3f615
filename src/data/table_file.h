// Table files: one SQLite database per table.
//
// A file holds PRAGMA application_id 0x59524231 ("YRB1") and three tables:
//   meta   (format, version, next_auto_increment)  one row: "Yorbel table", 1, the number
//          the next new row gets, so numbers of deleted rows never come back
//   fields (position, name, kind, size, required)   the stored fields in table order;
//          kind is "autoinc", "integer", "text" or "boolean"
//   rows   one typed column per stored field, named after it, rows in table order
// Nothing else: indexes, derived fields and settings are the program's, not the file's.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "data/table.h"

namespace yorbel::data {

inline constexpr std::int32_t kTableFileApplicationId = 0x59524231;  // "YRB1"
inline constexpr const char* kTableFileFormat = "Yorbel table";
inline constexpr int kTableFileVersion = 1;
// The tables of every table file: loading accepts these and nothing else. A save creates
// meta and fields so, and rows with one column per stored field.
inline constexpr std::array<std::string_view, 3> kTableFileTables{"meta", "fields", "rows"};
inline constexpr const char* kTableFileSchema =
    "CREATE TABLE meta (format TEXT NOT NULL, version INTEGER NOT NULL, "
    "next_auto_increment INTEGER NOT NULL);"
    "CREATE TABLE fields (position INTEGER PRIMARY KEY, name TEXT NOT NULL, kind TEXT NOT NULL, "
    "size INTEGER NOT NULL, required INTEGER NOT NULL)";

// Replaces the table's rows by the file's. The file's stored fields must be the table's
// (each once, same names and kinds, any order); a table without fields takes the file's.
// The file is read whole into memory and never changed. On any failure (missing, not a
// regular file, unreadable, foreign, newer, cut off or otherwise damaged, changes of
// another program pending in a journal beside it, values the table could not store, rows
// that repeat a number or break a unique index) the table is left as it was and an Error
// naming the file, and where it can the row and field, is thrown.
void LoadTable(Table& table, const std::filesystem::path& path);

// Posts a changed pending row (an unchanged one is dropped), then writes the whole table
// to a new file beside `path`, syncs it and renames it over `path`. On failure `path` is
// untouched and an Error is thrown.
void SaveTable(Table& table, const std::filesystem::path& path);

}  // namespace yorbel::data

namespace yorbel::data {

// The version of the SQLite library in use, for the about box.
std::string SqliteVersion();

}  // namespace yorbel::data
