#include "data/table_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "data/file_sync.h"
#include "data/regular_file.h"
#include "data/table_file_checks.h"
#include "data/table_file_sqlite.h"

namespace yorbel::data {
namespace fs = std::filesystem;

namespace {

using sqlite::ColumnText;
using sqlite::Database;
using sqlite::Statement;
using sqlite::Transaction;

std::string Quoted(const std::string& identifier) {
    std::string out = "\"";
    for (char c : identifier) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

const char* KindName(FieldKind kind) {
    switch (kind) {
        case FieldKind::AutoIncrement:
            return "autoinc";
        case FieldKind::Integer:
            return "integer";
        case FieldKind::Text:
            return "text";
        case FieldKind::Boolean:
            return "boolean";
    }
    return "";
}

std::optional<FieldKind> KindOfName(std::string_view name) {
    if (name == "autoinc") return FieldKind::AutoIncrement;
    if (name == "integer") return FieldKind::Integer;
    if (name == "text") return FieldKind::Text;
    if (name == "boolean") return FieldKind::Boolean;
    return std::nullopt;
}

Error SystemError(const std::string& file, const std::string& action) {
    return Error(CoreError("FileWriteError"),
                 {file, std::string(std::strerror(errno)) + " (" + action + ")"}, {file});
}

void SyncPath(const fs::path& path, bool directory) {
    int fd = ::open(path.c_str(), directory ? (O_RDONLY | O_DIRECTORY) : O_RDONLY);
    if (fd < 0) throw SystemError(path.string(), "open for sync");
    int rc = SyncFileDescriptor(fd);
    int saved = errno;
    ::close(fd);
    errno = saved;
    // Some file systems cannot sync a folder; the file itself is what must be on disk.
    if (rc != 0 && !(directory && (errno == EINVAL || errno == ENOTSUP)))
        throw SystemError(path.string(), "sync");
}

bool ProcessRuns(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The private folder of one save, beside the target: "<name>.tmp-<pid>-XXXXXX", made by
// mkdtemp with mode 0700, so no one else can put a link or another file in place of the
// new database between its creation and the rename. The owner holds an advisory lock on
// the folder while it lives, so clean-up (RemoveLeftoverTemps) leaves a save that is still
// running in another process alone.
class SaveFolder {
  public:
    explicit SaveFolder(const fs::path& target) {
        const fs::path parent = target.parent_path().empty() ? fs::path(".") : target.parent_path();
        std::string pattern = (parent / (target.filename().string() + ".tmp-" +
                                         std::to_string(::getpid()) + "-XXXXXX"))
                                  .string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw SystemError(target.string(), "create a temporary folder");
        folder_ = pattern;
        folder_fd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (folder_fd_ < 0) Fail(target, "open the temporary folder");
        (void)::flock(folder_fd_, LOCK_EX);
        // SQLite opens the database by name; a name without links in it is one that
        // SQLite's no-follow check accepts and that leads to this very folder.
        std::error_code ec;
        const fs::path real = fs::canonical(folder_, ec);
        struct stat by_name {};
        struct stat held {};
        if (ec || ::stat(real.c_str(), &by_name) != 0 || ::fstat(folder_fd_, &held) != 0 ||
            !SameFile(by_name, held))
            Fail(target, "open the temporary folder");
        file_ = real / target.filename();
        file_fd_ = ::openat(folder_fd_, file_.filename().c_str(),
                            O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (file_fd_ < 0) Fail(target, "create a temporary file");
        // The new file takes the mode of the one it replaces.
        struct stat old {};
        if (::stat(target.c_str(), &old) == 0) (void)::fchmod(file_fd_, old.st_mode & 07777);
    }
    ~SaveFolder() { Remove(); }
    SaveFolder(const SaveFolder&) = delete;
    SaveFolder& operator=(const SaveFolder&) = delete;

    const fs::path& File() const { return file_; }

    // Syncs the written file and renames it over target, but only when the name in the
    // folder still means the file created here.
    void Publish(const fs::path& target, const std::string& shown) {
        if (SyncFileDescriptor(file_fd_) != 0) throw SystemError(shown, "sync");
        struct stat created {};
        struct stat by_name {};
        if (::fstat(file_fd_, &created) != 0 ||
            ::fstatat(folder_fd_, file_.filename().c_str(), &by_name, AT_SYMLINK_NOFOLLOW) != 0 ||
            !SameFile(created, by_name)) {
            errno = EEXIST;
            throw SystemError(shown, "temporary file replaced");
        }
        if (::renameat(folder_fd_, file_.filename().c_str(), AT_FDCWD, target.c_str()) != 0)
            throw SystemError(shown, "rename");
    }

  private:
    [[noreturn]] void Fail(const fs::path& target, const char* action) {
        const int saved = errno;
        Remove();
        errno = saved;
        throw SystemError(target.string(), action);
    }

    void Remove() {
        if (file_fd_ >= 0) ::close(file_fd_);
        file_fd_ = -1;
        std::error_code ignored;
        if (!folder_.empty()) fs::remove_all(folder_, ignored);  // does not follow links inside
        folder_.clear();
        if (folder_fd_ >= 0) ::close(folder_fd_);
        folder_fd_ = -1;
    }

    fs::path folder_;
    fs::path file_;
    int folder_fd_ = -1;
    int file_fd_ = -1;
};

// The process number in a save folder's name "<pid>-XXXXXX" (the part after ".tmp-"), or 0.
long OwnerOfSaveFolder(std::string_view rest) {
    const auto dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 9 || rest.size() != dash + 7)
        return 0;
    long pid = 0;
    for (char c : rest.substr(0, dash)) {
        if (c < '0' || c > '9') return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

// A save folder is left over when no process holds its advisory lock and the process
// named in it no longer runs (which also covers the moment between its creation and the
// lock). The folder is removed while the lock is held, so its owner cannot come back.
void RemoveIfAbandoned(const fs::path& folder, long pid) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && !ProcessRuns(pid)) {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    ::close(fd);
}

// Temporary files and folders of earlier saves that were cut off (a crash, a kill) are of
// no use once a save of the same file has succeeded; only names this code makes are
// touched, and only those no running process still owns. A bare "<name>.tmp-<digits>"
// file comes from earlier versions, which named no owner: it goes once it is an hour old.
void RemoveLeftoverTemps(const fs::path& target) {
    const std::string prefix = target.filename().string() + ".tmp-";
    const auto an_hour_ago = fs::file_time_type::clock::now() - std::chrono::hours(1);
    std::error_code ec;
    fs::directory_iterator it(target.parent_path().empty() ? fs::path(".") : target.parent_path(),
                              ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string_view rest = std::string_view(name).substr(prefix.size());
        std::error_code ignored;
        if (const long pid = OwnerOfSaveFolder(rest); pid > 0) {
            if (it->symlink_status(ignored).type() == fs::file_type::directory)
                RemoveIfAbandoned(it->path(), pid);
        } else if (rest.find_first_not_of("0123456789") == std::string_view::npos &&
                   it->symlink_status(ignored).type() == fs::file_type::regular &&
                   it->last_write_time(ignored) < an_hour_ago) {
            fs::remove(it->path(), ignored);
        }
    }
}

// --- loading ------------------------------------------------------------------------------

// A stored field as the file describes it, and the field of the table it fills.
struct FileField {
    std::string name;
    FieldKind kind;
    int size;
    bool required;
    int table_field = -1;
};

// The file is a table file of a format this program reads; returns the number its next new
// row would get.
std::int64_t ReadIdentity(Database& db, const std::string& file) {
    std::int64_t app_id = 0;
    {
        Statement s(db, "PRAGMA application_id");
        if (s.Step()) app_id = sqlite3_column_int64(s.get(), 0);
    }
    if (app_id != kTableFileApplicationId) throw Error(CoreError("NotTableFile"), {file}, {file});
    CheckStructure(db, file);

    Statement s(db, "SELECT format, version, next_auto_increment FROM meta");
    if (!s.Step()) throw TableFileDamaged(file, "no format row");
    if (ColumnText(s.get(), 0) != kTableFileFormat)
        throw Error(CoreError("NotTableFile"), {file}, {file});
    const std::int64_t version = sqlite3_column_int64(s.get(), 1);
    if (version > kTableFileVersion)
        throw Error(CoreError("TableFileTooNew"), {file, std::to_string(version)}, {file});
    if (version < 1) throw TableFileDamaged(file, "format version " + std::to_string(version));
    return sqlite3_column_int64(s.get(), 2);
}

std::vector<FileField> ReadFileFields(Database& db, const std::string& file) {
    std::vector<FileField> fields;
    Statement s(db, "SELECT name, kind, size, required FROM fields ORDER BY position");
    while (s.Step()) {
        FileField f;
        f.name = ColumnText(s.get(), 0);
        auto kind = KindOfName(ColumnText(s.get(), 1));
        if (!kind) throw TableFileDamaged(file, "unknown field kind", 0, f.name);
        f.kind = *kind;
        f.size = static_cast<int>(sqlite3_column_int64(s.get(), 2));
        f.required = sqlite3_column_int64(s.get(), 3) != 0;
        fields.push_back(std::move(f));
    }
    return fields;
}

// The field list the loaded table has: its own, or the file's for a table without fields.
// Each stored field of it must come from exactly one field of the file; sets table_field.
std::vector<FieldDef> MatchFields(const Table& table, std::vector<FileField>& file_fields,
                                  const std::string& file) {
    std::vector<FieldDef> defs = table.Fields();
    if (defs.empty()) {
        for (const auto& f : file_fields) {
            FieldDef d;
            d.name = f.name;
            d.kind = f.kind;
            d.size = f.size;
            d.required = f.required;
            defs.push_back(d);
        }
    }
    // A bare table's shape is built first, which refuses definitions no table may have.
    const Table* shape = &table;
    std::optional<Table> bare_shape;
    if (table.Fields().empty()) {
        try {
            shape = &bare_shape.emplace(table.Name(), defs);
        } catch (const Error& e) {
            throw e.WithPosition({file});
        }
    }
    std::vector<bool> taken(defs.size(), false);
    for (auto& f : file_fields) {
        const auto no = shape->FindField(f.name);
        if (no && defs[no->value].role == FieldRole::Stored) f.table_field = no->value;
        if (f.table_field < 0 || defs[f.table_field].kind != f.kind)
            throw Error(CoreError("TableFileMismatch"), {file, f.name}, {file, 0, f.name});
        if (taken[f.table_field])
            throw Error(CoreError("TableFileFieldTwice"), {file, f.name}, {file, 0, f.name});
        taken[f.table_field] = true;
    }
    for (std::size_t i = 0; i < defs.size(); ++i) {
        if (defs[i].role == FieldRole::Stored && !taken[i])
            throw Error(CoreError("TableFileMismatch"), {file, defs[i].name},
                        {file, 0, defs[i].name});
    }
    return defs;
}

struct FileRows {
    std::vector<Table::Column> columns;  // by the field numbers of the loaded table
    std::size_t count = 0;
    std::int64_t highest_number = 0;  // of the auto-increment field
};

// One value of a row into its column, refusing what the table could not store. The value
// is read in place: the statement's own accessors cost more than the reading itself.
void ReadValue(sqlite3_value* v, const FileField& f, const FieldDef& def, Table::Column& c,
               FileRows& rows, const std::string& table_name, const std::string& file) {
    const int line = static_cast<int>(rows.count);
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_NULL) {
        if (f.kind == FieldKind::AutoIncrement)
            throw TableFileDamaged(file, "a row without its number", line, f.name);
        if (def.required)
            throw Error(CoreError("FieldRequired"), {table_name, f.name}, {file, line, f.name});
        c.nulls.push_back(1);
        if (f.kind == FieldKind::Text)
            c.texts.emplace_back();
        else
            c.ints.push_back(0);
        return;
    }
    c.nulls.push_back(0);
    if (f.kind == FieldKind::Text) {
        if (type != SQLITE_TEXT)
            throw TableFileDamaged(file, "a value that is not a text", line, f.name);
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
        const std::string& stored = c.texts.emplace_back(
            text ? text : "", text ? static_cast<std::size_t>(sqlite3_value_bytes(v)) : 0);
        // What the table would refuse to store, the file must not bring in.
        if (auto refusal = TextRefusal(def, stored))
            throw Error(*refusal, {table_name, f.name, std::to_string(def.size), stored},
                        {file, line, f.name});
        return;
    }
    if (type != SQLITE_INTEGER)
        throw TableFileDamaged(file, "a value that is not a number", line, f.name);
    const std::int64_t n = sqlite3_value_int64(v);
    if (n < INT32_MIN || n > INT32_MAX || (f.kind == FieldKind::Boolean && n != 0 && n != 1))
        throw TableFileDamaged(file, "a number out of range", line, f.name);
    if (f.kind == FieldKind::AutoIncrement) rows.highest_number = std::max(rows.highest_number, n);
    c.ints.push_back(static_cast<std::int32_t>(n));
}

// The number of rows, to size the columns once.
std::size_t CountRows(Database& db) {
    Statement s(db, "SELECT count(*) FROM rows");
    return s.Step() ? static_cast<std::size_t>(
                          std::max<sqlite3_int64>(sqlite3_column_int64(s.get(), 0), 0))
                    : 0;
}

FileRows ReadRows(Database& db, const std::vector<FileField>& file_fields,
                  const std::vector<FieldDef>& defs, const std::string& table_name,
                  const std::string& file) {
    FileRows rows;
    rows.columns.resize(defs.size());
    if (file_fields.empty()) return rows;
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < file_fields.size(); ++i)
        sql += (i ? ", " : "") + Quoted(file_fields[i].name);
    sql += " FROM rows ORDER BY rowid";
    // Only a guess for the room needed: the count is the file's word.
    const std::size_t expected = std::min<std::size_t>(CountRows(db), 1u << 24);
    for (const auto& f : file_fields) {
        Table::Column& c = rows.columns[static_cast<std::size_t>(f.table_field)];
        c.nulls.reserve(expected);
        if (f.kind == FieldKind::Text)
            c.texts.reserve(expected);
        else
            c.ints.reserve(expected);
    }
    Statement s(db, sql);
    while (s.Step()) {
        ++rows.count;
        for (std::size_t i = 0; i < file_fields.size(); ++i) {
            const FileField& f = file_fields[i];
            const auto field = static_cast<std::size_t>(f.table_field);
            ReadValue(sqlite3_column_value(s.get(), static_cast<int>(i)), f, defs[field],
                      rows.columns[field], rows, table_name, file);
        }
    }
    if (rows.highest_number >= INT32_MAX)
        throw TableFileDamaged(file, "no numbers left for new rows");
    for (const auto& f : file_fields) {
        if (f.kind == FieldKind::AutoIncrement)
            CheckNumbersUnique(rows.columns[static_cast<std::size_t>(f.table_field)].ints, file,
                               f.name);
    }
    return rows;
}

// --- saving -------------------------------------------------------------------------------

// Each statement carries many rows: SQLite's cost per executed statement would
// otherwise outweigh the cost of storing a row.
void WriteRows(const Table& table, Database& db, const std::vector<int>& stored,
               const std::string& row_params) {
    const int per_row = static_cast<int>(stored.size());
    const int batch =
        std::clamp(sqlite3_limit(db.get(), SQLITE_LIMIT_VARIABLE_NUMBER, -1) / per_row, 1, 100);
    auto insert_sql = [&row_params](std::size_t rows) {
        std::string sql = "INSERT INTO rows VALUES ";
        for (std::size_t i = 0; i < rows; ++i) sql += (i ? ",(" : "(") + row_params + ")";
        return sql;
    };
    std::vector<const Table::Column*> columns;
    std::vector<bool> text;
    for (const int field : stored) {
        columns.push_back(&table.StoredColumn(FieldNo(field)));
        text.push_back(table.Fields()[field].kind == FieldKind::Text);
    }
    const std::vector<Table::RowId>& order = table.RowsInTableOrder();
    const std::size_t full =
        order.size() / static_cast<std::size_t>(batch) * static_cast<std::size_t>(batch);
    std::optional<Statement> many;
    if (full > 0) many.emplace(db, insert_sql(static_cast<std::size_t>(batch)));
    std::optional<Statement> rest;
    if (full < order.size()) rest.emplace(db, insert_sql(order.size() - full));
    for (std::size_t first = 0; first < order.size();) {
        Statement& s = first < full ? *many : *rest;
        const std::size_t end =
            first < full ? first + static_cast<std::size_t>(batch) : order.size();
        s.Reset();
        int p = 0;
        for (std::size_t i = first; i < end; ++i) {
            const Table::RowId row = order[i];
            for (std::size_t k = 0; k < columns.size(); ++k) {
                const Table::Column& c = *columns[k];
                ++p;
                if (c.nulls[row])
                    s.Check(sqlite3_bind_null(s.get(), p));
                else if (text[k])
                    s.Check(sqlite3_bind_text(s.get(), p, c.texts[row].data(),
                                              static_cast<int>(c.texts[row].size()),
                                              SQLITE_STATIC));
                else
                    s.Check(sqlite3_bind_int(s.get(), p, c.ints[row]));
            }
        }
        s.Step();
        first = end;
    }
}

void WriteDatabase(const Table& table, Database& db) {
    // The file is new and private until the rename: no journal is needed, and it is
    // synced as a whole afterwards.
    db.Exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA application_id=" +
            std::to_string(kTableFileApplicationId));
    Transaction transaction(db);
    db.Exec(kTableFileSchema);
    {
        Statement s(db, "INSERT INTO meta VALUES (?, ?, ?)");
        s.Check(sqlite3_bind_text(s.get(), 1, kTableFileFormat, -1, SQLITE_STATIC));
        s.Check(sqlite3_bind_int(s.get(), 2, kTableFileVersion));
        s.Check(sqlite3_bind_int(s.get(), 3, table.NextAutoIncrement()));
        s.Step();
    }
    std::vector<int> stored;
    std::string columns_sql;
    std::string params;
    {
        Statement s(db, "INSERT INTO fields VALUES (?, ?, ?, ?, ?)");
        for (int i = 0; i < table.FieldCount(); ++i) {
            const FieldDef& d = table.Fields()[i];
            if (d.role != FieldRole::Stored) continue;
            const int position = static_cast<int>(stored.size()) + 1;
            stored.push_back(i);
            s.Reset();
            s.Check(sqlite3_bind_int(s.get(), 1, position));
            s.Check(sqlite3_bind_text(s.get(), 2, d.name.c_str(), -1, SQLITE_TRANSIENT));
            s.Check(sqlite3_bind_text(s.get(), 3, KindName(d.kind), -1, SQLITE_STATIC));
            s.Check(sqlite3_bind_int(s.get(), 4, d.size));
            s.Check(sqlite3_bind_int(s.get(), 5, d.required ? 1 : 0));
            s.Step();
            columns_sql += (columns_sql.empty() ? "" : ", ") + Quoted(d.name) +
                           (d.kind == FieldKind::Text ? " TEXT" : " INTEGER");
            params += params.empty() ? "?" : ", ?";
        }
    }
    // rows: the table's rows in table order, one column per stored field.
    db.Exec("CREATE TABLE rows (" +
            (columns_sql.empty() ? std::string("unused INTEGER") : columns_sql) + ")");
    if (!stored.empty()) WriteRows(table, db, stored, params);
    transaction.Commit();
}

}  // namespace

void LoadTable(Table& table, const fs::path& path) {
    const std::string file = path.string();
    std::string image;
    {
        const RegularFile input(path);
        // The header first, so that a large foreign file is refused without reading it.
        CheckDatabaseHeader(input.ReadAt(0, kDatabaseHeaderSize), input.Size(), file);
        CheckNoPendingChanges(path);
        image = input.ReadAll();
    }
    CheckDatabaseHeader(image, image.size(), file);  // it may have changed meanwhile
    Database db(image, path);
    const std::int64_t next_number = ReadIdentity(db, file);
    std::vector<FileField> file_fields = ReadFileFields(db, file);
    std::vector<FieldDef> defs = MatchFields(table, file_fields, file);
    FileRows rows = ReadRows(db, file_fields, defs, table.Name(), file);

    std::vector<Table::Column> stored;
    for (std::size_t i = 0; i < defs.size(); ++i)
        if (defs[i].role == FieldRole::Stored) stored.push_back(std::move(rows.columns[i]));
    const auto next = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::max(next_number, rows.highest_number + 1), 1, INT32_MAX));
    try {
        table.ReplaceContent(std::move(stored), rows.count, next,
                             table.Fields().empty() ? std::move(defs) : std::vector<FieldDef>{});
    } catch (const Error& e) {
        throw e.WithPosition({file});
    }
}

