#pragma once
// The one place where the program creates the business library's objects: by ProgID, then
// seen through the library's interfaces (typelib/), so that a call the interface does not
// have fails to compile. The program never links the library.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "com/dispatch.h"
#include "com/error.h"
#include "com/server.h"
#include "forms/editedobject.h"
#include "typelib/Velmora_Business.h"

namespace velmora {

// A new object of the business library's class behind the interface I, created by the
// ProgID of I's trait (Velmora_Business::ClassOf<_Spital>::ProgId). Raises
// 429 when the class is not registered, 13 when the object does not answer for I. Only the
// interfaces of the library's creatable classes have a trait.
template <class I>
com::ComPtr<I> newObject() {
    const std::string_view progId = Velmora_Business::ClassOf<I>::ProgId;
    com::ComPtr<I> typed = com::CreateObject(progId).template query<I>();
    if (!typed)
        com::raise(com::errc::TypeMismatch, "Velmora",
                   "Obiectul " + std::string(progId) + " nu are interfata asteptata.");
    return typed;
}

// A new object of the edited class behind I (_Spital, _Sectie, _CostSpital, _CostSectie: the
// interfaces EditedObject holds).
template <class I>
EditedObject newEditedObject() {
    return EditedObject(newObject<I>());
}

// The object seen through the interface I; raises 13 when it does not answer for I.
template <class I>
com::ComPtr<I> typedAs(com::IDispatch& object) {
    com::ComPtr<I> typed = com::ComPtr<com::IDispatch>(&object).query<I>();
    if (!typed) com::raise(com::errc::TypeMismatch, "Velmora", "Obiectul nu este de tipul asteptat.");
    return typed;
}

// The value of a property that may be an object with a default member (as the
// connection's Properties("Data Source") is).
com::Variant valueOf(const com::Variant& item);

// A property of the business library's shared connection ("Data Source", "User ID",
// "Password"); the data source is the path of the database file it has open.
std::string connectionProperty(Velmora_Business::_Conection& conection, std::string_view name);
std::string connectionDataSource(Velmora_Business::_Conection& conection);

// The name of the county of that id, none when no county has it.
std::optional<std::string> countyName(int32_t idJudet);
// The code of the hospital of that id, none when no hospital has it or when it lies in
// another county than `idJudet` (-1: in any county).
std::optional<std::string> hospitalCode(int32_t idSpital, int32_t idJudet = -1);

// The lookup-list string of a county's hospitals ("id&code---name|...").
std::string hospitalList(int32_t idJudet);

// The class name of a business object ("Spital", "CostSpital", ...), found by the
// interfaces it answers for; "" for an object of another kind.
std::string typeNameOf(com::IDispatch& object);

}  // namespace velmora
