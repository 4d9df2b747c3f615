#include "data/groups.h"

#include <gtest/gtest.h>

#include "data/table_file.h"
#include "test_folder.h"

namespace yorbel::data {
namespace {
using testing::FileBytes;
using testing::TestFolder;
using testing::WriteBytes;
namespace fs = std::filesystem;

void AddGroup(Table& gp, const std::string& name, int show) {
    gp.Append();
    gp.SetText(Gp_name, name);
    gp.SetInteger(Gp_color, 0x0000FF);
    gp.SetBoolean(Gp_free, false);
    gp.SetInteger(Gp_show, show);
    gp.Post();
}

// An English group file of one shown group, as shipped beside the program.
void WriteShippedGroups(const fs::path& program) {
    Groups shipped(program);
    shipped.LoadGroups(true);
    AddGroup(shipped.CdsGroups(), "Holidays", 1);
    shipped.SaveGroups();
}

TEST(GroupsTest, MissingFileIsCreatedEmptyPerLanguage) {
    TestFolder folder;
    Groups groups(folder.path() / "data");
    EXPECT_FALSE(groups.LoadGroups(false).has_value());
    EXPECT_TRUE(fs::exists(folder.path() / "data" / "Groups_d.yrg"));
    EXPECT_FALSE(fs::exists(folder.path() / "data" / "Groups_e.yrg"));
    EXPECT_EQ(groups.CdsGroups().RecordCount(), 0);
    EXPECT_EQ(groups.CdsGroups().CurrentIndex(), "Ix_Gp_name");

    Table check("Check", {});
    LoadTable(check, folder.path() / "data" / "Groups_d.yrg");
    ASSERT_EQ(check.FieldCount(), 5);
    EXPECT_EQ(check.Field(Gp_name).name, "Gp_name");
    EXPECT_TRUE(check.Field(Gp_name).required);
}

TEST(GroupsTest, SeededFromShippedCopyAndUnsavedChangesLostOnSwitch) {
    TestFolder folder;
    WriteShippedGroups(folder / "program");
    fs::permissions(folder / "program" / "Groups_e.yrg", fs::perms::owner_read);
    Groups groups(folder / "user", folder / "program");
    groups.LoadGroups(true);
    EXPECT_TRUE(fs::exists(folder / "user" / "Groups_e.yrg"));
    ASSERT_EQ(groups.CdsGroups().RecordCount(), 1);
    EXPECT_EQ(groups.CdsGroups().CurrentIndex(), "Ix_Gp_no");

    groups.SaveGroups();  // the seeded copy is writable
    AddGroup(groups.CdsGroups(), "Unsaved", 1);
    groups.LoadGroups(false);  // no German copy shipped: created empty
    EXPECT_EQ(groups.CdsGroups().RecordCount(), 0);
    groups.LoadGroups(true);
    EXPECT_EQ(groups.CdsGroups().RecordCount(), 1);
}

TEST(GroupsTest, UnreadableFileIsMovedAsideNotReplaced) {
    TestFolder folder;
    WriteBytes(folder / "Groups_e.yrg", "garbage that is not a table file");
    WriteBytes(folder / "Groups_e.yrg.bak", "an older backup");
    Groups groups(folder.path());
    auto notice = groups.LoadGroups(true);
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->Key(), "GroupFileMovedAside");
    EXPECT_EQ(FileBytes(folder / "Groups_e.yrg.bak"), "an older backup");
    EXPECT_EQ(FileBytes(folder / "Groups_e.yrg.bak2"), "garbage that is not a table file");
    EXPECT_EQ(groups.CdsGroups().RecordCount(), 0);
    EXPECT_FALSE(groups.LoadGroups(true).has_value()) << "the new empty file reads fine";

    // A file whose rows break the unique name index is treated the same way.
    Table twins("Twins", {FieldDef::AutoIncrement("Gp_no"), FieldDef::Text("Gp_name", 80, true),
                          FieldDef::Integer("Gp_color"), FieldDef::Boolean("Gp_free"),
                          FieldDef::Integer("Gp_show")});
    for (int i = 0; i < 2; ++i) AddGroup(twins, "Twin", 1);
    SaveTable(twins, folder / "Groups_d.yrg");
    notice = groups.LoadGroups(false);
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(groups.CdsGroups().RecordCount(), 0);
    Table kept("Kept", {});
    LoadTable(kept, folder / "Groups_d.yrg.bak");
    EXPECT_EQ(kept.RecordCount(), 2);
}

// Reading only: a file that cannot be read stays as it is; the shipped groups stand in,
// and without them it is an error, never an empty set of groups.
TEST(GroupsTest, ReadingChangesNoFile) {
    TestFolder folder;
    WriteShippedGroups(folder / "program");
    WriteBytes(folder / "Groups_e.yrg", "garbage");
    WriteBytes(folder / "Groups_d.yrg", "garbage");
    Groups groups(folder.path(), folder / "program");
    const auto notice = groups.ReadGroups(true);
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->Key(), "GroupFileShippedUsed");
    EXPECT_EQ(groups.CdsGroups().RecordCount(), 1);
    EXPECT_THROW(groups.ReadGroups(false), Error);
    EXPECT_EQ(FileBytes(folder / "Groups_e.yrg"), "garbage");
    EXPECT_EQ(FileBytes(folder / "Groups_d.yrg"), "garbage");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 3);
}

// The English groups shipped with this build, read where the build puts them.
const fs::path kShippedFolder = YORBEL_BIN_DIR;

