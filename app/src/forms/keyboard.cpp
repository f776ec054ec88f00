#include "forms/keyboard.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionMenuItem>
#include <utility>

#include "typelib/enter_key.h"

namespace velmora {
namespace {

// The menu bar follows the keyboard as on Windows: Alt alone selects its first menu.
class KeyboardStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    // The menu the keyboard selected is shown selected, also while its list is closed: the
    // base style marks a menu-bar item only while its list is open, so Alt would show nothing.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item && (item->state & State_Selected) && widget && widget->hasFocus()) {
            QStyleOptionMenuItem selected(*item);
            selected.state |= State_Sunken;
            QProxyStyle::drawControl(element, &selected, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// The toolkit's file, print and page dialogs (and the printer properties they open).
bool isStandardDialog(const QDialog& dialog) {
    return dialog.inherits("QFileDialog") || dialog.inherits("QAbstractPrintDialog") ||
           dialog.inherits("QPageSetupDialog") || dialog.inherits("QPrintPropertiesDialog");
}

QMenuBar* menuBarOf(QWidget* widget) {
    if (!widget) return nullptr;
    auto* window = qobject_cast<QMainWindow*>(widget->window());
    if (!window) return nullptr;
    auto* bar = qobject_cast<QMenuBar*>(window->menuWidget());
    return bar && bar->isVisible() ? bar : nullptr;
}

class WindowsKeyboard final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Polish:
            // A dialog would otherwise make its first button the default one, and Enter in
            // any of its fields would press it. A button made default on purpose stays so.
            if (auto* button = qobject_cast<QPushButton*>(watched); button && !button->isDefault())
                button->setAutoDefault(false);
            // A turn of the wheel over a combo gives it no focus (see wheelOverCombo).
            if (auto* combo = qobject_cast<QComboBox*>(watched); combo && combo->focusPolicy() == Qt::WheelFocus)
                combo->setFocusPolicy(Qt::StrongFocus);
            break;
        case QEvent::KeyPress: return keyPress(watched, *static_cast<QKeyEvent*>(event));
        case QEvent::Wheel: return wheelOverCombo(watched, *event);
        default: break;
        }
        return false;
    }

private:
    // A combo changes with the wheel only while it has the focus; otherwise the turn goes on
    // to the widget under it (a list or a page scrolls), so that a pointer passing over a
    // combo changes no choice.
    static bool wheelOverCombo(QObject* watched, QEvent& event) {
        auto* combo = qobject_cast<QComboBox*>(watched);
        if (!combo) return false;
        const QWidget* focused = QApplication::focusWidget();
        if (focused && (focused == combo || combo->isAncestorOf(focused))) return false;
        event.ignore();
        return true;
    }

    static bool keyPress(QObject* watched, const QKeyEvent& key) {
        if (quillon::isEnter(key)) {
            // A key reaches a button only as the widget that has the keyboard focus.
            auto* button = qobject_cast<QPushButton*>(watched);
            if (!button || !button->isEnabled()) return false;
            if (!key.isAutoRepeat()) button->click();
            return true;
        }
        if (key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier) {
            // Only the key that no control took reaches the dialog itself: the program's
            // forms have no cancel button, so it closes nothing. Message boxes keep theirs, and
            // the file and print dialogs cancel with it, as the system's own dialogs do.
            auto* dialog = qobject_cast<QDialog*>(watched);
            return dialog && !qobject_cast<QMessageBox*>(dialog) && !isStandardDialog(*dialog);
        }
        if (key.key() == Qt::Key_F10 && key.modifiers() == Qt::NoModifier && !key.isAutoRepeat()) {
            // Once, where the key arrives first: at the focused widget, or the active window.
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
            if (watched != target) return false;
            QMenuBar* bar = menuBarOf(target);
            if (!bar) return false;
            // The menu bar takes the keyboard when Alt is pressed and released alone.
            for (const auto& [type, modifiers] :
                 {std::pair{QEvent::ShortcutOverride, Qt::AltModifier}, std::pair{QEvent::KeyPress, Qt::AltModifier},
                  std::pair{QEvent::KeyRelease, Qt::NoModifier}}) {
                QKeyEvent alt(type, Qt::Key_Alt, modifiers);
                QCoreApplication::sendEvent(target, &alt);
            }
            return true;
        }
        return false;
    }
};

}  // namespace

void installWindowsKeyboard(QApplication& application) {
    QApplication::setStyle(new KeyboardStyle);
    application.installEventFilter(new WindowsKeyboard(&application));
}

}  // namespace velmora
