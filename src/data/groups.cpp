#include "data/groups.h"

#include <algorithm>
#include <variant>
#include <vector>

#include "data/table_file.h"

namespace yorbel::data {
namespace fs = std::filesystem;

namespace {

std::vector<FieldDef> GroupFields() {
    return {FieldDef::AutoIncrement("Gp_no"), FieldDef::Text("Gp_name", 80, true),
            FieldDef::Integer("Gp_color"), FieldDef::Boolean("Gp_free"),
            FieldDef::Integer("Gp_show")};
}

// A name beside the file that holds nothing yet: name + ".bak", then ".bak2", ...
fs::path FreeBackupName(const fs::path& file) {
    std::error_code ec;
    for (int n = 1;; ++n) {
        fs::path candidate = file;
        candidate += n == 1 ? std::string(".bak") : ".bak" + std::to_string(n);
        if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
    }
}

void AddGroupIndexes(Table& groups) {
    groups.AddIndex(std::string(kIxGpNo), {"Gp_no"}, {.primary = false, .unique = true});
    groups.AddIndex(std::string(kIxGpName), {"Gp_name"}, {.primary = false, .unique = true});
}

void AppendRowOf(std::vector<Table::Column>& columns, const Table& from, Table::RowId row) {
    for (int f = 0; f < from.FieldCount(); ++f) {
        const Table::Column& c = from.StoredColumn(FieldNo(f));
        columns[static_cast<std::size_t>(f)].nulls.push_back(c.nulls[row]);
        if (from.Fields()[static_cast<std::size_t>(f)].kind == FieldKind::Text)
            columns[static_cast<std::size_t>(f)].texts.push_back(c.texts[row]);
        else
            columns[static_cast<std::size_t>(f)].ints.push_back(c.ints[row]);
    }
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

}  // namespace

// Only numbers the user's file has never given out are new: a group the user deleted or
// renamed stays so, and no number changes, since calendars refer to groups by number.
// A name the user already has keeps the user's group; the shipped one is left out.
Groups::ShippedMerge Groups::MergeNewShippedGroups(const Table& shipped) {
    ShippedMerge merge;
    const std::int32_t first_new = table_.NextAutoIncrement();
    std::int32_t next = first_new;
    if (shipped.NextAutoIncrement() <= first_new) return merge;  // the usual start
    std::vector<Table::Column> columns(static_cast<std::size_t>(table_.FieldCount()));
    for (const Table::RowId row : table_.RowsInTableOrder()) AppendRowOf(columns, table_, row);
    std::size_t rows = table_.RowsInTableOrder().size();
    for (const Table::RowId row : shipped.RowsInTableOrder()) {
        const std::int32_t number = std::get<std::int32_t>(shipped.ValueOf(row, Gp_no));
        if (number < first_new) continue;
        // Numbers passed over are spent too, so a skipped group is reported only once.
        next = std::max(next, number + 1);
        std::string name = std::get<std::string>(shipped.ValueOf(row, Gp_name));
        if (!table_.FindRows(kIxGpName, Value{name}).empty()) {
            merge.taken.push_back(std::move(name));
            continue;
        }
        AppendRowOf(columns, shipped, row);
        ++rows;
        merge.added.push_back(std::move(name));
    }
    if (next != first_new) table_.ReplaceContent(std::move(columns), rows, next);
    return merge;
}

std::optional<Error> Groups::AddNewShippedGroups(ShippedMerge& merge) {
    if (seed_folder_.empty()) return std::nullopt;
    const fs::path seed = seed_folder_ / FileName().filename();
    std::error_code ec;
    if (!fs::exists(seed, ec)) return std::nullopt;
    // The shipped names are checked for twins here, before any of them reaches the table.
    Table shipped(table_.Name(), GroupFields());
    AddGroupIndexes(shipped);
    try {
        LoadTable(shipped, seed);
    } catch (const Error& reason) {
        return Error(CoreError("GroupSeedUnreadable"),
                     {seed.string(), FileName().string(), reason.what()}, {seed.string()});
    }
    merge = MergeNewShippedGroups(shipped);
    return std::nullopt;
}

Groups::Groups(fs::path folder, fs::path seed_folder)
    : folder_(std::move(folder)),
      seed_folder_(std::move(seed_folder)),
      table_("CdsGroups", GroupFields()) {
    AddGroupIndexes(table_);
    table_.SetCurrentIndex(kIxGpNo);
}

fs::path Groups::FileName() const {
    return folder_ / (english_ ? kGroupFileEnglish : kGroupFileGerman);
}

std::optional<Error> Groups::LoadGroups(bool english) {
    english_ = english;
    const fs::path path = FileName();
    std::error_code ec;
    bool seeded = false;
    if (!fs::exists(fs::symlink_status(path, ec)) && !seed_folder_.empty()) {
        const fs::path seed = seed_folder_ / path.filename();
        if (fs::exists(seed, ec)) {
            fs::create_directories(folder_, ec);
            // A failed copy leaves the file missing: it is created below. The copy is the
            // user's to change, even when the shipped file is write-protected.
            seeded = fs::copy_file(seed, path, ec);
            if (seeded) fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
        }
    }
    if (!fs::exists(fs::symlink_status(path, ec))) {
        CreateGroupFile();
        return std::nullopt;
    }
    try {
        LoadTable(table_, path);
    } catch (const Error& reason) {
        // Never replace a file we could not read: its groups may still be rescued.
        table_.Clear();
        table_.SetCurrentIndex(kIxGpNo);
        // A file with another program's changes pending beside it is whole; moved away
        // from its journal, those changes would be played back over the new file.
        const bool pending = reason.Key() == CoreError("TableFilePendingChanges").key;
        const fs::path backup = FreeBackupName(path);
        if (!pending) fs::rename(path, backup, ec);
        if (pending || ec)
            return Error(CoreError("GroupFileUnreadable"), {path.string(), reason.what()},
                         {path.string()});
        CreateGroupFile();
        return Error(CoreError("GroupFileMovedAside"),
                     {path.string(), backup.string(), reason.what()}, {path.string()});
    }
    std::optional<Error> notice;
    ShippedMerge merge;
    // A copy made just now has every shipped group already.
    if (!seeded) notice = AddNewShippedGroups(merge);
    table_.SetCurrentIndex(kIxGpNo);
    table_.First();
    if (merge.added.empty() && merge.taken.empty()) return notice;
    try {
        SaveGroups();
    } catch (const Error& failure) {
        // The groups stay added in memory, as the read-only path has them.
        return failure;
    }
    const std::string file = path.string();
    if (merge.taken.empty())
        return Error(CoreError("GroupsShippedAdded"), {file, JoinNames(merge.added)}, {file});
    if (merge.added.empty())
        return Error(CoreError("GroupsShippedNamesTaken"), {file, JoinNames(merge.taken)}, {file});
    return Error(CoreError("GroupsShippedAddedNamesTaken"),
                 {file, JoinNames(merge.added), JoinNames(merge.taken)}, {file});
}

std::optional<Error> Groups::ReadGroups(bool english) {
    english_ = english;
    const fs::path path = FileName();
    const fs::path seed = seed_folder_.empty() ? fs::path() : seed_folder_ / path.filename();
    std::error_code ec;
    const bool has_seed = !seed.empty() && fs::exists(seed, ec);
    std::optional<Error> problem;
    table_.Clear();
    const bool has_own = fs::exists(fs::symlink_status(path, ec));
    if (has_own) {
        try {
            LoadTable(table_, path);
        } catch (const Error& reason) {
            if (!has_seed) throw;
            problem = Error(CoreError("GroupFileShippedUsed"),
                            {path.string(), seed.string(), reason.what()}, {path.string()});
        }
    }
    if ((!has_own || problem) && has_seed) {
        LoadTable(table_, seed);
    } else if (has_own) {
        ShippedMerge merge;  // told by the desktop program, which writes it
        problem = AddNewShippedGroups(merge);
    }
    table_.SetCurrentIndex(kIxGpNo);
    table_.First();
    return problem;
}

void Groups::CreateGroupFile() {
    table_.Clear();
    std::error_code ec;
    fs::create_directories(folder_, ec);
    SaveTable(table_, FileName());
    table_.SetCurrentIndex(kIxGpName);
}

void Groups::SaveGroups() {
    SaveTable(table_, FileName());
}

bool Groups::IsGroupShown(std::int32_t group_no) const {
    // Gp_no is unique: at most one row.
    for (const Table::RowId row : table_.FindRows(kIxGpNo, Value{group_no})) {
        const Value show = table_.ValueOf(row, Gp_show);
        const auto* s = std::get_if<std::int32_t>(&show);
        return s && *s != 0;
    }
    return false;
}

std::string Groups::GroupName(std::int32_t group_no) const {
    for (const Table::RowId row : table_.FindRows(kIxGpNo, Value{group_no})) {
        Value name = table_.ValueOf(row, Gp_name);
        if (auto* text = std::get_if<std::string>(&name)) return std::move(*text);
    }
    return {};
}

}  // namespace yorbel::data
