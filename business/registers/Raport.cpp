#include "Raport.h"

#include "framework/ClassRegistry.h"

namespace Velmora_Business {

void Raport::Clear() {
    resetMarks();
    den_.clear();
    idParinte_ = 0;
    tip_.clear();
    parametrii_.clear();
    locatie_.clear();
}

// A root node has no parent (Null, read as 0) by Load as by LoadList. A Null kind,
// parameter text or file is read as "" by LoadList only: Load reads them as they are, and a
// Null fails it.
void Raport::readRow(const ado::Recordset& rs) {
    id_ = data::readLong(rs, "IdRaport");
    den_ = data::readText(rs, "DenRaport");
    idParinte_ = data::readLongOrZero(rs, "IdParinte");
    tip_ = data::readText(rs, "TipRaport");
    parametrii_ = data::readText(rs, "Parametrii");
    locatie_ = data::readText(rs, "Locatie");
}

void Raport::assignRow(const ado::Recordset& rs) {
    put_DenRaport(data::readText(rs, "DenRaport"));
    setIdParinte(data::readLongOrZero(rs, "IdParinte"));
    put_TipRaport(data::readTextOrEmpty(rs, "TipRaport"));
    put_Parametrii(data::readTextOrEmpty(rs, "Parametrii"));
    put_Locatie(data::readTextOrEmpty(rs, "Locatie"));
}

void Raport::copyFieldsTo(Raport& copy) {
    copy.setIdParinte(idParinte_);
    copy.put_DenRaport(den_);
    copy.put_TipRaport(tip_);
    copy.put_Parametrii(parametrii_);
    copy.put_Locatie(locatie_);
}

const com::DispatchTable<Raport>& Raport::dispatchTable() {
    using R = Raport;
    using namespace binding;
    static const com::DispatchTable<R> table{
        property<R, &R::get_IsNew>("IsNew", 1),
        property<R, &R::get_IsDirty, &R::put_IsDirty>("IsDirty", 2),
        property<R, &R::get_IsDeleted>("IsDeleted", 3),
        property<R, &R::get_IdRaport>("IdRaport", 4),
        property<R, &R::get_DenRaport, &R::put_DenRaport>("DenRaport", 5),
        property<R, &R::get_IdParinte>("IdParinte", 6),
        property<R, &R::get_TipRaport, &R::put_TipRaport>("TipRaport", 7),
        property<R, &R::get_Parametrii, &R::put_Parametrii>("Parametrii", 8),
        property<R, &R::get_Locatie, &R::put_Locatie>("Locatie", 9),
        method<R, &R::Clear>("Clear", 10),
        method<R, &R::Delete>("Delete", 11),
        method<R, &R::UnDelete>("UnDelete", 12),
        method<R, &R::Load>("Load", 13),
        method<R, &R::LoadList, Defaults<Blank{}>>("LoadList", 14),
        method<R, &R::CopyMe>("CopyMe", 15),
    };
    return table;
}

namespace {
const ClassRegistration registration{{"Velmora_Business.Raport", CLSID_Raport, &createAs<Raport, _Raport>}};
}  // namespace

}  // namespace Velmora_Business
