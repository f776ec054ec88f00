#pragma once
// The period register: Perioada (one row of Nom_Perioade) and its list Perioade; read only.
#include <cstdint>
#include <string>

#include "typelib/business/KeyedCollection.h"
#include "typelib/business/ClassOf.h"

namespace Velmora_Business {

class _Perioada;
using _Perioade = KeyedCollection<_Perioada, com::Guid::of("{9EC7719C-C449-4369-96A7-B49C9215711B}")>;

class _Perioada : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{70E0CFCA-32CD-4A8A-B69D-22099C7FB23F}");

    virtual bool get_IsNew() = 0;
    virtual void put_IsDirty(bool value) = 0;
    virtual bool get_IsDirty() = 0;
    virtual bool get_IsDeleted() = 0;
    virtual int32_t get_IdPerioada() = 0;
    virtual void put_Perioada(const std::string& value) = 0;
    virtual std::string get_Perioada() = 0;
    virtual void Clear() = 0;
    virtual void Delete() = 0;
    virtual void UnDelete() = 0;
    virtual com::ComPtr<_Perioade> LoadList(const std::string& SQLWhereClause = "") = 0;
    virtual std::string GetListaComboPerioade(const std::string& SQLWhereClause = "",
                                              const std::string& ColDelimeter = "&",
                                              const std::string& RowDelimeter = "|") = 0;
    // The period's name, or "" when there is no such period.
    virtual std::string GetDenScurta(int32_t pIdPerioada) = 0;

protected:
    ~_Perioada() = default;
};

inline constexpr com::Guid CLSID_Perioada = com::Guid::of("{FFBAADD7-19DE-407B-8FB3-C5C326DD3D0B}");
template <>
struct ClassOf<_Perioada> {
    static constexpr std::string_view ProgId = "Velmora_Business.Perioada";
    static constexpr com::Guid ClassId = CLSID_Perioada;
};
inline constexpr com::Guid CLSID_Perioade = com::Guid::of("{2A828703-1317-4190-A878-9CD2D76508C4}");  // not creatable

}  // namespace Velmora_Business
