#include "ado/values.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "ado/error.h"
#include "column_values.h"
#include "com/dispatch.h"
#include "com/error.h"

namespace ado {

namespace {
bool containsNoCase(std::string_view text, std::string_view word) {
    if (word.size() > text.size()) return false;
    for (size_t i = 0; i + word.size() <= text.size(); ++i)
        if (com::equalsIgnoreCase(text.substr(i, word.size()), word)) return true;
    return false;
}
}  // namespace

ColumnKind columnKindOf(std::string_view t) {
    if (t.empty()) return ColumnKind::Untyped;
    if (containsNoCase(t, "CURRENCY") || containsNoCase(t, "MONEY")) return ColumnKind::Currency;
    if (containsNoCase(t, "DATE") || containsNoCase(t, "TIME")) return ColumnKind::Date;
    if (containsNoCase(t, "INT") || containsNoCase(t, "COUNTER") || containsNoCase(t, "AUTOINCREMENT"))
        return ColumnKind::Integer;
    if (containsNoCase(t, "CHAR") || containsNoCase(t, "TEXT") || containsNoCase(t, "CLOB") ||
        containsNoCase(t, "MEMO"))
        return ColumnKind::Text;
    if (containsNoCase(t, "REAL") || containsNoCase(t, "FLOA") || containsNoCase(t, "DOUB")) return ColumnKind::Real;
    return ColumnKind::Untyped;
}

}  // namespace ado

namespace ado::detail {

namespace {

int32_t checkedInt32(int64_t v) {
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        raise(com::errc::Overflow,
              com::standardDescription(com::errc::Overflow,
                                       "Valoarea " + std::to_string(v) + " nu incape intr-un intreg pe 32 de biti."));
    return static_cast<int32_t>(v);
}

std::string columnText(sqlite3_stmt* stmt, int index) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
    return std::string(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt, index)));
}

com::Variant readUntyped(sqlite3_stmt* stmt, int index) {
    switch (sqlite3_column_type(stmt, index)) {
    case SQLITE_INTEGER: {
        const int64_t v = sqlite3_column_int64(stmt, index);
        if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
            return static_cast<int32_t>(v);
        return static_cast<double>(v);
    }
    case SQLITE_FLOAT: return sqlite3_column_double(stmt, index);
    case SQLITE_NULL: return com::Variant::null();
    default: return columnText(stmt, index);
    }
}

}  // namespace

com::Variant readColumn(sqlite3_stmt* stmt, int index, ColumnKind kind) {
    const int type = sqlite3_column_type(stmt, index);
    if (type == SQLITE_NULL) return com::Variant::null();
    switch (kind) {
    case ColumnKind::Integer:
        if (type == SQLITE_INTEGER) return checkedInt32(sqlite3_column_int64(stmt, index));
        if (type == SQLITE_FLOAT) return checkedInt32(com::roundHalfEven(sqlite3_column_double(stmt, index)));
        return columnText(stmt, index);
    case ColumnKind::Currency:
        if (type == SQLITE_INTEGER) return com::Currency::fromUnits(sqlite3_column_int64(stmt, index));
        if (type == SQLITE_FLOAT)
            return com::Currency::fromUnits(com::roundHalfEven(sqlite3_column_double(stmt, index)));
        return columnText(stmt, index);
    case ColumnKind::Date:
        if (type == SQLITE_TEXT) return com::Date::fromIso(columnText(stmt, index));
        return com::Date(sqlite3_column_double(stmt, index));
    case ColumnKind::Text:
        if (type == SQLITE_TEXT) return columnText(stmt, index);
        return readUntyped(stmt, index);
    case ColumnKind::Real:
        if (type == SQLITE_TEXT) return columnText(stmt, index);
        return sqlite3_column_double(stmt, index);
    case ColumnKind::Untyped: break;
    }
    return readUntyped(stmt, index);
}

namespace {
int bindText(sqlite3_stmt* stmt, int index, const std::string& text) {
    return sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

int bindNatural(sqlite3_stmt* stmt, int index, const com::Variant& v) {
    switch (v.type()) {
    case com::VarType::Boolean: return sqlite3_bind_int(stmt, index, v.toBool() ? -1 : 0);
    case com::VarType::Integer:
    case com::VarType::Long: return sqlite3_bind_int(stmt, index, v.toLong());
    case com::VarType::Currency: return sqlite3_bind_int64(stmt, index, v.get<com::Currency>()->units());
    case com::VarType::Double: return sqlite3_bind_double(stmt, index, *v.get<double>());
    case com::VarType::Date: return bindText(stmt, index, v.get<com::Date>()->toIso());
    case com::VarType::String: return bindText(stmt, index, *v.get<std::string>());
    default:
        raise(com::errc::TypeMismatch,
              com::standardDescription(com::errc::TypeMismatch, "Un obiect nu poate fi scris intr-o coloana."));
    }
}
}  // namespace

void bindValue(sqlite3_stmt* stmt, int index, const com::Variant& v, ColumnKind kind) {
    int rc = SQLITE_OK;
    if (v.isNull() || v.isEmpty()) {
        rc = sqlite3_bind_null(stmt, index);
    } else {
        switch (kind) {
        case ColumnKind::Integer: rc = sqlite3_bind_int(stmt, index, v.toLong()); break;
        case ColumnKind::Currency: rc = sqlite3_bind_int64(stmt, index, v.toCurrency().units()); break;
        case ColumnKind::Date: rc = bindText(stmt, index, v.toDate().toIso()); break;
        case ColumnKind::Text: rc = bindText(stmt, index, v.toString()); break;
        case ColumnKind::Real: rc = sqlite3_bind_double(stmt, index, v.toDouble()); break;
        case ColumnKind::Untyped: rc = bindNatural(stmt, index, v); break;
        }
    }
    if (rc != SQLITE_OK) raise(errc::Engine, sqlite3_errstr(rc));
}

std::string plainText(const com::Variant& v) {
    switch (v.type()) {
    case com::VarType::Empty:
    case com::VarType::Null: return {};
    case com::VarType::Boolean: return v.toBool() ? "True" : "False";
    case com::VarType::Integer:
    case com::VarType::Long: return std::to_string(v.toLong());
    case com::VarType::Currency: return v.get<com::Currency>()->toString(".");
    case com::VarType::Double: {
        const double d = *v.get<double>();
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
        return std::string(buffer, result.ptr);
    }
    case com::VarType::Date: return v.get<com::Date>()->toIso();
    case com::VarType::String: return *v.get<std::string>();
    case com::VarType::Object: break;
    }
    return v.toString();
}

}  // namespace ado::detail
