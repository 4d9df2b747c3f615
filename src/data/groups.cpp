#include "data/groups.h"

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

}  // namespace

Groups::Groups(fs::path folder, fs::path seed_folder)
    : folder_(std::move(folder)),
      seed_folder_(std::move(seed_folder)),
      table_("CdsGroups", GroupFields()) {
    table_.AddIndex(std::string(kIxGpNo), {"Gp_no"}, {.primary = false, .unique = true});
    table_.AddIndex(std::string(kIxGpName), {"Gp_name"}, {.primary = false, .unique = true});
    table_.SetCurrentIndex(kIxGpNo);
}

fs::path Groups::FileName() const {
    return folder_ / (english_ ? kGroupFileEnglish : kGroupFileGerman);
}

std::optional<Error> Groups::LoadGroups(bool english) {
    english_ = english;
    const fs::path path = FileName();
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec)) && !seed_folder_.empty()) {
        const fs::path seed = seed_folder_ / path.filename();
        if (fs::exists(seed, ec)) {
            fs::create_directories(folder_, ec);
            // A failed copy leaves the file missing: it is created below. The copy is the
            // user's to change, even when the shipped file is write-protected.
            if (fs::copy_file(seed, path, ec))
                fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
        }
    }
    if (!fs::exists(fs::symlink_status(path, ec))) {
        CreateGroupFile();
        return std::nullopt;
    }
    try {
        LoadTable(table_, path);
        table_.SetCurrentIndex(kIxGpNo);
        table_.First();
        return std::nullopt;
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
                         {path.string()})
                .WithCause(reason);
        CreateGroupFile();
        return Error(CoreError("GroupFileMovedAside"),
                     {path.string(), backup.string(), reason.what()}, {path.string()})
            .WithCause(reason);
    }
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
                            {path.string(), seed.string(), reason.what()}, {path.string()})
                          .WithCause(reason);
        }
    }
    if ((!has_own || problem) && has_seed) LoadTable(table_, seed);
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

std::int32_t GroupColourAt(const Table& groups, int position) {
    const Value colour = groups.ValueAt(position, Gp_color);
    const auto* rgb = std::get_if<std::int32_t>(&colour);
    return rgb ? *rgb : 0xFFFFFF;
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
