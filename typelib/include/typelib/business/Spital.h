#pragma once
// The hospital register: Spital (one row of Nom_Spitale) and its list Spitale.
#include <cstdint>
#include <string>

#include "typelib/business/BrokenRules.h"
#include "typelib/business/EditedEvents.h"
#include "typelib/business/KeyedCollection.h"
#include "typelib/business/ClassOf.h"

namespace Velmora_Business {

class _Spital;
using _Spitale = KeyedCollection<_Spital, com::Guid::of("{97013184-98AC-4D00-917A-7A8BB6F200E8}")>;

class _Spital : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{18FA8E04-9E46-4592-80A3-F1F408CEF057}");

    virtual bool get_IsNew() = 0;
    virtual void put_IsDirty(bool value) = 0;
    virtual bool get_IsDirty() = 0;
    virtual bool get_IsDeleted() = 0;
    virtual int32_t get_IdSpital() = 0;
    virtual void put_CodSpital(const std::string& value) = 0;
    virtual std::string get_CodSpital() = 0;
    virtual void put_DenSpital(const std::string& value) = 0;
    virtual std::string get_DenSpital() = 0;
    virtual void put_IdJudet(int32_t value) = 0;
    virtual int32_t get_IdJudet() = 0;
    virtual void Clear() = 0;
    virtual void ReSetBrokenRule(bool BrokenAll) = 0;
    virtual bool get_IsValid() = 0;
    virtual com::ComPtr<_BrokenRules> get_Errors() = 0;
    virtual void Delete() = 0;
    virtual void UnDelete() = 0;
    virtual bool Save(bool bolStartTran = true) = 0;
    virtual bool Load(int32_t vIdSpital) = 0;
    virtual com::ComPtr<_Spitale> LoadList(const std::string& SQLWhereClause = "") = 0;
    virtual com::ComPtr<_Spital> CopyMe() = 0;
    // Lookup-list strings: "id&text|" per row; the delimiter arguments are not read.
    virtual std::string GetListaComboSpitale(int32_t vlngIdJudet, const std::string& ColDelimeter = "&",
                                             const std::string& RowDelimeter = "|") = 0;
    virtual std::string GetListaComboInformatii(const std::string& ColDelimeter = "&",
                                                const std::string& RowDelimeter = "|") = 0;

protected:
    ~_Spital() = default;
};

// Events: OnDirty (1), Valid (2).
struct __Spital {
    static constexpr com::Guid iid = com::Guid::of("{F6C421ED-3C08-4907-9114-BF39A3E79E7E}");
    static constexpr com::DispId OnDirty = EditedEvents::OnDirty;
    static constexpr com::DispId Valid = EditedEvents::Valid;
};

inline constexpr com::Guid CLSID_Spital = com::Guid::of("{010E5A00-2475-44A9-AF83-BC49191CF129}");
template <>
struct ClassOf<_Spital> {
    static constexpr std::string_view ProgId = "Velmora_Business.Spital";
    static constexpr com::Guid ClassId = CLSID_Spital;
};
inline constexpr com::Guid CLSID_Spitale = com::Guid::of("{244BC142-25B1-4976-A33D-B07432218C50}");  // not creatable

}  // namespace Velmora_Business
