// The Automation coercions of Variant under a pinned Romanian and English locale.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "com/dispatch.h"
#include "com/error.h"
#include "com/variant.h"
#include "error_number.h"
#include "locale_fixture.h"

namespace {

using com::Currency;
using com::Variant;

using comtest::errorNumber;

class Romanian : public comtest::PinnedLocale {
protected:
    void SetUp() override { pin(comtest::romanian()); }
};

class English : public comtest::PinnedLocale {
protected:
    void SetUp() override { pin(comtest::english()); }
};

TEST_F(Romanian, NumbersRoundHalfToEvenAsIntegers) {
    EXPECT_EQ(Variant(2.5).toLong(), 2);
    EXPECT_EQ(Variant(3.5).toLong(), 4);
    EXPECT_EQ(Variant(-2.5).toLong(), -2);
    EXPECT_EQ(Variant(-3.5).toLong(), -4);
    EXPECT_EQ(Variant(2.5).toInteger(), 2);
    EXPECT_EQ(Variant(3.5).toInteger(), 4);
    EXPECT_EQ(Variant(-2.5).toInteger(), -2);
    EXPECT_EQ(Variant(2.5000001).toLong(), 3);
    EXPECT_EQ(Variant(Currency::parse("2.5")).toLong(), 2);
    EXPECT_EQ(Variant(Currency::parse("-3.5")).toInteger(), -4);
    EXPECT_EQ(Variant(Currency::parse("0.5001")).toLong(), 1);
}

TEST_F(Romanian, TextReadsTheLocaleSeparators) {
    EXPECT_EQ(Variant("7,5").toLong(), 8);
    EXPECT_EQ(Variant("6,5").toLong(), 6);
    EXPECT_EQ(Variant("2,5").toInteger(), 2);
    EXPECT_DOUBLE_EQ(Variant("7,5").toDouble(), 7.5);
    EXPECT_EQ(Variant("7,5").toCurrency(), Currency::fromUnits(75000));
    // The point is the thousands separator here.
    EXPECT_EQ(Variant("7.5").toLong(), 75);
    EXPECT_DOUBLE_EQ(Variant("7.5").toDouble(), 75.0);
    EXPECT_DOUBLE_EQ(Variant("1.234,56").toDouble(), 1234.56);
    EXPECT_EQ(Variant("1.234,5678").toCurrency(), Currency::fromUnits(12345678));
    EXPECT_EQ(Variant(" -7,5 ").toLong(), -8);
}

TEST_F(English, TextReadsTheLocaleSeparators) {
    EXPECT_EQ(Variant("7.5").toLong(), 8);
    EXPECT_DOUBLE_EQ(Variant("7.5").toDouble(), 7.5);
    EXPECT_EQ(Variant("7.5").toCurrency(), Currency::fromUnits(75000));
    EXPECT_EQ(Variant("7,5").toLong(), 75);
    EXPECT_DOUBLE_EQ(Variant("1,234.56").toDouble(), 1234.56);
    EXPECT_EQ(Variant("2.5").toInteger(), 2);
    EXPECT_EQ(Variant("3.5").toInteger(), 4);
    EXPECT_EQ(Variant(2.5).toLong(), 2);
    EXPECT_EQ(Variant(3.5).toLong(), 4);
}

TEST_F(Romanian, TextThatIsNoNumberRaisesTypeMismatch) {
    for (const char* text : {"", " ", "abc", "7,5x", ",", "-", "1e", "12 34", "&H"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(errorNumber([&] { (void)Variant(text).toLong(); }), com::errc::TypeMismatch);
        EXPECT_EQ(errorNumber([&] { (void)Variant(text).toInteger(); }), com::errc::TypeMismatch);
        EXPECT_EQ(errorNumber([&] { (void)Variant(text).toDouble(); }), com::errc::TypeMismatch);
        EXPECT_EQ(errorNumber([&] { (void)Variant(text).toCurrency(); }), com::errc::TypeMismatch);
        EXPECT_EQ(errorNumber([&] { (void)Variant(text).toBool(); }), com::errc::TypeMismatch);
    }
    const auto e = comtest::errorOf([] { (void)Variant("abc").toLong(); });
    ASSERT_TRUE(e);
    EXPECT_NE(e->description().find("abc"), std::string::npos) << e->description();
}

TEST_F(Romanian, OutOfRangeRaisesOverflow) {
    EXPECT_EQ(Variant(int32_t{32767}).toInteger(), 32767);
    EXPECT_EQ(Variant(int32_t{-32768}).toInteger(), -32768);
    EXPECT_EQ(errorNumber([] { (void)Variant(int32_t{32768}).toInteger(); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Variant(int32_t{-32769}).toInteger(); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Variant(32767.5).toInteger(); }), com::errc::Overflow);
    EXPECT_EQ(Variant(32766.5).toInteger(), 32766);
    EXPECT_EQ(errorNumber([] { (void)Variant("40000").toInteger(); }), com::errc::Overflow);

    EXPECT_EQ(Variant(2147483647.0).toLong(), INT32_MAX);
    EXPECT_EQ(Variant(-2147483648.0).toLong(), INT32_MIN);
    EXPECT_EQ(errorNumber([] { (void)Variant(2147483648.0).toLong(); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Variant(-2147483649.0).toLong(); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Variant("3000000000").toLong(); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Variant("99999999999999999999999").toLong(); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Variant(1e300).toLong(); }), com::errc::Overflow);

    EXPECT_EQ(errorNumber([] { (void)Variant(1e15).toCurrency(); }), com::errc::Overflow);
    EXPECT_EQ(errorNumber([] { (void)Variant("1000000000000000").toCurrency(); }), com::errc::Overflow);
    EXPECT_EQ(Variant("922337203685477,5807").toCurrency(), Currency::max());
    EXPECT_EQ(errorNumber([] { (void)Variant("922337203685477,5808").toCurrency(); }), com::errc::Overflow);
    EXPECT_EQ(Variant("-922337203685477,5808").toCurrency(), Currency::min());
    EXPECT_EQ(errorNumber([] { (void)Variant("1e400").toDouble(); }), com::errc::Overflow);
}

TEST_F(Romanian, OverflowAndTypeMismatchAreToldInRomanian) {
    // The run-time's texts reach every screen: the first line is the user's, what was refused follows.
    const auto tooLarge = comtest::errorOf([] { (void)Variant("3000000000").toLong(); });
    ASSERT_TRUE(tooLarge);
    EXPECT_EQ(tooLarge->description(), "Valoare prea mare.");
    const auto notANumber = comtest::errorOf([] { (void)Variant("abc").toLong(); });
    ASSERT_TRUE(notANumber);
    EXPECT_EQ(notANumber->number(), com::errc::TypeMismatch);
    EXPECT_EQ(notANumber->description(), "Tip de date nepotrivit.\r\n\"abc\" nu este un numar.");
    EXPECT_EQ(com::Error(com::errc::Overflow, "x").description(), "Valoare prea mare.");
    EXPECT_EQ(com::Error(com::errc::TypeMismatch, "x").description(), "Tip de date nepotrivit.");
}

TEST_F(Romanian, NullRaisesInvalidUseOfNullForEveryTarget) {
    const Variant null = Variant::null();
    const std::function<void()> conversions[] = {
        [&] { (void)null.toBool(); },     [&] { (void)null.toInteger(); }, [&] { (void)null.toLong(); },
        [&] { (void)null.toCurrency(); }, [&] { (void)null.toDouble(); },  [&] { (void)null.toDate(); },
        [&] { (void)null.toString(); },
    };
    for (size_t i = 0; i < std::size(conversions); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(errorNumber(conversions[i]), com::errc::InvalidUseOfNull);
    }
}

TEST_F(Romanian, EmptyIsZeroAndEmptyText) {
    const Variant empty;
    EXPECT_EQ(empty.toLong(), 0);
    EXPECT_EQ(empty.toInteger(), 0);
    EXPECT_EQ(empty.toDouble(), 0.0);
    EXPECT_EQ(empty.toCurrency(), Currency());
    EXPECT_FALSE(empty.toBool());
    EXPECT_EQ(empty.toString(), "");
    EXPECT_FALSE(empty.toObject());
}

TEST_F(Romanian, BooleanIsMinusOneOrZero) {
    EXPECT_EQ(Variant(true).toLong(), -1);
    EXPECT_EQ(Variant(false).toLong(), 0);
    EXPECT_EQ(Variant(true).toInteger(), -1);
    EXPECT_EQ(Variant(true).toDouble(), -1.0);
    EXPECT_EQ(Variant(true).toCurrency(), Currency::fromInteger(-1));
    EXPECT_EQ(Variant(true).toString(), "True");
    EXPECT_EQ(Variant(false).toString(), "False");
    EXPECT_TRUE(Variant("true").toBool());
    EXPECT_FALSE(Variant("FALSE").toBool());
    EXPECT_TRUE(Variant("0,5").toBool());
    EXPECT_FALSE(Variant("0").toBool());
    EXPECT_TRUE(Variant(Currency::fromUnits(1)).toBool());
}

TEST_F(Romanian, TextOfNumbersUsesTheDecimalSeparator) {
    EXPECT_EQ(Variant(2.5).toString(), "2,5");
    EXPECT_EQ(Variant(-0.125).toString(), "-0,125");
    EXPECT_EQ(Variant(0.1 + 0.2).toString(), "0,3");
    EXPECT_EQ(Variant(1234567.0).toString(), "1234567");
    EXPECT_EQ(Variant(Currency::parse("1234.5")).toString(), "1234,5");
    EXPECT_EQ(Variant(Currency::parse("-0.0001")).toString(), "-0,0001");
    EXPECT_EQ(Variant(Currency::fromInteger(12)).toString(), "12");
    // What toString writes, the coercions read back.
    EXPECT_DOUBLE_EQ(Variant(Variant(1234.75).toString()).toDouble(), 1234.75);
    EXPECT_EQ(Variant(Variant(Currency::parse("1234.5678")).toString()).toCurrency(), Currency::parse("1234.5678"));
}

TEST_F(English, TextOfNumbersUsesTheDecimalSeparator) {
    EXPECT_EQ(Variant(2.5).toString(), "2.5");
    EXPECT_EQ(Variant(Currency::parse("1234.5")).toString(), "1234.5");
    EXPECT_EQ(Variant(int16_t{-7}).toString(), "-7");
    EXPECT_EQ(Variant(int32_t{123456}).toString(), "123456");
}

TEST_F(Romanian, ObjectsAreNoNumbers) {
    const Variant object = Variant(com::ComPtr<com::IUnknown>());
    EXPECT_EQ(errorNumber([&] { (void)Variant(1.0).toObject(); }), com::errc::TypeMismatch);
    EXPECT_EQ(errorNumber([&] { (void)Variant("x").toDispatch(); }), com::errc::TypeMismatch);
    EXPECT_FALSE(object.toObject());
}

}  // namespace
