#pragma once
// The report catalogue: Raport (one node of Rapoarte) and its list Rapoarte; read only.
#include <cstdint>
#include <string>

#include "typelib/business/KeyedCollection.h"
#include "typelib/business/ClassOf.h"

namespace Velmora_Business {

class _Raport;
using _Rapoarte = KeyedCollection<_Raport, com::Guid::of("{2C6E8A08-E161-4939-A36E-80E426B6C083}")>;

class _Raport : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{F87B63FA-E5F3-42B9-923D-15AB31AB79FC}");

    virtual bool get_IsNew() = 0;
    virtual void put_IsDirty(bool value) = 0;
    virtual bool get_IsDirty() = 0;
    virtual bool get_IsDeleted() = 0;
    virtual int32_t get_IdRaport() = 0;
    virtual void put_DenRaport(const std::string& value) = 0;
    virtual std::string get_DenRaport() = 0;
    virtual int32_t get_IdParinte() = 0;
    virtual void put_TipRaport(const std::string& value) = 0;
    virtual std::string get_TipRaport() = 0;
    virtual void put_Parametrii(const std::string& value) = 0;
    virtual std::string get_Parametrii() = 0;
    virtual void put_Locatie(const std::string& value) = 0;
    virtual std::string get_Locatie() = 0;
    virtual void Clear() = 0;
    virtual void Delete() = 0;
    virtual void UnDelete() = 0;
    virtual bool Load(int32_t vIdRaport) = 0;
    virtual com::ComPtr<_Rapoarte> LoadList(const std::string& SQLWhereClause = "") = 0;
    virtual com::ComPtr<_Raport> CopyMe() = 0;

protected:
    ~_Raport() = default;
};

inline constexpr com::Guid CLSID_Raport = com::Guid::of("{1A340982-A5DC-4825-AC5C-2C58305E1D75}");
template <>
struct ClassOf<_Raport> {
    static constexpr std::string_view ProgId = "Velmora_Business.Raport";
    static constexpr com::Guid ClassId = CLSID_Raport;
};
inline constexpr com::Guid CLSID_Rapoarte = com::Guid::of("{67F47BB3-80CF-4FD3-BAE9-4F3F10A7FB92}");  // not creatable

}  // namespace Velmora_Business
