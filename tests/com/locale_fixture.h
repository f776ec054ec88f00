#pragma once
// Pins the user's regional settings for a test and restores the previous ones after it.
#include <gtest/gtest.h>

#include "com/locale.h"

namespace comtest {

inline com::UserLocale romanian() { return {",", ".", ".", "dmy"}; }
inline com::UserLocale english() { return {".", ",", "/", "mdy"}; }

class PinnedLocale : public ::testing::Test {
protected:
    void pin(com::UserLocale locale) { com::setUserLocale(std::move(locale)); }
    void TearDown() override { com::setUserLocale(saved_); }

private:
    com::UserLocale saved_ = com::userLocale();
};

}  // namespace comtest
