#pragma once
// What every control of the library shares as an object-layer object: late binding by
// its dispatch table with errors sourced "<Control>-<Member>", one connection point for
// its events, the widget it owns and the notice of a changed property.
#include <functional>
#include <string>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "com/error.h"  // before dispatch.h, whose templates raise errors
#include "com/dispatch.h"
#include "com/events.h"
#include "control_host.h"
#include "widget_support.h"

namespace quillon {

// Reports an error that a host's event handler raised inside a window event, where no
// caller can receive it (it would otherwise unwind through Qt's event loop).
void reportWindowEventError(const std::string& control, const std::exception& error);

// Re-raises `error` with the source "<control>-<member>" unless it carries one already.
[[noreturn]] void raiseFromMember(const com::Error& error, const std::string& control, std::string_view member);

template <class Derived, class Interface>
class ControlObject : public QObject,
                      public com::Dispatchable<Derived, Interface, com::IConnectionPointContainer, IControlHost> {
public:
    com::Variant Invoke(com::DispId id, com::InvokeKind kind, com::Args args) override {
        const auto& table = Derived::dispatchTable();
        try {
            return table.invoke(static_cast<Derived&>(*this), id, kind, args);
        } catch (const com::Error& e) {
            const auto* member = table.byId(id);
            raiseFromMember(e, name_, member ? member->name : std::string_view{});
        }
    }

    com::ComPtr<com::IConnectionPoint> FindConnectionPoint(const com::Guid& eventInterface) override {
        if (eventInterface != events_->GetConnectionInterface()) return {};
        return com::ComPtr<com::IConnectionPoint>(events_.get());
    }

    QWidget* widget() override { return view_.data(); }

    void SetPropertyChangedHandler(std::function<void(const std::string&)> handler) override {
        propertyChanged_ = std::move(handler);
    }

protected:
    ControlObject(std::string name, const com::Guid& eventInterface)
        : name_(std::move(name)), events_(com::make<com::ConnectionPoint>(eventInterface)) {}

    ~ControlObject() override { destroyView(); }

    // Deletes the widget (unless its Qt parent already has) before the control's state
    // goes; the window events it sends meanwhile are ignored.
    void destroyView() {
        dying_ = true;
        if (QWidget* view = view_.data()) {
            releaseWindowHandle(view);
            delete view;
        }
    }

    // The widget, or error 91 when its Qt parent has destroyed it.
    QWidget& view() const {
        if (!view_) com::raise(com::errc::ObjectNotSet, "", "The control's window no longer exists");
        return *view_;
    }

    void markChanged(const std::string& property) {
        if (propertyChanged_) propertyChanged_(property);
    }

    // From a member call: a sink's error reaches the caller.
    void raiseEvent(com::DispId event, std::vector<com::Variant>& args) { events_->raise(event, com::Args(args)); }
    void raiseEvent(com::DispId event) {
        std::vector<com::Variant> none;
        raiseEvent(event, none);
    }

    // From a window event: a sink's error is reported, never thrown through Qt.
    void raiseFromWindow(com::DispId event, std::vector<com::Variant>& args) {
        try {
            events_->raise(event, com::Args(args));
        } catch (const std::exception& e) {
            reportWindowEventError(name_, e);
        }
    }
    void raiseFromWindow(com::DispId event) {
        std::vector<com::Variant> none;
        raiseFromWindow(event, none);
    }

    // Runs a window-event handler of the control; its errors are reported.
    template <class F>
    void guarded(F&& handler) {
        if (dying_) return;
        try {
            handler();
        } catch (const std::exception& e) {
            reportWindowEventError(name_, e);
        }
    }

    bool dying() const { return dying_; }

    std::string name_;
    QPointer<QWidget> view_;

private:
    com::ComPtr<com::ConnectionPoint> events_;
    std::function<void(const std::string&)> propertyChanged_;
    bool dying_ = false;
};

}  // namespace quillon
