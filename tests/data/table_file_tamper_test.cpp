// A save whose new file is swapped for a link the moment before SQLite opens it, as
// someone racing the save in a shared folder would do.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/table_file.h"
#include "test_folder.h"

namespace {

namespace fs = std::filesystem;

fs::path g_victim;           // while set, the next file opened for writing is swapped
unsigned g_folder_mode = 0;  // permissions of the folder the swapped file was in
fs::path g_folder;

}  // namespace

// Stands in for SQLite's open within this test program and hands over to the real one.
extern "C" int sqlite3_open_v2(const char* name, sqlite3** db, int flags, const char* vfs) {
    using Open = int (*)(const char*, sqlite3**, int, const char*);
    static const auto real = reinterpret_cast<Open>(::dlsym(RTLD_NEXT, "sqlite3_open_v2"));
    if (!g_victim.empty() && (flags & SQLITE_OPEN_READWRITE) != 0) {
        g_folder = fs::path(name).parent_path();
        struct stat st {};
        if (::stat(g_folder.c_str(), &st) == 0) g_folder_mode = st.st_mode & 07777;
        ::unlink(name);
        if (::symlink(g_victim.c_str(), name) != 0) ADD_FAILURE() << "cannot plant the link";
        g_victim.clear();
    }
    return real(name, db, flags, vfs);
}

namespace yorbel::data {
namespace {
using testing::FileBytes;
using testing::TestFolder;

TEST(TableFileTamperTest, ALinkPutInPlaceOfTheNewFileIsNeverFollowed) {
    TestFolder folder;
    const auto file = folder / "calendar.yrb";
    Table table("T", {FieldDef::Integer("n")});
    table.Append();
    table.SetInteger("n", 7);
    table.Post();
    SaveTable(table, file);
    const std::string saved = FileBytes(file);
    // An empty file is what SQLite would take for an empty database and write into.
    const auto victim = folder / "victim";
    { std::ofstream touch(victim); }

    g_victim = victim;
    try {
        SaveTable(table, file);
    } catch (const Error&) {
        // Refusing the save is right; writing through the link is not.
    }
    g_victim.clear();
    EXPECT_EQ(fs::file_size(victim), 0u);
    EXPECT_FALSE(fs::is_symlink(file));
    EXPECT_EQ(FileBytes(file), saved);
    // The file was made in a folder of its own that no one else may enter.
    EXPECT_EQ(g_folder.parent_path(), fs::canonical(folder.path()));
    EXPECT_EQ(g_folder_mode, 0700u);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder.path())) ++entries;
    EXPECT_EQ(entries, 2) << "the refused save left something behind";
}

}  // namespace
}  // namespace yorbel::data
