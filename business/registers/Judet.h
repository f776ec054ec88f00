#pragma once
// Judet: one county, a row of Nom_Judete (read only).
#include <array>
#include <string>
#include <string_view>

#include "framework/Entity.h"
#include "framework/EntityList.h"
#include "typelib/business/Judet.h"

namespace Velmora_Business {

class Judet final : public StandardMarks<EntityBase<Judet, _Judet>> {
public:
    using List = EntityList<_Judete, &_Judet::get_IdJudet>;

    static constexpr std::string_view ClassName = classNameOf<_Judet>();
    static constexpr std::string_view IdColumn = "IdJudet";
    static const std::array<Column<Judet>, 1> Columns;
    static inline const std::string LoadSql =
        "Select " + columnList<Judet>(false) + " From Nom_Judete a Where a.IdJudet=";
    static inline const std::string ListSql = "Select " + columnList<Judet>(true) + " From Nom_Judete a ";
    static constexpr std::string_view ListOrder = " Order By a.DenJudet";

    Judet() { Clear(); }

    int32_t get_IdJudet() override { return id_; }
    void put_DenJudet(const std::string& value) override { den_ = value; }
    std::string get_DenJudet() override { return den_; }
    void Clear() override {
        resetMarks();
        clearColumns(*this);
    }
    bool Load(int32_t vIdJudet) override { return loadRow(vIdJudet); }
    com::ComPtr<_Judete> LoadList(const std::string& SQLWhereClause = "") override { return loadList(SQLWhereClause); }
    com::ComPtr<_Judet> CopyMe() override { return copyEntity(); }
    std::string GetListaComboJudete(const std::string& = "&", const std::string& = "|") override;

    static const com::DispatchTable<Judet>& dispatchTable();

private:
    std::string den_;
};

inline constexpr std::array<Column<Judet>, 1> Judet::Columns{{
    column<Judet, &Judet::den_, &Judet::get_DenJudet, &Judet::put_DenJudet>("DenJudet"),
}};

}  // namespace Velmora_Business