void SaveTable(Table& table, const fs::path& requested) {
    table.CheckBrowse();
    // Replace the file a link points to, not the link.
    std::error_code ec;
    fs::path target = fs::is_symlink(fs::symlink_status(requested, ec))
                          ? fs::weakly_canonical(requested, ec)
                          : requested;
    if (ec) target = requested;
    const std::string file = requested.string();
    // A rename would replace a write-protected file as easily as any other; the
    // protection is the user's word that the file must not change.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) throw Error(CoreError("FileIsFolder"), {file}, {file});
        if ((st.st_mode & 0222) == 0) throw Error(CoreError("FileReadOnly"), {file}, {file});
    }
    try {
        SaveFolder temp(target);
        {
            // No-follow: the database is written into the file made above, never through a
            // link put in its place.
            Database db(temp.File().string(), temp.File(),
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW);
            WriteDatabase(table, db);
            db.Close();
        }
        temp.Publish(target, file);
    } catch (const Error& e) {
        if (e.Key() == CoreError("FileWriteError").key) throw;
        // SQLite's message names the temporary file; the user knows the target.
        throw Error(CoreError("FileWriteError"),
                    {file, e.Args().size() > 1 ? e.Args()[1] : std::string(e.what())}, {file});
    }
    RemoveLeftoverTemps(target);
    // The new file is complete and in place; syncing the folder only makes the rename
    // itself durable sooner, so a folder that cannot be synced is no failure of the save.
    fs::path folder = target.parent_path();
    try {
        SyncPath(folder.empty() ? fs::path(".") : folder, true);
    } catch (const Error&) {
    }
}

}  // namespace yorbel::data

namespace yorbel::data {

std::string SqliteVersion() {
    return sqlite3_libversion();
}

}  // namespace yorbel::data
