// Text of numbers depends on the user's settings only, never on the C library's locale of
// the process (which a GUI toolkit sets from the environment).
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "../support/temp_folder.h"
#include "com/propertybag.h"
#include "com/variant.h"
#include "locale_fixture.h"

namespace {

namespace fs = std::filesystem;

// Switches LC_NUMERIC to a locale whose decimal separator is the comma, compiled into a
// temporary folder (skips when the system cannot compile locales).
class CommaProcessLocale : public comtest::PinnedLocale {
protected:
    void SetUp() override {
        std::ofstream(dir_ / "comma.src") << "LC_NUMERIC\n"
                                             "decimal_point \"<U002C>\"\n"
                                             "thousands_sep \"<U002E>\"\n"
                                             "grouping 3\n"
                                             "END LC_NUMERIC\n";
        const std::string command = "localedef -c -i '" + (dir_ / "comma.src").string() + "' -f UTF-8 '" +
                                    (dir_ / "comma").string() + "' >/dev/null 2>&1";
        (void)std::system(command.c_str());  // warns (and fails) about the categories left out
        ::setenv("LOCPATH", dir_.path().c_str(), 1);
        if (!std::setlocale(LC_NUMERIC, "comma")) GTEST_SKIP() << "locales cannot be compiled here";
    }
    void TearDown() override {
        std::setlocale(LC_NUMERIC, "C");
        ::unsetenv("LOCPATH");
        PinnedLocale::TearDown();
    }

private:
    test::TempFolder dir_{"com-locale"};
};

TEST_F(CommaProcessLocale, NumbersTakeTheUserDecimalSeparator) {
    pin(comtest::english());
    EXPECT_EQ(com::Variant(2.5).toString(), "2.5");
    EXPECT_EQ(com::Variant(-1e20).toString(), "-1E+20");
    EXPECT_EQ(com::Variant(1.0 / 3).toString(), "0.333333333333333");
    EXPECT_DOUBLE_EQ(com::Variant("2.5").toDouble(), 2.5);
    pin(comtest::romanian());
    EXPECT_EQ(com::Variant(2.5).toString(), "2,5");
    EXPECT_EQ(com::Variant(1.5e-7).toString(), "1,5E-07");
}

TEST_F(CommaProcessLocale, PropertyBagTextIsTheSameUnderEveryLocale) {
    com::PropertyBag bag;
    bag.WriteProperty("Ratio", 2.5);
    EXPECT_EQ(bag.toText(), "Ratio = D:2.5\n");
    EXPECT_EQ(com::PropertyBag::fromText("Ratio = D:0.125\n").ReadProperty("Ratio"), com::Variant(0.125));
}

}  // namespace
