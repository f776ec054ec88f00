#pragma once
// The statements the cost sheets run, built from the amount catalogue. Each select of a
// single sheet ends in "=" for the id that follows it; the list statements take the
// caller's clause between their FROM text and their order clause.
#include <cstdint>
#include <string>
#include <string_view>

namespace business::costs {

enum class SheetKind { Hospital, Ward };

// The save statement (also the hospital sheet's load statement), ending in "a.IdCost=".
const std::string& saveStatement(SheetKind kind);
// The load statement, ending in "a.IdCost=".
const std::string& loadStatement(SheetKind kind);
// The list statement with the caller's clause put in unchanged.
std::string listStatement(SheetKind kind, std::string_view whereClause);

// A statement text followed by an id in decimal digits (a minus sign when negative).
std::string withId(const std::string& statement, int32_t id);

}  // namespace business::costs