// An English group file as an older version left it: ten groups, the fourth renamed to a
// name the shipped group 13 has, the tenth (the highest number) deleted.
void WriteOlderGroups(const fs::path& folder, const std::string& taken_name) {
    Groups older(folder);
    older.LoadGroups(true);
    Table& gp = older.CdsGroups();
    for (int i = 1; i <= 10; ++i) AddGroup(gp, "Old " + std::to_string(i), 1);
    gp.SetCurrentIndex(kIxGpNo);
    ASSERT_TRUE(gp.GoToKey(Value{4}));
    gp.Edit();
    gp.SetText(Gp_name, taken_name);
    gp.Post();
    ASSERT_TRUE(gp.GoToKey(Value{10}));
    gp.Delete();
    older.SaveGroups();
}

TEST(GroupsTest, OlderFileGetsTheNewShippedGroupsOnce) {
    Groups shipped(kShippedFolder);
    ASSERT_FALSE(shipped.ReadGroups(true));
    ASSERT_EQ(shipped.CdsGroups().NextAutoIncrement(), 56);
    TestFolder folder;
    WriteOlderGroups(folder.path(), shipped.GroupName(13));

    Groups groups(folder.path(), kShippedFolder);
    const auto notice = groups.LoadGroups(true);
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->Key(), "GroupsShippedAddedNamesTaken");
    EXPECT_EQ(notice->Args().at(2), shipped.GroupName(13));
    // The user's groups as they were: the renamed one keeps its name, the deleted one
    // stays gone; every other shipped group from 11 on comes with its number.
    EXPECT_EQ(groups.CdsGroups().RecordCount(), 9 + 44);
    EXPECT_EQ(groups.GroupName(4), shipped.GroupName(13));
    EXPECT_EQ(groups.GroupName(9), "Old 9");
    EXPECT_EQ(groups.GroupName(10), "");
    EXPECT_EQ(groups.GroupName(13), "");
    for (const std::int32_t n : {11, 12, 14, 55}) {
        EXPECT_EQ(groups.GroupName(n), shipped.GroupName(n)) << n;
        EXPECT_EQ(groups.IsGroupShown(n), shipped.IsGroupShown(n)) << n;
    }
    EXPECT_EQ(groups.CdsGroups().GetState(), Table::State::Browse);

    // Saved, and a second start adds nothing and writes nothing.
    const std::string merged = FileBytes(folder / "Groups_e.yrg");
    Groups again(folder.path(), kShippedFolder);
    EXPECT_FALSE(again.LoadGroups(true).has_value());
    EXPECT_EQ(again.CdsGroups().RecordCount(), 9 + 44);
    EXPECT_EQ(again.CdsGroups().NextAutoIncrement(), 56);
    EXPECT_EQ(FileBytes(folder / "Groups_e.yrg"), merged);
    AddGroup(again.CdsGroups(), "Own", 1);
    EXPECT_EQ(again.CdsGroups().AsInteger(Gp_no), 56) << "never a shipped group's number";
}

TEST(GroupsTest, ReadingAddsShippedGroupsInMemoryAndADamagedShippedCopyKeepsTheUsers) {
    TestFolder folder;
    WriteOlderGroups(folder / "user", "Old name");
    const std::string older = FileBytes(folder / "user" / "Groups_e.yrg");
    Groups reader(folder / "user", kShippedFolder);
    EXPECT_FALSE(reader.ReadGroups(true).has_value());
    EXPECT_EQ(reader.CdsGroups().RecordCount(), 9 + 45);
    EXPECT_EQ(FileBytes(folder / "user" / "Groups_e.yrg"), older);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "user"), fs::directory_iterator()), 1);

    fs::create_directories(folder / "program");
    WriteBytes(folder / "program" / "Groups_e.yrg", "garbage");
    Groups groups(folder / "user", folder / "program");
    for (const bool write : {false, true}) {
        const auto notice = write ? groups.LoadGroups(true) : groups.ReadGroups(true);
        ASSERT_TRUE(notice.has_value());
        EXPECT_EQ(notice->Key(), "GroupSeedUnreadable");
        EXPECT_EQ(groups.CdsGroups().RecordCount(), 9);
        EXPECT_EQ(FileBytes(folder / "user" / "Groups_e.yrg"), older);
    }
}

TEST(GroupsTest, NamesAreUniqueAndShownFlagIsAnswered) {
    TestFolder folder;
    Groups groups(folder.path());
    groups.LoadGroups(true);
    Table& gp = groups.CdsGroups();
    AddGroup(gp, "Holidays", 1);
    AddGroup(gp, "Hidden", 0);
    gp.Append();
    gp.SetText(Gp_name, "Holidays");
    EXPECT_THROW(gp.Post(), Error);
    gp.Cancel();
    gp.Append();
    EXPECT_THROW(gp.Post(), Error) << "a group needs a name";
    gp.Cancel();

    EXPECT_TRUE(groups.IsGroupShown(1));
    EXPECT_FALSE(groups.IsGroupShown(2));
    EXPECT_FALSE(groups.IsGroupShown(99));
    EXPECT_EQ(gp.AsInteger(Gp_no), 2) << "a query leaves the cursor alone";
    EXPECT_EQ(gp.CurrentIndex(), "Ix_Gp_name") << "and the current index";
    EXPECT_EQ(groups.GroupName(1), "Holidays");
    EXPECT_EQ(groups.GroupName(99), "");

    groups.SaveGroups();
    Groups again(folder.path());
    again.LoadGroups(true);
    EXPECT_TRUE(again.IsGroupShown(1));
    AddGroup(again.CdsGroups(), "Third", 1);
    EXPECT_EQ(again.CdsGroups().AsInteger(Gp_no), 3);
}

}  // namespace
}  // namespace yorbel::data
