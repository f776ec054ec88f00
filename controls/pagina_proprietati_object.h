#pragma once
// The property page of ControlPersonal as a class of the library, created by class id or
// ProgID: it owns the page's widget and answers a designer's calls.
#include <vector>

#include <QPointer>

#include "com/dispatch.h"
#include "pagina_proprietati.h"
#include "typelib/property_pages.h"

namespace quillon {

class PaginaProprietatiObject final : public com::Dispatchable<PaginaProprietatiObject, com::IDispatch, IPropertyPage> {
public:
    // The page needs a running Qt application (error 429 without one).
    PaginaProprietatiObject();
    ~PaginaProprietatiObject() override;

    // The page has no members of its own for late binding.
    static const com::DispatchTable<PaginaProprietatiObject>& dispatchTable();

    QWidget* widget() override { return page_.data(); }
    std::string Caption() override;
    void SetObjects(std::vector<com::ComPtr<com::IDispatch>> selected) override;
    void Apply() override;
    bool IsPageDirty() override;

private:
    PaginaProprietati& page();

    QPointer<PaginaProprietati> page_;
    std::vector<com::ComPtr<com::IDispatch>> selected_;
};

}  // namespace quillon
