#include "database.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "ado/compaction.h"

namespace mkdata {

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error(file.string() + ": cannot read it: " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The statement's text of one column of every row of `sql`.
std::vector<std::string> columnOf(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("the counties: ") + sqlite3_errmsg(db));
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> stmt(raw, &sqlite3_finalize);
    std::vector<std::string> values;
    while (sqlite3_step(stmt.get()) == SQLITE_ROW)
        values.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0)));
    return values;
}

}  // namespace

Database openDatabase(const fs::path& file, bool create) {
    sqlite3* raw = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
    Database db(raw, &sqlite3_close);
    if (rc != SQLITE_OK) {
        const int error = sqlite3_system_errno(db.get());
        throw std::runtime_error(file.string() + ": cannot " + (create ? "create" : "open") +
                                 " it: " + (error != 0 ? std::strerror(error) : sqlite3_errmsg(db.get())));
    }
    sqlite3_extended_result_codes(db.get(), 1);
    run(db.get(), "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", file.string());
    return db;
}

void run(sqlite3* db, const std::string& sql, const std::string& what) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        throw std::runtime_error(what + ": " + message);
    }
}

int64_t scalar(sqlite3* db, const std::string& sql, const std::string& what) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr);
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> stmt(raw, &sqlite3_finalize);
    if (rc != SQLITE_OK || sqlite3_step(stmt.get()) != SQLITE_ROW)
        throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
    return sqlite3_column_int64(stmt.get(), 0);
}

void buildDatabase(const fs::path& file, const fs::path& schema, const std::vector<fs::path>& data,
                   const std::function<void(sqlite3*)>& last) {
    try {
        const Database db = openDatabase(file, true);
        run(db.get(), "BEGIN", file.string());
        run(db.get(), readFile(schema), schema.string());
        for (const auto& script : data) run(db.get(), readFile(script), script.string());
        if (last) last(db.get());
        run(db.get(), "COMMIT", file.string());
    } catch (...) {
        // The file itself is its writer's to remove; what the engine made beside it is ours.
        std::error_code ec;
        fs::remove(fs::path(file.string() + "-journal"), ec);
        throw;
    }
}

County findCounty(const fs::path& schema, const fs::path& counties, const std::string& given) {
    const Database db = openDatabase(":memory:", true);
    run(db.get(), readFile(schema), schema.string());
    run(db.get(), readFile(counties), counties.string());
    sqlite3_stmt* raw = nullptr;
    sqlite3_prepare_v2(db.get(),
                       "SELECT IdJudet, DenJudet FROM Nom_Judete WHERE DenJudet = ?1 COLLATE NOCASE "
                       "OR CAST(IdJudet AS TEXT) = ?1",
                       -1, &raw, nullptr);
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> stmt(raw, &sqlite3_finalize);
    sqlite3_bind_text(stmt.get(), 1, given.data(), static_cast<int>(given.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(stmt.get()) == SQLITE_ROW)
        return {sqlite3_column_int64(stmt.get(), 0), reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 1))};
    std::string valid;
    for (const auto& name : columnOf(db.get(), "SELECT IdJudet || ' ' || DenJudet FROM Nom_Judete ORDER BY IdJudet"))
        valid += "\n  " + name;
    throw std::runtime_error("no county '" + given + "' in " + counties.string() + "; the counties are:" + valid);
}

}  // namespace mkdata
