#include "com/locale.h"

#include <langinfo.h>
#include <locale.h>

#include <mutex>
#include <optional>

namespace com {

namespace {

UserLocale fromEnvironment() {
    UserLocale result;
    const locale_t loc = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) return result;
    const std::string radix = nl_langinfo_l(RADIXCHAR, loc);
    const std::string thousands = nl_langinfo_l(THOUSEP, loc);
    const std::string dateFormat = nl_langinfo_l(D_FMT, loc);
    for (int m = 0; m < 12; ++m) {
        result.monthNames[static_cast<size_t>(m)] = nl_langinfo_l(static_cast<nl_item>(MON_1 + m), loc);
        result.abbreviatedMonthNames[static_cast<size_t>(m)] = nl_langinfo_l(static_cast<nl_item>(ABMON_1 + m), loc);
    }
    freelocale(loc);
    if (!radix.empty()) result.decimalSeparator = radix;
    if (!thousands.empty() && thousands != radix) result.thousandsSeparator = thousands;
    else result.thousandsSeparator = radix == "," ? "." : ",";
    // "%d.%m.%Y", "%m/%d/%y", "%Y-%m-%d": the order of d, m and Y/y, and the first separator.
    std::string order;
    for (size_t i = 0; i + 1 < dateFormat.size(); ++i) {
        if (dateFormat[i] != '%') continue;
        const char c = dateFormat[i + 1];
        if (c == 'd' || c == 'e') order += 'd';
        else if (c == 'm') order += 'm';
        else if (c == 'Y' || c == 'y') order += 'y';
        if (order.size() == 1 && i + 2 < dateFormat.size() && dateFormat[i + 2] != '%')
            result.dateSeparator = std::string(1, dateFormat[i + 2]);
    }
    if (order == "dmy" || order == "mdy" || order == "ymd") result.dateOrder = order;
    return result;
}

std::optional<UserLocale>& current() {
    static std::optional<UserLocale> locale;
    return locale;
}

std::once_flag initialised;

}  // namespace

const UserLocale& userLocale() {
    std::call_once(initialised, [] {
        if (!current()) current() = fromEnvironment();
    });
    return *current();
}

void setUserLocale(UserLocale locale) {
    std::call_once(initialised, [] {});
    current() = std::move(locale);
}

}  // namespace com
