#include "DataAccess.h"

#include <algorithm>

#include "GlobalBL.h"

namespace Velmora_Business::data {

ado::Recordset openReading(const std::string& sql) {
    ado::Recordset rs;
    rs.Open(sql, GlobalBL::gConn(), ado::CursorType::ForwardOnly, ado::LockType::ReadOnly, -1);
    return rs;
}

ado::Recordset openForSave(const std::string& sql) {
    ado::Recordset rs;
    rs.Open(sql, GlobalBL::gConn(), ado::CursorType::Keyset, ado::LockType::Optimistic, -1);
    return rs;
}

std::string lookupList(const std::string& sql) {
    ado::Recordset rs = openReading(sql);
    std::string list;
    if (!rs.Eof()) list = rs.GetString(ado::StringFormat::Clip, -1, "&", "|", "");
    rs.Close();
    return list;
}

int32_t readLong(const ado::Recordset& rs, std::string_view column) { return rs.field(column).toLong(); }

std::string readText(const ado::Recordset& rs, std::string_view column) { return rs.field(column).toString(); }

int32_t readLongOrZero(const ado::Recordset& rs, std::string_view column) {
    const com::Variant value = rs.field(column);
    return value.isNull() ? 0 : value.toLong();
}

std::string readTextOrEmpty(const ado::Recordset& rs, std::string_view column) {
    const com::Variant value = rs.field(column);
    return value.isNull() ? std::string() : value.toString();
}

std::vector<std::string> selectedColumns(std::string_view sql) {
    constexpr std::string_view select = "Select ";
    std::string_view list = sql.substr(0, sql.find(" FROM "));
    if (list.starts_with(select)) list.remove_prefix(select.size());
    std::vector<std::string> names;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        std::string_view item = list.substr(0, comma);
        item.remove_prefix(std::min(item.find_first_not_of(' '), item.size()));
        if (const std::size_t dot = item.find('.'); dot != std::string_view::npos) item.remove_prefix(dot + 1);
        names.emplace_back(item);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return names;
}

std::vector<com::Variant> rowValues(const ado::Recordset& rs, const std::vector<std::string>& columns) {
    std::vector<com::Variant> values;
    values.reserve(columns.size());
    for (const std::string& column : columns) values.push_back(rs.field(column));
    return values;
}

}  // namespace Velmora_Business::data
