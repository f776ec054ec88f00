#pragma once
// Conversions the controls' properties share.
#include <cstdint>

#include <QFont>
#include <QString>

#include "com/binding.h"
#include "com/variant.h"

class QWidget;

namespace quillon {

// The container's font: the parent widget's font, else the application's.
QFont ambientFont(const QWidget* control);

// An 8-bit unsigned property value; raises 6 outside 0 to 255.
uint8_t toByte(const com::Variant& value);

}  // namespace quillon

// The controls' own types in their dispatch tables: text as a QString (a text argument
// read in place), a byte as an Integer.
template <>
struct com::binding::Conversion<QString> {
    static QString from(const com::Variant& value) {
        if (const auto* text = value.get<std::string>()) return QString::fromStdString(*text);
        return QString::fromStdString(value.toString());
    }
    static com::Variant to(const QString& value) { return com::Variant(value.toStdString()); }
};

template <>
struct com::binding::Conversion<uint8_t> {
    static uint8_t from(const com::Variant& value) { return quillon::toByte(value); }
    static com::Variant to(uint8_t value) { return com::Variant(int16_t{value}); }
};
