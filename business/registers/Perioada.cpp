#include "Perioada.h"

#include "framework/ClassRegistry.h"

namespace Velmora_Business {

std::string Perioada::GetListaComboPerioade(const std::string& SQLWhereClause, const std::string&, const std::string&) {
    return data::lookupList("Select a.IdPerioada, a.DenPerioada From Nom_Perioade a " + SQLWhereClause);
}

std::string Perioada::GetDenScurta(int32_t pIdPerioada) {
    ado::Recordset rs =
        data::openReading(data::withId("Select a.DenPerioada From Nom_Perioade a Where a.IdPerioada=", pIdPerioada));
    std::string name;
    if (!rs.Eof()) name = data::readText(rs, "DenPerioada");
    rs.Close();
    return name;
}

const com::DispatchTable<Perioada>& Perioada::dispatchTable() {
    using P = Perioada;
    using namespace binding;
    static const com::DispatchTable<P> table = registerDispatch<P, &P::get_IdPerioada>(
        method<P, &P::Clear>("Clear", 6), method<P, &P::Delete>("Delete", 7), method<P, &P::UnDelete>("UnDelete", 8),
        method<P, &P::LoadList, Defaults<Blank{}>>("LoadList", 9),
        method<P, &P::GetListaComboPerioade, Defaults<Blank{}, Blank{}, Blank{}>>("GetListaComboPerioade", 10),
        method<P, &P::GetDenScurta>("GetDenScurta", 11));
    return table;
}

namespace {
const ClassRegistration registration{creatable<Perioada, _Perioada>()};
}  // namespace

}  // namespace Velmora_Business
