#pragma once
// The county register: Judet (one row of Nom_Judete) and its list Judete; read only.
#include <cstdint>
#include <string>

#include "typelib/business/KeyedCollection.h"
#include "typelib/business/ClassOf.h"

namespace Velmora_Business {

class _Judet;
using _Judete = KeyedCollection<_Judet, com::Guid::of("{1531DD93-C9A5-4F59-B099-3B5D981DE66C}")>;

class _Judet : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{013DD705-69FE-4ADE-9BB4-E9289708F4AF}");

    virtual bool get_IsNew() = 0;
    virtual void put_IsDirty(bool value) = 0;
    virtual bool get_IsDirty() = 0;
    virtual bool get_IsDeleted() = 0;
    virtual int32_t get_IdJudet() = 0;
    virtual void put_DenJudet(const std::string& value) = 0;
    virtual std::string get_DenJudet() = 0;
    virtual void Clear() = 0;
    virtual void Delete() = 0;
    virtual void UnDelete() = 0;
    virtual bool Load(int32_t vIdJudet) = 0;
    virtual com::ComPtr<_Judete> LoadList(const std::string& SQLWhereClause = "") = 0;
    virtual com::ComPtr<_Judet> CopyMe() = 0;
    virtual std::string GetListaComboJudete(const std::string& ColDelimeter = "&",
                                            const std::string& RowDelimeter = "|") = 0;

protected:
    ~_Judet() = default;
};

inline constexpr com::Guid CLSID_Judet = com::Guid::of("{1925AEF5-E8D1-4B28-82FA-BDD4BD3B9F27}");
template <>
struct ClassOf<_Judet> {
    static constexpr std::string_view ProgId = "Velmora_Business.Judet";
    static constexpr com::Guid ClassId = CLSID_Judet;
};
inline constexpr com::Guid CLSID_Judete = com::Guid::of("{616C25E2-3BE7-4C3E-8867-535C5D75708E}");  // not creatable

}  // namespace Velmora_Business
