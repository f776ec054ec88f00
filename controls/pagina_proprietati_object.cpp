#include "pagina_proprietati_object.h"

#include <QApplication>

namespace quillon {

PaginaProprietatiObject::PaginaProprietatiObject() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        com::raise(com::errc::CantCreateObject, "PaginaProprietati",
                   "The property page needs a running Qt application");
    page_ = new PaginaProprietati;
}

PaginaProprietatiObject::~PaginaProprietatiObject() { delete page_.data(); }

const com::DispatchTable<PaginaProprietatiObject>& PaginaProprietatiObject::dispatchTable() {
    static const com::DispatchTable<PaginaProprietatiObject> table{};
    return table;
}

// The widget, or error 91 once a designer's window has destroyed it.
PaginaProprietati& PaginaProprietatiObject::page() {
    if (!page_) com::raise(com::errc::ObjectNotSet, "PaginaProprietati", "The page's window no longer exists");
    return *page_;
}

std::string PaginaProprietatiObject::Caption() { return page().windowTitle().toStdString(); }

void PaginaProprietatiObject::SetObjects(std::vector<com::ComPtr<com::IDispatch>> selected) {
    page().selectionChanged(selected);
    selected_ = std::move(selected);
}

void PaginaProprietatiObject::Apply() {
    page().applyChanges(selected_);
    page().clearChanged();
}

bool PaginaProprietatiObject::IsPageDirty() { return page().isChanged(); }

}  // namespace quillon
