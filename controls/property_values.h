#pragma once
// Conversions the controls' properties share.
#include <cstdint>

#include <QFont>

#include "com/variant.h"

class QWidget;

namespace quillon {

// The container's font: the parent widget's font, else the application's.
QFont ambientFont(const QWidget* control);

// An 8-bit unsigned property value; raises 6 outside 0 to 255.
uint8_t toByte(const com::Variant& value);

}  // namespace quillon
