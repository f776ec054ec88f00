#include "forms/hostedcontrol.h"

#include <QWidget>

#include "com/error.h"
#include "com/server.h"
#include "typelib/control_host.h"

namespace velmora {

// The holder sits beside the widget, under the same parent: the widget's own destructor
// must not release the control that owns it.
HostedControl::HostedControl(com::ComPtr<com::IDispatch> object, QWidget* widget)
    : QObject(widget->parent()), object_(std::move(object)), widget_(widget) {}

HostedControl* HostedControl::create(std::string_view progId, QWidget* parent, const QString& name) {
    com::ComPtr<com::IDispatch> object = com::CreateObject(progId);
    const com::ComPtr<quillon::IControlHost> host = object.query<quillon::IControlHost>();
    if (!host || !host->widget())
        com::raise(com::errc::CantCreateObject, "Velmora", std::string(progId) + " nu este un control.");
    QWidget* widget = host->widget();
    widget->setParent(parent);
    widget->setObjectName(name);
    host->InitProperties();
    widget->show();
    auto* holder = new HostedControl(std::move(object), widget);
    holder->setObjectName(name);
    return holder;
}

HostedControl* findControl(const QObject* form, const QString& name) {
    return form ? form->findChild<HostedControl*>(name) : nullptr;
}

}  // namespace velmora
