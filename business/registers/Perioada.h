#pragma once
// Perioada: one reporting period, a row of Nom_Perioade (read only; no Load, no CopyMe).
#include <array>
#include <string>
#include <string_view>

#include "framework/Entity.h"
#include "framework/EntityList.h"
#include "typelib/business/Perioada.h"

namespace Velmora_Business {

class Perioada final : public StandardMarks<EntityBase<Perioada, _Perioada>> {
public:
    using List = EntityList<_Perioade, &_Perioada::get_IdPerioada>;

    static constexpr std::string_view ClassName = classNameOf<_Perioada>();
    static constexpr std::string_view IdColumn = "IdPerioada";
    static const std::array<Column<Perioada>, 1> Columns;
    static inline const std::string ListSql = "Select " + columnList<Perioada>(true) + " From Nom_Perioade a ";
    static constexpr std::string_view ListOrder = " Order By a.IdPerioada";

    Perioada() { Clear(); }

    int32_t get_IdPerioada() override { return id_; }
    void put_Perioada(const std::string& value) override { den_ = value; }
    std::string get_Perioada() override { return den_; }
    void Clear() override {
        resetMarks();
        clearColumns(*this);
    }
    com::ComPtr<_Perioade> LoadList(const std::string& SQLWhereClause = "") override {
        return loadList(SQLWhereClause);
    }
    std::string GetListaComboPerioade(const std::string& SQLWhereClause = "", const std::string& = "&",
                                      const std::string& = "|") override;
    std::string GetDenScurta(int32_t pIdPerioada) override;

    static const com::DispatchTable<Perioada>& dispatchTable();

private:
    std::string den_;
};

inline constexpr std::array<Column<Perioada>, 1> Perioada::Columns{{
    column<Perioada, &Perioada::den_, &Perioada::get_Perioada, &Perioada::put_Perioada>("DenPerioada",
                                                                                        {.property = "Perioada"}),
}};

}  // namespace Velmora_Business
