#pragma once
// A control of the control library placed on one of our forms. The control object is
// created by ProgID and called late-bound; its widget is placed on the form. The holder is
// a QObject child of the same parent, named as the control, so a form finds its controls by
// name (`findControl`) and the control lives as long as the form that holds it.
//
// The holder also plays the container's part for the control: it keeps the control's
// `Tag` (the bound field's name on an edit screen), raises `Validate` when the focus leaves
// the control for another control (by Tab, Enter, a click, a button press; not when the
// window loses activation or a list pops up), and relays the control's `Click` event.
#include <string_view>

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>

#include "com/dispatch.h"
#include "com/events.h"
#include "typelib/control_facades.h"

namespace velmora {

class HostedControl final : public QObject {
    Q_OBJECT
public:
    // Creates the control, places its widget in `parent` and gives it its initial properties.
    // Raises com::Error when the control cannot be created.
    static HostedControl* create(std::string_view progId, QWidget* parent, const QString& name);

    com::IDispatch& object() const { return *object_; }
    const com::ComPtr<com::IDispatch>& objectPtr() const { return object_; }
    QWidget* widget() const { return widget_; }  // nullptr once the form destroyed it

    // The control's members by name, as a generic host reaches them; the program uses the
    // typed facades below.
    com::Variant get(std::string_view property) const { return com::getProperty(*object_, property); }
    void put(std::string_view property, com::Variant value) const {
        com::putProperty(*object_, property, std::move(value));
    }

    // The control's members by their dispatch ids. Each raises 438 when the control is not
    // of that kind (the ids of one kind name other members on another).
    quillon::ControlFacade asControl() const;  // the members every kind has
    quillon::MyComboFacade asCombo() const;
    quillon::ControlPersonalFacade asEntry() const;

    // The container's Tag of the control.
    const std::string& tag() const { return tag_; }
    void setTag(std::string tag) { tag_ = std::move(tag); }

    // The control's kind, by the interface it answers for.
    bool isCombo() const;         // a MyCombo
    bool isEntryControl() const;  // a ControlPersonal

signals:
    // The focus left the control for another control of the program.
    void Validate();
    // The control raised its Click event (for MyCombo: a row picked, or Cheie/ListIndex set).
    void Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HostedControl(com::ComPtr<com::IDispatch> object, QWidget* widget);
    void watchFocus(QWidget* widget);

    com::ComPtr<com::IDispatch> object_;
    QPointer<QWidget> widget_;
    std::string tag_;
    com::EventConnection events_;
};

// The control of that name on the form (searched through all its children), or nullptr.
HostedControl* findControl(const QObject* form, const QString& name);

}  // namespace velmora
