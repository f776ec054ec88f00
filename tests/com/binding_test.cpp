// Dispatch tables built from member functions by the object layer's binding helper, as
// the business classes and the controls build theirs.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "com/binding.h"
#include "error_number.h"

namespace {

// A type of a library's own, converted by its own rule (marked, to tell it from a plain text).
struct Code {
    std::string text;
};

}  // namespace

template <>
struct com::binding::Conversion<Code> {
    static Code from(const com::Variant& value) { return Code{value.toString() + "!"}; }
    static com::Variant to(const Code& value) { return com::Variant("<" + value.text + ">"); }
};

namespace {

using com::InvokeKind;
using com::Variant;
using comtest::errorNumber;

struct Sample {
    std::string font() const { return font_; }
    void setFont(const std::string& value) { font_ = value; }
    void setSource(int32_t value) { source_ = value; }
    Variant value() const { return value_; }
    void setValue(const Variant& value, std::optional<bool> show) {
        value_ = value;
        shown_ = show;
    }
    Code code() const { return code_; }
    void setCode(Code value) { code_ = std::move(value); }
    Code echo(const Code& value) const { return value; }

    std::string font_;
    int32_t source_ = 0;
    Variant value_;
    std::optional<bool> shown_ = false;
    Code code_;
};

using com::binding::Assign;
using com::binding::method;
using com::binding::property;

const com::DispatchTable<Sample>& table() {
    static const com::DispatchTable<Sample> t{
        property<Sample, &Sample::font, &Sample::setFont>("Let", 1),
        property<Sample, &Sample::font, &Sample::setFont, Assign::Set>("Set", 2),
        property<Sample, &Sample::font, &Sample::setFont, Assign::LetOrSet>("Either", 3),
        property<Sample, nullptr, &Sample::setSource, Assign::Set>("Source", 4),
        property<Sample, &Sample::value, &Sample::setValue>("Value", 5),
        property<Sample, &Sample::code, &Sample::setCode>("Code", 6),
        method<Sample, &Sample::echo>("Echo", 7),
    };
    return t;
}

Variant invoke(Sample& sample, com::DispId id, InvokeKind kind, std::vector<Variant> args = {}) {
    return table().invoke(sample, id, kind, com::Args(args));
}

TEST(Binding, APropertyTakesItsValueByLetBySetOrEitherWay) {
    Sample s;
    invoke(s, 1, InvokeKind::PropertyPut, {Variant("Arial")});
    EXPECT_EQ(s.font_, "Arial");
    EXPECT_EQ(errorNumber([&] { invoke(s, 1, InvokeKind::PropertyPutRef, {Variant("Courier")}); }),
              com::errc::NoSuchMember);

    invoke(s, 2, InvokeKind::PropertyPutRef, {Variant("Courier")});
    EXPECT_EQ(invoke(s, 2, InvokeKind::PropertyGet), Variant("Courier"));

    invoke(s, 3, InvokeKind::PropertyPut, {Variant("Tahoma")});
    EXPECT_EQ(s.font_, "Tahoma");
    invoke(s, 3, InvokeKind::PropertyPutRef, {Variant("Verdana")});
    EXPECT_EQ(s.font_, "Verdana");

    // A write-only property has no read.
    invoke(s, 4, InvokeKind::PropertyPutRef, {Variant(int32_t{7})});
    EXPECT_EQ(s.source_, 7);
    EXPECT_EQ(errorNumber([&] { invoke(s, 4, InvokeKind::PropertyGet); }), com::errc::NoSuchMember);
}

TEST(Binding, AnOptionalFlagLeftOutOrEmptyIsNone) {
    Sample s;
    invoke(s, 5, InvokeKind::PropertyPut, {Variant(12.5)});
    EXPECT_EQ(s.value_, Variant(12.5));
    EXPECT_EQ(s.shown_, std::nullopt);

    invoke(s, 5, InvokeKind::PropertyPut, {Variant(false), Variant(1.5)});
    EXPECT_EQ(s.shown_, std::optional<bool>(false));
    invoke(s, 5, InvokeKind::PropertyPut, {Variant(), Variant(2.5)});
    EXPECT_EQ(s.shown_, std::nullopt);
    EXPECT_EQ(s.value_, Variant(2.5));

    EXPECT_EQ(errorNumber([&] {
                  invoke(s, 5, InvokeKind::PropertyPut, {Variant(), Variant(), Variant(1)});
              }),
              com::errc::WrongArgumentCount);
}

TEST(Binding, ALibrarysOwnTypeConvertsByItsConversion) {
    Sample s;
    invoke(s, 6, InvokeKind::PropertyPut, {Variant("A1")});
    EXPECT_EQ(s.code_.text, "A1!");
    EXPECT_EQ(invoke(s, 6, InvokeKind::PropertyGet), Variant("<A1!>"));
    EXPECT_EQ(invoke(s, 7, InvokeKind::Method, {Variant(int32_t{5})}), Variant("<5!>"));
}

}  // namespace

namespace {

// A table whose two members share an id is refused when it is built: a late-bound call
// by that id would always reach the first and never the second.
TEST(Binding, ATableWhoseMembersShareAnIdIsRefused) {
    const auto build = [] {
        const com::DispatchTable<Sample> t{
            property<Sample, &Sample::font, &Sample::setFont>("Font", 1),
            method<Sample, &Sample::echo>("Echo", 2),
            property<Sample, &Sample::code, &Sample::setCode>("Code", 1),
        };
    };
    const std::optional<com::Error> error = comtest::errorOf(build);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), com::errc::InvalidProcedureCall);
    EXPECT_EQ(error->description(), "Font and Code share the dispatch id 1");
}

}  // namespace
