#pragma once
// The business library's classes, created by ProgID and called late-bound: the program
// never links the library.
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

// The path of the database file that the business library's shared connection has open.
std::string connectionDataSource(com::IDispatch& conection);

// The class name of a business object ("Spital", "CostSpital", ...), found by the
// interfaces it answers for; "" for an object of another kind.
std::string typeNameOf(com::IDispatch& object);

}  // namespace velmora
