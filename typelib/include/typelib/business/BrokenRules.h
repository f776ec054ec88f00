#pragma once
// Broken-rules validation: a keyed list of the rules an edited object currently breaks.
#include <cstdint>
#include <string>

#include "com/collection.h"
#include "com/dispatch.h"
#include "typelib/business/ClassOf.h"

namespace Velmora_Business {

class _BrokenRule : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{24940C79-1458-4235-ABAC-93894A4025AF}");

    virtual void put_Rule(const std::string& value) = 0;
    virtual std::string get_Rule() = 0;
    virtual void Clear() = 0;
    virtual com::ComPtr<_BrokenRule> CopyMe() = 0;

protected:
    ~_BrokenRule() = default;
};

class _BrokenRules : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{1F4974E3-F9C8-4A5D-A2A5-7B21208CE4EC}");

    // Adds (IsBroken) or removes the rule keyed by its text; never raises.
    virtual void RuleBroken(const std::string& vRule, bool IsBroken) = 0;
    // Every rule text, each preceded by CR LF; "" for an empty list.
    virtual std::string get_BrokenRules() = 0;
    // The default member (dispatch id 0); an empty pointer when there is no such item.
    virtual com::ComPtr<_BrokenRule> get_Item(const com::Variant& vntIndexKey) = 0;
    // ":" followed by the rule text.
    virtual std::string Key(const com::ComPtr<_BrokenRule>& vBrokenRule) = 0;
    virtual int16_t get_Count() = 0;
    virtual com::ComPtr<com::IEnumVariant> get_NewEnum() = 0;  // dispatch id -4
    virtual bool AddExisting(const com::ComPtr<_BrokenRule>& vBrokenRule, const std::string& sKey = "") = 0;
    virtual void Clear() = 0;
    virtual com::ComPtr<_BrokenRules> CopyMe() = 0;

protected:
    ~_BrokenRules() = default;
};

// Events of a BrokenRules list (no arguments).
struct __BrokenRules {
    static constexpr com::Guid iid = com::Guid::of("{4EEF5A60-7095-4E87-B537-B1D489269DCE}");
    static constexpr com::DispId BrokenRule = 1;     // a rule entered the list
    static constexpr com::DispId NoBrokenRules = 2;  // a removal emptied the list
};

inline constexpr com::Guid CLSID_BrokenRule = com::Guid::of("{3875C0CD-A98D-4026-A84E-811B4C1EBB23}");
template <>
struct ClassOf<_BrokenRule> {
    static constexpr std::string_view ProgId = "Velmora_Business.BrokenRule";
    static constexpr com::Guid ClassId = CLSID_BrokenRule;
};
inline constexpr com::Guid CLSID_BrokenRules =
    com::Guid::of("{4C16F43B-7023-425E-8440-610AD25B4FB9}");  // not creatable

}  // namespace Velmora_Business
