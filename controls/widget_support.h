#pragma once
// Small services the controls share: OLE colours on Qt palettes, key codes as hosts
// see them, moving the focus on as Tab does, window handles and the library's folder.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include <QColor>
#include <QPalette>
#include <QString>

#include "typelib/enter_key.h"
#include "typelib/ole_color.h"
#include "typelib/twips.h"

class QKeyEvent;
class QWidget;

namespace quillon {

// Paints a widget's background (Base and Button roles) or its text (Text and
// ButtonText roles) in every colour group, so that a disabled control keeps the colour
// its host gave it.
void paintBack(QWidget& widget, int32_t ole);
void paintFore(QWidget& widget, int32_t ole);

// The one character a key press types, as text (a character outside the basic plane is
// two UTF-16 units; Enter "\r", Backspace "\b", Escape "\x1b"), or "" for keys that type
// no character (arrows, Tab, Delete, F1) or more than one.
QString typedCharacter(const QKeyEvent& event);
// The character code a key press delivers (Enter 13, Backspace 8, Escape 27, a typed
// character's code), or nullopt for keys that type no character (arrows, Delete, F1).
std::optional<int16_t> keyAscii(const QKeyEvent& event);
// The virtual-key code and the shift mask (1 Shift, 2 Ctrl, 4 Alt) of a key press.
int16_t virtualKey(const QKeyEvent& event);
int16_t shiftMask(const QKeyEvent& event);

// Moves the focus, once the current event has been handled, to the next widget after
// `control` (and all of its children) in its window's focus chain, as Tab would.
void moveFocusAsTab(QWidget* control);

// A process-wide 32-bit handle for a control's widget (never its native window).
int32_t windowHandle(QWidget* widget);
void releaseWindowHandle(QWidget* widget);

// The folder that holds this library's file.
std::filesystem::path libraryFolder();

// The alignment of a text box for the alignment property (0 left, 1 right, 2 centre).
Qt::Alignment textAlignment(int32_t value);

// The beep of a refused key. `setBeepHook` replaces the sound (an empty hook restores it),
// so that a headless run can count beeps.
void beep();
void setBeepHook(std::function<void()> hook);

// True when `widget` is `container` or one of its descendants, also inside a popup that
// one of them opened or inside a widget one of them floats over its window.
bool isWithin(const QWidget* widget, const QWidget* container);

// Makes `floating`, a widget that `owner` places over its window (outside its own
// bounds), belong to `owner` as far as isWithin is concerned; nullptr ends that.
void setFloatingOwner(QWidget& floating, QWidget* owner);

}  // namespace quillon
