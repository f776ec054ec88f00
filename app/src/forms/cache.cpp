#include "forms/cache.h"

#include "forms/business.h"
#include "session/session.h"

namespace velmora {

namespace vb = Velmora_Business;

Cache::Cache() { RefreshAll(); }

void Cache::RefreshAll() {
    RefreshJudete();
    RefreshSpitale();
    RefreshSectii();
    RefreshPerioade();
    RefreshRapoarte();
}

void Cache::RefreshJudete() {
    judete_ = newObject<vb::_Judet>()->LoadList("");
    GlobalUI::session().lists().setListaJudete(newObject<vb::_Judet>()->GetListaComboJudete("&", "|"));
}

void Cache::RefreshSpitale() {
    GlobalUI::Session& s = GlobalUI::session();
    s.setConfiguration(s.config(), hospitalList(s.config().gIdJudet()));
}

void Cache::RefreshSectii() {
    GlobalUI::session().lists().setListaSectii(newObject<vb::_Sectie>()->GetListaComboSectii("&", "|"));
}

void Cache::RefreshPerioade() {
    GlobalUI::session().lists().setListaPerioade(newObject<vb::_Perioada>()->GetListaComboPerioade("", "&", "|"));
}

void Cache::RefreshRapoarte() { rapoarte_ = newObject<vb::_Raport>()->LoadList(""); }

}  // namespace velmora

namespace GlobalUI {

std::shared_ptr<velmora::Cache>& gCache() {
    static std::shared_ptr<velmora::Cache> cache;
    return cache;
}

}  // namespace GlobalUI
