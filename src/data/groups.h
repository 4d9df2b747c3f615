// The program-wide groups table and its group files.
//
// One group file per interface language ("Groups_d.yrg" German, "Groups_e.yrg" English)
// in a folder the caller names (the per-user data folder); shipped copies in a seed folder
// (beside the program) are copied there on first use. The core never looks for folders.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/error.h"
#include "data/index_names.h"
#include "data/table.h"

namespace yorbel::data {

// Fields of CdsGroups, in table order.
inline constexpr FieldNo Gp_no{0};     // auto-increment group number
inline constexpr FieldNo Gp_name{1};   // text 80, required, unique
inline constexpr FieldNo Gp_color{2};  // colour 0x00BBGGRR (or a system-colour reference)
inline constexpr FieldNo Gp_free{3};   // boolean: the group's days are free days
inline constexpr FieldNo Gp_show{4};   // 1 shown, 0 hidden

inline constexpr const char* kGroupFileGerman = "Groups_d.yrg";
inline constexpr const char* kGroupFileEnglish = "Groups_e.yrg";

class Groups {
  public:
    // folder: where group files are read and written. seed_folder (may be empty): where
    // the shipped group files lie, copied to folder when a language's file is missing.
    explicit Groups(std::filesystem::path folder, std::filesystem::path seed_folder = {});

    Table& CdsGroups() { return table_; }
    const Table& CdsGroups() const { return table_; }

    // Reloads the table from the group file of the language; unsaved changes are lost.
    // A missing file is seeded or created empty. A file that exists but cannot be read
    // is moved aside (name + ".bak") and the table starts empty: the returned Error says
    // so, for the caller to show. Throws only when the new empty file cannot be written.
    // A file made by an older version gets the shipped groups numbered above any number it
    // has ever used (none whose name it already has) and is saved; the returned Error
    // names them. When that save fails, its Error is returned and the groups stay added
    // in the table only.
    std::optional<Error> LoadGroups(bool english);

    // Reads the language's group file without changing, moving or creating any file: the
    // file in the folder, else the shipped copy in the seed folder, else no groups. When
    // the folder's file exists but cannot be read, the shipped copy is read instead and
    // the returned Error says so (setting the damaged file aside is left to the desktop
    // program, which can tell the user). Throws when that file cannot be read and there is
    // no readable shipped copy to take its place. The shipped groups a file made by an
    // older version lacks are added in the table only, as LoadGroups adds them, without a
    // word; a shipped copy that cannot be read is reported and the file's groups are kept.
    std::optional<Error> ReadGroups(bool english);

    // Empties the table and saves it at once to the current language's file.
    void CreateGroupFile();

    // Posts a changed pending row (drops an unchanged one) and saves the whole table.
    void SaveGroups();

    // False when no group has the number, else whether its Gp_show is non-zero. Neither
    // the cursor nor the current index moves.
    bool IsGroupShown(std::int32_t group_no) const;
    // The group's name; "" when no group has the number.
    std::string GroupName(std::int32_t group_no) const;

    bool English() const { return english_; }
    std::filesystem::path FileName() const;

  private:
    // The shipped groups taken into the table and those left out for their names.
    struct ShippedMerge {
        std::vector<std::string> added;
        std::vector<std::string> taken;
    };
    // Adds to the loaded table the groups of the shipped copy that are numbered above every
    // number the table has ever given out; the table is not saved. A shipped copy that
    // cannot be read adds nothing and is returned as the Error to show.
    std::optional<Error> AddNewShippedGroups(ShippedMerge& merge);
    ShippedMerge MergeNewShippedGroups(const Table& shipped);

    std::filesystem::path folder_;
    std::filesystem::path seed_folder_;
    bool english_ = false;
    Table table_;
};

}  // namespace yorbel::data
