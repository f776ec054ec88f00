#include "property_values.h"

#include <QApplication>
#include <QWidget>

#include "com/error.h"

namespace quillon {

QFont ambientFont(const QWidget* control) {
    if (control && control->parentWidget()) return control->parentWidget()->font();
    return QApplication::font();
}

uint8_t toByte(const com::Variant& value) {
    const int32_t n = value.toLong();
    if (n < 0 || n > 255) com::raise(com::errc::Overflow, "");
    return static_cast<uint8_t>(n);
}

}  // namespace quillon
