#pragma once
// The statements of the library run on the thread's shared connection.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ado/recordset.h"

namespace Velmora_Business::data {

// A forward-only, read-only recordset of `sql` on the shared connection.
ado::Recordset openReading(const std::string& sql);
// A keyset, optimistically locked recordset of `sql` (the save of one row).
ado::Recordset openForSave(const std::string& sql);

// The lookup-list string of a two-column statement: "id&text|" per row, "" without rows.
// Traps nothing: a failure reaches the caller as the data layer raised it.
std::string lookupList(const std::string& sql);

// Column values as the entities' typed fields; a Null fails with the conversion error.
int32_t readLong(const ado::Recordset& rs, std::string_view column);
std::string readText(const ado::Recordset& rs, std::string_view column);
// Null read as 0 or "".
int32_t readLongOrZero(const ado::Recordset& rs, std::string_view column);
std::string readTextOrEmpty(const ado::Recordset& rs, std::string_view column);

// The column names of a save statement's list, without the table alias:
// "Select a.X, a.Y FROM ..." gives X, Y.
std::vector<std::string> selectedColumns(std::string_view sql);
// The current row's values of the named columns, in that order.
std::vector<com::Variant> rowValues(const ado::Recordset& rs, const std::vector<std::string>& columns);

// A statement's fixed text followed by an id in decimal digits.
inline std::string withId(std::string_view sql, int32_t id) { return std::string(sql) + std::to_string(id); }

}  // namespace Velmora_Business::data
