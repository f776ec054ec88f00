#include "Judet.h"

#include "framework/ClassRegistry.h"

namespace Velmora_Business {

std::string Judet::GetListaComboJudete(const std::string&, const std::string&) {
    return data::lookupList("Select IdJudet, DenJudet From Nom_Judete");
}

const com::DispatchTable<Judet>& Judet::dispatchTable() {
    using J = Judet;
    using namespace binding;
    static const com::DispatchTable<J> table = registerDispatch<J, &J::get_IdJudet>(
        method<J, &J::Clear>("Clear", 6), method<J, &J::Delete>("Delete", 7), method<J, &J::UnDelete>("UnDelete", 8),
        method<J, &J::Load>("Load", 9), method<J, &J::LoadList, Defaults<Blank{}>>("LoadList", 10),
        method<J, &J::CopyMe>("CopyMe", 11),
        method<J, &J::GetListaComboJudete, Defaults<Blank{}, Blank{}>>("GetListaComboJudete", 12));
    return table;
}

namespace {
const ClassRegistration registration{creatable<Judet, _Judet>()};
}  // namespace

}  // namespace Velmora_Business
