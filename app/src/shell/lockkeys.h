#pragma once
// The state of the keyboard's Num Lock and Caps Lock, read from the display server where
// it tells them (X11, through XKB).
#include <functional>
#include <optional>
#include <string>

namespace velmora {

struct LockKeys {
    bool numLock = false;
    bool capsLock = false;
};

// Reads the lock state; nothing where the platform offers no way to read it (offscreen,
// Wayland, no display).
using LockKeyReader = std::function<std::optional<LockKeys>()>;

// The reader of the running platform.
LockKeyReader platformLockKeyReader();

// The reader of an X display through XKB ("" for the one in DISPLAY); it reads nothing
// when the display cannot be opened or the program was built without XKB.
LockKeyReader xkbLockKeyReader(const std::string& display);

}  // namespace velmora
