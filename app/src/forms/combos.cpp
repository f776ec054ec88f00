#include "forms/combos.h"

#include "com/error.h"
#include "com/lookup_list.h"
#include "forms/hostedcontrol.h"
#include "typelib/control_facades.h"

namespace GlobalUI {

void FillCombo(com::IDispatch& combo, const std::string& list) {
    com::forEachLookupRow(list, "GlobalUI.FillCombo", [&combo](const com::LookupRow& row) {
        quillon::MyComboFacade(combo).addItem(std::string(row.text), row.id);
    });
}

}  // namespace GlobalUI

namespace velmora {

void selectKeyIfPresent(HostedControl& combo, int32_t id) {
    try {
        combo.asCombo().setCheie(id);
    } catch (const com::Error& e) {
        if (e.number() != com::errc::InvalidProcedureCall) throw;
        combo.asCombo().setListIndex(-1);
    }
}

void refillCombo(HostedControl& combo, const std::string& list) {
    combo.asCombo().clear();
    GlobalUI::FillCombo(combo.object(), list);
}

int32_t cheie(const HostedControl& combo) { return combo.asCombo().cheie(); }

}  // namespace velmora
