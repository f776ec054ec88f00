#include "sqlite_util.h"

#include <unistd.h>

#include <cerrno>

#include "ado/error.h"
#include "read_guard.h"
#include "temp_files.h"

namespace ado::detail {

namespace fs = std::filesystem;

namespace {

// The file of the connection's main database, as the engine names it ("" for none).
fs::path databaseFile(sqlite3* db) {
    const char* name = db ? sqlite3_db_filename(db, "main") : nullptr;
    return name ? fs::path(name) : fs::path();
}

}  // namespace

void raiseEngine(sqlite3* db, int code, std::string_view context) {
    const int extended = db ? sqlite3_extended_errcode(db) : code;
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    if (!context.empty()) message = std::string(context) + ": " + message;
    if (extended == SQLITE_CONSTRAINT_UNIQUE || extended == SQLITE_CONSTRAINT_PRIMARYKEY)
        raise(errc::Engine, "The changes were not made because they would create duplicate values in a unique index (" +
                                message + ").");
    // The failures a user meets are told in the program's language, the engine's text after.
    const int primary = code & 0xff;
    const int systemError = db ? sqlite3_system_errno(db) : 0;
    // A refusal of the read-only guard: SQLITE_AUTH, or for a function SQLite's own wording.
    if (primary == SQLITE_INTERRUPT) raise(errc::Cancelled, "The statement was stopped before it ended.");
    if (primary == SQLITE_AUTH || message.rfind("not authorized", 0) == 0)
        raise(errc::NotAllowed, "The statement was refused: the connection only reads (" + message + ").");
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
        raise(errc::NotADatabase, text::withDetail(text::notADatabase(databaseFile(db)), message));
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        raise(errc::Engine, text::withDetail(text::inUse(), message));
    if (primary == SQLITE_FULL ||
        (primary == SQLITE_IOERR && (systemError == ENOSPC || systemError == EDQUOT || systemError == EFBIG)))
        raise(errc::Engine, text::withDetail(text::diskFull(databaseFile(db)), message));
    if (extended == SQLITE_READONLY_DIRECTORY) {  // no journal can be made beside the database
        const fs::path file = databaseFile(db);
        raise(errc::Engine, text::withDetail(text::folderNotWritable(file.parent_path()), message));
    }
    if (primary == SQLITE_READONLY)
        raise(errc::Engine, text::withDetail(text::readOnlyDatabase(databaseFile(db)), message));
    if (primary == SQLITE_CANTOPEN && db) {
        // A journal that cannot be made beside the database.
        const fs::path file = databaseFile(db);
        raise(errc::Engine, text::withDetail(text::writeFailure(file, systemError), message));
    }
    raise(errc::Engine, message);
}

void exec(sqlite3* db, const char* sql) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) raiseEngine(db, rc);
}

StmtHandle prepare(sqlite3* db, std::string_view sql, bool persistent) {
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                      persistent ? SQLITE_PREPARE_PERSISTENT : 0, &stmt, &tail);
    StmtHandle handle(stmt);
    if (rc != SQLITE_OK) raiseEngine(db, rc);
    if (!stmt) raise(errc::BadSql, "The statement is empty.");
    // One statement a call: a second one would otherwise be dropped without a word.
    const std::string_view rest = tail ? sql.substr(static_cast<size_t>(tail - sql.data())) : std::string_view{};
    if (rest.find_first_not_of(" \t\r\n;") != std::string_view::npos)
        raise(errc::BadSql, "Characters found after the end of the SQL statement: " + std::string(sql));
    return handle;
}

DbHandle openDatabase(const fs::path& file, OpenMode mode) {
    std::error_code ec;
    if (mode != OpenMode::Create) {
        if (!fs::is_regular_file(file, ec)) {
            // A folder on the way that the user may not enter hides the file: say so, not "missing".
            if (ec == std::errc::permission_denied) raise(com::errc::PermissionDenied, text::accessDenied(file));
            raise(errc::FileNotFound, text::fileMissing(file));
        }
        if (fs::file_size(file, ec) == 0) raise(errc::NotADatabase, text::notADatabase(file));
    }
    const int flags =
        SQLITE_OPEN_NOMUTEX | (mode == OpenMode::ReadOnly    ? SQLITE_OPEN_READONLY
                               : mode == OpenMode::ReadWrite ? SQLITE_OPEN_READWRITE
                                                             : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
    DbHandle db(raw);
    if (rc != SQLITE_OK) {
        if (rc == SQLITE_CANTOPEN) {
            const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
            raise(errc::FileNotFound, fs::is_directory(folder, ec)
                                          ? text::withDetail("Fisierul " + file.string() + " nu poate fi deschis.",
                                                             sqlite3_errmsg(db.get()))
                                          : text::folderMissing(folder));
        }
        raiseEngine(db.get(), rc, file.string());
    }
    sqlite3_extended_result_codes(db.get(), 1);
    sqlite3_busy_timeout(db.get(), 5000);
    try {
        hardenConnection(db.get());
        // Reading the schema proves the file is a database before anything writes to it.
        exec(db.get(), "SELECT count(*) FROM sqlite_master");
        if (mode != OpenMode::ReadOnly) exec(db.get(), "PRAGMA journal_mode=DELETE");
        exec(db.get(), "PRAGMA synchronous=FULL; PRAGMA foreign_keys=OFF");
    } catch (const com::Error& e) {
        // The file as the caller named it.
        if (e.number() == errc::NotADatabase) raise(errc::NotADatabase, text::notADatabase(file));
        throw;
    }
    return db;
}

}  // namespace ado::detail
