#pragma once
// ADO's Command: runs one Jet SQL statement that returns no rows.
//
//   ado::Command cmd;
//   cmd.ActiveConnection(conn);
//   cmd.CommandType(ado::CommandType::Text);
//   cmd.CommandText("DELETE a.* FROM Velmora_Spital a WHERE a.IdPerioada<>3");
//   cmd.Execute(ado::ExecuteNoRecords);
#include <cstdint>
#include <string>
#include <string_view>

#include "ado/connection.h"

namespace ado {

enum class CommandType : int32_t { Text = 1 };
inline constexpr int32_t ExecuteNoRecords = 128;

class [[gnu::visibility("default")]] Command {
public:
    void ActiveConnection(com::ComPtr<Connection> connection) { connection_ = std::move(connection); }
    const com::ComPtr<Connection>& ActiveConnection() const { return connection_; }
    void CommandType(ado::CommandType type) { type_ = type; }
    ado::CommandType CommandType() const { return type_; }
    void CommandText(std::string_view text) { text_ = text; }
    const std::string& CommandText() const { return text_; }

    // Runs the text on the active connection (raises 3704 without an open one); answers
    // the number of rows changed. Errors as Recordset::Open.
    int64_t Execute(int32_t options = ExecuteNoRecords);

private:
    com::ComPtr<Connection> connection_;
    ado::CommandType type_ = ado::CommandType::Text;
    std::string text_;
};

}  // namespace ado
