#pragma once
// The hospital cost sheet: one period's costs of one hospital, a row of Velmora_Spital.
#include <array>
#include <tuple>

#include "costs/cost_sheet.h"

namespace Velmora_Business {

class CostSpital final : public CostSheet<CostSpital, _CostSpital> {
public:
    static constexpr SheetKind Kind = SheetKind::Hospital;
    static constexpr std::string_view ClassName = classNameOf<_CostSpital>();
    static constexpr std::array<std::string_view, 2> Rules{PeriodRule, "Spitalul trebuie specificat."};
    static constexpr std::string_view SecondProperty = "IdSpital";
    static constexpr std::string_view SecondControl = "cmbSpital";
    static constexpr std::string_view DuplicateLine1 =
        "Sume aferente perioadei si spitalului specificate in antet au fost inserate deja.";
    static constexpr com::Guid EventsIid = __CostSpital::iid;
    static constexpr com::DispId OwnHeaderMembers = 1;
    using List = EntityList<_CostSpital_S, &_CostSpital::get_IdCost>;

    CostSpital() { Clear(); }

    void put_IdSpital(int32_t value, bool bNotMakeDirty = false) override { putSecondId(value, bNotMakeDirty); }
    int32_t get_IdSpital() override { return secondId(); }
    com::ComPtr<_CostSpital_S> LoadList(const std::string& SQLWhereClause = "") override {
        return loadList(SQLWhereClause);
    }
    com::ComPtr<_CostSpital> CopyMe() override { return copyEntity(); }

    static auto headerMembers() {
        return std::tuple{
            binding::property<CostSpital, &CostSpital::get_IdSpital, &CostSpital::put_IdSpital>("IdSpital", 9, 1)};
    }

private:
    friend class CostSheet<CostSpital, _CostSpital>;
    void clearHeader() {}
    void afterSecondIdStored() {}
    void writeHeader(ado::Recordset& rs) const;
    void readLoadedHeader(const ado::Recordset& rs);
    void readListHeader(const ado::Recordset& rs);
    void copyHeaderTo(CostSpital& twin) const;
};

using CostSpital_S = CostSpital::List;

}  // namespace Velmora_Business
