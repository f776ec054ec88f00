#pragma once
// Pins the user's regional settings for a test and restores the previous ones after it.
#include <gtest/gtest.h>

#include "com/locale.h"

namespace comtest {

inline com::UserLocale romanian() {
    return {",",
            ".",
            ".",
            "dmy",
            {"ianuarie", "februarie", "martie", "aprilie", "mai", "iunie", "iulie", "august", "septembrie", "octombrie",
             "noiembrie", "decembrie"},
            {"ian.", "feb.", "mar.", "apr.", "mai", "iun.", "iul.", "aug.", "sept.", "oct.", "nov.", "dec."}};
}
inline com::UserLocale english() { return {".", ",", "/", "mdy"}; }

class PinnedLocale : public ::testing::Test {
protected:
    void pin(com::UserLocale locale) { com::setUserLocale(std::move(locale)); }
    void TearDown() override { com::setUserLocale(saved_); }

private:
    com::UserLocale saved_ = com::userLocale();
};

// The same for one scope, where a fixture of another kind is in use.
class ScopedUserLocale {
public:
    explicit ScopedUserLocale(com::UserLocale locale) { com::setUserLocale(std::move(locale)); }
    ~ScopedUserLocale() { com::setUserLocale(saved_); }
    ScopedUserLocale(const ScopedUserLocale&) = delete;
    ScopedUserLocale& operator=(const ScopedUserLocale&) = delete;

private:
    com::UserLocale saved_ = com::userLocale();
};

}  // namespace comtest
