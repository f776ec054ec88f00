#pragma once
// What every control of the library shares as an object-layer object: late binding by
// its dispatch table with errors sourced "<Control>-<Member>", one connection point for
// its events, the widget it owns, the colour pair and focus colour pair, Enabled and
// Font with their setters and their persistence, and the notice of a changed property.
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QFont>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "about_dialog.h"
#include "com/binding.h"
#include "com/dispatch.h"
#include "com/error.h"
#include "com/events.h"
#include "com/propertybag.h"
#include "typelib/control_host.h"
#include "property_values.h"
#include "typelib/quillon.h"
#include "widget_support.h"

namespace quillon {

// Reports, through the object layer, an error raised inside a window event, where no
// caller can receive it (it would otherwise unwind through Qt's event loop). An error
// without a source of its own is sourced by the control's name.
void reportWindowEventError(const std::string& control, const std::exception& error);
// The same for a failure of one of the control's own operations: it is sourced
// "<control>-<operation>" unless it names the control already.
void reportWindowEventError(const std::string& control, std::string_view operation, const std::exception& error);

// Re-raises `error` with the source "<control>-<member>" unless it carries one already.
[[noreturn]] void raiseFromMember(const com::Error& error, const std::string& control, std::string_view member);

// The dispatch ids of the members every control has.
struct CommonIds {
    com::DispId hWnd, Enabled, Font, BackColor, ForeColor, FocusBackColor, FocusForeColor;
};

// Derived provides `static constexpr CommonIds commonIds`, its own `dispatchTable()`,
// enterFocus() / exitFocus() for the focus entering and leaving the control as a whole,
// and what the shared setters show of a new value: showFont() the font (in font_; for
// a control whose face is one text box, textBox() and layout() serve instead),
// showBackColor(colour) and showForeColor(colour) the colour pair; optionally
// showEnabled() (after the widget is enabled or disabled), showFocusBackColor(colour) and
// showFocusForeColor(colour), and showsColours() for a kind that takes no colours.
// Extra lists further interfaces a control implements besides the shared ones.
template <class Derived, class Interface, class... Extra>
class ControlObject
    : public QObject,
      public com::Dispatchable<Derived, Interface, com::IConnectionPointContainer, IControlHost, Extra...> {
public:
    std::optional<com::DispId> GetIDOfName(std::string_view name) override {
        if (auto id = Derived::dispatchTable().idOf(name)) return id;
        if constexpr (hasCommonMembers()) return commonTable().idOf(name);
        else return std::nullopt;
    }

    com::Variant Invoke(com::DispId id, com::InvokeKind kind, com::Args args) override {
        const auto& own = Derived::dispatchTable();
        const auto& table = [&]() -> const com::DispatchTable<Derived>& {
            if constexpr (hasCommonMembers()) return own.byId(id) ? own : commonTable();
            else return own;
        }();
        try {
            view();  // every member needs the widget
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

    int32_t hWnd() { return windowHandle(&view()); }
    void showAboutBox() { quillon::showAboutBox(view_.data()); }
    bool enabled() const { return enabled_; }
    QString font() const { return font_.toString(); }
    int32_t backColor() const { return backColor_; }
    int32_t foreColor() const { return foreColor_; }
    int32_t focusBackColor() const { return focusBackColor_; }
    int32_t focusForeColor() const { return focusForeColor_; }

    void setEnabled(bool value) {
        enabled_ = value;
        view().setEnabled(value);
        self().showEnabled();
        markChanged("Enabled");
    }

    void setFont(const QString& description) {
        font_ = fontFrom(description);
        self().showFont();
        markChanged("Font");
    }

    // A control whose face is one text box (Derived::textBox()) aligns its text: 0 left,
    // 1 right, 2 centred; any other value raises 380.
    int32_t alignment() const { return alignment_; }
    void setAlignment(int32_t value) {
        if (value < 0 || value > 2) com::raise(com::errc::InvalidPropertyValue, "");
        alignment_ = value;
        self().textBox().setAlignment(textAlignment(value));
        markChanged("Alignment");
    }

    // While the control takes no colours (showsColours() false), the colour pair is
    // stored without being shown or noticed, and the focus pair is ignored.
    void setBackColor(int32_t value) {
        backColor_ = value;
        if (!self().showsColours()) return;
        self().showBackColor(value);
        markChanged("BackColor");
    }

    void setForeColor(int32_t value) {
        foreColor_ = value;
        if (!self().showsColours()) return;
        self().showForeColor(value);
        markChanged("ForeColor");
    }

    void setFocusBackColor(int32_t value) {
        if (!self().showsColours()) return;
        focusBackColor_ = value;
        self().showFocusBackColor(value);
        markChanged("FocusBackColor");
    }

    void setFocusForeColor(int32_t value) {
        if (!self().showsColours()) return;
        focusForeColor_ = value;
        self().showFocusForeColor(value);
        markChanged("FocusForeColor");
    }

protected:
    // Creates the control's widget; the control needs a running Qt application.
    ControlObject(std::string name, const com::Guid& eventInterface)
        : name_(std::move(name)), events_(com::make<com::ConnectionPoint>(eventInterface)) {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            com::raise(com::errc::CantCreateObject, name_, "The control needs a running Qt application");
        auto* view = new QWidget;
        view->setObjectName(QString::fromStdString(name_));
        view_ = view;
    }

    ~ControlObject() override { destroyView(); }

    // Calls enterFocus() when the focus comes into the control from outside it and
    // exitFocus() when it leaves for a widget outside it.
    void trackFocus() {
        QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            guarded([&] {
                const bool was = isWithin(old, view_.data()), isIn = isWithin(now, view_.data());
                if (!was && isIn) self().enterFocus();
                else if (was && !isIn) self().exitFocus();
            });
        });
    }

    // Deletes the widget (unless its Qt parent already has) before the control's state
    // goes; the window events it sends meanwhile are ignored. Derived destructors call it.
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
    void raiseEvent(com::DispId event) {
        std::vector<com::Variant> none;
        events_->raise(event, com::Args(none));
    }

    // From a member call, with arguments a sink may change (by reference).
    void raiseEvent(com::DispId event, std::vector<com::Variant>& args) { events_->raise(event, com::Args(args)); }

    // From a window event: a sink's error is reported, never thrown through Qt.
    void raiseFromWindow(com::DispId event, std::vector<com::Variant>& args) {
        guarded([&] { events_->raise(event, com::Args(args)); });
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

    // The same for a handler that is one operation of the control's own.
    template <class F>
    void guarded(std::string_view operation, F&& handler) {
        if (dying_) return;
        try {
            handler();
        } catch (const std::exception& e) {
            reportWindowEventError(name_, operation, e);
        }
    }

    bool dying() const { return dying_; }

    // What a control that says nothing else shows of these (see the class comment); a
    // control whose face is one text box shows its font there and lays itself out again.
    void showFont() {
        self().textBox().setFont(font_);
        self().layout();
    }
    void showEnabled() {}
    bool showsColours() const { return true; }
    void showFocusBackColor(int32_t) {}
    void showFocusForeColor(int32_t) {}

    // The defaults of a new instance and the persistence of the shared properties.
    void initFont() { setFont(ambientFont(&view()).toString()); }
    void initEnabledAndColours() {
        setEnabled(true);
        setBackColor(color::Window);
        setForeColor(color::WindowText);
        setFocusBackColor(color::Window);
        setFocusForeColor(color::WindowText);
    }
    void readFont(const com::PropertyBag& bag) {
        const std::string ambient = ambientFont(view_.data()).toString().toStdString();
        setFont(QString::fromStdString(bag.ReadProperty("Font", ambient).toString()));
    }
    void readEnabledAndColours(const com::PropertyBag& bag) {
        setEnabled(bag.ReadProperty("Enabled", true).toBool());
        setBackColor(bag.ReadProperty("BackColor", color::Window).toLong());
        setForeColor(bag.ReadProperty("ForeColor", color::WindowText).toLong());
        setFocusBackColor(bag.ReadProperty("FocusBackColor", color::Window).toLong());
        setFocusForeColor(bag.ReadProperty("FocusForeColor", color::WindowText).toLong());
    }
    void writeFont(com::PropertyBag& bag) const {
        bag.WriteProperty("Font", font_.toString().toStdString(), ambientFont(view_.data()).toString().toStdString());
    }
    void writeEnabledAndColours(com::PropertyBag& bag) const {
        bag.WriteProperty("Enabled", enabled_, true);
        bag.WriteProperty("BackColor", backColor_, color::Window);
        bag.WriteProperty("ForeColor", foreColor_, color::WindowText);
        bag.WriteProperty("FocusBackColor", focusBackColor_, color::Window);
        bag.WriteProperty("FocusForeColor", focusForeColor_, color::WindowText);
    }
    // Raises a failure of reading the bag with the source "<control>-ReadProperties".
    template <class F>
    void reading(F&& read) {
        try {
            view();
            read();
        } catch (const com::Error& e) {
            raiseFromMember(e, name_, "ReadProperties");
        }
    }

    // A font description (QFont::toString); raises 380 for one that is no font.
    static QFont fontFrom(const QString& description) {
        QFont font;
        if (!font.fromString(description)) com::raise(com::errc::InvalidPropertyValue, "");
        return font;
    }

    std::string name_;
    QPointer<QWidget> view_;
    QFont font_;
    bool enabled_ = true;
    int32_t backColor_ = color::Window;
    int32_t focusBackColor_ = color::Window;
    int32_t foreColor_ = color::WindowText;
    int32_t focusForeColor_ = color::WindowText;
    int32_t alignment_ = 0;

private:
    Derived& self() { return static_cast<Derived&>(*this); }

    // A control without `commonIds` (the grid) has none of the shared members but hWnd
    // and Font, which it lists itself.
    static constexpr bool hasCommonMembers() {
        return requires { Derived::commonIds; };
    }

    // The members every control has, under the control's own dispatch ids.
    // (Each table names the helper's functions in its own block: a control's
    // QObject::property would hide them from a using-directive.)
    static const com::DispatchTable<Derived>& commonTable() {
        using com::binding::Assign;
        using com::binding::method;
        using com::binding::property;
        using C = Derived;
        constexpr CommonIds ids = Derived::commonIds;
        static const com::DispatchTable<C> table{
            property<C, &C::hWnd>("hWnd", ids.hWnd),
            property<C, &C::enabled, &C::setEnabled>("Enabled", ids.Enabled),
            property<C, &C::font, &C::setFont, Assign::LetOrSet>("Font", ids.Font),
            property<C, &C::backColor, &C::setBackColor>("BackColor", ids.BackColor),
            property<C, &C::foreColor, &C::setForeColor>("ForeColor", ids.ForeColor),
            property<C, &C::focusBackColor, &C::setFocusBackColor>("FocusBackColor", ids.FocusBackColor),
            property<C, &C::focusForeColor, &C::setFocusForeColor>("FocusForeColor", ids.FocusForeColor),
            method<C, &C::showAboutBox>("ShowAboutBox", com::dispid::AboutBox),
        };
        return table;
    }

    com::ComPtr<com::ConnectionPoint> events_;
    std::function<void(const std::string&)> propertyChanged_;
    bool dying_ = false;
};

}  // namespace quillon
