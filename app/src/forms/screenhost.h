#pragma once
// What a screen asks of the window that hosts it: to show another form as one of its child
// windows and to bring a child window to the front. The main window implements it; a screen
// reaches its host through its parents, never by its class or by looking through the
// program's windows.
#include <memory>

#include <QSize>

class QWidget;

namespace velmora {

class ScreenHost {
public:
    // Shows the form as a child window at the host's top left, of `size` when one is given,
    // deleted when closed, and makes it the active child window.
    virtual void openChild(std::unique_ptr<QWidget> form, QSize size = {}) = 0;
    // Brings the child window that shows the form to the front, restoring it when minimised.
    // Answers false when the form is none of the host's child windows.
    virtual bool activateChild(QWidget* form) = 0;
    // The size a child window has when it fills the host's child-window area.
    virtual QSize childAreaSize() const = 0;

    // The host of a screen: the nearest of its parents that hosts screens, or nullptr for a
    // screen shown on its own.
    static ScreenHost* of(const QWidget* screen);

protected:
    ScreenHost() = default;
    ScreenHost(const ScreenHost&) = default;
    ScreenHost& operator=(const ScreenHost&) = default;
    ~ScreenHost() = default;
};

}  // namespace velmora
