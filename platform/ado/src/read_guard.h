#pragma once
// Internal: what the engine lets a database file and a reading statement do.
#include <sqlite3.h>

#include <string_view>

namespace ado::detail {

// The settings every connection takes, so that a database file written by anyone cannot make
// the engine run code or reach memory of its choosing: the two-argument fts3_tokenizer off,
// the defensive mode on (the schema cannot be written as data), and the schema not trusted
// (a view or trigger of the file calls only the functions SQLite marks harmless).
void hardenConnection(sqlite3* db);

// The guard of a read-only connection: a statement may read tables and views, json_each and
// json_tree, and call only the functions readerMayCall allows; anything else is refused
// before it runs (SQLITE_AUTH). No other virtual table module is left on the connection.
void guardReads(sqlite3* db);

// Whether a reading statement may call the function (names compared without regard to
// case): the data layer's own functions and SQLite's core, date, math and JSON scalar
// functions, its aggregates and window functions, less those that load code, read files,
// write the log or hand out addresses.
bool readerMayCall(std::string_view function);

}  // namespace ado::detail
