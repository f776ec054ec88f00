#pragma once
// What a host needs of a control besides its dispatch interface: the Qt widget to place,
// persistence of its properties in a property bag, and the notice of a changed property.
#include <functional>
#include <string>

#include "com/object.h"
#include "com/propertybag.h"

class QWidget;

namespace quillon {

class IControlHost : public com::IUnknown {
public:
    using Base = com::IUnknown;
    static constexpr com::Guid iid = com::Guid::of("{D5F8AE22-C649-4E43-B818-9838CE16E464}");

    // The control's own widget; the control owns it. A host places it (sets its parent
    // and position) and keeps the control alive while the widget is shown. The widget
    // is destroyed with the control, or earlier by its Qt parent.
    virtual QWidget* widget() = 0;

    // A new instance: the control takes its initial properties. A control starts so
    // when created; calling it again after placing the widget takes the container's
    // font (the widget's parent's font).
    virtual void InitProperties() = 0;
    // A saved instance: the control reads its properties from the bag, each absent
    // one taking its default.
    virtual void ReadProperties(const com::PropertyBag& bag) = 0;
    // Writes every persisted property that differs from its default.
    virtual void WriteProperties(com::PropertyBag& bag) = 0;

    // Called with a property's name whenever a persisted property is set.
    virtual void SetPropertyChangedHandler(std::function<void(const std::string&)> handler) = 0;

protected:
    ~IControlHost() = default;
};

}  // namespace quillon
