#include "Spital.h"

#include "framework/ClassRegistry.h"

namespace Velmora_Business {

void Spital::Clear() {
    resetMarks();
    cod_.clear();
    den_.clear();
    idJudet_ = -1;
    renewRules();
}

void Spital::readRow(const ado::Recordset& rs) {
    id_ = data::readLong(rs, "IdSpital");
    cod_ = data::readText(rs, "CodSpital");
    den_ = data::readText(rs, "DenSpital");
    idJudet_ = data::readLong(rs, "IdJudet");
}

void Spital::assignRow(const ado::Recordset& rs) {
    put_CodSpital(data::readText(rs, "CodSpital"));
    put_DenSpital(data::readText(rs, "DenSpital"));
    put_IdJudet(data::readLong(rs, "IdJudet"));
}

void Spital::copyFieldsTo(Spital& copy) {
    copy.put_CodSpital(cod_);
    copy.put_DenSpital(den_);
    copy.put_IdJudet(idJudet_);
}

void Spital::writeRow(ado::Recordset& rs) {
    rs.Collect("CodSpital", com::Variant(cod_));
    rs.Collect("DenSpital", com::Variant(den_));
    rs.Collect("IdJudet", com::Variant(idJudet_));
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

std::span<const RowField<Spital>> Spital::rowFields() {
    static constexpr std::array fields{
        rowField<Spital, &Spital::put_IdJudet>("cmbJudet", "IdJudet"),
        rowField<Spital, &Spital::put_CodSpital>("ctlCodSpital", "CodSpital"),
        rowField<Spital, &Spital::put_DenSpital>("ctlDenSpital", "DenSpital"),
    };
    return fields;
}

const com::DispatchTable<Spital>& Spital::dispatchTable() {
    using S = Spital;
    using namespace binding;
    using Delimiters = Defaults<Blank{}, Blank{}>;
    static const com::DispatchTable<S> table{
        property<S, &S::get_IsNew>("IsNew", 1),
        property<S, &S::get_IsDirty, &S::put_IsDirty>("IsDirty", 2),
        property<S, &S::get_IsDeleted>("IsDeleted", 3),
        property<S, &S::get_IdSpital>("IdSpital", 4),
        property<S, &S::get_CodSpital, &S::put_CodSpital>("CodSpital", 5),
        property<S, &S::get_DenSpital, &S::put_DenSpital>("DenSpital", 6),
        property<S, &S::get_IdJudet, &S::put_IdJudet>("IdJudet", 7),
        method<S, &S::Clear>("Clear", 8),
        method<S, &S::ReSetBrokenRule>("ReSetBrokenRule", 9),
        property<S, &S::get_IsValid>("IsValid", 10),
        property<S, &S::get_Errors>("Errors", 11),
        method<S, &S::Delete>("Delete", 12),
        method<S, &S::UnDelete>("UnDelete", 13),
        method<S, &S::Save, Defaults<true>>("Save", 14),
        method<S, &S::Load>("Load", 15),
        method<S, &S::LoadList, Defaults<Blank{}>>("LoadList", 16),
        method<S, &S::CopyMe>("CopyMe", 17),
        method<S, &S::GetListaComboSpitale, Delimiters>("GetListaComboSpitale", 18),
        method<S, &S::GetListaComboInformatii, Delimiters>("GetListaComboInformatii", 19),
    };
    return table;
}

namespace {
const ClassRegistration registration{{"Velmora_Business.Spital", CLSID_Spital, &createAs<Spital, _Spital>}};
}  // namespace

}  // namespace Velmora_Business
