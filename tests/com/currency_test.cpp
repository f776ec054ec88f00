// Currency: exact arithmetic in 1/10 000, its limits, text and rounding to four decimals.
#include <gtest/gtest.h>

#include <cstdint>

#include "com/currency.h"
#include "com/error.h"
#include "error_number.h"

namespace {

using com::Currency;
using comtest::errorNumber;

TEST(Currency, SumsAreExact) {
    EXPECT_EQ(Currency::parse("0.1") + Currency::parse("0.2"), Currency::parse("0.3"));
    EXPECT_EQ(Currency::fromDouble(0.1) + Currency::fromDouble(0.2), Currency::fromDouble(0.3));
    Currency total;
    for (int i = 0; i < 1000; ++i) total += Currency::parse("0.0001");
    EXPECT_EQ(total, Currency::parse("0.1"));
    EXPECT_EQ(total.units(), 1000);
    EXPECT_EQ((Currency::parse("10") - Currency::parse("0.0001")).toString(), "9.9999");
    EXPECT_EQ(-Currency::parse("2.5"), Currency::parse("-2.5"));
    EXPECT_LT(Currency::parse("-0.0001"), Currency());
}

TEST(Currency, LimitsRaiseOverflow) {
    EXPECT_EQ(Currency::max().toString(), "922337203685477.5807");
    EXPECT_EQ(Currency::min().toString(), "-922337203685477.5808");
    EXPECT_EQ(Currency::parse("922337203685477.5807"), Currency::max());
    EXPECT_EQ(Currency::parse("-922337203685477.5808"), Currency::min());
    const Currency unit = Currency::fromUnits(1);
    EXPECT_EQ(errorNumber([&] { (void)(Currency::max() + unit); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([&] { (void)(Currency::min() - unit); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)-Currency::min(); }), com::errc::Overflow);
    EXPECT_EQ(-Currency::max(), Currency::min() + Currency::fromUnits(1));
    EXPECT_EQ(errorNumber([] { (void)Currency::parse("922337203685477.5808"); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Currency::parse("-922337203685477.5809"); }), com::errc::Overflow);
    // Rounding up past the limit overflows as well.
    EXPECT_EQ(errorNumber([] { (void)Currency::parse("922337203685477.58075"); }), com::errc::Overflow);
    EXPECT_EQ(Currency::fromInteger(922337203685477).units(), 9223372036854770000);
    EXPECT_EQ(errorNumber([] { (void)Currency::fromInteger(922337203685478); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Currency::fromInteger(-922337203685478); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Currency::fromDouble(1e15); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Currency::fromDouble(-1e15); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Currency::fromDouble(std::numeric_limits<double>::quiet_NaN()); }),
              com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Currency::fromDouble(std::numeric_limits<double>::infinity()); }),
              com::errc::Overflow);
}

TEST(Currency, TextRoundTrips) {
    for (const char* text : {"0", "1", "-1", "0.0001", "-0.0001", "1234567.89", "0.5", "100", "-922337203685477.5808",
                             "922337203685477.5807", "12.3456"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Currency::parse(text).toString(), text);
        EXPECT_EQ(Currency::parse(Currency::parse(text).toString(","), ","), Currency::parse(text));
    }
    EXPECT_EQ(Currency::parse("1.50").toString(), "1.5");
    EXPECT_EQ(Currency::parse("  +7.25 ").units(), 72500);
    EXPECT_EQ(Currency::parse("7,25", ",").units(), 72500);
    EXPECT_EQ(Currency::parse("3.75").toString(","), "3,75");
    EXPECT_EQ(Currency::parse("-0").units(), 0);
}

TEST(Currency, TextIsRoundedToFourDecimalsHalfToEven) {
    EXPECT_EQ(Currency::parse("1.00005").units(), 10000);
    EXPECT_EQ(Currency::parse("1.00015").units(), 10002);
    EXPECT_EQ(Currency::parse("1.000051").units(), 10001);
    EXPECT_EQ(Currency::parse("1.000049999").units(), 10000);
    EXPECT_EQ(Currency::parse("-1.00005").units(), -10000);
    EXPECT_EQ(Currency::parse("-1.00015").units(), -10002);
    EXPECT_EQ(Currency::parse("0.00005").units(), 0);
    EXPECT_EQ(Currency::parse("0.00015").units(), 2);
    EXPECT_EQ(Currency::parse("0.0000500001").units(), 1);
    EXPECT_EQ(Currency::parse("0.000005").units(), 0);
    EXPECT_EQ(Currency::parse("2.99995").units(), 30000);
}

TEST(Currency, TextThatIsNoAmountRaisesTypeMismatch) {
    for (const char* text : {"", "abc", "1.2.3", "1,5", "1.5x", "--1", "."}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(errorNumber([&] { (void)Currency::parse(text); }), com::errc::TypeMismatch);
    }
}

TEST(Currency, FromDoubleRoundsToFourDecimalsHalfToEven) {
    // Binary fractions, so that the half is exact: 312.5 and 937.5 units.
    EXPECT_EQ(Currency::fromDouble(0.03125).units(), 312);
    EXPECT_EQ(Currency::fromDouble(0.09375).units(), 938);
    EXPECT_EQ(Currency::fromDouble(-0.03125).units(), -312);
    EXPECT_EQ(Currency::fromDouble(-0.09375).units(), -938);
    EXPECT_EQ(Currency::fromDouble(1.23456).units(), 12346);
    EXPECT_EQ(Currency::fromDouble(1.23454).units(), 12345);
    EXPECT_EQ(Currency::fromDouble(0.1).units(), 1000);
    EXPECT_EQ(Currency::fromDouble(-2.5).units(), -25000);
}

}  // namespace
