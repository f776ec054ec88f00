#pragma once
// The business library's classes, created by ProgID and called late-bound: the program
// never links the library.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com/dispatch.h"

namespace velmora {

// A new object of the business library's class (e.g. "Spital"); raises 429 when the
// class is not registered.
com::ComPtr<com::IDispatch> newBusinessObject(std::string_view className);

// The value of a property that may be an object with a default member (as the
// connection's Properties("Data Source") is).
com::Variant valueOf(const com::Variant& item);

// A property of the business library's shared connection ("Data Source", "User ID",
// "Password"); the data source is the path of the database file it has open.
std::string connectionProperty(com::IDispatch& conection, std::string_view name);
std::string connectionDataSource(com::IDispatch& conection);

// Loads a register row by id through a new business object and returns one of its fields
// (none when no row has that id).
std::optional<std::string> storedField(std::string_view className, int32_t id, std::string_view field);
// The same, "" when no row has that id.
std::string loadedField(std::string_view className, int32_t id, std::string_view field);

// The lookup-list string of a county's hospitals ("id&code---name|...").
std::string hospitalList(int32_t idJudet);

// The class name of a business object ("Spital", "CostSpital", ...), found by the
// interfaces it answers for; "" for an object of another kind.
std::string typeNameOf(com::IDispatch& object);

}  // namespace velmora
