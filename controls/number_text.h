#pragma once
// Numbers of number fields: the display text (locale separators, optional grouping),
// the edit text (always "." as decimal point, no grouping) and reading the edit text.
#include <optional>

#include <QString>

#include "com/variant.h"

namespace quillon {

// The value with exactly `decimals` decimals, rounded half away from zero, with the
// locale's decimal separator and, when `grouping`, its group separator. Raises 13 for a
// value that is no number (94 for Null).
QString formatNumber(const com::Variant& value, int decimals, bool grouping);

// The same number as edit text: "." as decimal point and no grouping.
QString editNumber(const com::Variant& value, int decimals);

// True for a value a number field can show: Empty, "", numbers and numeric text.
bool isNumberValue(const com::Variant& value);

// True when the value is 0 or "" (a number field then shows an empty edit box).
bool isZeroOrEmpty(const com::Variant& value);

// Reads a number field's edit text: a text without digits ("", "-", ".", "-.") is the
// Integer 0; a plain signed decimal with "." becomes a Currency (a Double when it is
// beyond the Currency's range or precision). Anything else, and a number beyond a
// Double's range, gives nullopt.
std::optional<com::Variant> parseEditNumber(const QString& text);

// Reads what a number field's box holds: its edit text, else a number as the field
// displays it (the locale's group and decimal separators), as a host's write or a paste
// leaves it there. Anything else gives nullopt.
std::optional<com::Variant> parseNumberText(const QString& text);

}  // namespace quillon
