// A small RAII layer over the SQLite C API, for reading and writing table files.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "data/error.h"

namespace yorbel::data::sqlite {

namespace fs = std::filesystem;

class Database {
  public:
    // name: what SQLite opens (a path or a file: URI); path: what messages show.
    // A connection lives within one call on one thread, so SQLite's locking of every
    // call (a large share of a big load or save) is left out.
    Database(const std::string& name, const fs::path& path, int flags) : path_(path.string()) {
        int rc = sqlite3_open_v2(name.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc == SQLITE_OK) return;
        // A failed open still returns a handle, which the destructor of an object that was
        // never made cannot close.
        try {
            Fail(rc);
        } catch (...) {
            sqlite3_close(db_);
            throw;
        }
    }
    // A read-only database over a file's bytes, which must outlive it. Reading from
    // memory leaves the file and its folder as they are, and the bytes checked are the
    // bytes read. The file's schema is not trusted to run any function.
    Database(std::string& image, const fs::path& path)
        : Database(":memory:", path, SQLITE_OPEN_READWRITE) {
        sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        // A file left in write-ahead-log mode reads like any other once its log is known
        // to be empty; memory databases cannot keep that mode.
        if (image.size() > 19 && image[18] == 2 && image[19] == 2) image[18] = image[19] = 1;
        auto* bytes = reinterpret_cast<unsigned char*>(image.data());
        const auto size = static_cast<sqlite3_int64>(image.size());
        int rc = sqlite3_deserialize(db_, "main", bytes, size, size, SQLITE_DESERIALIZE_READONLY);
        if (rc != SQLITE_OK) Fail(rc);
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* get() const { return db_; }
    const std::string& path() const { return path_; }

    void Exec(const std::string& sql) {
        int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) Fail(rc);
    }

    // Closes now so that a failing close (unwritten pages) is reported.
    void Close() {
        int rc = sqlite3_close(db_);
        if (rc != SQLITE_OK) Fail(rc);
        db_ = nullptr;
    }

    [[noreturn]] void Fail(int rc) const {
        std::string detail = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        if ((rc & 0xFF) == SQLITE_NOTADB) throw Error(CoreError("NotTableFile"), {path_}, {path_});
        throw Error(CoreError("TableFileError"), {path_, detail}, {path_});
    }

  private:
    std::string path_;
    sqlite3* db_ = nullptr;
};

class Statement {
  public:
    Statement(Database& db, const std::string& sql) : db_(db) {
        int rc = sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &stmt_, nullptr);
        if (rc != SQLITE_OK) db.Fail(rc);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // True while a row is available.
    bool Step() {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        db_.Fail(rc);
    }
    void Reset() { sqlite3_reset(stmt_); }
    void Check(int rc) {
        if (rc != SQLITE_OK) db_.Fail(rc);
    }
    sqlite3_stmt* get() const { return stmt_; }

  private:
    Database& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// Rolls the transaction back unless it was committed.
class Transaction {
  public:
    explicit Transaction(Database& db) : db_(db) { db_.Exec("BEGIN"); }
    ~Transaction() {
        if (!committed_) sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void Commit() {
        db_.Exec("COMMIT");
        committed_ = true;
    }

  private:
    Database& db_;
    bool committed_ = false;
};

inline std::string ColumnText(sqlite3_stmt* s, int col) {
    const unsigned char* p = sqlite3_column_text(s, col);
    return p ? std::string(reinterpret_cast<const char*>(p),
                           static_cast<std::size_t>(sqlite3_column_bytes(s, col)))
             : std::string();
}

}  // namespace yorbel::data::sqlite
