#pragma once
// The user's regional settings that the Automation coercions read.
#include <string>

namespace com {

struct UserLocale {
    std::string decimalSeparator = ".";
    std::string thousandsSeparator = ",";
    std::string dateSeparator = "/";
    // Day, month and year order of the short date: "dmy", "mdy" or "ymd".
    std::string dateOrder = "dmy";
};

// Read once from the C library's locale (LC_NUMERIC/LC_TIME of the environment) unless set.
const UserLocale& userLocale();
// Pins the settings (the program copies them from its GUI locale; tests pin them).
void setUserLocale(UserLocale locale);

}  // namespace com
