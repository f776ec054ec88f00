#include "forms/combos.h"

#include "com/error.h"
#include "forms/hostedcontrol.h"
#include "shell/globalui.h"

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
