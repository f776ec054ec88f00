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

// A statement text followed by an id in decimal digits (a minus sign when negative).
std::string withId(const std::string& statement, int32_t id);

}  // namespace Velmora_Business
