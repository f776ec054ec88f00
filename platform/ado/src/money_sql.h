#pragma once
// Internal: Jet's typing of a select list's expressions over money columns.
//
// Money is stored as integer counts of 1/10 000, so SQLite's own arithmetic on it is only
// right where the units cancel out. The select list of a statement is typed the way Jet
// types it (column kinds from the tables' declared types) and rewritten where the units
// matter:
//   Sum, Max, Min, Avg over money          -> money
//   money + money, money - money           -> money
//   money +/- integer                      -> money (the integer scaled to units)
//   money * integer                        -> money;  money * money -> money (MoneyMul)
//   money +/-/* double                     -> double
//   a / b                                  -> double, always (Jet's `/`)
//   Cstr(money), money in a `||` chain     -> the money's text (CstrMoney)
//   Round(money[, n])                      -> money, half to even (MoneyRound)
//   IfNull/Coalesce(money, number ...)     -> money (the numbers scaled to units)
//   CASE ... THEN money ... ELSE number    -> money (likewise)
//   (SELECT one money item ...)            -> money (the subquery typed in turn)
//   a column of a derived table            -> the kind of its item in the subquery
//     (FROM (SELECT Sum(TCP) AS S ...) w: w.S is money)
//   money compared with a number           -> the number in units (=, <>, <, >, BETWEEN, IN),
//                                             in the select list, WHERE and HAVING of every
//                                             SELECT of a UNION, EXCEPT or INTERSECT
//   a "?" compared with or added to money   -> an amount: renamed MoneyParameterPrefix + N,
//                                             bound as money whatever the value's type
//   money * ?, money / ?, ? * money         -> the "?" a Double (NumberParameterPrefix)
//   IIf(c, a, b)                           -> as CASE WHEN c THEN a ELSE b END
//   Sum/Max/Min/Avg/Total(money) OVER (...), first_value, last_value, nth_value, lag, lead
//                                          -> money (an aggregate's FILTER typed as a condition)
//   row_number, rank, dense_rank, ntile    -> integer; percent_rank, cume_dist -> double
// An item the typer cannot type that holds a money column would show units as amounts: it is
// marked (untypedMoney) and the connection refuses it unless the caller types that column
// as money itself. A comparison with a side the typer cannot type that holds a money column,
// or a condition it cannot read over money, is refused (refusedColumn); elsewhere, an
// unknown construct is left as written and read by its stored class.
#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

#include "ado/values.h"

namespace ado::detail {

// The name prefixes of placeholders beside money (see above), and the kind each is bound as.
inline constexpr std::string_view MoneyParameterPrefix = ":money_";
inline constexpr std::string_view NumberParameterPrefix = ":number_";
inline ColumnKind placeholderKind(const char* name) {
    const std::string_view n = name ? name : "";
    return n.starts_with(MoneyParameterPrefix)    ? ColumnKind::Currency
           : n.starts_with(NumberParameterPrefix) ? ColumnKind::Real
                                                  : ColumnKind::Untyped;
}

struct TypedSelect {
    std::string sql;                        // the statement with its select list rewritten
    std::vector<ColumnKind> items;          // the kind of each select-list item (Untyped when unknown)
    std::vector<bool> stars;                // which items are `*` or `t.*`
    std::vector<std::string> names;         // the name each item yields (its alias or column; "" unknown)
    bool certain = true;                    // false when a name could not be looked up this time
    std::string refusedColumn;              // the money column of a comparison that cannot be typed
    std::vector<std::string> untypedMoney;  // per item: the money column under it when untyped

    // The kinds of a prepared statement's `count` result columns, Untyped where a star's
    // columns stand or the items cannot be matched to the columns.
    std::vector<ColumnKind> columnKinds(int count) const;
    // Likewise, the untypedMoney of each result column ("" where none or unknown).
    std::vector<std::string> columnMoney(int count) const;
};

// Types and rewrites the select list, WHERE and HAVING of a SELECT statement (SQLite
// dialect, after the Jet translation), and the SET and WHERE of an UPDATE or DELETE. Any
// other statement, or one without a money expression, comes back as it was with no
// items. Never raises.
TypedSelect typeSelectList(sqlite3* db, const std::string& sql);

// Whether the typer leaves a statement as it is depends on its names and structure, not on
// the values of its number literals: the statement with each number literal as "#" is the
// key under which a connection remembers statements that need no typing (those that differ
// only by an id are typed once).
std::string literalShape(std::string_view sql);

// Registers CstrMoney, MoneyMul and MoneyRound on a connection.
int registerMoneyFunctions(sqlite3* db);

}  // namespace ado::detail
