#include "Raport.h"

#include "framework/ClassRegistry.h"

namespace Velmora_Business {

void Raport::Clear() {
    resetMarks();
    clearColumns(*this);
}

const com::DispatchTable<Raport>& Raport::dispatchTable() {
    using R = Raport;
    using namespace binding;
    static const com::DispatchTable<R> table =
        registerDispatch<R, &R::get_IdRaport>(method<R, &R::Clear>("Clear", 10), method<R, &R::Delete>("Delete", 11),
                                              method<R, &R::UnDelete>("UnDelete", 12), method<R, &R::Load>("Load", 13),
                                              method<R, &R::LoadList, Defaults<Blank{}>>("LoadList", 14),
                                              method<R, &R::CopyMe>("CopyMe", 15));
    return table;
}

namespace {
const ClassRegistration registration{creatable<Raport, _Raport>()};
}  // namespace

}  // namespace Velmora_Business
