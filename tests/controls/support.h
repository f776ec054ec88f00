#pragma once
// Test helpers: a pinned locale, a shown window that hosts one control between two
// ordinary fields, and recorders of the events a control raises.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "com/error.h"
#include "com/events.h"
#include "com/locale.h"
#include "error_of.h"
#include "paste.h"
#include "typelib/control_host.h"

namespace quillon::test {

// Pins the locale both for Qt code (QLocale()) and for the object layer's coercions.
inline void pinLocale(QLocale::Language language, QLocale::Country country) {
    const QLocale locale(language, country);
    QLocale::setDefault(locale);
    com::UserLocale user;
    user.decimalSeparator = locale.decimalPoint().toStdString();
    user.thousandsSeparator = locale.groupSeparator().toStdString();
    user.dateSeparator = "/";
    user.dateOrder = "dmy";
    for (int m = 0; m < 12; ++m) {
        user.monthNames[static_cast<size_t>(m)] = locale.monthName(m + 1, QLocale::LongFormat).toStdString();
        user.abbreviatedMonthNames[static_cast<size_t>(m)] =
            locale.monthName(m + 1, QLocale::ShortFormat).toStdString();
    }
    com::setUserLocale(user);
}
inline void pinEnglish() { pinLocale(QLocale::English, QLocale::UnitedStates); }
inline void pinRomanian() { pinLocale(QLocale::Romanian, QLocale::Romania); }

// A window with a field, the control and another field, in that tab order.
struct HostWindow {
    explicit HostWindow(const com::ComPtr<com::IDispatch>& object) : control(object) {
        host = control.query<IControlHost>();
        auto* layout = new QVBoxLayout(&window);
        before = new QLineEdit(&window);
        before->setObjectName("before");
        layout->addWidget(before);
        widget = host->widget();
        widget->setParent(&window);
        layout->addWidget(widget);
        after = new QLineEdit(&window);
        after->setObjectName("after");
        layout->addWidget(after);
        window.resize(300, 120);
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
    }
    ~HostWindow() {
        // The control owns its widget: take it out of the window before the window goes.
        if (widget) widget->setParent(nullptr);
    }
    template <class T = QWidget>
    T* inner(const char* name) const {
        return widget->findChild<T*>(name);
    }

    QWidget window;
    com::ComPtr<com::IDispatch> control;
    com::ComPtr<IControlHost> host;
    QPointer<QWidget> widget;
    QLineEdit* before = nullptr;
    QLineEdit* after = nullptr;
};

// A dialog whose OK button is the default, holding the control's widget and a field
// after it: Enter in the control must move on to the field, not accept the dialog.
struct DialogHost {
    explicit DialogHost(QWidget* control) : field(control) {
        auto* layout = new QVBoxLayout(&dialog);
        field->setParent(&dialog);
        layout->addWidget(field);
        next = new QLineEdit(&dialog);
        layout->addWidget(next);
        auto* ok = new QPushButton("OK", &dialog);
        ok->setDefault(true);
        layout->addWidget(ok);
        QObject::connect(&dialog, &QDialog::accepted, [this] { ++accepted; });
        dialog.show();
        dialog.activateWindow();
        (void)QTest::qWaitForWindowActive(&dialog);
    }
    ~DialogHost() {
        if (field) field->setParent(nullptr);
    }
    // Presses Enter where the focus is inside the control; true when it reached `next`.
    bool enterMovesOn() {
        field->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        QWidget* inner = QApplication::focusWidget();
        if (!inner || !(inner == field || field->isAncestorOf(inner))) return false;
        QTest::keyClick(inner, Qt::Key_Return);
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
        return QApplication::focusWidget() == next;
    }

    QDialog dialog;
    QPointer<QWidget> field;
    QLineEdit* next = nullptr;
    int accepted = 0;
};

// Records every event a control raises, with its arguments; a handler may be given to
// answer an event (by-reference arguments).
struct EventLog {
    EventLog(com::IUnknown& source, const com::Guid& events, std::vector<com::DispId> ids) {
        sink = com::make<com::EventSink>();
        for (const auto id : ids)
            sink->on(id, [this, id](com::Args args) {
                raised.push_back({id, std::vector<com::Variant>(args.begin(), args.end())});
                if (auto it = answers.find(id); it != answers.end()) it->second(args);
            });
        connection = com::EventConnection(source, events, com::ComPtr<com::IDispatch>(sink.get()));
    }
    int count(com::DispId id) const {
        int n = 0;
        for (const auto& e : raised) n += e.first == id;
        return n;
    }
    std::vector<com::Variant> last(com::DispId id) const {
        for (auto it = raised.rbegin(); it != raised.rend(); ++it)
            if (it->first == id) return it->second;
        return {};
    }
    std::vector<std::pair<com::DispId, std::vector<com::Variant>>> raised;
    std::map<com::DispId, std::function<void(com::Args)>> answers;
    com::ComPtr<com::EventSink> sink;
    com::EventConnection connection;
};

// Records, while it lives, the errors the controls report from inside window events
// through the object layer (where the program shows its error box).
struct ReportedErrors {
    ReportedErrors() {
        previous = com::setWindowEventErrorHandler([this](const com::Error& e) { errors.push_back(e); });
    }
    ~ReportedErrors() { com::setWindowEventErrorHandler(std::move(previous)); }
    ReportedErrors(const ReportedErrors&) = delete;
    ReportedErrors& operator=(const ReportedErrors&) = delete;
    std::vector<com::Error> errors;
    com::WindowEventErrorHandler previous;
};

// Lets posted events (the focus moved on as Tab) arrive.
inline void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// A widget's rectangle in its window's coordinates, and the part of it that the window
// shows: cut by every container's rectangle.
inline QRect inWindow(const QWidget& widget) {
    return QRect(widget.mapTo(widget.window(), QPoint(0, 0)), widget.size());
}
inline QRect shownPart(const QWidget& widget) {
    QRect shown = inWindow(widget);
    for (const QWidget* w = widget.parentWidget(); w && !w->isWindow(); w = w->parentWidget()) shown &= inWindow(*w);
    return shown & widget.window()->rect();
}

// The ways text enters a line edit besides its keys.
using paste::commitFromInputMethod;
using paste::dropText;
using paste::pasteByShortcut;
using paste::pasteFromContextMenu;
using paste::pasteFromPrimarySelection;

}  // namespace quillon::test

namespace quillon::test {

inline com::Variant get(com::IDispatch& object, com::DispId id) {
    return object.Invoke(id, com::InvokeKind::PropertyGet, {});
}
inline void put(com::IDispatch& object, com::DispId id, com::Variant value) {
    std::vector<com::Variant> args{std::move(value)};
    object.Invoke(id, com::InvokeKind::PropertyPut, args);
}
inline com::Variant call(com::IDispatch& object, com::DispId id, std::vector<com::Variant> args = {}) {
    return object.Invoke(id, com::InvokeKind::Method, args);
}

using ::test::errorOf;

}  // namespace quillon::test
