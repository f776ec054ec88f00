#pragma once
// Internal: the data of one run: each query's rows, with the declared column types applied
// and the computed columns added.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "com/variant.h"
#include "definition.h"

namespace reports {

struct Table {
    std::string name;
    std::vector<std::string> columns;
    std::vector<com::Variant> cells;  // row after row
    size_t rowCount = 0;

    size_t width() const { return columns.size(); }
    const com::Variant& at(size_t row, size_t column) const { return cells[row * columns.size() + column]; }
    // The column's index (names compared without regard to case, as SQL does), or -1.
    int find(std::string_view column) const;
};

struct LogOn {
    std::filesystem::path database, workgroup;
    std::string user, password;
};

// Opens a read-only connection with the account, binds each query's parameters and reads
// every query. Raises errc::QueryFailed (log-on or SQL), errc::UnknownColumn (a computed
// column's operand), com::errc::Overflow from money arithmetic.
// `keepGoing` (when given) is asked while the queries run; false stops them (errc::Cancelled).
// A query of more than MaxRows rows is refused (errc::QueryFailed) before it is read further.
inline constexpr size_t MaxRows = 1'000'000;
std::vector<Table> readData(const Definition& definition, const LogOn& logOn, const std::vector<com::Variant>& values,
                            const std::function<bool()>& keepGoing = {});

}  // namespace reports
