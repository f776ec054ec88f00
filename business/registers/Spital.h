#pragma once
// Spital: one hospital, a row of Nom_Spitale.
#include <array>
#include <string>
#include <string_view>

#include "framework/EditedEntity.h"
#include "framework/EntityList.h"
#include "typelib/business/Spital.h"

namespace Velmora_Business {

class Spital final : public StandardMarks<EditedEntity<Spital, _Spital>> {
public:
    using List = EntityList<_Spitale, &_Spital::get_IdSpital>;

    static constexpr std::string_view ClassName = classNameOf<_Spital>();
    static constexpr std::string_view IdColumn = "IdSpital";
    static const std::array<Column<Spital>, 3> Columns;
    static inline const std::string LoadSql =
        "Select " + columnList<Spital>(false) + " From Nom_Spitale a Where a.IdSpital=";
    static inline const std::string ListSql = "Select " + columnList<Spital>(true) + " From Nom_Spitale a ";
    static constexpr std::string_view ListOrder = " Order By a.CodSpital";
    static inline const std::string SaveSql =
        "Select " + columnList<Spital>(false) + " FROM Nom_Spitale a WHERE a.IdSpital=";
    static constexpr com::Guid EventsIid = __Spital::iid;
    static constexpr std::string_view RuleCod = "Codul spitalului trebuie sa fie completat.";
    static constexpr std::string_view RuleDen = "Denumirea spitalului trebuie completata.";
    static constexpr std::array<std::string_view, 2> Rules{RuleCod, RuleDen};

    Spital() { Clear(); }

    int32_t get_IdSpital() override { return id_; }
    void put_CodSpital(const std::string& value) override { setValidated(cod_, value, RuleCod, value.empty()); }
    std::string get_CodSpital() override { return cod_; }
    void put_DenSpital(const std::string& value) override { setValidated(den_, value, RuleDen, value.empty()); }
    std::string get_DenSpital() override { return den_; }
    // The county only stores: it marks nothing and has no rule.
    void put_IdJudet(int32_t value) override { idJudet_ = value; }
    int32_t get_IdJudet() override { return idJudet_; }

    void Clear() override;
    bool Save(bool bolStartTran = true) override { return saveRow(bolStartTran); }
    bool Load(int32_t vIdSpital) override { return loadRow(vIdSpital); }
    com::ComPtr<_Spitale> LoadList(const std::string& SQLWhereClause = "") override { return loadList(SQLWhereClause); }
    com::ComPtr<_Spital> CopyMe() override { return copyEntity(); }
    std::string GetListaComboSpitale(int32_t vlngIdJudet, const std::string& = "&", const std::string& = "|") override;
    std::string GetListaComboInformatii(const std::string& = "&", const std::string& = "|") override;

    static const com::DispatchTable<Spital>& dispatchTable();

private:
    std::string cod_;
    std::string den_;
    int32_t idJudet_ = -1;
};

inline constexpr std::array<Column<Spital>, 3> Spital::Columns{{
    column<Spital, &Spital::cod_, &Spital::get_CodSpital, &Spital::put_CodSpital>("CodSpital",
                                                                                  {.control = "ctlCodSpital",
                                                                                   .rowPosition = 2}),
    column<Spital, &Spital::den_, &Spital::get_DenSpital, &Spital::put_DenSpital>("DenSpital",
                                                                                  {.control = "ctlDenSpital",
                                                                                   .rowPosition = 3}),
    column<Spital, &Spital::idJudet_, &Spital::get_IdJudet, &Spital::put_IdJudet>("IdJudet", {.control = "cmbJudet",
                                                                                              .rowPosition = 1,
                                                                                              .blank = -1}),
}};

}  // namespace Velmora_Business
