#pragma once
// How a client names a creatable class of the library: by its default interface.
// ClassOf<_Spital> is given beside _Spital, with the class's ProgID and class id; the
// library registers the class under them and the clients create it by them. An interface
// of no creatable class has none, so that creating an object through it does not compile.
#include <string_view>

namespace Velmora_Business {

template <class I>
struct ClassOf;

// The class's own name, its ProgID without the library's name: "Spital".
template <class I>
constexpr std::string_view classNameOf() {
    constexpr std::string_view progId = ClassOf<I>::ProgId;
    return progId.substr(progId.find('.') + 1);
}

}  // namespace Velmora_Business
