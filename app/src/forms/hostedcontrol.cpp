#include "forms/hostedcontrol.h"

#include <QApplication>
#include <QChildEvent>
#include <QFocusEvent>
#include <QWidget>

#include "com/error.h"
#include "com/server.h"
#include "typelib/control_host.h"
#include "typelib/quillon.h"

namespace velmora {

// The holder sits beside the widget, under the same parent: the widget's own destructor
// must not release the control that owns it.
HostedControl::HostedControl(com::ComPtr<com::IDispatch> object, QWidget* widget)
    : QObject(widget->parent()), object_(std::move(object)), widget_(widget) {
    watchFocus(widget);
    // Both controls raise Click with the same dispatch id, each on its own event interface.
    const com::Guid eventsId = isCombo() ? quillon::my_combo::EventsId : quillon::control_personal::EventsId;
    auto sink = com::make<com::EventSink>();
    sink->on(quillon::my_combo::event::Click, [this](com::Args) { emit Click(); });
    if (isCombo() || isEntryControl())
        events_ = com::EventConnection(*object_, eventsId, com::ComPtr<com::IDispatch>(sink));
}

bool HostedControl::isCombo() const { return static_cast<bool>(object_.query<quillon::IMyCombo>()); }

bool HostedControl::isEntryControl() const { return static_cast<bool>(object_.query<quillon::IControlPersonal>()); }

namespace {

[[noreturn]] void raiseNotOfKind(const HostedControl& control, std::string_view kind) {
    com::raise(com::errc::NoSuchMember, "Velmora",
               "Controlul " + control.objectName().toStdString() + " nu este un " + std::string(kind) + ".");
}

}  // namespace

quillon::ControlFacade HostedControl::asControl() const {
    if (isCombo()) return {*object_, quillon::myComboShared};
    if (isEntryControl()) return {*object_, quillon::controlPersonalShared};
    raiseNotOfKind(*this, "MyCombo sau ControlPersonal");
}

quillon::MyComboFacade HostedControl::asCombo() const {
    if (!isCombo()) raiseNotOfKind(*this, "MyCombo");
    return quillon::MyComboFacade(*object_);
}

quillon::ControlPersonalFacade HostedControl::asEntry() const {
    if (!isEntryControl()) raiseNotOfKind(*this, "ControlPersonal");
    return quillon::ControlPersonalFacade(*object_);
}

// Every widget of the control (its inner editors too) reports its focus events here.
void HostedControl::watchFocus(QWidget* widget) {
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>()) child->installEventFilter(this);
}

bool HostedControl::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::ChildAdded) {
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) watchFocus(child);
        return false;
    }
    if (event->type() != QEvent::FocusOut || !widget_) return false;
    switch (static_cast<QFocusEvent*>(event)->reason()) {
    case Qt::ActiveWindowFocusReason:  // another window (a message box) came to the front
    case Qt::PopupFocusReason:         // the combo's list opened
    case Qt::MenuBarFocusReason:
    case Qt::NoFocusReason: return false;
    default: break;
    }
    // The focus widget is already the one that takes the focus.
    QWidget* now = QApplication::focusWidget();
    if (now && (now == widget_ || widget_->isAncestorOf(now))) return false;  // a move inside the control
    emit Validate();
    return false;
}

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
