#pragma once
// Internal: the state of a Connection, shared with Recordset and Command.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "ado/connection.h"
#include "ado/database_lock.h"
#include "sqlite_util.h"
#include "statement.h"

namespace ado {

// The `key=value` pairs of a connection string, in order; raises 3706 when malformed.
std::vector<std::pair<std::string, std::string>> parseConnectionString(std::string_view text);
// The last value of a key (compared without regard to case), or "".
std::string connectionValue(const std::vector<std::pair<std::string, std::string>>& pairs, std::string_view key);

struct Connection::Impl {
    DatabaseLock lock;  // before the handle: it is released after the handle has closed
    detail::DbHandle db;
    std::vector<std::pair<std::string, std::string>> properties;
    std::string user, password;
    int32_t cursorLocation = 2;
    ConnectMode mode = ConnectMode::Unknown;
    int32_t transactionLevel = 0;
    uint64_t generation = 0;  // counts opens, so that a recordset notices its connection closed
    std::unordered_map<std::string, std::shared_ptr<detail::PreparedStatement>> cache;
    std::vector<std::weak_ptr<detail::PreparedStatement>> loose;  // borrowed, not cached
    std::unordered_set<std::string> untypedShapes;                // statements the money typer leaves alone
    std::function<bool()> keepGoing;                              // the caller's progress check

    // Raises 3704 when the connection is closed.
    sqlite3* handle() const;
    // A prepared statement for the Jet text, marked in use; give it back with release().
    std::shared_ptr<detail::PreparedStatement> acquire(std::string_view jetSql);
    static void release(detail::PreparedStatement& statement) noexcept;
    void finalizeAll() noexcept;
};

}  // namespace ado
