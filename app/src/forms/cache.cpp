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
    GlobalUI::session().gListaJudete = newObject<vb::_Judet>()->GetListaComboJudete("&", "|");
}

void Cache::RefreshSpitale() {
    GlobalUI::Session& s = GlobalUI::session();
    s.gListaSpitale = hospitalList(s.gIdJudet);
}

void Cache::RefreshSectii() {
    GlobalUI::session().gListaSectii = newObject<vb::_Sectie>()->GetListaComboSectii("&", "|");
}

void Cache::RefreshPerioade() {
    GlobalUI::session().gListaPerioade = newObject<vb::_Perioada>()->GetListaComboPerioade("", "&", "|");
}

void Cache::RefreshRapoarte() { rapoarte_ = newObject<vb::_Raport>()->LoadList(""); }

}  // namespace velmora
