#pragma once
// The ward register: Sectie (one row of Lista_Sectii___Filtrat) and its list Sectii.
#include <cstdint>
#include <string>

#include "typelib/business/BrokenRules.h"
#include "typelib/business/EditedEvents.h"
#include "typelib/business/KeyedCollection.h"
#include "typelib/business/ClassOf.h"

namespace Velmora_Business {

class _Sectie;
using _Sectii = KeyedCollection<_Sectie, com::Guid::of("{60BCFE69-6FC0-4112-9506-3DFF8C0661CF}")>;

class _Sectie : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{8FA2C6EE-FF56-4FBB-8103-E82AC39432EF}");

    virtual bool get_IsNew() = 0;
    virtual void put_IsDirty(bool value) = 0;
    virtual bool get_IsDirty() = 0;
    virtual bool get_IsDeleted() = 0;
    virtual int32_t get_IdSectieFiltrat() = 0;
    // bNotMakeDirty: store (and evaluate the rule) without marking the ward dirty.
    virtual void put_IdSpital(int32_t value, bool bNotMakeDirty = false) = 0;
    virtual int32_t get_IdSpital() = 0;
    virtual void put_IdSectie(int32_t value, bool bNotMakeDirty = false) = 0;
    virtual int32_t get_IdSectie() = 0;
    virtual void put_CodSectie(const std::string& value) = 0;
    virtual std::string get_CodSectie() = 0;
    virtual void put_NrSectie(int32_t value, bool bNotMakeDirty = false) = 0;
    virtual int32_t get_NrSectie() = 0;
    virtual void Clear() = 0;
    virtual void ReSetBrokenRule(bool BrokenAll) = 0;
    virtual bool get_IsValid() = 0;
    virtual com::ComPtr<_BrokenRules> get_Errors() = 0;
    virtual void Delete() = 0;
    virtual void UnDelete() = 0;
    virtual bool Save(bool bolStartTran = true) = 0;
    virtual bool Load(int32_t vIdSectieFiltrat) = 0;
    virtual com::ComPtr<_Sectii> LoadList(const std::string& SQLWhereClause = "") = 0;
    virtual com::ComPtr<_Sectie> CopyMe() = 0;
    virtual std::string GetListaComboSectii(const std::string& ColDelimeter = "&",
                                            const std::string& RowDelimeter = "|") = 0;
    virtual std::string GetListaComboSectiiFiltrat(int32_t vIdSpital, const std::string& ColDelimeter = "&",
                                                   const std::string& RowDelimeter = "|") = 0;
    // The ward's hospital, type and number; zeros when the ward has no row.
    virtual void GetInfoSectieFiltrat(int32_t vIdSectieFiltrat, int32_t& vIdSpital, int32_t& vIdSectie,
                                      int32_t& vNrSectie) = 0;

protected:
    ~_Sectie() = default;
};

// Events: OnDirty (1), Valid (2).
struct __Sectie {
    static constexpr com::Guid iid = com::Guid::of("{ACF281C1-2A65-4237-8D54-5BAB294DC71F}");
    static constexpr com::DispId OnDirty = EditedEvents::OnDirty;
    static constexpr com::DispId Valid = EditedEvents::Valid;
};

inline constexpr com::Guid CLSID_Sectie = com::Guid::of("{B865C10E-35F9-47AD-ADB5-5FBE3EC7F0A5}");
template <>
struct ClassOf<_Sectie> {
    static constexpr std::string_view ProgId = "Velmora_Business.Sectie";
    static constexpr com::Guid ClassId = CLSID_Sectie;
};
inline constexpr com::Guid CLSID_Sectii = com::Guid::of("{1C3BFCB2-58AB-420B-9F8B-312D39356AC4}");  // not creatable

}  // namespace Velmora_Business
