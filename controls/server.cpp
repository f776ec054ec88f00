// The library's creatable classes.
#include <array>

#include "com/server.h"
#include "control_cont.h"
#include "control_personal.h"
#include "my_combo.h"
#include "my_grid.h"
#include "pagina_proprietati_object.h"

namespace {

com::ComPtr<com::IUnknown> createControlPersonal() {
    return com::make<quillon::ControlPersonal, quillon::IControlPersonal>();
}

com::ComPtr<com::IUnknown> createMyCombo() { return com::make<quillon::MyCombo, quillon::IMyCombo>(); }

com::ComPtr<com::IUnknown> createControlCont() { return com::make<quillon::ControlCont, quillon::IControlCont>(); }

com::ComPtr<com::IUnknown> createPaginaProprietati() {
    return com::make<quillon::PaginaProprietatiObject, quillon::IPropertyPage>();
}

com::ComPtr<com::IUnknown> createMyGrid() { return com::make<quillon::MyGrid, quillon::IMyGrid>(); }

const std::array<com::ClassInfo, 5> classes{{
    {quillon::control_personal::ProgId, quillon::control_personal::ClassId, &createControlPersonal},
    {quillon::my_combo::ProgId, quillon::my_combo::ClassId, &createMyCombo},
    {quillon::control_cont::ProgId, quillon::control_cont::ClassId, &createControlCont},
    {quillon::pagina_proprietati::ProgId, quillon::pagina_proprietati::ClassId, &createPaginaProprietati},
    {quillon::my_grid::ProgId, quillon::my_grid::ClassId, &createMyGrid},
}};

}  // namespace

// The table the library's entry points serve.
std::span<const com::ClassInfo> com::server::libraryClasses() { return classes; }
