#pragma once
// The published, unused class Enumeratori and the enumeration EVENT_INDEXES.
#include <cstdint>

#include "com/dispatch.h"
#include "typelib/business/ClassOf.h"

namespace Velmora_Business {

enum class EVENT_INDEXES : int32_t { ChildModified = 0, ChildChangeValue = 1 };

class _Enumeratori : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{D1E606C2-4E94-4876-AF6D-D7857866E278}");

protected:
    ~_Enumeratori() = default;
};

inline constexpr com::Guid CLSID_Enumeratori = com::Guid::of("{D6584794-5220-48AE-9603-B182B858A46A}");
template <>
struct ClassOf<_Enumeratori> {
    static constexpr std::string_view ProgId = "Velmora_Business.Enumeratori";
    static constexpr com::Guid ClassId = CLSID_Enumeratori;
};

}  // namespace Velmora_Business
