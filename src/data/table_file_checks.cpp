#include "data/table_file_checks.h"

#include <algorithm>
#include <functional>

#include "data/error.h"
#include "data/regular_file.h"
#include "data/table_file.h"
#include "data/table_file_sqlite.h"

namespace yorbel::data {
namespace {
namespace fs = std::filesystem;

constexpr std::string_view kDatabaseMagic{"SQLite format 3\0", 16};
// The first bytes of a rollback journal whose changes were not finished or rolled back.
constexpr std::string_view kJournalMagic = "\xD9\xD5\x05\xF9\x20\xA1\x63\xD7";
constexpr std::size_t kWalHeaderSize = 32;

std::uint32_t BigEndian(std::string_view bytes, std::size_t at, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// True when the file holds changes for the database beside it: a journal that starts
// with its magic number, or a log with frames after its header. Empty and zeroed files
// are what finished transactions leave behind.
bool HoldsPendingChanges(const fs::path& companion, bool is_log) {
    std::error_code ec;
    const auto status = fs::status(companion, ec);
    if (ec || !fs::exists(status)) return false;
    try {
        const RegularFile file(companion);
        const std::string start = file.ReadAt(0, kJournalMagic.size());
        if (is_log) {
            const std::uint32_t magic = start.size() >= 4 ? BigEndian(start, 0, 4) : 0;
            return (magic == 0x377F0682 || magic == 0x377F0683) && file.Size() > kWalHeaderSize;
        }
        return start == kJournalMagic;
    } catch (const Error&) {
        return true;  // something odd in its place: leave it to the user to look
    }
}

}  // namespace

void CheckDatabaseHeader(std::string_view header, std::uint64_t file_size,
                         const std::string& file) {
    if (header.size() < kDatabaseHeaderSize || !header.starts_with(kDatabaseMagic))
        throw Error(CoreError("NotTableFile"), {file}, {file});
    std::uint64_t page_size = BigEndian(header, 16, 2);
    if (page_size == 1) page_size = 65536;
    if (page_size < 512 || page_size > 65536 || (page_size & (page_size - 1)) != 0)
        throw Error(CoreError("NotTableFile"), {file}, {file});
    // The page count in the header is valid only when the change counter equals the
    // counter of the version that wrote it (every SQLite since 2010 keeps them so).
    const std::uint64_t pages = BigEndian(header, 28, 4);
    const bool counted = pages > 0 && BigEndian(header, 24, 4) == BigEndian(header, 92, 4);
    const std::uint64_t expected =
        counted ? pages * page_size : (file_size + page_size - 1) / page_size * page_size;
    if (file_size != expected)
        throw Error(CoreError("TableFileIncomplete"),
                    {file, std::to_string(file_size), std::to_string(expected)}, {file});
}

void CheckNoPendingChanges(const fs::path& path) {
    // SQLite keeps them beside the file a link points to.
    std::error_code ec;
    const fs::path target = fs::canonical(path, ec);
    for (const fs::path& database : {path, ec ? path : target}) {
        for (const bool is_log : {false, true}) {
            fs::path companion = database;
            companion += is_log ? "-wal" : "-journal";
            if (HoldsPendingChanges(companion, is_log)) {
                throw Error(CoreError("TableFilePendingChanges"),
                            {path.string(), companion.string()}, {path.string()});
            }
        }
    }
}

Error TableFileDamaged(const std::string& file, std::string what, int line, std::string field) {
    return Error(CoreError("TableFileDamaged"), {file, std::move(what)},
                 {file, line, std::move(field)});
}

// The file holds the three tables a save writes and nothing else, and its pages and
// records are sound: a view or a computed column would run the file's own code on
// reading, and a damaged page could hide rows.
void CheckStructure(sqlite::Database& db, const std::string& file) {
    int tables = 0;
    {
        // Statistics tables are SQLite's own, made when a tool analyses the file.
        sqlite::Statement s(db,
                            "SELECT type, name, sql LIKE 'CREATE VIRTUAL%' FROM sqlite_schema "
                            "WHERE name NOT LIKE 'sqlite\\_stat%' ESCAPE '\\'");
        while (s.Step()) {
            const std::string name = sqlite::ColumnText(s.get(), 1);
            if (sqlite::ColumnText(s.get(), 0) != "table" || sqlite3_column_int(s.get(), 2) != 0 ||
                std::find(kTableFileTables.begin(), kTableFileTables.end(), name) ==
                    kTableFileTables.end())
                throw TableFileDamaged(file, "an unknown part \"" + name + "\"");
            ++tables;
        }
    }
    if (tables != static_cast<int>(kTableFileTables.size()))
        throw TableFileDamaged(file, "a missing table");
    {
        sqlite::Statement s(db, "SELECT name FROM pragma_table_xinfo('rows') WHERE hidden <> 0");
        if (s.Step())
            throw TableFileDamaged(file, "a computed column", 0, sqlite::ColumnText(s.get(), 0));
    }
    sqlite::Statement s(db, "PRAGMA quick_check(1)");
    const std::string verdict = s.Step() ? sqlite::ColumnText(s.get(), 0) : std::string();
    if (verdict != "ok") throw TableFileDamaged(file, verdict);
}

// Every row's number is its own: occurrences and the windows find an event by it.
void CheckNumbersUnique(const std::vector<std::int32_t>& numbers, const std::string& file,
                        const std::string& field) {
    // Saved tables number their rows in ascending order; only others need sorting.
    if (std::adjacent_find(numbers.begin(), numbers.end(), std::greater_equal<>()) == numbers.end())
        return;
    std::vector<std::pair<std::int32_t, int>> rows;  // number, row (from 1)
    rows.reserve(numbers.size());
    for (std::size_t r = 0; r < numbers.size(); ++r)
        rows.emplace_back(numbers[r], static_cast<int>(r) + 1);
    std::sort(rows.begin(), rows.end());
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].first == rows[i - 1].first)
            throw Error(CoreError("TableFileNumberTwice"),
                        {file, field, std::to_string(rows[i].first)},
                        {file, rows[i].second, field});
    }
}

}  // namespace yorbel::data
