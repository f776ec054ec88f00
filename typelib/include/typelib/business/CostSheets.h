#pragma once
// The hospital cost sheet CostSpital and the ward cost sheet CostSectie, with their
// collections. Both sheets also implement Gravlin::ModelLinie and raise the edited
// entities' events (EditedEvents.h) through their source interfaces.
//
// The 85 money amounts (TCP, c02_1 ... c72) are reached by name: in C++ through
// get_Amount/put_Amount, late-bound as properties of their own name (an optional first
// argument bNotMakeDirty on the put). Their dispatch ids follow the member order of the
// default interface (amountDispId in the library).
#include <cstdint>
#include <string>
#include <string_view>

#include "com/currency.h"
#include "com/dispatch.h"
#include "typelib/business/BrokenRules.h"
#include "typelib/business/EditedEvents.h"
#include "typelib/business/KeyedCollection.h"
#include "typelib/business/ClassOf.h"

namespace Velmora_Business {

// Members the two sheets share, in the order of their default interfaces.
class _CostSheet : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{79D31781-E0EA-4BAC-B330-53059E9CA38F}");

    virtual bool get_IsNew() = 0;
    // Raises OnDirty(value) on every write unless bNotRaiseEvent.
    virtual void put_IsDirty(bool value, bool bNotRaiseEvent = false) = 0;
    virtual bool get_IsDirty() = 0;
    virtual bool get_IsDeleted() = 0;
    virtual bool get_IsValid() = 0;
    virtual com::ComPtr<_BrokenRules> get_Errors() = 0;
    virtual int32_t get_IdCost() = 0;
    virtual void put_IdPerioada(int32_t value, bool bNotMakeDirty = false) = 0;
    virtual int32_t get_IdPerioada() = 0;
    virtual void put_Perioada(const std::string& value) = 0;
    virtual std::string get_Perioada() = 0;

    // An amount by its exact name; an unknown name raises 438.
    virtual void put_Amount(const std::string& name, com::Currency value, bool bNotMakeDirty = false) = 0;
    virtual com::Currency get_Amount(const std::string& name) = 0;

    virtual void Clear() = 0;
    virtual void ReSetBrokenRule(bool BrokenAll) = 0;
    virtual bool Save(bool bolStartTran = true) = 0;
    virtual void Delete() = 0;
    virtual void UnDelete() = 0;
    virtual bool Load(int32_t vlngIdCost) = 0;

protected:
    ~_CostSheet() = default;
};

class _CostSpital;
class _CostSectie;
using _CostSpital_S = KeyedCollection<_CostSpital, com::Guid::of("{2FBF95EA-B88F-480F-96AB-306F5BD60248}")>;
using _CostSectie_S = KeyedCollection<_CostSectie, com::Guid::of("{C2BB93CA-2C78-4709-AA6B-5430A93E6063}")>;

class _CostSpital : public _CostSheet {
public:
    using Base = _CostSheet;
    static constexpr com::Guid iid = com::Guid::of("{961517F2-916F-4EEA-9B18-36FFD8816F21}");

    virtual void put_IdSpital(int32_t value, bool bNotMakeDirty = false) = 0;
    virtual int32_t get_IdSpital() = 0;
    virtual com::ComPtr<_CostSpital_S> LoadList(const std::string& SQLWhereClause = "") = 0;
    virtual com::ComPtr<_CostSpital> CopyMe() = 0;

protected:
    ~_CostSpital() = default;
};

class _CostSectie : public _CostSheet {
public:
    using Base = _CostSheet;
    static constexpr com::Guid iid = com::Guid::of("{B2E87F25-9C7A-4338-9FFB-4833144009EF}");

    // Looks the ward up and copies its hospital, ward type and number.
    virtual void put_IdSectieFiltrat(int32_t value, bool bNotMakeDirty = false) = 0;
    virtual int32_t get_IdSectieFiltrat() = 0;
    virtual void put_IdSpital(int32_t value) = 0;
    virtual int32_t get_IdSpital() = 0;
    virtual void put_IdSectie(int32_t value) = 0;
    virtual int32_t get_IdSectie() = 0;
    virtual void put_CodSectie(const std::string& value) = 0;
    virtual std::string get_CodSectie() = 0;
    virtual void put_NrSectie(int32_t value) = 0;
    virtual int32_t get_NrSectie() = 0;
    virtual com::ComPtr<_CostSectie_S> LoadList(const std::string& SQLWhereClause = "") = 0;
    virtual com::ComPtr<_CostSectie> CopyMe() = 0;

protected:
    ~_CostSectie() = default;
};

// Events: OnDirty (1), Valid (2).
struct __CostSpital {
    static constexpr com::Guid iid = com::Guid::of("{A6B0BD80-4AAD-4284-BCFE-DAE7BA2BBF91}");
    static constexpr com::DispId OnDirty = EditedEvents::OnDirty;
    static constexpr com::DispId Valid = EditedEvents::Valid;
};
struct __CostSectie {
    static constexpr com::Guid iid = com::Guid::of("{573E147F-1DB1-47B9-AB26-19D95E26C839}");
    static constexpr com::DispId OnDirty = EditedEvents::OnDirty;
    static constexpr com::DispId Valid = EditedEvents::Valid;
};

inline constexpr com::Guid CLSID_CostSpital = com::Guid::of("{4711FD63-E1A8-4CBB-A1EA-005C08C16B5B}");
template <>
struct ClassOf<_CostSpital> {
    static constexpr std::string_view ProgId = "Velmora_Business.CostSpital";
    static constexpr com::Guid ClassId = CLSID_CostSpital;
};
inline constexpr com::Guid CLSID_CostSectie = com::Guid::of("{CE73FFC4-575F-4BD4-9F32-0D4D3EC861BE}");
template <>
struct ClassOf<_CostSectie> {
    static constexpr std::string_view ProgId = "Velmora_Business.CostSectie";
    static constexpr com::Guid ClassId = CLSID_CostSectie;
};
inline constexpr com::Guid CLSID_CostSpital_S = com::Guid::of("{D15CD1EF-F4C8-46EC-8F80-7FE2B2308BE3}");
template <>
struct ClassOf<_CostSpital_S> {
    static constexpr std::string_view ProgId = "Velmora_Business.CostSpital_S";
    static constexpr com::Guid ClassId = CLSID_CostSpital_S;
};
inline constexpr com::Guid CLSID_CostSectie_S =
    com::Guid::of("{DB5CF331-8561-4271-A430-3D4BCAC86B4E}");  // not creatable

}  // namespace Velmora_Business
