#pragma once
// Internal: reading a column of a stepped statement as a variant and binding a variant to
// a parameter, both by the column's kind (ado/values.h).
#include <sqlite3.h>

#include <string>

#include "ado/values.h"
#include "com/variant.h"

namespace ado::detail {

com::Variant readColumn(sqlite3_stmt* stmt, int index, ColumnKind kind);
void bindValue(sqlite3_stmt* stmt, int index, const com::Variant& value, ColumnKind kind);
// A variant as GetString prints it: integers without decimals, currency and doubles with
// a "." and no trailing zeros, dates in ISO form.
std::string plainText(const com::Variant& value);

}  // namespace ado::detail
