#include "DataAccess.h"

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

}  // namespace Velmora_Business::data
