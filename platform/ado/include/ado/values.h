#pragma once
// Column values: how the layer maps SQLite's storage to variants and back.
//
//   declared type     stored as                             read as
//   CURRENCY          INTEGER count of 1/10 000             com::Currency
//   DATETIME          TEXT "YYYY-MM-DD HH:MM:SS"            com::Date
//   INTEGER ...       INTEGER                               int32 (error 6 outside its range)
//   TEXT / VARCHAR    TEXT                                  std::string
//   REAL / DOUBLE     REAL                                  double
//   any, NULL         NULL                                  com::Null
//
// A column of an expression (no declared type) is read by its stored class: INTEGER
// as int32 (as a double beyond its range, as a large count or sum), REAL as double, TEXT
// as text.
#include <string_view>

#include "com/variant.h"

namespace ado {

enum class ColumnKind { Integer, Currency, Date, Text, Real, Untyped };

// Classifies a declared column type ("CURRENCY", "DATETIME", "INTEGER", "TEXT", ...).
ColumnKind columnKindOf(std::string_view declaredType);

}  // namespace ado
