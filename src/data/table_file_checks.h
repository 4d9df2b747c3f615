// What a table file must pass before its rows are read: cheap checks on its bytes and on
// the files beside it, kept apart from the loader so that each stays easy to follow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data/error.h"

namespace yorbel::data {

namespace sqlite {
class Database;
}

// The fixed header at the start of every SQLite database.
inline constexpr std::size_t kDatabaseHeaderSize = 100;

// Refuses bytes that do not start with a database header (NotTableFile), and a file
// whose length is not that of the pages its header counts (TableFileIncomplete): a copy
// cut off part way reads, page by page, as a smaller or even an empty table.
void CheckDatabaseHeader(std::string_view header, std::uint64_t file_size, const std::string& file);

// Refuses a file beside which another program left a rollback journal or a write-ahead
// log holding changes that are not in the file yet (TableFilePendingChanges). Reading
// past them would show an outdated table, and a save over the file would leave them to
// be played back over it later.
void CheckNoPendingChanges(const std::filesystem::path& path);

// A TableFileDamaged error naming what is wrong and, where known, the row and field.
Error TableFileDamaged(const std::string& file, std::string what, int line = 0,
                       std::string field = {});

// The file holds the tables a save writes and nothing else, and its pages and records are
// sound: a view or a computed column would run the file's own code on reading, and a
// damaged page could hide rows.
void CheckStructure(sqlite::Database& db, const std::string& file);

// Every row's number is its own: occurrences and the windows find an event by it.
void CheckNumbersUnique(const std::vector<std::int32_t>& numbers, const std::string& file,
                        const std::string& field);

}  // namespace yorbel::data
