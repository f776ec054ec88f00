#pragma once
// Text to date as the run-time's ordinary conversion reads it: numeric dates day first,
// ISO dates, month names in English and Romanian (full or abbreviated), an optional time
// of day, or a time alone (on day 0, 30 December 1899).
#include <optional>

#include <QDateTime>
#include <QString>

namespace quillon {

// The date and time `text` holds, or nullopt when it holds none. Accepted:
//   "5/3/2006", "05.03.06", "5-3-2006" (day, month, year; two-digit years 1930-2029),
//   "2006-03-05" (year first when the first number has four digits),
//   "3 Feb 2006", "3 februarie 2006", "Feb 3, 2006", "3-feb-06", "2006 Feb 3",
//   each optionally followed (or preceded) by "10:30", "10:30:15", "10:30 PM" or "10 AM",
//   and "10:30" alone.
std::optional<QDateTime> readDateText(const QString& text);

}  // namespace quillon
