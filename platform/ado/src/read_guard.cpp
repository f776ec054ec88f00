#include "read_guard.h"

#include <algorithm>
#include <array>

#include "com/dispatch.h"
#include "sqlite_util.h"

namespace ado::detail {

namespace {

// The functions a report may call; docs/report-format.md lists the same. Left out on
// purpose: load_extension (loads code), fts3_tokenizer (hands out and takes addresses),
// sqlite_log (writes the log), subtype and the full-text and r-tree helpers (bm25, fts5,
// highlight, match, matchinfo, offsets, optimize, snippet, rtreecheck, rtreedepth, rtreenode),
// which a report has no use for and some of which read what a planted table points to.
constexpr std::array allowed{// The data layer's own.
                             "cstr", "cstrmoney", "moneymul", "moneyround",
                             // Core scalar functions.
                             "abs", "changes", "char", "coalesce", "format", "glob", "hex", "ifnull", "iif", "instr",
                             "last_insert_rowid", "length", "like", "likelihood", "likely", "lower", "ltrim", "max",
                             "min", "nullif", "printf", "quote", "random", "randomblob", "replace", "round", "rtrim",
                             "sign", "soundex", "sqlite_compileoption_get", "sqlite_compileoption_used",
                             "sqlite_source_id", "sqlite_version", "substr", "substring", "total_changes", "trim",
                             "typeof", "unicode", "unlikely", "upper", "zeroblob",
                             // Date and time.
                             "date", "time", "datetime", "julianday", "unixepoch", "strftime", "current_date",
                             "current_time", "current_timestamp",
                             // Mathematics.
                             "acos", "acosh", "asin", "asinh", "atan", "atan2", "atanh", "ceil", "ceiling", "cos",
                             "cosh", "degrees", "exp", "floor", "ln", "log", "log10", "log2", "mod", "pi", "pow",
                             "power", "radians", "sin", "sinh", "sqrt", "tan", "tanh", "trunc",
                             // JSON, its operators included.
                             "json", "json_array", "json_array_length", "json_extract", "json_insert", "json_object",
                             "json_patch", "json_quote", "json_remove", "json_replace", "json_set", "json_type",
                             "json_valid", "json_group_array", "json_group_object", "->", "->>",
                             // Aggregates (max and min above), also as window functions.
                             "avg", "count", "group_concat", "sum", "total",
                             // Window functions.
                             "row_number", "rank", "dense_rank", "percent_rank", "cume_dist", "ntile", "lag", "lead",
                             "first_value", "last_value", "nth_value"};

int readAuthorizer(void*, int action, const char* first, const char* second, const char*, const char*) {
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_RECURSIVE: return SQLITE_OK;
    case SQLITE_FUNCTION: return second && readerMayCall(second) ? SQLITE_OK : SQLITE_DENY;
    // Opening json_each or json_tree declares its columns as a table of the schema would be
    // made; the engine asks for that as an update of sqlite_master, which no statement of a
    // read-only connection can carry out (the connection refuses any statement that writes).
    case SQLITE_UPDATE: return first && com::equalsIgnoreCase(first, "sqlite_master") ? SQLITE_OK : SQLITE_DENY;
    default: return SQLITE_DENY;
    }
}

}  // namespace

bool readerMayCall(std::string_view function) {
    return std::any_of(allowed.begin(), allowed.end(),
                       [&](const char* name) { return com::equalsIgnoreCase(function, name); });
}

void hardenConnection(sqlite3* db) {
    check(db, sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 0, nullptr));
    check(db, sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr));
    check(db, sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr));
    exec(db, "PRAGMA trusted_schema = OFF");
}

void guardReads(sqlite3* db) {
    static const char* kept[] = {"json_each", "json_tree", nullptr};
    check(db, sqlite3_drop_modules(db, kept));
    check(db, sqlite3_set_authorizer(db, readAuthorizer, nullptr));
}

}  // namespace ado::detail
