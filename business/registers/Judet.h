#pragma once
// Judet: one county, a row of Nom_Judete (read only).
#include <string>
#include <string_view>

#include "framework/Entity.h"
#include "framework/EntityList.h"
#include "typelib/business/Judet.h"

namespace Velmora_Business {

class Judet final : public StandardMarks<EntityBase<Judet, _Judet>> {
public:
    using List = EntityList<_Judete, &_Judet::get_IdJudet>;

    static constexpr std::string_view ClassName = "Judet";
    static constexpr std::string_view IdColumn = "IdJudet";
    static constexpr std::string_view LoadSql = "Select a.IdJudet, a.DenJudet From Nom_Judete a Where a.IdJudet=";
    static constexpr std::string_view ListSql = "Select a.IdJudet, a.DenJudet From Nom_Judete a ";
    static constexpr std::string_view ListOrder = " Order By a.DenJudet";

    Judet() { Clear(); }

    int32_t get_IdJudet() override { return id_; }
    void put_DenJudet(const std::string& value) override { den_ = value; }
    std::string get_DenJudet() override { return den_; }
    void Clear() override {
        resetMarks();
        den_.clear();
    }
    bool Load(int32_t vIdJudet) override { return loadRow(vIdJudet); }
    com::ComPtr<_Judete> LoadList(const std::string& SQLWhereClause = "") override { return loadList(SQLWhereClause); }
    com::ComPtr<_Judet> CopyMe() override { return copyEntity(); }
    std::string GetListaComboJudete(const std::string& = "&", const std::string& = "|") override;

    void readRow(const ado::Recordset& rs);
    void assignRow(const ado::Recordset& rs) { put_DenJudet(data::readText(rs, "DenJudet")); }
    void copyFieldsTo(Judet& copy) { copy.put_DenJudet(den_); }

    static const com::DispatchTable<Judet>& dispatchTable();

private:
    std::string den_;
};

}  // namespace Velmora_Business
