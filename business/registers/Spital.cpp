#include "Spital.h"

#include "framework/ClassRegistry.h"

namespace Velmora_Business {

void Spital::Clear() {
    resetMarks();
    clearColumns(*this);
    renewRules();
}

std::string Spital::GetListaComboSpitale(int32_t vlngIdJudet, const std::string&, const std::string&) {
    return data::lookupList(
        data::withId("Select a.IdSpital, a.CodSpital + '---' + a.DenSpital From Nom_Spitale a Where a.IdJudet=",
                     vlngIdJudet) +
        " Order By a.CodSpital");
}

std::string Spital::GetListaComboInformatii(const std::string&, const std::string&) {
    return data::lookupList(
        "Select a.IdInformatie, a.CodInformatie + '---' +a.DenInformatie As Informatie From Nom_Informatii a "
        "Order By a.CodInformatie");
}

const com::DispatchTable<Spital>& Spital::dispatchTable() {
    using S = Spital;
    using namespace binding;
    using Delimiters = Defaults<Blank{}, Blank{}>;
    static const com::DispatchTable<S> table = registerDispatch<S, &S::get_IdSpital>(
        method<S, &S::Clear>("Clear", 8), method<S, &S::ReSetBrokenRule>("ReSetBrokenRule", 9),
        property<S, &S::get_IsValid>("IsValid", 10), property<S, &S::get_Errors>("Errors", 11),
        method<S, &S::Delete>("Delete", 12), method<S, &S::UnDelete>("UnDelete", 13),
        method<S, &S::Save, Defaults<true>>("Save", 14), method<S, &S::Load>("Load", 15),
        method<S, &S::LoadList, Defaults<Blank{}>>("LoadList", 16), method<S, &S::CopyMe>("CopyMe", 17),
        method<S, &S::GetListaComboSpitale, Delimiters>("GetListaComboSpitale", 18),
        method<S, &S::GetListaComboInformatii, Delimiters>("GetListaComboInformatii", 19));
    return table;
}

namespace {
const ClassRegistration registration{creatable<Spital, _Spital>()};
}  // namespace

}  // namespace Velmora_Business
