#include "forms/screenhost.h"

#include <QWidget>

namespace velmora {

ScreenHost* ScreenHost::of(const QWidget* screen) {
    for (QWidget* up = screen ? screen->parentWidget() : nullptr; up; up = up->parentWidget())
        if (auto* host = dynamic_cast<ScreenHost*>(up)) return host;
    return nullptr;
}

}  // namespace velmora
