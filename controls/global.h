#pragma once
// Routines shared by the library's controls: the user's separators, the fixed
// day-month-year text of a date, and the key filter of number fields.
#include <cstdint>
#include <string>

#include <QString>

namespace quillon {

// The decimal separator of the user's default locale (read anew at every call).
QString separatorZecimal();
// The date separator of the user's default locale (read anew at every call).
QString separatorData();

// A date as the object layer's text-to-date conversion reads it (com::readDateText: the
// locale's order, ISO, month names in English and the locale's language, a time alone on
// day 0), written back as dd<sep>MM<sep>year with the locale's separator. Raises 13 for text
// that is no date.
QString formatData(const QString& text);

// Judges a key typed into a number field whose edit text is `text`, with the caret at
// `caret` (characters before it) and `decimals` decimals allowed. Returns the key to
// let through or 0. The edit text of a number field always uses "." as its decimal
// point, whatever the locale, so the decimal key is let through as ".".
int16_t validezTastaNumar(int16_t caret, int16_t key, const QString& text, uint8_t decimals);

}  // namespace quillon
