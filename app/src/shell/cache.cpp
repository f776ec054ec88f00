#include "shell/cache.h"

#include "forms/business.h"
#include "shell/globalui.h"

namespace velmora {
namespace {

const com::Variant kColumn("&");
const com::Variant kRow("|");

std::string lookupList(std::string_view className, std::string_view operation, std::vector<com::Variant> args) {
    const com::ComPtr<com::IDispatch> object = newBusinessObject(className);
    return com::callMethod(*object, operation, std::move(args)).toString();
}

com::ComPtr<com::IDispatch> fullList(std::string_view className) {
    const com::ComPtr<com::IDispatch> object = newBusinessObject(className);
    return com::callMethod(*object, "LoadList", {com::Variant("")}).toDispatch();
}

}  // namespace

Cache::Cache() { RefreshAll(); }

void Cache::RefreshAll() {
    RefreshJudete();
    RefreshSpitale();
    RefreshSectii();
    RefreshPerioade();
    RefreshRapoarte();
}

void Cache::RefreshJudete() {
    judete_ = fullList("Judet");
    GlobalUI::session().gListaJudete = lookupList("Judet", "GetListaComboJudete", {kColumn, kRow});
}

void Cache::RefreshSpitale() {
    GlobalUI::Session& s = GlobalUI::session();
    s.gListaSpitale = lookupList("Spital", "GetListaComboSpitale", {com::Variant(s.gIdJudet), kColumn, kRow});
}

void Cache::RefreshSectii() {
    GlobalUI::session().gListaSectii = lookupList("Sectie", "GetListaComboSectii", {kColumn, kRow});
}

void Cache::RefreshPerioade() {
    GlobalUI::session().gListaPerioade =
        lookupList("Perioada", "GetListaComboPerioade", {com::Variant(""), kColumn, kRow});
}

void Cache::RefreshRapoarte() { rapoarte_ = fullList("Raport"); }

}  // namespace velmora
