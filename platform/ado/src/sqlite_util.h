#pragma once
// Internal helpers around SQLite's C API: owning handles, error raising, file checks.
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace ado::detail {

struct DbCloser {
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const noexcept { sqlite3_finalize(s); }
};
using DbHandle = std::unique_ptr<sqlite3, DbCloser>;
using StmtHandle = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

// Raises the engine's last error on `db` as com::Error: unique and primary-key violations
// with "duplicate values" in the description, a file that is no database as 3343.
[[noreturn]] void raiseEngine(sqlite3* db, int code, std::string_view context = {});

// Raises unless rc is SQLITE_OK / SQLITE_DONE / SQLITE_ROW.
inline void check(sqlite3* db, int rc, std::string_view context = {}) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) raiseEngine(db, rc, context);
}

enum class OpenMode { ReadOnly, ReadWrite, Create };

// Opens a database file. ReadOnly and ReadWrite never create it: a missing file raises
// 3024, an empty or foreign file 3343. Sets the connection pragmas the system relies on.
DbHandle openDatabase(const std::filesystem::path& file, OpenMode mode);

StmtHandle prepare(sqlite3* db, std::string_view sql, bool persistent = false);
void exec(sqlite3* db, const char* sql);


}  // namespace ado::detail
