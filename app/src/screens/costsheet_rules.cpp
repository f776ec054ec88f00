#include "screens/costsheet_rules.h"

#include <array>

#include "com/currency.h"
#include "com/error.h"
#include "forms/business.h"
#include "forms/editscreen.h"
#include "typelib/ModelLinie.h"
#include "typelib/business/CostSheets.h"

namespace velmora {
namespace {

using com::Currency;
using Velmora_Business::_CostSheet;

constexpr std::array<ConsistencyRule, 9> kRules{{
    {"HasNonZeroAmount", "Pentru o anumita perioada cel putin o suma trebuie completata cu o valoare nenula."},
    {"CheckTotalPersonal",
     "Totalul cheltuielilor cu personalul trebuie sa fie mai mare sau egal cu suma totala a cheluielilor pe "
     "categorii de personal."},
    {"CheckTotalMedici",
     "Totalul cheltuielilor cu salariile (medici) trebuie sa fie mai mare sau egal cu suma elementelor "
     "componente."},
    {"CheckTotalAltPersonalSuperior",
     "Totalul cheltuielilor cu salariile (alt personal sup. si farmacisti) trebuie sa fie mai mare sau egal cu "
     "suma elementelor componente."},
    {"CheckTotalMediuSanitar",
     "Totalul cheltuielilor cu salariile (salarii pers. mediu sanitar) trebuie sa fie mai mare sau egal cu suma "
     "elementelor componente."},
    {"CheckTotalAuxiliarSanitar",
     "Totalul cheltuielilor cu salariile (salarii pers. auxiliar sanitar) trebuie sa fie mai mare sau egal cu "
     "suma elementelor componente."},
    {"CheckTotalTESA",
     "Totalul cheltuielilor cu salariile (TESA) trebuie sa fie mai mare sau egal cu suma elementelor "
     "componente."},
    {"CheckTotalMuncitori",
     "Totalul cheltuielilor cu salariile (muncitori) trebuie sa fie mai mare sau egal cu suma elementelor "
     "componente."},
    {"CheckTotalArticol23",
     "Totalul cheltuielilor pe articolul 23 trebuie sa fie mai mare sau egal cu suma elementelor componente."},
}};

Currency amount(_CostSheet& sheet, const std::string& name) { return sheet.get_Amount(name); }

Currency sum(_CostSheet& sheet, std::initializer_list<std::string> names) {
    Currency total;
    for (const std::string& name : names) total += amount(sheet, name);  // raises 6 beyond the range
    return total;
}

bool anyFigure(_CostSheet& sheet, com::IDispatch& object) {
    // Every figure the sheet's row model lists after its two header fields.
    const com::ComPtr<Gravlin::ModelLinie> model = com::ComPtr<com::IDispatch>(&object).query<Gravlin::ModelLinie>();
    if (!model) com::raise(com::errc::TypeMismatch, "ValidateObject", "Obiectul nu este o fisa de costuri.");
    const int32_t count = model->GetFieldCount();
    for (int32_t i = 3; i <= count; ++i) {
        const std::string control = model->GetFieldName(i);
        if (amount(sheet, control.substr(3)) != Currency()) return true;
    }
    return false;
}

bool categoryCovered(_CostSheet& sheet, int k) {
    const std::string suffix = "_" + std::to_string(k);
    return amount(sheet, "c02" + suffix) >= sum(sheet, {"c10" + suffix, "c11" + suffix, "c12" + suffix, "c13" + suffix,
                                                        "c14" + suffix, "c15" + suffix, "c16" + suffix});
}

bool holds(std::size_t rule, _CostSheet& sheet, com::IDispatch& object) {
    switch (rule) {
    case 0: return anyFigure(sheet, object);
    case 1: return amount(sheet, "TCP") >= sum(sheet, {"c02_1", "c02_2", "c02_3", "c02_4", "c02_5", "c02_6"});
    case 8: return amount(sheet, "c23") >= sum(sheet, {"c23_01", "c23_02", "c23_03", "c23_04"});
    default: return categoryCovered(sheet, static_cast<int>(rule) - 1);
    }
}

}  // namespace

std::span<const ConsistencyRule> consistencyRules(CostSheetKind kind) {
    return std::span<const ConsistencyRule>(kRules).first(kind == CostSheetKind::Sectie ? 9 : 8);
}

void postConsistencyRules(com::IDispatch& object, CostSheetKind kind) {
    const com::ComPtr<_CostSheet> sheet = com::ComPtr<com::IDispatch>(&object).query<_CostSheet>();
    if (!sheet) com::raise(com::errc::TypeMismatch, "ValidateObject", "Obiectul nu este o fisa de costuri.");
    const com::ComPtr<Velmora_Business::_BrokenRules> errors = sheet->get_Errors();
    if (!errors) com::raise(com::errc::ObjectNotSet, "ValidateObject", "Fisa nu are lista de erori.");
    const auto rules = consistencyRules(kind);
    for (std::size_t i = 0; i < rules.size(); ++i)
        errors->RuleBroken(std::string(rules[i].message), !holds(i, *sheet, object));
}

std::optional<std::string> checkConsistency(com::IDispatch& object, CostSheetKind kind) {
    postConsistencyRules(object, kind);
    const com::ComPtr<Velmora_Business::_BrokenRules> errors = typedAs<_CostSheet>(object)->get_Errors();
    return brokenRulesText(*errors);
}

}  // namespace velmora
