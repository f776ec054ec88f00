// Property bags: every value type through text and back, defaults left out, bad text refused.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "com/error.h"
#include "com/propertybag.h"
#include "error_number.h"

namespace {

using com::PropertyBag;
using com::Variant;

TEST(PropertyBag, EveryTypeRoundTripsThroughText) {
    const std::pair<const char*, Variant> values[] = {
        {"Null", Variant::null()},
        {"True", Variant(true)},
        {"False", Variant(false)},
        {"Integer", Variant(int16_t{-32768})},
        {"Long", Variant(int32_t{2147483647})},
        {"Currency", Variant(com::Currency::parse("-1234.5678"))},
        {"CurrencyMin", Variant(com::Currency::min())},
        {"Double", Variant(0.1)},
        {"Tiny", Variant(std::numeric_limits<double>::denorm_min())},
        {"Huge", Variant(-1.7976931348623157e308)},
        {"Date", Variant(com::Date::fromParts({2026, 2, 28, 23, 59, 58}))},
        {"OldDate", Variant(com::Date::fromParts({1899, 12, 29, 6, 0, 0}))},
        {"Text", Variant("quote \" backslash \\ tab \t newline \n return \r = end")},
        {"Unicode", Variant("Țară, șir – ă")},
        {"Blank", Variant("")},
    };
    PropertyBag bag;
    for (const auto& [name, value] : values) bag.WriteProperty(name, value);
    const std::string text = bag.toText();
    const PropertyBag back = PropertyBag::fromText(text);
    for (const auto& [name, value] : values) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(back.contains(name));
        const Variant read = back.ReadProperty(name);
        EXPECT_EQ(read.type(), value.type());
        EXPECT_TRUE(read == value) << text;
    }
    EXPECT_EQ(back.toText(), text);
    // Names are found without regard to case.
    EXPECT_EQ(back.ReadProperty("LONG").toLong(), 2147483647);
}

TEST(PropertyBag, DefaultsAreNotWritten) {
    PropertyBag bag;
    bag.WriteProperty("Width", int32_t{100}, int32_t{100});
    bag.WriteProperty("Caption", "", "");
    bag.WriteProperty("Enabled", true, true);
    bag.WriteProperty("Nothing", Variant());
    bag.WriteProperty("Scale", int16_t{2}, 2.0);  // same number in another type
    EXPECT_EQ(bag.toText(), "");
    EXPECT_EQ(bag.ReadProperty("Width", int32_t{100}).toLong(), 100);

    bag.WriteProperty("Width", int32_t{120}, int32_t{100});
    EXPECT_TRUE(bag.contains("width"));
    bag.WriteProperty("WIDTH", int32_t{100}, int32_t{100});  // back to the default: dropped
    EXPECT_FALSE(bag.contains("Width"));
    EXPECT_EQ(bag.toText(), "");
}

TEST(PropertyBag, BadNamesAndObjectsAreRefused) {
    PropertyBag bag;
    EXPECT_EQ(comtest::errorNumber([&] { bag.WriteProperty("", int32_t{1}); }), com::errc::InvalidProcedureCall);
    EXPECT_EQ(comtest::errorNumber([&] { bag.WriteProperty("a = b", int32_t{1}); }), com::errc::InvalidProcedureCall);
    EXPECT_EQ(comtest::errorNumber([&] { bag.WriteProperty("a\nb", int32_t{1}); }), com::errc::InvalidProcedureCall);
    EXPECT_EQ(comtest::errorNumber([&] { bag.WriteProperty("Font", Variant(com::ComPtr<com::IUnknown>())); }),
              com::errc::TypeMismatch);
    EXPECT_EQ(bag.toText(), "");
}

TEST(PropertyBag, MalformedTextRaisesNamingTheLine) {
    const char* bad[] = {
        "Width",                 // no " = "
        " = L:1",                // no name
        "Width = Q:1",           // unknown type
        "Width = L",             // no value
        "Width = I:70000",       // out of the Integer range
        "Width = I:12x",         // trailing text
        "Width = L:4294967296",  // out of the Long range
        "Width = L:",            // empty number
        "Width = D:2.5x",        // trailing text
        "Width = D:",            // empty number
        "Width = B:2",           // not a Boolean
        "Width = B:",            // not a Boolean
        "Width = C:1.2.3",       // not an amount
        "Width = T:2026-02-30 00:00:00",
        "Caption = S:\"open",
        "Caption = S:\"bad \\q escape\"",
        "Caption = S:\"inner \" quote\"",
        "Nothing = E:x",
    };
    for (const char* line : bad) {
        SCOPED_TRACE(line);
        const std::string text = "Left = L:1\n\nTop = I:2\n" + std::string(line) + "\nHeight = L:3\n";
        const auto e = comtest::errorOf([&] { (void)PropertyBag::fromText(text); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->number(), com::errc::InvalidProcedureCall);
        EXPECT_NE(e->description().find("line 4"), std::string::npos) << e->description();
    }
    const PropertyBag ok = PropertyBag::fromText("Left = L:1\r\n\r\nTop = I:-2\r\n");
    EXPECT_EQ(ok.ReadProperty("Top"), Variant(int16_t{-2}));
}

}  // namespace
