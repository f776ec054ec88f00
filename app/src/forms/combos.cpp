#include "forms/combos.h"

#include <optional>

#include "com/error.h"
#include "forms/hostedcontrol.h"
#include "typelib/control_facades.h"

namespace GlobalUI {
namespace {

// Where the id of a row that starts at `at` ends: the row starts with digits (a "-" may
// come before them) and "&"; the position of that "&", none for any other start.
std::optional<std::size_t> idEnd(const std::string& list, std::size_t at) {
    std::size_t p = at;
    if (p < list.size() && list[p] == '-') ++p;
    const std::size_t digits = p;
    while (p < list.size() && list[p] >= '0' && list[p] <= '9') ++p;
    if (p == digits || p >= list.size() || list[p] != '&') return std::nullopt;
    return p;
}

}  // namespace

// The texts are not escaped, so a name may hold "&" and "|" itself: a row's text runs from
// the "&" after its id to the "|" that the next row's id and "&" follow, or to the list's
// last "|". What follows the last "|" (nothing, in a well-formed list) is no row.
void FillCombo(com::IDispatch& combo, const std::string& list) {
    const std::size_t last = list.rfind('|');
    if (last == std::string::npos) return;
    for (std::size_t at = 0; at <= last;) {
        const std::optional<std::size_t> amp = idEnd(list, at);
        if (!amp)
            com::raise(com::errc::SubscriptOutOfRange, "GlobalUI.FillCombo",
                       "Randul \"" + list.substr(at, list.find('|', at) - at) + "\" al listei nu are forma id&text.");
        std::size_t end = list.find('|', *amp + 1);
        while (end != last && !idEnd(list, end + 1)) end = list.find('|', end + 1);
        const std::string idText = list.substr(at, *amp - at);
        int32_t id = 0;
        try {
            id = com::Variant(idText).toLong();
        } catch (const com::Error& e) {
            com::raise(e.number(), "GlobalUI.FillCombo", "Id-ul \"" + idText + "\" al listei nu este un numar intreg.");
        }
        quillon::MyComboFacade(combo).addItem(list.substr(*amp + 1, end - *amp - 1), id);
        at = end + 1;
    }
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
