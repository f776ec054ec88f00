#pragma once
// The library's table of creatable classes, which its class factories and its
// self-registration serve. Each class adds itself from its own source file:
//
//   const ClassRegistration registration{creatable<Spital, _Spital>()};
#include <span>
#include <vector>

#include "com/server.h"
#include "typelib/business/ClassOf.h"

namespace Velmora_Business {

// Adds a class to the table (com::server::libraryClasses) that the entry points serve.
struct ClassRegistration {
    explicit ClassRegistration(const com::ClassInfo& info);
};

// A class factory's creation function: a new object held through its default interface.
template <class T, class Interface>
com::ComPtr<com::IUnknown> createAs() {
    return com::ComPtr<com::IUnknown>(com::make<T, Interface>());
}

// The class T, created through its default interface, under the ProgID and class id of
// that interface's trait (ClassOf).
template <class T, class Interface>
com::ClassInfo creatable() {
    return {ClassOf<Interface>::ProgId, ClassOf<Interface>::ClassId, &createAs<T, Interface>};
}

}  // namespace Velmora_Business
