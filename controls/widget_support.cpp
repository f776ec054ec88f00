#include "widget_support.h"

#include <dlfcn.h>

#include <map>
#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace quillon {

namespace {

void paint(QWidget& widget, int32_t ole, std::initializer_list<QPalette::ColorRole> roles) {
    QPalette palette = widget.palette();
    const QColor color = oleColor(ole);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (const auto role : roles) palette.setColor(group, role, color);
    widget.setPalette(palette);
}

}  // namespace

void paintBack(QWidget& widget, int32_t ole) { paint(widget, ole, {QPalette::Base, QPalette::Button}); }
void paintFore(QWidget& widget, int32_t ole) { paint(widget, ole, {QPalette::Text, QPalette::ButtonText}); }

QString typedCharacter(const QKeyEvent& event) {
    if (isEnter(event)) return QStringLiteral("\r");
    switch (event.key()) {
    case Qt::Key_Backspace: return QStringLiteral("\b");
    case Qt::Key_Escape: return QStringLiteral("\x1b");
    case Qt::Key_Return:  // with Ctrl or Alt: no Enter, and no character
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete: return {};
    default: break;
    }
    const QString text = event.text();
    const bool one =
        text.size() == 1 || (text.size() == 2 && text.front().isHighSurrogate() && text.back().isLowSurrogate());
    return one ? text : QString();
}

std::optional<int16_t> keyAscii(const QKeyEvent& event) {
    const QString text = typedCharacter(event);
    if (text.size() != 1) return std::nullopt;
    const char16_t c = text.front().unicode();
    return static_cast<int16_t>(c < 0x8000 ? c : u'?');
}

int16_t virtualKey(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<int16_t>(96 + key - Qt::Key_0);
    if (keypad && key == Qt::Key_Minus) return 109;
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return static_cast<int16_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<int16_t>(112 + key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Minus: return 189;
    case Qt::Key_Period: return 190;
    case Qt::Key_Comma: return 188;
    default: return 0;
    }
}

int16_t shiftMask(const QKeyEvent& event) {
    const auto m = event.modifiers();
    return static_cast<int16_t>(((m & Qt::ShiftModifier) ? 1 : 0) | ((m & Qt::ControlModifier) ? 2 : 0) |
                                ((m & Qt::AltModifier) ? 4 : 0));
}

namespace {
// The widgets floated over their windows, each with the widget that floats it (few, and
// mostly none: a focus change asks about them).
struct Floating {
    QPointer<QWidget> widget;
    QPointer<QWidget> owner;
};
std::vector<Floating>& floating() {
    static std::vector<Floating> all;
    return all;
}

const QWidget* floatingOwner(const QWidget* widget) {
    for (const Floating& f : floating())
        if (f.widget && f.owner && (f.widget == widget || f.widget->isAncestorOf(widget))) return f.owner;
    return nullptr;
}
}  // namespace

bool isWithin(const QWidget* widget, const QWidget* container) {
    if (!container) return false;
    for (const QWidget* w = widget; w;) {
        if (w == container || container->isAncestorOf(w)) return true;
        // A list floated over the window belongs to the control that floats it.
        if (const QWidget* owner = floatingOwner(w)) {
            w = owner;
            continue;
        }
        // A popup (a calendar, a drop-down list) belongs to the widget that opened it.
        const QWidget* window = w->window();
        if (window->windowType() != Qt::Popup) return false;
        w = window->parentWidget();
    }
    return false;
}

void setFloatingOwner(QWidget& widget, QWidget* owner) {
    auto& all = floating();
    std::erase_if(all, [&widget](const Floating& f) { return !f.widget || !f.owner || f.widget == &widget; });
    if (owner) all.push_back({&widget, owner});
}

namespace {
// The window, or the child window of a multiple-document window, that holds `widget`: Tab
// moves the focus within it and never into another one.
const QWidget* focusScope(const QWidget* widget) {
    const QWidget* w = widget;
    while (!w->isWindow() && w->windowType() != Qt::SubWindow && w->parentWidget()) w = w->parentWidget();
    return w;
}
}  // namespace

void moveFocusAsTab(QWidget* control) {
    QTimer::singleShot(0, control, [guard = QPointer<QWidget>(control)] {
        QWidget* self = guard.data();
        if (!self) return;
        // From the widget inside the control that holds the focus, as Tab goes: a host may
        // have set its tab order on that inner widget rather than on the control's own.
        QWidget* from = QApplication::focusWidget();
        if (!from || !isWithin(from, self)) from = self;
        const QWidget* scope = focusScope(self);
        for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
            if (isWithin(w, self) || !scope->isAncestorOf(w)) continue;
            if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() || !w->isEnabled()) continue;
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    });
}

namespace {
struct HandleTable {
    std::map<int32_t, QPointer<QWidget>> byHandle;
    int32_t next = 0x1000;
};
HandleTable& handles() {
    static HandleTable table;
    return table;
}
}  // namespace

int32_t windowHandle(QWidget* widget) {
    auto& table = handles();
    for (auto it = table.byHandle.begin(); it != table.byHandle.end();) {
        if (it->second == widget) return it->first;
        it = it->second ? std::next(it) : table.byHandle.erase(it);
    }
    const int32_t handle = table.next++;
    table.byHandle.emplace(handle, widget);
    return handle;
}

void releaseWindowHandle(QWidget* widget) {
    std::erase_if(handles().byHandle, [widget](const auto& entry) { return entry.second == widget || !entry.second; });
}

std::filesystem::path libraryFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&libraryFolder), &info) == 0 || !info.dli_fname) return {};
    return std::filesystem::absolute(info.dli_fname).parent_path();
}

namespace {
std::function<void()>& beepHook() {
    static std::function<void()> hook;
    return hook;
}
}  // namespace

void beep() {
    if (const auto& hook = beepHook()) hook();
    else QApplication::beep();
}

void setBeepHook(std::function<void()> hook) { beepHook() = std::move(hook); }

Qt::Alignment textAlignment(int32_t value) {
    switch (value) {
    case 1: return Qt::AlignRight | Qt::AlignVCenter;
    case 2: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace quillon
