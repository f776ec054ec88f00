#include "shell/lockkeys.h"

#include <QGuiApplication>
#include <QString>

#include <memory>

#ifdef VELMORA_HAVE_XKB
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#endif

namespace velmora {
namespace {

#ifdef VELMORA_HAVE_XKB
// A connection of our own to the X server, for the keyboard state only.
class XkbLockKeys {
public:
    explicit XkbLockKeys(const std::string& name)
        : display_(XOpenDisplay(name.empty() ? nullptr : name.c_str()), &XCloseDisplay) {
        if (!display_) return;
        int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
        if (!XkbQueryExtension(display_.get(), &opcode, &event, &error, &major, &minor)) {
            display_.reset();
            return;
        }
        numLockMask_ = XkbKeysymToModifiers(display_.get(), XK_Num_Lock);
    }

    std::optional<LockKeys> read() const {
        if (!display_) return std::nullopt;
        XkbStateRec state{};
        if (XkbGetState(display_.get(), XkbUseCoreKbd, &state) != Success) return std::nullopt;
        LockKeys keys;
        keys.capsLock = (state.locked_mods & LockMask) != 0;
        keys.numLock = numLockMask_ != 0 && (state.locked_mods & numLockMask_) != 0;
        return keys;
    }

private:
    std::unique_ptr<Display, decltype(&XCloseDisplay)> display_;
    unsigned int numLockMask_ = 0;
};
#endif

}  // namespace

LockKeyReader xkbLockKeyReader([[maybe_unused]] const std::string& display) {
#ifdef VELMORA_HAVE_XKB
    auto reader = std::make_shared<XkbLockKeys>(display);
    return [reader] { return reader->read(); };
#else
    return [] { return std::optional<LockKeys>{}; };
#endif
}

LockKeyReader platformLockKeyReader() {
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) return xkbLockKeyReader("");
    return [] { return std::optional<LockKeys>{}; };
}

}  // namespace velmora
