#pragma once
// A control of the control library placed on one of our forms. The control object is
// created by ProgID and called late-bound; its widget is placed on the form. The holder is
// a QObject child of the same parent, named as the control, so a form finds its controls by
// name (`findControl`) and the control lives as long as the form that holds it.
#include <string_view>

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>

#include "com/dispatch.h"



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

    com::Variant get(std::string_view property) const { return com::getProperty(*object_, property); }
    void put(std::string_view property, com::Variant value) const {
        com::putProperty(*object_, property, std::move(value));
    }

private:
    HostedControl(com::ComPtr<com::IDispatch> object, QWidget* widget);

    com::ComPtr<com::IDispatch> object_;
    QPointer<QWidget> widget_;
};

// The control of that name on the form (searched through all its children), or nullptr.
HostedControl* findControl(const QObject* form, const QString& name);

}  // namespace velmora
