#pragma once
// Database files made from the schema and data scripts, and the statements mkdata runs on
// them, each failure naming the file and the cause.
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mkdata {

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

// Opens an existing database file (`create`: makes it) for writing; raises naming the file.
Database openDatabase(const std::filesystem::path& file, bool create);

// Runs `sql` (any number of statements) on `db`; a failure raises as "WHAT: the engine's text".
void run(sqlite3* db, const std::string& sql, const std::string& what);

// The integer that the one-row, one-column query `sql` answers; raises naming `what`.
int64_t scalar(sqlite3* db, const std::string& sql, const std::string& what);

// Makes the new database `file` from the schema and the data scripts, in their order, in one
// transaction, `last` running inside it after them. A failure removes the file.
void buildDatabase(const std::filesystem::path& file, const std::filesystem::path& schema,
                   const std::vector<std::filesystem::path>& data, const std::function<void(sqlite3*)>& last = {});

struct County {
    int64_t id;
    std::string name;
};

// The county of the counties script named by its name (as the script spells it, case
// ignored) or by its IdJudet; raises, listing the valid ones, for any other.
County findCounty(const std::filesystem::path& schema, const std::filesystem::path& counties, const std::string& given);

}  // namespace mkdata
