// The run-time's keyed collection: positions, keys without regard to case, and its errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/collection.h"
#include "com/error.h"
#include "error_number.h"

namespace {

using com::Collection;
using com::Variant;
using comtest::errorNumber;

Collection sample() {
    Collection c;
    c.Add("alpha", "A");
    c.Add("beta", "Beta");
    c.Add("gamma");  // no key
    c.Add("delta", "d");
    return c;
}

std::vector<std::string> contents(const Collection& c) {
    std::vector<std::string> out;
    for (const auto& entry : c) out.push_back((*entry).toString());
    return out;
}

TEST(Collection, ItemsByPositionAndByKeyWithoutRegardToCase) {
    const Collection c = sample();
    EXPECT_EQ(c.Count(), 4);
    EXPECT_EQ(c.Item(int32_t{1}).toString(), "alpha");
    EXPECT_EQ(c.Item(int16_t{3}).toString(), "gamma");
    EXPECT_EQ(c.Item(2.0).toString(), "beta");
    EXPECT_EQ(c.Item("BETA").toString(), "beta");
    EXPECT_EQ(c.Item("beta").toString(), "beta");
    EXPECT_EQ(c.Item("a").toString(), "alpha");
    EXPECT_EQ(c.Item("D").toString(), "delta");
    EXPECT_TRUE(c.containsKey("bEtA"));
    EXPECT_FALSE(c.containsKey("gamma"));
    // Text is always a key, even when it looks like a position.
    EXPECT_EQ(errorNumber([&] { (void)c.Item("1"); }), com::errc::InvalidProcedureCall);
}

TEST(Collection, DuplicateKeyRaises457AndAddsNothing) {
    Collection c = sample();
    const auto e = comtest::errorOf([&] { c.Add("again", "beta"); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), com::errc::DuplicateKey);
    EXPECT_EQ(errorNumber([&] { c.Add("again", "a"); }), com::errc::DuplicateKey);
    EXPECT_EQ(errorNumber([&] { c.Add("again", ""); }), com::errc::InvalidProcedureCall);
    EXPECT_EQ(c.Count(), 4);
    c.Add("unkeyed twice");  // items without keys never clash
    EXPECT_EQ(c.Count(), 5);
}

TEST(Collection, MissingKeyRaises5AndPositionOutOfRangeRaises9) {
    const Collection c = sample();
    const auto e = comtest::errorOf([&] { (void)c.Item("omega"); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), com::errc::InvalidProcedureCall);
    EXPECT_NE(e->description().find("omega"), std::string::npos) << e->description();
    for (const Variant& position : {Variant(int32_t{0}), Variant(int32_t{5}), Variant(int32_t{-1}), Variant(4.6)}) {
        SCOPED_TRACE(position.toString());
        EXPECT_EQ(errorNumber([&] { (void)c.Item(position); }), com::errc::SubscriptOutOfRange);
    }
    EXPECT_EQ(errorNumber([&] { (void)c.Item(Variant()); }), com::errc::InvalidProcedureCall);
    EXPECT_EQ(errorNumber([&] { (void)c.Item(Variant::null()); }), com::errc::InvalidProcedureCall);
    EXPECT_EQ(errorNumber([] { (void)Collection().Item(int32_t{1}); }), com::errc::SubscriptOutOfRange);
}

TEST(Collection, RemoveByKeyAndByPositionKeepsTheOrder) {
    Collection c = sample();
    c.Remove("BETA");
    EXPECT_EQ(contents(c), (std::vector<std::string>{"alpha", "gamma", "delta"}));
    EXPECT_FALSE(c.containsKey("beta"));
    c.Add("beta again", "beta");  // the key is free again
    c.Remove(int32_t{1});
    EXPECT_EQ(contents(c), (std::vector<std::string>{"gamma", "delta", "beta again"}));
    EXPECT_EQ(c.Item("d").toString(), "delta");
    EXPECT_EQ(c.Item(int32_t{2}).toString(), "delta");
    EXPECT_EQ(errorNumber([&] { c.Remove("alpha"); }), com::errc::InvalidProcedureCall);
    EXPECT_EQ(errorNumber([&] { c.Remove(int32_t{4}); }), com::errc::SubscriptOutOfRange);
    EXPECT_EQ(c.Count(), 3);
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_FALSE(c.containsKey("d"));
}

TEST(Collection, NewEnumWalksASnapshot) {
    Collection c = sample();
    const auto walker = c.NewEnum();
    c.Remove(int32_t{1});
    c.Add("epsilon");
    std::vector<std::string> seen;
    Variant item;
    while (walker->Next(item)) seen.push_back(item.toString());
    EXPECT_EQ(seen, (std::vector<std::string>{"alpha", "beta", "gamma", "delta"}));
    EXPECT_FALSE(walker->Next(item));
    walker->Reset();
    ASSERT_TRUE(walker->Next(item));
    EXPECT_EQ(item.toString(), "alpha");
}

}  // namespace
