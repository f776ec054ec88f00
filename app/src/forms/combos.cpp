#include "forms/combos.h"

#include "com/error.h"
#include "com/lookup_list.h"
#include "forms/hostedcontrol.h"

namespace GlobalUI {

void FillCombo(com::IDispatch& combo, const std::string& list) {
    com::forEachLookupRow(list, "GlobalUI.FillCombo", [&combo](const com::LookupRow& row) {
        com::callMethod(combo, "AddItem", {com::Variant(row.text), com::Variant(row.id)});
    });
}

}  // namespace GlobalUI

namespace velmora {

void selectKeyIfPresent(HostedControl& combo, int32_t id) {
    try {
        combo.put("Cheie", com::Variant(id));
    } catch (const com::Error& e) {
        if (e.number() != com::errc::InvalidProcedureCall) throw;
        combo.put("ListIndex", com::Variant(int16_t{-1}));
    }
}

void refillCombo(HostedControl& combo, const std::string& list) {
    com::callMethod(combo.object(), "Clear");
    GlobalUI::FillCombo(combo.object(), list);
}

int32_t cheie(const HostedControl& combo) { return combo.get("Cheie").toLong(); }

}  // namespace velmora
