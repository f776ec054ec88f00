#pragma once
// Raw SQLite on a database file, outside the library: to build test and benchmark
// databases and to look at what the library wrote.
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "text_file.h"

namespace rawdb {

using RawDb = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

inline std::string readAll(const std::filesystem::path& file) { return test::readText(file); }

// Opens (or creates) the file in the journal mode the data layer uses.
inline RawDb openRaw(const std::filesystem::path& file, int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
    RawDb db(raw, &sqlite3_close);
    if (rc != SQLITE_OK) throw std::runtime_error("cannot open " + file.string());
    sqlite3_busy_timeout(raw, 5000);
    if (flags & SQLITE_OPEN_READWRITE)
        sqlite3_exec(raw, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    return db;
}

inline void rawExec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

inline void rawExec(const std::filesystem::path& file, const std::string& sql) {
    rawExec(openRaw(file, SQLITE_OPEN_READWRITE).get(), sql);
}

// A new database file holding the tables of a schema script, open for more raw work.
inline RawDb createDatabase(const std::filesystem::path& file, const std::filesystem::path& schemaScript) {
    RawDb db = openRaw(file);
    rawExec(db.get(), readAll(schemaScript));
    return db;
}

// The first column of the first row as an integer, -1 without a row.
inline int64_t rawInt(const std::filesystem::path& file, const std::string& sql) {
    RawDb db = openRaw(file, SQLITE_OPEN_READONLY);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db.get()));
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(raw, &sqlite3_finalize);
    return sqlite3_step(raw) == SQLITE_ROW ? sqlite3_column_int64(raw, 0) : -1;
}

}  // namespace rawdb
