#pragma once
// The statements the cost sheets run, built from the amount catalogue. Each select of a
// single sheet ends in "=" for the id that follows it; the list statements take the
// caller's clause between their FROM text and their order clause.
#include <cstdint>
#include <string>
#include <string_view>

namespace Velmora_Business {

enum class SheetKind { Hospital, Ward };

// The save statement (also the hospital sheet's load statement), ending in "a.IdCost=".
const std::string& saveStatement(SheetKind kind);
// The load statement, ending in "a.IdCost=".
const std::string& loadStatement(SheetKind kind);
// The list statement up to its FROM text; the caller's clause follows it unchanged, then
// the order clause.
const std::string& listHead(SheetKind kind);
inline constexpr std::string_view ListOrderClause = " Order By a.IdPerioada";
std::string listStatement(SheetKind kind, std::string_view whereClause);

// Where the list statements put their leading columns. They are read by position: the
// engine names a column of a nested join after its table when another table has a
// column of the same name.
namespace ListColumn {
inline constexpr int32_t IdCost = 0;
inline constexpr int32_t IdPerioada = 1;
inline constexpr int32_t Perioada = 2;
inline constexpr int32_t IdSpital = 3;
inline constexpr int32_t IdSectie = 4;   // ward list
inline constexpr int32_t CodSectie = 5;  // ward list
inline constexpr int32_t NrSectie = 6;   // ward list
}  // namespace ListColumn

// A statement text followed by an id in decimal digits (a minus sign when negative).
std::string withId(const std::string& statement, int32_t id);

}  // namespace Velmora_Business
