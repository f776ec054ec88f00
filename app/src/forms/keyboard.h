#pragma once
// The Windows keyboard on every form of the program, installed once for the whole
// application: Enter (alone or with Shift) on a focused command button presses it, Enter
// in a field never presses a button by itself (no button is a default one unless made so
// on purpose), Esc does not close a form, and Alt alone or F10 takes the
// menu bar. With it goes the mouse wheel's rule for combos: one changes with the wheel
// only while it has the focus.
class QApplication;

namespace velmora {

// Installs the application-wide key handling and the menu-bar keyboard navigation. Call
// once, after the QApplication exists and before the first window is built.
void installWindowsKeyboard(QApplication& application);

}  // namespace velmora
