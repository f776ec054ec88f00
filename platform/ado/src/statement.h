#pragma once
// Internal: a prepared statement with its result columns, as the connection caches it per
// statement text and a recordset borrows it.
#include <sqlite3.h>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ado/values.h"
#include "sqlite_util.h"

namespace ado::detail {

constexpr unsigned char foldAscii(char c) noexcept {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + 32) : u;
}

struct NoCaseHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const noexcept {
        size_t h = 14695981039346656037ull;
        for (const char c : s) h = (h ^ foldAscii(c)) * 1099511628211ull;
        return h;
    }
};
struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (foldAscii(a[i]) != foldAscii(b[i])) return false;
        return true;
    }
};

struct ColumnInfo {
    std::string name;    // as the statement yields it (the alias, or the column's own name)
    std::string origin;  // the table column it comes from ("" for an expression)
    ColumnKind kind;
};

struct PreparedStatement {
    StmtHandle stmt;
    std::vector<ColumnInfo> columns;
    std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual> byName;
    bool inUse = false;
    // Per result column: the money column under an expression the typer could not type ("" none).
    std::vector<std::string> untypedMoney;

    // Raises 3464 for a column holding money the typer could not type, unless its name is
    // one of `typedByCaller` (the caller reads it as money itself).
    void refuseUntypedMoney(const std::vector<std::string>& typedByCaller = {}) const;

    // Reads the result columns' names and declared types; an expression column takes the
    // kind given for it in `expressionKinds` (by position) when that is money.
    void describe(const std::vector<ColumnKind>& expressionKinds = {});
    // The column's index, or -1. The first column of a name wins, as in ADO.
    int find(std::string_view name) const {
        const auto it = byName.find(name);
        return it == byName.end() ? -1 : it->second;
    }
};

}  // namespace ado::detail
