#pragma once
// The user's regional settings that the Automation coercions read.
#include <array>
#include <string>

namespace com {

struct UserLocale {
    std::string decimalSeparator = ".";
    std::string thousandsSeparator = ",";
    std::string dateSeparator = "/";
    // Day, month and year order of the short date: "dmy", "mdy" or "ymd".
    std::string dateOrder = "dmy";
    // The locale's names of the months, January first, in full and abbreviated ("" where it
    // has none); dates are read with these and with the English names.
    std::array<std::string, 12> monthNames{};
    std::array<std::string, 12> abbreviatedMonthNames{};
};

// Read once from the C library's locale (LC_NUMERIC/LC_TIME of the environment) unless set.
[[gnu::visibility("default")]] const UserLocale& userLocale();
// Pins the settings (the program copies them from its GUI locale; tests pin them).
[[gnu::visibility("default")]] void setUserLocale(UserLocale locale);

}  // namespace com
