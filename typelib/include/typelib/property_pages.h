#pragma once
// Property pages: a control names the pages a form designer shows for it, and a page
// fills itself from the selected controls and writes itself back into them.
#include <string>
#include <vector>

#include "com/dispatch.h"
#include "com/guid.h"

class QWidget;

namespace quillon {

// The pages of a control, first page first, by class id.
class ISpecifyPropertyPages : public com::IUnknown {
public:
    using Base = com::IUnknown;
    static constexpr com::Guid iid = com::Guid::of("{B196B28B-BAB4-101A-B69C-00AA00341D07}");

    virtual std::vector<com::Guid> GetPages() = 0;

protected:
    ~ISpecifyPropertyPages() = default;
};

// A property page as a designer drives it.
class IPropertyPage : public com::IUnknown {
public:
    using Base = com::IUnknown;
    static constexpr com::Guid iid = com::Guid::of("{B196B28D-BAB4-101A-B69C-00AA00341D07}");

    // The page's widget; the page owns it. A designer places it while the page lives.
    virtual QWidget* widget() = 0;
    virtual std::string Caption() = 0;
    // The selection changed: the page fills itself from the selected controls.
    virtual void SetObjects(std::vector<com::ComPtr<com::IDispatch>> selected) = 0;
    // Writes the page into the selected controls; a failure of a control reaches the caller.
    virtual void Apply() = 0;
    // True when the page changed since it was filled or last applied.
    virtual bool IsPageDirty() = 0;

protected:
    ~IPropertyPage() = default;
};

// The property page of ControlPersonal: kind, alignment, decimals and initial value.
namespace pagina_proprietati {
inline constexpr const char* ProgId = "Quillon.PaginaProprietati";
inline constexpr com::Guid ClassId = com::Guid::of("{B54C4C4B-0784-4EFA-B8E9-F4E183A663F6}");
}  // namespace pagina_proprietati

}  // namespace quillon
