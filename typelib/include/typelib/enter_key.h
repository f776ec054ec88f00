#pragma once
// The one meaning of Enter for the controls and the forms that host them. Needs Qt Gui.
#include <QKeyEvent>

namespace quillon {

// Enter is Return or the keypad's Enter, alone or with Shift (which types the same
// character); with Ctrl or Alt it is another key. The keypad flag is no modifier here.
inline bool isEnter(const QKeyEvent& event) {
    if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter) return false;
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier;
}

}  // namespace quillon
